#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "con/console.h"
#include "gfx/drivers/video_driver.h"
#include "gfx/screen.h"
#include "rt/hook_table.h"
#include "rt/routed.h"
#include "rt/runtime.h"
#include "support/capture.h"

namespace {

struct InitCall {
  std::string title;
  int width, height, depth, refresh_rate, flags;
};
std::vector<InitCall> init_calls;
int fake_result = 0;

int fake_init(const char* title, int width, int height, int depth, int refresh_rate, int flags) {
  init_calls.push_back({title ? title : "", width, height, depth, refresh_rate, flags});
  return fake_result;
}
int fake_exit() { return 0; }

const VideoDriver fake_driver{.name = "Fake", .init = fake_init, .exit = fake_exit};
const VideoDriver* const fake_list[] = {&fake_driver, nullptr};

class ScreenModeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    set_environment("ZQGFX", nullptr);
    init_calls.clear();
    fake_result = 0;
    screen_driver_list = fake_list;
  }
  void TearDown() override {
    close_screen();
    screen_driver_list = driver_list;
    set_environment("ZQGFX", nullptr);
  }
};

bool hook_table_empty() {
  const HookTable& hooks = hook_table();
  auto* slots = reinterpret_cast<void* const*>(&hooks);
  for (int i = 0; i < 27; ++i)
    if (slots[i]) return false;
  return true;
}

bool hook_table_full() {
  const HookTable& hooks = hook_table();
  auto* slots = reinterpret_cast<void* const*>(&hooks);
  for (int i = 0; i < 27; ++i)
    if (!slots[i]) return false;
  return true;
}

TEST_F(ScreenModeTest, Mode13BuildsTheWholeScreen) {
  ASSERT_EQ(set_screen_mode(13, 8, 0, 0, 0), 0);
  ScreenState* s = screen_state;
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->width, 320);
  EXPECT_EQ(s->height, 200);
  EXPECT_EQ(s->depth, 8);
  EXPECT_EQ(s->color_mask, 255u);
  EXPECT_EQ(s->bytes_per_pixel, 1);
  EXPECT_EQ(s->pitch, 320);
  EXPECT_EQ(s->page_count, 1);
  EXPECT_EQ(s->visible_page, s->pages[0]);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(s->pages[0]) % 16, 0u);
  EXPECT_EQ(s->scanline_multiplier, 1);
  EXPECT_EQ(s->default_palette, &palette_256);
  EXPECT_EQ(s->font, &font_8x8);
  EXPECT_EQ(s->text_cols, 40);
  EXPECT_EQ(s->text_rows, 25);
  EXPECT_FLOAT_EQ(s->aspect, 0.8333333f);
  EXPECT_EQ(s->driver, &fake_driver);
  EXPECT_EQ(s->mode, 13);
  ASSERT_EQ(init_calls.size(), 1u);
  EXPECT_EQ(init_calls[0].width, 320);
  EXPECT_EQ(init_calls[0].height, 200);
  EXPECT_EQ(init_calls[0].depth, 8);
  EXPECT_TRUE(hook_table_full());
  // Every pixel of the page holds the background colour.
  for (int i = 0; i < 320 * 200; ++i) ASSERT_EQ(s->pages[0][i], 0) << i;
}

TEST_F(ScreenModeTest, InvalidModesFailAndLeaveTheOpenScreen) {
  ASSERT_EQ(set_screen_mode(13, 8, 0, 0, 0), 0);
  ScreenState* before = screen_state;
  const int id = before->id;
  for (int mode : {3, 4, 5, 6, 22, -1}) {
    EXPECT_EQ(set_screen_mode(mode, 8, 0, 0, 0), 1) << mode;
    EXPECT_EQ(get_error(), 1);
    EXPECT_EQ(screen_state, before);
    EXPECT_EQ(screen_state->id, id);
  }
}

