// The graphics screen's key-aware sleep, reached through sleep_for and the
// filled HookTable: which platform sleeps it makes and when a key ends it.
#include "rt/stepped_sleep.h"

#include <gtest/gtest.h>

#include <vector>

#include "gfx/input/key_input.h"
#include "rt/hook_table.h"
#include "rt/routed.h"

namespace {

using Steps = std::vector<uint32_t>;

Steps sleeps;
int key_at_step = -1;  // the step during which a key arrives, -1 for none

void fake_sleep(uint32_t milliseconds) {
  if (static_cast<int>(sleeps.size()) == key_at_step) key_buffer_push('x');
  sleeps.push_back(milliseconds);
}

class GraphicsSleep : public testing::Test {
 protected:
  void SetUp() override {
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
  static Steps run(int milliseconds, int key_step = -1) {
    sleeps.clear();
    key_at_step = key_step;
    EXPECT_EQ(sleep_for(milliseconds, 0), 0);
    return sleeps;
  }
  SleepFunction saved_ = nullptr;
};

TEST_F(GraphicsSleep, StepsWithoutAKey) {
  EXPECT_EQ(run(150), (Steps{50, 50, 50}));
  EXPECT_EQ(run(100), (Steps{50, 50}));
  EXPECT_EQ(run(181), (Steps{50, 50, 50, 31}));
  EXPECT_EQ(run(99), (Steps{99}));
  EXPECT_EQ(run(0), Steps{});   // returns at once on the graphics screen
  EXPECT_EQ(run(-2), Steps{});  // negative other than -1: no sleep
}

TEST_F(GraphicsSleep, KeyEndsOnlyTestedSteps) {
  EXPECT_EQ(run(150, 0), (Steps{50}));
  // The hit is consumed; the key itself stays to be read.
  EXPECT_EQ(key_buffer.key_hit, 0);
  EXPECT_EQ(key_buffer_pop(), 'x');
  // A key during the untested rest or a short sleep leaves its hit behind.
  EXPECT_EQ(run(150, 2), (Steps{50, 50, 50}));
  EXPECT_EQ(key_buffer.key_hit, 1);
  EXPECT_EQ(run(60), (Steps{60}));
  // ...which ends the next long sleep before its first step.
  EXPECT_EQ(run(500), Steps{});
}

TEST_F(GraphicsSleep, UntilAKeySleepsInStepsUntilOneComes) {
  EXPECT_EQ(run(-1, 3), (Steps{50, 50, 50, 50}));
  key_buffer_push('a');
  EXPECT_EQ(run(-1), Steps{});
}

}  // namespace
