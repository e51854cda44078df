// The monitor a window goes on and the style of its frame: what the display
// and the DPI scale both build on.
#pragma once

#include <windows.h>

// The window layer's monitor, when the system can describe it and names its
// device.
struct MonitorArea {
  bool known;
  MONITORINFOEXA info;
};
MonitorArea window_monitor_area();

// The style of a window that is not fullscreen: caption, system menu,
// minimise box, and the maximise box unless switching is off; a frameless
// window is a bare popup. kFrameStyles holds every bit it may set.
DWORD window_style(int flags);
constexpr DWORD kFrameStyles = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
