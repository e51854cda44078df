// The drawing colours and the conversion of 0xRRGGBB colours to pixels.
#pragma once

#include <cstdint>

// Flags of gfx_color: which argument was left out.
constexpr int kColorNoForeground = 0x1;
constexpr int kColorNoBackground = 0x2;

// A 5-6-5 pixel widened to 0xFFRRGGBB, each channel's high bits repeated
// into its low bits.
constexpr uint32_t widen_565(uint32_t pixel) {
  const uint32_t r5 = (pixel >> 11) & 0x1F, g6 = (pixel >> 5) & 0x3F, b5 = pixel & 0x1F;
  const uint32_t r = r5 << 3 | r5 >> 2, g = g6 << 2 | g6 >> 4, b = b5 << 3 | b5 >> 2;
  return 0xFF000000u | r << 16 | g << 8 | b;
}
