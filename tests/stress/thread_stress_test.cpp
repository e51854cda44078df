// Two threads on one screen, as the window drivers run it: a second thread
// plays the event thread (under the driver's lock it takes the changed
// lines, refreshes the key-state table and pushes typed keys, and it posts
// events under the event lock) while the program's thread draws viewer pages
// and takes keys and events. Built under ThreadSanitizer in its own preset;
// run under the address sanitizer with the unit tests.
//
// Keys: every key pushed is either taken, in order, or dropped as the oldest
// of a full ring. Events: taken in order, the newest never lost.
//
// Usage: thread_stress_test [milliseconds]   (default 2000)
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "app/viewer.h"
#include "gfx/drivers/video_driver.h"
#include "gfx/input/key_input.h"
#include "gfx/screen.h"
#include "rt/routed.h"
#include "rt/runtime.h"
#include "rt/stepped_sleep.h"
#include "rt/text_value.h"

namespace {

std::mutex driver_mutex;
std::atomic<bool> running{false};

// Written by the event thread and read by the program's thread, both under
// the driver's lock.
int keys_pushed = 0;
int keys_dropped = 0;
std::vector<char> dropped;  // by key index: dropped as the oldest of a full ring
int blits = 0;

std::atomic<int> events_posted{0};

void stress_lock() { driver_mutex.lock(); }
void stress_unlock() { driver_mutex.unlock(); }
int stress_init(const char*, int, int, int, int, int) { return 0; }
int stress_exit() { return 0; }

const VideoDriver stress_driver{.name = "Stress", .init = stress_init, .exit = stress_exit,
                                .lock = stress_lock, .unlock = stress_unlock};
const VideoDriver* const stress_list[] = {&stress_driver, nullptr};

int32_t key_code_for(int index) { return 1 + index % 200; }

bool ring_full() { return ((key_buffer.key_write_index + 1) & 15) == key_buffer.key_read_index; }

void event_thread() {
  std::vector<uint8_t> window(64000);
  int iteration = 0;
  while (running.load()) {
    {
      // One iteration under the driver's lock, as the window drivers hold it.
      std::lock_guard<std::mutex> guard(driver_mutex);
      ScreenState* screen = screen_state;
      for (int y = 0; y < screen->height; ++y) {
        if (!screen->dirty_lines[y]) continue;
        std::memcpy(window.data() + static_cast<size_t>(y) * 320, screen->visible_page + static_cast<size_t>(y) * screen->pitch, 320);
        screen->dirty_lines[y] = 0;
        ++blits;
      }
      for (int scancode = 0; scancode < kKeyStateSize; ++scancode)
        screen->key_state[scancode] = static_cast<uint8_t>((scancode + iteration) % 7 == 0);
      for (int k = 0; k <= iteration % 5; ++k) {  // bursts that may overrun the ring
        dropped.push_back(0);
        if (ring_full()) {  // the oldest of the 15 keys in the ring goes
          ++keys_dropped;
          dropped[static_cast<size_t>(keys_pushed - 15)] = 1;
        }
        key_buffer_push(key_code_for(keys_pushed++));
      }
    }
    const int n = events_posted.load();
    post_screen_event(ScreenEvent{KeyPress, {n, 0, 0, 0}});
    events_posted.store(n + 1);
    ++iteration;
    std::this_thread::yield();
  }
}

void yield_sleep(uint32_t) { std::this_thread::yield(); }

int fail(const char* what) {
  std::fprintf(stderr, "thread stress: %s\n", what);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  const int milliseconds = argc > 1 ? std::atoi(argv[1]) : 2000;
  runtime_start();
  stepped_sleep_function = yield_sleep;
  screen_driver_list = stress_list;
  if (set_screen_mode(13, 8, 0, 0, 0) != 0 || screen_state->driver != &stress_driver)
    return fail("the screen did not open on the stress driver");

  running.store(true);
  std::thread thread(event_thread);

  int keys_taken = 0, last_index = -1, passes = 0;
  int events_taken = 0, last_event = -1;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (std::chrono::steady_clock::now() < end) {
    viewer_draw_page();
    ++passes;
    // The queries the viewer makes outside its page, each under its own lock.
    key_held(30);
    key_waiting();
    for (int k = 0; k < passes % 3; ++k) {  // sometimes behind, sometimes ahead
      TextValue* key = read_key_text();
      const int length = static_cast<int>(text_length(key));
      const int code = length == 1 ? static_cast<uint8_t>(key->data[0]) : -1;
      text_release(key);
      if (length == 0) continue;
      // The key taken must be the oldest not dropped: drops of older keys
      // were recorded, under the lock, before this key could be taken.
      screen_lock();
      int index = last_index + 1;
      while (index < keys_pushed && dropped[static_cast<size_t>(index)]) ++index;
      screen_unlock_unmarked();
      if (code != key_code_for(index)) return fail("a key lost or out of order");
      last_index = index;
      ++keys_taken;
    }
    ScreenEvent event{};
    while (take_screen_event(&event)) {
      if (event.payload[0] <= last_event) return fail("an event out of order");
      last_event = event.payload[0];
      ++events_taken;
    }
    sleep_for(0, 0);
  }
  running.store(false);
  thread.join();

  ScreenEvent event{};
  while (take_screen_event(&event)) {
    last_event = event.payload[0];
    ++events_taken;
  }
  if (last_event != events_posted.load() - 1) return fail("the newest event was lost");
  // Every key pushed was taken, dropped as the oldest, or is still waiting.
  const int waiting = (key_buffer.key_write_index - key_buffer.key_read_index) & 15;
  if (keys_taken + keys_dropped + waiting != keys_pushed) return fail("keys lost beyond the dropped oldest");
  std::printf("thread stress: %d ms, %d viewer passes, %d keys pushed, %d taken, %d dropped as oldest, "
              "%d events posted, %d taken, %d lines copied\n",
              milliseconds, passes, keys_pushed, keys_taken, keys_dropped, events_posted.load(),
              events_taken, blits);
  close_screen_at_exit();
  return 0;
}
