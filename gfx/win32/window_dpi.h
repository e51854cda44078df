// Sharp windows on high-DPI monitors: the process says it draws for the
// monitor's real pixels (otherwise the system stretches the window with a
// blur), and a windowed screen is shown at a whole-number scale.
#pragma once

#include <windows.h>

// Declares per-monitor DPI awareness, with the older system-wide call where
// that is all there is, and nothing where neither exists. Once per process;
// later calls do nothing.
void window_declare_dpi_awareness();

// The monitor's DPI, or the desktop's where the system cannot tell per
// monitor (or monitor is null); 96 when neither can be read.
int window_monitor_dpi(HMONITOR monitor);

// The factor by which a window of the window layer's width, height and flags
// is drawn, for the scale the program asked for (window_scale_request), the
// monitor's DPI and its work area. 1 for OpenGL screens, which set their own
// viewport.
int window_choose_scale();
// The same for a given DPI, with the work area of window_state.monitor.
int window_scale_for_dpi(int dpi);

// What the frame adds to the client area across and down: the window's own
// as the system draws it now (at a per-monitor-aware window's DPI change,
// already for the new monitor), or, before there is a window, that of style.
SIZE window_frame_size(DWORD style);

// The client area's scale now: window_state.scale in a window, 1 in
// fullscreen, where the display mode has the screen's size.
int window_client_scale();
