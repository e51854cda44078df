// The key log's lines and summary as text, CSV or JSON Lines. Never holds a
// typed character: keys are named by their place on the keyboard.
#pragma once

#include <cstddef>
#include <cstdint>

#include "keys/log/key_log.h"
#include "keys/log_writer.h"
#include "keys/log/log_settings.h"
#include "keys/source/keyboard_devices.h"

// Where formatted text goes, in pieces; a line ends with '\n'.

// What the metadata line says about the clock behind the time stamps.
struct LogClockInfo {
  int64_t resolution_us;  // the step of the time stamps
  const char* source;     // the clock, in a few words
};

// Text: a comment line; CSV: the header row; JSON Lines: the metadata object.
void write_log_header(const LogWriter& writer, LogFormat format, int chatter_ms,
                      const LogClockInfo& clock);

void write_log_line(const LogWriter& writer, LogFormat format, const KeyLogLine& line);

// Where the test began again (the log's own figures go on):
//   text and CSV: # restart at 1234.567 ms
//   JSON Lines:   {"type":"restart","time_ms":1234.567}
void write_log_restart(const LogWriter& writer, LogFormat format, int64_t time_us);

// Members another part adds to the JSON summary object (each written as
// ',"name":value'), before its closing brace.
struct SummaryExtra {
  void (*write_json_members)(const LogWriter& writer, const void* context);
  const void* context;
};

// Per key presses, chatter, zero gaps and the smallest gap; the most keys held
// at once and which; the total time and event count; the keyboards with
// their events when a list is given. CSV gets the text form: its table stays
// one table. extra and keyboards may be null.
void write_log_summary(const LogWriter& writer, LogFormat format, const KeyLog& log,
                       int64_t end_us, const SummaryExtra* extra = nullptr,
                       const KeyboardDevice* keyboards = nullptr, int keyboard_count = 0);
