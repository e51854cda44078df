// The vector blitters: the same conversions as the scalar ones, 4 to 16
// pixels per step with SSE2 (24-bit output with SSSE3 shuffles, palettised
// to 32 bits with SSE4.1 inserts, true colour to 15 and 16 bits with AVX2,
// where the processor and system have them).
// Processors with MMX but without SSE2 use the scalar tables. Every routine
// finishes a line whose width is not a multiple of its step with the scalar
// formula, so it is correct for any screen, although it is chosen only for
// widths that are multiples of 4.
#include <cstdint>
#include <cstring>

#include "gfx/draw/draw_context.h"
#include "gfx/drivers/blit_common.h"
#include "gfx/drivers/blitters.h"
#include "sys/platform.h"

#if defined(__i386__) || defined(__x86_64__)
#include <emmintrin.h>
#include <immintrin.h>
#include <tmmintrin.h>

// The 32-bit build targets processors without SSE2 too: only this code is
// compiled for SSE2, and it runs only after the processor reported it. The
// shared inline helpers above stay plain. The entries realign the stack,
// as a thread started by the system may run on a 4-byte aligned one.
#if defined(__i386__)
#pragma GCC push_options
#pragma GCC target("sse2")
#define VECTOR_ENTRY __attribute__((force_align_arg_pointer))
#else
#define VECTOR_ENTRY
#endif

using namespace blit;

namespace {

inline __m128i load128(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline void store128(uint8_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
inline __m128i load64(const uint8_t* p) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)); }
inline void store64(uint8_t* p, __m128i v) { _mm_storel_epi64(reinterpret_cast<__m128i*>(p), v); }
inline __m128i splat32(uint32_t v) { return _mm_set1_epi32(static_cast<int>(v)); }
inline __m128i splat16(uint32_t v) { return _mm_set1_epi16(static_cast<short>(v)); }

// Red and blue bytes exchanged, the top byte cleared.
inline __m128i exchange_red_blue4(__m128i v) {
  const __m128i outer = _mm_and_si128(v, splat32(0x00FF00FFu));
  const __m128i swapped = _mm_shufflehi_epi16(_mm_shufflelo_epi16(outer, 0xB1), 0xB1);
  return _mm_or_si128(swapped, _mm_and_si128(v, splat32(0x0000FF00u)));
}

// Four 32-bit pixels to 15 or 16 bits: one multiply-add moves the top five
// bits of bytes 0 and 2 to where a single shift also brings green (bits 10
// to 15 of the pixel) into place.
template <uint32_t Weights, uint32_t GreenMask>
inline __m128i true4_to_16_bits_unshifted(__m128i v) {
  const __m128i outer = _mm_and_si128(v, splat32(0x00F800F8u));
  return _mm_or_si128(_mm_madd_epi16(outer, splat32(Weights)), _mm_and_si128(v, splat32(GreenMask)));
}

// Eight pixels to 15 bits (green shifted by 6; results below 0x8000 pack
// as they are) or 16 bits (shifted by 5; the result is placed in the high
// half and sign-extended back so that the saturating pack keeps it).
template <uint32_t Weights, uint32_t GreenMask, int GreenShift>
inline __m128i true8_to_16_bits(__m128i a, __m128i b) {
  a = true4_to_16_bits_unshifted<Weights, GreenMask>(a);
  b = true4_to_16_bits_unshifted<Weights, GreenMask>(b);
  if (GreenShift == 6) return _mm_packs_epi32(_mm_srli_epi32(a, 6), _mm_srli_epi32(b, 6));
  a = _mm_srai_epi32(_mm_slli_epi32(a, 16 - GreenShift), 16);
  b = _mm_srai_epi32(_mm_slli_epi32(b, 16 - GreenShift), 16);
  return _mm_packs_epi32(a, b);
}

