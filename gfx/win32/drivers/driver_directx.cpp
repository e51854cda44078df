// The DirectDraw driver: windowed through an off-screen surface and a
// clipped blit, fullscreen straight into the primary surface of an exclusive
// display mode; the held keys come from a DirectInput keyboard device.
// Nothing is linked: "ddraw.dll" and "dinput.dll" are loaded by name, so the
// program still starts, and falls back to the next driver, without them.
#include "gfx/win32/drivers/driver_directx.h"

#include <cstring>

#include "gfx/input/key_input.h"
#include "gfx/screen.h"
#include "gfx/win32/drivers/directx_library.h"
#include "gfx/win32/drivers/run_time_linking.h"
#include "gfx/win32/failure_trace.h"
#include "gfx/win32/window.h"
#include "gfx/win32/window_display.h"
#include "gfx/win32/window_dpi.h"

const VideoDriver directx_driver = {
    .name = "DirectX",
    .init = dx_init,
    .exit = dx_exit,
    .lock = window_lock,
    .unlock = window_unlock_and_wake,
    .set_palette = window_set_palette,
    .wait_vsync = dx_wait_vsync,
    .get_mouse = window_get_mouse,
    .set_mouse = window_set_mouse,
    .set_window_title = window_set_title,
    .set_window_pos = window_set_pos,
    .fetch_modes = dx_fetch_modes,
};

namespace {

constexpr DWORD kFullscreenStyle = WS_POPUP | WS_VISIBLE;
constexpr DWORD kFullscreenLevel = DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE;

// Lost surfaces that report lost again right after a successful restore are
// left for the next iteration rather than retried without end.
constexpr int kRestoreRounds = 4;

struct DeviceSearch {
  HMONITOR monitor;
  GUID device;
  bool found;
};

BOOL WINAPI match_device_monitor(GUID* device, LPSTR, LPSTR, LPVOID context, HMONITOR monitor) {
  auto* search = static_cast<DeviceSearch*>(context);
  if (!device || monitor != search->monitor) return TRUE;
  search->device = *device;
  search->found = true;
  return FALSE;
}

int open_window_and_mode() {
  const int width = window_state.width;
  const int height = window_state.height;
  if (!dx_fullscreen()) {
    const DWORD style = window_style(window_state.flags) | WS_VISIBLE;
    const SIZE outer = window_outer_size(style);
    if (!dx_state.window_placed) {
      const int scale = window_client_scale();
      dx_state.window_x = (GetSystemMetrics(SM_CXSCREEN) - width * scale) >> 1;
      dx_state.window_y = (GetSystemMetrics(SM_CYSCREEN) - height * scale) >> 1;
      dx_state.window_placed = 1;
    }
    if (window_create(style, 0, dx_state.window_x, dx_state.window_y, outer.cx, outer.cy) != 0) return -1;
    if (!dx_may_take_step(kStepCooperativeLevel)) return -1;
    if (ZQ_FAILED(dx_state.direct_draw->SetCooperativeLevel(window_state.window, DDSCL_NORMAL),
                  "SetCooperativeLevel(DDSCL_NORMAL)"))
      return -1;
    if (ZQ_FAILED(dx_state.direct_draw->CreateClipper(0, &dx_state.clipper, nullptr), "CreateClipper") ||
        !dx_state.clipper) {
      dx_state.clipper = nullptr;
      return -1;
    }
    if (ZQ_FAILED(dx_state.clipper->SetHWnd(0, window_state.window), "SetHWnd of the clipper")) return -1;
    dx_state.y_offset = 0;
    return 0;
  }
  if (window_create(kFullscreenStyle, 0, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)) != 0)
    return -1;
  if (!dx_may_take_step(kStepCooperativeLevel)) return -1;
  if (ZQ_FAILED(dx_state.direct_draw->SetCooperativeLevel(window_state.window, kFullscreenLevel),
                "SetCooperativeLevel(fullscreen, exclusive)"))
    return -1;
  const int y_offset = dx_set_display_mode(width, height, window_state.depth, window_state.refresh_rate,
                                           dx_set_mode_on_direct_draw, dx_state.direct_draw);
  if (y_offset < 0) {
    ZQ_TRACE_FAILURE("no display mode of width %d from %d lines up to 1024 at %d bits or the partner depth",
                     width, height, window_state.depth);
    return -1;
  }
  dx_state.y_offset = y_offset;
  return 0;
}

