// The DirectDraw driver: windowed through an off-screen surface and a
// clipped blit, fullscreen straight into the primary surface of an exclusive
// display mode; the held keys come from a DirectInput keyboard device.
// Nothing is linked: "ddraw.dll" and "dinput.dll" are loaded by name, so the
// program still starts, and falls back to the next driver, without them.
#include "gfx/win32/drivers/driver_directx.h"

#include <cstdlib>
#include <cstring>
#include <iterator>

#include "common/key_tables.h"
#include "gfx/drivers/changed_lines.h"
#include "gfx/drivers/pixel_blocks.h"
#include "gfx/input/key_input.h"
#include "gfx/screen.h"
#include "gfx/win32/drivers/run_time_linking.h"
#include "gfx/win32/driver_steps.h"
#include "gfx/win32/failure_trace.h"
#include "gfx/win32/key_state_refresh.h"
#include "gfx/win32/window.h"
#include "gfx/win32/window_display.h"
#include "gfx/win32/window_dpi.h"
#include "gfx/win32/window_wake.h"

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

DxState dx_state{};
DxTestHooks dx_test_hooks{};

namespace {

// Defined here so that no import library is needed.
constexpr GUID kIidDirectDraw2 = {0xB3A6F3E0, 0x2B43, 0x11CF, {0xA2, 0xDE, 0x00, 0xAA, 0x00, 0xB9, 0x33, 0x56}};
constexpr GUID kGuidSysKeyboard = {0x6F1D2B61, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
constexpr GUID kGuidKey = {0x55728220, 0xD33C, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

constexpr char kDirectDrawLibrary[] = "ddraw.dll";
constexpr char kDirectInputLibrary[] = "dinput.dll";

using DirectDrawCreateEntry = HRESULT(WINAPI*)(GUID*, LPDIRECTDRAW*, IUnknown*);
using DirectDrawEnumerateExEntry = HRESULT(WINAPI*)(LPDDENUMCALLBACKEXA, LPVOID, DWORD);
using DirectInputCreateEntry = HRESULT(WINAPI*)(HINSTANCE, DWORD, LPDIRECTINPUTA*, IUnknown*);

static_assert(sizeof(DDSURFACEDESC) == 108, "surface description of the size the library expects");
static_assert(sizeof(DDPIXELFORMAT) == 32, "pixel format of the size the library expects");
static_assert(sizeof(DDBLTFX) == 100, "blit effects of the size the library expects");
static_assert(sizeof(DIDATAFORMAT) == 24 && sizeof(DIOBJECTDATAFORMAT) == 16, "keyboard data format");

constexpr DWORD kFullscreenStyle = WS_POPUP | WS_VISIBLE;
constexpr DWORD kFullscreenLevel = DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE;
constexpr DWORD kOffscreenCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY;

// Lost surfaces that report lost again right after a successful restore are
// left for the next iteration rather than retried without end.
constexpr int kRestoreRounds = 4;

bool fullscreen() { return (window_state.flags & kFlagFullscreen) != 0; }

// The test seam: an open stopped before the given step fails there.
bool may_take_step(DxOpenStep step) {
  if (step == kStepLoadDirectDraw && dx_test_hooks.failing_opens > 0) {
    --dx_test_hooks.failing_opens;
    return false;
  }
  return dx_test_hooks.open_step_limit < 0 || step < dx_test_hooks.open_step_limit;
}

template <typename Interface>
void release(Interface*& object) {
  if (object) {
    object->Release();
    object = nullptr;
  }
}

template <typename Entry>
Entry look_up(HMODULE module, const char* name) {
  return module ? reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

// A library with the one entry the driver cannot do without; null when the
// file or the entry is missing.
template <typename Entry>
HMODULE load_with_entry(const char* file_name, const char* entry_name, Entry* entry) {
  FARPROC found = nullptr;
  const char* const names[] = {entry_name, nullptr};
  HMODULE library = load_library(file_name, names, &found);
  *entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(found));
  if (!library) ZQ_TRACE_FAILURE("no %s with %s", file_name, entry_name);
  return library;
}

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

// IDirectDraw2 of the device given (null: the default one), or null.
IDirectDraw2* create_direct_draw(DirectDrawCreateEntry create, GUID* device) {
  IDirectDraw* first = nullptr;
  if (!create || ZQ_FAILED(create(device, &first, nullptr), device ? "DirectDrawCreate of the monitor's device"
                                                                   : "DirectDrawCreate of the default device") ||
      !first)
    return nullptr;
  IDirectDraw2* second = nullptr;
  if (ZQ_FAILED(first->QueryInterface(kIidDirectDraw2, reinterpret_cast<void**>(&second)),
                "QueryInterface for IDirectDraw2"))
    second = nullptr;
  first->Release();
  return second;
}

void build_keyboard_format() {
  DIDATAFORMAT& format = dx_state.keyboard_format;
  format.dwSize = sizeof(DIDATAFORMAT);
  format.dwObjSize = sizeof(DIOBJECTDATAFORMAT);
  format.dwFlags = DIDF_RELAXIS;
  format.dwDataSize = 256;
  format.dwNumObjs = 256;
  format.rgodf = dx_state.keyboard_objects;
  for (DWORD i = 0; i < 256; ++i) {
    DIOBJECTDATAFORMAT& object = dx_state.keyboard_objects[i];
    object.pguid = &kGuidKey;
    object.dwOfs = i;
    object.dwType = (i << 8) | 0x8000000Cu;  // optional button, instance i
    object.dwFlags = 0;
  }
}

HRESULT set_mode_on_direct_draw(void* context, DWORD width, DWORD height, DWORD depth, DWORD refresh_rate,
                                DWORD flags) {
  const HRESULT result =
      static_cast<IDirectDraw2*>(context)->SetDisplayMode(width, height, depth, refresh_rate, flags);
  if (FAILED(result))
    ZQ_TRACE_FAILURE("SetDisplayMode refused %lux%lu, %lu bits, %lu Hz, flags 0x%lX: 0x%08lX",
                     static_cast<unsigned long>(width), static_cast<unsigned long>(height),
                     static_cast<unsigned long>(depth), static_cast<unsigned long>(refresh_rate),
                     static_cast<unsigned long>(flags), static_cast<unsigned long>(result));
  return result;
}

int open_window_and_mode() {
  const int width = window_state.width;
  const int height = window_state.height;
  if (!fullscreen()) {
    const DWORD style = window_style(window_state.flags) | WS_VISIBLE;
    const SIZE outer = window_outer_size(style);
    if (!dx_state.window_placed) {
      const int scale = window_client_scale();
      dx_state.window_x = (GetSystemMetrics(SM_CXSCREEN) - width * scale) >> 1;
      dx_state.window_y = (GetSystemMetrics(SM_CYSCREEN) - height * scale) >> 1;
      dx_state.window_placed = 1;
    }
    if (window_create(style, 0, dx_state.window_x, dx_state.window_y, outer.cx, outer.cy) != 0) return -1;
    if (!may_take_step(kStepCooperativeLevel)) return -1;
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
  if (!may_take_step(kStepCooperativeLevel)) return -1;
  if (ZQ_FAILED(dx_state.direct_draw->SetCooperativeLevel(window_state.window, kFullscreenLevel),
                "SetCooperativeLevel(fullscreen, exclusive)"))
    return -1;
  const int y_offset = dx_set_display_mode(width, height, window_state.depth, window_state.refresh_rate,
                                           set_mode_on_direct_draw, dx_state.direct_draw);
  if (y_offset < 0) {
    ZQ_TRACE_FAILURE("no display mode of width %d from %d lines up to 1024 at %d bits or the partner depth",
                     width, height, window_state.depth);
    return -1;
  }
  dx_state.y_offset = y_offset;
  return 0;
}

// The windowed back surface at the client area's size for scale: presenting
// it is then a copy, never a stretch, which may blend neighbouring pixels.
// Null when refused.
IDirectDrawSurface* create_back_surface(int scale) {
  DDSURFACEDESC back{};
  back.dwSize = sizeof back;
  back.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
  back.ddsCaps.dwCaps = kOffscreenCaps;
  back.dwWidth = static_cast<DWORD>(window_state.width * scale);
  back.dwHeight = static_cast<DWORD>(window_state.height * scale);
  IDirectDrawSurface* surface = nullptr;
  const HRESULT created = dx_state.direct_draw->CreateSurface(&back, &surface, nullptr);
  if (SUCCEEDED(created) && surface) return surface;
  ZQ_TRACE_FAILURE("CreateSurface of a %lux%lu off-screen surface answered 0x%08lX",
                   static_cast<unsigned long>(back.dwWidth), static_cast<unsigned long>(back.dwHeight),
                   static_cast<unsigned long>(created));
  return nullptr;
}

// The screen-sized picture that a scaled window's lines are converted into
// before they are enlarged; null when refused.
uint8_t* allocate_scale_buffer() {
  auto* buffer = static_cast<uint8_t*>(
      std::calloc(static_cast<size_t>(window_state.width) * static_cast<size_t>(window_state.height),
                  static_cast<size_t>(dx_state.pixel_bytes)));
  if (!buffer) ZQ_TRACE_FAILURE("no memory for a %dx%d picture to scale", window_state.width, window_state.height);
  return buffer;
}

int create_surfaces() {
  DDSURFACEDESC description{};
  description.dwSize = sizeof description;
  description.dwFlags = DDSD_CAPS;
  description.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
  if (ZQ_FAILED(dx_state.direct_draw->CreateSurface(&description, &dx_state.primary_surface, nullptr),
                "CreateSurface of the primary surface") ||
      !dx_state.primary_surface) {
    dx_state.primary_surface = nullptr;
    return -1;
  }
  if (!may_take_step(kStepBackSurface)) return -1;
  if (fullscreen()) {
    dx_state.back_surface = dx_state.primary_surface;
    return 0;
  }
  if (ZQ_FAILED(dx_state.primary_surface->SetClipper(dx_state.clipper), "SetClipper of the primary surface"))
    return -1;
  dx_state.back_surface = create_back_surface(window_client_scale());
  return dx_state.back_surface ? 0 : -1;
}

int open_scale_buffer(int display_bits) {
  dx_state.pixel_bytes = (display_bits + 7) / 8;
  if (fullscreen() || window_client_scale() == 1) return 0;
  dx_state.scale_buffer = allocate_scale_buffer();
  return dx_state.scale_buffer ? 0 : -1;
}

// Converts the marked lines into the locked back surface: straight in, or
// through the scale buffer and enlarged by whole blocks.
void convert_marked_lines(ScreenState* screen, uint8_t* memory, int pitch) {
  if (!dx_state.scale_buffer) {
    window_state.blitter(memory + static_cast<ptrdiff_t>(pitch) * dx_state.y_offset, pitch);
    return;
  }
  const int buffer_pitch = window_state.width * dx_state.pixel_bytes;
  window_state.blitter(dx_state.scale_buffer, buffer_pitch);
  enlarge_marked_lines(PixelBlocks{dx_state.scale_buffer, buffer_pitch, memory, pitch, window_state.width,
                                   window_state.height, dx_state.pixel_bytes, window_client_scale(),
                                   screen->dirty_lines,
                                   screen->scanline_multiplier > 1 ? screen->scanline_multiplier : 1});
}

int choose_pixel_path() {
  DDPIXELFORMAT format{};
  format.dwSize = sizeof format;
  if (ZQ_FAILED(dx_state.primary_surface->GetPixelFormat(&format), "GetPixelFormat of the primary surface"))
    return -1;
  if (!(format.dwFlags & DDPF_RGB)) {
    ZQ_TRACE_FAILURE("the primary surface holds no RGB pixels (format flags 0x%lX)",
                     static_cast<unsigned long>(format.dwFlags));
    return -1;
  }
  if (!may_take_step(kStepPaletteAndBlitter)) return -1;
  if (format.dwRGBBitCount == 8) {
    if (ZQ_FAILED(dx_state.direct_draw->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, window_state.palette,
                                                      &dx_state.dd_palette, nullptr),
                  "CreatePalette of 256 entries") ||
        !dx_state.dd_palette) {
      dx_state.dd_palette = nullptr;
      return -1;
    }
    if (ZQ_FAILED(dx_state.primary_surface->SetPalette(dx_state.dd_palette), "SetPalette of the primary surface"))
      return -1;
    window_state.palette_changed = 0;
  }
  const DxPixelLayout layout = dx_pixel_layout(format);
  window_state.blitter = screen_state ? select_blitter(layout.bits, layout.swap_red_blue) : nullptr;
  if (window_state.blitter) return open_scale_buffer(static_cast<int>(format.dwRGBBitCount));
  ZQ_TRACE_FAILURE("no blitter from the %d-bit screen to a %d-bit display (red mask 0x%lX, swapped %d)",
                   screen_state ? screen_state->depth : 0, layout.bits, static_cast<unsigned long>(format.dwRBitMask),
                   layout.swap_red_blue);
  return -1;
}

// Keys the device still reports down whose release it missed: released while
// the window could not see the keyboard (another window had it, or a modal
// loop ran), as the system's own state said when asked on the way back. Each
// counts as up until the device reports it up once.
uint8_t missed_release[kKeyStateSize];

int open_keyboard() {
  build_keyboard_format();
  std::memset(missed_release, 0, sizeof missed_release);
  if (ZQ_FAILED(dx_state.direct_input->CreateDevice(kGuidSysKeyboard, &dx_state.keyboard_device, nullptr),
                "CreateDevice of the system keyboard") ||
      !dx_state.keyboard_device) {
    dx_state.keyboard_device = nullptr;
    return -1;
  }
  if (ZQ_FAILED(dx_state.keyboard_device->SetDataFormat(&dx_state.keyboard_format), "SetDataFormat of the keyboard"))
    return -1;
  const HRESULT acquired = dx_state.keyboard_device->Acquire();
  if (acquired == DI_OK) return 0;
  ZQ_TRACE_FAILURE("Acquire of the keyboard answered 0x%08lX", static_cast<unsigned long>(acquired));
  return -1;
}

// The page as last converted into the surfaces. The viewer marks its whole
// page on every pass, and under Wine every lock and present keeps the
// display library's command thread spinning on a core; marked lines whose
// bytes and colours are as shown are dropped before the lock.
SentLines sent_lines{};

// Drops the marks of lines shown as they stand; true when a line is left to
// convert. Whatever made the surfaces' picture unknown (a new record, other
// colours, restored surfaces, a failed lock, activation, the switch) has
// marked every line with window_mark_all_dirty; the record forgets here, the
// one place it filters, so no path that marks can have its marks dropped.
bool keep_changed_lines(ScreenState* screen) {
  const int line_bytes = screen->width * screen->bytes_per_pixel;
  if (sent_lines.line_count != screen->height || sent_lines.line_bytes != line_bytes) {
    sent_lines_open(&sent_lines, screen->height, line_bytes);  // without memory every mark is kept
    window_mark_all_dirty();
  }
  // An 8-bit display takes new colours through its own palette; on any
  // other the blitter converts the pixels with them.
  if (!dx_state.dd_palette && sent_lines_check_colours(&sent_lines, screen->device_palette, 256))
    window_mark_all_dirty();
  if (window_take_resend_all()) sent_lines_forget(&sent_lines);
  return sent_lines_filter(&sent_lines, screen->visible_page, screen->pitch, screen->dirty_lines, screen->height) > 0;
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

int dx_set_display_mode(int width, int height, int depth, int refresh_rate, DisplayModeSetter set_mode,
                        void* context) {
  static constexpr int kTallerHeights[] = {240, 480, 600, 768, 1024};
  if (!set_mode || width <= 0 || height <= 0 || depth <= 0 || refresh_rate < 0) return -1;
  const int partner = partner_depth(depth);
  int h = height;
  for (;;) {
    const DWORD flags = (width == 320 && h == 200 && depth == 8) ? DDSDM_STANDARDVGAMODE : 0;
    const auto tried = [&](int bits) {
      return SUCCEEDED(set_mode(context, static_cast<DWORD>(width), static_cast<DWORD>(h),
                                static_cast<DWORD>(bits), static_cast<DWORD>(refresh_rate), flags));
    };
    if (tried(depth) || (partner && tried(partner))) return (h - height) >> 1;
    const int* taller = kTallerHeights;
    while (taller != std::end(kTallerHeights) && *taller <= h) ++taller;
    if (taller == std::end(kTallerHeights)) return -1;
    h = *taller;
  }
}

DxPixelLayout dx_pixel_layout(const DDPIXELFORMAT& format) {
  const int bits = static_cast<int>(format.dwRGBBitCount);
  DxPixelLayout layout{bits, 0};
  if (bits == 16 && format.dwGBitMask == 0x3E0) layout.bits = 15;
  if ((bits >= 16 && format.dwRBitMask == 0x1F) || (bits >= 24 && format.dwRBitMask == 0xFF))
    layout.swap_red_blue = 1;
  return layout;
}

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

  if (!may_take_step(kStepLoadDirectDraw)) return -1;
  DirectDrawCreateEntry direct_draw_create = nullptr;
  dx_state.ddraw_library = load_with_entry(kDirectDrawLibrary, "DirectDrawCreate", &direct_draw_create);
  // Older libraries have no enumeration by monitor: the default device then.
  const auto enumerate_devices =
      look_up<DirectDrawEnumerateExEntry>(dx_state.ddraw_library, "DirectDrawEnumerateExA");
  if (!direct_draw_create || !may_take_step(kStepLoadDirectInput)) return -1;
  DirectInputCreateEntry direct_input_create = nullptr;
  dx_state.dinput_library = load_with_entry(kDirectInputLibrary, "DirectInputCreateA", &direct_input_create);
  if (!direct_input_create || !may_take_step(kStepCreateDirectDraw)) return -1;

  DeviceSearch search{window_state.monitor, {}, false};
  if (fullscreen() && window_state.monitor && enumerate_devices)
    enumerate_devices(match_device_monitor, &search, DDENUM_ATTACHEDSECONDARYDEVICES);
  dx_state.direct_draw = create_direct_draw(direct_draw_create, search.found ? &search.device : nullptr);
  if (!dx_state.direct_draw || !may_take_step(kStepCreateDirectInput)) return -1;

  if (ZQ_FAILED(direct_input_create(window_state.instance, 0x0300, &dx_state.direct_input, nullptr),
                "DirectInputCreateA for version 0x0300") ||
      !dx_state.direct_input) {
    dx_state.direct_input = nullptr;
    return -1;
  }
  if (!may_take_step(kStepCreateWindow)) return -1;
  if (open_window_and_mode() != 0 || !may_take_step(kStepPrimarySurface)) return -1;
  if (create_surfaces() != 0 || !may_take_step(kStepPixelFormat)) return -1;
  if (choose_pixel_path() != 0 || !may_take_step(kStepVsyncEvent)) return -1;

  DWORD frequency = 0;
  window_store_refresh_rate(SUCCEEDED(dx_state.direct_draw->GetMonitorFrequency(&frequency))
                                ? static_cast<int>(frequency)
                                : 0);
  // The event lives as long as the process: dx_wait_vsync signals it outside
  // the window lock, while a fullscreen switch may be closing the driver.
  if (!dx_state.vsync_event) dx_state.vsync_event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!dx_state.vsync_event) ZQ_TRACE_FAILURE("CreateEventA refused the vertical-blank event");
  if (!dx_state.vsync_event || !may_take_step(kStepKeyboard)) return -1;
  return open_keyboard();
}

void dx_close() {
  if (!fullscreen() && window_state.window) {
    RECT bounds{};
    if (GetWindowRect(window_state.window, &bounds)) {
      dx_state.window_x = bounds.left;
      dx_state.window_y = bounds.top;
    }
  }
  if (dx_state.keyboard_device) {
    dx_state.keyboard_device->Unacquire();
    release(dx_state.keyboard_device);
  }
  release(dx_state.direct_input);
  if (fullscreen() && dx_state.primary_surface) {
    DDBLTFX fill{};
    fill.dwSize = sizeof fill;
    fill.dwFillColor = 0;
    dx_state.primary_surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fill);
  }
  // In fullscreen the back surface is the primary: released once.
  if (dx_state.back_surface != dx_state.primary_surface) release(dx_state.back_surface);
  dx_state.back_surface = nullptr;
  release(dx_state.primary_surface);
  release(dx_state.clipper);
  release(dx_state.dd_palette);
  std::free(dx_state.scale_buffer);
  dx_state.scale_buffer = nullptr;
  if (dx_state.direct_draw) {
    if (fullscreen()) {
      dx_state.direct_draw->RestoreDisplayMode();
      dx_state.direct_draw->SetCooperativeLevel(window_state.window, DDSCL_NORMAL);
    }
    release(dx_state.direct_draw);
  }
  window_state.blitter = nullptr;
  sent_lines_close(&sent_lines);
  if (window_state.window) {
    DestroyWindow(window_state.window);
    window_state.window = nullptr;
  }
  free_library(&dx_state.ddraw_library);
  free_library(&dx_state.dinput_library);
}

int dx_rescale(int scale) {
  // Only an open window presents through a back surface of its own.
  if (scale < 1 || fullscreen() || !dx_state.direct_draw || !dx_state.back_surface ||
      dx_state.back_surface == dx_state.primary_surface || dx_state.pixel_bytes <= 0)
    return -1;
  if (dx_test_hooks.failing_rescales > 0) {
    --dx_test_hooks.failing_rescales;
    return -1;
  }
  IDirectDrawSurface* surface = create_back_surface(scale);
  if (!surface) return -1;
  uint8_t* buffer = scale == 1 ? nullptr : dx_state.scale_buffer ? dx_state.scale_buffer : allocate_scale_buffer();
  if (scale > 1 && !buffer) {
    surface->Release();
    return -1;
  }
  // Both made: the old ones go. The new surface is blank, and the window
  // layer marks every line for it.
  release(dx_state.back_surface);
  dx_state.back_surface = surface;
  if (buffer != dx_state.scale_buffer) std::free(dx_state.scale_buffer);
  dx_state.scale_buffer = buffer;
  return 0;
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
    if (fullscreen() || dx_restore() != 0) return;
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
  if (dx_restore() != 0 || !keep_changed_lines(screen)) return;

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
    if (window_state.resend_all) keep_changed_lines(screen);
    if (window_state.blitter && surface.lpSurface) {
      auto* memory = static_cast<uint8_t*>(surface.lpSurface);
      convert_marked_lines(screen, memory, static_cast<int>(surface.lPitch));
      ++dx_test_hooks.updates;
    }
    dx_state.back_surface->Unlock(surface.lpSurface);
    std::memset(screen->dirty_lines, 0, static_cast<size_t>(window_state.height));
  }
  dx_present();
}

