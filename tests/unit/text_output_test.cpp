#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "gfx/data/builtin_data.h"
#include "gfx/draw/draw_context.h"
#include "gfx/draw/frame_picture.h"
#include "gfx/gfx_handlers.h"
#include "gfx/screen.h"
#include "common/text_writer.h"
#include "rt/routed.h"
#include "rt/runtime.h"
#include "support/capture.h"

namespace {

void print(const std::string& text, int flags = 0) {
  gfx_print(reinterpret_cast<const uint8_t*>(text.data()), static_cast<int>(text.size()), flags);
}

uint8_t& pixel(int x, int y) { return screen_state->visible_page[y * screen_state->pitch + x]; }

uint16_t cell(int column, int row, int page = 0) {
  return screen_state->text_cells[page][row * screen_state->text_cols + column].character;
}

int marked_count() {
  int n = 0;
  for (int i = 0; i < screen_state->height; ++i) n += screen_state->dirty_lines[i];
  return n;
}

void clear_marks() { std::memset(screen_state->dirty_lines, 0, static_cast<size_t>(screen_state->height)); }

void fill_page(uint8_t value) { std::memset(screen_state->visible_page, value, 64000); }

class TextOutputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(open_null_screen(), 0);
    clear_marks();
  }
  void TearDown() override { close_screen(); }
};

TEST_F(TextOutputTest, WrapsAtTheRightEdgeAndFollowsLineEnds) {
  gfx_locate(5, 1, 0);
  std::string text;
  for (int i = 0; i < 45; ++i) text += static_cast<char>('A' + i % 26);
  print(text);
  EXPECT_EQ(gfx_pos(), 6);
  EXPECT_EQ(gfx_csrlin(), 6);
  EXPECT_EQ(decode_text_row(4), text.substr(0, 40));
  EXPECT_EQ(decode_text_row(5), text.substr(40));
  EXPECT_EQ(cell(4, 5), 'A' + 44 % 26);
  EXPECT_EQ(marked_count(), 16);  // the band of both rows, nothing else
  EXPECT_EQ(screen_state->dirty_lines[32] + screen_state->dirty_lines[47], 2);

  gfx_locate(10, 1, 0);
  print(" * Klimperdetektor by Tukani *");
  EXPECT_EQ(gfx_pos(), 31);
  print("\r\n");
  EXPECT_EQ(gfx_pos(), 1);
  EXPECT_EQ(gfx_csrlin(), 11);
}

TEST_F(TextOutputTest, LineEndOnTheBottomRowScrollsOnce) {
  gfx_locate(2, 1, 0);
  print("Q");
  for (int y = 0; y < 200; ++y) std::memset(&pixel(0, y), y, 320);  // each row shows its origin
  gfx_locate(25, 1, 0);
  print("\r\n");
  for (int y = 0; y < 192; ++y) ASSERT_EQ(pixel(0, y), y + 8) << y;
  for (int y = 192; y < 200; ++y) ASSERT_EQ(pixel(319, y), 0) << y;
  EXPECT_EQ(gfx_pos(), 1);
  EXPECT_EQ(gfx_csrlin(), 25);
  EXPECT_EQ(cell(0, 0), 'Q');  // the cells move with the pixels
  EXPECT_EQ(cell(0, 24), ' ');
  EXPECT_EQ(marked_count(), 200);

  print("\n\n");  // two rows in one move
  EXPECT_EQ(pixel(0, 0), 24);
  EXPECT_EQ(pixel(0, 176), 0);
}

TEST_F(TextOutputTest, FillingTheLastCellLeavesANewlinePending) {
  gfx_locate(2, 1, 0);
  print("Q");
  gfx_locate(25, 1, 0);
  print(std::string(40, 'x'));
  EXPECT_EQ(gfx_pos(), 40);
  EXPECT_EQ(gfx_csrlin(), 25);
  EXPECT_EQ(cell(0, 1), 'Q');  // no scroll yet
  print("B");
  EXPECT_EQ(cell(0, 0), 'Q');
  EXPECT_EQ(decode_text_row(23), std::string(40, 'x'));
  EXPECT_EQ(decode_text_row(24), "B");

  // A locate in between cancels it.
  gfx_locate(25, 1, 0);
  print(std::string(40, 'y'));
  gfx_locate(3, 1, 0);
  print("C");
  EXPECT_EQ(cell(0, 2), 'C');
  EXPECT_EQ(cell(0, 24), 'y');

  // Flag 8 without text lets it take effect.
  gfx_locate(25, 1, 0);
  print(std::string(40, 'z'));
  print("", 8);
  EXPECT_EQ(cell(0, 23), 'z');
  EXPECT_EQ(gfx_pos(), 1);
  EXPECT_FALSE(screen_state->flags & kScreenPendingNewline);
}

