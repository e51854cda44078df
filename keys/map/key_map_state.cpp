#include "keys/map/key_map_state.h"

void key_map_state_reset(KeyMapState* state, int chatter_ms) {
  if (state == nullptr) return;
  key_log_reset(&state->log, chatter_ms);
  for (auto& mark : state->marks) mark.store(0, std::memory_order_relaxed);
  state->held.store(0, std::memory_order_relaxed);
  state->most_held.store(0, std::memory_order_release);
}

namespace {

void publish_held(KeyMapState* state) {
  const int held = state->log.held;
  state->held.store(held, std::memory_order_release);
  int most = state->most_held.load(std::memory_order_relaxed);
  while (held > most && !state->most_held.compare_exchange_weak(most, held)) {
  }
}

}  // namespace

void key_map_state_key(KeyMapState* state, int64_t time_us, int key, bool down) {
  KeyLogLine line;
  if (state == nullptr || !key_log_record(&state->log, time_us, key, down, &line)) return;
  std::atomic<uint8_t>& mark = state->marks[key];
  if (down) {
    uint8_t set = kMapHeld | kMapTested;
    if (line.mark == KeyMark::kChatter) set |= kMapChatter;
    mark.fetch_or(set);
  } else {
    mark.fetch_and(static_cast<uint8_t>(~kMapHeld));
  }
  publish_held(state);
}

void key_map_state_focus_lost(KeyMapState* state, int64_t time_us) {
  if (state == nullptr) return;
  KeyLogLine lines[16];
  int count;
  while ((count = key_log_release_all(&state->log, time_us, lines, 16)) > 0)
    for (int i = 0; i < count; ++i) state->marks[lines[i].key].fetch_and(static_cast<uint8_t>(~kMapHeld));
  publish_held(state);
}

void key_map_state_clear_marks(KeyMapState* state) {
  if (state == nullptr) return;
  for (auto& mark : state->marks) mark.fetch_and(kMapHeld);
  state->most_held.store(state->held.load(std::memory_order_acquire));
}

void key_map_state_read(const KeyMapState* state, KeyMapView* view) {
  if (state == nullptr || view == nullptr) return;
  view->held = state->held.load(std::memory_order_acquire);
  view->most_held = state->most_held.load(std::memory_order_acquire);
  for (int key = 0; key < kKeyIdCount; ++key)
    view->marks[key] = state->marks[key].load(std::memory_order_relaxed);
}
