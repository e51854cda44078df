// A GDI screen opened for a test, and the means to talk to its window the
// way the system does.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "gfx/input/key_input.h"
#include "gfx/screen.h"
#include "gfx/win32/drivers/driver_gdi.h"
#include "gfx/win32/window.h"

// lParam of a key message as the system builds it.
inline LPARAM key_lparam(int scancode, bool extended, int repeat_count, bool was_down, bool alt_context,
                         bool releasing = false) {
  uint32_t bits = static_cast<uint32_t>(repeat_count & 0xFFFF) | (static_cast<uint32_t>(scancode & 0xFF) << 16);
  if (extended) bits |= 1u << 24;
  if (alt_context) bits |= 1u << 29;
  if (was_down || releasing) bits |= 1u << 30;
  if (releasing) bits |= 1u << 31;
  return static_cast<LPARAM>(bits);
}

class GdiScreenTest : public ::testing::Test {
 protected:
  void open_screen(int mode = 13, int flags = 0) {
    _putenv("ZQGFX=gdi");
    ASSERT_EQ(set_screen_mode(mode, 8, 0, flags, 0), 0);
    ASSERT_NE(screen_state, nullptr);
    ASSERT_NE(window_state.window, nullptr);
  }
  void open_screen_by_size(int width, int height, int depth) {
    _putenv("ZQGFX=gdi");
    ASSERT_EQ(set_screen_size(width, height, depth, 1, 0, 0), 0);
    ASSERT_NE(window_state.window, nullptr);
  }
  void TearDown() override {
    release_keys();
    set_screen_mode(0, 0, 0, 0, 0);
    _putenv("ZQGFX=");
  }

  HWND window() const { return window_state.window; }

  // Returns once the event thread has run a whole iteration (drawing, key
  // state refresh, message pump) that began after the call. Holding the
  // window lock means the thread is between iterations, so the next one it
  // finishes started later. (Sent messages are no such mark: one pump can
  // take several of them while posted messages keep it going.) The bound
  // only keeps a stopped thread from hanging the run.
  bool sync_with_event_thread() {
    screen_lock();
    const int32_t before = gdi_update_record.iterations;
    screen_unlock_unmarked();
    // An idle event thread sleeps until a message comes.
    PostMessageA(window(), WM_NULL, 0, 0);
    for (int i = 0; i < 2000; ++i) {
      Sleep(1);
      screen_lock();
      const bool done = gdi_update_record.iterations != before;
      screen_unlock_unmarked();
      if (done) return true;
    }
    ADD_FAILURE() << "the event thread finished no iteration";
    return false;
  }

  // The keyboard state the window's thread reads, shared with this thread.
  // Toggled keys (NumLock) have the low bit of their state set.
  void hold_keys(std::initializer_list<int> virtual_keys, std::initializer_list<int> toggled = {}) {
    attach();
    BYTE state[256] = {};
    for (int key : virtual_keys) state[key] = 0x80;
    for (int key : toggled) state[key] |= 0x01;
    SetKeyboardState(state);
  }
  // Keys held here are not in the X server's keymap, so a focus change still
  // on its way (each test opens a new window) makes the window's thread take
  // them back. Only releases happen that way: keys still held after a step
  // were held throughout it.
  bool keys_still_held(std::initializer_list<int> virtual_keys) {
    BYTE state[256] = {};
    GetKeyboardState(state);
    for (int key : virtual_keys)
      if (!(state[key] & 0x80)) return false;
    return true;
  }
  // The result of step with the keys held, from a round through which they
  // stood; a spoiled round's keys and events are dropped and it runs again.
  template <typename Step>
  auto with_keys_held(std::initializer_list<int> virtual_keys, Step step) {
    for (int round = 0;; ++round) {
      hold_keys(virtual_keys);
      auto result = step();
      if (keys_still_held(virtual_keys)) return result;
      drain();
      if (round == 20) {
        ADD_FAILURE() << "the held keys were taken back in every round";
        return result;
      }
    }
  }
  void release_keys() {
    if (!attached_) return;
    BYTE state[256] = {};
    SetKeyboardState(state);
    AttachThreadInput(GetCurrentThreadId(), attached_to_, FALSE);
    attached_ = false;
  }

  void drain() {
    ScreenEvent event;
    while (take_screen_event(&event)) {
    }
    while (key_buffer_pop() != 0) {
    }
  }
  std::vector<ScreenEvent> events() {
    std::vector<ScreenEvent> taken;
    ScreenEvent event;
    while (take_screen_event(&event)) taken.push_back(event);
    return taken;
  }
  // Key events only: the pointer may sit over the window and add its own.
  std::vector<ScreenEvent> key_events() {
    std::vector<ScreenEvent> keys;
    for (const ScreenEvent& event : events())
      if (event.type == KeyPress || event.type == KeyRelease || event.type == KeyRepeat ||
          event.type == WindowClose)
        keys.push_back(event);
    return keys;
  }
  std::vector<int32_t> buffered_keys() {
    std::vector<int32_t> codes;
    for (int32_t code; (code = key_buffer_pop()) != 0;) codes.push_back(code);
    return codes;
  }

 private:
  void attach() {
    if (attached_) return;
    attached_to_ = GetWindowThreadProcessId(window(), nullptr);
    attached_ = AttachThreadInput(GetCurrentThreadId(), attached_to_, TRUE) != 0;
  }
  bool attached_ = false;
  DWORD attached_to_ = 0;
};
