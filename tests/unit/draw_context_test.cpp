#include <gtest/gtest.h>

#include <cstring>

#include "gfx/draw/draw_context.h"
#include "gfx/gfx_handlers.h"
#include "gfx/screen.h"
#include "support/capture.h"

namespace {

class DrawContextTest : public ::testing::Test {
 protected:
  void TearDown() override { close_screen(); }
};

TEST_F(DrawContextTest, Mode13Defaults) {
  ASSERT_EQ(open_null_screen(), 0);
  DrawContext* context = get_draw_context();
  EXPECT_EQ(context->screen_id, screen_state->id);
  EXPECT_EQ(context->work_page, 0);
  EXPECT_EQ(context->view_x, 0);
  EXPECT_EQ(context->view_y, 0);
  EXPECT_EQ(context->view_width, 320);
  EXPECT_EQ(context->view_height, 200);
  EXPECT_EQ(context->foreground, 15u);
  EXPECT_EQ(context->background, 0u);
  for (int y = 0; y < 200; ++y) ASSERT_EQ(context->lines[y], screen_state->pages[0] + 320 * y);
  context->put_pixel(context, 319, 199, 0x10F);
  EXPECT_EQ(screen_state->pages[0][320 * 200 - 1], 0x0F);
  EXPECT_EQ(context->get_pixel(context, 319, 199), 0x0Fu);
  EXPECT_EQ(screen_pointer(), screen_state->pages[0]);
}

TEST_F(DrawContextTest, SixteenBitFillStoresOnlyItsPixels) {
  ASSERT_EQ(set_screen_size(64, 8, 16, 1, -1, 0), 0);
  DrawContext* context = get_draw_context();
  EXPECT_EQ(context->foreground, 0xFFFFu);
  EXPECT_EQ(context->background, 0u);
  uint8_t* line = context->lines[2];
  std::memset(line, 0xEE, 16);
  context->fill_span(line + 2, 0xABCD1234u, 3);
  const uint8_t expected[16] = {0xEE, 0xEE, 0x34, 0x12, 0x34, 0x12, 0x34, 0x12,
                                0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
  EXPECT_EQ(std::memcmp(line, expected, 16), 0);
}

TEST_F(DrawContextTest, BlendingOnlyForTranslucentColours) {
  // Blended drawing is requested by flag 0x40; flags -1 would ignore it, so
  // the screen is opened on the Null driver by name.
  set_environment("ZQGFX", "null");
  ASSERT_EQ(set_screen_size(32, 4, 32, 1, 0x40, 0), 0);
  set_environment("ZQGFX", nullptr);
  DrawContext* context = get_draw_context();
  EXPECT_EQ(context->background, 0xFF000000u);
  EXPECT_EQ(context->foreground, 0xFFFFFFFFu);

  select_color_routines(context, 0x80FF0000u);
  EXPECT_EQ(context->put_pixel, depth_routines.put_pixel_blend);
  context->put_pixel(context, 1, 1, 0xFF0000FFu);  // opaque blue through the blend
  context->put_pixel(context, 1, 1, 0x80FF0000u);  // half red over it
  const uint32_t pixel = context->get_pixel(context, 1, 1);
  EXPECT_EQ((pixel >> 16) & 0xFF, 127u);
  EXPECT_EQ((pixel >> 8) & 0xFF, 0u);
  EXPECT_EQ(pixel & 0xFF, 127u);
  EXPECT_EQ(pixel >> 24, 128u);

  select_color_routines(context, 0xFF00FF00u);
  EXPECT_EQ(context->put_pixel, depth_routines.put_pixel);
}

TEST(BlendPixel, FormulaPerChannel) {
  EXPECT_EQ(blend_pixel(0x80FF0000u, 0x000000FFu), 0x807F007Fu);
  EXPECT_EQ(blend_pixel(0x00123456u, 0xFFABCDEFu), 0x00ABCDEFu);  // alpha 0 keeps the colour bytes
  EXPECT_EQ(blend_pixel(0x40FFFFFFu, 0xFF000000u), 0x403F3F3Fu);  // a quarter of white over black
}

TEST_F(DrawContextTest, SecondScreenResetsTheContext) {
  ASSERT_EQ(open_null_screen(), 0);
  DrawContext* context = get_draw_context();
  context->foreground = 3;
  context->view_width = 10;
  context->flags |= kContextViewportSet;
  ASSERT_EQ(open_null_screen(18, 32), 0);
  context = get_draw_context();
  EXPECT_EQ(context->foreground, 0xFFFFFFFFu);  // a 32-bit screen: the colour mask
  EXPECT_EQ(context->background, 0xFF000000u);  // opaque black
  EXPECT_EQ(context->view_width, 640);
  EXPECT_EQ(context->view_height, 480);
  EXPECT_FALSE(context->flags & kContextViewportSet);
}

TEST(CpuFeatures, CachedWord) {
  const uint32_t first = cpu_features();
  EXPECT_NE(first, 0u);
  EXPECT_EQ(cpu_features(), first);
}

}  // namespace
