// The key-aware sleep: which platform sleeps it makes and when a key ends it.
#include "rt/stepped_sleep.h"

#include <gtest/gtest.h>

#include <vector>

#include "gfx/key_input.h"
#include "rt/hook_table.h"
#include "rt/routed.h"
#include "rt/runtime.h"

namespace {

std::vector<uint32_t> sleeps;
int key_at_step = -1;  // the step during which a key arrives, -1 for none
int hits_given = 0;

void fake_sleep(uint32_t milliseconds) {
  if (static_cast<int>(sleeps.size()) == key_at_step) key_buffer_push('x');
  sleeps.push_back(milliseconds);
}

int32_t fake_take_hit() {
  if (static_cast<int>(sleeps.size()) <= key_at_step) return 0;
  ++hits_given;
  return key_at_step >= 0 ? 1 : 0;
}

// The graphics side as a program sees it: sleep_for through the filled
// HookTable into the graphics sleep and its key buffer.
class GraphicsSleep : public testing::Test {
 protected:
  void SetUp() override {
    sleeps.clear();
    key_at_step = -1;
    key_buffer = KeyBuffer{};
    saved_ = stepped_sleep_function;
    stepped_sleep_function = fake_sleep;
    hook_table_fill_graphics();
  }
  void TearDown() override {
    hook_table_clear();
    stepped_sleep_function = saved_;
    key_buffer = KeyBuffer{};
  }
  SleepFunction saved_ = nullptr;
};

using Steps = std::vector<uint32_t>;

TEST_F(GraphicsSleep, LongSleepWithoutKeyIsTwoTestedStepsAndAnUntestedRest) {
  EXPECT_EQ(sleep_for(150, 0), 0);
  EXPECT_EQ(sleeps, (Steps{50, 50, 50}));
  sleeps.clear();
  sleep_for(100, 0);
  EXPECT_EQ(sleeps, (Steps{50, 50}));
  sleeps.clear();
  sleep_for(181, 0);
  EXPECT_EQ(sleeps, (Steps{50, 50, 50, 31}));
}

TEST_F(GraphicsSleep, KeyDuringTheFirstStepEndsTheSleepAfterIt) {
  key_at_step = 0;
  EXPECT_EQ(sleep_for(150, 0), 0);
  EXPECT_EQ(sleeps, (Steps{50}));
  // The hit is consumed; the key itself stays to be read.
  EXPECT_EQ(key_buffer.key_hit, 0);
  EXPECT_EQ(key_buffer_pop(), 'x');
}

TEST_F(GraphicsSleep, KeyDuringTheUntestedRestDoesNotShortenIt) {
  key_at_step = 2;  // arrives during the final 50 ms
  sleep_for(150, 0);
  EXPECT_EQ(sleeps, (Steps{50, 50, 50}));
  EXPECT_EQ(key_buffer.key_hit, 1);
}

TEST_F(GraphicsSleep, KeyWaitingBeforeTheSleepEndsItAtOnce) {
  key_buffer_push('a');
  sleep_for(-1, 0);
  EXPECT_TRUE(sleeps.empty());
  key_buffer_push('b');
  sleep_for(500, 0);
  EXPECT_TRUE(sleeps.empty());
}

TEST_F(GraphicsSleep, UntilAKeySleepsInStepsUntilOneComes) {
  key_at_step = 3;
  sleep_for(-1, 0);
  EXPECT_EQ(sleeps, (Steps{50, 50, 50, 50}));
}

TEST_F(GraphicsSleep, ShortAndOddSleepsArePlainAndKeysDoNotEndThem) {
  key_buffer_push('a');
  sleep_for(99, 0);
  sleep_for(1, 0);
  sleep_for(0, 0);       // returns at once on the graphics screen
  sleep_for(-2, 0);      // negative other than -1: no sleep
  sleep_for(-100000, 0);
  EXPECT_EQ(sleeps, (Steps{99, 1}));
  EXPECT_EQ(key_buffer.key_hit, 1);
}

TEST_F(GraphicsSleep, BadFlagIsErrorOneWithoutSleeping) {
  EXPECT_EQ(sleep_for(10, 2), 1);
  EXPECT_EQ(get_error(), 1);
  EXPECT_EQ(sleep_for(10, -1), 1);
  EXPECT_TRUE(sleeps.empty());
  EXPECT_EQ(sleep_for(0, 0), 0);
  EXPECT_EQ(get_error(), 0);
}

// A negative plain sleep would block forever if it reached the platform.
TEST_F(GraphicsSleep, NegativePlainSleepReturns) {
  EXPECT_EQ(sleep_for(-1, 1), 0);
  EXPECT_EQ(sleep_for(-50, 1), 0);
  EXPECT_EQ(sleep_for(0, 1), 0);
}

TEST(SteppedSleep, ZeroBecomesAPlatformSleepOnlyWhenAsked) {
  SleepFunction saved = stepped_sleep_function;
  stepped_sleep_function = fake_sleep;
  sleeps.clear();
  key_at_step = -1;
  stepped_sleep(0, fake_take_hit, true);
  stepped_sleep(-7, fake_take_hit, true);
  stepped_sleep(0, fake_take_hit, false);
  EXPECT_EQ(sleeps, (Steps{0}));
  // The key test runs before every step and never after the last one.
  sleeps.clear();
  hits_given = 0;
  key_at_step = 1;
  stepped_sleep(400, fake_take_hit, true);
  EXPECT_EQ(sleeps, (Steps{50, 50}));
  EXPECT_EQ(hits_given, 1);
  stepped_sleep_function = saved;
  key_buffer = KeyBuffer{};
}

}  // namespace
