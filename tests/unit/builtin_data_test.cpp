#include "gfx/data/builtin_data.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <random>
#include <vector>

#include "gfx/data/lzw_encode.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr int kEnd = 4095;

// Packs 12-bit codes two to three bytes, low bits first, into a buffer of
// exactly the stream's size so that any read past it is caught.
Bytes pack(const std::vector<int>& codes) {
  Bytes out;
  size_t i = 0;
  for (; i + 1 < codes.size(); i += 2) {
    out.push_back(static_cast<uint8_t>(codes[i]));
    out.push_back(static_cast<uint8_t>((codes[i] >> 8) | ((codes[i + 1] & 0x0F) << 4)));
    out.push_back(static_cast<uint8_t>(codes[i + 1] >> 4));
  }
  if (i < codes.size()) {
    out.push_back(static_cast<uint8_t>(codes[i]));
    out.push_back(static_cast<uint8_t>(codes[i] >> 8));
  }
  return out;
}

struct Decoded {
  int result;
  Bytes bytes;
};

Decoded decode(const Bytes& stream, int capacity) {
  Bytes out(static_cast<size_t>(capacity));
  int size = capacity;
  const int result = lzw_decode(stream.data(), static_cast<int>(stream.size()), out.data(), &size);
  out.resize(static_cast<size_t>(size));
  return {result, out};
}

const uint8_t* block() {
  unpack_builtin_data();
  return font_8x8.data;  // the block starts with the 8x8 font
}

Bytes glyph(const FontInfo& font, int code) {
  const uint8_t* p = font.data + code * font.height;
  return Bytes(p, p + font.height);
}

std::array<int, 3> entry(const PaletteInfo& palette, int index) {
  const uint8_t* p = palette.data + index * 3;
  return {p[0], p[1], p[2]};
}

TEST(BuiltinData, StoredStreamDecodesToTheWholeBlock) {
  const Bytes stream(builtin_packed, builtin_packed + builtin_packed_size);
  const Decoded exact = decode(stream, kBuiltinBlockSize);
  EXPECT_EQ(exact.result, 0);
  ASSERT_EQ(exact.bytes.size(), size_t{kBuiltinBlockSize});
  EXPECT_EQ(0, std::memcmp(exact.bytes.data(), block(), kBuiltinBlockSize));

  // Room to spare changes nothing: the end code, not the capacity, stops it.
  const Decoded roomy = decode(stream, kBuiltinBlockSize + 100);
  EXPECT_EQ(roomy.result, 0);
  EXPECT_EQ(roomy.bytes, exact.bytes);

  EXPECT_LT(builtin_packed_size * 2, kBuiltinBlockSize);
}

TEST(BuiltinData, StoredStreamIsWhatTheEncoderMakesOfTheBlock) {
  const LzwEncoded again = lzw_encode(block(), kBuiltinBlockSize);
  EXPECT_EQ(again.bytes, Bytes(builtin_packed, builtin_packed + builtin_packed_size));
  // One entry per code but the first and the end code; odd counts end in two bytes.
  EXPECT_EQ(again.highest_code, 255 + again.code_count - 2);
  EXPECT_EQ(static_cast<int>(again.bytes.size()), again.code_count / 2 * 3 + again.code_count % 2 * 2);
}

TEST(BuiltinData, DescriptorsPointIntoTheBlockAtTheFixedOffsets) {
  const uint8_t* base = block();
  const struct {
    const FontInfo& font;
    int height, offset;
  } fonts[] = {{font_8x8, 8, kFont8x8Offset}, {font_8x14, 14, kFont8x14Offset},
               {font_8x16, 16, kFont8x16Offset}};
  for (const auto& f : fonts) {
    EXPECT_EQ(f.font.width, 8);
    EXPECT_EQ(f.font.height, f.height);
    EXPECT_EQ(f.font.data, base + f.offset);
  }
  const struct {
    const PaletteInfo& palette;
    int count, offset;
  } palettes[] = {{palette_2, 2, kPalette2Offset}, {palette_16, 16, kPalette16Offset},
                  {palette_64, 64, kPalette64Offset}, {palette_256, 256, kPalette256Offset}};
  for (const auto& p : palettes) {
    EXPECT_EQ(p.palette.count, p.count);
    EXPECT_EQ(p.palette.data, base + p.offset);
  }
  EXPECT_EQ(palette_256.data + 256 * 3, base + kBuiltinBlockSize);
}

