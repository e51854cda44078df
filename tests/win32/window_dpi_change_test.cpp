// A window told that its DPI changed, as the system tells one moved to
// another monitor: the factor chosen again, the window resized at the
// suggested place, and the picture and mouse at the new factor, on GDI and
// on the DirectX driver over Wine's DirectDraw.
#include <cstring>
#include <vector>

#include "directx_test_support.h"
#include "gfx/drivers/window_scale.h"
#include "gfx/win32/window_dpi.h"
#include "gfx/win32/window_dpi_change.h"
#include "window_test_support.h"

namespace {

WPARAM dpi_wparam(int dpi) { return MAKEWPARAM(dpi, dpi); }

SIZE client_size(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  return SIZE{client.right, client.bottom};
}

// A different byte in each horizontal and vertical neighbour, so that a
// block drawn one pixel off shows.
uint8_t pattern(int x, int y) { return static_cast<uint8_t>(x + 3 * y); }

// The largest factor at which the window's client area fits the desktop's
// work area with the frame, as a monitor of very high DPI asks for more.
int largest_fitting_scale(HWND window) {
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  RECT frame = {0, 0, 0, 0};
  AdjustWindowRect(&frame, static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)), FALSE);
  int scale = 1;
  while (scale < kMaxWindowScale && 320 * (scale + 1) + frame.right - frame.left <= work.right - work.left &&
         200 * (scale + 1) + frame.bottom - frame.top <= work.bottom - work.top)
    ++scale;
  return scale;
}

class GdiDpiChangeTest : public GdiScreenTest {
 protected:
  void SetUp() override {
    open_screen();
    // Every index its own colour, and the page the pattern.
    screen_lock();
    for (int i = 0; i < 256; ++i) window_set_palette(i, i, 255 - i, (i * 7) & 0xFF);
    for (int y = 0; y < 200; ++y)
      for (int x = 0; x < 320; ++x) screen_state->visible_page[y * 320 + x] = pattern(x, y);
    screen_unlock_all_lines();
  }
  void TearDown() override {
    set_window_scale_request(kWindowScaleAuto);
    GdiScreenTest::TearDown();
  }
  void change_dpi(int dpi, RECT place) {
    SendMessageA(window(), kDpiChangedMessage, dpi_wparam(dpi), reinterpret_cast<LPARAM>(&place));
    ASSERT_TRUE(sync_with_event_thread());
  }
  // The pixels the window shows now, read from the screen under the window
  // lock (no drawing meanwhile), counted against the page's pixel whose
  // block each lies in.
  int pixels_off_their_block(int scale) {
    const int width = 320 * scale, height = 200 * scale;
    HDC window_device = GetDC(window());
    HDC memory = CreateCompatibleDC(window_device);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    int off = -1;
    if (bitmap && bits) {
      HGDIOBJ previous = SelectObject(memory, bitmap);
      screen_lock();
      BitBlt(memory, 0, 0, width, height, window_device, 0, 0, SRCCOPY);
      screen_unlock_unmarked();
      GdiFlush();
      const auto* shown = static_cast<const uint32_t*>(bits);
      off = 0;
      for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
          const int index = pattern(x / scale, y / scale);
          const uint32_t expected = static_cast<uint32_t>(index << 16 | (255 - index) << 8 | ((index * 7) & 0xFF));
          off += (shown[y * width + x] & 0xFFFFFF) != expected;
        }
      SelectObject(memory, previous);
      DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(window(), window_device);
    return off;
  }
};

// Up to twice the base DPI, past what the desktop holds, and back: the
// client area is the screen times the factor at the suggested corner, every
// pixel in its whole block, and the mouse counted in screen pixels.
TEST_F(GdiDpiChangeTest, TheFactorFollowsTheDpiAndThePictureFillsTheWindow) {
  ASSERT_EQ(client_size(window()).cx, 320);
  const int very_high = largest_fitting_scale(window());
  ASSERT_GE(very_high, 2) << "the desktop is too small for a scaled window";
  const struct {
    int dpi;
    int scale;
  } steps[] = {{192, 2}, {96 * kMaxWindowScale, very_high}, {120, 1}, {192, 2}};
  int left = 20;
  for (const auto& step : steps) {
    SCOPED_TRACE(step.dpi);
    left += 10;
    change_dpi(step.dpi, RECT{left, 25, left + 100, 125});
    const SIZE client = client_size(window());
    EXPECT_EQ(client.cx, 320 * step.scale);
    EXPECT_EQ(client.cy, 200 * step.scale);
    RECT bounds{};
    GetWindowRect(window(), &bounds);
    EXPECT_EQ(bounds.left, left);
    EXPECT_EQ(bounds.top, 25);

    // A frame presented afterwards fills the window.
    screen_lock();
    screen_unlock_all_lines();
    ASSERT_TRUE(sync_with_event_thread());
    EXPECT_EQ(pixels_off_their_block(step.scale), 0);

    screen_lock();
    window_procedure(window(), WM_MOUSEMOVE, 0, MAKELPARAM(320 * step.scale - 1, 2 * step.scale - 1));
    EXPECT_EQ(window_input.mouse_x, 319);
    EXPECT_EQ(window_input.mouse_y, 1);
    screen_unlock_unmarked();
  }
}

