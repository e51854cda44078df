// What the keyboard map knows of each key: held now, tested (its press was
// seen), chatter seen. The input thread writes it; the program's thread
// reads it for every pass and clears the marks on a reset. The shared part
// is atomic, so neither waits for the other and the screen lock (the
// driver's window lock) stays out of the input thread.
#pragma once

#include <atomic>
#include <cstdint>

#include "keys/log/key_log.h"

// Held, tested and chatter come from the keys; defect is the user's own
// mark (a click on the box); stuck is set once a key was held past the stuck
// time and stays for the summary.
enum KeyMapMark : uint8_t {
  kMapHeld = 1,
  kMapTested = 2,
  kMapChatter = 4,
  kMapDefect = 8,
  kMapStuck = 16,
};

struct KeyMapState {
  // The input thread's own: the log's rule for held keys and chatter.
  KeyLog log;
  // Shared: the marks per key id, the keys held now, the most held at once
  // since the start or the last reset.
  std::atomic<uint8_t> marks[kKeyIdCount];
  std::atomic<int> held;
  std::atomic<int> most_held;
};

// Everything cleared, with the log's chatter threshold (clamped like the log's).
void key_map_state_reset(KeyMapState* state, int chatter_ms);

// Input thread: a press (down) or release at a time in microseconds. Repeats,
// releases of keys not held and ids out of range change nothing.
void key_map_state_key(KeyMapState* state, int64_t time_us, int key, bool down);

// Input thread: the keyboard went to another window; no key is held any more.
void key_map_state_focus_lost(KeyMapState* state, int64_t time_us);

// Program thread: the reset of the map. Tested and chatter marks go, the
// most held becomes what is held now; held keys stay held.
void key_map_state_clear_marks(KeyMapState* state);

// A copy of the shared part, for one pass of drawing or the summary.
struct KeyMapView {
  uint8_t marks[kKeyIdCount];
  int held;
  int most_held;
};
void key_map_state_read(const KeyMapState* state, KeyMapView* view);