TEST(BuiltinData, GlyphsAreStoredLeftmostPixelInBitZero) {
  block();
  EXPECT_EQ(glyph(font_8x8, 'A'), (Bytes{0x0C, 0x1E, 0x33, 0x33, 0x3F, 0x33, 0x33, 0x00}));
  // Superscript n, drawn for 0xFC with no code page translation.
  EXPECT_EQ(glyph(font_8x8, 0xFC), (Bytes{0x1E, 0x36, 0x36, 0x36, 0x36, 0x00, 0x00, 0x00}));
  EXPECT_EQ(glyph(font_8x14, 'A'),
            (Bytes{0x00, 0x00, 0x08, 0x1C, 0x36, 0x63, 0x63, 0x7F, 0x63, 0x63, 0x63, 0x00, 0x00, 0x00}));
  EXPECT_EQ(glyph(font_8x16, 'A'), (Bytes{0x00, 0x00, 0x08, 0x1C, 0x36, 0x63, 0x63, 0x7F, 0x63, 0x63,
                                          0x63, 0x63, 0x00, 0x00, 0x00, 0x00}));
  for (const FontInfo* font : {&font_8x8, &font_8x14, &font_8x16}) {
    SCOPED_TRACE(font->height);
    EXPECT_EQ(glyph(*font, 0xDB), Bytes(static_cast<size_t>(font->height), 0xFF));
    for (int blank : {0x00, 0x20, 0xFF}) {
      EXPECT_EQ(glyph(*font, blank), Bytes(static_cast<size_t>(font->height), 0x00)) << blank;
    }
  }
}

TEST(BuiltinData, PalettesHoldTheStandardColours) {
  block();
  EXPECT_EQ(entry(palette_2, 0), (std::array<int, 3>{0, 0, 0}));
  EXPECT_EQ(entry(palette_2, 1), (std::array<int, 3>{255, 255, 255}));

  const std::array<int, 3> text_colours[16] = {
      {0, 0, 0},      {0, 0, 170},     {0, 170, 0},     {0, 170, 170},
      {170, 0, 0},    {170, 0, 170},   {170, 85, 0},    {170, 170, 170},
      {85, 85, 85},   {85, 85, 255},   {85, 255, 85},   {85, 255, 255},
      {255, 85, 85},  {255, 85, 255},  {255, 255, 85},  {255, 255, 255}};
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(entry(palette_16, i), text_colours[i]) << i;
    EXPECT_EQ(entry(palette_256, i), text_colours[i]) << i;
  }

  for (int i = 0; i < 64; ++i) {
    const auto bit = [i](int n) { return (i >> n) & 1; };
    const std::array<int, 3> expected = {170 * bit(2) + 85 * bit(5), 170 * bit(1) + 85 * bit(4),
                                         170 * bit(0) + 85 * bit(3)};
    EXPECT_EQ(entry(palette_64, i), expected) << i;
  }
  EXPECT_EQ(entry(palette_64, 6), (std::array<int, 3>{170, 170, 0}));
}

