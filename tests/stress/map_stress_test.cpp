// The keyboard map across its threads, as the program runs it: the input
// thread feeds key events, the menu's thread posts commands, and the
// program's thread draws passes with the mouse over a box, applies the
// commands (resets, layouts, show and hide) and takes report snapshots.
// Built under ThreadSanitizer in its own preset; run under the address
// sanitizer with the unit tests.
//
// Every snapshot must be whole: no figure below its floor, presses at least
// the chatter, the held count within the keys.
//
// Usage: map_stress_test [milliseconds]   (default 1000)
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "app/viewer.h"
#include "app/viewer_commands.h"
#include "gfx/input/key_input.h"
#include "gfx/screen.h"
#include "keys/map/keyboard_map.h"

namespace {

std::atomic<bool> running{false};
std::atomic<int64_t> clock_us{0};
int64_t stress_clock() { return clock_us.load(); }

void input_thread() {
  const KeyConsumer map = keyboard_map_consumer();
  int step = 0;
  while (running.load()) {
    const int key = 0x10 + step % 40;
    const int64_t now = clock_us.fetch_add(7000);
    map.key(nullptr, now, key, step % 3 != 2, 1 + step % 2);
    if (step % 997 == 0) map.focus_lost(nullptr, now);
    ++step;
  }
}

void menu_thread() {
  const ViewerCommand cycle[] = {ViewerCommand::kLayoutIso, ViewerCommand::kReset, ViewerCommand::kToggleMap,
                                 ViewerCommand::kLayoutAnsiTkl, ViewerCommand::kToggleMap};
  int step = 0;
  while (running.load()) {
    post_viewer_command(cycle[step++ % 5]);
    (void)keyboard_map_is_shown();
    (void)keyboard_map_current_layout();
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
}

int fail(const char* what) {
  std::fprintf(stderr, "map stress: %s\n", what);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  const int milliseconds = argc > 1 ? std::atoi(argv[1]) : 1000;
  if (set_screen_mode(13, 8, 0, -1, 0) != 0) return fail("no screen");
  keyboard_map_set_clock(stress_clock);
  keyboard_map_start(MapLayout::kAnsi, false, 30, 1, true);
  viewer_set_below_page(keyboard_map_pass);
  post_screen_event(ScreenEvent{MouseMove, {31, 131, 0, 0}});
  running.store(true);
  std::thread input(input_thread);
  std::thread menu(menu_thread);
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  int passes = 0, commands = 0;
  while (std::chrono::steady_clock::now() < end) {
    viewer_draw_page();
    commands += viewer_apply_commands();
    if (passes % 8 == 0) post_screen_event(ScreenEvent{MouseButtonPress, {kMouseLeftButton, 0, 0, 0}});
    const KeyMapReport& report = keyboard_map_report();
    if (report.layout == nullptr) return fail("no layout");
    if (report.view.held < 0 || report.view.held > kKeyIdCount) return fail("a held count out of range");
    for (const KeyFigures& figures : report.keys)
      if (figures.presses < 0 || figures.chatter < 0 || figures.smallest_gap_us < -1 || figures.longest_hold_us < 0)
        return fail("a figure out of range");
    ++passes;
  }
  running.store(false);
  input.join();
  menu.join();
  viewer_set_below_page(nullptr);
  keyboard_map_set_clock(nullptr);
  std::printf("map stress: %d ms, %d passes, %d commands applied\n", milliseconds, passes, commands);
  close_screen_at_exit();
  return 0;
}
