// The platform semaphore's maximum count, also under simultaneous releases.
#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "sys/platform.h"

namespace {

TEST(PlatformSemaphore, CountStopsAtTheMaximum) {
  sys::Semaphore* semaphore = sys::semaphore_new(0, 2);
  ASSERT_NE(semaphore, nullptr);
  EXPECT_FALSE(sys::semaphore_try_acquire(semaphore));
  for (int i = 0; i < 5; ++i) sys::semaphore_signal(semaphore);
  EXPECT_TRUE(sys::semaphore_try_acquire(semaphore));
  EXPECT_TRUE(sys::semaphore_try_acquire(semaphore));
  EXPECT_FALSE(sys::semaphore_try_acquire(semaphore));
  sys::semaphore_signal(semaphore);
  sys::semaphore_acquire(semaphore);
  EXPECT_FALSE(sys::semaphore_try_acquire(semaphore));
  sys::semaphore_delete(semaphore);
  EXPECT_FALSE(sys::semaphore_try_acquire(nullptr));
}

// Two threads release an empty semaphore of maximum 1 at the same moment,
// round after round: each round must leave exactly one count. A check of the
// count apart from the post lets both through now and then. The threads poll
// rather than block between rounds so that their releases meet.
TEST(PlatformSemaphore, SimultaneousReleasesKeepTheMaximum) {
  sys::Semaphore* semaphore = sys::semaphore_new(0, 1);
  ASSERT_NE(semaphore, nullptr);
  constexpr int kRounds = 20000;
  std::atomic<int> round{0};
  std::atomic<int> released{0};
  auto releaser = [&] {
    for (int seen = 1; seen <= kRounds; ++seen) {
      while (round.load() < seen) std::this_thread::yield();
      sys::semaphore_signal(semaphore);
      released.fetch_add(1);
    }
  };
  std::thread first(releaser), second(releaser);
  int over = 0;
  for (int next = 1; next <= kRounds; ++next) {
    round.store(next);
    while (released.load() < 2 * next) std::this_thread::yield();
    const bool one = sys::semaphore_try_acquire(semaphore);
    const bool two = sys::semaphore_try_acquire(semaphore);
    if (!one || two) ++over;
  }
  first.join();
  second.join();
  EXPECT_EQ(over, 0);
  sys::semaphore_delete(semaphore);
}

}  // namespace
