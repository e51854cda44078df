#include <gtest/gtest.h>

#include "rt/runtime.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZQ_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(ZQ_ASAN)
// Allocations too large to make come back as null, as they do from the
// platform's allocator, so that the tests see the code's own fallback.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; }
#endif

int main(int argc, char** argv) {
  runtime_start();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
