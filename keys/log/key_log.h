// The key log's figures: which keys are held, the gap from each key's release
// to its next press, chatter, and the summary. Portable and clock-free: every
// call is given its time, so tests can replay any sequence.
#pragma once

#include <cstdint>

#include "keys/key_names.h"
#include "keys/source/key_dispatch.h"

// A release-to-press gap below this is no bounce a keyboard can report: a
// key needs one scan report up and the next one down, and the fastest common
// report interval is 1 ms. Such gaps come from events delivered in one batch
// and are counted apart from chatter.
constexpr int64_t kZeroGapBoundUs = 500;

enum class KeyMark { kNone, kChatter, kZeroGap, kFocusLost };

// One logged transition.
struct KeyLogLine {
  int64_t time_us;
  int key;
  bool down;
  int held;        // keys held after the event
  int64_t gap_us;  // presses only: since this key's last release; -1 none
  KeyMark mark;
  int device;      // the keyboard (1 up; a focus-lost release: its press's); kNoKeyDevice unknown
};

struct KeyStats {
  int presses;
  int chatter;
  int zero_gap;
  int64_t smallest_gap_us;  // -1 until a press follows a release
  int64_t last_release_us;  // -1 when there is no release to measure from
  bool held;
  int device;  // the keyboard of the last press
};

struct KeyLog {
  int64_t chatter_us;
  int held;
  int most_held;
  bool most_held_keys[kKeyIdCount];  // the keys held when most_held was reached
  int events;
  KeyStats keys[kKeyIdCount];
};

// Empties the log; the threshold is clamped to 1..1000 ms.
void key_log_reset(KeyLog* log, int chatter_ms);

// Records a press (down) or release of a key id at a time in microseconds.
// Returns false, with line untouched, for what is no new event: a repeat of a
// held key, a release of a key not held (pressed before the log started or
// elsewhere), an id out of range.
// The line carries the keyboard the event came from.
bool key_log_record(KeyLog* log, int64_t time_us, int key, bool down, KeyLogLine* line,
                    int device = kNoKeyDevice);

// Ends every held key when the window loses the keyboard: the system may
// never send their releases. These releases are marked and do not start a
// gap, so the next press is not taken for chatter. Releases at most capacity
// keys, writing their lines, and returns how many: call until it gives 0.
int key_log_release_all(KeyLog* log, int64_t time_us, KeyLogLine* lines, int capacity);

// One key's part of that: the key released as by a focus loss (marked, no
// gap starts). False, line untouched, for a key not held or out of range.
bool key_log_release_lost(KeyLog* log, int64_t time_us, int key, KeyLogLine* line);