// Eight hi-colour words.
inline __m128i hi8_to_15(__m128i s) {
  return _mm_or_si128(_mm_and_si128(s, splat16(0x001F)),
                      _mm_and_si128(_mm_srli_epi16(s, 1), splat16(0x7FE0)));
}
inline __m128i hi8_to_15_swapped(__m128i s) {
  const __m128i blue = _mm_and_si128(_mm_slli_epi16(s, 10), splat16(0x7C00));
  const __m128i green = _mm_and_si128(_mm_srli_epi16(s, 1), splat16(0x03E0));
  return _mm_or_si128(_mm_or_si128(blue, green), _mm_srli_epi16(s, 11));
}
inline __m128i hi8_to_16_swapped(__m128i s) {
  const __m128i outer = _mm_or_si128(_mm_slli_epi16(s, 11), _mm_srli_epi16(s, 11));
  return _mm_or_si128(outer, _mm_and_si128(s, splat16(0x07E0)));
}

// Eight hi-colour words expanded to 32 bits as the two standard tables do:
// 5 and 6 bit fields shifted to the top of their byte.
template <bool Swapped>
inline void hi8_expand(__m128i s, __m128i* low, __m128i* high) {
  const __m128i blue = _mm_and_si128(_mm_slli_epi16(s, 3), splat16(0x00F8));
  const __m128i green_high = _mm_and_si128(_mm_slli_epi16(s, 5), splat16(0xFC00));
  const __m128i red = _mm_and_si128(_mm_srli_epi16(s, 8), splat16(0x00F8));
  const __m128i first = _mm_or_si128(Swapped ? red : blue, green_high);
  const __m128i third = Swapped ? blue : red;
  *low = _mm_unpacklo_epi16(first, third);
  *high = _mm_unpackhi_epi16(first, third);
}

// Bytes 0 to 2 of four 32-bit lanes, packed into the low 12 bytes; the top
// 4 bytes are 0.
inline __m128i pack24(__m128i v) {
  const __m128i first = _mm_and_si128(v, _mm_set_epi32(0, 0x00FFFFFF, 0, 0x00FFFFFF));
  const __m128i second = _mm_and_si128(_mm_srli_epi64(v, 8),
                                       _mm_set_epi32(0x0000FFFF, static_cast<int>(0xFF000000u),
                                                     0x0000FFFF, static_cast<int>(0xFF000000u)));
  const __m128i halves = _mm_or_si128(first, second);  // 6 bytes in each 64-bit half
  return _mm_or_si128(_mm_move_epi64(halves), _mm_slli_si128(_mm_srli_si128(halves, 8), 6));
}

inline void store12(uint8_t* out, __m128i packed) {
  store64(out, packed);
  store32(out + 8, static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(packed, 8))));
}

// Sixteen pixels, 48 bytes, in three stores.
inline void store48(uint8_t* out, __m128i p0, __m128i p1, __m128i p2, __m128i p3) {
  store128(out, _mm_or_si128(p0, _mm_slli_si128(p1, 12)));
  store128(out + 16, _mm_or_si128(_mm_srli_si128(p1, 4), _mm_slli_si128(p2, 8)));
  store128(out + 32, _mm_or_si128(_mm_srli_si128(p2, 8), _mm_slli_si128(p3, 4)));
}

// Processors with SSSE3 (decided once per process) pack 24-bit output with
// byte shuffles, which also exchange red and blue for free.
#define SSSE3_TARGET __attribute__((target("ssse3")))

bool baseline_only = false;

// SSSE3 is bit 9 of the leaf-1 ECX word. (Read directly: the compiler's
// processor probe would bring 5 KB of its own tables into the program.)
bool read_ssse3() {
  uint32_t signature = 0, features = 0, other_features = 0;
  return sys::cpuid_leaf1(&signature, &features, &other_features) && (other_features & (1u << 9)) != 0;
}

bool has_ssse3() {
  static const bool yes = read_ssse3();
  return yes && !baseline_only;
}

// SSE4.1 (bit 19 of the same word) puts a 32-bit value straight into any
// lane of a register.
#define SSE41_TARGET __attribute__((target("sse4.1")))

bool has_sse41() {
  static const bool yes = [] {
    uint32_t signature = 0, features = 0, other_features = 0;
    return sys::cpuid_leaf1(&signature, &features, &other_features) && (other_features & (1u << 19)) != 0;
  }();
  return yes && !baseline_only;
}

