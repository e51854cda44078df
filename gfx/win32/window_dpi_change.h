// A per-monitor-aware window that reaches a monitor of another DPI (moved
// there, or the monitor's setting changed) is told so and has to resize
// itself: the system only suggests a rectangle.
#pragma once

#include <windows.h>

constexpr UINT kDpiChangedMessage = 0x02E0;  // older headers lack the name

// Answers kDpiChangedMessage for the window layer's window: with the scale
// following the DPI, the factor is chosen again for the new DPI (wparam's
// high word) and the work area of the monitor under the suggested rectangle
// (lparam, may be null: the window stays where it is); the driver takes the
// factor up, and the window goes to the rectangle's corner with its client
// area at the factor and the frame the new DPI draws. An explicit factor is
// kept; only the frame follows. A driver that cannot take the new factor,
// or a window that cannot be resized, leaves the window at the old one.
// False, with nothing changed, for fullscreen and OpenGL screens and other
// windows: the message is then the system's.
bool window_handle_dpi_change(HWND window, WPARAM wparam, LPARAM lparam);
