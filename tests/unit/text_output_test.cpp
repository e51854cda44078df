#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "gfx/builtin_data.h"
#include "gfx/draw_context.h"
#include "gfx/frame_picture.h"
#include "gfx/gfx_handlers.h"
#include "gfx/screen.h"
#include "gfx/text_writer.h"
#include "rt/routed.h"
#include "rt/runtime.h"
#include "support/capture.h"

namespace {

void print(const std::string& text, int flags = 0) {
  gfx_print(reinterpret_cast<const uint8_t*>(text.data()), static_cast<int>(text.size()), flags);
}

uint8_t& pixel(int x, int y) { return screen_state->visible_page[y * screen_state->pitch + x]; }

const TextCell& cell(int column, int row, int page = 0) {
  return screen_state->text_cells[page][row * screen_state->text_cols + column];
}

int marked_count() {
  int n = 0;
  for (int i = 0; i < screen_state->height; ++i) n += screen_state->dirty_lines[i];
  return n;
}

void clear_marks() { std::memset(screen_state->dirty_lines, 0, static_cast<size_t>(screen_state->height)); }

// Every pixel row y holds the value y (mod 256), so that moved rows show
// where they came from.
void stripe_page() {
  for (int y = 0; y < screen_state->height; ++y)
    std::memset(screen_state->visible_page + y * screen_state->pitch, y & 0xFF,
                static_cast<size_t>(screen_state->pitch));
}

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
  EXPECT_EQ(screen_state->cursor_x, 5);
  EXPECT_EQ(screen_state->cursor_y, 5);
  EXPECT_EQ(cell(39, 4).character, 'A' + 39 % 26);
  EXPECT_EQ(cell(0, 5).character, 'A' + 40 % 26);
  EXPECT_EQ(cell(4, 5).character, 'A' + 44 % 26);
  EXPECT_EQ(cell(5, 5).character, ' ');
  EXPECT_EQ(decode_text_row(4), text.substr(0, 40));
  EXPECT_EQ(decode_text_row(5), text.substr(40));
  // The band of both rows is marked, nothing else.
  EXPECT_EQ(marked_count(), 16);
  EXPECT_EQ(screen_state->dirty_lines[32], 1);
  EXPECT_EQ(screen_state->dirty_lines[47], 1);

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
  stripe_page();
  gfx_locate(25, 1, 0);
  print("\r\n");
  for (int y = 0; y < 192; ++y) ASSERT_EQ(pixel(0, y), (y + 8) & 0xFF) << y;
  for (int y = 192; y < 200; ++y) ASSERT_EQ(pixel(319, y), 0) << y;
  EXPECT_EQ(screen_state->cursor_x, 0);
  EXPECT_EQ(screen_state->cursor_y, 24);
  // The cells move with the pixels and the freed row is blank.
  EXPECT_EQ(cell(0, 0).character, 'Q');
  EXPECT_EQ(cell(0, 24).character, ' ');
  EXPECT_EQ(cell(0, 24).foreground, 15u);
  EXPECT_EQ(marked_count(), 200);

  // Two line ends at once scroll by two rows in one move.
  stripe_page();
  print("\n\n");
  EXPECT_EQ(pixel(0, 0), 16);
  EXPECT_EQ(pixel(0, 183), 199);
  EXPECT_EQ(pixel(0, 184), 0);
}

TEST_F(TextOutputTest, FillingTheLastCellLeavesANewlinePending) {
  gfx_locate(2, 1, 0);
  print("Q");
  gfx_locate(25, 1, 0);
  print(std::string(40, 'x'));
  EXPECT_EQ(gfx_pos(), 40);
  EXPECT_EQ(gfx_csrlin(), 25);
  EXPECT_TRUE(screen_state->flags & kScreenPendingNewline);
  EXPECT_EQ(cell(0, 1).character, 'Q');  // no scroll yet

  print("B");
  EXPECT_FALSE(screen_state->flags & kScreenPendingNewline);
  EXPECT_EQ(cell(0, 0).character, 'Q');
  EXPECT_EQ(cell(0, 23).character, 'x');
  EXPECT_EQ(cell(0, 24).character, 'B');
  EXPECT_EQ(decode_text_row(24), "B");
  EXPECT_EQ(gfx_pos(), 2);
  EXPECT_EQ(gfx_csrlin(), 25);

  // A locate in between cancels the pending newline.
  gfx_locate(25, 1, 0);
  print(std::string(40, 'y'));
  ASSERT_TRUE(screen_state->flags & kScreenPendingNewline);
  gfx_locate(3, 1, 0);
  print("C");
  EXPECT_EQ(cell(0, 2).character, 'C');
  EXPECT_EQ(cell(0, 24).character, 'y');

  // Flag 8 without text lets a pending newline take effect.
  gfx_locate(25, 1, 0);
  print(std::string(40, 'z'));
  print("", 8);
  EXPECT_FALSE(screen_state->flags & kScreenPendingNewline);
  EXPECT_EQ(cell(0, 23).character, 'z');
  EXPECT_EQ(cell(0, 24).character, ' ');
  EXPECT_EQ(gfx_pos(), 1);
}

