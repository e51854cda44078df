#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstring>
#include <vector>

#include "gfx/draw/colour.h"
#include "gfx/draw/draw_context.h"
#include "gfx/draw/palette.h"
#include "gfx/drivers/video_driver.h"
#include "gfx/gfx_handlers.h"
#include "gfx/screen.h"
#include "support/capture.h"

namespace {

using Rgb = std::array<int, 3>;

std::vector<std::array<int, 4>> palette_calls;
int vsync_waits = 0;

void record_palette(int index, int red, int green, int blue) {
  palette_calls.push_back({index, red, green, blue});
}
void count_vsync() { ++vsync_waits; }

const VideoDriver recording_driver{
    .name = "Recording", .set_palette = record_palette, .wait_vsync = count_vsync};

Rgb shown(int attribute) {
  const uint32_t colour = screen_state->device_palette[attribute];
  return {static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
          static_cast<int>((colour >> 16) & 0xFF)};
}

class PaletteTest : public ::testing::Test {
 protected:
  // A screen on the Null record with a recording driver standing in.
  void open(int mode, int depth = 0) {
    ASSERT_EQ(open_null_screen(mode, depth), 0);
    screen_state->driver = &recording_driver;
    palette_calls.clear();
    vsync_waits = 0;
    std::memset(screen_state->dirty_lines, 0, static_cast<size_t>(screen_state->height));
  }
  void TearDown() override {
    gfx_out(0x3C8, 0);  // the port state is process-wide
    close_screen();
  }
  static bool all_rows_marked() {
    for (int i = 0; i < screen_state->height; ++i)
      if (!screen_state->dirty_lines[i]) return false;
    return true;
  }
  static void write_colour(int index, int r, int g, int b) {
    gfx_out(0x3C8, index);
    gfx_out(0x3C9, r);
    gfx_out(0x3C9, g);
    gfx_out(0x3C9, b);
  }
};

TEST_F(PaletteTest, Mode13AttributesAndPorts) {
  open(13);
  EXPECT_EQ(shown(1), (Rgb{0, 0, 170}));
  EXPECT_EQ(shown(6), (Rgb{170, 85, 0}));
  EXPECT_EQ(shown(248), (Rgb{0, 0, 0}));
  screen_palette(1, 63 << 16, -1, -1);
  EXPECT_EQ(shown(1), (Rgb{0, 0, 255}));
  EXPECT_EQ(palette_calls, (std::vector<std::array<int, 4>>{{1, 0, 0, 255}}));
  EXPECT_TRUE(all_rows_marked());
  screen_palette(1, 255, 0, 0);  // 8-bit components become 6-bit ones
  EXPECT_EQ(shown(1), (Rgb{255, 0, 0}));
  screen_palette(2, 0x7F | 0x40 << 8 | 0xC0 << 16, -1, -1);  // only six bits of each count
  EXPECT_EQ(shown(2), (Rgb{255, 0, 0}));

  write_colour(0, 63, 0, 0);
  EXPECT_EQ(shown(0), (Rgb{255, 0, 0}));
  gfx_out(0x3C9, 0);  // the index moved on to 1
  gfx_out(0x3C9, 63);
  gfx_out(0x3C9, 0x40 | 21);  // bits above the sixth are ignored
  EXPECT_EQ(shown(1), (Rgb{0, 255, 85}));
  gfx_out(0x3C7, 0);
  std::vector<int> reads;
  for (int i = 0; i < 6; ++i) reads.push_back(gfx_inp(0x3C9));
  EXPECT_EQ(reads, (std::vector<int>{63, 0, 0, 0, 63, 21}));

  EXPECT_EQ(gfx_inp(0x3DA), 8);
  EXPECT_EQ(vsync_waits, 1);
  EXPECT_EQ(gfx_inp(0x3C6), -1);
  EXPECT_EQ(gfx_out(0x3C6, 0), -1);
  screen_state->driver = &null_driver;  // no wait_vsync: answers at once
  EXPECT_EQ(gfx_inp(0x3DA), 8);

  screen_state->driver = &recording_driver;
  palette_calls.clear();
  push_palette();
  ASSERT_EQ(palette_calls.size(), 256u);
  EXPECT_EQ(palette_calls[1], (std::array<int, 4>{1, 0, 255, 85}));
}

TEST_F(PaletteTest, Mode9ShowsTheColourSetThroughItsMap) {
  open(9);
  EXPECT_EQ(shown(6), (Rgb{170, 85, 0}));  // entry 20
  EXPECT_EQ(shown(8), (Rgb{85, 85, 85}));  // entry 56
  write_colour(20, 63, 63, 0);
  EXPECT_EQ(shown(6), (Rgb{252, 252, 0}));
  EXPECT_EQ(palette_calls, (std::vector<std::array<int, 4>>{{6, 252, 252, 0}}));
  EXPECT_TRUE(all_rows_marked());
  // 64 colours but 16 map entries: attributes past the map stay outside it.
  screen_palette(40, 5, -1, -1);
  EXPECT_EQ(screen_state->device_palette[40], screen_state->palette[5]);
}

TEST_F(PaletteTest, ModesWithoutAMapRecolourOnlyTheAttributeShowingTheEntry) {
  open(11);
  write_colour(1, 0, 63, 0);
  EXPECT_EQ(shown(1), (Rgb{0, 252, 0}));
  EXPECT_EQ(shown(0), (Rgb{0, 0, 0}));
}

TEST_F(PaletteTest, ColourArgumentsInThePaletteModes) {
  open(1);
  EXPECT_EQ(shown(1), (Rgb{85, 255, 255}));  // map 0, 11, 13, 15
  EXPECT_EQ(gfx_color(1, 0, 0), 3u);
  EXPECT_EQ(shown(0), (Rgb{0, 0, 170}));
  EXPECT_EQ(shown(1), (Rgb{0, 170, 0}));  // map 0, 2, 4, 6
  EXPECT_EQ(get_draw_context()->foreground, 3u);
  gfx_color(0, 3, kColorNoForeground);
  EXPECT_EQ(shown(1), (Rgb{85, 255, 255}));
  screen_palette(INT_MIN, 0, 0, 0);  // any attribute below -3 picks the last map
  EXPECT_EQ(shown(1), (Rgb{0, 170, 0}));
  close_screen();

  open(7);
  gfx_color(0x1E, 4, 0);
  EXPECT_EQ(get_draw_context()->foreground, 14u);
  EXPECT_EQ(get_draw_context()->background, 0u);
  EXPECT_EQ(shown(0), (Rgb{170, 0, 0}));
  std::array<int32_t, 16> values;
  values.fill(-1);
  values[3] = 9;
  screen_palette_using(values.data());
  EXPECT_EQ(shown(3), (Rgb{85, 85, 255}));
  EXPECT_EQ(shown(2), (Rgb{0, 170, 0}));
}

TEST_F(PaletteTest, DeepScreensTakeTrueColoursAndHaveNoPalette) {
  open(14, 32);
  EXPECT_EQ(gfx_color(0xFF0000, 0x0000FF, 0), 0xFFFFFFFFu);
  EXPECT_EQ(get_draw_context()->foreground, 0xFF0000u);
  EXPECT_EQ(get_draw_context()->background, 0x0000FFu);
  screen_palette(-1, 0, 0, 0);
  screen_palette(1, 63, -1, -1);
  EXPECT_TRUE(palette_calls.empty());
  EXPECT_EQ(screen_state->dirty_lines[0], 0);
  EXPECT_EQ(gfx_out(0x3C8, 0), -1);
  EXPECT_EQ(gfx_inp(0x3C9), -1);
  EXPECT_EQ(gfx_inp(0x3DA), 8);
  close_screen();

  open(14, 16);
  gfx_color(0xFF0000, 0x0000FF, 0);
  EXPECT_EQ(get_draw_context()->foreground, 0xF800u);
  EXPECT_EQ(get_draw_context()->background, 0x001Fu);
  EXPECT_EQ(gfx_color(0x00FF00, 0, kColorNoBackground), 0xFFFF0000u);
  EXPECT_EQ(gfx_color(0, 0, kColorNoForeground | kColorNoBackground), 0xFF00FF00u);
}

TEST(PortsWithoutScreen, ReportNotHandled) {
  ASSERT_EQ(screen_state, nullptr);
  EXPECT_EQ(gfx_inp(0x3DA), -1);
  EXPECT_EQ(gfx_out(0x3C8, 0), -1);
  EXPECT_EQ(gfx_color(1, 2, 0), 0u);
}

TEST_F(PaletteTest, PortIndexAndComponentsKeepToTheirBits) {
  open(7);  // 16 colours: the index wraps at 16
  write_colour(0x13, 0xFF, 0, 0x40);  // index 19 is entry 3; bits above the sixth are ignored
  EXPECT_EQ(screen_state->palette[3], pack_colour(252, 0, 0));
  gfx_out(0x3C9, 5);  // one component of a colour never finished
  write_colour(4, 0, 63, 0);  // a new index starts a new colour
  EXPECT_EQ(screen_state->palette[4], pack_colour(0, 252, 0));
  gfx_out(0x3C7, 0x13);
  std::vector<int> reads;
  for (int i = 0; i < 6; ++i) reads.push_back(gfx_inp(0x3C9));
  EXPECT_EQ(reads, (std::vector<int>{63, 0, 0, 0, 63, 0}));  // entry 3, then on to entry 4
}

}  // namespace
