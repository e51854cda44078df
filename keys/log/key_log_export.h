// A test's record written as a key log: what --log would have written live
// for the same events, so that a saved test reads back as one.
#pragma once

#include <cstddef>
#include <cstdint>

#include "keys/log/key_log_format.h"
#include "keys/log/log_settings.h"
#include "keys/record/key_record.h"
#include "keys/source/keyboard_devices.h"

struct KeyLogExport {
  int chatter_ms;                   // clamped to 1..1000 as the live log does
  LogClockInfo clock;               // for the header; a null source counts as ""
  const KeyboardDevice* keyboards;  // by number 1 up, as the device list gives them; may be null
  int keyboard_count;
  int64_t end_us;                   // the summary's total
  const SummaryExtra* extra;        // members for the JSON summary; may be null
};

// Replays the record through the log: a header, a keyboard's line before
// its first event (CSV too, where the live log puts them on standard error,
// so that the file keeps them), a line per press and release, the releases
// of a focus loss, "# restart at ..." where the test began again, and the
// summary (not for CSV, whose live summary goes to standard error). Events
// the live log would not have written (a repeat, a release of a key not
// held) leave no line there either. A null record writes an empty log.
// False, nothing written, for kNone or a format out of range, or when
// there is no memory for the replay.
bool write_key_log_from_record(const LogWriter& writer, LogFormat format, const KeyRecord* record,
                               const KeyLogExport& settings);

// The same into a file, written beside it and moved into place when
// complete (keys/safe_file.h). 0, or -1 with the system's reason.
int write_key_log_file(const char* path, LogFormat format, const KeyRecord* record, const KeyLogExport& settings,
                       char* reason, size_t reason_size);