TEST_F(TextOutputTest, TabsAndBackspaces) {
  gfx_locate(3, 38, 0);
  print("\t");
  EXPECT_EQ(screen_state->cursor_x, 0);
  EXPECT_EQ(screen_state->cursor_y, 3);

  gfx_locate(4, 3, 0);
  print("\tT");
  EXPECT_EQ(cell(8, 3).character, 'T');

  gfx_locate(6, 1, 0);
  print("ab\b\bc");
  EXPECT_EQ(decode_text_row(5), "cb");  // backspace moves, never erases
  gfx_locate(7, 1, 0);
  print("\b\bd");
  EXPECT_EQ(screen_state->cursor_y, 6);
  EXPECT_EQ(cell(0, 6).character, 'd');
  EXPECT_EQ(screen_state->cursor_x, 1);
}

TEST_F(TextOutputTest, TheByteFFAloneIsALineOnTheBottomPixelRow) {
  for (int y = 0; y < 8; ++y) std::memset(&pixel(0, y), 7, 16);
  print("\xFF");
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 8; ++x) ASSERT_EQ(pixel(x, y), 7) << x << "," << y;
  for (int x = 0; x < 8; ++x) EXPECT_EQ(pixel(x, 7), 15);
  EXPECT_EQ(pixel(8, 7), 7);
  EXPECT_EQ(cell(0, 0).character, 0xFF);

  // Two of them form one segment: ordinary (blank) glyphs.
  for (int y = 16; y < 24; ++y) std::memset(&pixel(0, y), 7, 16);
  gfx_locate(3, 1, 0);
  print("\xFF\xFF");
  for (int x = 0; x < 16; ++x) EXPECT_EQ(pixel(x, 23), 0);
  // Left alone in a segment by wrapping, it is the line again.
  gfx_locate(5, 40, 0);
  print("A\xFF");
  for (int x = 0; x < 8; ++x) EXPECT_EQ(pixel(x, 47), 15);
  EXPECT_EQ(pixel(0, 40), 0);
}

TEST_F(TextOutputTest, GlyphFCIsTheSuperscriptN) {
  print("\xFC");
  const uint8_t rows[8] = {0x1E, 0x36, 0x36, 0x36, 0x36, 0x00, 0x00, 0x00};
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) ASSERT_EQ(pixel(x, y), (rows[y] >> x) & 1 ? 15 : 0) << x << "," << y;
  EXPECT_EQ(cell(0, 0).character, 0xFC);
}

TEST_F(TextOutputTest, WideTextBecomesBytes) {
  const uint16_t units[] = {'A', 0x263A, 0xD83D, 0xDE00, 0xFC, 'B', 0xD800};
  gfx_print_wide(units, 7, 0);
  EXPECT_EQ(decode_text_row(0), "A??\xFC" "B?");
  EXPECT_EQ(gfx_pos(), 7);
  // A leading surrogate at the end reads nothing past the length.
  gfx_print_wide(units + 2, 1, 0);
  EXPECT_EQ(gfx_pos(), 8);
}

