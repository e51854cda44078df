#include "keys/map/keyboard_map.h"

#include "gfx/input/key_input.h"
#include "keys/map/key_map_view.h"

namespace {

KeyMapState map_state;
const KeyboardLayout* map_layout = nullptr;
bool map_chosen_from_system = false;

void consume_key(void*, int64_t time_us, int key, bool down, int) {
  key_map_state_key(&map_state, time_us, key, down);
}

void consume_focus_lost(void*, int64_t time_us) { key_map_state_focus_lost(&map_state, time_us); }

// The window hands over double clicks as events of their own. No key can be
// the reset: every key of the keyboard is under test. An empty queue is
// told without its lock, so looking on every pass costs nothing.
void take_reset_clicks() {
  ScreenEvent event;
  while (take_screen_event(&event))
    if (event.type == MouseDoubleClick && (event.payload[0] & kMouseLeftButton))
      key_map_state_clear_marks(&map_state);
}

}  // namespace

void keyboard_map_start(MapLayout layout, bool chosen_from_system, int chatter_ms) {
  key_map_state_reset(&map_state, chatter_ms);
  map_layout = &keyboard_layout(layout);
  map_chosen_from_system = chosen_from_system;
}

KeyConsumer keyboard_map_consumer() { return KeyConsumer{consume_key, consume_focus_lost, nullptr}; }

void keyboard_map_pass(int first_free_row) {
  if (map_layout == nullptr) return;
  take_reset_clicks();
  static KeyMapView view;  // 768 bytes: kept off the program thread's stack
  key_map_state_read(&map_state, &view);
  // One blank row between the page and the map's status line.
  draw_key_map(*map_layout, view, first_free_row + 1);
}

KeyMapReport keyboard_map_report() {
  KeyMapReport report{map_layout, map_chosen_from_system, {}};
  key_map_state_read(&map_state, &report.view);
  return report;
}
