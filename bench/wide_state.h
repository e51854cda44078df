// Whether the upper halves of the wide (ymm) registers are dirty. While they
// are, every SSE instruction without the VEX prefix on this thread pays the
// processor's state transition, so a conversion that leaves them dirty slows
// whatever runs after it: in a benchmark, the rows that follow it.
//
// The benchmark reads the state after each row instead of hiding it: a row
// that leaves it dirty is reported as such (its own cost stays in its
// figures, as its later iterations run in the state it left), and the state
// is then cleaned, so that the row does not move the figures of whichever
// rows the random order puts after it and the fault is charged to the row
// that has it.
#pragma once

#include <cpuid.h>

#include <cstdint>

namespace wide_state {

// XGETBV with ECX = 1 returns the state components in use; bit 2 is the
// upper halves of the ymm registers. Offered where CPUID leaf 0xD,
// subleaf 1 sets EAX bit 2 (and the system enabled XSAVE).
inline bool readable() {
  unsigned a = 0, b = 0, c = 0, d = 0;
  if (!__get_cpuid(1, &a, &b, &c, &d) || !(c & bit_OSXSAVE) || !(c & bit_AVX)) return false;
  if (__get_cpuid_max(0, nullptr) < 0xD) return false;
  __cpuid_count(0xD, 1, a, b, c, d);
  return (a & (1u << 2)) != 0;
}

inline bool dirty() {
  uint32_t low = 0, high = 0;
  __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(1));
  return (low & (1u << 2)) != 0;
}

__attribute__((target("avx"))) inline void clean() { __asm__ volatile("vzeroupper" ::: "memory"); }

}  // namespace wide_state
