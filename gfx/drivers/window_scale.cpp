#include "gfx/drivers/window_scale.h"

#include <atomic>
#include <climits>
#include <cstdint>

namespace {

// Written by the program's thread before the screen opens, read by the event
// thread when it builds the window.
std::atomic<int> requested_scale{kWindowScaleAuto};

int valid_scale(int scale) { return scale < kMinWindowScale ? kMinWindowScale : scale; }

}  // namespace

int set_window_scale_request(int scale) {
  if (scale != kWindowScaleAuto && (scale < kMinWindowScale || scale > kMaxWindowScale)) return -1;
  requested_scale.store(scale);
  return 0;
}

int window_scale_request() { return requested_scale.load(); }

int scale_for_dpi(int dpi) {
  if (dpi < kBaseDpi) return kMinWindowScale;
  const int scale = dpi / kBaseDpi;
  return scale > kMaxWindowScale ? kMaxWindowScale : scale;
}

int scale_fitting_area(int scale, const ScaleFit& fit) {
  if (scale > kMaxWindowScale) scale = kMaxWindowScale;
  // 64-bit sums: a frame or area near the int limits must not wrap into a fit.
  for (; scale > kMinWindowScale; --scale) {
    const int64_t outer_width = static_cast<int64_t>(fit.width) * scale + fit.frame_width;
    const int64_t outer_height = static_cast<int64_t>(fit.height) * scale + fit.frame_height;
    if (outer_width <= fit.area_width && outer_height <= fit.area_height) return scale;
  }
  return kMinWindowScale;
}

int resolve_window_scale(int request, int dpi, const ScaleFit& fit) {
  if (request != kWindowScaleAuto) return request < kMinWindowScale ? kMinWindowScale
                                          : request > kMaxWindowScale ? kMaxWindowScale
                                                                      : request;
  return scale_fitting_area(scale_for_dpi(dpi), fit);
}

int window_to_screen_pixel(int position, int scale) {
  scale = valid_scale(scale);
  const int quotient = position / scale;
  // Division truncates towards zero; a partial block left of the origin
  // belongs to the pixel before it.
  return (position % scale != 0 && position < 0) ? quotient - 1 : quotient;
}

int screen_to_window_pixel(int position, int scale) {
  scale = valid_scale(scale);
  const int64_t window = static_cast<int64_t>(position) * scale + scale / 2;
  if (window > INT_MAX) return INT_MAX;
  if (window < INT_MIN) return INT_MIN;
  return static_cast<int>(window);
}
