// The processor feature word, computed once: bit 23 is MMX.
#include "gfx/draw/draw_context.h"
#include "sys/platform.h"

namespace {
uint32_t cached_features = 0;
}

uint32_t cpu_features() {
  if (cached_features != 0) return cached_features;
  uint32_t signature = 0, features = 0;
  if (sys::cpuid_leaf1(&signature, &features)) {
    cached_features = (signature << 20) | (features & 0x0FFFFFFFu);
  } else {
    cached_features = sys::eflags_bit_toggles(18) ? 0x40000000u : 0x30000000u;
  }
  return cached_features;
}
