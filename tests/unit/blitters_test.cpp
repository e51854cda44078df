#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "gfx/drivers/blitters.h"
#include "gfx/screen.h"

namespace {

constexpr uint8_t kSentinel = 0xA5;
constexpr int kDepths[4] = {15, 16, 24, 32};

struct Family {
  const char* name;
  const Blitter* native;
  const Blitter* swapped;
};
const Family kFamilies[2] = {{"scalar", native_blitters, swapped_blitters},
                             {"vector", native_blitters_mmx, swapped_blitters_mmx}};

int out_bytes(int destination_depth) { return destination_depth == 24 ? 3 : destination_depth == 32 ? 4 : 2; }

// The colour of a source pixel as 8-bit red, green and blue, read the way
// the source formats define them.
struct Rgb {
  uint32_t r, g, b;
};
Rgb decode(const ScreenState* s, int x, int y) {
  const uint8_t* p = s->visible_page + static_cast<size_t>(y) * s->pitch;
  if (s->depth <= 8) {
    const uint32_t e = s->device_palette[p[x]];
    return {e & 0xFF, (e >> 8) & 0xFF, (e >> 16) & 0xFF};
  }
  if (s->depth == 16) {
    uint16_t v;
    std::memcpy(&v, p + 2 * x, 2);
    return {static_cast<uint32_t>(v >> 11) << 3, ((v >> 5) & 0x3Fu) << 2, static_cast<uint32_t>(v & 0x1F) << 3};
  }
  uint32_t v;
  std::memcpy(&v, p + 4 * x, 4);
  return {(v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF};
}

// The expected output bytes of one pixel, packed from the channels.
std::vector<uint8_t> encode(Rgb c, int depth, bool swapped) {
  if (swapped) std::swap(c.r, c.b);
  uint32_t v = 0;
  switch (depth) {
    case 15: v = (c.r >> 3) << 10 | (c.g >> 3) << 5 | (c.b >> 3); break;
    case 16: v = (c.r >> 3) << 11 | (c.g >> 2) << 5 | (c.b >> 3); break;
    default: v = c.r << 16 | c.g << 8 | c.b; break;
  }
  std::vector<uint8_t> bytes(static_cast<size_t>(out_bytes(depth)));
  std::memcpy(bytes.data(), &v, bytes.size());
  return bytes;
}

class BlitterTest : public ::testing::Test {
 protected:
  void TearDown() override { close_screen_at_exit(); }

  void open(int width, int height, int depth) {
    ASSERT_EQ(set_screen_size(width, height, depth, 1, -1, 0), 0);
    ASSERT_NE(screen_state, nullptr);
  }

  size_t page_bytes() const { return static_cast<size_t>(screen_state->pitch) * screen_state->height; }
  int output_lines() const { return screen_state->height * screen_state->scanline_multiplier; }

  void randomise(uint32_t seed, bool random_top_bytes = true) {
    std::mt19937 rng(seed);
    ScreenState* s = screen_state;
    for (size_t i = 0; i < page_bytes(); ++i) s->visible_page[i] = static_cast<uint8_t>(rng());
    if (!random_top_bytes && s->depth == 32) {
      for (size_t i = 3; i < page_bytes(); i += 4) s->visible_page[i] = 0;
    }
    for (int i = 0; i < 256; ++i) s->device_palette[i] = rng() & 0x00FFFFFFu;
  }

  void mark_all(uint8_t value) { std::memset(screen_state->dirty_lines, value, static_cast<size_t>(screen_state->height)); }

  // Runs the blitter into sentinel-filled memory with `pad` spare bytes per
  // line and a guard line after the last.
  std::vector<uint8_t> run(Blitter blitter, int depth, int pad = 0) {
    pitch_ = screen_state->width * out_bytes(depth) + pad;
    std::vector<uint8_t> out(static_cast<size_t>(pitch_) * (output_lines() + 1), kSentinel);
    blitter(out.data(), pitch_);
    return out;
  }
  const uint8_t* line(const std::vector<uint8_t>& out, int k) const { return out.data() + static_cast<size_t>(k) * pitch_; }

  // Every pixel of every dirty line as the channels say, padding and clean
  // lines untouched.
  void expect_converted(const std::vector<uint8_t>& out, int depth, bool swapped, int copy_top_byte) {
    const ScreenState* s = screen_state;
    const int bytes = out_bytes(depth);
    for (int k = 0; k < output_lines() + 1; ++k) {
      const int y = k / s->scanline_multiplier;
      const bool written = k < output_lines() && s->dirty_lines[y];
      for (int x = 0; x < s->width && written; ++x) {
        std::vector<uint8_t> expected = encode(decode(s, x, y), depth, swapped);
        if (copy_top_byte) expected[3] = s->visible_page[static_cast<size_t>(y) * s->pitch + 4 * x + 3];
        ASSERT_EQ(0, std::memcmp(expected.data(), line(out, k) + x * bytes, expected.size()))
            << "pixel " << x << " of line " << k;
      }
      const int from = written ? s->width * bytes : 0;
      for (int i = from; i < pitch_; ++i) ASSERT_EQ(line(out, k)[i], kSentinel) << "byte " << i << " of line " << k;
    }
  }

  int pitch_ = 0;
};

TEST_F(BlitterTest, EveryConversionMatchesTheChannelFormats) {
  // Widths cover the vector steps (4, 8, 16 pixels) and their remainders.
  const int widths[] = {1, 3, 4, 12, 20, 37, 64};
  for (int source_depth : {8, 16, 32}) {
    for (int width : widths) {
      open(width, 5, source_depth);
      randomise(static_cast<uint32_t>(width * 100 + source_depth));
      mark_all(1);
      screen_state->dirty_lines[2] = 0;
      for (const Family& family : kFamilies) {
        for (int swapped = 0; swapped < 2; ++swapped) {
          ASSERT_NE(select_blitter(32, swapped), nullptr);  // fills conversion_table
          const Blitter* table = swapped ? family.swapped : family.native;
          for (int column = 0; column < 4; ++column) {
            SCOPED_TRACE(testing::Message() << family.name << " depth " << source_depth << " -> "
                                            << kDepths[column] << (swapped ? " swapped" : " native")
                                            << " width " << width);
            const int index = blitter_index(blitter_source_class(source_depth), column);
            const bool plain_copy = !swapped && index == blitter_index(kTrueColourSource, kTo32Bits);
            const std::vector<uint8_t> out = run(table[index], kDepths[column], 3);
            expect_converted(out, kDepths[column], swapped, plain_copy);
          }
        }
      }
      close_screen_at_exit();
    }
  }
}

TEST_F(BlitterTest, PalettisedToNative32PutsRedHighAndClearsTheTopByte) {
  open(320, 200, 8);
  randomise(1);
  mark_all(1);
  const std::vector<uint8_t> out = run(select_blitter(32, 0), 32);
  for (int k = 0; k < 200; k += 37) {
    for (int x = 0; x < 320; ++x) {
      const uint32_t e = screen_state->device_palette[screen_state->visible_page[k * 320 + x]];
      uint32_t v;
      std::memcpy(&v, line(out, k) + 4 * x, 4);
      ASSERT_EQ(v, (e & 0xFF) << 16 | (e & 0xFF00) | (e >> 16));
    }
  }
}

TEST_F(BlitterTest, OnlyDirtyLinesAreWrittenAndPaddingStaysUntouched) {
  for (int source_depth : {8, 16, 32}) {
    open(320, 200, source_depth);
    randomise(2);
    mark_all(0);
    screen_state->dirty_lines[7] = 1;
    for (const Family& family : kFamilies) {
      for (int swapped = 0; swapped < 2; ++swapped) {
        select_blitter(32, swapped);
        for (int column = 0; column < 4; ++column) {
          SCOPED_TRACE(testing::Message() << family.name << " depth " << source_depth << " column " << column);
          const int index = blitter_index(blitter_source_class(source_depth), column);
          const std::vector<uint8_t> out = run((swapped ? family.swapped : family.native)[index], kDepths[column], 4);
          expect_converted(out, kDepths[column], swapped != 0,
                           !swapped && index == blitter_index(kTrueColourSource, kTo32Bits));
        }
      }
    }
    close_screen_at_exit();
  }
}

TEST_F(BlitterTest, RepeatedLinesUseTheScalarTablesAndWriteBothCopies) {
  ASSERT_EQ(set_screen_mode(2, 0, 1, -1, 0), 0);
  ASSERT_EQ(screen_state->width, 640);
  ASSERT_EQ(screen_state->scanline_multiplier, 2);
  screen_state->flags |= kScreenHasMmx;  // the vector tables would be allowed otherwise
  randomise(3);
  for (int i = 0; i < 256; ++i) screen_state->device_palette[i] = 0x010203u * static_cast<uint32_t>(i);

  EXPECT_EQ(select_blitter(32, 0), native_blitters[blitter_index(kPalettisedSource, kTo32Bits)]);
  EXPECT_EQ(select_blitter(16, 1), swapped_blitters[blitter_index(kPalettisedSource, kTo16Bits)]);

  mark_all(0);
  screen_state->dirty_lines[5] = 1;
  // Output lines 10 and 11 hold line 5; every other line keeps its sentinel.
  std::vector<uint8_t> out = run(select_blitter(32, 0), 32);
  expect_converted(out, 32, false, 0);

  mark_all(1);
  out = run(select_blitter(24, 0), 24);
  expect_converted(out, 24, false, 0);
  for (int y = 0; y < 200; ++y) ASSERT_EQ(0, std::memcmp(line(out, 2 * y), line(out, 2 * y + 1), 640 * 3));
}

TEST_F(BlitterTest, VectorTablesOnlyForWidthsThatAreMultiplesOfFour) {
  open(321, 4, 32);
  screen_state->flags |= kScreenHasMmx;
  EXPECT_EQ(select_blitter(16, 0), native_blitters[blitter_index(kTrueColourSource, kTo16Bits)]);
  randomise(4);
  mark_all(1);
  expect_converted(run(select_blitter(16, 0), 16), 16, false, 0);
  expect_converted(run(select_blitter(24, 1), 24), 24, true, 0);
  close_screen_at_exit();

  open(324, 4, 32);
  screen_state->flags |= kScreenHasMmx;
  if (!vector_blitters_supported()) GTEST_SKIP() << "no vector blitters on this processor";
  EXPECT_EQ(select_blitter(16, 0), native_blitters_mmx[9]);
  EXPECT_EQ(select_blitter(32, 1), swapped_blitters_mmx[11]);
  EXPECT_EQ(select_blitter(32, 0), copy_lines);
  randomise(5);
  mark_all(1);
  // expect_converted covers the last four pixels of every line.
  expect_converted(run(select_blitter(16, 0), 16), 16, false, 0);
  expect_converted(run(select_blitter(15, 1), 15), 15, true, 0);

  screen_state->flags &= ~kScreenHasMmx;
  EXPECT_EQ(select_blitter(16, 0), native_blitters[blitter_index(kTrueColourSource, kTo16Bits)]);
}

TEST(BlitterIndex, DepthsFindTheirRowAndColumn) {
  for (int depth : {1, 2, 4, 8}) EXPECT_EQ(blitter_source_class(depth), kPalettisedSource) << depth;
  for (int depth : {15, 16}) EXPECT_EQ(blitter_source_class(depth), kHiColourSource) << depth;
  for (int depth : {24, 32}) EXPECT_EQ(blitter_source_class(depth), kTrueColourSource) << depth;
  for (int depth : {0, 3, 12, 33, -8}) EXPECT_EQ(blitter_source_class(depth), -1) << depth;
  for (int column = 0; column < kBlitterColumns; ++column) EXPECT_EQ(blitter_column(kDepths[column]), column);
  for (int depth : {0, 8, 17, 64}) EXPECT_EQ(blitter_column(depth), -1) << depth;
  EXPECT_EQ(blitter_index(kTrueColourSource, kTo32Bits), kBlitterCount - 1);
}

// One pixel of the open screen through a family's entry for the given
// destination column: the first output pixel as 32 bits.
uint32_t convert_one(int column, bool swapped, int family) {
  const int depth = kDepths[column];
  const int index = blitter_index(blitter_source_class(screen_state->depth), column);
  const Blitter blitter = (swapped ? kFamilies[family].swapped : kFamilies[family].native)[index];
  std::vector<uint8_t> out(static_cast<size_t>(screen_state->width) * 4 * screen_state->height, 0);
  blitter(out.data(), screen_state->width * out_bytes(depth));
  uint32_t v = 0;
  std::memcpy(&v, out.data(), static_cast<size_t>(out_bytes(depth)));
  return v;
}

TEST_F(BlitterTest, HiColourWhiteAndRed) {
  open(8, 1, 16);
  mark_all(1);
  auto* page = reinterpret_cast<uint16_t*>(screen_state->visible_page);
  for (int family = 0; family < 2; ++family) {
    for (int x = 0; x < 8; ++x) page[x] = 0xFFFF;
    select_blitter(32, 0);
    EXPECT_EQ(convert_one(kTo32Bits, false, family), 0x00F8FCF8u);
    EXPECT_EQ(convert_one(kTo24Bits, false, family), 0xF8FCF8u);
    select_blitter(32, 1);
    EXPECT_EQ(convert_one(kTo32Bits, true, family), 0x00F8FCF8u);

    for (int x = 0; x < 8; ++x) page[x] = 0xF800;
    EXPECT_EQ(convert_one(kTo15Bits, false, family), 0x7C00u);
    EXPECT_EQ(convert_one(kTo15Bits, true, family), 0x001Fu);
    EXPECT_EQ(convert_one(kTo16Bits, true, family), 0x001Fu);
    EXPECT_EQ(convert_one(kTo16Bits, false, family), 0xF800u);  // plain copy
    EXPECT_EQ(convert_one(kTo32Bits, true, family), 0x000000F8u);
  }
}

TEST_F(BlitterTest, SwappedThenNativeLeavesTheNativeTable) {
  open(4, 1, 16);
  mark_all(1);
  auto* page = reinterpret_cast<uint16_t*>(screen_state->visible_page);
  for (int x = 0; x < 4; ++x) page[x] = 0x001F;  // blue
  select_blitter(32, 1);
  EXPECT_EQ(convert_one(kTo32Bits, true, 0), 0x00F80000u);
  select_blitter(32, 0);
  for (int family = 0; family < 2; ++family) {
    EXPECT_EQ(convert_one(kTo32Bits, false, family), 0x000000F8u);
    EXPECT_EQ(convert_one(kTo24Bits, false, family), 0x0000F8u);
  }
}

TEST_F(BlitterTest, TrueColourChannelsAndIgnoredTopByte) {
  open(8, 1, 32);
  mark_all(1);
  auto* page = reinterpret_cast<uint32_t*>(screen_state->visible_page);
  for (int family = 0; family < 2; ++family) {
    for (int x = 0; x < 8; ++x) page[x] = 0x00123456;
    EXPECT_EQ(convert_one(kTo15Bits, false, family), (2u << 10) | (6u << 5) | 10u);
    EXPECT_EQ(convert_one(kTo16Bits, false, family), (2u << 11) | (13u << 5) | 10u);
    EXPECT_EQ(convert_one(kTo24Bits, false, family), 0x123456u);
    EXPECT_EQ(convert_one(kTo24Bits, true, family), 0x563412u);
    EXPECT_EQ(convert_one(kTo32Bits, true, family), 0x00563412u);

    // A top byte changes nothing; the 32-bit results carry 0 there, except
    // the plain copy.
    std::vector<uint32_t> plain;
    for (int swapped = 0; swapped < 2; ++swapped)
      for (int column = 0; column < kBlitterColumns; ++column) plain.push_back(convert_one(column, swapped, family));
    for (int x = 0; x < 8; ++x) page[x] = 0xFF123456;
    size_t i = 0;
    for (int swapped = 0; swapped < 2; ++swapped) {
      for (int column = 0; column < kBlitterColumns; ++column, ++i) {
        const uint32_t v = convert_one(column, swapped, family);
        EXPECT_EQ(v, !swapped && column == kTo32Bits ? plain[i] | 0xFF000000u : plain[i]) << column << " " << swapped;
      }
    }
  }
}

TEST_F(BlitterTest, PalettisedTo24ByteOrder) {
  open(4, 1, 8);
  mark_all(1);
  screen_state->device_palette[9] = 0x00332211;  // red 0x11, green 0x22, blue 0x33
  std::memset(screen_state->visible_page, 9, 4);
  for (int family = 0; family < 2; ++family) {
    EXPECT_EQ(convert_one(kTo24Bits, false, family), 0x112233u);  // bytes blue, green, red
    EXPECT_EQ(convert_one(kTo24Bits, true, family), 0x332211u);   // bytes red, green, blue
    EXPECT_EQ(convert_one(kTo32Bits, true, family), 0x00332211u);
  }
}

TEST_F(BlitterTest, SelectionRefusesWhatItCannotConvert) {
  EXPECT_EQ(select_blitter(32, 0), nullptr);  // no screen

  open(16, 2, 16);
  EXPECT_EQ(select_blitter(8, 0), nullptr);
  EXPECT_EQ(select_blitter(12, 0), nullptr);
  close_screen_at_exit();

  open(16, 2, 32);
  EXPECT_EQ(select_blitter(8, 1), nullptr);
  close_screen_at_exit();

  for (int depth : {1, 2, 4, 8}) {
    open(16, 2, depth);
    EXPECT_EQ(select_blitter(8, 0), copy_lines);
    EXPECT_EQ(select_blitter(8, 1), copy_lines);
    EXPECT_NE(select_blitter(24, 0), nullptr);
    EXPECT_EQ(select_blitter(0, 0), nullptr);
    close_screen_at_exit();
  }

  open(16, 2, 8);
  screen_state->depth = 12;  // a format the pages never hold
  EXPECT_EQ(select_blitter(32, 0), nullptr);
  screen_state->depth = 8;
}

TEST_F(BlitterTest, CopyLinesAndColourKeyCopy) {
  open(6, 9, 32);
  randomise(6);
  const uint8_t dirty[9] = {1, 1, 0, 1, 0, 0, 1, 1, 1};
  std::memcpy(screen_state->dirty_lines, dirty, 9);
  // Padded lines are copied one by one, contiguous ones in runs.
  for (int pad : {0, 5}) {
    std::vector<uint8_t> out = run(copy_lines, 32, pad);
    expect_converted(out, 32, false, 1);
  }
  std::vector<uint8_t> out = run(colorkey_copy, 32, 5);
  expect_converted(out, 32, false, 0);  // top byte 0

  close_screen_at_exit();
  open(6, 3, 16);
  mark_all(1);
  out = run(colorkey_copy, 32);
  for (uint8_t byte : out) ASSERT_EQ(byte, kSentinel);  // nothing to mask on other formats
}

// Output past the streaming threshold is copied with stores that bypass the
// cache: the same bytes as the plain copy, the unaligned start and end of
// each line included, padding and clean lines untouched; output of exactly
// the threshold is not.
TEST_F(BlitterTest, CopiesPastTheStreamingThresholdWriteWhatPlainCopiesWrite) {
  if (!vector_blitters_supported()) GTEST_SKIP() << "no vector blitters on this processor";
  struct Case {
    int width, height, depth;
  };
  for (const Case& c : {Case{6, 9, 32}, Case{37, 5, 16}, Case{100, 7, 32}, Case{3, 4, 16}}) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << "x" << c.depth);
    open(c.width, c.height, c.depth);
    randomise(static_cast<uint32_t>(c.width));
    for (int y = 0; y < c.height; ++y) screen_state->dirty_lines[y] = y % 3 != 1;
    for (int pad : {0, 5, 16}) {
      set_streaming_threshold(1);
      const std::vector<uint8_t> streamed =
          run([](uint8_t* out, int pitch) { EXPECT_TRUE(copy_lines_streaming(out, pitch)); }, c.depth, pad);
      expect_converted(streamed, c.depth, false, c.depth == 32 ? 1 : 0);
      set_streaming_threshold(static_cast<size_t>(pitch_) * c.height);
      const std::vector<uint8_t> plain = run(
          [](uint8_t* out, int pitch) {
            EXPECT_FALSE(copy_lines_streaming(out, pitch));
            copy_lines(out, pitch);
          },
          c.depth, pad);
      EXPECT_EQ(streamed, plain) << "pad " << pad;
    }
    close_screen_at_exit();
  }
  set_streaming_threshold(0);
}

