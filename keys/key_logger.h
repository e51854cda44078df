// The running key log: the figures of app/key_log.h written to standard
// output as each event happens. One event source feeds it (app/key_input.h);
// the program's thread starts it before and finishes it after that source.
#pragma once

#include <cstdint>

#include "keys/key_log_format.h"
#include "keys/log_settings.h"

// Writes the header and starts counting. A format of kNone logs nothing.
void key_logger_start(LogFormat format, int chatter_ms, const LogClockInfo& clock);

// A key press (down) or release at a time in microseconds since the start;
// repeats and releases of keys not held leave no line. Each line is flushed.
void key_logger_key(int64_t time_us, int key, bool down);

// The window lost the keyboard: every held key is released, marked.
void key_logger_focus_lost(int64_t time_us);

// Keys held now, by the log's count.
int key_logger_held();

// Writes the summary (CSV: to standard error, so that the table stays one
// table) and stops; later calls do nothing.
void key_logger_finish(int64_t end_us);