namespace {

// Whether the system reports a key of this scancode down now; true for a
// scancode it has no virtual key for, which only the device can tell.
bool system_reports_down(int scancode) {
  bool known = false;
  for (const KeyTableRow* row = key_table; row->scancode != 0; ++row) {
    if (row->scancode != scancode) continue;
    known = true;
    if (GetAsyncKeyState(row->virtual_key) & 0x8000) return true;
    if (row->alternative_virtual_key && (GetAsyncKeyState(row->alternative_virtual_key) & 0x8000)) return true;
  }
  return !known;
}

}  // namespace

void dx_refresh_key_state() {
  ScreenState* screen = screen_state;
  if (!dx_state.keyboard_device || !screen || !screen->key_state) return;
  BYTE state[256];
  const HRESULT read = dx_state.keyboard_device->GetDeviceState(sizeof state, state);
  if (read == DIERR_NOTACQUIRED || read == DIERR_INPUTLOST) {
    dx_state.keyboard_device->Acquire();
    return;
  }
  if (FAILED(read)) return;
  const bool suspect = window_take_key_state_suspect();
  for (int i = 0; i < kKeyStateSize; ++i) {
    // An extended key counts as its base scancode.
    const bool device_down = ((state[i] | state[i + 128]) & 0x80) != 0;
    if (!device_down) missed_release[i] = 0;
    else if (suspect && !system_reports_down(i)) missed_release[i] = 1;
    screen->key_state[i] = device_down && !missed_release[i] ? 1 : 0;
  }
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
  if (window_state.is_active || !fullscreen()) dx_update_display();
}

}  // namespace

