// The display a driver's window goes on: its monitor, the fullscreen mode
// change, the modes on offer, and the window's frame and place.
#pragma once

#include <windows.h>

// The window layer's monitor, when the system can describe it and names its
// device.
struct MonitorArea {
  bool known;
  MONITORINFOEXA info;
};
MonitorArea window_monitor_area();

// Switches the display to the window layer's width, height, depth and
// refresh rate for a fullscreen window; DISP_CHANGE_SUCCESSFUL (0) on success.
LONG window_change_display(const MonitorArea& monitor);

// Outer position and size of the window: fullscreen at the monitor's corner
// (or the origin), windowed the client size grown by the frame of style and
// centred on the monitor (or the primary screen).
struct WindowFrame {
  int left, top, width, height;
};
WindowFrame window_frame(DWORD style, const MonitorArea& monitor);

// The display modes whose depth kept accepts, each packed as width << 16 |
// height, in the system's order with repeats; allocated for the caller,
// null (count 0) when none matched. Growing stops quietly when memory runs
// out, with the modes found so far.
int* window_fetch_modes(int depth, int* count, bool (*kept)(int mode_depth, int depth));
