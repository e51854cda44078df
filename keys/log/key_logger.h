// The running key log: the figures of keys/key_log.h written to standard
// output as each event happens. The key source (keys/key_source.h) feeds it
// through its consumer; the program's thread starts it before and finishes it
// after that source. A log that cannot be written stops (keys/checked_output.h).
#pragma once

#include <cstdint>

#include "keys/source/key_dispatch.h"
#include "keys/log/key_log_format.h"
#include "keys/log/log_settings.h"

// Writes the header and starts counting. A format of kNone logs nothing.
void key_logger_start(LogFormat format, int chatter_ms, const LogClockInfo& clock);

// A key press (down) or release at a time in microseconds since the start,
// from the keyboard numbered device; repeats and releases of keys not held
// leave no line. A keyboard's first line is preceded by one that names it
// (CSV: on standard error). Each line is flushed.
void key_logger_key(int64_t time_us, int key, bool down, int device = kNoKeyDevice);

// The window lost the keyboard: every held key is released, marked.
void key_logger_focus_lost(int64_t time_us);

// The two calls above as a reader of the key source.
KeyConsumer key_logger_consumer();

// Keys held now, by the log's count.
int key_logger_held();

// Writes the summary (CSV: to standard error, so that the table stays one
// table) with the keyboards and the extra JSON members, which may be null,
// and stops; later calls do nothing.
void key_logger_finish(int64_t end_us, const SummaryExtra* extra = nullptr);