TEST_F(ScreenModeTest, DepthRules) {
  ASSERT_EQ(set_screen_mode(13, 32, 0, 0, 0), 0);
  EXPECT_EQ(screen_state->depth, 8);  // modes up to 13 ignore the depth

  ASSERT_EQ(set_screen_mode(14, 15, 0, 0, 0), 0);
  EXPECT_EQ(screen_state->depth, 16);
  EXPECT_EQ(screen_state->color_mask, 0xFFFFu);
  EXPECT_EQ(screen_state->pitch, 640);

  ASSERT_EQ(set_screen_mode(18, 24, 0, 0, 0), 0);
  EXPECT_EQ(screen_state->depth, 32);
  EXPECT_EQ(screen_state->pitch, 2560);

  ASSERT_EQ(set_screen_mode(14, 7, 0, 0, 0), 0);  // not an allowed depth: the row's
  EXPECT_EQ(screen_state->depth, 8);

  ASSERT_EQ(set_screen_mode(13, 8, 0, 2, 0), 0);  // OpenGL output raises to 16
  EXPECT_EQ(screen_state->depth, 16);
  EXPECT_TRUE(screen_state->flags & kScreenOpenGL);
}

TEST_F(ScreenModeTest, PagesAndLineDoubling) {
  ASSERT_EQ(set_screen_mode(13, 8, -5, 0, 0), 0);
  EXPECT_EQ(screen_state->page_count, 1);
  ASSERT_EQ(set_screen_mode(13, 8, 3, 0, 0), 0);
  EXPECT_EQ(screen_state->page_count, 3);
  for (int p = 0; p < 3; ++p) EXPECT_EQ(reinterpret_cast<uintptr_t>(screen_state->pages[p]) % 16, 0u);

  init_calls.clear();
  ASSERT_EQ(set_screen_mode(2, 0, 0, 0, 0), 0);
  EXPECT_EQ(screen_state->width, 640);
  EXPECT_EQ(screen_state->height, 200);
  EXPECT_EQ(screen_state->scanline_multiplier, 2);
  ASSERT_EQ(init_calls.size(), 1u);
  EXPECT_EQ(init_calls[0].height, 400);
  // All 400 output-line entries exist: the last one can be written.
  screen_state->dirty_lines[399] = 1;
  EXPECT_EQ(screen_state->dirty_lines[399], 1);
}

TEST_F(ScreenModeTest, ScreenBySize) {
  ASSERT_EQ(set_screen_size(640, 480, 8, 1, 0, 0), 0);
  EXPECT_EQ(screen_state->mode, -1);
  EXPECT_EQ(screen_state->text_cols, 80);
  EXPECT_EQ(screen_state->text_rows, 60);
  EXPECT_FLOAT_EQ(screen_state->aspect, 1.0f);
  EXPECT_EQ(screen_state->default_palette, &palette_256);
  EXPECT_EQ(screen_state->font, &font_8x8);

  // A grid wider than 255 columns keeps its true size.
  ASSERT_EQ(set_screen_size(4096, 16, 8, 1, 0, 0), 0);
  EXPECT_EQ(screen_state->text_cols, 512);
}

TEST_F(ScreenModeTest, InvalidSizesFailWithoutTouchingTheScreen) {
  ASSERT_EQ(set_screen_mode(13, 8, 0, 0, 0), 0);
  ScreenState* before = screen_state;
  EXPECT_EQ(set_screen_size(0, 10, 8, 1, 0, 0), 1);
  EXPECT_EQ(set_screen_size(10, -1, 8, 1, 0, 0), 1);
  for (int depth : {0, 3, 5, 7, 9, 12, 17, 31, 33, -8}) EXPECT_EQ(set_screen_size(10, 10, depth, 1, 0, 0), 1) << depth;
  // Byte counts that do not fit 32 bits, and sizes past the record's fields.
  EXPECT_EQ(set_screen_size(65535, 65535, 32, 1, 0, 0), 1);
  EXPECT_EQ(set_screen_size(70000, 10, 8, 1, 0, 0), 1);
  EXPECT_EQ(set_screen_size(0x7FFFFFFF, 0x7FFFFFFF, 8, 1, 0, 0), 1);
  EXPECT_EQ(screen_state, before);
  EXPECT_EQ(init_calls.size(), 1u);
}

