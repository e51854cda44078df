// The scalar blitters: one routine per source and destination format, each
// walking the dirty lines with line repetition.
#include "gfx/draw/draw_context.h"
#include "gfx/drivers/blit_common.h"
#include "gfx/drivers/blitters.h"

using namespace blit;

namespace {

// Conversions to 15 and 16 bits: two pixels per 32-bit store, then the odd
// pixel on its own.
template <typename Fetch>
inline void line_16(uint8_t* out, int width, Fetch fetch) {
  int x = 0;
  for (; x + 1 < width; x += 2) store32(out + 2 * x, fetch(x) | (fetch(x + 1) << 16));
  if (x < width) store16(out + 2 * x, fetch(x));
}

// Conversions to 24 bits: bytes 0 to 2 of each fetched value, four pixels
// per three 32-bit stores.
template <typename Fetch>
inline void line_24(uint8_t* out, int width, Fetch fetch) {
  int x = 0;
  for (; x + 3 < width; x += 4) store24x4(out + 3 * x, fetch(x), fetch(x + 1), fetch(x + 2), fetch(x + 3));
  for (; x < width; ++x) store24(out + 3 * x, fetch(x));
}

template <typename Fetch>
inline void line_32(uint8_t* out, int width, Fetch fetch) {
  for (int x = 0; x < width; ++x) store32(out + 4 * x, fetch(x));
}

template <Formula F>
void palette_to_16(uint8_t* destination, int destination_pitch) {
  uint16_t table[256];
  bool ready = false;
  walk_lines(destination, destination_pitch, [&](uint8_t* out, const uint8_t* in, int width) {
    if (!ready) build_palette_table<F>(table, screen_state->device_palette), ready = true;
    line_16(out, width, [&](int x) -> uint32_t { return table[in[x]]; });
  });
}

template <Formula F>
void palette_to_24(uint8_t* destination, int destination_pitch) {
  uint32_t table[256];
  bool ready = false;
  walk_lines(destination, destination_pitch, [&](uint8_t* out, const uint8_t* in, int width) {
    if (!ready) build_palette_table<F>(table, screen_state->device_palette), ready = true;
    line_24(out, width, [&](int x) { return table[in[x]]; });
  });
}

template <Formula F>
void palette_to_32(uint8_t* destination, int destination_pitch) {
  uint32_t table[256];
  bool ready = false;
  walk_lines(destination, destination_pitch, [&](uint8_t* out, const uint8_t* in, int width) {
    if (!ready) build_palette_table<F>(table, screen_state->device_palette), ready = true;
    line_32(out, width, [&](int x) { return table[in[x]]; });
  });
}

template <Formula F>
void hi_to_16_bits(uint8_t* destination, int destination_pitch) {
  walk_lines(destination, destination_pitch, [](uint8_t* out, const uint8_t* in, int width) {
    line_16(out, width, [in](int x) { return F(load16(in + 2 * x)); });
  });
}

void hi_to_24(uint8_t* destination, int destination_pitch) {
  const uint32_t* table = conversion_table;
  if (!table) return;
  walk_lines(destination, destination_pitch, [table](uint8_t* out, const uint8_t* in, int width) {
    line_24(out, width, [in, table](int x) { return hi_expand(table, load16(in + 2 * x)); });
  });
}

void hi_to_32(uint8_t* destination, int destination_pitch) {
  const uint32_t* table = conversion_table;
  if (!table) return;
  walk_lines(destination, destination_pitch, [table](uint8_t* out, const uint8_t* in, int width) {
    line_32(out, width, [in, table](int x) { return hi_expand(table, load16(in + 2 * x)); });
  });
}

template <Formula F>
void true_to_16_bits(uint8_t* destination, int destination_pitch) {
  walk_lines(destination, destination_pitch, [](uint8_t* out, const uint8_t* in, int width) {
    line_16(out, width, [in](int x) { return F(load32(in + 4 * x)); });
  });
}

template <Formula F>
void true_to_24(uint8_t* destination, int destination_pitch) {
  walk_lines(destination, destination_pitch, [](uint8_t* out, const uint8_t* in, int width) {
    line_24(out, width, [in](int x) { return F(load32(in + 4 * x)); });
  });
}

template <Formula F>
void true_to_32(uint8_t* destination, int destination_pitch) {
  walk_lines(destination, destination_pitch, [](uint8_t* out, const uint8_t* in, int width) {
    line_32(out, width, [in](int x) { return F(load32(in + 4 * x)); });
  });
}

constexpr uint32_t without_top_byte(uint32_t s) { return s & 0x00FFFFFFu; }

}  // namespace

void copy_lines(uint8_t* destination, int destination_pitch) {
  const ScreenState* screen = screen_state;
  if (!screen || screen->pitch <= 0 || !screen->visible_page || !screen->dirty_lines) return;
  if (copy_lines_streaming(destination, destination_pitch)) return;
  const auto bytes = static_cast<uint32_t>(screen->pitch);
  if (screen->scanline_multiplier != 1 || destination_pitch != screen->pitch) {
    walk_lines(destination, destination_pitch,
               [bytes](uint8_t* out, const uint8_t* in, int) { block_copy(out, in, bytes); });
    return;
  }
  // The output is laid out like the page: each run of dirty lines is one
  // block, which saves a call and the block's ends per line.
  const uint8_t* dirty = screen->dirty_lines;
  const ptrdiff_t pitch = screen->pitch;
  for (int y = 0; y < screen->height;) {
    if (!dirty[y]) {
      ++y;
      continue;
    }
    int end = y + 1;
    while (end < screen->height && dirty[end]) ++end;
    block_copy(destination + y * pitch, screen->visible_page + y * pitch, static_cast<uint32_t>((end - y) * pitch));
    y = end;
  }
}

void colorkey_copy(uint8_t* destination, int destination_pitch) {
  // Only true-colour pages hold 32-bit pixels to mask.
  if (!screen_state || screen_state->depth != 32) return;
  true_to_32<without_top_byte>(destination, destination_pitch);
}

// A palette entry holds red in byte 0, so the native palettised forms use
// the swapped true-colour formulas and vice versa.
const Blitter native_blitters[kBlitterCount] = {
    //                to 15 bits                         to 16 bits                         to 24 bits                        to 32 bits
    /* palettised  */ palette_to_16<true_to_15_swapped>, palette_to_16<true_to_16_swapped>, palette_to_24<exchange_red_blue>, palette_to_32<exchange_red_blue>,
    /* hi-colour   */ hi_to_16_bits<hi_to_15>,           copy_lines,                        hi_to_24,                         hi_to_32,
    /* true colour */ true_to_16_bits<true_to_15>,       true_to_16_bits<true_to_16>,       true_to_24<keep_colour>,          copy_lines,
};

const Blitter swapped_blitters[kBlitterCount] = {
    //                to 15 bits                           to 16 bits                           to 24 bits                     to 32 bits
    /* palettised  */ palette_to_16<true_to_15>,           palette_to_16<true_to_16>,           palette_to_24<keep_colour>,    palette_to_32<keep_colour>,
    /* hi-colour   */ hi_to_16_bits<hi_to_15_swapped>,     hi_to_16_bits<hi_to_16_swapped>,     hi_to_24,                      hi_to_32,
    /* true colour */ true_to_16_bits<true_to_15_swapped>, true_to_16_bits<true_to_16_swapped>, true_to_24<exchange_red_blue>, true_to_32<exchange_red_blue>,
};
