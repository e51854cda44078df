#include "keys/record/key_timings.h"

#include <cstring>

namespace {

// 10^(k/4) * 100 us for k = 0..20, rounded to whole microseconds.
constexpr int64_t kEdges[kTimingBins - 1] = {
    100,     178,     316,     562,     1000,    1778,    3162,    5623,     10000,    17783,   31623,
    56234,   100000,  177828,  316228,  562341,  1000000, 1778279, 3162278, 5623413, 10000000};

}  // namespace

int64_t timing_bin_lower_us(int bin) {
  if (bin < 0 || bin >= kTimingBins) return -1;
  return bin == 0 ? 0 : kEdges[bin - 1];
}

int64_t timing_bin_upper_us(int bin) {
  if (bin < 0 || bin >= kTimingBins - 1) return -1;
  return kEdges[bin];
}

int timing_bin_of(int64_t us) {
  int low = 0, high = kTimingBins - 1;  // the answer lies in [low, high]
  while (low < high) {
    const int middle = (low + high + 1) / 2;
    if (us >= kEdges[middle - 1]) low = middle;
    else high = middle - 1;
  }
  return low;
}

void key_timings_clear(KeyTimings* timings) {
  if (timings != nullptr) std::memset(timings, 0, sizeof *timings);
}
