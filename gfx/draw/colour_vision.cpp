#include "gfx/draw/colour_vision.h"

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

// Machado, Oliveira and Fernandes (2009), severity 1.0, on linear RGB.
constexpr double kSimulation[kVisionCount][3][3] = {
    {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
    {{0.152286, 1.052583, -0.204868}, {0.114503, 0.786281, 0.099216}, {-0.003882, -0.048116, 1.051998}},
    {{0.367322, 0.860646, -0.227968}, {0.280085, 0.672501, 0.047413}, {-0.011820, 0.042940, 0.968881}},
    {{1.255528, -0.076749, -0.178779}, {-0.078411, 0.930809, 0.147602}, {0.004733, 0.691367, 0.303900}},
};

int vision_index(Vision vision) {
  const int index = static_cast<int>(vision);
  return index >= 0 && index < kVisionCount ? index : 0;
}

double to_linear(uint8_t component) {
  const double c = component / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

uint8_t from_linear(double linear) {
  if (!(linear > 0)) return 0;  // also NaN
  if (linear >= 1) return 255;
  const double c = linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
  return static_cast<uint8_t>(std::lround(c * 255));
}

double lab_f(double t) {
  constexpr double kDelta = 6.0 / 29.0;
  return t > kDelta * kDelta * kDelta ? std::cbrt(t) : t / (3 * kDelta * kDelta) + 4.0 / 29.0;
}

double degrees(double radians) { return radians * 180 / kPi; }
double radians(double degrees) { return degrees * kPi / 180; }

// A Lab component within +-1000 (NaN as 0): far past any real colour, and
// small enough that no power below overflows.
double bounded(double v) { return v > 1000 ? 1000 : v < -1000 ? -1000 : v == v ? v : 0; }

// sqrt(c^7 / (c^7 + 25^7)) without the overflow of c^7.
double chroma_weight(double c) { return c > 0 ? std::sqrt(1 / (1 + std::pow(25 / c, 7))) : 0; }

// The hue angle in degrees, 0..360; 0 for a neutral colour.
double hue(double b, double a) {
  if (a == 0 && b == 0) return 0;
  const double h = degrees(std::atan2(b, a));
  return h < 0 ? h + 360 : h;
}

}  // namespace

const char* vision_name(Vision vision) {
  static const char* const kNames[kVisionCount] = {"normal", "protanopia", "deuteranopia", "tritanopia"};
  return kNames[vision_index(vision)];
}

Rgb8 simulate_vision(Vision vision, Rgb8 colour) {
  const double (&m)[3][3] = kSimulation[vision_index(vision)];
  const double in[3] = {to_linear(colour.red), to_linear(colour.green), to_linear(colour.blue)};
  uint8_t out[3];
  for (int row = 0; row < 3; ++row)
    out[row] = from_linear(m[row][0] * in[0] + m[row][1] * in[1] + m[row][2] * in[2]);
  return Rgb8{out[0], out[1], out[2]};
}

Lab srgb_to_lab(Rgb8 colour) {
  const double r = to_linear(colour.red), g = to_linear(colour.green), b = to_linear(colour.blue);
  // sRGB to XYZ, then relative to the D65 white.
  const double x = (0.4124564 * r + 0.3575761 * g + 0.1804375 * b) / 0.95047;
  const double y = 0.2126729 * r + 0.7151522 * g + 0.0721750 * b;
  const double z = (0.0193339 * r + 0.1191920 * g + 0.9503041 * b) / 1.08883;
  const double fx = lab_f(x), fy = lab_f(y), fz = lab_f(z);
  return Lab{116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz)};
}

// Sharma, Wu and Dalal (2005), "The CIEDE2000 color-difference formula".
double ciede2000(const Lab& first_lab, const Lab& second_lab) {
  const Lab first{bounded(first_lab.l), bounded(first_lab.a), bounded(first_lab.b)};
  const Lab second{bounded(second_lab.l), bounded(second_lab.a), bounded(second_lab.b)};
  const double c1 = std::hypot(first.a, first.b), c2 = std::hypot(second.a, second.b);
  const double c_mean = (c1 + c2) / 2;
  const double g = 0.5 * (1 - chroma_weight(c_mean));
  const double a1 = (1 + g) * first.a, a2 = (1 + g) * second.a;
  const double cp1 = std::hypot(a1, first.b), cp2 = std::hypot(a2, second.b);
  const double hp1 = hue(first.b, a1), hp2 = hue(second.b, a2);

  const double dl = second.l - first.l;
  const double dc = cp2 - cp1;
  double dh = 0;
  if (cp1 * cp2 != 0) {
    dh = hp2 - hp1;
    if (dh > 180) dh -= 360;
    else if (dh < -180) dh += 360;
  }
  const double dH = 2 * std::sqrt(cp1 * cp2) * std::sin(radians(dh / 2));

  const double l_mean = (first.l + second.l) / 2;
  const double cp_mean = (cp1 + cp2) / 2;
  double hp_mean = hp1 + hp2;
  if (cp1 * cp2 != 0) {
    if (std::fabs(hp1 - hp2) <= 180) hp_mean /= 2;
    else hp_mean = hp_mean < 360 ? (hp_mean + 360) / 2 : (hp_mean - 360) / 2;
  }
  const double t = 1 - 0.17 * std::cos(radians(hp_mean - 30)) + 0.24 * std::cos(radians(2 * hp_mean)) +
                   0.32 * std::cos(radians(3 * hp_mean + 6)) - 0.20 * std::cos(radians(4 * hp_mean - 63));
  const double d_theta = 30 * std::exp(-std::pow((hp_mean - 275) / 25, 2));
  const double rc = 2 * chroma_weight(cp_mean);
  const double l50 = (l_mean - 50) * (l_mean - 50);
  const double sl = 1 + 0.015 * l50 / std::sqrt(20 + l50);
  const double sc = 1 + 0.045 * cp_mean;
  const double sh = 1 + 0.015 * cp_mean * t;
  const double rt = -std::sin(radians(2 * d_theta)) * rc;
  const double tl = dl / sl, tc = dc / sc, th = dH / sh;
  return std::sqrt(tl * tl + tc * tc + th * th + rt * tc * th);
}

double vision_distance(Vision vision, Rgb8 first, Rgb8 second) {
  return ciede2000(srgb_to_lab(simulate_vision(vision, first)), srgb_to_lab(simulate_vision(vision, second)));
}

double relative_luminance(Rgb8 colour) {
  return 0.2126 * to_linear(colour.red) + 0.7152 * to_linear(colour.green) + 0.0722 * to_linear(colour.blue);
}