TEST_F(TextOutputTest, ClearWithoutArgumentClearsEverything) {
  std::memset(screen_state->visible_page, 9, 64000);
  fill_text_cells(0, 0, 40, 25, 0, 'x', 1, 2);
  gfx_locate(7, 9, 0);
  get_draw_context()->last_x = 3;
  clear_marks();
  gfx_cls(kNoClearArgument);
  for (int i = 0; i < 64000; ++i) ASSERT_EQ(screen_state->visible_page[i], 0) << i;
  for (int i = 0; i < 1000; ++i) {
    const TextCell& c = screen_state->text_cells[0][i];
    ASSERT_EQ(c.character, ' ') << i;
    ASSERT_EQ(c.foreground, 15u);
    ASSERT_EQ(c.background, 0u);
  }
  EXPECT_EQ(screen_state->cursor_x, 0);
  EXPECT_EQ(screen_state->cursor_y, 0);
  EXPECT_EQ(get_draw_context()->last_x, 160.0f);
  EXPECT_EQ(get_draw_context()->last_y, 100.0f);
  EXPECT_EQ(marked_count(), 200);
}

TEST_F(TextOutputTest, ClearWithoutArgumentFollowsTheViewAndTheViewport) {
  // A partial text view: only its rows, and the cursor to its top.
  ASSERT_NE(set_view_print(5, 10, 0), 0);
  std::memset(screen_state->visible_page, 9, 64000);
  clear_marks();
  gfx_cls(kNoClearArgument);
  EXPECT_EQ(pixel(0, 31), 9);
  EXPECT_EQ(pixel(0, 32), 0);
  EXPECT_EQ(pixel(319, 79), 0);
  EXPECT_EQ(pixel(0, 80), 9);
  EXPECT_EQ(marked_count(), 48);
  EXPECT_EQ(screen_state->cursor_y, 4);

  // Text in a view scrolls inside it.
  gfx_locate(10, 1, 0);
  print("\n");
  EXPECT_EQ(pixel(0, 31), 9);
  EXPECT_EQ(pixel(0, 80), 9);
  EXPECT_EQ(screen_state->cursor_y, 9);
  set_view_print(0, 0, 0);

  // A graphics viewport: only its rectangle; the text cursor stays.
  DrawContext* context = get_draw_context();
  context->flags |= kContextViewportSet;
  context->view_x = 10;
  context->view_y = 20;
  context->view_width = 30;
  context->view_height = 40;
  std::memset(screen_state->visible_page, 9, 64000);
  gfx_locate(3, 4, 0);
  clear_marks();
  gfx_cls(kNoClearArgument);
  EXPECT_EQ(pixel(9, 20), 9);
  EXPECT_EQ(pixel(10, 20), 0);
  EXPECT_EQ(pixel(39, 59), 0);
  EXPECT_EQ(pixel(40, 59), 9);
  EXPECT_EQ(pixel(10, 60), 9);
  EXPECT_EQ(marked_count(), 40);
  EXPECT_EQ(context->last_x, 25.0f);
  EXPECT_EQ(context->last_y, 40.0f);
  EXPECT_EQ(gfx_pos(), 4);
  EXPECT_EQ(gfx_csrlin(), 3);
}

TEST_F(TextOutputTest, WidthAcceptsOnlyCellsOfABuiltInFont) {
  EXPECT_EQ(gfx_width(80, 25), 40 | 25 << 16);
  EXPECT_EQ(screen_state->font, &font_8x8);
  EXPECT_EQ(screen_state->text_cols, 40);

  DrawContext* context = get_draw_context();
  context->flags |= kContextViewportSet;
  context->view_width = 5;
  std::memset(screen_state->visible_page, 9, 64000);
  gfx_locate(7, 7, 0);
  EXPECT_EQ(gfx_width(40, 14), 40 | 25 << 16);
  EXPECT_EQ(screen_state->font, &font_8x14);
  EXPECT_EQ(screen_state->text_rows, 14);
  EXPECT_FALSE(context->flags & kContextViewportSet);
  EXPECT_EQ(context->view_width, 320);
  EXPECT_EQ(screen_state->visible_page[63999], 0);
  EXPECT_EQ(gfx_pos(), 1);
  EXPECT_EQ(gfx_csrlin(), 1);
  EXPECT_EQ(view_bottom(), 13);

  // The new font and rows are in use: the bottom row of 14 scrolls.
  gfx_locate(14, 1, 0);
  print("A\r\n");
  EXPECT_EQ(decode_text_row(12), "A");
  EXPECT_EQ(gfx_width(0, 0), 40 | 14 << 16);
  // 320 / 39 = 8: a valid cell width.
  EXPECT_EQ(gfx_width(39, 0), 40 | 14 << 16);
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
  EXPECT_EQ(cell(0, 0, 1).character, 'H');
  EXPECT_EQ(cell(1, 0, 1).character, 'i');
  EXPECT_EQ(screen_state->pages[1][0 * 320 + 1], 15);  // 'H' has its second pixel set
  for (int i = 0; i < 64000; ++i) ASSERT_EQ(screen_state->pages[0][i], 0) << i;
  close_screen();
}

