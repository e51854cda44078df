// The size of the processor's largest cache, which decides where a frame
// copy stops fitting in the cache.
#pragma once

#include <cstddef>

// The largest data or unified cache that CPUID describes: the deterministic
// cache leaf 4 where the processor has it, else the L3 (or, without one, the
// L2) size of extended leaf 0x80000006. 0 when the processor tells neither.
size_t last_level_cache_bytes();
