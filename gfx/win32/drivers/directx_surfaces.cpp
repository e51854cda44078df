// DirectDraw surfaces: made, converted into, remade for another scale, let go.
#include "gfx/win32/drivers/directx_surfaces.h"

#include <cstdlib>

#include "gfx/drivers/changed_lines.h"
#include "gfx/drivers/pixel_blocks.h"
#include "gfx/win32/drivers/directx_modes.h"
#include "gfx/win32/failure_trace.h"
#include "gfx/win32/window.h"
#include "gfx/win32/window_dpi.h"

static_assert(sizeof(DDSURFACEDESC) == 108, "surface description of the size the library expects");
static_assert(sizeof(DDBLTFX) == 100, "blit effects of the size the library expects");

namespace {

constexpr DWORD kOffscreenCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY;

// The page as last converted into the surfaces. The viewer marks its whole
// page on every pass, and under Wine every lock and present keeps the
// display library's command thread spinning on a core; marked lines whose
// bytes and colours are as shown are dropped before the lock.
SentLines sent_lines{};

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

int open_scale_buffer(int display_bits) {
  dx_state.pixel_bytes = (display_bits + 7) / 8;
  if (dx_fullscreen() || window_client_scale() == 1) return 0;
  dx_state.scale_buffer = allocate_scale_buffer();
  return dx_state.scale_buffer ? 0 : -1;
}

}  // namespace

int dx_create_surfaces() {
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
  if (!dx_may_take_step(kStepBackSurface)) return -1;
  if (dx_fullscreen()) {
    dx_state.back_surface = dx_state.primary_surface;
    return 0;
  }
  if (ZQ_FAILED(dx_state.primary_surface->SetClipper(dx_state.clipper), "SetClipper of the primary surface"))
    return -1;
  dx_state.back_surface = create_back_surface(window_client_scale());
  return dx_state.back_surface ? 0 : -1;
}

// Straight in, or through the scale buffer and enlarged by whole blocks.
void dx_convert_marked_lines(ScreenState* screen, uint8_t* memory, int pitch) {
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

int dx_choose_pixel_path() {
  DDPIXELFORMAT format{};
  format.dwSize = sizeof format;
  if (ZQ_FAILED(dx_state.primary_surface->GetPixelFormat(&format), "GetPixelFormat of the primary surface"))
    return -1;
  if (!(format.dwFlags & DDPF_RGB)) {
    ZQ_TRACE_FAILURE("the primary surface holds no RGB pixels (format flags 0x%lX)",
                     static_cast<unsigned long>(format.dwFlags));
    return -1;
  }
  if (!dx_may_take_step(kStepPaletteAndBlitter)) return -1;
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

// Whatever made the surfaces' picture unknown (a new record, other colours,
// restored surfaces, a failed lock, activation, the switch) has marked every
// line with window_mark_all_dirty; the record forgets here, the one place it
// filters, so no path that marks can have its marks dropped.
bool dx_keep_changed_lines(ScreenState* screen) {
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

int dx_rescale(int scale) {
  // Only an open window presents through a back surface of its own.
  if (scale < 1 || dx_fullscreen() || !dx_state.direct_draw || !dx_state.back_surface ||
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
  dx_release(dx_state.back_surface);
  dx_state.back_surface = surface;
  if (buffer != dx_state.scale_buffer) std::free(dx_state.scale_buffer);
  dx_state.scale_buffer = buffer;
  return 0;
}

void dx_close_surfaces() {
  if (dx_fullscreen() && dx_state.primary_surface) {
    DDBLTFX fill{};
    fill.dwSize = sizeof fill;
    fill.dwFillColor = 0;
    dx_state.primary_surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fill);
  }
  // In fullscreen the back surface is the primary: released once.
  if (dx_state.back_surface != dx_state.primary_surface) dx_release(dx_state.back_surface);
  dx_state.back_surface = nullptr;
  dx_release(dx_state.primary_surface);
  dx_release(dx_state.clipper);
  dx_release(dx_state.dd_palette);
  std::free(dx_state.scale_buffer);
  dx_state.scale_buffer = nullptr;
  window_state.blitter = nullptr;
  sent_lines_close(&sent_lines);
}
