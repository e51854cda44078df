// The display modes and window frame shared by the drivers, above the monitor
// (window_monitor) and the client scale (window_dpi).
#include "gfx/win32/window_display.h"

#include <cstdint>
#include <cstdlib>

#include "gfx/screen.h"
#include "gfx/win32/failure_trace.h"
#include "gfx/win32/window_dpi.h"
#include "gfx/win32/window_state.h"

static_assert(sizeof(DEVMODEA) == 156, "display mode record of the size the system expects");

LONG window_change_display(const MonitorArea& monitor) {
  DEVMODEA mode{};
  mode.dmSize = sizeof mode;
  mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
  mode.dmBitsPerPel = static_cast<DWORD>(window_state.depth);
  mode.dmPelsWidth = static_cast<DWORD>(window_state.width);
  mode.dmPelsHeight = static_cast<DWORD>(window_state.height);
  mode.dmDisplayFrequency = static_cast<DWORD>(window_state.refresh_rate);
  const LONG result =
      window_state.user32.change_display_settings_ex
          ? window_state.user32.change_display_settings_ex(monitor.known ? monitor.info.szDevice : nullptr,
                                                           &mode, nullptr, CDS_FULLSCREEN, nullptr)
          : ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN);
  if (result != DISP_CHANGE_SUCCESSFUL)
    ZQ_TRACE_FAILURE("ChangeDisplaySettings refused %dx%d, %d bits, %d Hz: result %ld", window_state.width,
                     window_state.height, window_state.depth, window_state.refresh_rate,
                     static_cast<long>(result));
  return result;
}

void window_restore_display() {
  if (window_state.user32.change_display_settings_ex)
    window_state.user32.change_display_settings_ex(nullptr, nullptr, nullptr, 0, nullptr);
  else
    ChangeDisplaySettingsA(nullptr, 0);
}

SIZE window_outer_size(DWORD style) {
  const int scale = window_client_scale();
  RECT outer = {0, 0, window_state.width * scale, window_state.height * scale};
  AdjustWindowRect(&outer, style, FALSE);
  return SIZE{outer.right - outer.left, outer.bottom - outer.top};
}

WindowFrame window_frame(DWORD style, const MonitorArea& monitor) {
  WindowFrame frame{0, 0, window_state.width, window_state.height};
  if (window_state.flags & kFlagFullscreen) {
    if (monitor.known) {
      frame.left = monitor.info.rcMonitor.left;
      frame.top = monitor.info.rcMonitor.top;
    }
    return frame;
  }
  const SIZE outer = window_outer_size(style);
  frame.width = outer.cx;
  frame.height = outer.cy;
  if (monitor.known) {
    const RECT& area = monitor.info.rcMonitor;
    frame.left = area.left + ((area.right - area.left - frame.width) >> 1);
    frame.top = area.top + ((area.bottom - area.top - frame.height) >> 1);
  } else {
    frame.left = (GetSystemMetrics(SM_CXSCREEN) - frame.width) >> 1;
    frame.top = (GetSystemMetrics(SM_CYSCREEN) - frame.height) >> 1;
  }
  return frame;
}

bool mode_list_add(ModeList* list, unsigned width, unsigned height) {
  if (!list) return false;
  if (list->count == list->capacity) {
    if (list->capacity > INT32_MAX / 2) return false;
    const int grown_capacity = list->capacity ? list->capacity * 2 : 16;
    auto* grown = static_cast<int*>(std::realloc(list->modes, sizeof(int) * static_cast<size_t>(grown_capacity)));
    if (!grown) return false;
    list->modes = grown;
    list->capacity = grown_capacity;
  }
  list->modes[list->count++] = static_cast<int>((width << 16) | (height & 0xFFFF));
  return true;
}

int* mode_list_take(ModeList* list, int* count) {
  int* modes = list && list->count > 0 ? list->modes : nullptr;
  if (count) *count = modes ? list->count : 0;
  if (list && !modes) std::free(list->modes);
  if (list) *list = ModeList{};
  return modes;
}

int* window_fetch_modes(int depth, int* count, bool (*kept)(int mode_depth, int depth)) {
  ModeList list{};
  DEVMODEA mode{};
  mode.dmSize = sizeof mode;
  for (DWORD i = 0; kept && EnumDisplaySettingsA(nullptr, i, &mode); ++i) {
    if (kept(static_cast<int>(mode.dmBitsPerPel), depth) && !mode_list_add(&list, mode.dmPelsWidth, mode.dmPelsHeight))
      break;
  }
  return mode_list_take(&list, count);
}