const EventLoopSteps dx_loop_steps = {dx_draw_step, dx_refresh_key_state, &dx_test_hooks.iterations};

void dx_thread(void* ready_event) { window_run_event_loop(ready_event, dx_loop_steps); }

namespace {

// DirectDraw objects made without the multithreaded cooperative level (the
// driver's is) may be used by one thread at a time, and the event thread
// uses its object under the window lock: surfaces locked, blitted and
// restored, and after a lost display mode the object closed and made again.
// The vertical-blank wait has to happen outside that lock and the mode list
// may be asked for at any time, so the program's thread never touches the
// event thread's object: it has objects of its own, made on that thread.
struct OwnDirectDraw {
  HMODULE library = nullptr;
  IDirectDraw2* object = nullptr;

  bool make() {
    DirectDrawCreateEntry create = nullptr;
    library = load_with_entry(kDirectDrawLibrary, "DirectDrawCreate", &create);
    object = create_direct_draw(create, nullptr);
    if (!object) free_library(&library);
    return object != nullptr;
  }
  void free() {
    release(object);
    free_library(&library);
  }
};

// The program thread's object for vertical-blank waits, made at the first
// wait and kept (making one costs far more than a frame) until the driver's
// exit, which runs on the same thread.
OwnDirectDraw vsync_direct_draw;

struct ModeSearch {
  int depth;
  ModeList found;
  bool out_of_memory;
};

HRESULT WINAPI collect_mode(LPDDSURFACEDESC mode, LPVOID context) {
  auto* search = static_cast<ModeSearch*>(context);
  if (!mode || dx_pixel_layout(mode->ddpfPixelFormat).bits != search->depth) return DDENUMRET_OK;
  if (mode_list_add(&search->found, mode->dwWidth, mode->dwHeight)) return DDENUMRET_OK;
  search->out_of_memory = true;
  return DDENUMRET_CANCEL;
}

}  // namespace

