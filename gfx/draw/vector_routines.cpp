// Vector forms of the block and span routines (SSE2). Each gives the same
// memory contents as its plain twin for every count and alignment; the
// blends store the colour's alpha byte, as the plain blend does.
#include <cstddef>
#include <cstring>

#include "gfx/screen.h"
#include "gfx/draw/vector_routines.h"

#if defined(__i386__) || defined(__x86_64__)
#include <emmintrin.h>

// As in the vector blitters: SSE2 only in this code, used only after the
// processor reported it (processors with MMX alone keep the plain forms);
// the entries realign the stack.
#if defined(__i386__)
#pragma GCC push_options
#pragma GCC target("sse2")
#define VECTOR_ENTRY __attribute__((force_align_arg_pointer))
#else
#define VECTOR_ENTRY
#endif

namespace {

inline __m128i load128(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline void store128(uint8_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
inline void store128_aligned(uint8_t* p, __m128i v) { _mm_store_si128(reinterpret_cast<__m128i*>(p), v); }
inline uint32_t load32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
inline void store32(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }

// Covers size >= 16 bytes at p with a pattern that repeats every period
// bytes. The body uses aligned stores where the alignment keeps the
// pattern's phase; the last 16 bytes are stored at size - 16, a multiple of
// the period, so they repeat what is already there.
inline void pattern_fill(uint8_t* p, __m128i pattern, size_t size, size_t period) {
  uint8_t* const end = p + size;
  store128(p, pattern);
  const size_t skip = (16 - (reinterpret_cast<uintptr_t>(p) & 15)) & 15;
  if (skip % period == 0) {
    uint8_t* q = p + skip;
    for (; q + 64 <= end; q += 64) {
      store128_aligned(q, pattern);
      store128_aligned(q + 16, pattern);
      store128_aligned(q + 32, pattern);
      store128_aligned(q + 48, pattern);
    }
    for (; q + 16 <= end; q += 16) store128_aligned(q, pattern);
  } else {
    uint8_t* q = p + 16;
    for (; q + 16 <= end; q += 16) store128(q, pattern);
  }
  store128(end - 16, pattern);
}

VECTOR_ENTRY void vector_block_fill(void* address, int byte, uint32_t count) {
  auto* p = static_cast<uint8_t*>(address);
  if (count < 16) {
    // 1, 2, 4 and 8 bytes by the bits of the count.
    const uint64_t pattern = 0x0101010101010101ull * static_cast<uint8_t>(byte);
    if (count & 1) *p++ = static_cast<uint8_t>(byte);
    if (count & 2) std::memcpy(p, &pattern, 2), p += 2;
    if (count & 4) std::memcpy(p, &pattern, 4), p += 4;
    if (count & 8) std::memcpy(p, &pattern, 8);
    return;
  }
  pattern_fill(p, _mm_set1_epi8(static_cast<char>(byte)), count, 1);
}

// Overlapping blocks are left to memmove, so that scrolling within a page
// stays correct whatever the caller's order.
VECTOR_ENTRY void vector_block_copy(void* address, const void* source, uint32_t count) {
  auto* d = static_cast<uint8_t*>(address);
  const auto* s = static_cast<const uint8_t*>(source);
  const auto di = reinterpret_cast<uintptr_t>(d), si = reinterpret_cast<uintptr_t>(s);
  if (count < 16 || (di < si + count && si < di + count)) {
    if (count != 0) std::memmove(d, s, count);
    return;
  }
  const __m128i head = load128(s);
  const __m128i tail = load128(s + count - 16);
  size_t offset = (16 - (di & 15)) & 15;
  for (; offset + 64 <= count; offset += 64) {
    const __m128i a = load128(s + offset), b = load128(s + offset + 16);
    const __m128i c = load128(s + offset + 32), e = load128(s + offset + 48);
    store128_aligned(d + offset, a);
    store128_aligned(d + offset + 16, b);
    store128_aligned(d + offset + 32, c);
    store128_aligned(d + offset + 48, e);
  }
  for (; offset + 16 <= count; offset += 16) store128_aligned(d + offset, load128(s + offset));
  store128(d, head);
  store128(d + count - 16, tail);
}

VECTOR_ENTRY void vector_fill_span_16(uint8_t* address, uint32_t colour, int count) {
  if (count < 8) {
    plain_fill_span_16(address, colour, count);
    return;
  }
  pattern_fill(address, _mm_set1_epi16(static_cast<short>(colour)), 2 * static_cast<size_t>(count), 2);
}

VECTOR_ENTRY void vector_fill_span_32(uint8_t* address, uint32_t colour, int count) {
  if (count < 4) {
    plain_fill_span_32(address, colour, count);
    return;
  }
  pattern_fill(address, _mm_set1_epi32(static_cast<int>(colour)), 4 * static_cast<size_t>(count), 4);
}

// Each colour byte becomes (d x (256 - a) + s x a) >> 8, which equals
// d + floor((s - d) x a / 256) and never exceeds 16 bits.
struct BlendWeights {
  __m128i source_times_alpha;  // 16-bit lanes, two pixels
  __m128i inverse_alpha;
  __m128i alpha_byte;
};

inline BlendWeights blend_weights(uint32_t colour) {
  const uint32_t alpha = colour >> 24;
  const __m128i source = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(colour)), _mm_setzero_si128());
  return {_mm_mullo_epi16(source, _mm_set1_epi16(static_cast<short>(alpha))),
          _mm_set1_epi16(static_cast<short>(256 - alpha)),
          _mm_set1_epi32(static_cast<int>(colour & 0xFF000000u))};
}

inline __m128i blend4(__m128i old, const BlendWeights& w) {
  const __m128i zero = _mm_setzero_si128();
  __m128i low = _mm_unpacklo_epi8(old, zero);
  __m128i high = _mm_unpackhi_epi8(old, zero);
  low = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(low, w.inverse_alpha), w.source_times_alpha), 8);
  high = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(high, w.inverse_alpha), w.source_times_alpha), 8);
  const __m128i colours = _mm_and_si128(_mm_packus_epi16(low, high), _mm_set1_epi32(0x00FFFFFF));
  return _mm_or_si128(colours, w.alpha_byte);
}

