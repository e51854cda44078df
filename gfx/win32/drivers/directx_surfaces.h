// The DirectX driver's surfaces: the primary surface and the windowed back
// surface, the palette and blitter chosen for their pixels, the scale buffer
// of an enlarged window, and the lines converted into them.
#pragma once

#include <cstdint>

#include "gfx/screen.h"
#include "gfx/win32/drivers/directx_state.h"

// The primary surface, and in a window its clipper and a back surface at the
// client area's size; 0 on success. Opening steps kStepBackSurface.
int dx_create_surfaces();
// The palette (8-bit displays), the blitter for the primary surface's pixel
// format and the scale buffer of a scaled window; 0 on success. Opening steps
// kStepPaletteAndBlitter.
int dx_choose_pixel_path();

// Drops the marks of lines shown as they stand; true when a line is left to
// convert.
bool dx_keep_changed_lines(ScreenState* screen);
// Converts the marked lines into the locked back surface (memory, pitch).
void dx_convert_marked_lines(ScreenState* screen, uint8_t* memory, int pitch);

// The windowed back surface (and the scale buffer) remade for another window
// scale, on the event thread under the window lock; 0 when they are in use,
// else -1 with the old ones kept (window_state.driver_rescale).
int dx_rescale(int scale);

// A fullscreen picture cleared, then the surfaces, clipper, palette, scale
// buffer, blitter and the record of the lines shown let go.
void dx_close_surfaces();