int dx_exit() {
  const int result = window_exit();
  vsync_direct_draw.free();
  return result;
}

void dx_wait_vsync() {
  window_lock();
  // Only the pointer is read: a closed driver has no display to wait for.
  const bool open = dx_state.direct_draw != nullptr;
  if (dx_state.vsync_event) ResetEvent(dx_state.vsync_event);
  dx_state.vsync_pending = 1;
  window_unlock();
  if (open && !vsync_direct_draw.object) vsync_direct_draw.make();
  if (!open || !vsync_direct_draw.object ||
      FAILED(vsync_direct_draw.object->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr)))
    window_wait_vsync();
  // The event lives as long as the process, so it may be signalled unlocked.
  if (dx_state.vsync_event) SetEvent(dx_state.vsync_event);
}

// A temporary object of the calling thread, whether or not the driver is
// open (see OwnDirectDraw).
int* dx_fetch_modes(int depth, int* count) {
  if (count) *count = 0;
  OwnDirectDraw direct_draw;
  if (!direct_draw.make()) return nullptr;
  ModeSearch search{depth, {}, false};
  const HRESULT listed =
      direct_draw.object->EnumDisplayModes(DDEDM_STANDARDVGAMODES, nullptr, &search, collect_mode);
  direct_draw.free();
  // A refused enumeration yields nothing; one cut short by memory, what it found.
  if (ZQ_FAILED(listed, "EnumDisplayModes") && !search.out_of_memory) search.found.count = 0;
  return mode_list_take(&search.found, count);
}
