// CPUID by leaf, the same on both platforms: the compiler's header checks
// first that the processor has the instruction and the leaf.
#include "sys/platform.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

namespace sys {

bool cpuid_leaf(uint32_t leaf, uint32_t subleaf, uint32_t out[4]) {
#if defined(__i386__) || defined(__x86_64__)
  unsigned a = 0, b = 0, c = 0, d = 0;
  if (!out || !__get_cpuid_count(leaf, subleaf, &a, &b, &c, &d)) return false;
  out[0] = a;
  out[1] = b;
  out[2] = c;
  out[3] = d;
  return true;
#else
  (void)leaf;
  (void)subleaf;
  (void)out;
  return false;
#endif
}

}  // namespace sys