// AVX2 needs the processor's flag (leaf 7, EBX bit 5) and the system's
// saving of the wide registers (OSXSAVE, then both state bits of XCR0), or
// the first wide instruction would fault or lose state at a task switch.
#define AVX2_TARGET __attribute__((target("avx2")))

bool read_avx2() {
  uint32_t signature = 0, features = 0, other_features = 0, leaf7[4] = {};
  if (!sys::cpuid_leaf1(&signature, &features, &other_features)) return false;
  constexpr uint32_t kOsxsave = 1u << 27, kAvx = 1u << 28;
  if ((other_features & (kOsxsave | kAvx)) != (kOsxsave | kAvx)) return false;
  uint32_t xcr0_low = 0, xcr0_high = 0;
  __asm__ volatile("xgetbv" : "=a"(xcr0_low), "=d"(xcr0_high) : "c"(0));
  (void)xcr0_high;
  if ((xcr0_low & 6u) != 6u) return false;
  return sys::cpuid_leaf(7, 0, leaf7) && (leaf7[1] & (1u << 5)) != 0;
}

bool has_avx2() {
  static const bool yes = read_avx2();
  return yes && !baseline_only;
}

// Shuffle controls that take sixteen 32-bit pixels in four registers to 48
// bytes of 3-byte pixels: output register k draws on source registers k
// and k + 1 (controls 2k and 2k + 1); -128 yields a zero byte.
struct Pack24Controls {
  int8_t bytes[6][16];
};
constexpr Pack24Controls make_pack24_controls(bool exchange) {
  Pack24Controls controls{};
  for (int k = 0; k < 3; ++k) {
    for (int half = 0; half < 2; ++half) {
      for (int i = 0; i < 16; ++i) {
        const int j = 16 * k + i, pixel = j / 3, channel = exchange ? 2 - j % 3 : j % 3;
        controls.bytes[2 * k + half][i] =
            pixel / 4 == k + half ? static_cast<int8_t>(pixel % 4 * 4 + channel) : static_cast<int8_t>(-128);
      }
    }
  }
  return controls;
}

template <bool Exchange>
SSSE3_TARGET inline void store48_shuffled(uint8_t* out, __m128i v0, __m128i v1, __m128i v2, __m128i v3) {
  static constexpr Pack24Controls c = make_pack24_controls(Exchange);
  const __m128i* m = reinterpret_cast<const __m128i*>(c.bytes);
  store128(out, _mm_or_si128(_mm_shuffle_epi8(v0, _mm_loadu_si128(m)), _mm_shuffle_epi8(v1, _mm_loadu_si128(m + 1))));
  store128(out + 16,
           _mm_or_si128(_mm_shuffle_epi8(v1, _mm_loadu_si128(m + 2)), _mm_shuffle_epi8(v2, _mm_loadu_si128(m + 3))));
  store128(out + 32,
           _mm_or_si128(_mm_shuffle_epi8(v2, _mm_loadu_si128(m + 4)), _mm_shuffle_epi8(v3, _mm_loadu_si128(m + 5))));
}

// fetch4(x): pixels x to x + 3 as 32-bit values whose bytes 0 to 2 are the
// output bytes; fetch(x): the same for one pixel.
template <typename Fetch4, typename Fetch>
inline void line_24(uint8_t* out, int width, Fetch4 fetch4, Fetch fetch) {
  int x = 0;
  for (; x + 16 <= width; x += 16) {
    store48(out + 3 * x, pack24(fetch4(x)), pack24(fetch4(x + 4)), pack24(fetch4(x + 8)),
            pack24(fetch4(x + 12)));
  }
  for (; x + 4 <= width; x += 4) store12(out + 3 * x, pack24(fetch4(x)));
  for (; x < width; ++x) store24(out + 3 * x, fetch(x));
}

template <typename Fetch4, typename Fetch>
inline void line_32(uint8_t* out, int width, Fetch4 fetch4, Fetch fetch) {
  int x = 0;
  for (; x + 4 <= width; x += 4) store128(out + 4 * x, fetch4(x));
  for (; x < width; ++x) store32(out + 4 * x, fetch(x));
}