TEST(TextOutputPages, AScreenWithoutTextCellsPrintsNothing) {
  ASSERT_EQ(set_screen_size(4, 4, 8, 1, -1, 0), 0);
  ASSERT_NE(screen_state->text_cells, nullptr);
  print("text\r\n");
  gfx_cls(kNoClearArgument);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(screen_state->visible_page[i], 0);
  close_screen();
}

// The writer alone, with a recording grid.
struct Grid {
  std::vector<std::string> calls;
  int scrolls = 0;
  int stop_after = -1;
};

int record_draw(TextWriter* writer, const uint8_t* bytes, int count) {
  auto* grid = static_cast<Grid*>(writer->user);
  grid->calls.push_back(std::to_string(writer->x) + "," + std::to_string(writer->y) + ":" +
                        std::string(reinterpret_cast<const char*>(bytes), static_cast<size_t>(count)));
  return grid->stop_after >= 0 && static_cast<int>(grid->calls.size()) >= grid->stop_after ? 0 : 1;
}

void record_scroll(TextWriter* writer, int, int, int, int bottom, int lines) {
  static_cast<Grid*>(writer->user)->scrolls += lines;
  writer->y = bottom;
}

void write(TextWriter* writer, const std::string& text, int newline_flag = 1) {
  text_writer_write(writer, reinterpret_cast<const uint8_t*>(text.data()),
                    static_cast<int>(text.size()), newline_flag);
}

TEST(TextWriter, RunsAreDrawnRowByRowAndControlBytesMoveTheCursor) {
  Grid grid;
  TextWriter writer{&grid, record_scroll, record_draw, 2, 0, 9, 3, 2, 0};
  write(&writer, "abcdefghijk\rX\nY", 0);
  const std::vector<std::string> expected{"2,0:abcdefgh", "2,1:ijk", "2,1:X", "3,2:Y"};
  EXPECT_EQ(grid.calls, expected);
  EXPECT_EQ(grid.scrolls, 0);

  // Without a bottom edge nothing ever scrolls.
  writer.bottom = -1;
  write(&writer, "\n\n\n\n\nZ");
  EXPECT_EQ(grid.scrolls, 0);
  EXPECT_EQ(writer.y, 7);
}

TEST(TextWriter, ScrollsLazilyAndStopsWhenDrawingFails) {
  Grid grid;
  TextWriter writer{&grid, record_scroll, record_draw, 0, 0, 3, 1, 0, 1};
  write(&writer, "abcd");  // fills the bottom row: no scroll yet
  EXPECT_EQ(grid.scrolls, 0);
  EXPECT_EQ(writer.y, 2);
  write(&writer, "\n\n");  // trailing controls below the bottom scroll at the end
  EXPECT_EQ(grid.scrolls, 3);
  EXPECT_EQ(writer.y, 1);

  grid = Grid{};
  grid.stop_after = 1;
  writer.x = 0;
  write(&writer, "abcdefgh");
  EXPECT_EQ(grid.calls.size(), 1u);
  EXPECT_EQ(writer.x, 0);

  // A window without a column writes nothing.
  grid = Grid{};
  TextWriter empty{&grid, record_scroll, record_draw, 0, 0, -1, 1, 0, 0};
  write(&empty, "abc\n");
  EXPECT_TRUE(grid.calls.empty());
}

TEST(TextWriter, LongTextIsGatheredIntoRunsOfAtMost1024Bytes) {
  Grid grid;
  TextWriter writer{&grid, record_scroll, record_draw, 0, 0, 2047, -1, 0, 0};
  write(&writer, std::string(1500, 'q'));
  ASSERT_EQ(grid.calls.size(), 2u);
  EXPECT_EQ(grid.calls[0].size(), 4u + 1024u);
  EXPECT_EQ(grid.calls[1].substr(0, 7), "1024,0:");
  EXPECT_EQ(writer.x, 1500);
}

}  // namespace
