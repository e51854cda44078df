#include <gtest/gtest.h>

#include <cstring>

#include "gfx/draw/draw_context.h"
#include "gfx/drivers/video_driver.h"
#include "gfx/screen.h"
#include "support/capture.h"

namespace {

int locks = 0;
int unlocks = 0;
void count_lock() { ++locks; }
void count_unlock() { ++unlocks; }
const VideoDriver counting_driver{.name = "Counting", .lock = count_lock, .unlock = count_unlock};

class ScreenLockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(open_null_screen(13, 8, 2), 0);
    screen_state->driver = &counting_driver;
    locks = unlocks = 0;
    clear_marks();
  }
  void TearDown() override { close_screen(); }
  static void clear_marks() { std::memset(screen_state->dirty_lines, 0, 200); }
  static int marked_count() {
    int n = 0;
    for (int i = 0; i < 200; ++i) n += screen_state->dirty_lines[i];
    return n;
  }
};

TEST_F(ScreenLockTest, RangesAreClampedOrRefused) {
  screen_unlock(-1, -1);
  EXPECT_EQ(marked_count(), 200);
  clear_marks();
  screen_unlock(-10, 3);
  EXPECT_EQ(marked_count(), 4);
  EXPECT_EQ(screen_state->dirty_lines[3], 1);
  clear_marks();
  screen_unlock(5, 2);
  EXPECT_EQ(marked_count(), 0);
  screen_unlock(0, 200);  // reaching past the last line cancels the whole range
  EXPECT_EQ(marked_count(), 0);
  screen_unlock(199, 199);
  EXPECT_EQ(marked_count(), 1);
  // Unlocks without a lock only mark; the count stays at zero.
  EXPECT_EQ(screen_state->lock_count, 0);
  EXPECT_EQ(unlocks, 0);
}

TEST_F(ScreenLockTest, NestingTakesTheDriverLockOnce) {
  screen_lock();
  screen_lock();
  EXPECT_EQ(locks, 1);
  EXPECT_EQ(screen_state->lock_count, 2);
  screen_unlock(1, 0);
  EXPECT_EQ(unlocks, 0);
  screen_unlock(1, 0);
  EXPECT_EQ(unlocks, 1);
  EXPECT_EQ(screen_state->lock_count, 0);
  EXPECT_EQ(marked_count(), 0);
}

TEST_F(ScreenLockTest, NothingIsMarkedWhileAnotherPageIsTheWorkPage) {
  DrawContext* context = get_draw_context();
  context->work_page = 1;
  context->flags |= kContextRebuildLines;
  use_screen_target(context);
  screen_unlock(-1, -1);
  EXPECT_EQ(marked_count(), 0);
  context->work_page = 0;
  context->flags |= kContextRebuildLines;
  use_screen_target(context);
  screen_unlock(-1, -1);
  EXPECT_EQ(marked_count(), 200);
}

TEST(ScreenLockWithoutScreen, DoesNothing) {
  close_screen();
  screen_lock();
  screen_unlock(-1, -1);
  EXPECT_EQ(screen_state, nullptr);
}

}  // namespace
