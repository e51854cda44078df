// Pixel conversion from the visible page of the open screen into a driver's
// surface. A blitter converts every dirty logical line (repeated
// scanline_multiplier times) and leaves every other output line untouched.
// Bit 15 of 15-bit results and the top byte of 32-bit results are 0, except
// where a pixel passes unchanged: the true-colour copy keeps the source's
// top byte and palettised to swapped 32 bits stores the palette entry.
#pragma once

#include <cstddef>
#include <cstdint>

using Blitter = void (*)(uint8_t* destination, int destination_pitch);

// Fills conversion_table for the requested channel order and returns the
// blitter from the screen's pixel format to destination_depth (8, 15, 16, 24
// or 32 bits per pixel), or null when there is none.
Blitter select_blitter(int destination_depth, int swap_red_blue);

// The formats agree: each dirty line is copied unchanged (pitch bytes).
// Output larger than streaming_threshold() goes through copy_lines_streaming.
void copy_lines(uint8_t* destination, int destination_pitch);

// Output frames (pitch x output lines) larger than this are copied with
// stores that bypass the cache: half the processor's largest cache, above
// which source and destination together no longer fit in it and every
// destination line written with plain stores is first read in from memory,
// for nothing. Below it plain stores are faster (measured: 1.7 times at
// 1024 x 768 with a 32 MiB cache), so an unknown cache size means never.
size_t streaming_threshold();
// For tests: another threshold (SIZE_MAX: never stream; 0: the
// processor's own again).
void set_streaming_threshold(size_t bytes);
// copy_lines for output above streaming_threshold(); false, with nothing
// written, for smaller output or without SSE2.
bool copy_lines_streaming(uint8_t* destination, int destination_pitch);

// True colour to 32 bits with the top byte of every pixel cleared, for
// windows whose transparent colour key must match exactly.
void colorkey_copy(uint8_t* destination, int destination_pitch);

// The tables hold one row per source class and one column per destination
// depth; blitter_index names an entry.
enum BlitterSourceClass { kPalettisedSource = 0, kHiColourSource = 1, kTrueColourSource = 2 };
enum BlitterColumn { kTo15Bits = 0, kTo16Bits = 1, kTo24Bits = 2, kTo32Bits = 3 };
constexpr int kBlitterColumns = 4;
constexpr int kBlitterCount = 3 * kBlitterColumns;
constexpr int blitter_index(int source_class, int column) { return kBlitterColumns * source_class + column; }
// The source class of a screen depth (1-8 palettised, 15-16 hi-colour, 24-32
// true colour) and the column of a destination depth (15, 16, 24, 32); -1
// for any other depth.
int blitter_source_class(int depth);
int blitter_column(int depth);
extern const Blitter native_blitters[kBlitterCount];
extern const Blitter swapped_blitters[kBlitterCount];
// The vector forms; same output as the scalar tables. They are chosen only
// for screens without line repetition whose width is a multiple of 4, but
// handle any screen correctly.
extern const Blitter native_blitters_mmx[kBlitterCount];
extern const Blitter swapped_blitters_mmx[kBlitterCount];

// Fills a 512-entry hi-colour expansion table: entry [s & 0xFF] | entry
// [256 + (s >> 8)] is the 5-6-5 pixel s as 32-bit colour in the given order.
void fill_conversion_table(uint32_t* table, bool swapped);

// Whether the processor runs the vector blitters and block routines.
bool vector_blitters_supported();

// Whether the true-colour to 15 and 16-bit vector blitters take their AVX2
// form (the processor and system have it and they are not held to SSE2).
bool vector_blitters_wide();

// For tests: true keeps the vector blitters to their SSE2 forms where the
// processor offers wider shuffles.
void set_vector_blitters_baseline(bool baseline);