// --- palettised sources: the device palette converted once per update ---
// A lookup per pixel is the work here. Measured: lanes assembled in a
// register beat 64-bit words built from the lookups for 16 and 32 bits;
// for 24 bits three 32-bit stores per four pixels beat both.

template <Formula F>
VECTOR_ENTRY void palette_to_16(uint8_t* destination, int destination_pitch) {
  uint16_t table[256];
  bool ready = false;
  walk_lines(destination, destination_pitch, [&](uint8_t* out, const uint8_t* in, int width) {
    if (!ready) build_palette_table<F>(table, screen_state->device_palette), ready = true;
    int x = 0;
    for (; x + 8 <= width; x += 8) {
      const uint8_t* i = in + x;
      __m128i v = _mm_cvtsi32_si128(table[i[0]]);
      v = _mm_insert_epi16(v, table[i[1]], 1);
      v = _mm_insert_epi16(v, table[i[2]], 2);
      v = _mm_insert_epi16(v, table[i[3]], 3);
      v = _mm_insert_epi16(v, table[i[4]], 4);
      v = _mm_insert_epi16(v, table[i[5]], 5);
      v = _mm_insert_epi16(v, table[i[6]], 6);
      v = _mm_insert_epi16(v, table[i[7]], 7);
      store128(out + 2 * x, v);
    }
    for (; x < width; ++x) store16(out + 2 * x, table[in[x]]);
  });
}

template <Formula F>
VECTOR_ENTRY void palette_to_24(uint8_t* destination, int destination_pitch) {
  uint32_t table[256];
  bool ready = false;
  walk_lines(destination, destination_pitch, [&](uint8_t* out, const uint8_t* in, int width) {
    if (!ready) build_palette_table<F>(table, screen_state->device_palette), ready = true;
    int x = 0;
    for (; x + 4 <= width; x += 4)
      store24x4(out + 3 * x, table[in[x]], table[in[x + 1]], table[in[x + 2]], table[in[x + 3]]);
    for (; x < width; ++x) store24(out + 3 * x, table[in[x]]);
  });
}

inline __m128i lookup4(const uint32_t* table, const uint8_t* in) {
  return _mm_set_epi32(static_cast<int>(table[in[3]]), static_cast<int>(table[in[2]]),
                       static_cast<int>(table[in[1]]), static_cast<int>(table[in[0]]));
}

// Each looked-up pixel inserted into its lane: one instruction where SSE2
// needs a move and an unpack. Measured about a tenth more pixels a second.
SSE41_TARGET void palette_line_32_inserted(uint8_t* out, const uint8_t* in, int width, const uint32_t* table) {
  int x = 0;
  for (; x + 4 <= width; x += 4) {
    __m128i v = _mm_cvtsi32_si128(static_cast<int>(table[in[x]]));
    v = _mm_insert_epi32(v, static_cast<int>(table[in[x + 1]]), 1);
    v = _mm_insert_epi32(v, static_cast<int>(table[in[x + 2]]), 2);
    v = _mm_insert_epi32(v, static_cast<int>(table[in[x + 3]]), 3);
    store128(out + 4 * x, v);
  }
  for (; x < width; ++x) store32(out + 4 * x, table[in[x]]);
}

template <Formula F>
VECTOR_ENTRY void palette_to_32(uint8_t* destination, int destination_pitch) {
  uint32_t table[256];
  bool ready = false;
  const bool inserted = has_sse41();
  walk_lines(destination, destination_pitch, [&](uint8_t* out, const uint8_t* in, int width) {
    if (!ready) build_palette_table<F>(table, screen_state->device_palette), ready = true;
    if (inserted) return palette_line_32_inserted(out, in, width, table);
    line_32(out, width, [&](int x) { return lookup4(table, in + x); },
            [&](int x) { return table[in[x]]; });
  });
}

// --- hi-colour sources ---

