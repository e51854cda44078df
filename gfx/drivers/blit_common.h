// What the scalar and vector blitters share: the per-pixel formulas, the
// palette lookup tables built once per update, and the line walk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "gfx/screen.h"

namespace blit {

inline uint16_t load16(const uint8_t* p) {
  uint16_t v;
  std::memcpy(&v, p, 2);
  return v;
}
inline uint32_t load32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
inline void store16(uint8_t* p, uint32_t v) {
  const auto word = static_cast<uint16_t>(v);
  std::memcpy(p, &word, 2);
}
inline void store32(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }
// Bytes 0, 1 and 2 of v.
inline void store24(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
}
// Four 3-byte pixels as three 32-bit words.
inline void store24x4(uint8_t* p, uint32_t v0, uint32_t v1, uint32_t v2, uint32_t v3) {
  store32(p, (v0 & 0xFFFFFFu) | (v1 << 24));
  store32(p + 4, ((v1 >> 8) & 0xFFFFu) | (v2 << 16));
  store32(p + 8, ((v2 >> 16) & 0xFFu) | (v3 << 8));
}

// True colour s = 0xAARRGGBB (blue in byte 0). A palette entry holds red in
// byte 0, so the swapped true-colour formula gives the native palettised
// result and vice versa. Bit 15 of 15-bit results is 0.
constexpr uint32_t true_to_15(uint32_t s) {
  return ((s >> 3) & 0x1Fu) | ((s >> 6) & 0x3E0u) | ((s >> 9) & 0x7C00u);
}
constexpr uint32_t true_to_15_swapped(uint32_t s) {
  return ((s >> 19) & 0x1Fu) | ((s >> 6) & 0x3E0u) | ((s << 7) & 0x7C00u);
}
constexpr uint32_t true_to_16(uint32_t s) {
  return ((s >> 3) & 0x1Fu) | ((s >> 5) & 0x7E0u) | ((s >> 8) & 0xF800u);
}
constexpr uint32_t true_to_16_swapped(uint32_t s) {
  return ((s >> 19) & 0x1Fu) | ((s >> 5) & 0x7E0u) | ((s << 8) & 0xF800u);
}
// Bytes 0 and 2 exchanged; the top byte becomes 0.
constexpr uint32_t exchange_red_blue(uint32_t s) {
  return ((s >> 16) & 0xFFu) | (s & 0xFF00u) | ((s & 0xFFu) << 16);
}
constexpr uint32_t keep_colour(uint32_t s) { return s; }

// Hi-colour s (5-6-5, at most 0xFFFF).
constexpr uint32_t hi_to_15(uint32_t s) { return (s & 0x1Fu) | ((s >> 1) & 0x7FE0u); }
constexpr uint32_t hi_to_15_swapped(uint32_t s) {
  return ((s << 10) & 0x7C00u) | ((s >> 1) & 0x3E0u) | (s >> 11);
}
constexpr uint32_t hi_to_16_swapped(uint32_t s) {
  return ((s << 11) & 0xF800u) | (s & 0x7E0u) | (s >> 11);
}
inline uint32_t hi_expand(const uint32_t* table, uint32_t s) {
  return table[s & 0xFFu] | table[256 + (s >> 8)];
}

using Formula = uint32_t (*)(uint32_t);

// The device palette converted once per update, so that each pixel costs a
// single lookup.
template <Formula F>
void build_palette_table(uint16_t* table, const uint32_t* palette) {
  for (int i = 0; i < 256; ++i) table[i] = static_cast<uint16_t>(F(palette[i]));
}
template <Formula F>
void build_palette_table(uint32_t* table, const uint32_t* palette) {
  for (int i = 0; i < 256; ++i) table[i] = F(palette[i]);
}

// Calls line(output, source, width) for every output line whose logical
// line is dirty; output line k shows logical line k / scanline_multiplier.
template <typename Line>
inline void walk_lines(uint8_t* destination, int destination_pitch, Line&& line) {
  const ScreenState* screen = screen_state;
  if (!screen || !screen->visible_page || !screen->dirty_lines || screen->width <= 0) return;
  const uint8_t* dirty = screen->dirty_lines;
  const uint8_t* source = screen->visible_page;
  const ptrdiff_t source_pitch = screen->pitch;
  const ptrdiff_t output_pitch = destination_pitch;
  const int multiplier = screen->scanline_multiplier;
  const ptrdiff_t total = static_cast<ptrdiff_t>(screen->height) * multiplier;
  const int width = screen->width;
  ptrdiff_t y = 0;
  int repeat = 0;
  for (ptrdiff_t k = 0; k < total; ++k) {
    if (dirty[y]) line(destination + k * output_pitch, source + y * source_pitch, width);
    if (++repeat >= multiplier) {
      repeat = 0;
      ++y;
    }
  }
}

}  // namespace blit
