// Every entry of every driver record, and the run-time linking helpers,
// called with the values a careless or hostile caller passes: the int
// extremes, null pointers, sizes no window can have. Each entry is called
// closed and (where it needs one) on a real small screen; an open that is
// refused must leave nothing open, and a normal open must work afterwards.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "gfx/drivers/gl_pixel_format.h"
#include "gfx/drivers/video_driver.h"
#include "gfx/screen.h"
#include "gfx/win32/drivers/run_time_linking.h"
#include "gfx/win32/window.h"
#include "rt/routed.h"
#include "support/hostile_values.h"

namespace {

using hostile::for_each_pair;
using hostile::for_each_value;
using hostile::kFewInts;

constexpr int kWidth = 64;
constexpr int kHeight = 48;

std::vector<const VideoDriver*> all_records() {
  std::vector<const VideoDriver*> records;
  for (const VideoDriver* const* entry = driver_list; *entry; ++entry) records.push_back(*entry);
  records.push_back(&null_driver);
  return records;
}

bool is_opengl(const VideoDriver* driver) { return driver_name_equals(driver->name, "OpenGL"); }

// The flags a normal screen of the record needs.
int normal_flags(const VideoDriver* driver) {
  if (driver == &null_driver) return kFlagNullDriver;
  return is_opengl(driver) ? kFlagOpenGL : 0;
}

void expect_nothing_open(const char* what) {
  EXPECT_EQ(window_state.window, nullptr) << what;
  EXPECT_EQ(window_event_thread(), nullptr) << what;
}

class DriverHostileValues : public ::testing::Test {
 protected:
  void SetUp() override { gl_attributes = GlAttributes{}; }
  void TearDown() override {
    set_screen_mode(0, 0, 0, 0, 0);
    _putenv("ZQGFX=");
    gl_attributes = GlAttributes{};
  }
  // A real small screen of the record, through the runtime.
  bool open_normal(const VideoDriver* driver) {
    const std::string choice = std::string("ZQGFX=") + (driver == &null_driver ? "null" : driver->name);
    _putenv(choice.c_str());
    if (set_screen_size(kWidth, kHeight, is_opengl(driver) ? 32 : 8, 1, normal_flags(driver), 0) != 0)
      return false;
    return screen_state && screen_state->driver == driver;
  }
};

constexpr std::pair<int, int> kPositions[] = {{INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}, {INT_MIN, INT_MAX},
                                             {-32768, -1}, {65536, 0}, {-1, INT_MIN}};
constexpr int kModeDepths[] = {INT_MIN, -1, 0, 32, INT_MAX};

// Every slot but init and exit, with the extremes; valid whether
// a screen is open or not.
void call_entries(const VideoDriver* driver) {
  if (driver->set_palette) {
    for_each_pair(kFewInts, [&](int index, int colour) { driver->set_palette(index, colour, -colour, colour); });
  }
  if (driver->get_mouse) {
    const int closed = driver->get_mouse(nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_TRUE(closed == 0 || closed == -1) << closed;
    int x = 0, y = 0, wheel = 0, buttons = 0, clip = 0;
    const int result = driver->get_mouse(&x, &y, &wheel, &buttons, &clip);
    EXPECT_TRUE(result == 0 || result == -1) << result;
    driver->get_mouse(&x, nullptr, &wheel, nullptr, &clip);
  }
  if (driver->set_mouse) {
    for_each_pair(kFewInts, [&](int x, int y) { driver->set_mouse(x, y, -1, -1); });
    for_each_pair(kFewInts, [&](int cursor, int clip) { driver->set_mouse(-1, -1, cursor, clip); });
    driver->set_mouse(-1, -1, 1, 0);  // the cursor shown and free again
  }
  if (driver->set_window_title) {
    driver->set_window_title(nullptr);
    driver->set_window_title("");
    driver->set_window_title(std::string(70000, 't').c_str());
    driver->set_window_title("hostile");
  }
  // A few pairs and depths only: every call goes to the system (the
  // DirectX mode list opens the library each time).
  if (driver->set_window_pos) {
    for (const auto& [x, y] : kPositions) driver->set_window_pos(x, y);
  }
  if (driver->fetch_modes) {
    for (int depth : kModeDepths) {
      int count = -5;
      int* modes = driver->fetch_modes(depth, &count);
      EXPECT_EQ(modes != nullptr, count > 0) << depth;
      std::free(modes);
    }
    std::free(driver->fetch_modes(32, nullptr));
  }
  // The lock only in pairs: leaving a lock not held is no value but misuse.
  if (driver->lock && driver->unlock) {
    driver->lock();
    driver->lock();
    driver->unlock();
    driver->unlock();
  }
  if (driver->wait_vsync) driver->wait_vsync();
  if (driver->flip) driver->flip();
  if (driver->poll_events) driver->poll_events();
}

TEST_F(DriverHostileValues, EveryEntryWhileClosed) {
  for (const VideoDriver* driver : all_records()) {
    SCOPED_TRACE(driver->name);
    set_screen_mode(0, 0, 0, 0, 0);
    POINT before{}, after{};
    GetCursorPos(&before);
    call_entries(driver);
    GetCursorPos(&after);
    // No screen: the system's pointer is not moved.
    EXPECT_EQ(before.x, after.x);
    EXPECT_EQ(before.y, after.y);
    if (driver->get_mouse) {
      int x = 7;
      EXPECT_EQ(driver->get_mouse(&x, nullptr, nullptr, nullptr, nullptr), -1);
      EXPECT_EQ(x, 7);
    }
    if (driver->exit) {
      EXPECT_EQ(driver->exit(), 0);
      EXPECT_EQ(driver->exit(), 0);
    }
    expect_nothing_open(driver->name);
    // A screen opens as usual afterwards.
    EXPECT_TRUE(open_normal(driver));
  }
}

// Waits, without a time assertion, for the window's move (asked for
// asynchronously) to arrive.
RECT settled_rect(HWND window, int left, int top) {
  RECT rect{};
  for (int i = 0; i < 200; ++i) {
    GetWindowRect(window, &rect);
    if (rect.left == left && rect.top == top) break;
    Sleep(5);
  }
  return rect;
}

TEST_F(DriverHostileValues, EveryEntryOnAnOpenScreenThenTheScreenStillWorks) {
  for (const VideoDriver* driver : all_records()) {
    SCOPED_TRACE(driver->name);
    ASSERT_TRUE(open_normal(driver));
    call_entries(driver);
    if (window_state.window && driver->set_window_pos && !(window_state.flags & kFlagFullscreen)) {
      char title[16] = {};
      GetWindowTextA(window_state.window, title, sizeof title);
      driver->set_window_title(nullptr);  // keeps the title
      char kept[16] = {};
      GetWindowTextA(window_state.window, kept, sizeof kept);
      EXPECT_STREQ(kept, title);
      // 0x80000000 keeps the coordinate it stands for.
      driver->set_window_pos(100, 60);
      RECT rect = settled_rect(window_state.window, 100, 60);
      driver->set_window_pos(INT_MIN, 80);
      rect = settled_rect(window_state.window, 100, 80);
      EXPECT_EQ(rect.left, 100);
      EXPECT_EQ(rect.top, 80);
      driver->set_window_pos(120, INT_MIN);
      rect = settled_rect(window_state.window, 120, 80);
      EXPECT_EQ(rect.left, 120);
      EXPECT_EQ(rect.top, 80);
      const int packed = driver->set_window_pos(INT_MIN, INT_MIN);
      EXPECT_EQ(packed, 120 | (80 << 16));
    }
    // The screen goes on: text, a page copy, a whole redraw, and closing.
    print_bytes(reinterpret_cast<const uint8_t*>("after\r\n"), 7, 0);
    screen_lock();
    screen_unlock_all_lines();
    if (driver->flip) driver->flip();
    EXPECT_EQ(set_screen_mode(0, 0, 0, 0, 0), 0);
    expect_nothing_open(driver->name);
  }
}

// Opens the record directly with values no screen has; the runtime's
// screen is a null-driver one of the normal size, so that the driver's
// thread has pixels to read should an open go through.
struct InitCase {
  int width, height, depth, refresh_rate, flags;
  bool must_fail;
};

constexpr InitCase kInitCases[] = {
    {INT_MIN, kHeight, 8, 0, 0, true},
    {-1, kHeight, 8, 0, 0, true},
    {0, kHeight, 8, 0, 0, true},
    {INT_MAX, kHeight, 8, 0, 0, true},
    {65536, kHeight, 8, 0, 0, true},
    {kWidth, INT_MIN, 8, 0, 0, true},
    {kWidth, 0, 8, 0, 0, true},
    {kWidth, INT_MAX, 8, 0, 0, true},
    {INT_MAX, INT_MAX, 8, 0, 0, true},
    {INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN, true},
    {kWidth, kHeight, 33, 0, 0, true},
    {kWidth, kHeight, INT_MAX, 0, 0, true},
    // Depths below 8 are drawn as 8; rates and flags are the system's to
    // grant or refuse. These may open, and must close again.
    {kWidth, kHeight, INT_MIN, INT_MAX, 0, false},
    {kWidth, kHeight, 0, -1, 0, false},
    {kWidth, kHeight, 8, INT_MIN, -1, false},
    {kWidth, kHeight, 8, 0, INT_MIN, false},
    {32767, 1, 8, 0, 0, false},
};

TEST_F(DriverHostileValues, InitWithExtremesFailsCleanlyAndANormalOpenStillWorks) {
  for (const VideoDriver* driver : all_records()) {
    if (!driver->init) continue;
    SCOPED_TRACE(driver->name);
    for (const InitCase& c : kInitCases) {
      SCOPED_TRACE(testing::Message() << c.width << " x " << c.height << " x " << c.depth << " @ "
                                      << c.refresh_rate << " flags " << c.flags);
      // Sizes a window may have are those of the screen: the driver draws
      // the screen's pages at the size it was given.
      _putenv("ZQGFX=null");
      ASSERT_EQ(set_screen_size(c.must_fail ? kWidth : c.width, c.must_fail ? kHeight : c.height, 8, 1, 0, 0), 0);
      // The flags of a normal screen of the record, unless they are the case.
      const int flags = c.flags != 0 ? c.flags : normal_flags(driver);
      const int result = driver->init("hostile", c.width, c.height, c.depth, c.refresh_rate, flags);
      if (c.must_fail) {
        EXPECT_NE(result, 0);
        EXPECT_EQ(window_event_thread(), nullptr);
      }
      if (driver->exit) driver->exit();
      expect_nothing_open("after exit");
      set_screen_mode(0, 0, 0, 0, 0);
    }
    EXPECT_TRUE(open_normal(driver));
    set_screen_mode(0, 0, 0, 0, 0);
  }
}

// GDI lays its bitmap out from the screen's lines: a window that disagrees
// with the screen would be drawn past the end of its buffers.
TEST_F(DriverHostileValues, GdiRefusesAWindowThatDisagreesWithItsScreen) {
  const VideoDriver* gdi = nullptr;
  for (const VideoDriver* driver : all_records())
    if (driver_name_equals(driver->name, "GDI")) gdi = driver;
  ASSERT_NE(gdi, nullptr);
  _putenv("ZQGFX=null");
  ASSERT_EQ(set_screen_size(kWidth, kHeight, 8, 1, 0, 0), 0);
  const int sizes[][3] = {{kWidth, kHeight, 16}, {kWidth, kHeight, 32}, {kWidth + 1, kHeight, 8},
                          {kWidth, kHeight * 2, 8}, {1, 1, 8}, {32767, 1, 8}};
  for (const auto& [width, height, depth] : sizes) {
    EXPECT_EQ(gdi->init("hostile", width, height, depth, 0, 0), -1) << width << " x " << height << " x " << depth;
    gdi->exit();
    expect_nothing_open("after a refused open");
  }
  EXPECT_EQ(gdi->init("hostile", kWidth, kHeight, 8, 0, 0), 0);
  EXPECT_NE(window_state.window, nullptr);
  gdi->exit();
  expect_nothing_open("after exit");
}

TEST(RunTimeLinkingHostileValues, NullNamesListsAndHandles) {
  FARPROC entries[4] = {};
  const char* const names[] = {"GetTickCount", nullptr};
  const char* const null_inside[] = {"GetTickCount", nullptr, "GetVersion"};
  EXPECT_EQ(load_library(nullptr, names, entries), nullptr);
  EXPECT_EQ(load_library("", names, entries), nullptr);
  EXPECT_EQ(load_library("no_such_library_here.dll", names, entries), nullptr);
  HMODULE module = load_library("kernel32.dll", nullptr, nullptr);  // no names: just loaded
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(resolve_symbols(module, nullptr, 1, entries), -1);
  EXPECT_EQ(resolve_symbols(module, names, 1, nullptr), -1);
  EXPECT_EQ(resolve_symbols(nullptr, names, 1, entries), -1);
  for_each_value(kFewInts, [&](int count) {
    if (count > 0) return;
    EXPECT_EQ(resolve_symbols(module, names, count, entries), 0) << count;  // nothing to resolve
  });
  EXPECT_EQ(resolve_symbols(module, null_inside, 3, entries), -1);
  EXPECT_NE(entries[0], nullptr);
  const char* const missing[] = {"GetTickCount", "NoSuchEntryAnywhere", nullptr};
  EXPECT_EQ(load_library("kernel32.dll", missing, entries), nullptr);
  free_library(&module);
  EXPECT_EQ(module, nullptr);
  free_library(&module);
  free_library(nullptr);
}

}  // namespace
