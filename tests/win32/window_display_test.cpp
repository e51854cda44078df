// The window frame and the mode list that the drivers share.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>

#include "gfx/drivers/video_driver.h"
#include "gfx/screen.h"
#include "gfx/win32/driver_steps.h"
#include "gfx/win32/window.h"
#include "gfx/win32/window_display.h"

namespace {

TEST(WindowDisplay, StylesFollowTheFlagsAndTheFrameGrowsTheClientArea) {
  const DWORD switchable = window_style(0);
  EXPECT_EQ(switchable, static_cast<DWORD>(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  EXPECT_EQ(window_style(kFlagNoSwitch), switchable & ~static_cast<DWORD>(WS_MAXIMIZEBOX));
  EXPECT_EQ(window_style(kFlagFrameless | kFlagNoSwitch), static_cast<DWORD>(WS_POPUP));
  EXPECT_EQ(switchable & ~kFrameStyles, 0u);

  window_state = WindowState{};
  window_state.width = 320;
  window_state.height = 200;
  const SIZE bare = window_outer_size(WS_POPUP);
  EXPECT_EQ(bare.cx, 320);
  EXPECT_EQ(bare.cy, 200);
  const SIZE framed = window_outer_size(switchable);
  EXPECT_GT(framed.cx, 320);
  EXPECT_GT(framed.cy, 200);  // the caption at least
  window_state = WindowState{};
}

// On a second monitor right of the first: centred on it, or covering it
// from its own corner in fullscreen.
TEST(WindowDisplay, TheFrameKeepsToItsMonitor) {
  window_state = WindowState{};
  window_state.width = 320;
  window_state.height = 200;
  MonitorArea monitor{};
  monitor.known = true;
  monitor.info.rcMonitor = RECT{1024, 100, 1024 + 800, 100 + 600};
  const WindowFrame windowed = window_frame(WS_POPUP, monitor);
  EXPECT_EQ(windowed.left, 1024 + (800 - 320) / 2);
  EXPECT_EQ(windowed.top, 100 + (600 - 200) / 2);
  EXPECT_EQ(windowed.width, 320);
  window_state.flags = kFlagFullscreen;
  const WindowFrame fullscreen = window_frame(WS_POPUP, monitor);
  EXPECT_EQ(fullscreen.left, 1024);
  EXPECT_EQ(fullscreen.top, 100);
  EXPECT_EQ(fullscreen.height, 200);
  window_state = WindowState{};
}

// The rate every driver stores: 0 and 1 stand for the hardware's default,
// no rate to wait by, and so does a rate that could not be read.
TEST(WindowDisplay, RefreshRatesOfOneOrLessAreStoredAsNone) {
  _putenv("ZQGFX=null");
  ASSERT_EQ(set_screen_mode(13, 8, 0, 0, 0), 0);
  const int cases[][2] = {{INT_MIN, 0}, {-1, 0}, {0, 0}, {1, 0}, {2, 2}, {60, 60}, {INT_MAX, INT_MAX}};
  for (const auto& c : cases) {
    screen_state->refresh_rate = 99;
    window_store_refresh_rate(c[0]);
    EXPECT_EQ(screen_state->refresh_rate, c[1]) << c[0];
  }
  set_screen_mode(0, 0, 0, 0, 0);
  _putenv("ZQGFX=");
  window_store_refresh_rate(60);  // no screen: nothing to store
}

TEST(WindowDisplay, ModeListsGrowAndHandTheirArrayOver) {
  ModeList list{};
  for (unsigned i = 0; i < 40; ++i) ASSERT_TRUE(mode_list_add(&list, 320 + i, 200 + i));
  int count = -1;
  int* modes = mode_list_take(&list, &count);
  ASSERT_NE(modes, nullptr);
  EXPECT_EQ(count, 40);
  EXPECT_EQ(modes[0], (320 << 16) | 200);
  EXPECT_EQ(modes[39], (359 << 16) | 239);
  EXPECT_EQ(list.modes, nullptr);  // the caller owns the array now
  std::free(modes);

  // An empty list yields null and a count of 0, with or without a count.
  count = -1;
  EXPECT_EQ(mode_list_take(&list, &count), nullptr);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(mode_list_take(&list, nullptr), nullptr);
  EXPECT_FALSE(mode_list_add(nullptr, 1, 1));
  EXPECT_EQ(mode_list_take(nullptr, &count), nullptr);
  EXPECT_EQ(count, 0);
}

}  // namespace
