#include "keys/map/keyboard_map.h"

#include <atomic>
#include <cstring>

#include "gfx/drivers/video_driver.h"
#include "gfx/input/key_input.h"
#include "gfx/screen.h"
#include "keys/map/key_map_hover.h"
#include "keys/map/key_map_view.h"
#include "keys/log/keyboard_list_format.h"
#include "keys/source/keyboard_filter.h"
#include "keys/source/key_source.h"
#include "rt/routed.h"

namespace {

// Every event since the program started: the key source appends, the
// program's thread appends where the test begins again.
KeyRecord live_record;

// Events that came after the record was full: the map still counts them,
// though a re-judgement cannot. The key source writes, the program's thread
// takes them every pass; 4096 are more than anyone types in 10 ms.
constexpr uint32_t kOverflowEvents = 4096;
KeyEvent overflow[kOverflowEvents];
std::atomic<uint32_t> overflow_written{0}, overflow_read{0};

// A test read from a file, while it is the one shown.
KeyRecord opened_record;
KeyboardDevice file_keyboards[kMaxKeyboardDevices];
int file_keyboard_count = 0;
int64_t file_end_us = 0;
char file_name[128] = "";

// What the map shows: the events of one record folded into the state with
// the settings. Program thread only, but for the threshold, which the menu
// reads.
const KeyRecord* test_record = &live_record;
uint32_t folded = 0;
int restarts = 0;
int64_t restarted_at_us = -1;
KeyMapState map_state;
std::atomic<int> map_chatter_ms{kDefaultChatterMs};
int map_stuck_s = kDefaultStuckS;
int8_t keyboard_passes[kMaxKeyboardDevices + 1];  // per number: -1 not judged yet

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

int clamp_chatter_ms(int ms) { return ms < kMinChatterMs ? kMinChatterMs : ms > kMaxChatterMs ? kMaxChatterMs : ms; }

void copy_text(char* out, size_t size, const char* text) {
  size_t length = text == nullptr ? 0 : std::strlen(text);
  if (length >= size) length = size - 1;
  if (length > 0) std::memcpy(out, text, length);
  out[length] = '\0';
}

const KeyboardLayout* current_layout() {
  const int index = map_layout_index.load(std::memory_order_acquire);
  return index < 0 ? nullptr : &keyboard_layout(static_cast<MapLayout>(index));
}

bool showing_file() { return test_record == &opened_record; }

// The test's "now": the clock for a live test, the end of a file's.
int64_t test_now() { return showing_file() ? file_end_us : map_clock(); }

// --keyboard: the keys of other keyboards are kept but not counted. A file's
// keyboards are its own list.
bool counted_keyboard(int device) {
  if (device < 0 || device > kMaxKeyboardDevices) return false;
  int8_t& passes = keyboard_passes[device];
  if (passes < 0) {
    const KeyboardFilter& filter = keyboard_filter_program();
    bool result;
    if (!showing_file() || !keyboard_filter_active(filter) || !filter.by_id) {
      result = keyboard_filter_passes(filter, device);
    } else {
      result = false;
      for (int i = 0; i < file_keyboard_count; ++i)
        if (file_keyboards[i].number == device)
          result = file_keyboards[i].has_vendor && file_keyboards[i].vendor == filter.vendor &&
                   file_keyboards[i].product == filter.product;
    }
    passes = result ? 1 : 0;
  }
  return passes != 0;
}

void fold(const KeyEvent& event) {
  const bool key_event = event.kind == KeyEventKind::kDown || event.kind == KeyEventKind::kUp;
  if (key_event && !counted_keyboard(event.device)) return;
  if (event.kind == KeyEventKind::kRestart) {
    ++restarts;
    restarted_at_us = event.time_us;
  }
  key_map_state_apply(&map_state, event);
}

// Folds what came since the last time: the record's new events, then for
// the live test those that found it full.
void fold_new_events() {
  const uint32_t count = key_record_count(test_record);
  for (; folded < count; ++folded) fold(*key_record_at(test_record, folded));
  const uint32_t written = overflow_written.load(std::memory_order_acquire);
  uint32_t read = overflow_read.load(std::memory_order_relaxed);
  for (; read != written; ++read)
    if (!showing_file()) fold(overflow[read % kOverflowEvents]);
  overflow_read.store(read, std::memory_order_release);
}

// A fresh fold of the whole test with the settings of now; the user's
// defect marks stay where the test does (not for another test: a log keeps
// no marks).
void judge_again(bool keep_defect_marks = true) {
  static uint8_t defect[kKeyIdCount];
  for (int key = 0; key < kKeyIdCount; ++key)
    defect[key] = keep_defect_marks ? map_state.marks[key].load(std::memory_order_relaxed) & kMapDefect : 0;
  key_map_state_reset(&map_state, map_chatter_ms.load(std::memory_order_relaxed), map_stuck_s);
  folded = 0;
  restarts = 0;
  restarted_at_us = -1;
  std::memset(keyboard_passes, -1, sizeof keyboard_passes);
  fold_new_events();
  for (int key = 0; key < kKeyIdCount; ++key)
    if (defect[key] != 0) map_state.marks[key].fetch_or(kMapDefect);
}

void record_event(const KeyEvent& event) {
  if (key_record_append(&live_record, event)) return;
  const uint32_t written = overflow_written.load(std::memory_order_relaxed);
  if (written - overflow_read.load(std::memory_order_acquire) >= kOverflowEvents) return;
  overflow[written % kOverflowEvents] = event;
  overflow_written.store(written + 1, std::memory_order_release);
}

void consume_key(void*, int64_t time_us, int key, bool down, int device) {
  if (key < 0 || key >= kKeyIdCount) return;
  record_event(KeyEvent{time_us, static_cast<uint16_t>(key), down ? KeyEventKind::kDown : KeyEventKind::kUp,
                        static_cast<uint8_t>(device >= 0 && device <= kMaxKeyboardDevices ? device : 0), 0});
}

void consume_focus_lost(void*, int64_t time_us) {
  record_event(KeyEvent{time_us, 0, KeyEventKind::kFocusLost, 0, 0});
}

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
  key_record_clear(&live_record);
  key_record_clear(&opened_record);
  overflow_written.store(0, std::memory_order_relaxed);
  overflow_read.store(0, std::memory_order_relaxed);
  file_keyboard_count = 0;
  file_name[0] = '\0';
  test_record = &live_record;
  map_chatter_ms.store(clamp_chatter_ms(chatter_ms), std::memory_order_relaxed);
  map_stuck_s = stuck_s;
  judge_again(false);
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
  fold_new_events();
  if (!map_shown.load(std::memory_order_relaxed)) return;
  static KeyMapView view;  // 768 bytes: kept off the program thread's stack
  key_map_state_read(&map_state, &view);
  const int64_t now = view.held > 0 || mouse.inside ? test_now() : 0;
  key_map_state_judge_stuck(&map_state, now, &view);

