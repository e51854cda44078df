// The distributions of a test's times, on a logarithmic axis: every gap from
// a key's release to its next press, and every hold from press to release.
// Bins are quarter decades from 0.1 ms to 10 s, with one bin below and one
// above, so that a bounce of a few milliseconds and a human double tap of a
// hundred and more fall far apart.
#pragma once

#include <cstdint>

#include "keys/key_names.h"

// Bin 0: below 0.1 ms; bins 1..20: [edge(b), edge(b+1)); bin 21: 10 s and up.
constexpr int kTimingBins = 22;

// The lower edge of a bin in microseconds: 0 for bin 0, 100 for bin 1, then
// 10^(1/4) apart, rounded, up to 10,000,000 for the last; -1 outside.
int64_t timing_bin_lower_us(int bin);
// The upper edge (the next bin's lower); -1 for the last bin (no bound) and
// outside.
int64_t timing_bin_upper_us(int bin);

// The bin of a time; negative times fall into bin 0.
int timing_bin_of(int64_t us);

struct TimingHistogram {
  int32_t counts[kTimingBins];
};

struct KeyTimings {
  TimingHistogram gaps;          // every release-to-press gap
  TimingHistogram chatter_gaps;  // of those, the ones judged chatter
  TimingHistogram holds;         // every completed press-to-release
  TimingHistogram key_gaps[kKeyIdCount];  // each key's own gaps
};

// All counts zero.
void key_timings_clear(KeyTimings* timings);