template <__m128i (*Vector)(__m128i), Formula F>
VECTOR_ENTRY void hi_to_16_bits(uint8_t* destination, int destination_pitch) {
  walk_lines(destination, destination_pitch, [](uint8_t* out, const uint8_t* in, int width) {
    int x = 0;
    for (; x + 8 <= width; x += 8) store128(out + 2 * x, Vector(load128(in + 2 * x)));
    if (x + 4 <= width) store64(out + 2 * x, Vector(load64(in + 2 * x))), x += 4;
    for (; x < width; ++x) store16(out + 2 * x, F(load16(in + 2 * x)));
  });
}

enum class TableOrder { native, swapped, other };

// The hi-colour expansion is computed directly when conversion_table holds
// one of the two standard orders, and looked up otherwise.
TableOrder conversion_table_order() {
  static uint32_t native[512], swapped[512];
  static const bool filled = (fill_conversion_table(native, false), fill_conversion_table(swapped, true), true);
  (void)filled;
  if (std::memcmp(conversion_table, native, sizeof native) == 0) return TableOrder::native;
  if (std::memcmp(conversion_table, swapped, sizeof swapped) == 0) return TableOrder::swapped;
  return TableOrder::other;
}

inline __m128i hi_lookup4(const uint32_t* table, const uint8_t* in) {
  const uint32_t a = load32(in), b = load32(in + 4);
  return _mm_set_epi32(static_cast<int>(hi_expand(table, b >> 16)),
                       static_cast<int>(hi_expand(table, b & 0xFFFF)),
                       static_cast<int>(hi_expand(table, a >> 16)),
                       static_cast<int>(hi_expand(table, a & 0xFFFF)));
}

template <bool Swapped>
inline __m128i hi_compute4(const uint8_t* in) {
  __m128i low, high;
  hi8_expand<Swapped>(load64(in), &low, &high);
  return low;
}

template <bool Swapped>
void hi_line_32_computed(uint8_t* out, const uint8_t* in, int width, const uint32_t* table) {
  int x = 0;
  for (; x + 8 <= width; x += 8) {
    __m128i low, high;
    hi8_expand<Swapped>(load128(in + 2 * x), &low, &high);
    store128(out + 4 * x, low);
    store128(out + 4 * x + 16, high);
  }
  if (x + 4 <= width) store128(out + 4 * x, hi_compute4<Swapped>(in + 2 * x)), x += 4;
  for (; x < width; ++x) store32(out + 4 * x, hi_expand(table, load16(in + 2 * x)));
}

template <bool Swapped>
void hi_line_24_computed(uint8_t* out, const uint8_t* in, int width, const uint32_t* table) {
  int x = 0;
  for (; x + 16 <= width; x += 16) {
    __m128i a, b, c, d;
    hi8_expand<Swapped>(load128(in + 2 * x), &a, &b);
    hi8_expand<Swapped>(load128(in + 2 * x + 16), &c, &d);
    store48(out + 3 * x, pack24(a), pack24(b), pack24(c), pack24(d));
  }
  for (; x + 4 <= width; x += 4) store12(out + 3 * x, pack24(hi_compute4<Swapped>(in + 2 * x)));
  for (; x < width; ++x) store24(out + 3 * x, hi_expand(table, load16(in + 2 * x)));
}

template <bool Swapped>
SSSE3_TARGET void hi_line_24_shuffled(uint8_t* out, const uint8_t* in, int width, const uint32_t* table) {
  int x = 0;
  for (; x + 16 <= width; x += 16) {
    __m128i a, b, c, d;
    hi8_expand<Swapped>(load128(in + 2 * x), &a, &b);
    hi8_expand<Swapped>(load128(in + 2 * x + 16), &c, &d);
    store48_shuffled<false>(out + 3 * x, a, b, c, d);
  }
  hi_line_24_computed<Swapped>(out + 3 * x, in + 2 * x, width - x, table);
}

