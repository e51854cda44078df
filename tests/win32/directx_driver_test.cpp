// The DirectX driver on Wine's DirectDraw and DirectInput: every partial
// open closed cleanly, the live screen through the event thread, the mode
// list and the vertical-blank wait.
#include <cstdlib>
#include <cstring>

#include "directx_test_support.h"
#include "gfx/win32/drivers/driver_gdi.h"

namespace {

DEVMODEA current_display() {
  DEVMODEA mode{};
  mode.dmSize = sizeof mode;
  EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode);
  return mode;
}

class DirectXPartialOpens : public DirectXOnTestThread {
 protected:
  // The open runs on a thread of its own that then ends, as an event thread
  // does after a failed open; its window goes with it (destroying a shown
  // window on a display without a window manager makes Wine wait two
  // seconds), and the closes that follow run here, as window_exit's does.
  static DWORD WINAPI open_and_end(void* result) {
    *static_cast<int*>(result) = dx_open();
    return 0;
  }
  static int open_on_ended_thread() {
    int result = 0;
    HANDLE thread = CreateThread(nullptr, 0, open_and_end, &result, 0, nullptr);
    if (!thread) return -2;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    return result;
  }
  // Stops the open before each of its steps, then closes twice.
  void close_each_partial_open(int flags) {
    const DEVMODEA before = current_display();
    for (int limit = 0; limit < kDxOpenSteps; ++limit) {
      SCOPED_TRACE(limit);
      window_state.flags = flags;
      dx_test_hooks.open_step_limit = limit;
      EXPECT_EQ(open_on_ended_thread(), -1);
      dx_close();
      expect_closed();
      dx_close();
      expect_closed();
      const DEVMODEA after = current_display();
      EXPECT_EQ(after.dmPelsWidth, before.dmPelsWidth);
      EXPECT_EQ(after.dmPelsHeight, before.dmPelsHeight);
      EXPECT_EQ(after.dmBitsPerPel, before.dmBitsPerPel);
    }
    dx_test_hooks.open_step_limit = -1;
  }
};

TEST_F(DirectXPartialOpens, WindowedOpenStoppedAtAnyStepClosesCleanly) {
  close_each_partial_open(0);
  // The whole open after all of that.
  ASSERT_EQ(dx_open(), 0);
  EXPECT_NE(dx_state.back_surface, dx_state.primary_surface);
  EXPECT_NE(dx_state.clipper, nullptr);
  EXPECT_NE(dx_state.keyboard_device, nullptr);
  EXPECT_NE(window_state.blitter, nullptr);
  EXPECT_EQ(dx_state.y_offset, 0);
  // The keyboard's data format in full: 256 optional one-byte keys, each at
  // its own offset with its own instance.
  const DIDATAFORMAT& format = dx_state.keyboard_format;
  EXPECT_EQ(format.dwSize, 24u);
  EXPECT_EQ(format.dwObjSize, 16u);
  EXPECT_EQ(format.dwFlags, static_cast<DWORD>(DIDF_RELAXIS));
  EXPECT_EQ(format.dwDataSize, 256u);
  EXPECT_EQ(format.dwNumObjs, 256u);
  EXPECT_EQ(format.rgodf, dx_state.keyboard_objects);
  constexpr GUID kKey = {0x55728220, 0xD33C, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
  for (DWORD i = 0; i < 256; ++i) {
    const DIOBJECTDATAFORMAT& object = dx_state.keyboard_objects[i];
    ASSERT_NE(object.pguid, nullptr) << i;
    EXPECT_TRUE(IsEqualGUID(*object.pguid, kKey)) << i;
    EXPECT_EQ(object.dwOfs, i);
    EXPECT_EQ(object.dwType, (i << 8) | 0x8000000Cu) << i;
    EXPECT_EQ(object.dwFlags, 0u) << i;
  }
  pump_messages();
  dx_close();
  dx_close();
  expect_closed();
}

// Under Xvfb the only display mode DirectDraw can set is the desktop's own,
// so the fullscreen screen takes the desktop's width and depth.
TEST_F(DirectXPartialOpens, FullscreenOpenStoppedAtAnyStepRestoresTheDisplay) {
  const DEVMODEA desktop = current_display();
  use_screen(static_cast<int>(desktop.dmPelsWidth), static_cast<int>(desktop.dmPelsHeight), 32);
  close_each_partial_open(kFlagFullscreen);
}

TEST_F(DirectXPartialOpens, FullscreenDrawsIntoThePrimaryBelowTheOffsetOfATallerMode) {
  const DEVMODEA desktop = current_display();
  const int width = static_cast<int>(desktop.dmPelsWidth);
  const int height = static_cast<int>(desktop.dmPelsHeight);
  if (height != 768 || desktop.dmBitsPerPel != 32) GTEST_SKIP() << "needs a 768-line 32-bit desktop";
  // 700 lines: no such mode, the next taller one is the desktop's 768.
  use_screen(width, 700, 32);
  window_state.flags = kFlagFullscreen;
  ASSERT_EQ(dx_open(), 0);
  EXPECT_EQ(dx_state.y_offset, 34);
  EXPECT_EQ(dx_state.back_surface, dx_state.primary_surface);
  EXPECT_EQ(dx_state.clipper, nullptr);
  reinterpret_cast<uint32_t*>(screen_state->visible_page)[0] = 0x00123456;
  window_mark_all_dirty();
  dx_update_display();
  EXPECT_EQ(dx_test_hooks.updates, 1);
  DDSURFACEDESC surface{};
  surface.dwSize = sizeof surface;
  ASSERT_EQ(dx_state.primary_surface->Lock(nullptr, &surface, DDLOCK_WAIT, nullptr), DD_OK);
  const auto* memory = static_cast<const uint8_t*>(surface.lpSurface);
  uint32_t first_picture_pixel = 0, above_it = 0;
  std::memcpy(&first_picture_pixel, memory + surface.lPitch * 34, 4);
  std::memcpy(&above_it, memory + surface.lPitch * 33, 4);
  dx_state.primary_surface->Unlock(surface.lpSurface);
  EXPECT_EQ(first_picture_pixel & 0xFFFFFF, 0x123456u);
  EXPECT_NE(above_it & 0xFFFFFF, 0x123456u);
  pump_messages();
  dx_close();
  expect_closed();
}

TEST(DirectXInit, RefusedFlagsTouchNothing) {
  for (int flags : {kFlagOpenGL, kFlagLayered}) {
    EXPECT_EQ(dx_init("directx_refused", 320, 200, 8, 0, flags), -1);
    EXPECT_EQ(window_state.is_running, 0);
    EXPECT_EQ(window_state.window, nullptr);
    EXPECT_EQ(dx_state.ddraw_library, nullptr);
    WNDCLASSA found{};
    EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), "zqgfxclass_directx_refused", &found));
    EXPECT_EQ(window_exit(), 0);
  }
}

