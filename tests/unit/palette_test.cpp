#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "gfx/colour.h"
#include "gfx/draw_context.h"
#include "gfx/drivers/video_driver.h"
#include "gfx/gfx_handlers.h"
#include "gfx/screen.h"
#include "support/capture.h"

namespace {

struct PaletteCall {
  int index, red, green, blue;
  bool operator==(const PaletteCall&) const = default;
};
std::vector<PaletteCall> palette_calls;
int vsync_waits = 0;

void record_palette(int index, int red, int green, int blue) {
  palette_calls.push_back({index, red, green, blue});
}
void count_vsync() { ++vsync_waits; }

const VideoDriver recording_driver{"Recording", nullptr, nullptr, nullptr, nullptr,
                                   record_palette, count_vsync, nullptr, nullptr, nullptr,
                                   nullptr, nullptr, nullptr, nullptr};

std::array<int, 3> shown(int attribute) {
  const uint32_t colour = screen_state->device_palette[attribute];
  return {static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
          static_cast<int>((colour >> 16) & 0xFF)};
}

using Rgb = std::array<int, 3>;

// Opens a screen on the Null record, then lets a recording driver stand in.
void open_recorded(int mode, int depth = 0) {
  ASSERT_EQ(open_null_screen(mode, depth), 0);
  screen_state->driver = &recording_driver;
  palette_calls.clear();
  vsync_waits = 0;
  std::memset(screen_state->dirty_lines, 0, static_cast<size_t>(screen_state->height));
}

bool all_rows_marked() {
  for (int i = 0; i < screen_state->height; ++i)
    if (!screen_state->dirty_lines[i]) return false;
  return true;
}

void write_colour(int index, int r, int g, int b) {
  gfx_out(0x3C8, index);
  gfx_out(0x3C9, r);
  gfx_out(0x3C9, g);
  gfx_out(0x3C9, b);
}

class PaletteTest : public ::testing::Test {
 protected:
  void TearDown() override { close_screen(); }
};

TEST_F(PaletteTest, Mode13DefaultsAndSingleAttributes) {
  open_recorded(13);
  EXPECT_EQ(shown(1), (Rgb{0, 0, 170}));
  EXPECT_EQ(shown(6), (Rgb{170, 85, 0}));
  EXPECT_EQ(shown(248), (Rgb{0, 0, 0}));
  EXPECT_EQ(shown(255), (Rgb{0, 0, 0}));

  screen_palette(1, 63 << 16, -1, -1);
  EXPECT_EQ(shown(1), (Rgb{0, 0, 255}));
  ASSERT_EQ(palette_calls.size(), 1u);
  EXPECT_EQ(palette_calls[0], (PaletteCall{1, 0, 0, 255}));
  EXPECT_TRUE(all_rows_marked());

  // Three 8-bit components become the 6-bit value 63 for red.
  screen_palette(1, 255, 0, 0);
  EXPECT_EQ(shown(1), (Rgb{255, 0, 0}));
  // Attributes are masked to the palette size.
  screen_palette(256 + 2, 21 | 42 << 8, -1, -1);
  EXPECT_EQ(shown(2), (Rgb{85, 170, 0}));

  // The reset restores the default and sends all 256 entries.
  palette_calls.clear();
  screen_palette(-1, 0, 0, 0);
  EXPECT_EQ(shown(1), (Rgb{0, 0, 170}));
  EXPECT_EQ(palette_calls.size(), 256u);
}

TEST_F(PaletteTest, Mode13Ports) {
  open_recorded(13);
  write_colour(0, 63, 0, 0);
  EXPECT_EQ(shown(0), (Rgb{255, 0, 0}));
  // The index moved on to 1: the next three components colour attribute 1.
  gfx_out(0x3C9, 0);
  gfx_out(0x3C9, 63);
  EXPECT_EQ(shown(1), (Rgb{0, 0, 170}));  // not until the third component
  gfx_out(0x3C9, 0x40 | 21);              // bits above the sixth are ignored
  EXPECT_EQ(shown(1), (Rgb{0, 255, 85}));

  gfx_out(0x3C7, 0);
  EXPECT_EQ(gfx_inp(0x3C9), 63);
  EXPECT_EQ(gfx_inp(0x3C9), 0);
  EXPECT_EQ(gfx_inp(0x3C9), 0);
  EXPECT_EQ(gfx_inp(0x3C9), 0);  // attribute 1 now
  EXPECT_EQ(gfx_inp(0x3C9), 63);
  EXPECT_EQ(gfx_inp(0x3C9), 21);

  EXPECT_EQ(gfx_inp(0x3DA), 8);
  EXPECT_EQ(vsync_waits, 1);
  EXPECT_EQ(gfx_inp(0x3C6), -1);
  EXPECT_EQ(gfx_out(0x3C6, 0), -1);
  EXPECT_EQ(gfx_out(0x3C9 + 0x10000, 0), 0);  // ports are 16-bit
  gfx_out(0x3C8, 0);                          // leave the index at a clean start

  screen_state->driver = &null_driver;
  EXPECT_EQ(gfx_inp(0x3DA), 8);
}

TEST_F(PaletteTest, Mode9ShowsTheColourSetThroughItsMap) {
  open_recorded(9);
  EXPECT_EQ(shown(6), (Rgb{170, 85, 0}));  // entry 20
  EXPECT_EQ(shown(8), (Rgb{85, 85, 85}));  // entry 56
  EXPECT_EQ(screen_state->color_association[6], 20);

  write_colour(20, 63, 63, 0);
  EXPECT_EQ(shown(6), (Rgb{252, 252, 0}));
  EXPECT_EQ(screen_state->palette[20], 0x00FCFCu);
  ASSERT_EQ(palette_calls.size(), 1u);
  EXPECT_EQ(palette_calls[0], (PaletteCall{6, 252, 252, 0}));
  EXPECT_TRUE(all_rows_marked());

  // The colour set has 64 entries but only 16 attributes have a map entry.
  screen_palette(40, 5, -1, -1);
  EXPECT_EQ(screen_state->device_palette[40], screen_state->palette[5]);
  screen_palette(3, 9, -1, -1);
  EXPECT_EQ(screen_state->color_association[3], 9);
  EXPECT_EQ(shown(3), (Rgb{0, 0, 255}));  // entry 9: blue 170 + 85
}

TEST_F(PaletteTest, ModesWithoutAMapRecolourOnlyTheAttributeShowingTheEntry) {
  open_recorded(11);
  EXPECT_EQ(shown(1), (Rgb{255, 255, 255}));
  write_colour(1, 0, 63, 0);
  EXPECT_EQ(shown(1), (Rgb{0, 252, 0}));
  EXPECT_EQ(shown(0), (Rgb{0, 0, 0}));
  write_colour(0, 0, 0, 63);
  EXPECT_EQ(shown(0), (Rgb{0, 0, 252}));
  EXPECT_EQ(shown(1), (Rgb{0, 252, 0}));
}

TEST_F(PaletteTest, Mode1ColourPicksTheMapAndColoursTheBackground) {
  open_recorded(1);
  EXPECT_EQ(shown(1), (Rgb{85, 255, 255}));  // map 0, 11, 13, 15
  DrawContext* context = get_draw_context();
  EXPECT_EQ(gfx_color(1, 0, 0), 3u);
  EXPECT_EQ(shown(0), (Rgb{0, 0, 170}));
  EXPECT_EQ(shown(1), (Rgb{0, 170, 0}));  // map 0, 2, 4, 6
  EXPECT_EQ(screen_state->color_association[3], 6);
  EXPECT_EQ(context->foreground, 3u);
  EXPECT_EQ(context->background, 0u);

  gfx_color(0, 3, kColorNoForeground);
  EXPECT_EQ(shown(1), (Rgb{85, 255, 255}));
  EXPECT_EQ(shown(0), (Rgb{0, 0, 0}));  // the reset undid the background colour
}

TEST_F(PaletteTest, SixteenColourModesTakeForegroundAndRecolourAttributeZero) {
  open_recorded(7);
  DrawContext* context = get_draw_context();
  gfx_color(0x1E, 4, 0);
  EXPECT_EQ(context->foreground, 14u);
  EXPECT_EQ(context->background, 0u);
  EXPECT_EQ(shown(0), (Rgb{170, 0, 0}));
  EXPECT_EQ(gfx_color(0, 0, kColorNoForeground | kColorNoBackground), 14u);

  // A list of values: negative entries are skipped.
  std::array<int32_t, 16> values;
  values.fill(-1);
  values[3] = 9;
  screen_palette_using(values.data());
  EXPECT_EQ(shown(3), (Rgb{85, 85, 255}));
  EXPECT_EQ(shown(2), (Rgb{0, 170, 0}));
}

TEST_F(PaletteTest, DeepScreensTakeTrueColoursAndHaveNoPalette) {
  open_recorded(14, 32);
  DrawContext* context = get_draw_context();
  EXPECT_EQ(gfx_color(0xFF0000, 0x0000FF, 0), 0xFFFFFFFFu);
  EXPECT_EQ(context->foreground, 0xFF0000u);
  EXPECT_EQ(context->background, 0x0000FFu);
  screen_palette(1, 63, -1, -1);
  screen_palette(-1, 0, 0, 0);
  EXPECT_EQ(screen_state->device_palette[1], 0u);
  EXPECT_TRUE(palette_calls.empty());
  EXPECT_EQ(screen_state->dirty_lines[0], 0);
  EXPECT_EQ(gfx_out(0x3C8, 0), -1);
  EXPECT_EQ(gfx_inp(0x3C9), -1);
  EXPECT_EQ(gfx_inp(0x3DA), 8);
  close_screen();

  open_recorded(14, 16);
  context = get_draw_context();
  EXPECT_EQ(gfx_color(0xFF0000, 0x0000FF, 0), widen_565(0xFFFF));
  EXPECT_EQ(context->foreground, 0xF800u);
  EXPECT_EQ(context->background, 0x001Fu);
  EXPECT_EQ(gfx_color(0, 0, kColorNoForeground | kColorNoBackground), 0xFFFF0000u);
  gfx_color(0x00FF00, 0, kColorNoBackground);
  EXPECT_EQ(context->foreground, 0x07E0u);
  EXPECT_EQ(gfx_color(0, 0, 3), 0xFF00FF00u);
}

TEST_F(PaletteTest, PushSendsEveryShownColourAgain) {
  open_recorded(13);
  screen_palette(7, 1, 2, 3);
  palette_calls.clear();
  push_palette();
  ASSERT_EQ(palette_calls.size(), 256u);
  EXPECT_EQ(palette_calls[1], (PaletteCall{1, 0, 0, 170}));
  EXPECT_EQ(palette_calls[7], (PaletteCall{7, 0, 0, 0}));
  EXPECT_EQ(palette_calls[255], (PaletteCall{255, 0, 0, 0}));
}

TEST(ColourConversion, TrueColourToPixels) {
  EXPECT_EQ(rgb_to_native(2, 0xFF0000), 0xF800u);
  EXPECT_EQ(rgb_to_native(2, 0x00FF00), 0x07E0u);
  EXPECT_EQ(rgb_to_native(2, 0x0000FF), 0x001Fu);
  EXPECT_EQ(rgb_to_native(2, 0x808080), 0x8410u);
  EXPECT_EQ(rgb_to_native(4, 0x12345678), 0x12345678u);
  EXPECT_EQ(native_color(1, 0x123456), 0x56u);
  EXPECT_EQ(native_color(2, 0xFFFFFF), 0xFFFFu);
  EXPECT_EQ(native_color(4, 0xFF123456), 0xFF123456u);
  EXPECT_EQ(widen_565(0x07E0), 0xFF00FF00u);
  EXPECT_EQ(widen_565(0x8410), 0xFF848284u);
}

TEST(PortsWithoutScreen, ReportNotHandled) {
  ASSERT_EQ(screen_state, nullptr);
  EXPECT_EQ(gfx_inp(0x3DA), -1);
  EXPECT_EQ(gfx_out(0x3C8, 0), -1);
  screen_palette(1, 2, 3, 4);
  push_palette();
  EXPECT_EQ(gfx_color(1, 2, 0), 0u);
}

}  // namespace