inline void blend1(uint8_t* p, const BlendWeights& w) {
  const __m128i old = _mm_cvtsi32_si128(static_cast<int>(load32(p)));
  store32(p, static_cast<uint32_t>(_mm_cvtsi128_si32(blend4(old, w))));
}

bool screen_blends() { return screen_state && (screen_state->flags & kScreenBlended); }

VECTOR_ENTRY void vector_put_pixel_blend_32(DrawContext* context, int x, int y, uint32_t colour) {
  uint8_t* p = context->lines[y] + 4 * static_cast<ptrdiff_t>(x);
  if (!screen_blends()) {
    store32(p, colour);
    return;
  }
  blend1(p, blend_weights(colour));
}

VECTOR_ENTRY void vector_fill_span_blend_32(uint8_t* address, uint32_t colour, int count) {
  if (!screen_blends()) {
    vector_fill_span_32(address, colour, count);
    return;
  }
  const BlendWeights weights = blend_weights(colour);
  int i = 0;
  for (; i + 4 <= count; i += 4) store128(address + 4 * i, blend4(load128(address + 4 * i), weights));
  for (; i < count; ++i) blend1(address + 4 * i, weights);
}

const VectorRoutines sse2_routines{vector_block_fill,         vector_block_copy,
                                   vector_fill_span_16,       vector_fill_span_32,
                                   vector_put_pixel_blend_32, vector_fill_span_blend_32};

}  // namespace

#if defined(__i386__)
#pragma GCC pop_options
#endif

const VectorRoutines& vector_routines() {
  static const VectorRoutines none{};
  return (cpu_features() & (1u << 26)) ? sse2_routines : none;  // bit 26: SSE2
}

#else

const VectorRoutines& vector_routines() {
  static const VectorRoutines none{};
  return none;
}

#endif