template <bool Swapped>
void hi_to_24_computed(uint8_t* destination, int destination_pitch, const uint32_t* table) {
  if (has_ssse3()) {
    walk_lines(destination, destination_pitch, [table](uint8_t* out, const uint8_t* in, int width) {
      hi_line_24_shuffled<Swapped>(out, in, width, table);
    });
  } else {
    walk_lines(destination, destination_pitch, [table](uint8_t* out, const uint8_t* in, int width) {
      hi_line_24_computed<Swapped>(out, in, width, table);
    });
  }
}

VECTOR_ENTRY void hi_to_24(uint8_t* destination, int destination_pitch) {
  const uint32_t* table = conversion_table;
  if (!table) return;
  switch (conversion_table_order()) {
    case TableOrder::native:
      hi_to_24_computed<false>(destination, destination_pitch, table);
      break;
    case TableOrder::swapped:
      hi_to_24_computed<true>(destination, destination_pitch, table);
      break;
    case TableOrder::other:
      walk_lines(destination, destination_pitch, [table](uint8_t* out, const uint8_t* in, int width) {
        line_24(out, width, [=](int x) { return hi_lookup4(table, in + 2 * x); },
                [=](int x) { return hi_expand(table, load16(in + 2 * x)); });
      });
      break;
  }
}

VECTOR_ENTRY void hi_to_32(uint8_t* destination, int destination_pitch) {
  const uint32_t* table = conversion_table;
  if (!table) return;
  switch (conversion_table_order()) {
    case TableOrder::native:
      walk_lines(destination, destination_pitch, [table](uint8_t* out, const uint8_t* in, int width) {
        hi_line_32_computed<false>(out, in, width, table);
      });
      break;
    case TableOrder::swapped:
      walk_lines(destination, destination_pitch, [table](uint8_t* out, const uint8_t* in, int width) {
        hi_line_32_computed<true>(out, in, width, table);
      });
      break;
    case TableOrder::other:
      walk_lines(destination, destination_pitch, [table](uint8_t* out, const uint8_t* in, int width) {
        line_32(out, width, [=](int x) { return hi_lookup4(table, in + 2 * x); },
                [=](int x) { return hi_expand(table, load16(in + 2 * x)); });
      });
      break;
  }
}

// --- true-colour sources ---

// Sixteen pixels per step (measured faster than eight at both benchmark
// frame sizes), then eight, four and single ones.
template <uint32_t Weights, uint32_t GreenMask, int GreenShift, Formula F>
void true_line_16_bits(uint8_t* out, const uint8_t* in, int width) {
  int x = 0;
  for (; x + 16 <= width; x += 16) {
    const __m128i low = true8_to_16_bits<Weights, GreenMask, GreenShift>(load128(in + 4 * x), load128(in + 4 * x + 16));
    const __m128i high =
        true8_to_16_bits<Weights, GreenMask, GreenShift>(load128(in + 4 * x + 32), load128(in + 4 * x + 48));
    store128(out + 2 * x, low);
    store128(out + 2 * x + 16, high);
  }
  if (x + 8 <= width) {
    store128(out + 2 * x, true8_to_16_bits<Weights, GreenMask, GreenShift>(load128(in + 4 * x),
                                                                           load128(in + 4 * x + 16)));
    x += 8;
  }
  if (x + 4 <= width) {
    const __m128i a = load128(in + 4 * x);
    store64(out + 2 * x, true8_to_16_bits<Weights, GreenMask, GreenShift>(a, a));
    x += 4;
  }
  for (; x < width; ++x) store16(out + 2 * x, F(load32(in + 4 * x)));
}

