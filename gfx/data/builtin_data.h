// The built-in fonts and palettes, unpacked once per process from one packed
// LZW stream into one writable block.
#pragma once

#include <cstdint>

struct FontInfo {
  int32_t width;        // glyph cell width in pixels (8)
  int32_t height;       // glyph cell height in pixels (8, 14 or 16)
  const uint8_t* data;  // 256 glyphs, one byte per row, bit 0 leftmost
};

struct PaletteInfo {
  int32_t count;        // entries: 2, 16, 64 or 256
  const uint8_t* data;  // count x (red, green, blue), 8 bits each
};

extern const FontInfo font_8x8;
extern const FontInfo font_8x14;
extern const FontInfo font_8x16;
extern const PaletteInfo palette_2;
extern const PaletteInfo palette_16;
extern const PaletteInfo palette_64;
extern const PaletteInfo palette_256;

constexpr int kBuiltinBlockSize = 10742;
constexpr int kFont8x8Offset = 0;
constexpr int kFont8x14Offset = 2048;
constexpr int kFont8x16Offset = 5632;
constexpr int kPalette2Offset = 9728;
constexpr int kPalette16Offset = 9734;
constexpr int kPalette64Offset = 9782;
constexpr int kPalette256Offset = 9974;

// The packed stream, stored read-only.
extern const uint8_t builtin_packed[];
extern const int builtin_packed_size;

// Unpacks the stream into the block unless done before in this process.
void unpack_builtin_data();

// Decodes 12-bit LZW codes; size is the capacity on entry and the bytes
// written on return. 0 when the end code was reached, -1 on any failure.
int lzw_decode(const uint8_t* source, int source_length, uint8_t* destination, int* size);
