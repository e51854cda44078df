// Choosing the blitter for the open screen and a driver's surface format.
#include <atomic>
#include <cstdint>

#include "gfx/draw/draw_context.h"
#include "gfx/drivers/cache_size.h"
#include "gfx/drivers/blitters.h"
#include "gfx/screen.h"

namespace {

constexpr uint32_t kCpuSse2 = 1u << 26;

}  // namespace

int blitter_source_class(int depth) {
  switch (depth) {
    case 1: case 2: case 4: case 8: return kPalettisedSource;
    case 15: case 16: return kHiColourSource;
    case 24: case 32: return kTrueColourSource;
    default: return -1;
  }
}

int blitter_column(int depth) {
  switch (depth) {
    case 15: return kTo15Bits;
    case 16: return kTo16Bits;
    case 24: return kTo24Bits;
    case 32: return kTo32Bits;
    default: return -1;
  }
}

void fill_conversion_table(uint32_t* table, bool swapped) {
  if (!table) return;
  uint32_t* low = table;
  uint32_t* high = table + 256;
  for (uint32_t i = 0; i < 256; ++i) {
    if (swapped) {
      low[i] = ((i & 0x1Fu) << 19) | ((i & 0xE0u) << 5);
      high[i] = ((i & 0x07u) << 13) | (i & 0xF8u);
    } else {
      low[i] = ((i & 0x1Fu) << 3) | ((i & 0xE0u) << 5);
      high[i] = ((i & 0x07u) << 13) | ((i & 0xF8u) << 16);
    }
  }
}

namespace {

// 0 until first asked; the event threads that ask all compute the same.
std::atomic<size_t> threshold{0};

}  // namespace

size_t streaming_threshold() {
  size_t bytes = threshold.load(std::memory_order_relaxed);
  if (bytes == 0) {
    const size_t cache = last_level_cache_bytes();
    bytes = cache != 0 ? cache / 2 : SIZE_MAX;
    threshold.store(bytes, std::memory_order_relaxed);
  }
  return bytes;
}

void set_streaming_threshold(size_t bytes) { threshold.store(bytes, std::memory_order_relaxed); }

// The vector forms are written for SSE2; a processor with MMX but without
// SSE2 takes the scalar forms, which give the same output.
bool vector_blitters_supported() {
#if defined(__i386__) || defined(__x86_64__)
  return (cpu_features() & kCpuSse2) != 0;
#else
  return false;
#endif
}

Blitter select_blitter(int destination_depth, int swap_red_blue) {
  const ScreenState* screen = screen_state;
  if (!screen || !conversion_table) return nullptr;
  fill_conversion_table(conversion_table, swap_red_blue != 0);

  const bool vector = (screen->flags & kScreenHasMmx) && screen->scanline_multiplier == 1 &&
                      screen->width % 4 == 0 && vector_blitters_supported();
  const Blitter* table = vector ? (swap_red_blue ? swapped_blitters_mmx : native_blitters_mmx)
                                : (swap_red_blue ? swapped_blitters : native_blitters);

  const int source = blitter_source_class(screen->depth);
  if (source < 0) return nullptr;
  if (source == kPalettisedSource && destination_depth == 8) return copy_lines;
  const int column = blitter_column(destination_depth);
  if (column < 0) return nullptr;
  return table[blitter_index(source, column)];
}