// An explicit factor stays whatever the DPI; a message without a rectangle
// leaves the window where it is.
TEST_F(GdiDpiChangeTest, AnExplicitFactorIsKept) {
  set_screen_mode(0, 0, 0, 0, 0);
  ASSERT_EQ(set_window_scale_request(2), 0);
  open_screen();
  RECT before{};
  GetWindowRect(window(), &before);
  for (int dpi : {96, 288, 0}) {
    SCOPED_TRACE(dpi);
    SendMessageA(window(), kDpiChangedMessage, dpi_wparam(dpi), 0);
    const SIZE client = client_size(window());
    EXPECT_EQ(client.cx, 640);
    EXPECT_EQ(client.cy, 400);
    RECT bounds{};
    GetWindowRect(window(), &bounds);
    EXPECT_EQ(bounds.left, before.left);
    EXPECT_EQ(bounds.top, before.top);
  }
}

// The DirectX driver on this thread: its back surface has the client area's
// size at every factor, and what it holds after an update is the unscaled
// picture enlarged by whole blocks.
class DirectXDpiChangeTest : public DirectXOnTestThread {
 protected:
  void SetUp() override {
    DirectXOnTestThread::SetUp();
    window_state.driver_rescale = dx_rescale;
    for (int y = 0; y < 200; ++y)
      for (int x = 0; x < 320; ++x) screen_state->visible_page[y * 320 + x] = pattern(x, y);
  }
  void TearDown() override {
    dx_close();
    DirectXOnTestThread::TearDown();
  }
  static void change_dpi(int dpi) {
    RECT place{30, 40, 130, 140};
    window_procedure(window_state.window, kDpiChangedMessage, dpi_wparam(dpi), reinterpret_cast<LPARAM>(&place));
    pump_messages();
  }
  // The back surface after an update of a viewer's pass (every line marked,
  // none changed), one 32-bit value per pixel.
  static std::vector<uint32_t> updated_back_surface(int scale) {
    std::memset(screen_state->dirty_lines, 1, 200);
    dx_update_display();
    std::vector<uint32_t> pixels;
    DDSURFACEDESC surface{};
    surface.dwSize = sizeof surface;
    if (dx_state.back_surface->GetSurfaceDesc(&surface) != DD_OK ||
        surface.dwWidth != static_cast<DWORD>(320 * scale) || surface.dwHeight != static_cast<DWORD>(200 * scale)) {
      ADD_FAILURE() << "back surface " << surface.dwWidth << "x" << surface.dwHeight << " at scale " << scale;
      return pixels;
    }
    surface = DDSURFACEDESC{};
    surface.dwSize = sizeof surface;
    if (dx_state.back_surface->Lock(nullptr, &surface, DDLOCK_WAIT, nullptr) != DD_OK) return pixels;
    const int bytes = static_cast<int>(surface.ddpfPixelFormat.dwRGBBitCount + 7) / 8;
    const auto* memory = static_cast<const uint8_t*>(surface.lpSurface);
    for (int y = 0; y < 200 * scale; ++y)
      for (int x = 0; x < 320 * scale; ++x) {
        uint32_t pixel = 0;
        std::memcpy(&pixel, memory + static_cast<ptrdiff_t>(surface.lPitch) * y + x * bytes, bytes);
        pixels.push_back(pixel);
      }
    dx_state.back_surface->Unlock(surface.lpSurface);
    return pixels;
  }
  static int pixels_off_their_block(const std::vector<uint32_t>& unscaled, int scale) {
    const std::vector<uint32_t> scaled = updated_back_surface(scale);
    if (scaled.size() != unscaled.size() * scale * scale) return -1;
    int off = 0;
    for (int y = 0; y < 200 * scale; ++y)
      for (int x = 0; x < 320 * scale; ++x)
        off += scaled[y * 320 * scale + x] != unscaled[(y / scale) * 320 + x / scale];
    return off;
  }
};

// Up, refused (the old factor stays whole and working), up again, and back
// to 1.
TEST_F(DirectXDpiChangeTest, TheBackSurfaceFollowsTheFactorOrStaysAsItWas) {
  ASSERT_EQ(dx_open(), 0);
  pump_messages();
  const std::vector<uint32_t> unscaled = updated_back_surface(1);
  ASSERT_EQ(unscaled.size(), 320u * 200u);
  const int very_high = largest_fitting_scale(window_state.window);
  ASSERT_GE(very_high, 3) << "the desktop is too small for the factors tried";

  const struct {
    int dpi;
    int refused;
    int scale;
  } steps[] = {{192, 0, 2}, {288, 1, 2}, {96 * kMaxWindowScale, 0, very_high}, {96, 0, 1}};
  for (const auto& step : steps) {
    SCOPED_TRACE(step.dpi);
    dx_test_hooks.failing_rescales = step.refused;
    change_dpi(step.dpi);
    EXPECT_EQ(window_client_scale(), step.scale);
    const SIZE client = client_size(window_state.window);
    EXPECT_EQ(client.cx, 320 * step.scale);
    EXPECT_EQ(client.cy, 200 * step.scale);
    EXPECT_EQ(dx_state.scale_buffer != nullptr, step.scale > 1);
    EXPECT_EQ(pixels_off_their_block(unscaled, step.scale), 0);
  }
}

// Fullscreen keeps its display mode's size: the message is the system's.
TEST_F(DirectXDpiChangeTest, FullscreenIsLeftAlone) {
  window_state.flags = kFlagFullscreen;
  window_state.window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 320, 200, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window_state.window, nullptr);
  RECT place{30, 40, 130, 140};
  EXPECT_FALSE(window_handle_dpi_change(window_state.window, dpi_wparam(192), reinterpret_cast<LPARAM>(&place)));
  RECT bounds{};
  GetWindowRect(window_state.window, &bounds);
  EXPECT_EQ(bounds.left, 0);
  EXPECT_EQ(bounds.right, 320);
  EXPECT_EQ(window_client_scale(), 1);
  DestroyWindow(window_state.window);
  window_state.window = nullptr;
  window_state.flags = 0;
}

}  // namespace
