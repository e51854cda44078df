// The window layer's monitor and window style.
#include "gfx/win32/window_monitor.h"

#include "gfx/drivers/video_driver.h"
#include "gfx/win32/window_state.h"

static_assert(sizeof(MONITORINFOEXA) == 72, "extended monitor information");

MonitorArea window_monitor_area() {
  MonitorArea monitor{};
  if (window_state.user32.get_monitor_info && window_state.monitor) {
    monitor.info.cbSize = sizeof monitor.info;
    monitor.info.szDevice[0] = '\0';
    monitor.known = window_state.user32.get_monitor_info(window_state.monitor, &monitor.info) &&
                    monitor.info.szDevice[0] != '\0';
  }
  return monitor;
}

DWORD window_style(int flags) {
  if (flags & kFlagFrameless) return WS_POPUP;
  const DWORD fixed = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  return (flags & kFlagNoSwitch) ? fixed : fixed | WS_MAXIMIZEBOX;
}
