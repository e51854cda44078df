// Filled boxes and box outlines at every depth, clipped at every edge of the
// screen, spans of one line, and a line repeated down; only the lines they
// changed marked.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "gfx/draw/draw_context.h"
#include "gfx/draw/line_spans.h"
#include "gfx/draw/repeat_line.h"
#include "gfx/gfx_handlers.h"
#include "gfx/screen.h"
#include "support/capture.h"

namespace {

constexpr int kWidth = 12;
constexpr int kHeight = 8;

struct BoxCase {
  const char* where;
  int x1, y1, x2, y2;
};

// Partly off each edge, off two corners, wholly off, corners the wrong way
// round (nothing), a single pixel, and far outside the int range's middle.
constexpr BoxCase kBoxes[] = {
    {"inside", 2, 1, 6, 4},          {"off the left", -3, 2, 3, 5},
    {"off the right", 8, 1, 15, 3},  {"off the top", 4, -4, 7, 2},
    {"off the bottom", 1, 5, 5, 11}, {"over the whole screen", -2, -2, kWidth + 1, kHeight + 1},
    {"wholly off", 20, 20, 30, 30},  {"wholly off to the left", -9, 0, -1, 7},
    {"negative size", 6, 4, 2, 1},   {"one pixel", 11, 7, 11, 7},
    {"huge", -2000000000, 3, 2000000000, 3}, {"from the top-left corner", 0, 0, 4, 3},
    {"to the bottom-right corner", 7, 4, kWidth - 1, kHeight - 1},
};

// What a box should leave on the screen: filled, every pixel inside it;
// outlined, the pixels of its four edges. Only what lies on the screen.
bool expected_at(const BoxCase& box, bool filled, int x, int y) {
  if (box.x1 > box.x2 || box.y1 > box.y2) return false;
  const bool inside = x >= box.x1 && x <= box.x2 && y >= box.y1 && y <= box.y2;
  if (filled || !inside) return inside;
  return x == box.x1 || x == box.x2 || y == box.y1 || y == box.y2;
}

class DrawBoxTest : public ::testing::TestWithParam<int> {
 protected:
  void TearDown() override { close_screen(); }
};

TEST_P(DrawBoxTest, ClippedAtEveryEdgeMarkingOnlyItsLines) {
  const int depth = GetParam();
  ASSERT_EQ(set_screen_size(kWidth, kHeight, depth, 1, -1, 0), 0);
  DrawContext* context = get_draw_context();
  const int bytes = context->target_bytes_per_pixel;
  const uint32_t colour = depth == 8 ? 0x5Au : depth == 16 ? 0xBEEFu : 0x00C0FFEEu;
  for (const BoxCase& box : kBoxes) {
    for (const int filled : {1, 0}) {
      SCOPED_TRACE(std::string(box.where) + (filled ? ", filled" : ", outline") + ", depth " +
                   std::to_string(depth));
      for (int y = 0; y < kHeight; ++y) std::memset(context->lines[y], 0, kWidth * bytes);
      std::memset(screen_state->dirty_lines, 0, kHeight);
      draw_box(box.x1, box.y1, box.x2, box.y2, colour, filled, kSolidLine);
      for (int y = 0; y < kHeight; ++y) {
        bool row_changed = false;
        for (int x = 0; x < kWidth; ++x) {
          const bool want = expected_at(box, filled != 0, x, y);
          row_changed = row_changed || want;
          EXPECT_EQ(context->get_pixel(context, x, y), want ? colour : 0u) << x << "," << y;
        }
        // A row the box crosses is marked even where an outline leaves its
        // middle alone; a row it does not reach is not.
        const bool crossed = box.x1 <= box.x2 && y >= box.y1 && y <= box.y2 &&
                             box.x2 >= 0 && box.x1 < kWidth;
        EXPECT_EQ(screen_state->dirty_lines[y] != 0, crossed) << "line " << y;
        if (row_changed) {
          EXPECT_TRUE(crossed);
        }
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EveryDepth, DrawBoxTest, ::testing::Values(8, 16, 32));

class LineSpansTest : public DrawBoxTest {};

TEST_P(LineSpansTest, EachSpanClippedToTheViewportTheLineMarkedWhenFilled) {
  const int depth = GetParam();
  ASSERT_EQ(set_screen_size(kWidth, kHeight, depth, 1, -1, 0), 0);
  DrawContext* context = get_draw_context();
  const uint32_t a = depth == 8 ? 0x11u : depth == 16 ? 0x1111u : 0x00111111u;
  const uint32_t b = depth == 8 ? 0x22u : depth == 16 ? 0x2222u : 0x00222222u;
  struct Case {
    const char* what;
    int line;
    std::vector<LineSpan> spans;
    bool viewport;     // columns 3-8, lines 1-5
    const char* want;  // the line afterwards: '.' untouched, 'a' or 'b'
  };
  const Case cases[] = {
      {"two spans", 2, {{1, 3, a}, {6, 2, b}}, false, ".aaa..bb...."},
      {"off the left and the right", 2, {{-2, 4, a}, {10, 5, b}}, false, "aa........bb"},
      {"empty and negative widths", 2, {{4, 0, a}, {5, -3, b}}, false, "............"},
      {"wholly off", 2, {{-9, 3, a}, {kWidth, 4, b}}, false, "............"},
      {"past the int range", 2, {{2147483640, 100, a}, {-2147483647, 2147483647, b}}, false, "............"},
      {"the last span wins where they meet", 7, {{0, 6, a}, {4, 4, b}}, false, "aaaabbbb...."},
      {"clipped to a viewport", 3, {{0, 5, a}, {7, 5, b}}, true, "...aa..bb..."},
      {"a line outside the viewport", 0, {{0, 12, a}}, true, "............"},
      {"a line below the screen", kHeight, {{0, 12, a}}, false, "............"},
      {"a line above the screen", -1, {{0, 12, a}}, false, "............"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.what) + ", depth " + std::to_string(depth));
    if (c.viewport) set_viewport(3, 1, 8, 5, 0, 0, kViewportNoFill | kViewportNoBorder);
    else set_viewport(kOmittedCoordinate, kOmittedCoordinate, kOmittedCoordinate, kOmittedCoordinate, 0, 0, 0);
    for (int y = 0; y < kHeight; ++y) std::memset(context->lines[y], 0, kWidth * context->target_bytes_per_pixel);
    std::memset(screen_state->dirty_lines, 0, kHeight);
    fill_line_spans(c.line, c.spans.data(), static_cast<int>(c.spans.size()));
    const bool any = std::string(c.want).find_first_not_of('.') != std::string::npos;
    for (int y = 0; y < kHeight; ++y) {
      EXPECT_EQ(screen_state->dirty_lines[y] != 0, any && y == c.line) << "line " << y;
      for (int x = 0; x < kWidth; ++x) {
        const char w = y == c.line ? c.want[x] : '.';
        EXPECT_EQ(context->get_pixel(context, x, y), w == 'a' ? a : w == 'b' ? b : 0u) << x << "," << y;
      }
    }
  }
  // No list, or none in it, fill nothing.
  std::memset(screen_state->dirty_lines, 0, kHeight);
  fill_line_spans(2, nullptr, 3);
  const LineSpan one{0, 4, a};
  fill_line_spans(2, &one, 0);
  fill_line_spans(2, &one, -1);
  for (int y = 0; y < kHeight; ++y) EXPECT_EQ(screen_state->dirty_lines[y], 0) << y;
  EXPECT_EQ(context->get_pixel(context, 0, 2), 0u);
}

INSTANTIATE_TEST_SUITE_P(EveryDepth, LineSpansTest, ::testing::Values(8, 16, 32));

class RepeatLineTest : public DrawBoxTest {};

TEST_P(RepeatLineTest, CopiesInsideTheViewportDownToItsEnd) {
  const int depth = GetParam();
  ASSERT_EQ(set_screen_size(kWidth, kHeight, depth, 1, -1, 0), 0);
  DrawContext* context = get_draw_context();
  const int bytes = context->target_bytes_per_pixel;
  struct Case {
    const char* what;
    int line, count;
    bool viewport;  // columns 3-8, lines 1-5
    int first, last;  // the lines written, first > last for none
  };
  const Case cases[] = {
      {"two lines", 2, 2, false, 3, 4},
      {"to the screen's end", 5, 100, false, 6, kHeight - 1},
      {"count past the int range", 4, 2147483647, false, 5, kHeight - 1},
      {"the last line", kHeight - 1, 3, false, 1, 0},
      {"no count", 2, 0, false, 1, 0},
      {"negative count", 2, -5, false, 1, 0},
      {"a line above the screen", -1, 4, false, 1, 0},
      {"a line below the screen", kHeight, 4, false, 1, 0},
      {"inside a viewport, to its end", 2, 10, true, 3, 5},
      {"a line above the viewport", 0, 3, true, 1, 0},
  };
  const uint32_t ink = depth == 8 ? 0x3Cu : depth == 16 ? 0xF00Du : 0x00ABCDEFu;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.what) + ", depth " + std::to_string(depth));
    if (c.viewport) set_viewport(3, 1, 8, 5, 0, 0, kViewportNoFill | kViewportNoBorder);
    else set_viewport(kOmittedCoordinate, kOmittedCoordinate, kOmittedCoordinate, kOmittedCoordinate, 0, 0, 0);
    // Every line a pattern of its own; the source line wholly in ink.
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) context->put_pixel(context, x, y, static_cast<uint32_t>(y * kWidth + x));
    if (c.line >= 0 && c.line < kHeight)
      for (int x = 0; x < kWidth; ++x) context->put_pixel(context, x, c.line, ink);
    std::memset(screen_state->dirty_lines, 0, kHeight);
    repeat_line(c.line, c.count);
    for (int y = 0; y < kHeight; ++y) {
      const bool written = y >= c.first && y <= c.last;
      EXPECT_EQ(screen_state->dirty_lines[y] != 0, written) << "line " << y;
      for (int x = 0; x < kWidth; ++x) {
        const bool inside = !c.viewport || (x >= 3 && x <= 8);
        const uint32_t own = y == c.line ? ink : static_cast<uint32_t>(y * kWidth + x);
        const uint32_t mask = bytes == 1 ? 0xFFu : bytes == 2 ? 0xFFFFu : 0xFFFFFFFFu;
        EXPECT_EQ(context->get_pixel(context, x, y), (written && inside ? ink : own) & mask) << x << "," << y;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EveryDepth, RepeatLineTest, ::testing::Values(8, 16, 32));

TEST(RepeatLine, WithoutAScreenNothingHappens) {
  close_screen();
  repeat_line(0, 5);
  EXPECT_EQ(screen_state, nullptr);
}

TEST(DrawBox, WithoutAScreenNothingHappens) {
  close_screen();
  draw_box(0, 0, 10, 10, 1, 1, kSolidLine);
  draw_box(0, 0, 10, 10, 1, 0, kSolidLine);
  EXPECT_EQ(screen_state, nullptr);
}

}  // namespace
