// Prints the keyboard map's state colours as people with each kind of colour
// vision see them and how far apart every pair is, as the markdown of
// docs/state-colours.md:
//   build/native/tools/state_colours > docs/state-colours.md
// Exits 1 when a pair comes closer than the bounds the colours were chosen
// for (12 in CIEDE2000 for every vision; 0.1 in relative luminance between
// the states without a mark).
#include <cmath>
#include <cstdio>

#include "gfx/data/builtin_data.h"
#include "gfx/draw/colour_vision.h"
#include "keys/map/key_map_view.h"

namespace {

constexpr double kLeastDistance = 12;
constexpr double kLeastLuminance = 0.1;

struct State {
  const char* name;
  int index;
  const char* mark;
};
constexpr State kStates[] = {
    {"untested", kMapColourUntested, "-"},
    {"tested", kMapColourTested, "-"},
    {"held", kMapColourHeld, "-"},
    {"chatter", kMapColourChatter, "upright stripes"},
    {"stuck", kMapColourStuck, "bar along the bottom"},
    {"defect", kMapColourDefect, "cross, corner to corner"},
};
constexpr int kStateCount = sizeof kStates / sizeof kStates[0];

Rgb8 colour_of(int index) {
  const uint8_t* rgb = palette_256.data + 3 * index;
  return Rgb8{rgb[0], rgb[1], rgb[2]};
}

void print_hex(Rgb8 c) { std::printf("`#%02x%02x%02x`", c.red, c.green, c.blue); }

}  // namespace

int main() {
  unpack_builtin_data();
  bool holds = true;
  std::printf("# The keyboard map's state colours\n\n"
              "Made by `build/native/tools/state_colours > docs/state-colours.md` (the native build's\n"
              "`state_colours`, from `tools/state_colours.cpp`); the unit test `StateColours` checks the\n"
              "same bounds. Colours are entries of the default 256-colour palette. Each vision is\n"
              "simulated with the model of Machado, Oliveira and Fernandes (2009) at full severity on\n"
              "linear sRGB; distances are CIEDE2000 between the simulated colours, rounded to 8 bits.\n"
              "Luminance is the relative luminance, the grey a greyscale print gives the colour.\n"
              "Marks are black.\n\n");
  std::printf("| state | palette | colour | protanopia | deuteranopia | tritanopia | luminance | mark |\n"
              "|---|---:|---|---|---|---|---:|---|\n");
  for (const State& s : kStates) {
    const Rgb8 c = colour_of(s.index);
    std::printf("| %s | %d | ", s.name, s.index);
    print_hex(c);
    for (int v = 1; v < kVisionCount; ++v) {
      std::printf(" | ");
      print_hex(simulate_vision(static_cast<Vision>(v), c));
    }
    std::printf(" | %.3f | %s |\n", relative_luminance(c), s.mark);
  }

  std::printf("\n| pair | normal | protanopia | deuteranopia | tritanopia | luminance apart |\n"
              "|---|---:|---:|---:|---:|---:|\n");
  double least[kVisionCount];
  for (double& l : least) l = 1e9;
  double least_plain_luminance = 1e9;
  for (int i = 0; i < kStateCount; ++i)
    for (int j = i + 1; j < kStateCount; ++j) {
      const Rgb8 a = colour_of(kStates[i].index), b = colour_of(kStates[j].index);
      std::printf("| %s, %s", kStates[i].name, kStates[j].name);
      for (int v = 0; v < kVisionCount; ++v) {
        const double d = vision_distance(static_cast<Vision>(v), a, b);
        if (d < least[v]) least[v] = d;
        std::printf(" | %.1f", d);
      }
      const double apart = std::fabs(relative_luminance(a) - relative_luminance(b));
      const bool plain = kStates[i].mark[0] == '-' && kStates[j].mark[0] == '-';
      if (plain && apart < least_plain_luminance) least_plain_luminance = apart;
      std::printf(" | %.3f%s |\n", apart, plain ? " (no mark)" : "");
    }
  std::printf("| **least** ");
  for (double l : least) {
    std::printf("| **%.1f** ", l);
    holds = holds && l >= kLeastDistance;
  }
  std::printf("| **%.3f** (no mark) |\n", least_plain_luminance);
  holds = holds && least_plain_luminance >= kLeastLuminance;
  std::printf("\nBounds: every pair at least %.0f apart for every vision; states without a mark at\n"
              "least %.1f apart in luminance. %s\n",
              kLeastDistance, kLeastLuminance, holds ? "Both hold." : "NOT MET.");
  return holds ? 0 : 1;
}
