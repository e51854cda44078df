// Reading a key log back: any of the three forms the program writes (text,
// CSV, JSON Lines), told apart by the first line, never by the file's name.
// What the program would not have written is refused whole, with the line
// and the reason, so that half a file never becomes a test.
#pragma once

#include <cstddef>
#include <cstdint>

#include "keys/log/log_settings.h"
#include "keys/record/key_record.h"
#include "keys/source/keyboard_devices.h"

// A file larger than this is no key log the program wrote: the record's
// capacity in text lines is well below it.
constexpr int64_t kMaxKeyLogFileBytes = int64_t{1} << 30;

struct KeyLogReadResult {
  LogFormat format;
  int chatter_ms;           // from the header; 0 for CSV, which names none
  int64_t clock_step_us;    // the time stamps' step from the header; 0 for CSV
  char clock_source[64];    // the clock in a few words; "" for CSV
  int64_t end_us;           // the summary's total, else the last event's time (0 for none)
  bool has_summary;
  KeyboardDevice keyboards[kMaxKeyboardDevices];  // by number, the ones the log names
  int keyboard_count;
  uint32_t events;          // appended to the record
};

// Reads a log held in memory into record, which must be empty. Presses,
// releases and focus-lost releases become kDown, kUp and kFocusLostUp, a
// restart line kRestart. A keyboard's events are the summary's figure, or
// the presses and releases counted from it where there is no summary.
// Returns 0, or -1 with the record emptied again and a one-line reason in
// error ("line 7: time goes backwards"), cut to error_size. The record must
// not be read or appended by anyone else meanwhile.
int read_key_log(const char* data, size_t length, KeyRecord* record, KeyLogReadResult* result, char* error,
                 size_t error_size);

// The same from a file, read in pieces: memory stays bounded by the record
// and one line. Open and read failures give the system's reason.
int read_key_log_file(const char* path, KeyRecord* record, KeyLogReadResult* result, char* error,
                      size_t error_size);
