// What the keyboard map knows of each key: held now, tested (its press was
// seen), chatter seen, the user's defect mark, stuck, and the figures of the
// key under the mouse and of the report. The input thread writes it; the
// program's thread reads it for every pass, toggles the defect mark and
// clears everything on a reset. The shared part is atomic, so neither waits
// for the other and the screen lock (the driver's window lock) stays out of
// the input thread.
#pragma once

#include <atomic>
#include <cstdint>

#include "keys/log/key_log.h"
#include "keys/record/key_event.h"
#include "keys/record/key_timings.h"
#include "keys/source/key_dispatch.h"

// Held, tested and chatter come from the keys; defect is the user's own
// mark (a click on the box); stuck is set once a key was held past the stuck
// time and stays for the summary. kMapStuckNow exists only in a view: the
// key is held and has been for longer than the stuck time.
enum KeyMapMark : uint8_t {
  kMapHeld = 1,
  kMapTested = 2,
  kMapChatter = 4,
  kMapDefect = 8,
  kMapStuck = 16,
  kMapStuckNow = 32,
};

// The stuck time in seconds (--stuck-s).
constexpr int kMinStuckS = 1;
constexpr int kMaxStuckS = 3600;
constexpr int kDefaultStuckS = 8;

// What the map counted of one key, for the key under the mouse, the summary
// and the report.
struct KeyFigures {
  int presses;
  int chatter;
  int zero_gap;
  int64_t smallest_gap_us;  // -1 until a press follows a release
  int64_t longest_hold_us;  // 0 before the first press; a hold still going counts
  int device;               // the keyboard of the last press; kNoKeyDevice before
};

// The shared figures of one key, written by the input thread.
struct KeyFigureSlots {
  std::atomic<int32_t> presses;
  std::atomic<int32_t> chatter;
  std::atomic<int32_t> zero_gap;
  std::atomic<int32_t> device;
  std::atomic<int64_t> smallest_gap_us;
  std::atomic<int64_t> longest_hold_us;
  std::atomic<int64_t> hold_start_us;  // -1 while the key is not held
};

struct KeyMapState {
  // The input thread's own: the log's rule for held keys and chatter.
  KeyLog log;
  // Shared: the marks per key id, the keys held now, the most held at once
  // since the start or the last reset, the figures per key id.
  std::atomic<uint8_t> marks[kKeyIdCount];
  std::atomic<int> held;
  std::atomic<int> most_held;
  KeyFigureSlots figures[kKeyIdCount];
  // Set before the input starts, read by both threads.
  int64_t stuck_us;
  // The gaps and holds so far; written where the events are folded in.
  KeyTimings timings;
};

// Everything cleared, with the log's chatter threshold (clamped like the
// log's) and the stuck time (clamped to kMinStuckS..kMaxStuckS).
void key_map_state_reset(KeyMapState* state, int chatter_ms, int stuck_s = kDefaultStuckS);

// Input thread: a press (down) or release at a time in microseconds, from
// the keyboard numbered device. Repeats, releases of keys not held and ids
// out of range change nothing. A release after a hold longer than the stuck
// time marks the key stuck.
void key_map_state_key(KeyMapState* state, int64_t time_us, int key, bool down,
                       int device = kNoKeyDevice);

// Input thread: the keyboard went to another window; no key is held any more.
void key_map_state_focus_lost(KeyMapState* state, int64_t time_us);

// One event of a record folded in: a press or release as key_map_state_key,
// one key released by a focus loss, a focus loss, or the test begun again
// (key_map_state_clear_marks). The figures a test shows are its events
// folded in order into a state reset with the settings; a kind or key out
// of range changes nothing.
void key_map_state_apply(KeyMapState* state, const KeyEvent& event);

// Program thread: the reset of the map. Every mark but held goes, the
// figures and timings are zeroed, the most held (and its chord) becomes
// what is held now; held keys stay held and their holds go on.
void key_map_state_clear_marks(KeyMapState* state);

// Program thread: the user's defect mark on or off; ids out of range do nothing.
void key_map_state_toggle_defect(KeyMapState* state, int key);

// A copy of the shared marks, for one pass of drawing or the summary.
struct KeyMapView {
  uint8_t marks[kKeyIdCount];
  int held;
  int most_held;
};
void key_map_state_read(const KeyMapState* state, KeyMapView* view);

// Program thread, after key_map_state_read: every key of the view held for
// longer than the stuck time at now_us gets kMapStuckNow in the view and
// kMapStuck in the view and the state.
void key_map_state_judge_stuck(KeyMapState* state, int64_t now_us, KeyMapView* view);

// The figures of one key at now_us (a hold still going counts as long as it
// has lasted); all zero, the gap -1, for an id out of range.
void key_map_state_figures(const KeyMapState* state, int key, int64_t now_us, KeyFigures* figures);
