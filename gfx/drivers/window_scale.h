// Whole-number scaling of a windowed screen: the factor a monitor's DPI asks
// for, lowered until the window fits the monitor's work area, and mouse
// positions between window pixels and screen pixels. Pixel art stays sharp
// only at whole factors, so nothing here ever yields a fraction.
#pragma once

constexpr int kWindowScaleAuto = 0;  // follow the monitor's DPI
constexpr int kMinWindowScale = 1;
constexpr int kMaxWindowScale = 8;
constexpr int kBaseDpi = 96;  // the DPI at which one screen pixel is one window pixel

// The factor the program asks for before it opens a screen: kWindowScaleAuto
// or kMinWindowScale to kMaxWindowScale. Anything else is refused with -1
// and the request stays as it was; 0 otherwise.
int set_window_scale_request(int scale);
int window_scale_request();

// DPI / 96 rounded down, from 1 to kMaxWindowScale; 1 for an unknown (zero or
// negative) DPI.
int scale_for_dpi(int dpi);

// The largest factor from 1 to scale at which a client area of width x height
// screen pixels, grown by the frame, fits an area of area_width x area_height;
// 1 when even that does not fit (the window is then no worse than unscaled).
struct ScaleFit {
  int width, height;              // the screen, in its own pixels
  int frame_width, frame_height;  // what the frame adds to the client area
  int area_width, area_height;    // the monitor's work area
};
int scale_fitting_area(int scale, const ScaleFit& fit);

// The factor for a request: an explicit one as asked, kWindowScaleAuto the
// DPI's, lowered to fit the work area.
int resolve_window_scale(int request, int dpi, const ScaleFit& fit);

// A window pixel to the screen pixel it shows (rounded towards minus
// infinity, so positions left of the window stay left of it), and a screen
// pixel to the window pixel at the middle of its block. A scale below 1
// counts as 1; the results saturate instead of overflowing.
int window_to_screen_pixel(int position, int scale);
int screen_to_window_pixel(int position, int scale);
