#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "gfx/draw_context.h"
#include "gfx/drivers/video_driver.h"
#include "gfx/gfx_handlers.h"
#include "gfx/screen.h"
#include "rt/routed.h"
#include "rt/runtime.h"
#include "support/capture.h"

namespace {

void print(const std::string& text) {
  gfx_print(reinterpret_cast<const uint8_t*>(text.data()), static_cast<int>(text.size()), 0);
}

uint8_t& pixel(int page, int x, int y) { return screen_state->pages[page][y * screen_state->pitch + x]; }

void fill_page(int page, uint8_t value) {
  std::memset(screen_state->pages[page], value, static_cast<size_t>(screen_state->pitch) * screen_state->height);
}

int marked_count() {
  int n = 0;
  for (int i = 0; i < screen_state->height; ++i) n += screen_state->dirty_lines[i];
  return n;
}

void clear_marks() { std::memset(screen_state->dirty_lines, 0, static_cast<size_t>(screen_state->height)); }

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
    clear_marks();
  }
  void TearDown() override { close_screen(); }
};

TEST_F(PagesTest, OnePageScreenRefusesOtherPages) {
  open(0);
  fill_page(0, 9);
  EXPECT_EQ(gfx_pcopy(0, 0), 0);
  EXPECT_EQ(gfx_pcopy(-1, -1), 0);  // work page onto the visible page: the same page
  EXPECT_EQ(marked_count(), 0);
  EXPECT_EQ(gfx_pcopy(0, 1), 1);
  EXPECT_EQ(get_error(), 1);
  EXPECT_EQ(gfx_pcopy(1, 0), 1);

  EXPECT_EQ(gfx_screen_set(1, 1), 0);
  EXPECT_EQ(screen_state->visible_page, screen_state->pages[0]);
  EXPECT_EQ(get_draw_context()->work_page, 0);
  EXPECT_EQ(marked_count(), 0);
  EXPECT_TRUE(area_is(0, 0, 0, 319, 199, 9));
}

TEST_F(PagesTest, PrintingOnTheSecondPageAndCopyingItBack) {
  open(2);
  EXPECT_EQ(gfx_screen_set(1, 0), 0);
  gfx_locate(1, 1, 0);
  print("Hi");
  EXPECT_EQ(marked_count(), 0);  // the shown page is untouched
  EXPECT_EQ(gfx_read_cell(1, 1, 0), static_cast<uint32_t>('H'));
  EXPECT_NE(std::memcmp(screen_state->pages[0], screen_state->pages[1], 320 * 8), 0);

  EXPECT_EQ(gfx_pcopy(1, 0), 0);
  EXPECT_EQ(std::memcmp(screen_state->pages[0], screen_state->pages[1], 64000), 0);
  EXPECT_EQ(screen_state->text_cells[0][1].character, 'i');
  EXPECT_EQ(marked_count(), 200);
  EXPECT_EQ(screen_state->lock_count, 0);

  // Work page 1, visible page 0, reported as visible << 8 | work.
  EXPECT_EQ(gfx_screen_set(-1, 1), 1);
  EXPECT_EQ(screen_state->visible_page, screen_state->pages[1]);
  EXPECT_EQ(gfx_screen_set(7, 5), 0x101);  // out of range: nothing changes
  EXPECT_EQ(gfx_screen_set(-1, -1), 0x101);  // both omitted: back to page 0
  EXPECT_EQ(gfx_screen_set(-1, -1), 0);
  EXPECT_EQ(get_draw_context()->lines[199], screen_state->pages[0] + 199 * 320);
}

TEST_F(PagesTest, CopyTakesTheViewportOnlyAndMarksUnlessLocked) {
  open(2);
  fill_page(0, 0);
  fill_page(1, 5);
  set_viewport(8, 16, 15, 23, 0, 0, kViewportNoFill | kViewportNoBorder);
  clear_marks();

  screen_lock();
  EXPECT_EQ(gfx_pcopy(1, 0), 0);
  EXPECT_EQ(marked_count(), 0);  // the holder of the lock marks the lines
  screen_unlock(1, 0);
  EXPECT_TRUE(area_is(0, 8, 16, 15, 23, 5));
  EXPECT_EQ(pixel(0, 7, 16) + pixel(0, 16, 23) + pixel(0, 8, 15) + pixel(0, 15, 24), 0);

  fill_page(1, 6);
  EXPECT_EQ(gfx_pcopy(1, -1), 0);
  EXPECT_EQ(marked_count(), 8);
  EXPECT_EQ(screen_state->dirty_lines[16] + screen_state->dirty_lines[23], 2);
  EXPECT_TRUE(area_is(0, 8, 16, 15, 23, 6));

  // Copying onto a hidden page marks nothing.
  clear_marks();
  EXPECT_EQ(gfx_pcopy(0, 1), 0);
  EXPECT_EQ(marked_count(), 0);
}

int flips = 0;
int polls = 0;

TEST_F(PagesTest, DriverThatFlipsPresentsInsteadOfCopying) {
  open(2);
  VideoDriver flipping = null_driver;
  flipping.flip = [] { ++flips; };
  flipping.poll_events = [] { ++polls; };
  flips = polls = 0;
  screen_state->driver = &flipping;
  fill_page(1, 3);
  EXPECT_EQ(gfx_pcopy(1, 0), 1);
  EXPECT_EQ(gfx_pcopy(0, 0), 1);
  screen_state->driver = &null_driver;
  EXPECT_EQ(flips, 2);
  EXPECT_EQ(polls, 2);
  EXPECT_EQ(pixel(0, 0, 0), 0);
}

