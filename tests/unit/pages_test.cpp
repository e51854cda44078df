#include <gtest/gtest.h>

#include <cstring>

#include "gfx/draw/draw_context.h"
#include "gfx/drivers/video_driver.h"
#include "gfx/gfx_handlers.h"
#include "rt/routed.h"
#include "support/capture.h"

namespace {

uint8_t& pixel(int page, int x, int y) { return screen_state->pages[page][y * 320 + x]; }
int marked_count() {
  int n = 0;
  for (int i = 0; i < 200; ++i) n += screen_state->dirty_lines[i];
  return n;
}
// Rectangle [x1, x2] x [y1, y2] of one page holds only this value.
bool area_is(int page, int x1, int y1, int x2, int y2, uint8_t value) {
  for (int y = y1; y <= y2; ++y)
    for (int x = x1; x <= x2; ++x)
      if (pixel(page, x, y) != value) return false;
  return true;
}

class PagesTest : public ::testing::Test {
 protected:
  void open(int pages) {
    ASSERT_EQ(open_null_screen(13, 8, pages), 0);
    std::memset(screen_state->pages[0], 7, 64000);
    std::memset(screen_state->dirty_lines, 0, 200);
  }
  void TearDown() override { close_screen(); }
  DrawContext* context() { return get_draw_context(); }
};

TEST_F(PagesTest, OnePageScreenWithoutMouse) {
  open(0);
  EXPECT_EQ(gfx_pcopy(0, 0), 0);
  EXPECT_EQ(gfx_pcopy(0, 1), 1);
  EXPECT_EQ(gfx_screen_set(1, 1), 0);
  EXPECT_EQ(marked_count(), 0);
  int x = 5, y = 5, wheel = 5, buttons = 5, clip = 5;
  EXPECT_EQ(gfx_getmouse(&x, &y, &wheel, &buttons, &clip), 1);
  EXPECT_EQ(x & y & wheel & buttons & clip, -1);
  EXPECT_EQ(gfx_setmouse(1, 2, 1, 0), 1);
}

TEST_F(PagesTest, PrintOnTheHiddenPageThenCopyItsViewport) {
  open(2);
  EXPECT_EQ(gfx_screen_set(1, 0), 0);
  gfx_print(reinterpret_cast<const uint8_t*>("Hi"), 2, 0);
  EXPECT_EQ(marked_count(), 0);
  EXPECT_EQ(gfx_read_cell(1, 1, 0), static_cast<uint32_t>('H'));  // from the work page

  set_viewport(0, 0, 15, 7, 0, 0, kViewportNoFill | kViewportNoBorder);
  screen_lock();
  EXPECT_EQ(gfx_pcopy(-1, -1), 0);  // work page onto the visible page
  EXPECT_EQ(marked_count(), 0);     // the holder of the lock marks
  screen_unlock_unmarked();
  EXPECT_EQ(std::memcmp(&pixel(0, 0, 7), &pixel(1, 0, 7), 16), 0);
  EXPECT_EQ(pixel(0, 16, 0) + pixel(0, 0, 8), 14);
  EXPECT_EQ(screen_state->text_cells[0][1].character, 'i');

  EXPECT_EQ(gfx_pcopy(1, 0), 0);
  EXPECT_EQ(marked_count(), 8);
  EXPECT_EQ(gfx_screen_set(-1, 1), 1);  // previous: visible 0 << 8 | work 1
  EXPECT_EQ(marked_count(), 200);
  EXPECT_EQ(gfx_screen_set(-1, -1), 0x101);  // both omitted: back to page 0
  EXPECT_EQ(context()->lines[199], screen_state->pages[0] + 199 * 320);
}

int flips = 0;

TEST_F(PagesTest, DriverThatFlipsPresentsInsteadOfCopying) {
  open(2);
  flips = 0;  // counted afresh on every run of the test
  VideoDriver flipping = null_driver;
  flipping.flip = [] { ++flips; };
  screen_state->driver = &flipping;
  EXPECT_EQ(gfx_pcopy(1, 0), 1);
  screen_state->driver = &null_driver;
  EXPECT_EQ(flips, 1);
  EXPECT_EQ(pixel(0, 0, 0), 7);
}

TEST_F(PagesTest, ViewportBorderOutsideFillInside) {
  open(2);
  set_viewport(20, 20, 10, 10, 1, 15, 0);  // corners in either order
  EXPECT_TRUE(area_is(0, 9, 9, 21, 9, 15) && area_is(0, 9, 21, 21, 21, 15));
  EXPECT_TRUE(area_is(0, 9, 9, 9, 21, 15) && area_is(0, 21, 9, 21, 21, 15));
  EXPECT_TRUE(area_is(0, 10, 10, 20, 20, 1));
  EXPECT_EQ(pixel(0, 8, 9) + pixel(0, 22, 21) + pixel(0, 9, 22), 21);
  EXPECT_EQ(context()->last_x + context()->last_y, 30.0f);
  EXPECT_EQ(context()->background, 0u);  // the fill colour is only borrowed
  EXPECT_EQ(marked_count(), 13);

  set_viewport(300, 190, 400, 250, 3, 15, 0);  // clipped to the screen
  EXPECT_TRUE(area_is(0, 299, 189, 319, 189, 15) && area_is(0, 299, 189, 299, 199, 15));
  EXPECT_TRUE(area_is(0, 300, 190, 319, 199, 3));

  // Wholly off the screen: an empty viewport that nothing reads as a count.
  set_viewport(-50, 10, -20, 20, 3, 15, 0);
  EXPECT_EQ(context()->view_width, 0);
  EXPECT_EQ(gfx_pcopy(1, 0), 0);
  EXPECT_EQ(pixel(0, 0, 10), 7);

  set_viewport(kOmittedCoordinate, kOmittedCoordinate, kOmittedCoordinate, kOmittedCoordinate, 1, 15, 0);
  EXPECT_FALSE(context()->flags & kContextViewportSet);
  gfx_locate(5, 5, 0);
  clear_screen(kNoClearArgument);
  EXPECT_TRUE(area_is(0, 0, 0, 319, 199, 0));
  EXPECT_EQ(gfx_csrlin(), 1);
}

}  // namespace