TEST_F(TextOutputTest, TabsAndBackspaces) {
  gfx_locate(3, 38, 0);
  print("\t");
  EXPECT_EQ(gfx_pos(), 1);
  EXPECT_EQ(gfx_csrlin(), 4);
  gfx_locate(6, 1, 0);
  print("ab\b\bc\b\b\b");  // moves back, never erases, stops at column 0
  EXPECT_EQ(gfx_pos(), 1);
  print("d");
  EXPECT_EQ(decode_text_row(5), "db");
  EXPECT_EQ(gfx_csrlin(), 6);
}

TEST_F(TextOutputTest, TheByteFFAloneIsALineOnTheBottomPixelRow) {
  fill_page(7);
  print("\xFF");
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 8; ++x) ASSERT_EQ(pixel(x, y), 7) << x << "," << y;
  for (int x = 0; x < 8; ++x) EXPECT_EQ(pixel(x, 7), 15);
  EXPECT_EQ(pixel(8, 7), 7);
  EXPECT_EQ(cell(0, 0), 0xFF);

  gfx_locate(3, 1, 0);
  print("\xFF\xFF");  // one segment of two: blank glyphs
  EXPECT_EQ(pixel(0, 23), 0);
  gfx_locate(5, 40, 0);
  print("A\xFF");  // left alone in a segment by wrapping
  EXPECT_EQ(pixel(0, 47), 15);
  EXPECT_EQ(pixel(0, 40), 7);
}

TEST_F(TextOutputTest, GlyphsAreOpaqueAndBitZeroIsLeftmost) {
  fill_page(7);
  print("\xFC");
  const uint8_t rows[8] = {0x1E, 0x36, 0x36, 0x36, 0x36, 0x00, 0x00, 0x00};
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) ASSERT_EQ(pixel(x, y), (rows[y] >> x) & 1 ? 15 : 0) << x << "," << y;
}

TEST_F(TextOutputTest, WideTextBecomesBytes) {
  const uint16_t units[] = {'A', 0x263A, 0xD83D, 0xDE00, 0xFC, 'B', 0xD800};
  gfx_print_wide(units, 7, 0);
  EXPECT_EQ(decode_text_row(0), "A??\xFC" "B?");
  gfx_print_wide(units + 2, 1, 0);  // reads nothing past the length
  EXPECT_EQ(gfx_pos(), 8);
}

TEST_F(TextOutputTest, ClearWithoutArgumentClearsEverything) {
  fill_page(9);
  fill_text_cells(0, 0, 40, 25, 0, 'x', 1, 2);
  gfx_locate(7, 9, 0);
  gfx_cls(kNoClearArgument);
  for (int i = 0; i < 64000; ++i) ASSERT_EQ(screen_state->visible_page[i], 0) << i;
  for (int i = 0; i < 1000; ++i) {
    const TextCell& c = screen_state->text_cells[0][i];
    ASSERT_TRUE(c.character == ' ' && c.foreground == 15 && c.background == 0) << i;
  }
  EXPECT_EQ(gfx_pos(), 1);
  EXPECT_EQ(gfx_csrlin(), 1);
  EXPECT_EQ(get_draw_context()->last_x, 160.0f);
  EXPECT_EQ(get_draw_context()->last_y, 100.0f);
  EXPECT_EQ(marked_count(), 200);
}

TEST_F(TextOutputTest, ClearWithoutArgumentFollowsTheViewAndTheViewport) {
  ASSERT_NE(set_view_print(5, 10, 0), 0);  // text rows 4 to 9: pixel rows 32 to 79
  fill_page(9);
  gfx_cls(kNoClearArgument);
  EXPECT_EQ(pixel(0, 31) | pixel(0, 80) << 8, 9 | 9 << 8);
  EXPECT_EQ(pixel(0, 32) | pixel(319, 79), 0);
  EXPECT_EQ(marked_count(), 48);
  EXPECT_EQ(gfx_csrlin(), 5);
  gfx_locate(10, 1, 0);
  print("\n");  // scrolls inside the view only
  EXPECT_EQ(pixel(0, 31) | pixel(0, 80) << 8, 9 | 9 << 8);
  set_view_print(0, 0, 0);

  DrawContext* context = get_draw_context();
  context->flags |= kContextViewportSet;
  context->view_x = 10, context->view_y = 20, context->view_width = 30, context->view_height = 40;
  fill_page(9);
  clear_marks();
  gfx_cls(kNoClearArgument);
  EXPECT_EQ(pixel(10, 20) | pixel(39, 59), 0);
  EXPECT_EQ(pixel(9, 20) & pixel(40, 59) & pixel(10, 60), 9);
  EXPECT_EQ(marked_count(), 40);
  EXPECT_EQ(context->last_x, 25.0f);
  EXPECT_EQ(gfx_csrlin(), 10);  // the text cursor stays
}

