#include "keys/map/key_map_state.h"

namespace {

void clear_figures(KeyFigureSlots& slots) {
  slots.presses.store(0, std::memory_order_relaxed);
  slots.chatter.store(0, std::memory_order_relaxed);
  slots.zero_gap.store(0, std::memory_order_relaxed);
  slots.device.store(kNoKeyDevice, std::memory_order_relaxed);
  slots.smallest_gap_us.store(-1, std::memory_order_relaxed);
  slots.longest_hold_us.store(0, std::memory_order_relaxed);
}

void publish_held(KeyMapState* state) {
  const int held = state->log.held;
  state->held.store(held, std::memory_order_release);
  int most = state->most_held.load(std::memory_order_relaxed);
  while (held > most && !state->most_held.compare_exchange_weak(most, held)) {
  }
}

// The program thread may zero a figure at any moment (a reset): lowering
// and raising go through compare-exchange so that neither write is lost.
void lower_gap(std::atomic<int64_t>& slot, int64_t gap_us) {
  int64_t now = slot.load(std::memory_order_relaxed);
  while ((now < 0 || gap_us < now) && !slot.compare_exchange_weak(now, gap_us)) {
  }
}

void raise_hold(std::atomic<int64_t>& slot, int64_t hold_us) {
  int64_t now = slot.load(std::memory_order_relaxed);
  while (hold_us > now && !slot.compare_exchange_weak(now, hold_us)) {
  }
}

// A hold ends: its length counts for the longest, and past the stuck time
// the key stays marked stuck. A hold cut short by a focus loss is no hold
// the keyboard reported and stays out of the distribution.
void end_hold(KeyMapState* state, int key, int64_t time_us, bool counted = true) {
  KeyFigureSlots& slots = state->figures[key];
  const int64_t start = slots.hold_start_us.exchange(-1);
  if (start >= 0) {
    const int64_t hold = time_us > start ? time_us - start : 0;
    raise_hold(slots.longest_hold_us, hold);
    if (hold > state->stuck_us) state->marks[key].fetch_or(kMapStuck);
    if (counted) ++state->timings.holds.counts[timing_bin_of(hold)];
  }
  state->marks[key].fetch_and(static_cast<uint8_t>(~kMapHeld));
}

void count_gap(KeyTimings& timings, int key, const KeyLogLine& line) {
  if (line.gap_us < 0) return;
  const int bin = timing_bin_of(line.gap_us);
  ++timings.gaps.counts[bin];
  ++timings.key_gaps[key].counts[bin];
  if (line.mark == KeyMark::kChatter) ++timings.chatter_gaps.counts[bin];
}

}  // namespace

void key_map_state_reset(KeyMapState* state, int chatter_ms, int stuck_s) {
  if (state == nullptr) return;
  key_log_reset(&state->log, chatter_ms);
  if (stuck_s < kMinStuckS) stuck_s = kMinStuckS;
  if (stuck_s > kMaxStuckS) stuck_s = kMaxStuckS;
  state->stuck_us = static_cast<int64_t>(stuck_s) * 1000000;
  for (auto& mark : state->marks) mark.store(0, std::memory_order_relaxed);
  for (auto& slots : state->figures) {
    clear_figures(slots);
    slots.hold_start_us.store(-1, std::memory_order_relaxed);
  }
  key_timings_clear(&state->timings);
  state->held.store(0, std::memory_order_relaxed);
  state->most_held.store(0, std::memory_order_release);
}

void key_map_state_key(KeyMapState* state, int64_t time_us, int key, bool down, int device) {
  KeyLogLine line;
  if (state == nullptr || !key_log_record(&state->log, time_us, key, down, &line)) return;
  if (!down) {
    end_hold(state, key, time_us);
    publish_held(state);
    return;
  }
  KeyFigureSlots& slots = state->figures[key];
  slots.presses.fetch_add(1, std::memory_order_relaxed);
  if (line.gap_us >= 0) lower_gap(slots.smallest_gap_us, line.gap_us);
  count_gap(state->timings, key, line);
  if (line.mark == KeyMark::kChatter) slots.chatter.fetch_add(1, std::memory_order_relaxed);
  if (line.mark == KeyMark::kZeroGap) slots.zero_gap.fetch_add(1, std::memory_order_relaxed);
  slots.device.store(device, std::memory_order_relaxed);
  slots.hold_start_us.store(time_us, std::memory_order_relaxed);
  uint8_t set = kMapHeld | kMapTested;
  if (line.mark == KeyMark::kChatter) set |= kMapChatter;
  state->marks[key].fetch_or(set);
  publish_held(state);
}

