// The DirectX driver run on the test's own thread: a screen record without
// a driver, the window class registered, and no event thread, so that each
// driver step can be called and checked in turn.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>

#include "gfx/input/key_input.h"
#include "gfx/screen.h"
#include "gfx/win32/drivers/driver_directx.h"
#include "gfx/win32/window.h"

class DirectXOnTestThread : public ::testing::Test {
 protected:
  void SetUp() override {
    _putenv("ZQGFX=null");
    ASSERT_EQ(set_screen_mode(13, 8, 0, 0, 0), 0);
    window_state = WindowState{};
    window_state.driver_open = dx_open;
    window_state.driver_close = dx_close;
    window_state.driver_paint = dx_present;
    // The OpenGL flag registers the class without starting a thread; the
    // driver then runs windowed on this thread.
    ASSERT_EQ(window_init("directx_test", 320, 200, 8, 0, kFlagOpenGL), 0);
    window_state.flags = 0;
    dx_state.window_x = 10;
    dx_state.window_y = 10;
    dx_state.window_placed = 1;
    dx_state.display_lost = 0;
    dx_test_hooks = DxTestHooks{};
    dx_test_hooks.reopen_pause_ms = 1;
    while (key_buffer_pop() != 0) {
    }
  }
  void TearDown() override {
    pump_messages();
    window_exit();
    dx_test_hooks = DxTestHooks{};
    set_screen_mode(0, 0, 0, 0, 0);
    _putenv("ZQGFX=");
  }

  // A screen record of another size (still without a driver) for the driver
  // to open on.
  static void use_screen(int width, int height, int depth) {
    ASSERT_EQ(set_screen_size(width, height, depth, 1, 0, 0), 0);
    window_state.width = width;
    window_state.height = height;
    window_state.depth = depth;
  }

  // The windows made here belong to this thread, which must answer their
  // messages as an event thread would.
  static void pump_messages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }

  // Everything an open can have made is released and cleared.
  static void expect_closed() {
    EXPECT_EQ(dx_state.ddraw_library, nullptr);
    EXPECT_EQ(dx_state.dinput_library, nullptr);
    EXPECT_EQ(dx_state.direct_draw, nullptr);
    EXPECT_EQ(dx_state.primary_surface, nullptr);
    EXPECT_EQ(dx_state.back_surface, nullptr);
    EXPECT_EQ(dx_state.clipper, nullptr);
    EXPECT_EQ(dx_state.dd_palette, nullptr);
    EXPECT_EQ(dx_state.direct_input, nullptr);
    EXPECT_EQ(dx_state.keyboard_device, nullptr);
    EXPECT_EQ(window_state.window, nullptr);
    EXPECT_EQ(window_state.blitter, nullptr);
  }
};