TEST_F(TextOutputTest, WidthAcceptsOnlyCellsOfABuiltInFont) {
  EXPECT_EQ(gfx_width(80, 25), 40 | 25 << 16);  // 320 / 80 = 4
  EXPECT_EQ(screen_state->font, &font_8x8);

  DrawContext* context = get_draw_context();
  context->flags |= kContextViewportSet;
  fill_page(9);
  gfx_locate(7, 7, 0);
  EXPECT_EQ(gfx_width(40, 14), 40 | 25 << 16);
  EXPECT_EQ(screen_state->font, &font_8x14);
  EXPECT_EQ(screen_state->text_rows, 14);
  EXPECT_FALSE(context->flags & kContextViewportSet);
  EXPECT_EQ(screen_state->visible_page[63999], 0);
  EXPECT_EQ(gfx_csrlin(), 1);
  EXPECT_EQ(view_bottom(), 13);
  gfx_locate(14, 1, 0);
  print("A\r\n");  // the new bottom row scrolls, in the new font
  EXPECT_EQ(decode_text_row(12), "A");
  EXPECT_EQ(gfx_width(39, 0), 40 | 14 << 16);  // 320 / 39 = 8
  EXPECT_EQ(screen_state->text_cols, 39);
}

TEST(TextOutputPages, AHiddenWorkPageMarksNoLines) {
  ASSERT_EQ(set_screen_mode(13, 8, 2, -1, 0), 0);
  DrawContext* context = get_draw_context();
  context->work_page = 1;
  context->flags |= kContextRebuildLines;
  use_screen_target(context);
  clear_marks();
  print("Hello\r\n");
  gfx_cls(0);
  print("Hi");
  EXPECT_EQ(marked_count(), 0);
  EXPECT_EQ(cell(1, 0, 1), 'i');
  EXPECT_EQ(screen_state->pages[1][1], 15);  // the top row of 'H'
  for (int i = 0; i < 64000; ++i) ASSERT_EQ(screen_state->pages[0][i], 0) << i;
  close_screen();
}

TEST(TextOutputPages, AScreenWithoutTextCellsPrintsNothing) {
  ASSERT_EQ(set_screen_size(4, 4, 8, 1, -1, 0), 0);
  print("text\r\n");
  gfx_cls(kNoClearArgument);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(screen_state->visible_page[i], 0);
  close_screen();
}

// The writer alone, drawing into a log.
struct Log {
  std::vector<std::string> draws;
  int scrolled = 0;
  size_t stop_after = 0;  // 0: never stop
};

int log_draw(TextWriter* writer, const uint8_t* bytes, int count) {
  auto* log = static_cast<Log*>(writer->user);
  log->draws.push_back(std::to_string(writer->x) + "," + std::to_string(writer->y) + ":" +
                       std::string(reinterpret_cast<const char*>(bytes), static_cast<size_t>(count)));
  return log->draws.size() == log->stop_after ? 0 : 1;
}

void log_scroll(TextWriter* writer, int, int, int, int bottom, int lines) {
  static_cast<Log*>(writer->user)->scrolled += lines;
  writer->y = bottom;
}

void write(TextWriter* writer, const std::string& text, int newline_flag = 1) {
  text_writer_write(writer, reinterpret_cast<const uint8_t*>(text.data()),
                    static_cast<int>(text.size()), newline_flag);
}

TEST(TextWriter, WindowsRunsAndScrolling) {
  Log log;
  TextWriter writer{&log, log_scroll, log_draw, 2, 0, 9, 1, 2, 0};
  write(&writer, "abcdefghijk\rX\nY", 0);  // a bare line feed keeps the column; Y scrolls first
  EXPECT_EQ(log.draws, (std::vector<std::string>{"2,0:abcdefgh", "2,1:ijk", "2,1:X", "3,1:Y"}));
  EXPECT_EQ(log.scrolled, 1);
  write(&writer, "\n\n");  // trailing controls below the bottom scroll at the end
  EXPECT_EQ(log.scrolled, 3);

  log = Log{};
  writer.bottom = -1;  // no bottom edge
  write(&writer, std::string(1500, 'q') + "\n\n\n");
  EXPECT_EQ(log.scrolled, 0);
  EXPECT_EQ(writer.y, 191);

  log = Log{};
  log.stop_after = 1;
  writer.x = 2;
  write(&writer, "abcde\rXY\b");  // a draw that gives up ends the whole write
  EXPECT_EQ(log.draws.size(), 1u);
  EXPECT_EQ(writer.x, 2);

  log = Log{};
  TextWriter runs{&log, log_scroll, log_draw, 0, 0, 2047, -1, 0, 0};
  write(&runs, std::string(1500, 'q'));  // gathered in runs of at most 1024 bytes
  ASSERT_EQ(log.draws.size(), 2u);
  EXPECT_EQ(log.draws[1].substr(0, 7), "1024,0:");
}

}  // namespace
