// The keyboard map's state colours seen with every kind of colour vision,
// the colour science that judges them, and the marks that tell the findings
// apart without colour, on the screen as drawn.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <string>
#include <utility>

#include "gfx/data/builtin_data.h"
#include "gfx/draw/colour_vision.h"
#include "gfx/screen.h"
#include "keys/map/key_map_view.h"
#include "support/capture.h"

namespace {

constexpr double kLeastDistance = 12;    // CIEDE2000, any pair, any vision
constexpr double kLeastLuminance = 0.1;  // between plain states, in a greyscale print

struct StateColour {
  const char* name;
  int index;
  bool marked;
};
constexpr StateColour kStates[] = {
    {"untested", kMapColourUntested, false}, {"tested", kMapColourTested, false},
    {"held", kMapColourHeld, false},         {"chatter", kMapColourChatter, true},
    {"stuck", kMapColourStuck, true},        {"defect", kMapColourDefect, true},
};

Rgb8 palette_colour(int index) {
  unpack_builtin_data();
  const uint8_t* rgb = palette_256.data + 3 * index;
  return Rgb8{rgb[0], rgb[1], rgb[2]};
}

TEST(ColourVision, Ciede2000MatchesThePublishedPairs) {
  // Sharma, Wu and Dalal (2005), table 1: hue wrap-around, neutral and
  // near-neutral pairs, the blue region's rotation term, dark colours.
  const struct {
    Lab first, second;
    double distance;
  } pairs[] = {
      {{50, 2.6772, -79.7751}, {50, 0, -82.7485}, 2.0425},
      {{50, -1.3802, -84.2814}, {50, 0, -82.7485}, 1.0000},
      {{50, 0, 0}, {50, -1, 2}, 2.3669},
      {{50, 2.49, -0.001}, {50, -2.49, 0.0009}, 7.1792},
      {{50, 2.49, -0.001}, {50, -2.49, 0.0011}, 7.2195},
      {{50, -0.001, 2.49}, {50, 0.0009, -2.49}, 4.8045},
      {{50, 2.5, 0}, {73, 25, -18}, 27.1492},
      {{50, 2.5, 0}, {56, -27, -3}, 31.9030},
      {{60.2574, -34.0099, 36.2677}, {60.4626, -34.1751, 39.4387}, 1.2644},
      {{2.0776, 0.0795, -1.1350}, {0.9033, -0.0636, -0.5514}, 0.9082},
  };
  for (const auto& p : pairs) {
    EXPECT_NEAR(ciede2000(p.first, p.second), p.distance, 5e-5) << p.distance;
    EXPECT_NEAR(ciede2000(p.second, p.first), p.distance, 5e-5) << p.distance << " swapped";
  }
}

TEST(ColourVision, SimulationKeepsGreysAndMergesWhatEachVisionMerges) {
  for (int v = 0; v < kVisionCount; ++v) {
    const auto vision = static_cast<Vision>(v);
    for (int level : {0, 85, 170, 255}) {
      const Rgb8 grey{static_cast<uint8_t>(level), static_cast<uint8_t>(level), static_cast<uint8_t>(level)};
      const Rgb8 seen = simulate_vision(vision, grey);
      EXPECT_LE(std::abs(seen.red - level) + std::abs(seen.green - level) + std::abs(seen.blue - level), 3)
          << vision_name(vision) << " " << level;
    }
  }
  // The pairs the old map's colours lost: held and tested (yellow and green)
  // merge for the red-blind and nearly for the green-blind, not for others.
  const Rgb8 yellow{255, 255, 85}, green{85, 255, 85};
  const struct {
    Vision vision;
    double low, high;
  } merged[] = {{Vision::kNormal, 20, 100},
                {Vision::kProtanopia, 3.5, 4.2},
                {Vision::kDeuteranopia, 7.8, 8.5},
                {Vision::kTritanopia, 12, 100}};
  for (const auto& m : merged) {
    const double distance = vision_distance(m.vision, yellow, green);
    EXPECT_GE(distance, m.low) << vision_name(m.vision);
    EXPECT_LE(distance, m.high) << vision_name(m.vision);
  }
  EXPECT_NEAR(relative_luminance(Rgb8{255, 85, 85}), 0.284, 0.001);
  EXPECT_NEAR(relative_luminance(Rgb8{255, 255, 255}), 1.0, 1e-4);
}

TEST(ColourVision, AnyValueGivesAClearResult) {
  EXPECT_STREQ(vision_name(static_cast<Vision>(-1)), "normal");
  EXPECT_STREQ(vision_name(static_cast<Vision>(kVisionCount)), "normal");
  const Rgb8 red{255, 0, 0};
  const Rgb8 seen = simulate_vision(static_cast<Vision>(99), red);
  EXPECT_EQ(seen.red, 255);
  EXPECT_EQ(seen.green, 0);
  constexpr double kHuge = std::numeric_limits<double>::max(), kNan = std::numeric_limits<double>::quiet_NaN();
  for (const Lab& odd : {Lab{kHuge, -kHuge, kHuge}, Lab{kNan, kNan, kNan},
                         Lab{std::numeric_limits<double>::infinity(), 0, 0}}) {
    EXPECT_TRUE(std::isfinite(ciede2000(odd, Lab{50, 0, 0})));
    EXPECT_TRUE(std::isfinite(ciede2000(Lab{50, 0, 0}, odd)));
  }
}

// The choice itself: every pair of states apart for every vision, on the
// window's black and on paper's white too, and the plain states apart in grey.
TEST(StateColours, EveryPairApartForEveryVisionAndThePlainOnesInGrey) {
  for (int v = 0; v < kVisionCount; ++v) {
    const auto vision = static_cast<Vision>(v);
    for (size_t i = 0; i < std::size(kStates); ++i) {
      const Rgb8 colour = palette_colour(kStates[i].index);
      for (size_t j = 0; j < i; ++j)
        EXPECT_GE(vision_distance(vision, colour, palette_colour(kStates[j].index)), kLeastDistance)
            << vision_name(vision) << ": " << kStates[i].name << " and " << kStates[j].name;
      for (const auto& [ground, rgb] : {std::pair{"black", Rgb8{0, 0, 0}}, std::pair{"white", Rgb8{255, 255, 255}}})
        EXPECT_GE(vision_distance(vision, colour, rgb), kLeastDistance)
            << vision_name(vision) << ": " << kStates[i].name << " on " << ground;
      // The marks are black: they must stand out of every finding's box.
      if (kStates[i].marked) {
        EXPECT_GE(vision_distance(vision, colour, palette_colour(kMapColourMark)), 2 * kLeastDistance)
            << vision_name(vision) << ": the mark on " << kStates[i].name;
      }
    }
  }
  for (size_t i = 0; i < std::size(kStates); ++i)
    for (size_t j = 0; j < i; ++j)
      if (!kStates[i].marked && !kStates[j].marked) {
        EXPECT_GE(std::fabs(relative_luminance(palette_colour(kStates[i].index)) -
                            relative_luminance(palette_colour(kStates[j].index))),
                  kLeastLuminance)
            << kStates[i].name << " and " << kStates[j].name;
      }
}

// Every box size from the smallest the map draws: each finding's shape keeps
// one pixel inside the box and covers part of it and not all (insides under
// three columns are too narrow for that, and the bar fills one a row high);
// from 6 pixels wide no two shapes are the same pixels.
TEST(KeyMapMarks, EveryShapeInsideItsBoxAndEachItsOwnAtEverySize) {
  const MapMarkShape shapes[] = {MapMarkShape::kStripes, MapMarkShape::kBar, MapMarkShape::kCross};
  for (int width = 3; width <= 40; ++width)
    for (int height = 3; height <= 24; ++height) {
      const PixelBox box{7, 11, width, height};
      std::set<std::pair<int, int>> drawn[3];
      for (int s = 0; s < 3; ++s)
        for (int line = box.y - 2; line < box.y + box.height + 2; ++line) {
          LineSpan spans[64];
          const int count = key_map_mark_spans(shapes[s], box, line, spans, 64);
          for (int i = 0; i < count; ++i) {
            EXPECT_EQ(spans[i].colour, static_cast<uint32_t>(kMapColourMark));
            for (int x = spans[i].x; x < spans[i].x + spans[i].width; ++x) {
              ASSERT_TRUE(x > box.x && x < box.x + box.width - 1 && line > box.y && line < box.y + box.height - 1)
                  << width << "x" << height << " shape " << s << " at " << x << "," << line;
              drawn[s].insert({x, line});
            }
          }
        }
      const size_t inside = static_cast<size_t>((width - 2) * (height - 2));
      for (int s = 0; s < 3; ++s) {
        EXPECT_FALSE(drawn[s].empty()) << width << "x" << height << " shape " << s;
        if (width > 4 && (height > 3 || shapes[s] != MapMarkShape::kBar)) {
          EXPECT_LT(drawn[s].size(), inside) << width << "x" << height << " shape " << s;
        }
      }
      if (width < 6) continue;  // three columns inside: stripes and two ends are one
      for (int s = 0; s < 3; ++s)
        for (int t = 0; t < s; ++t) EXPECT_NE(drawn[s], drawn[t]) << width << "x" << height;
    }
  LineSpan spans[4];
  const PixelBox wide{INT32_MAX - 10, 0, 100, 10}, flat{0, 0, 20, 2};
  EXPECT_EQ(key_map_mark_spans(MapMarkShape::kBar, wide, 8, spans, 4), 0);
  EXPECT_EQ(key_map_mark_spans(MapMarkShape::kBar, flat, 1, spans, 4), 0);
  EXPECT_EQ(key_map_mark_spans(MapMarkShape::kNone, PixelBox{0, 0, 20, 20}, 5, spans, 4), 0);
  EXPECT_EQ(key_map_mark_spans(static_cast<MapMarkShape>(77), PixelBox{0, 0, 20, 20}, 5, spans, 4), 0);
  EXPECT_EQ(key_map_mark_spans(MapMarkShape::kStripes, PixelBox{0, 0, 20, 20}, 5, nullptr, 4), 0);
  EXPECT_EQ(key_map_mark_spans(MapMarkShape::kStripes, PixelBox{0, 0, 20, 20}, 5, spans, 0), 0);
  EXPECT_EQ(key_map_mark_spans(MapMarkShape::kStripes, PixelBox{0, 0, 20, 20}, 5, spans, 4), 4);  // room kept
}

// The map drawn on the screen: each finding's box holds its colour and the
// mark's, the plain states one colour each, and the shape follows the
// colour's precedence.
TEST(KeyMapMarks, FindingsShowTheirMarkInTheirBoxAndPlainStatesStayFlat) {
  ASSERT_EQ(open_null_screen(), 0);
  const KeyboardLayout& layout = keyboard_layout(MapLayout::kIso);
  static KeyMapView view;
  view = KeyMapView{};
  const struct {
    const char* what;
    int key;
    uint8_t marks;
    int colour;
    MapMarkShape shape;
  } keys[] = {
      {"untested", 0x10, 0, kMapColourUntested, MapMarkShape::kNone},
      {"tested", 0x11, kMapTested, kMapColourTested, MapMarkShape::kNone},
      {"held", 0x12, kMapHeld | kMapTested, kMapColourHeld, MapMarkShape::kNone},
      {"held after a stuck hold", 0x13, kMapHeld | kMapTested | kMapStuck, kMapColourHeld, MapMarkShape::kNone},
      {"chatter", 0x1E, kMapTested | kMapChatter, kMapColourChatter, MapMarkShape::kStripes},
      {"stuck now", 0x1F, kMapHeld | kMapTested | kMapStuck | kMapStuckNow, kMapColourStuck, MapMarkShape::kBar},
      {"defect", 0x20, kMapDefect, kMapColourDefect, MapMarkShape::kCross},
      {"defect over chatter", 0x21, kMapTested | kMapChatter | kMapDefect, kMapColourDefect, MapMarkShape::kCross},
      {"space chattering", 0x39, kMapTested | kMapChatter, kMapColourChatter, MapMarkShape::kStripes},
  };
  for (const auto& k : keys) view.marks[k.key] = k.marks;
  draw_key_map(layout, view, 9);
  const ScreenState* screen = screen_state;
  // Every pixel of every box as its colour and its shape's spans make it,
  // line by line: the pass's copied lines and redrawn boxes must add up to
  // the same.
  int compared = 0;
  for (int i = 0; i < layout.count; ++i) {
    const int key = layout.keys[i].key;
    // The box: its first pixel in reading order is its top left corner.
    PixelBox box{-1, -1, 0, 0};
    for (int at = 0; at < screen->width * screen->height && box.x < 0; ++at)
      if (key_map_key_at(layout, at % screen->width, at / screen->width) == key)
        box = PixelBox{at % screen->width, at / screen->width, 0, 0};
    ASSERT_GE(box.x, 0) << key;
    while (key_map_key_at(layout, box.x + box.width, box.y) == key) ++box.width;
    while (key_map_key_at(layout, box.x, box.y + box.height) == key) ++box.height;
    for (int y = box.y; y < box.y + box.height; ++y) {
      LineSpan spans[64];
      const int count = key_map_mark_spans(key_map_mark_shape(view.marks[key]), box, y, spans, 64);
      for (int x = box.x; x < box.x + box.width; ++x) {
        int want = key_map_colour(view.marks[key]);
        for (int s = 0; s < count; ++s)
          if (x >= spans[s].x && x < spans[s].x + spans[s].width) want = kMapColourMark;
        ASSERT_EQ(screen->visible_page[y * screen->width + x], want) << "key " << key << " at " << x << "," << y;
        ++compared;
      }
    }
  }
  EXPECT_GT(compared, 105 * 9);
  for (const auto& k : keys) {
    SCOPED_TRACE(k.what);
    EXPECT_EQ(key_map_mark_shape(k.marks), k.shape);
    std::set<int> colours;
    int box_pixels = 0;
    for (int y = 0; y < screen->height; ++y)
      for (int x = 0; x < screen->width; ++x)
        if (key_map_key_at(layout, x, y) == k.key) {
          colours.insert(screen->visible_page[y * screen->width + x]);
          ++box_pixels;
        }
    ASSERT_GT(box_pixels, 0);
    if (k.shape == MapMarkShape::kNone) {
      EXPECT_EQ(colours, std::set<int>{k.colour});
    } else {
      EXPECT_EQ(colours, (std::set<int>{k.colour, kMapColourMark}));
    }
  }
  // Drawn again with the findings gone, the boxes are flat again: no mark
  // is left over from the pass before.
  for (const auto& k : keys) view.marks[k.key] = kMapTested;
  draw_key_map(layout, view, 9);
  for (const auto& k : keys)
    for (int y = 0; y < screen->height; ++y)
      for (int x = 0; x < screen->width; ++x)
        if (key_map_key_at(layout, x, y) == k.key) {
          ASSERT_EQ(screen->visible_page[y * screen->width + x], kMapColourTested) << k.what;
        }
  close_screen();
}

}  // namespace
