// The GDI driver: the frame buffer goes to the window as a device-independent
// bitmap, and the system converts it to the desktop's format.
//
// Line-doubled screens (scan-line multiplier above 1) always go through a
// blitter into the conversion buffer, which holds every output line; the
// dirty span is found in logical lines and drawn as output lines
// f x multiplier to (l + 1) x multiplier - 1. The frame buffer itself is
// drawn directly only when it has exactly the window's lines.
#include "gfx/win32/drivers/driver_gdi.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "gfx/drivers/blitters.h"
#include "gfx/drivers/changed_lines.h"
#include "gfx/screen.h"
#include "gfx/win32/driver_steps.h"
#include "gfx/win32/failure_trace.h"
#include "gfx/win32/key_state_refresh.h"
#include "gfx/win32/window.h"
#include "gfx/win32/window_display.h"
#include "gfx/win32/window_dpi.h"

const VideoDriver gdi_driver = {
    .name = "GDI",
    .init = gdi_init,
    .exit = window_exit,
    .lock = window_lock,
    .unlock = window_unlock_and_wake,
    .set_palette = window_set_palette,
    .wait_vsync = window_wait_vsync,
    .get_mouse = window_get_mouse,
    .set_mouse = window_set_mouse,
    .set_window_title = window_set_title,
    .set_window_pos = window_set_pos,
    .fetch_modes = gdi_fetch_modes,
};

GdiUpdateRecord gdi_update_record{};

namespace {

BITMAPINFO* bitmap_info = nullptr;
HPALETTE gdi_palette = nullptr;
uint8_t* conversion_buffer = nullptr;
// The visible page as last sent: the viewer marks every line each pass, and
// only the lines that differ from it are drawn.
SentLines sent_lines{};

int line_multiplier() {
  const ScreenState* screen = screen_state;
  return screen && screen->scanline_multiplier > 1 ? screen->scanline_multiplier : 1;
}

// Bytes from one line of the conversion buffer to the next: the DIB stride.
int output_pitch() { return screen_state ? (screen_state->pitch + 3) & ~3 : 0; }

Blitter choose_blitter() {
  const int depth = window_state.depth;
  const bool padded = (window_state.width & 3) != 0 || line_multiplier() > 1;
  if (depth == 32 && (window_state.flags & kFlagLayered)) return colorkey_copy;
  if (depth == 16) return select_blitter(15, 0);  // a 16-bit DIB holds 5-5-5 pixels
  if (depth == 32) return padded ? select_blitter(32, 0) : nullptr;
  return padded ? select_blitter(8, 0) : nullptr;
}

bool needs_conversion() {
  return window_state.depth > 15 || (window_state.width & 3) != 0 || line_multiplier() > 1;
}

void fill_bitmap_header() {
  BITMAPINFOHEADER& header = bitmap_info->bmiHeader;
  header.biSize = sizeof(BITMAPINFOHEADER);
  header.biWidth = window_state.width;
  header.biHeight = -window_state.height;  // top-down
  header.biPlanes = 1;
  header.biBitCount = static_cast<WORD>(window_state.depth);
  header.biCompression = BI_RGB;
  header.biClrUsed = 256;
}

void apply_palette(HDC device) {
  for (int i = 0; i < 256; ++i) {
    RGBQUAD& colour = bitmap_info->bmiColors[i];
    colour.rgbBlue = window_state.palette[i].peBlue;
    colour.rgbGreen = window_state.palette[i].peGreen;
    colour.rgbRed = window_state.palette[i].peRed;
    colour.rgbReserved = 0;
  }
  SetPaletteEntries(gdi_palette, 0, 256, window_state.palette);
  SelectPalette(device, gdi_palette, FALSE);
  RealizePalette(device);
  window_state.palette_changed = 0;
}

int logical_line_count() { return window_state.height / line_multiplier(); }

// Drops the marks of lines whose pixels are what the window already shows;
// true when a line is left to draw.
bool filter_dirty_lines() {
  ScreenState* screen = screen_state;
  if (!screen || !screen->dirty_lines || !screen->visible_page) return false;
  return sent_lines_filter(&sent_lines, screen->visible_page, screen->pitch, screen->dirty_lines,
                           logical_line_count()) > 0;
}

// Output lines first to first + count - 1 to the window, bits pointing at
// the first of them. Unscaled they go as they are; scaled, every pixel
// becomes a block of whole pixels (colour on colour: no blending of
// neighbours), described as a bitmap of just these lines so that the
// stretch reads no line outside them.
void send_lines(HDC device, const uint8_t* bits, int first, int count) {
  const int scale = window_client_scale();
  if (scale == 1) {
    SetDIBitsToDevice(device, 0, first, static_cast<DWORD>(window_state.width), static_cast<DWORD>(count), 0, 0, 0,
                      static_cast<UINT>(count), bits, bitmap_info, DIB_RGB_COLORS);
    return;
  }
  BITMAPINFOHEADER& header = bitmap_info->bmiHeader;
  header.biHeight = -count;  // top-down
  SetStretchBltMode(device, COLORONCOLOR);
  StretchDIBits(device, 0, first * scale, window_state.width * scale, count * scale, 0, 0, window_state.width,
                count, bits, bitmap_info, DIB_RGB_COLORS, SRCCOPY);
  header.biHeight = -window_state.height;
}

// One transfer from the first to the last dirty line, clean lines between
// included.
void draw_dirty_span(HDC device) {
  ScreenState* screen = screen_state;
  if (!screen || !screen->dirty_lines || !bitmap_info) return;
  const int multiplier = line_multiplier();
  const int logical_lines = logical_line_count();
  int first = 0;
  while (first < logical_lines && !screen->dirty_lines[first]) ++first;
  if (first == logical_lines) return;
  int last = logical_lines - 1;
  while (!screen->dirty_lines[last]) --last;

  const int output_first = first * multiplier;
  const int output_count = (last - first + 1) * multiplier;
  const uint8_t* bits;
  if (window_state.blitter) {
    window_state.blitter(conversion_buffer, output_pitch());
    bits = conversion_buffer + static_cast<size_t>(output_pitch()) * output_first;
  } else {
    bits = screen->visible_page + static_cast<size_t>(screen->pitch) * output_first;
  }
  send_lines(device, bits, output_first, output_count);
  // COMPAT: systems before Windows 2000 repaint the drawn span only when it
  // is invalidated as well.
  if (!is_windows2000_or_greater()) {
    const int scale = window_client_scale();
    const RECT span = {0, output_first * scale, window_state.width * scale, (output_first + output_count) * scale};
    InvalidateRect(window_state.window, &span, FALSE);
  }
  gdi_update_record.first_line = output_first;
  gdi_update_record.line_count = output_count;
  ++gdi_update_record.draws;
}

}  // namespace

