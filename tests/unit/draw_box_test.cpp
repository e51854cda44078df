// Filled boxes and box outlines at every depth, clipped at every edge of the
// screen, and only the lines they changed marked.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "gfx/draw/draw_context.h"
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
    {"huge", -2000000000, 3, 2000000000, 3},
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

TEST(DrawBox, WithoutAScreenNothingHappens) {
  close_screen();
  draw_box(0, 0, 10, 10, 1, 1, kSolidLine);
  draw_box(0, 0, 10, 10, 1, 0, kSolidLine);
  EXPECT_EQ(screen_state, nullptr);
}

}  // namespace