void key_map_state_focus_lost(KeyMapState* state, int64_t time_us) {
  if (state == nullptr) return;
  KeyLogLine lines[16];
  int count;
  while ((count = key_log_release_all(&state->log, time_us, lines, 16)) > 0)
    for (int i = 0; i < count; ++i) end_hold(state, lines[i].key, time_us, false);
  publish_held(state);
}

void key_map_state_apply(KeyMapState* state, const KeyEvent& event) {
  if (state == nullptr) return;
  switch (event.kind) {
    case KeyEventKind::kDown:
    case KeyEventKind::kUp:
      key_map_state_key(state, event.time_us, event.key, event.kind == KeyEventKind::kDown, event.device);
      break;
    case KeyEventKind::kFocusLostUp: {
      KeyLogLine line;
      if (!key_log_release_lost(&state->log, event.time_us, event.key, &line)) break;
      end_hold(state, event.key, event.time_us, false);
      publish_held(state);
      break;
    }
    case KeyEventKind::kFocusLost: key_map_state_focus_lost(state, event.time_us); break;
    case KeyEventKind::kRestart: key_map_state_clear_marks(state); break;
  }
}

void key_map_state_clear_marks(KeyMapState* state) {
  if (state == nullptr) return;
  for (auto& mark : state->marks) mark.fetch_and(kMapHeld);
  for (auto& slots : state->figures) clear_figures(slots);
  key_timings_clear(&state->timings);
  // The chord starts again from the keys held now, like the count.
  KeyLog& log = state->log;
  log.most_held = log.held;
  for (int key = 0; key < kKeyIdCount; ++key) log.most_held_keys[key] = log.keys[key].held;
  state->most_held.store(state->held.load(std::memory_order_acquire));
}

void key_map_state_toggle_defect(KeyMapState* state, int key) {
  if (state == nullptr || key < 0 || key >= kKeyIdCount) return;
  state->marks[key].fetch_xor(kMapDefect);
}

void key_map_state_read(const KeyMapState* state, KeyMapView* view) {
  if (state == nullptr || view == nullptr) return;
  view->held = state->held.load(std::memory_order_acquire);
  view->most_held = state->most_held.load(std::memory_order_acquire);
  for (int key = 0; key < kKeyIdCount; ++key)
    view->marks[key] = state->marks[key].load(std::memory_order_relaxed);
}

void key_map_state_judge_stuck(KeyMapState* state, int64_t now_us, KeyMapView* view) {
  if (state == nullptr || view == nullptr || view->held <= 0) return;
  for (int key = 0; key < kKeyIdCount; ++key) {
    if (!(view->marks[key] & kMapHeld)) continue;
    const int64_t start = state->figures[key].hold_start_us.load(std::memory_order_relaxed);
    if (start < 0 || now_us <= start || now_us - start <= state->stuck_us) continue;
    view->marks[key] |= kMapStuck | kMapStuckNow;
    state->marks[key].fetch_or(kMapStuck);
  }
}

void key_map_state_figures(const KeyMapState* state, int key, int64_t now_us, KeyFigures* figures) {
  if (figures == nullptr) return;
  *figures = KeyFigures{0, 0, 0, -1, 0, kNoKeyDevice};
  if (state == nullptr || key < 0 || key >= kKeyIdCount) return;
  const KeyFigureSlots& slots = state->figures[key];
  figures->presses = slots.presses.load(std::memory_order_relaxed);
  figures->chatter = slots.chatter.load(std::memory_order_relaxed);
  figures->zero_gap = slots.zero_gap.load(std::memory_order_relaxed);
  figures->device = slots.device.load(std::memory_order_relaxed);
  figures->smallest_gap_us = slots.smallest_gap_us.load(std::memory_order_relaxed);
  figures->longest_hold_us = slots.longest_hold_us.load(std::memory_order_relaxed);
  const int64_t start = slots.hold_start_us.load(std::memory_order_relaxed);
  if (start >= 0 && now_us - start > figures->longest_hold_us) figures->longest_hold_us = now_us - start;
}