// The real driver chosen by name for a real screen.
class DirectXScreen : public ::testing::Test {
 protected:
  void open_screen(int flags = 0) {
    _putenv("ZQGFX=directx");
    ASSERT_EQ(set_screen_mode(13, 8, 0, flags, 0), 0);
    ASSERT_NE(screen_state, nullptr);
  }
  void TearDown() override {
    set_screen_mode(0, 0, 0, 0, 0);
    _putenv("ZQGFX=");
  }
  // Changes a pixel and waits (the bound only keeps a stopped thread from
  // hanging the run) for the update that shows it.
  static bool wait_for_update() {
    screen_lock();
    const int32_t before = dx_test_hooks.updates;
    ++screen_state->visible_page[320 * 100];
    screen_unlock(100, 100);
    for (int i = 0; i < 2000; ++i) {
      Sleep(1);
      screen_lock();
      const bool done = dx_test_hooks.updates != before;
      screen_unlock_unmarked();
      if (done) return true;
    }
    return false;
  }
};

TEST_F(DirectXScreen, OpensWindowedWithACentredClientAreaAndUpdates) {
  open_screen();
  EXPECT_EQ(screen_state->driver, &directx_driver);
  HWND window = window_state.window;
  ASSERT_NE(window, nullptr);
  RECT client{};
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 320);
  EXPECT_EQ(client.bottom, 200);
  const LONG style = GetWindowLongA(window, GWL_STYLE);
  for (LONG part : {WS_CAPTION, WS_SYSMENU, WS_MINIMIZEBOX, WS_MAXIMIZEBOX}) EXPECT_EQ(style & part, part);
  // The client size, not the frame, is centred on the screen.
  RECT bounds{};
  GetWindowRect(window, &bounds);
  EXPECT_EQ(bounds.left, (GetSystemMetrics(SM_CXSCREEN) - 320) >> 1);
  EXPECT_EQ(bounds.top, (GetSystemMetrics(SM_CYSCREEN) - 200) >> 1);
  EXPECT_TRUE(wait_for_update());
  EXPECT_TRUE(wait_for_update());

  // The vertical-blank wait returns with the driver open and closed.
  dx_wait_vsync();
  set_screen_mode(0, 0, 0, 0, 0);
  EXPECT_EQ(dx_state.direct_draw, nullptr);
  EXPECT_EQ(dx_state.ddraw_library, nullptr);
  dx_wait_vsync();
  EXPECT_EQ(window_exit(), 0);
}

TEST_F(DirectXScreen, ALayeredScreenGoesToTheNextDriver) {
  open_screen(kFlagLayered);
  EXPECT_EQ(screen_state->driver, &gdi_driver);
}

TEST_F(DirectXScreen, ModesAreListedOpenOrClosedAndPackedWidthHeight) {
  const DEVMODEA desktop = current_display();
  const int packed = static_cast<int>((desktop.dmPelsWidth << 16) | desktop.dmPelsHeight);
  const auto lists_desktop = [&](int* modes, int count) {
    bool found = false;
    for (int i = 0; i < count; ++i) found = found || modes[i] == packed;
    std::free(modes);
    return found;
  };
  const int depth = desktop.dmBitsPerPel == 24 ? 32 : static_cast<int>(desktop.dmBitsPerPel);
  int count = -1;
  int* closed_modes = dx_fetch_modes(depth, &count);
  EXPECT_GT(count, 0);
  EXPECT_TRUE(lists_desktop(closed_modes, count));

  open_screen();
  count = -1;
  int* open_modes = dx_fetch_modes(depth, &count);
  EXPECT_GT(count, 0);
  EXPECT_TRUE(lists_desktop(open_modes, count));

  for (int none : {0, -1, 7, 12345}) {
    count = -1;
    EXPECT_EQ(dx_fetch_modes(none, &count), nullptr);
    EXPECT_EQ(count, 0);
  }
  int* without_count = dx_fetch_modes(depth, nullptr);
  EXPECT_NE(without_count, nullptr);
  std::free(without_count);
}

}  // namespace