TEST(BuiltinData, TheDefault256ColourPaletteFollowsGreyRampAndHueRuns) {
  block();
  const int grey[16] = {0, 20, 32, 44, 56, 68, 80, 97, 113, 129, 145, 161, 182, 202, 226, 255};
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(entry(palette_256, 16 + i), (std::array<int, 3>{grey[i], grey[i], grey[i]})) << i;
  }
  // Spot checks of the hue runs: the first entry, the pure colours at the
  // turning points, and the last entry of the last run.
  EXPECT_EQ(entry(palette_256, 32), (std::array<int, 3>{0, 0, 255}));
  EXPECT_EQ(entry(palette_256, 33), (std::array<int, 3>{64, 0, 255}));
  EXPECT_EQ(entry(palette_256, 40), (std::array<int, 3>{255, 0, 0}));
  EXPECT_EQ(entry(palette_256, 44), (std::array<int, 3>{255, 255, 0}));
  EXPECT_EQ(entry(palette_256, 48), (std::array<int, 3>{0, 255, 0}));
  EXPECT_EQ(entry(palette_256, 56), (std::array<int, 3>{125, 125, 255}));
  EXPECT_EQ(entry(palette_256, 104), (std::array<int, 3>{0, 0, 113}));
  EXPECT_EQ(entry(palette_256, 115), (std::array<int, 3>{113, 85, 0}));
  EXPECT_EQ(entry(palette_256, 176), (std::array<int, 3>{0, 0, 64}));
  EXPECT_EQ(entry(palette_256, 247), (std::array<int, 3>{44, 48, 64}));
  for (int i = 248; i < 256; ++i) EXPECT_EQ(entry(palette_256, i), (std::array<int, 3>{0, 0, 0})) << i;
}

TEST(BuiltinData, UnpackingAgainDoesNotDecodeAgain) {
  uint8_t* first_byte = const_cast<uint8_t*>(block());
  const uint8_t saved = *first_byte;
  *first_byte = static_cast<uint8_t>(saved ^ 0x5A);
  unpack_builtin_data();
  EXPECT_EQ(*first_byte, saved ^ 0x5A);
  *first_byte = saved;
}

TEST(LzwDecode, CodeEqualToTheNextFreeCodeRepeatsThePreviousString) {
  const Decoded d = decode(pack({97, 256, 97, kEnd}), 16);
  EXPECT_EQ(d.result, 0);
  EXPECT_EQ(d.bytes, Bytes(4, 97));
}

TEST(LzwDecode, RunningOutOfInputFailsAndKeepsWhatWasDecoded) {
  const Decoded no_end = decode(pack({'a', 'b', 'c', 256, 258}), 16);
  EXPECT_EQ(no_end.result, -1);
  EXPECT_EQ(no_end.bytes, (Bytes{'a', 'b', 'c', 'a', 'b', 'c', 'a'}));

  // A lone trailing byte or nibble is no code; reading it must not run off
  // the end of the source.
  Bytes cut = pack({'a', 'b', 'c', kEnd});
  cut.pop_back();
  const Decoded truncated = decode(cut, 16);
  EXPECT_EQ(truncated.result, -1);
  EXPECT_EQ(truncated.bytes, (Bytes{'a', 'b', 'c'}));
  const Decoded one_byte = decode(Bytes{'q'}, 16);
  EXPECT_EQ(one_byte.result, -1);
  EXPECT_EQ(one_byte.bytes, (Bytes{'q'}));
}

TEST(LzwDecode, OutputStopsAtExactlyTheCapacity) {
  const Bytes stream = pack({'a', 'b', 256, 258, kEnd});  // a b ab aba
  ASSERT_EQ(decode(stream, 7).result, 0);
  for (int capacity : {1, 2, 3, 5, 6}) {
    SCOPED_TRACE(capacity);
    Bytes out(8, 0xEE);
    int size = capacity;
    EXPECT_EQ(lzw_decode(stream.data(), static_cast<int>(stream.size()), out.data(), &size), -1);
    EXPECT_EQ(size, capacity);
    EXPECT_EQ(0, std::memcmp(out.data(), "ababab", static_cast<size_t>(capacity)));
    EXPECT_EQ(out[static_cast<size_t>(capacity)], 0xEE);
  }
}

