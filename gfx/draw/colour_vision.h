// How far apart two colours look, for normal vision and for the three
// dichromacies: the simulation of Machado, Oliveira and Fernandes (2009) at
// full severity, the CIEDE2000 colour difference and the relative luminance
// of a greyscale print. Used to choose and check the keyboard map's state
// colours; the program itself never calls it.
#pragma once

#include <cstdint>

struct Rgb8 {
  uint8_t red, green, blue;
};

enum class Vision { kNormal, kProtanopia, kDeuteranopia, kTritanopia };
constexpr int kVisionCount = 4;

// "normal", "protanopia", "deuteranopia", "tritanopia"; "normal" for a value
// out of range.
const char* vision_name(Vision vision);

// The colour as an eye of that vision sees it, rounded back to 8 bits (a
// value out of range counts as normal vision).
Rgb8 simulate_vision(Vision vision, Rgb8 colour);

struct Lab {
  double l, a, b;
};

// CIE L*a*b* (D65 white) of an sRGB colour.
Lab srgb_to_lab(Rgb8 colour);

// The CIEDE2000 difference (kL = kC = kH = 1), 0 for equal colours.
// Components are taken within +-1000 and NaN as 0, so any input gives a
// finite result.
double ciede2000(const Lab& first, const Lab& second);

// CIEDE2000 between the two colours as seen with the vision.
double vision_distance(Vision vision, Rgb8 first, Rgb8 second);

// The relative luminance of an sRGB colour (0 black .. 1 white), the grey a
// greyscale print gives it.
double relative_luminance(Rgb8 colour);
