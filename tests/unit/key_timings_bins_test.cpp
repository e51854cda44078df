#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "keys/record/key_timings.h"

namespace {

TEST(KeyTimingBins, TimesFallIntoTheirQuarterDecade) {
  const struct {
    int64_t us;
    int bin;
  } cases[] = {{INT64_MIN, 0}, {-1, 0},         {0, 0},          {99, 0},         {100, 1},
               {177, 1},       {178, 2},        {17782, 9},      {17783, 10},     {31622, 10},
               {31623, 11},    {999999, 16},    {1000000, 17},   {9999999, 20},   {10000000, 21},
               {INT64_MAX, 21}};
  for (const auto& c : cases) EXPECT_EQ(timing_bin_of(c.us), c.bin) << c.us;
}

TEST(KeyTimingBins, EdgesMeetAndOutOfRangeIsMinusOne) {
  // Each bin starts where the one before ends, and its lower edge is the
  // first time it takes.
  EXPECT_EQ(timing_bin_lower_us(0), 0);
  for (int bin = 1; bin < kTimingBins; ++bin) {
    EXPECT_EQ(timing_bin_lower_us(bin), timing_bin_upper_us(bin - 1)) << bin;
    EXPECT_GT(timing_bin_lower_us(bin), timing_bin_lower_us(bin - 1)) << bin;
    EXPECT_EQ(timing_bin_of(timing_bin_lower_us(bin)), bin);
    EXPECT_EQ(timing_bin_of(timing_bin_lower_us(bin) - 1), bin - 1);
  }
  EXPECT_EQ(timing_bin_lower_us(kTimingBins - 1), 10000000);
  for (int bin : {INT_MIN, -1, kTimingBins, INT_MAX}) {
    EXPECT_EQ(timing_bin_lower_us(bin), -1) << bin;
    EXPECT_EQ(timing_bin_upper_us(bin), -1) << bin;
  }
  EXPECT_EQ(timing_bin_upper_us(kTimingBins - 1), -1) << "the last bin has no upper bound";
}

}  // namespace