// A changed display mode: the whole driver is closed and opened again. This
// runs under the window lock, so retrying without end would freeze the
// program's thread for good when the mode never comes back (another program
// keeps the display, the device is gone). We give up after kReopenAttempts
// opens 300 ms apart, about three seconds: long enough for another program's
// mode switch to settle. Giving up leaves the driver closed and sends the
// program the close request, the one way it learns that its screen is gone:
// the window has been destroyed and the user can no longer close it.
int reopen_driver() {
  dx_test_hooks.reopen_attempts = 0;
  for (int attempt = 0; attempt < kReopenAttempts; ++attempt) {
    // Closed before the pause: what a failed open made (a window, the
    // exclusive level, perhaps a display mode) is not kept through it.
    dx_close();
    if (attempt > 0 && dx_test_hooks.reopen_pause) dx_test_hooks.reopen_pause(dx_test_hooks.reopen_pause_ms);
    else if (attempt > 0) Sleep(dx_test_hooks.reopen_pause_ms);
    ++dx_test_hooks.reopen_attempts;
    if (dx_open() == 0) {
      if (window_state.user32.flash_window_ex) {
        FLASHWINFO stop{};
        stop.cbSize = sizeof stop;
        stop.hwnd = window_state.window;
        stop.dwFlags = FLASHW_STOP;
        window_state.user32.flash_window_ex(&stop);
      }
      return 0;
    }
  }
  dx_close();
  ZQ_TRACE_FAILURE("the display mode did not come back in %d opens %lu ms apart", kReopenAttempts,
                   static_cast<unsigned long>(dx_test_hooks.reopen_pause_ms));
  dx_state.display_lost = 1;
  key_buffer_push(kCloseKey);
  post_screen_event(ScreenEvent{WindowClose, {0, 0, 0, 0}});
  return -1;
}

}  // namespace

int dx_init(const char* title, int width, int height, int depth, int refresh_rate, int flags) {
  if (!window_driver_begin(directx_driver.name, width, height, depth, flags, kFlagOpenGL | kFlagLayered, 0,
                           {dx_open, dx_close, dx_present, dx_thread, dx_rescale}))
    return -1;
  // Placed by the first windowed open, when the window's scale is known.
  dx_state.window_placed = 0;
  dx_state.display_lost = 0;
  return window_init(title, width, height, window_depth(depth), refresh_rate, flags);
}

int dx_open() {
  dx_state.ddraw_library = nullptr;
  dx_state.dinput_library = nullptr;
  dx_state.direct_draw = nullptr;
  dx_state.primary_surface = nullptr;
  dx_state.back_surface = nullptr;
  dx_state.clipper = nullptr;
  dx_state.dd_palette = nullptr;
  dx_state.direct_input = nullptr;
  dx_state.keyboard_device = nullptr;
  dx_state.y_offset = 0;
  window_state.blitter = nullptr;

  if (!dx_may_take_step(kStepLoadDirectDraw)) return -1;
  DirectDrawCreateEntry direct_draw_create = nullptr;
  dx_state.ddraw_library = dx_load_with_entry(kDirectDrawLibrary, "DirectDrawCreate", &direct_draw_create);
  // Older libraries have no enumeration by monitor: the default device then.
  const auto enumerate_devices =
      dx_look_up<DirectDrawEnumerateExEntry>(dx_state.ddraw_library, "DirectDrawEnumerateExA");
  if (!direct_draw_create || !dx_may_take_step(kStepLoadDirectInput)) return -1;
  DirectInputCreateEntry direct_input_create = nullptr;
  dx_state.dinput_library = dx_load_with_entry(kDirectInputLibrary, "DirectInputCreateA", &direct_input_create);
  if (!direct_input_create || !dx_may_take_step(kStepCreateDirectDraw)) return -1;

  DeviceSearch search{window_state.monitor, {}, false};
  if (dx_fullscreen() && window_state.monitor && enumerate_devices)
    enumerate_devices(match_device_monitor, &search, DDENUM_ATTACHEDSECONDARYDEVICES);
  dx_state.direct_draw = dx_create_direct_draw(direct_draw_create, search.found ? &search.device : nullptr);
  if (!dx_state.direct_draw || !dx_may_take_step(kStepCreateDirectInput)) return -1;

  if (ZQ_FAILED(direct_input_create(window_state.instance, 0x0300, &dx_state.direct_input, nullptr),
                "DirectInputCreateA for version 0x0300") ||
      !dx_state.direct_input) {
    dx_state.direct_input = nullptr;
    return -1;
  }
  if (!dx_may_take_step(kStepCreateWindow)) return -1;
  if (open_window_and_mode() != 0 || !dx_may_take_step(kStepPrimarySurface)) return -1;
  if (dx_create_surfaces() != 0 || !dx_may_take_step(kStepPixelFormat)) return -1;
  if (dx_choose_pixel_path() != 0 || !dx_may_take_step(kStepVsyncEvent)) return -1;

  DWORD frequency = 0;
  window_store_refresh_rate(SUCCEEDED(dx_state.direct_draw->GetMonitorFrequency(&frequency))
                                ? static_cast<int>(frequency)
                                : 0);
  // The event lives as long as the process: dx_wait_vsync signals it outside
  // the window lock, while a fullscreen switch may be closing the driver.
  if (!dx_state.vsync_event) dx_state.vsync_event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!dx_state.vsync_event) ZQ_TRACE_FAILURE("CreateEventA refused the vertical-blank event");
  if (!dx_state.vsync_event || !dx_may_take_step(kStepKeyboard)) return -1;
  return dx_open_keyboard();
}