// Sixteen pixels in two wide registers: half the operations of the SSE2
// form, and the unsigned pack keeps 16-bit results after a single shift.
// The pack works within 128-bit halves, so the 64-bit quarters come out as
// pixels 0-3, 8-11, 4-7, 12-15 and are put back in order.
template <uint32_t Weights, uint32_t GreenMask, int GreenShift, Formula F>
AVX2_TARGET void true_line_16_bits_wide(uint8_t* out, const uint8_t* in, int width) {
  const __m256i outer = _mm256_set1_epi32(0x00F800F8), weights = _mm256_set1_epi32(static_cast<int>(Weights)),
                green = _mm256_set1_epi32(static_cast<int>(GreenMask));
  int x = 0;
  for (; x + 16 <= width; x += 16) {
    __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + 4 * x));
    __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + 4 * x + 32));
    a = _mm256_or_si256(_mm256_madd_epi16(_mm256_and_si256(a, outer), weights), _mm256_and_si256(a, green));
    b = _mm256_or_si256(_mm256_madd_epi16(_mm256_and_si256(b, outer), weights), _mm256_and_si256(b, green));
    const __m256i packed =
        _mm256_packus_epi32(_mm256_srli_epi32(a, GreenShift), _mm256_srli_epi32(b, GreenShift));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 2 * x), _mm256_permute4x64_epi64(packed, 0xD8));
  }
  // Clean upper halves before the SSE tail and whatever runs after us: left
  // dirty, every non-VEX instruction on this thread would pay the state
  // transition. GCC omits it before the tail jump (and at -O0 everywhere).
  _mm256_zeroupper();
  true_line_16_bits<Weights, GreenMask, GreenShift, F>(out + 2 * x, in + 4 * x, width - x);
}

template <uint32_t Weights, uint32_t GreenMask, int GreenShift, Formula F>
VECTOR_ENTRY void true_to_16_bits(uint8_t* destination, int destination_pitch) {
  if (has_avx2()) {
    walk_lines(destination, destination_pitch, true_line_16_bits_wide<Weights, GreenMask, GreenShift, F>);
  } else {
    walk_lines(destination, destination_pitch, true_line_16_bits<Weights, GreenMask, GreenShift, F>);
  }
}

template <bool Exchange>
void true_line_24(uint8_t* out, const uint8_t* in, int width) {
  line_24(out, width,
          [in](int x) {
            const __m128i v = load128(in + 4 * x);
            return Exchange ? exchange_red_blue4(v) : v;
          },
          [in](int x) {
            const uint32_t s = load32(in + 4 * x);
            return Exchange ? exchange_red_blue(s) : s;
          });
}

template <bool Exchange>
SSSE3_TARGET void true_line_24_shuffled(uint8_t* out, const uint8_t* in, int width) {
  int x = 0;
  for (; x + 16 <= width; x += 16) {
    store48_shuffled<Exchange>(out + 3 * x, load128(in + 4 * x), load128(in + 4 * x + 16),
                               load128(in + 4 * x + 32), load128(in + 4 * x + 48));
  }
  true_line_24<Exchange>(out + 3 * x, in + 4 * x, width - x);
}

template <bool Exchange>
VECTOR_ENTRY void true_to_24(uint8_t* destination, int destination_pitch) {
  if (has_ssse3()) walk_lines(destination, destination_pitch, true_line_24_shuffled<Exchange>);
  else walk_lines(destination, destination_pitch, true_line_24<Exchange>);
}

VECTOR_ENTRY void true_to_32_swapped(uint8_t* destination, int destination_pitch) {
  walk_lines(destination, destination_pitch, [](uint8_t* out, const uint8_t* in, int width) {
    line_32(out, width, [in](int x) { return exchange_red_blue4(load128(in + 4 * x)); },
            [in](int x) { return exchange_red_blue(load32(in + 4 * x)); });
  });
}

// Weights of the multiply-add: the low 16 bits weigh byte 0, the high 16
// bits byte 2. After the green shift, byte 0 lands in bits 0-4 ("low") or in
// the top field ("high") and byte 2 in the other.
constexpr uint32_t kByte0Low15 = 0x20000008u, kByte0High15 = 0x00082000u;
constexpr uint32_t kByte0Low16 = 0x20000004u, kByte0High16 = 0x00042000u;
constexpr uint32_t kGreen5 = 0x0000F800u, kGreen6 = 0x0000FC00u;