// The vector family against the scalar one on random frames, palettes,
// dirty flags, conversion tables and pitches.
TEST_F(BlitterTest, VectorEqualsScalarOnRandomFrames) {
  if (!vector_blitters_supported()) GTEST_SKIP() << "no vector blitters on this processor";
  std::mt19937 rng(7);
  for (int round = 0; round < 80; ++round) {
    set_vector_blitters_baseline(round % 2 == 1);  // both the SSE2 and the wider forms
    const int source_class = round % 3;
    const int source_depth = 8 << source_class;
    const int width = 4 * static_cast<int>(1 + rng() % 90);
    const int height = static_cast<int>(1 + rng() % 12);
    open(width, height, source_depth);
    randomise(rng());
    for (int y = 0; y < height; ++y) screen_state->dirty_lines[y] = static_cast<uint8_t>(rng() % 3 == 0 ? 0 : rng());
    const int pad = static_cast<int>(rng() % 8);
    for (int swapped = 0; swapped < 2; ++swapped) {
      select_blitter(32, swapped);
      if (round % 5 == 4) {
        for (int i = 0; i < 512; ++i) conversion_table[i] = rng();  // any table, not only the two standard ones
      }
      for (int index = blitter_index(source_class, 0); index < blitter_index(source_class + 1, 0); ++index) {
        const Blitter scalar = (swapped ? swapped_blitters : native_blitters)[index];
        const Blitter vector = (swapped ? swapped_blitters_mmx : native_blitters_mmx)[index];
        const int depth = kDepths[index % kBlitterColumns];
        const std::vector<uint8_t> a = run(scalar, depth, pad);
        const std::vector<uint8_t> b = run(vector, depth, pad);
        ASSERT_EQ(a, b) << "entry " << index << (round % 2 ? " (baseline)" : "") << (swapped ? " swapped" : " native") << " width " << width
                        << " depth " << source_depth;
      }
    }
    close_screen_at_exit();
  }
  set_vector_blitters_baseline(false);
}

}  // namespace