const uint8_t* gdi_conversion_buffer() { return conversion_buffer; }

int gdi_init(const char* title, int width, int height, int depth, int refresh_rate, int flags) {
  if (!window_driver_begin(gdi_driver.name, width, height, depth, flags, kFlagOpenGL, 0,
                           {gdi_open, gdi_close, gdi_paint, gdi_thread, nullptr}))
    return -1;
  // The bitmap and the conversion buffer are laid out from the screen's
  // lines: a window of another size or pixel size would be written past
  // their ends.
  const ScreenState* screen = screen_state;
  if (screen && (width != screen->width || height != screen->height * line_multiplier() ||
                 (window_depth(depth) + 7) / 8 != screen->bytes_per_pixel)) {
    ZQ_TRACE_FAILURE("GDI window %dx%dx%d for a %dx%dx%d screen", width, height, depth, screen->width,
                     screen->height, screen->depth);
    return -1;
  }
  return window_init(title, width, height, window_depth(depth), refresh_rate, flags);
}

int gdi_open() {
  conversion_buffer = nullptr;
  gdi_palette = nullptr;
  bitmap_info = nullptr;
  const int flags = window_state.flags;
  const int width = window_state.width;
  const int height = window_state.height;

  const MonitorArea monitor = window_monitor_area();

  DWORD style;
  DWORD ex_style = 0;
  if (flags & kFlagFullscreen) {
    if (window_change_display(monitor) != DISP_CHANGE_SUCCESSFUL) return -1;
    style = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  } else {
    style = window_style(flags);
    if (flags & kFlagLayered) {
      if (!is_windows2000_or_greater()) {  // COMPAT: no layered windows before
        ZQ_TRACE_FAILURE("layered window on system version 0x%x",
                         static_cast<unsigned>(window_state.os_version));
        return -1;
      }
      ex_style = WS_EX_LAYERED;
    }
  }

  const WindowFrame frame = window_frame(style, monitor);
  if (window_create(style | WS_VISIBLE, ex_style, frame.left, frame.top, frame.width, frame.height) != 0) {
    // Closing restores the display only when a window exists; a display
    // changed for a window that could not be made is restored here.
    if (flags & kFlagFullscreen) window_restore_display();
    return -1;
  }

  if (flags & kFlagLayered) {
    if (!window_state.user32.set_layered_window_attributes) {
      ZQ_TRACE_FAILURE("no SetLayeredWindowAttributes for a layered window");
      return -1;
    }
    const COLORREF key = window_state.depth <= 8 ? 0 : 0xFF00FF;
    window_state.user32.set_layered_window_attributes(window_state.window, key, 0, LWA_COLORKEY);
  }

  bitmap_info = static_cast<BITMAPINFO*>(std::calloc(1, sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD)));
  if (!bitmap_info) {
    ZQ_TRACE_FAILURE("no memory for the bitmap header");
    return -1;
  }
  fill_bitmap_header();

  if (needs_conversion()) {
    window_state.blitter = choose_blitter();
    const bool copy_needed = window_state.depth != 32 || (width & 3) != 0 || line_multiplier() > 1 ||
                             (flags & kFlagLayered);
    if (!window_state.blitter && copy_needed) {
      ZQ_TRACE_FAILURE("no blitter from the %d-bit screen to %d bits", screen_state ? screen_state->depth : 0,
                       window_state.depth);
      return -1;
    }
    const int bytes_per_pixel = screen_state ? screen_state->bytes_per_pixel : 1;
    conversion_buffer = static_cast<uint8_t*>(
        std::calloc(static_cast<size_t>((width + 3) & ~3) * static_cast<size_t>(height), bytes_per_pixel));
    if (!conversion_buffer) {
      ZQ_TRACE_FAILURE("no memory for a %dx%d conversion buffer", width, height);
      return -1;
    }
  } else {
    window_state.blitter = nullptr;
  }

  // Without room for the copy every marked line is drawn, as it always was.
  if (screen_state)
    sent_lines_open(&sent_lines, logical_line_count(), screen_state->width * screen_state->bytes_per_pixel);

  HDC device = GetDC(window_state.window);
  window_store_refresh_rate(GetDeviceCaps(device, VREFRESH));

  auto* logical = static_cast<LOGPALETTE*>(
      std::malloc(sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY)));
  if (logical) {
    logical->palVersion = 0x300;
    logical->palNumEntries = 256;
    std::memcpy(logical->palPalEntry, window_state.palette, sizeof window_state.palette);
    gdi_palette = CreatePalette(logical);
    std::free(logical);
  }
  ReleaseDC(window_state.window, device);
  return 0;
}

