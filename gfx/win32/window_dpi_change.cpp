// The window's scale and size after its DPI changed.
#include "gfx/win32/window_dpi_change.h"

#include "gfx/screen.h"
#include "gfx/win32/failure_trace.h"
#include "gfx/win32/window.h"
#include "gfx/win32/window_display.h"
#include "gfx/win32/window_dpi.h"

namespace {

// The driver first: until it has what the new factor needs, nothing of the
// window's changes, so a refusal leaves the old factor whole.
bool use_scale(int scale) {
  if (window_state.driver_rescale && window_state.driver_rescale(scale) != 0) return false;
  window_state.scale = scale;
  // The driver's picture is of the old size: every line goes out again.
  window_mark_all_dirty();
  return true;
}

// The window at place's corner with its client area at scale. The frame is
// the one drawn now; where the system draws it anew for the new place (the
// monitor's DPI), the client area comes out off by the difference, and one
// more resize with the frame as it now is puts it right.
bool place_window(HWND window, const RECT& place, int scale) {
  const int width = window_state.width * scale, height = window_state.height * scale;
  for (int round = 0; round < 2; ++round) {
    const SIZE frame = window_frame_size(window_style(window_state.flags));
    if (!SetWindowPos(window, nullptr, place.left, place.top, width + frame.cx, height + frame.cy,
                      SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_NOACTIVATE))
      return false;
    RECT client{};
    if (!GetClientRect(window, &client) || (client.right == width && client.bottom == height)) break;
  }
  return true;
}

}  // namespace

bool window_handle_dpi_change(HWND window, WPARAM wparam, LPARAM lparam) {
  if (!window || window != window_state.window || (window_state.flags & (kFlagFullscreen | kFlagOpenGL)))
    return false;
  const int dpi = HIWORD(wparam);
  RECT place{};
  if (lparam)
    place = *reinterpret_cast<const RECT*>(lparam);
  else
    GetWindowRect(window, &place);

  // The monitor under the middle of the new place bounds the factor (and is
  // the one a later switch to fullscreen starts from).
  if (window_state.user32.monitor_from_point) {
    const POINT middle{place.left / 2 + place.right / 2, place.top / 2 + place.bottom / 2};
    window_state.monitor = window_state.user32.monitor_from_point(middle, MONITOR_DEFAULTTONEAREST);
  }

  const int old_scale = window_client_scale();
  int scale = window_scale_for_dpi(dpi);
  if (scale != old_scale && !use_scale(scale)) {
    ZQ_TRACE_FAILURE("the driver did not take window scale %d for %d DPI; keeping %d", scale, dpi, old_scale);
    scale = old_scale;
  }
  if (place_window(window, place, scale)) return true;
  ZQ_TRACE_FAILURE("SetWindowPos refused the window at %ld,%ld at scale %d after a DPI change to %d", place.left,
                   place.top, scale, dpi);
  // The window kept its old size: the old factor fills it. Should even the
  // way back be refused, the driver presents the new factor's picture into
  // the old client area, which still shows the whole screen.
  if (scale != old_scale) use_scale(old_scale);
  return true;
}