TEST_F(ScreenModeTest, PageCountsBeyondAddressableMemoryFail) {
  EXPECT_EQ(set_screen_mode(21, 32, 100000, 0, 0), 1);
  EXPECT_EQ(screen_state, nullptr);
  EXPECT_TRUE(hook_table_empty());
  EXPECT_EQ(set_screen_mode(21, 32, 2, 0, 0), 0);  // a few such pages are fine
}

TEST_F(ScreenModeTest, NoDriverLeavesNoScreenAndAnEmptyTable) {
  fake_result = -1;
  EXPECT_EQ(set_screen_mode(13, 8, 0, 0, 0), 1);
  EXPECT_EQ(get_error(), 1);
  EXPECT_EQ(screen_state, nullptr);
  EXPECT_TRUE(hook_table_empty());
  // Two passes (requested flags, then fullscreen inverted), two rates each.
  ASSERT_EQ(init_calls.size(), 4u);
  EXPECT_EQ(init_calls[0].flags, 0);
  EXPECT_EQ(init_calls[2].flags, 1);
}

TEST_F(ScreenModeTest, NullDriverByEnvironmentInAnyCase) {
  for (const char* name : {"null", "NULL", "nUlL"}) {
    set_environment("ZQGFX", name);
    init_calls.clear();
    ASSERT_EQ(set_screen_mode(13, 8, 0, 0, 0), 0) << name;
    EXPECT_EQ(screen_state->driver, &null_driver);
    EXPECT_TRUE(init_calls.empty());
  }
}

TEST_F(ScreenModeTest, ModeZeroClosesAndRoutesToTheConsole) {
  ASSERT_EQ(set_screen_mode(13, 8, 0, 0, 0), 0);
  PrintCapture capture;
  EXPECT_EQ(set_screen_mode(0, 0, 0, 0, 0), 0);
  EXPECT_EQ(screen_state, nullptr);
  EXPECT_TRUE(hook_table_empty());
  EXPECT_EQ(capture.text(), "");  // closing leaves the console as it was
  // The routed queries answer from the console now, not from the 40-column grid.
  int columns = 0, rows = 0, console_columns = -1, console_rows = -1;
  get_text_size(&columns, &rows);
  console_get_size(&console_columns, &console_rows);
  EXPECT_EQ(columns, console_columns);
  EXPECT_EQ(rows, console_rows);
  EXPECT_NE(columns, 40);
  EXPECT_EQ(set_screen_mode(0, 0, 0, 0, 0), 0);  // with no screen open as well
  EXPECT_EQ(capture.text(), "");
}

TEST_F(ScreenModeTest, NewScreenGetsANewIdAndFlagBits) {
  ASSERT_EQ(set_screen_mode(13, 8, 0, 0x40, 0), 0);
  const int first = screen_state->id;
  EXPECT_TRUE(screen_state->flags & kScreenBlended);
  ASSERT_EQ(set_screen_mode(13, 8, 0, 0x10, 0), 0);
  EXPECT_GT(screen_state->id, first);
  EXPECT_FALSE(screen_state->flags & kScreenBlended);
  EXPECT_EQ(init_calls.back().flags, 0x1C);  // layered implies no switching and frameless
}

TEST_F(ScreenModeTest, TitleGoesToTheDriver) {
  set_screen_title("Probe", 0);
  ASSERT_EQ(set_screen_mode(13, 8, 0, 0, 0), 0);
  EXPECT_EQ(init_calls.back().title, "Probe");
  EXPECT_STREQ(screen_title(), "Probe");
}

TEST_F(ScreenModeTest, SuccessfulModeSetResetsThePrintColumn) {
  file_record(0)->column = 17;
  ASSERT_EQ(set_screen_mode(13, 8, 0, 0, 0), 0);
  EXPECT_EQ(file_record(0)->column, 0u);
}

}  // namespace