namespace {

// The event thread's drawing: the marked lines that differ from the window's
// picture, as one span. The marks are cleared even without a window (after
// a switch that could reopen nothing), so that they do not pile up.
void gdi_draw_step() {
  if (window_state.window && bitmap_info) {
    const bool new_palette = window_state.palette_changed != 0;
    // Every line shows other colours now, or the window's picture is not
    // to be trusted (activation, a display change, the switch).
    if (window_take_resend_all() || new_palette) sent_lines_forget(&sent_lines);
    if (filter_dirty_lines() || new_palette) {
      HDC device = GetDC(window_state.window);
      if (new_palette) apply_palette(device);
      draw_dirty_span(device);
      ReleaseDC(window_state.window, device);
    }
  }
  if (screen_state && screen_state->dirty_lines)
    std::memset(screen_state->dirty_lines, 0, static_cast<size_t>(window_state.height));
}

}  // namespace

void gdi_thread(void* ready_event) {
  window_run_event_loop(ready_event, {gdi_draw_step, window_refresh_key_state, &gdi_update_record.iterations});
}

void gdi_paint() {
  const uint8_t* bits = window_state.blitter ? conversion_buffer
                        : screen_state           ? screen_state->visible_page
                                                 : nullptr;
  if (!bits || !bitmap_info || !window_state.window) return;
  HDC device = GetDC(window_state.window);
  if (gdi_palette) {
    SelectPalette(device, gdi_palette, FALSE);
    RealizePalette(device);
  }
  send_lines(device, bits, 0, window_state.height);
  ReleaseDC(window_state.window, device);
  // The whole window was drawn from the page as it is; the next update sends
  // every marked line again rather than trust the copy.
  sent_lines_forget(&sent_lines);
}

void gdi_close() {
  sent_lines_close(&sent_lines);
  std::free(conversion_buffer);
  conversion_buffer = nullptr;
  std::free(bitmap_info);
  bitmap_info = nullptr;
  window_state.blitter = nullptr;
  if (window_state.window) {
    if (window_state.flags & kFlagFullscreen) window_restore_display();
    DestroyWindow(window_state.window);
    window_state.window = nullptr;
  }
  if (gdi_palette) {
    DeleteObject(gdi_palette);
    gdi_palette = nullptr;
  }
}

// A depth and its partner stand for each other.
int* gdi_fetch_modes(int depth, int* count) {
  return window_fetch_modes(depth, count, [](int bits, int wanted) {
    return bits == wanted || (bits != 0 && bits == partner_depth(wanted));
  });
}
