// One event of a test as it is kept: a press or release with its time and
// keyboard, a focus loss, or the point where the test began again. Sixteen
// bytes, so that millions of them fit in memory.
#pragma once

#include <cstdint>

enum class KeyEventKind : uint8_t {
  kDown = 0,
  kUp = 1,
  // One key released because the keyboard went to another window (a log's
  // "focus-lost" line): no gap starts at it.
  kFocusLostUp = 2,
  // The keyboard went to another window: every key held counts as released.
  kFocusLost = 3,
  // "Begin again": the counts start over, keys held stay held.
  kRestart = 4,
};

struct KeyEvent {
  int64_t time_us;  // since the start of the program (or of the log)
  uint16_t key;     // key id for kDown, kUp and kFocusLostUp; 0 otherwise
  KeyEventKind kind;
  uint8_t device;   // the keyboard, 1 up; 0 when unknown
  uint32_t reserved;
};
static_assert(sizeof(KeyEvent) == 16, "an event is kept in sixteen bytes");
