// The DirectX driver's display modes: the fullscreen mode chosen and set, the
// modes on offer, the pixel layout of a surface, and the vertical blank.
#pragma once

#include "gfx/win32/drivers/directx_state.h"

// The fullscreen display mode: width x height at depth, else the partner
// depth (15 and 16, 24 and 32), else the next taller of 240, 480, 600, 768,
// 1024 lines. set_mode answers one request with DD_OK or an error. Returns
// the first display line of the picture, or -1 when no mode was taken.
using DisplayModeSetter = HRESULT (*)(void* context, DWORD width, DWORD height, DWORD depth,
                                      DWORD refresh_rate, DWORD flags);
int dx_set_display_mode(int width, int height, int depth, int refresh_rate, DisplayModeSetter set_mode,
                        void* context);
// The setter for dx_set_display_mode whose context is an IDirectDraw2.
HRESULT dx_set_mode_on_direct_draw(void* context, DWORD width, DWORD height, DWORD depth, DWORD refresh_rate,
                                   DWORD flags);

// What the blitter is asked for by a surface's pixel format.
struct DxPixelLayout {
  int bits;  // 15 for a 16-bit format with a 5-bit green field
  int swap_red_blue;
};
DxPixelLayout dx_pixel_layout(const DDPIXELFORMAT& format);

int* dx_fetch_modes(int depth, int* count);

void dx_wait_vsync();
// The longest the event thread holds its copy back for a vertical-blank wait
// of the program's thread.
constexpr DWORD kVsyncWaitLimitMs = 20;
// The program thread's own DirectDraw object for dx_wait_vsync released; run
// by the driver's exit, on that thread.
void dx_release_vsync_object();
