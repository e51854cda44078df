#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "gfx/draw/draw_context.h"
#include "gfx/screen.h"
#include "gfx/draw/vector_routines.h"

namespace {

// Each vector routine against its plain twin on two copies of the same
// random buffer, with 48 guard bytes on both sides of every range.
class VectorRoutinesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    routines_ = vector_routines();
    if (!routines_.block_fill) GTEST_SKIP() << "no vector routines on this processor";
  }
  void TearDown() override { close_screen_at_exit(); }

  void randomise(size_t size) {
    plain_.resize(size);
    for (auto& byte : plain_) byte = static_cast<uint8_t>(rng_());
    vector_ = plain_;
  }

  VectorRoutines routines_{};
  std::mt19937 rng_{11};
  std::vector<uint8_t> plain_, vector_;
};

TEST_F(VectorRoutinesTest, BlockFillMatchesMemset) {
  for (int round = 0; round < 3000; ++round) {
    const uint32_t count = round < 300 ? static_cast<uint32_t>(round % 100) : rng_() % 700;
    const size_t offset = 48 + rng_() % 32;
    const int byte = static_cast<int>(rng_());
    randomise(count + offset + 48);
    std::memset(plain_.data() + offset, byte, count);
    routines_.block_fill(vector_.data() + offset, byte, count);
    ASSERT_EQ(plain_, vector_) << "count " << count << " offset " << offset;
  }
}

TEST_F(VectorRoutinesTest, BlockCopyMatchesMemmoveWithAndWithoutOverlap) {
  for (int round = 0; round < 3000; ++round) {
    const uint32_t count = round < 300 ? static_cast<uint32_t>(round % 100) : rng_() % 700;
    randomise(2 * count + 200);
    size_t from, to;
    if (round % 3 == 0) {  // within one range, either direction
      from = 48 + rng_() % (count + 50);
      to = 48 + rng_() % (count + 50);
    } else {
      from = 48 + rng_() % 32;
      to = from + count + rng_() % 40;
      if (round % 2) std::swap(from, to);
    }
    std::memmove(plain_.data() + to, plain_.data() + from, count);
    routines_.block_copy(vector_.data() + to, vector_.data() + from, count);
    ASSERT_EQ(plain_, vector_) << "count " << count << " from " << from << " to " << to;
  }
}

TEST_F(VectorRoutinesTest, SpanFillsMatchThePlainForms) {
  for (int round = 0; round < 3000; ++round) {
    const int count = round < 200 ? round % 70 - 2 : static_cast<int>(rng_() % 300);
    const size_t offset = 48 + rng_() % 32;  // odd addresses too
    const uint32_t colour = rng_();
    randomise(4 * static_cast<size_t>(count > 0 ? count : 0) + offset + 48);
    const bool wide = round % 2;
    (wide ? plain_fill_span_32 : plain_fill_span_16)(plain_.data() + offset, colour, count);
    (wide ? routines_.fill_span_32 : routines_.fill_span_16)(vector_.data() + offset, colour, count);
    ASSERT_EQ(plain_, vector_) << (wide ? 32 : 16) << " bits, count " << count << " offset " << offset;
  }
}

TEST_F(VectorRoutinesTest, BlendsMatchTheScalarFormula) {
  ASSERT_EQ(set_screen_size(64, 4, 32, 1, -1, 0), 0);
  screen_state->flags |= kScreenBlended;
  for (int round = 0; round < 3000; ++round) {
    const int count = round < 100 ? round % 20 : static_cast<int>(rng_() % 100);
    const size_t offset = 48 + rng_() % 16;
    uint32_t colour = rng_();
    if (round % 7 == 0) colour &= 0x00FFFFFFu;  // alpha 0
    if (round % 7 == 1) colour |= 0xFF000000u;
    randomise(4 * static_cast<size_t>(count) + offset + 48);
    for (int i = 0; i < count; ++i) {
      uint8_t* p = plain_.data() + offset + 4 * i;
      uint32_t old;
      std::memcpy(&old, p, 4);
      const uint32_t blended = blend_pixel(colour, old);
      std::memcpy(p, &blended, 4);
    }
    routines_.fill_span_blend_32(vector_.data() + offset, colour, count);
    ASSERT_EQ(plain_, vector_) << "colour " << std::hex << colour << std::dec << " count " << count;
  }

  // A half-transparent red over blue.
  DrawContext context{};
  uint8_t* row = screen_state->visible_page;
  context.lines = &row;
  const uint32_t blue = 0x000000FF;
  std::memcpy(row + 8, &blue, 4);
  routines_.put_pixel_blend_32(&context, 2, 0, 0x80FF0000u);
  uint32_t result;
  std::memcpy(&result, row + 8, 4);
  EXPECT_EQ(result, 0x807F007Fu);
  EXPECT_EQ(result, blend_pixel(0x80FF0000u, blue));

  // Without blending the colour is stored as it is.
  screen_state->flags &= ~kScreenBlended;
  routines_.put_pixel_blend_32(&context, 2, 0, 0x80FF0000u);
  std::memcpy(&result, row + 8, 4);
  EXPECT_EQ(result, 0x80FF0000u);
  routines_.fill_span_blend_32(row, 0x12345678u, 5);
  for (int i = 0; i < 5; ++i) {
    std::memcpy(&result, row + 4 * i, 4);
    EXPECT_EQ(result, 0x12345678u);
  }
}

}  // namespace