TEST(LzwDecode, RejectsMissingOrEmptyBuffers) {
  const Bytes stream = pack({'a', kEnd});
  uint8_t out[4] = {0xEE, 0xEE, 0xEE, 0xEE};
  for (int capacity : {0, -3}) {
    int size = capacity;
    EXPECT_EQ(lzw_decode(stream.data(), 3, out, &size), -1);
    EXPECT_EQ(size, 0);
  }
  EXPECT_EQ(out[0], 0xEE);
  for (int length : {0, -1}) {
    int size = 4;
    EXPECT_EQ(lzw_decode(stream.data(), length, out, &size), -1);
    EXPECT_EQ(size, 0);
  }
  int size = 4;
  EXPECT_EQ(lzw_decode(nullptr, 3, out, &size), -1);
  size = 4;
  EXPECT_EQ(lzw_decode(stream.data(), 3, nullptr, &size), -1);
  EXPECT_EQ(lzw_decode(stream.data(), 3, out, nullptr), -1);
}

TEST(LzwDecode, CodesOutsideTheDictionaryDecodeTheSameEveryTime) {
  // A first code above 255 stands for its low byte only.
  const Decoded first = decode(pack({0x341, 256, kEnd}), 16);
  EXPECT_EQ(first.result, 0);
  EXPECT_EQ(first.bytes, Bytes(3, 0x41));

  // 3000 is far beyond the next free code twice over; the second time it
  // names a string that was never assigned. Whatever that decodes to must not
  // depend on what an earlier decode left in the dictionary.
  const Bytes wild = pack({'a', 3000, 3000, 0x341, kEnd});
  decode(Bytes(builtin_packed, builtin_packed + builtin_packed_size), kBuiltinBlockSize);
  const Decoded before = decode(wild, 64);
  std::mt19937 random(7);
  Bytes noise(50000);
  for (auto& b : noise) b = static_cast<uint8_t>(random());
  decode(lzw_encode(noise.data(), static_cast<int>(noise.size())).bytes, 50000);
  const Decoded after = decode(wild, 64);
  EXPECT_EQ(before.result, 0);
  EXPECT_EQ(after.result, before.result);
  EXPECT_EQ(after.bytes, before.bytes);
}

TEST(LzwDecode, AWalkThatNeverReachesALiteralFails) {
  // Literals until the next free code is 3999, then codes that make entries
  // 4000 and 4001 each other's prefix; the last code walks that cycle.
  std::vector<int> codes(3744, 0);
  codes.insert(codes.end(), {4001, 4000, 0, 4000, kEnd});
  const Decoded d = decode(pack(codes), 100000);
  EXPECT_EQ(d.result, -1);
  EXPECT_EQ(d.bytes.size(), size_t{3744 + 2 + 3 + 1});
}

TEST(LzwRoundTrip, LongestPossibleStringsDecode) {
  // A run of one byte makes every entry one longer than the one before, so
  // the last entries need the longest walks a consistent stream can have.
  const Bytes run(3840 * 3841 / 2 + 5000, 'z');
  const LzwEncoded packed = lzw_encode(run.data(), static_cast<int>(run.size()));
  EXPECT_EQ(packed.highest_code, 4094);
  const Decoded d = decode(packed.bytes, static_cast<int>(run.size()));
  EXPECT_EQ(d.result, 0);
  EXPECT_TRUE(d.bytes == run);
}

TEST(LzwRoundTrip, DataPastAFullDictionaryDecodes) {
  std::mt19937 random(12345);
  Bytes data(200000);
  for (auto& b : data) b = static_cast<uint8_t>('a' + random() % 4);
  for (int length : {1, 2, 3, 1000, 200000}) {
    SCOPED_TRACE(length);
    const LzwEncoded packed = lzw_encode(data.data(), length);
    const Decoded d = decode(packed.bytes, length);
    EXPECT_EQ(d.result, 0);
    EXPECT_TRUE(d.bytes == Bytes(data.begin(), data.begin() + length));
  }
  EXPECT_EQ(lzw_encode(data.data(), 200000).highest_code, 4094);
}

}  // namespace
