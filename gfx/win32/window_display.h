// The display a driver's window goes on: the fullscreen mode change, the
// modes on offer, and the window's frame and place on its monitor.
#pragma once

#include <windows.h>

#include "gfx/win32/window_monitor.h"

// Switches the display to the window layer's width, height, depth and
// refresh rate for a fullscreen window; DISP_CHANGE_SUCCESSFUL (0) on success.
LONG window_change_display(const MonitorArea& monitor);
// Every display back to its own mode, through the same entry as the change.
void window_restore_display();

// The depth a display may offer in place of the one asked for, the same
// colours in other words: 15 and 16 bits, 24 and 32 bits; 0 for any other.
inline int partner_depth(int depth) {
  return depth == 15 ? 16 : depth == 16 ? 15 : depth == 24 ? 32 : depth == 32 ? 24 : 0;
}

// The outer size of a window whose client area is the window layer's width
// and height at the client scale (window_client_scale), with the frame of
// style and no menu.
SIZE window_outer_size(DWORD style);

// Outer position and size of the window: fullscreen at the monitor's corner
// (or the origin), windowed the client size grown by the frame of style and
// centred on the monitor (or the primary screen).
struct WindowFrame {
  int left, top, width, height;
};
WindowFrame window_frame(DWORD style, const MonitorArea& monitor);

// A growing list of display modes, each packed as width << 16 | height.
struct ModeList {
  int* modes;
  int count;
  int capacity;
};
// False, with the list as it was, when memory runs out.
bool mode_list_add(ModeList* list, unsigned width, unsigned height);
// The list's array for the caller to free, and its length in count; null
// (count 0) for an empty list.
int* mode_list_take(ModeList* list, int* count);

// The display modes whose depth kept accepts, in the system's order with
// repeats; null (count 0) when none matched. Growing stops quietly when
// memory runs out, with the modes found so far.
int* window_fetch_modes(int depth, int* count, bool (*kept)(int mode_depth, int depth));
