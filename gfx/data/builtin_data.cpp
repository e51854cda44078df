// The block the built-in fonts and palettes are unpacked into, and the
// descriptors that point into it. The descriptors are constant from the
// start; only the bytes behind them are filled in, once per process.
#include "gfx/data/builtin_data.h"

namespace {

uint8_t builtin_block[kBuiltinBlockSize];
bool builtin_unpacked = false;

}  // namespace

const FontInfo font_8x8 = {8, 8, builtin_block + kFont8x8Offset};
const FontInfo font_8x14 = {8, 14, builtin_block + kFont8x14Offset};
const FontInfo font_8x16 = {8, 16, builtin_block + kFont8x16Offset};
const PaletteInfo palette_2 = {2, builtin_block + kPalette2Offset};
const PaletteInfo palette_16 = {16, builtin_block + kPalette16Offset};
const PaletteInfo palette_64 = {64, builtin_block + kPalette64Offset};
const PaletteInfo palette_256 = {256, builtin_block + kPalette256Offset};

void unpack_builtin_data() {
  if (builtin_unpacked) return;
  int size = kBuiltinBlockSize;
  // The stream is a fixed part of the program and checked by the tests, so
  // the result needs no handling here.
  lzw_decode(builtin_packed, builtin_packed_size, builtin_block, &size);
  builtin_unpacked = true;
}
