// The lines of a key log taken apart, each as the program writes it: the
// syntax alone. Whether a line follows from the ones before it is the
// reader's to judge (keys/log/key_log_reader.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "keys/log/key_log.h"
#include "keys/log/log_settings.h"
#include "keys/source/keyboard_devices.h"

// The bytes left of a line, taken from the front.
struct LogCursor {
  const char* p;
  const char* end;

  bool done() const { return p == end; }
  bool starts(const char* s) const {
    const size_t n = std::strlen(s);
    return static_cast<size_t>(end - p) >= n && std::memcmp(p, s, n) == 0;
  }
  bool literal(const char* s) {
    if (!starts(s)) return false;
    p += std::strlen(s);
    return true;
  }
  void skip_blanks() {
    while (p < end && *p == ' ') ++p;
  }
  // Decimal digits only, at most max_digits of them (which bounds the value).
  bool digits(int64_t* value, int max_digits);
  // Milliseconds with three decimals, as LineBuilder::milliseconds writes them.
  bool milliseconds(int64_t* us);
  // A JSON string as LineBuilder::json_string writes it: only '"' and '\'
  // escaped. A string too long for out is refused, not cut.
  bool json_string(char* out, size_t size);
  // A string, or null for "" (an empty string is refused: null stands for it).
  bool json_string_or_null(char* out, size_t size);
  // The last place in the rest where s starts; null when nowhere.
  const char* find_last(const char* s) const;
};

// Why a line is none the program writes, in a few English words.
struct LineReason {
  char text[96];
};

// One line of a press or release. Its key is one key_name knows, named as
// it names it; its keyboard is kNoKeyDevice or 1 to kMaxKeyboardDevices.
struct ParsedKeyLine {
  int64_t time_us;
  bool down;
  int key;
  int64_t held;
  bool has_gap;
  int64_t gap_us;
  KeyMark mark;
  int device;
};

// A press or release line of the given form; false with the reason.
bool parse_key_line(LogFormat format, LogCursor in, ParsedKeyLine* line, LineReason* reason);

// "# keyboard N: description" (text and CSV).
bool parse_keyboard_line(LogCursor in, KeyboardDevice* device, LineReason* reason);

// "  N   description, E events" of the text summary's list; E into events.
bool parse_keyboard_entry(LogCursor in, KeyboardDevice* device, LineReason* reason);

// "device":N,"id":...,"vendor":...,"product":...,"name":... of a JSON
// keyboard; the cursor stops after them.
bool parse_json_keyboard(LogCursor& in, KeyboardDevice* device, LineReason* reason);

// "VID_045E&PID_0002" exactly, as the device list writes a USB or Bluetooth id.
bool vendor_of_id(const char* id, uint16_t* vendor, uint16_t* product);
