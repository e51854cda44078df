#include "keys/map/keyboard_map.h"

#include <atomic>

#include "gfx/drivers/video_driver.h"
#include "gfx/input/key_input.h"
#include "gfx/screen.h"
#include "keys/map/key_map_hover.h"
#include "keys/map/key_map_view.h"
#include "keys/source/key_source.h"
#include "rt/routed.h"

namespace {

KeyMapState map_state;
std::atomic<int> map_layout_index{-1};  // a MapLayout; -1 before the start
std::atomic<bool> map_shown{false};
bool map_chosen_from_system = false;
int64_t map_started_us = 0;
int64_t (*map_clock)() = key_input_now_us;

// The mouse as the window's events told it: screen pixels.
struct MouseSeen {
  bool inside = false;
  int x = 0, y = 0;
};
MouseSeen mouse;

const KeyboardLayout* current_layout() {
  const int index = map_layout_index.load(std::memory_order_acquire);
  return index < 0 ? nullptr : &keyboard_layout(static_cast<MapLayout>(index));
}

void consume_key(void*, int64_t time_us, int key, bool down, int device) {
  key_map_state_key(&map_state, time_us, key, down, device);
}

void consume_focus_lost(void*, int64_t time_us) { key_map_state_focus_lost(&map_state, time_us); }

// No key can be a command: every key of the keyboard is under test. So the
// mouse marks keys: a left press on a box toggles its defect mark. A double
// click is two presses to the user, so it toggles twice. An empty queue is
// told without its lock, so looking on every pass costs nothing.
void take_mouse_events(const KeyboardLayout& layout) {
  ScreenEvent event;
  while (take_screen_event(&event)) {
    switch (event.type) {
      case MouseMove:
      case MouseEnter:
        mouse = MouseSeen{true, event.payload[0], event.payload[1]};
        break;
      case MouseLeave:
        mouse.inside = false;
        break;
      case MouseButtonPress:
      case MouseDoubleClick:
        if (!(event.payload[0] & kMouseLeftButton)) break;
        // A press with no move before it (the window opened under the
        // mouse) takes the position from the window.
        if (!mouse.inside) {
          // The pass holds the screen lock already.
          int x = 0, y = 0, wheel = 0, buttons = 0, clip = 0;
          const ScreenState* screen = screen_state;
          if (screen != nullptr && screen->driver != nullptr && screen->driver->get_mouse != nullptr &&
              screen->driver->get_mouse(&x, &y, &wheel, &buttons, &clip) == 0)
            mouse = MouseSeen{true, x, y};
        }
        if (mouse.inside && map_shown.load(std::memory_order_relaxed))
          key_map_state_toggle_defect(&map_state, key_map_key_at(layout, mouse.x, mouse.y));
        break;
      default:
        break;
    }
  }
}

}  // namespace

void keyboard_map_start(MapLayout layout, bool chosen_from_system, int chatter_ms, int stuck_s,
                        bool shown) {
  key_map_state_reset(&map_state, chatter_ms, stuck_s);
  map_layout_index.store(static_cast<int>(&keyboard_layout(layout) - &keyboard_layout(MapLayout::kAnsi)),
                         std::memory_order_release);
  map_chosen_from_system = chosen_from_system;
  map_shown.store(shown, std::memory_order_release);
  map_started_us = map_clock();
  mouse = MouseSeen{};
}

KeyConsumer keyboard_map_consumer() { return KeyConsumer{consume_key, consume_focus_lost, nullptr}; }

void keyboard_map_pass(int first_free_row) {
  const KeyboardLayout* layout = current_layout();
  if (layout == nullptr) return;
  take_mouse_events(*layout);
  if (!map_shown.load(std::memory_order_relaxed)) return;
  static KeyMapView view;  // 768 bytes: kept off the program thread's stack
  key_map_state_read(&map_state, &view);
  const int64_t now = view.held > 0 || mouse.inside ? map_clock() : 0;
  key_map_state_judge_stuck(&map_state, now, &view);

  const int key = mouse.inside ? key_map_key_at(*layout, mouse.x, mouse.y) : -1;
  char hover[64];
  if (key >= 0) {
    KeyFigures figures;
    key_map_state_figures(&map_state, key, now, &figures);
    int columns = 0, rows = 0;
    get_text_size(&columns, &rows);
    // The last column would wrap the line onto the map.
    key_map_hover_text(hover, sizeof hover, columns - 1, key, figures);
  }
  // One blank row between the page and the map's status line.
  draw_key_map(*layout, view, first_free_row + 1, key >= 0 ? hover : nullptr);
}

void keyboard_map_show(bool shown) {
  if (current_layout() == nullptr) return;
  map_shown.store(shown, std::memory_order_release);
  if (!shown) mouse.inside = false;
}

bool keyboard_map_is_shown() { return map_shown.load(std::memory_order_acquire); }

void keyboard_map_choose_layout(MapLayout layout) {
  if (current_layout() == nullptr) return;
  const int index = static_cast<int>(&keyboard_layout(layout) - &keyboard_layout(MapLayout::kAnsi));
  map_layout_index.store(index, std::memory_order_release);
  map_chosen_from_system = false;
}

MapLayout keyboard_map_current_layout() {
  const int index = map_layout_index.load(std::memory_order_acquire);
  return index < 0 ? MapLayout::kAnsi : static_cast<MapLayout>(index);
}

void keyboard_map_reset() {
  if (current_layout() == nullptr) return;
  key_map_state_clear_marks(&map_state);
  map_started_us = map_clock();
}

KeyMapReport keyboard_map_report() {
  static KeyMapReport report;  // 20 KB: kept off the program thread's stack
  report = KeyMapReport{current_layout(), map_chosen_from_system, {}, {}, 0, 0};
  if (report.layout == nullptr) return report;
  const int64_t now = map_clock();
  key_map_state_read(&map_state, &report.view);
  key_map_state_judge_stuck(&map_state, now, &report.view);
  for (int key = 0; key < kKeyIdCount; ++key) key_map_state_figures(&map_state, key, now, &report.keys[key]);
  report.duration_us = now > map_started_us ? now - map_started_us : 0;
  report.stuck_s = static_cast<int>(map_state.stuck_us / 1000000);
  return report;
}

void keyboard_map_set_clock(int64_t (*now_us)()) { map_clock = now_us != nullptr ? now_us : key_input_now_us; }