class ViewportTest : public PagesTest {
 protected:
  void SetUp() override {
    open(0);
    fill_page(0, 7);
  }
  DrawContext* context() { return get_draw_context(); }
};

TEST_F(ViewportTest, BorderOutsideFillInsideCursorAtCentre) {
  set_viewport(20, 20, 10, 10, 1, 15, 0);  // corners in either order
  EXPECT_TRUE(area_is(0, 9, 9, 21, 9, 15));
  EXPECT_TRUE(area_is(0, 9, 21, 21, 21, 15));
  EXPECT_TRUE(area_is(0, 9, 9, 9, 21, 15));
  EXPECT_TRUE(area_is(0, 21, 9, 21, 21, 15));
  EXPECT_TRUE(area_is(0, 10, 10, 20, 20, 1));
  EXPECT_EQ(pixel(0, 8, 9), 7);
  EXPECT_EQ(pixel(0, 22, 21), 7);
  EXPECT_EQ(pixel(0, 9, 22), 7);
  EXPECT_EQ(context()->last_x, 15.0f);
  EXPECT_EQ(context()->last_y, 15.0f);
  EXPECT_EQ(context()->view_x, 10);
  EXPECT_EQ(context()->view_width, 11);
  EXPECT_EQ(context()->background, 0u);  // the fill colour is only borrowed
  EXPECT_EQ(marked_count(), 13);        // rows 9 to 21
  EXPECT_TRUE(context()->flags & kContextViewportSet);
}

TEST_F(ViewportTest, ResetMakesTheNextClearAFullClear) {
  set_viewport(10, 10, 20, 20, 0, 0, kViewportNoBorder | kViewportNoFill);
  gfx_locate(5, 5, 0);
  set_viewport(kOmittedCoordinate, kOmittedCoordinate, kOmittedCoordinate, kOmittedCoordinate, 1, 15, 0);
  EXPECT_FALSE(context()->flags & kContextViewportSet);
  EXPECT_EQ(context()->view_x, 0);
  EXPECT_EQ(context()->view_height, 200);
  EXPECT_TRUE(area_is(0, 0, 0, 319, 199, 7));  // the reset draws nothing

  clear_screen(kNoClearArgument);
  EXPECT_TRUE(area_is(0, 0, 0, 319, 199, 0));
  EXPECT_EQ(gfx_csrlin(), 1);
}

TEST_F(ViewportTest, RectanglesPartlyOrWhollyOffTheScreen) {
  set_viewport(300, 190, 400, 250, 3, 15, 0);
  EXPECT_TRUE(area_is(0, 299, 189, 319, 189, 15));
  EXPECT_TRUE(area_is(0, 299, 189, 299, 199, 15));
  EXPECT_TRUE(area_is(0, 300, 190, 319, 199, 3));
  EXPECT_EQ(pixel(0, 298, 189), 7);
  EXPECT_EQ(context()->view_width, 20);
  EXPECT_EQ(context()->view_height, 10);

  // Left of the screen: nothing inside, and a clear or page copy of the
  // empty viewport touches nothing.
  fill_page(0, 7);
  set_viewport(-50, 10, -20, 20, 3, 15, 0);
  EXPECT_EQ(context()->view_width, 0);
  EXPECT_TRUE(area_is(0, 0, 0, 319, 199, 7));
}

TEST_F(ViewportTest, EmptyViewportCopiesNothing) {
  close_screen();
  open(2);
  fill_page(1, 4);
  set_viewport(-50, 10, -20, 20, 0, 0, kViewportNoBorder | kViewportNoFill);
  EXPECT_EQ(gfx_pcopy(1, 0), 0);
  EXPECT_TRUE(area_is(0, 0, 0, 319, 199, 0));
}

TEST_F(PagesTest, MouseWithoutDriverEntries) {
  open(0);
  int x = 5, y = 5, wheel = 5, buttons = 5, clip = 5;
  EXPECT_EQ(gfx_getmouse(&x, &y, &wheel, &buttons, &clip), 1);
  EXPECT_EQ(x & y & wheel & buttons & clip, -1);
  EXPECT_EQ(gfx_getmouse(&x, &y, nullptr, nullptr, nullptr), 1);
  EXPECT_EQ(gfx_setmouse(1, 2, 1, 0), 1);

  VideoDriver mouse = null_driver;
  mouse.get_mouse = [](int* mx, int* my, int* mw, int* mb, int* mc) {
    *mx = 12, *my = 34, *mw = 1, *mb = 2, *mc = 0;
    return 0;
  };
  screen_state->driver = &mouse;
  EXPECT_EQ(gfx_getmouse(&x, &y, &wheel, nullptr, &clip), 0);
  EXPECT_EQ(x, 12);
  EXPECT_EQ(clip, 0);
  mouse.get_mouse = [](int*, int*, int*, int*, int*) { return -1; };
  EXPECT_EQ(gfx_getmouse(&x, &y, &wheel, &buttons, &clip), 1);
  EXPECT_EQ(x & y & wheel & buttons & clip, -1);
  screen_state->driver = &null_driver;
}

}  // namespace