  const int key = mouse.inside ? key_map_key_at(*layout, mouse.x, mouse.y) : -1;
  char hover[64];
  if (key >= 0) {
    KeyFigures figures;
    key_map_state_figures(&map_state, key, now, &figures);
    int columns = 0, rows = 0;
    get_text_size(&columns, &rows);
    // The last column would wrap the line onto the map.
    key_map_hover_text(hover, sizeof hover, columns - 1, key, figures, ui_language());
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
  // A new test is a live one: a file shown goes back to its place.
  if (showing_file()) {
    test_record = &live_record;
    file_name[0] = '\0';
    judge_again(false);
  }
  const int64_t now = map_clock();
  record_event(KeyEvent{now, 0, KeyEventKind::kRestart, 0, 0});
  fold_new_events();
  map_started_us = now;
}

void keyboard_map_toggle_defect(int key) { key_map_state_toggle_defect(&map_state, key); }

int keyboard_map_chatter_ms() { return map_chatter_ms.load(std::memory_order_relaxed); }

void keyboard_map_set_chatter_ms(int chatter_ms) {
  if (current_layout() == nullptr) return;
  map_chatter_ms.store(clamp_chatter_ms(chatter_ms), std::memory_order_relaxed);
  judge_again();
}

void keyboard_map_show_file(KeyRecord* events, const KeyboardDevice* keyboards, int keyboard_count,
                            int64_t end_us, const char* name) {
  if (current_layout() == nullptr || events == nullptr) return;
  key_record_clear(&opened_record);
  // The chunks change hands: the file's record keeps them, events is empty.
  const uint32_t count = key_record_count(events);
  for (uint32_t i = 0; i < kKeyRecordMaxChunks; ++i)
    opened_record.chunks[i].store(events->chunks[i].exchange(nullptr), std::memory_order_relaxed);
  opened_record.dropped.store(key_record_dropped(events), std::memory_order_relaxed);
  opened_record.dropped_from_us.store(key_record_dropped_from_us(events), std::memory_order_relaxed);
  opened_record.count.store(count, std::memory_order_release);
  key_record_clear(events);
  file_keyboard_count = 0;
  for (int i = 0; keyboards != nullptr && i < keyboard_count && i < kMaxKeyboardDevices; ++i)
    file_keyboards[file_keyboard_count++] = keyboards[i];
  const int64_t last = count > 0 ? key_record_at(&opened_record, count - 1)->time_us : 0;
  file_end_us = end_us > last ? end_us : last;
  copy_text(file_name, sizeof file_name, name);
  test_record = &opened_record;
  map_started_us = 0;
  judge_again(false);
}

bool keyboard_map_showing_file() { return showing_file(); }

const KeyRecord* keyboard_map_record() { return test_record; }

int64_t keyboard_map_now_us() { return test_now(); }

int keyboard_map_keyboards(KeyboardDevice* out) {
  if (out == nullptr) return 0;
  if (!showing_file()) return copy_keyboard_list(out);
  for (int i = 0; i < file_keyboard_count; ++i) out[i] = file_keyboards[i];
  return file_keyboard_count;
}

const KeyMapReport& keyboard_map_report() {
  static KeyMapReport report;  // about 90 KB: kept off the program thread's stack
  std::memset(static_cast<void*>(&report), 0, sizeof report);
  report.layout = current_layout();
  report.chosen_from_system = map_chosen_from_system;
  report.dropped_from_us = -1;
  report.restarted_at_us = -1;
  if (report.layout == nullptr) return report;
  fold_new_events();
  const int64_t now = test_now();
  key_map_state_read(&map_state, &report.view);
  key_map_state_judge_stuck(&map_state, now, &report.view);
  for (int key = 0; key < kKeyIdCount; ++key) key_map_state_figures(&map_state, key, now, &report.keys[key]);
  report.duration_us = now > map_started_us ? now - map_started_us : 0;
  report.stuck_s = static_cast<int>(map_state.stuck_us / 1000000);
  report.chatter_ms = static_cast<int>(map_state.log.chatter_us / 1000);
  for (int key = 0; key < kKeyIdCount; ++key) report.chord[key] = map_state.log.most_held_keys[key];
  report.timings = map_state.timings;
  report.events = key_record_count(test_record);
  report.dropped_from_us = key_record_dropped_from_us(test_record);
  report.restarts = restarts;
  report.restarted_at_us = restarted_at_us;
  copy_text(report.source_name, sizeof report.source_name, file_name);
  return report;
}

void keyboard_map_set_clock(int64_t (*now_us)()) { map_clock = now_us != nullptr ? now_us : key_input_now_us; }