// bytes from in to out; the 16-byte blocks of out bypass the cache, the
// unaligned ends go through it.
inline void stream_copy(uint8_t* out, const uint8_t* in, size_t bytes) {
  size_t head = (16 - (reinterpret_cast<uintptr_t>(out) & 15)) & 15;
  if (head > bytes) head = bytes;
  std::memcpy(out, in, head);
  size_t i = head;
  for (; i + 64 <= bytes; i += 64) {
    const __m128i a = load128(in + i), b = load128(in + i + 16), c = load128(in + i + 32),
                  d = load128(in + i + 48);
    _mm_stream_si128(reinterpret_cast<__m128i*>(out + i), a);
    _mm_stream_si128(reinterpret_cast<__m128i*>(out + i + 16), b);
    _mm_stream_si128(reinterpret_cast<__m128i*>(out + i + 32), c);
    _mm_stream_si128(reinterpret_cast<__m128i*>(out + i + 48), d);
  }
  for (; i + 16 <= bytes; i += 16) _mm_stream_si128(reinterpret_cast<__m128i*>(out + i), load128(in + i));
  std::memcpy(out + i, in + i, bytes - i);
}

}  // namespace

VECTOR_ENTRY bool copy_lines_streaming(uint8_t* destination, int destination_pitch) {
  const ScreenState* screen = screen_state;
  if (!screen || screen->pitch <= 0 || !screen->visible_page || !screen->dirty_lines || !destination) return false;
  const size_t output_lines = static_cast<size_t>(screen->height) * static_cast<size_t>(screen->scanline_multiplier);
  const size_t pitch = destination_pitch < 0 ? 0u - static_cast<size_t>(destination_pitch)
                                             : static_cast<size_t>(destination_pitch);
  if (pitch * output_lines <= streaming_threshold() || !vector_blitters_supported()) return false;
  const auto bytes = static_cast<size_t>(screen->pitch);
  walk_lines(destination, destination_pitch,
             [bytes](uint8_t* out, const uint8_t* in, int) { stream_copy(out, in, bytes); });
  // The streamed stores are made visible before the surface is handed on
  // (unlocked, drawn by another thread).
  _mm_sfence();
  return true;
}

void set_vector_blitters_baseline(bool baseline) { baseline_only = baseline; }

bool vector_blitters_wide() { return has_avx2(); }

const Blitter native_blitters_mmx[kBlitterCount] = {
    //                to 15 bits                                            to 16 bits                                            to 24 bits                        to 32 bits
    /* palettised  */ palette_to_16<true_to_15_swapped>,                    palette_to_16<true_to_16_swapped>,                    palette_to_24<exchange_red_blue>, palette_to_32<exchange_red_blue>,
    /* hi-colour   */ hi_to_16_bits<hi8_to_15, hi_to_15>,                   copy_lines,                                           hi_to_24,                         hi_to_32,
    /* true colour */ true_to_16_bits<kByte0Low15, kGreen5, 6, true_to_15>, true_to_16_bits<kByte0Low16, kGreen6, 5, true_to_16>, true_to_24<false>,                copy_lines,
};

const Blitter swapped_blitters_mmx[kBlitterCount] = {
    //                to 15 bits                                                     to 16 bits                                                     to 24 bits                  to 32 bits
    /* palettised  */ palette_to_16<true_to_15>,                                     palette_to_16<true_to_16>,                                     palette_to_24<keep_colour>, palette_to_32<keep_colour>,
    /* hi-colour   */ hi_to_16_bits<hi8_to_15_swapped, hi_to_15_swapped>,            hi_to_16_bits<hi8_to_16_swapped, hi_to_16_swapped>,            hi_to_24,                   hi_to_32,
    /* true colour */ true_to_16_bits<kByte0High15, kGreen5, 6, true_to_15_swapped>, true_to_16_bits<kByte0High16, kGreen6, 5, true_to_16_swapped>, true_to_24<true>,           true_to_32_swapped,
};

#if defined(__i386__)
#pragma GCC pop_options
#endif

#else

// No vector forms on other processors; select_blitter never picks these.
bool copy_lines_streaming(uint8_t*, int) { return false; }
const Blitter native_blitters_mmx[kBlitterCount] = {};
void set_vector_blitters_baseline(bool) {}
bool vector_blitters_wide() { return false; }
const Blitter swapped_blitters_mmx[kBlitterCount] = {};

#endif
