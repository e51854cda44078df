// Nearest-neighbour enlargement of the marked lines.
#include <gtest/gtest.h>

#include <vector>

#include "gfx/drivers/pixel_blocks.h"

namespace {

constexpr uint8_t kUntouched = 0xEE;

TEST(PixelBlocksTest, EveryPixelOfAMarkedLineBecomesABlockAndOtherLinesStay) {
  const int width = 3, lines = 4;
  for (int pixel_bytes = 1; pixel_bytes <= 4; ++pixel_bytes) {
    for (int scale : {1, 2, 3}) {
      for (int multiplier : {1, 2}) {
        const int source_pitch = width * pixel_bytes + 5;  // padded lines
        const int target_pitch = width * pixel_bytes * scale + 7;
        std::vector<uint8_t> source(static_cast<size_t>(source_pitch * lines));
        for (size_t i = 0; i < source.size(); ++i) source[i] = static_cast<uint8_t>(i * 7 + 1);
        std::vector<uint8_t> target(static_cast<size_t>(target_pitch * lines * scale), kUntouched);
        const std::vector<uint8_t> marks = {1, 0, 1, 0};  // by logical line
        const PixelBlocks blocks{source.data(), source_pitch, target.data(), target_pitch, width, lines,
                                 pixel_bytes,   scale,        marks.data(),  multiplier};

        int marked_lines = 0;
        for (int line = 0; line < lines; ++line) marked_lines += marks[line / multiplier];
        ASSERT_EQ(enlarge_marked_lines(blocks), marked_lines);

        for (int y = 0; y < lines * scale; ++y) {
          const int source_line = y / scale;
          const bool marked = marks[source_line / multiplier] != 0;
          for (int x = 0; x < target_pitch; ++x) {
            const uint8_t got = target[static_cast<size_t>(y * target_pitch + x)];
            const bool in_line = x < width * pixel_bytes * scale;
            uint8_t expected = kUntouched;
            if (marked && in_line) {
              const int pixel = x / pixel_bytes / scale, byte = x % pixel_bytes;
              expected = source[static_cast<size_t>(source_line * source_pitch + pixel * pixel_bytes + byte)];
            }
            ASSERT_EQ(got, expected) << pixel_bytes << " bytes, scale " << scale << ", multiplier " << multiplier
                                     << ", target " << x << "," << y;
          }
        }
      }
    }
  }
}

TEST(PixelBlocksTest, OutOfRangeArgumentsWriteNothing) {
  std::vector<uint8_t> source(64, 1), target(256, kUntouched);
  const uint8_t marks[4] = {1, 1, 1, 1};
  const PixelBlocks good{source.data(), 8, target.data(), 16, 4, 4, 2, 2, marks, 1};
  auto with = [&](auto change) {
    PixelBlocks b = good;
    change(b);
    return b;
  };
  const PixelBlocks bad[] = {
      with([](PixelBlocks& b) { b.source = nullptr; }),   with([](PixelBlocks& b) { b.target = nullptr; }),
      with([](PixelBlocks& b) { b.marks = nullptr; }),    with([](PixelBlocks& b) { b.width = 0; }),
      with([](PixelBlocks& b) { b.line_count = -1; }),    with([](PixelBlocks& b) { b.pixel_bytes = 5; }),
      with([](PixelBlocks& b) { b.pixel_bytes = 0; }),    with([](PixelBlocks& b) { b.scale = 0; }),
      with([](PixelBlocks& b) { b.multiplier = 0; }),     with([](PixelBlocks& b) { b.source_pitch = 7; }),
      with([](PixelBlocks& b) { b.target_pitch = 15; }),  // 4 pixels x 2 bytes x 2 do not fit
      with([](PixelBlocks& b) { b.width = 0x7FFFFFFF; }), with([](PixelBlocks& b) { b.scale = 0x40000000; }),
  };
  for (const PixelBlocks& b : bad) {
    EXPECT_EQ(enlarge_marked_lines(b), -1);
    for (uint8_t byte : target) ASSERT_EQ(byte, kUntouched);
  }
  EXPECT_EQ(enlarge_marked_lines(good), 4);
}

}  // namespace
