// Nearest-neighbour enlargement by a whole factor, for a driver whose system
// stretch may blend neighbouring pixels (and blur the pixel art): every pixel
// of the marked lines of a converted picture becomes a scale x scale block of
// the target, and the unmarked lines are left as they are.
#pragma once

#include <cstdint>

struct PixelBlocks {
  const uint8_t* source;  // line_count lines of width pixels
  int source_pitch;
  uint8_t* target;  // line_count x scale lines of width x scale pixels
  int target_pitch;
  int width;
  int line_count;
  int pixel_bytes;  // 1 to 4
  int scale;        // 1 and up
  // Marks by logical line: source line k is marked when marks[k / multiplier]
  // is set, as a screen with a scan-line multiplier marks its lines.
  const uint8_t* marks;
  int multiplier;  // 1 and up
};

// The number of source lines enlarged; -1, with nothing written, when a
// pointer is null or a size or factor is out of range, or a target line is
// too short for width x scale pixels.
int enlarge_marked_lines(const PixelBlocks& blocks);