void dx_close() {
  if (!dx_fullscreen() && window_state.window) {
    RECT bounds{};
    if (GetWindowRect(window_state.window, &bounds)) {
      dx_state.window_x = bounds.left;
      dx_state.window_y = bounds.top;
    }
  }
  dx_close_keyboard();
  dx_close_surfaces();
  if (dx_state.direct_draw) {
    if (dx_fullscreen()) {
      dx_state.direct_draw->RestoreDisplayMode();
      dx_state.direct_draw->SetCooperativeLevel(window_state.window, DDSCL_NORMAL);
    }
    dx_release(dx_state.direct_draw);
  }
  if (window_state.window) {
    DestroyWindow(window_state.window);
    window_state.window = nullptr;
  }
  free_library(&dx_state.ddraw_library);
  free_library(&dx_state.dinput_library);
}

int dx_restore() {
  for (int round = 0; dx_state.primary_surface; ++round) {
    if (dx_state.primary_surface->IsLost() != DDERR_SURFACELOST) return 0;
    if (round == kRestoreRounds) {
      ZQ_TRACE_FAILURE("the primary surface is still lost after %d restores", kRestoreRounds);
      return -1;
    }
    // Restored surfaces have lost their picture, whichever path restores
    // them (an update, or a paint or display change inside the pump).
    window_mark_all_dirty();
    if (dx_state.back_surface && dx_state.back_surface != dx_state.primary_surface)
      dx_state.back_surface->Restore();
    const HRESULT restored = dx_state.primary_surface->Restore();
    if (restored == DDERR_WRONGMODE) {
      if (reopen_driver() != 0) return -1;
    } else if (ZQ_FAILED(restored, "Restore of the primary surface")) {
      // Not ours to restore yet (another program holds the display): the
      // dirty lines wait for a later iteration.
      return -1;
    }
  }
  return -1;
}

void dx_present() {
  for (int round = 0; round <= kRestoreRounds; ++round) {
    if (dx_fullscreen() || dx_restore() != 0) return;
    IDirectDrawSurface* back = dx_state.back_surface;
    if (!back || !window_state.window) return;
    RECT destination = client_rect_on_screen(window_state.window);
    RECT source = {0, 0, window_state.width * window_client_scale(), window_state.height * window_client_scale()};
    if (dx_state.primary_surface->Blt(&destination, back, &source, DDBLT_WAIT, nullptr) != DDERR_SURFACELOST)
      return;
  }
}

void dx_update_display() {
  ScreenState* screen = screen_state;
  if (!dx_state.primary_surface || !screen || !screen->dirty_lines || !screen->visible_page) return;
  if (window_state.palette_changed) {
    // Without a DirectDraw palette the colours go through the conversion,
    // whose record of them (keep_changed_lines) sees the change.
    if (dx_state.dd_palette) dx_state.dd_palette->SetEntries(0, 0, 256, window_state.palette);
    window_state.palette_changed = 0;
  }
  if (dx_restore() != 0 || !dx_keep_changed_lines(screen)) return;

  DDSURFACEDESC surface{};
  HRESULT locked = DDERR_SURFACELOST;
  for (int round = 0; round <= kRestoreRounds && locked == DDERR_SURFACELOST; ++round) {
    if (dx_restore() != 0 || !dx_state.back_surface) {
      window_mark_all_dirty();
      return;
    }
    surface = DDSURFACEDESC{};
    surface.dwSize = sizeof surface;
    locked = dx_state.back_surface->Lock(nullptr, &surface, DDLOCK_WAIT, nullptr);
  }
  if (locked != DD_OK) {
    window_mark_all_dirty();  // nothing was converted
  } else {
    // Surfaces restored on the way to the lock: the whole page goes now.
    if (window_state.resend_all) dx_keep_changed_lines(screen);
    if (window_state.blitter && surface.lpSurface) {
      auto* memory = static_cast<uint8_t*>(surface.lpSurface);
      dx_convert_marked_lines(screen, memory, static_cast<int>(surface.lPitch));
      ++dx_test_hooks.updates;
    }
    dx_state.back_surface->Unlock(surface.lpSurface);
    std::memset(screen->dirty_lines, 0, static_cast<size_t>(window_state.height));
  }
  dx_present();
}

namespace {

// The event thread's drawing. A vertical-blank wait of the program's thread
// holds the copy back until the blank, 20 ms at most. An inactive fullscreen
// screen is not drawn: its display belongs to another program meanwhile.
void dx_draw_step() {
  if (dx_state.vsync_pending) {
    WaitForSingleObject(dx_state.vsync_event, kVsyncWaitLimitMs);
    dx_state.vsync_pending = 0;
  }
  if (window_state.is_active || !dx_fullscreen()) dx_update_display();
}

}  // namespace

const EventLoopSteps dx_loop_steps = {dx_draw_step, dx_refresh_key_state, &dx_test_hooks.iterations};

void dx_thread(void* ready_event) { window_run_event_loop(ready_event, dx_loop_steps); }

int dx_exit() {
  const int result = window_exit();
  dx_release_vsync_object();
  return result;
}
