// Cache sizes from CPUID.
#include "gfx/drivers/cache_size.h"

#include <cstdint>

#include "sys/platform.h"

namespace {

constexpr uint32_t kDataCache = 1, kUnifiedCache = 3;

// Leaf 4: one subleaf per cache; ways x partitions x line size x sets.
size_t largest_described_cache() {
  size_t largest = 0;
  uint32_t r[4];
  for (uint32_t subleaf = 0; subleaf < 16 && sys::cpuid_leaf(4, subleaf, r); ++subleaf) {
    const uint32_t type = r[0] & 0x1F;
    if (type == 0) break;  // no more caches
    if (type != kDataCache && type != kUnifiedCache) continue;
    const size_t bytes = static_cast<size_t>((r[1] >> 22) + 1) * (((r[1] >> 12) & 0x3FF) + 1) *
                         ((r[1] & 0xFFF) + 1) * (static_cast<size_t>(r[2]) + 1);
    if (bytes > largest) largest = bytes;
  }
  return largest;
}

// Leaf 0x80000006: the L3 in 512 KiB units (EDX 31-18), the L2 in KiB
// (ECX 31-16).
size_t extended_leaf_cache() {
  uint32_t r[4];
  if (!sys::cpuid_leaf(0x80000006u, 0, r)) return 0;
  const size_t l3 = static_cast<size_t>(r[3] >> 18) * 512 * 1024;
  return l3 != 0 ? l3 : static_cast<size_t>(r[2] >> 16) * 1024;
}

}  // namespace

size_t last_level_cache_bytes() {
  const size_t described = largest_described_cache();
  return described != 0 ? described : extended_leaf_cache();
}
