#include "gfx/drivers/pixel_blocks.h"

#include <cstddef>
#include <cstring>

namespace {

bool valid(const PixelBlocks& b) {
  if (!b.source || !b.target || !b.marks) return false;
  if (b.width <= 0 || b.line_count <= 0 || b.pixel_bytes < 1 || b.pixel_bytes > 4) return false;
  if (b.scale < 1 || b.scale > 64 || b.multiplier < 1) return false;
  const int64_t source_bytes = static_cast<int64_t>(b.width) * b.pixel_bytes;
  const int64_t target_bytes = source_bytes * b.scale;
  return b.source_pitch >= source_bytes && target_bytes <= INT32_MAX && b.target_pitch >= target_bytes;
}

// One source line into one target line, each pixel scale times; the pixel
// size is a constant so that each copy is a plain move.
template <int kBytes>
void widen_line(const uint8_t* source, uint8_t* target, int width, int scale) {
  for (int x = 0; x < width; ++x, source += kBytes) {
    for (int copy = 0; copy < scale; ++copy, target += kBytes) std::memcpy(target, source, kBytes);
  }
}

void widen_line(const uint8_t* source, uint8_t* target, int width, int pixel_bytes, int scale) {
  switch (pixel_bytes) {
    case 1: widen_line<1>(source, target, width, scale); break;
    case 2: widen_line<2>(source, target, width, scale); break;
    case 3: widen_line<3>(source, target, width, scale); break;
    default: widen_line<4>(source, target, width, scale); break;
  }
}

}  // namespace

int enlarge_marked_lines(const PixelBlocks& b) {
  if (!valid(b)) return -1;
  const size_t target_bytes = static_cast<size_t>(b.width) * static_cast<size_t>(b.pixel_bytes) * static_cast<size_t>(b.scale);
  int enlarged = 0;
  for (int line = 0; line < b.line_count; ++line) {
    if (!b.marks[line / b.multiplier]) continue;
    uint8_t* first = b.target + static_cast<ptrdiff_t>(line) * b.scale * b.target_pitch;
    widen_line(b.source + static_cast<ptrdiff_t>(line) * b.source_pitch, first, b.width, b.pixel_bytes, b.scale);
    // The other lines of the block are the same bytes.
    for (int copy = 1; copy < b.scale; ++copy) std::memcpy(first + static_cast<ptrdiff_t>(copy) * b.target_pitch, first, target_bytes);
    ++enlarged;
  }
  return enlarged;
}
