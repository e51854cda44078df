#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gfx/drivers/video_driver.h"

namespace {

struct Try {
  std::string name;
  int refresh_rate;
  int flags;
};
std::vector<Try> tries;
std::vector<std::string> exits;
std::string succeeds_on;  // name + flags that open, e.g. "B/1"

template <int N>
struct Fake {
  static const char* name() { return N == 0 ? "Alpha" : N == 1 ? "Beta" : "Gamma"; }
  static int init(const char*, int, int, int, int refresh_rate, int flags) {
    tries.push_back({name(), refresh_rate, flags});
    return succeeds_on == std::string(name()) + "/" + std::to_string(flags) + "/" + std::to_string(refresh_rate) ? 0 : -1;
  }
  static int exit() {
    exits.push_back(name());
    return 0;
  }
  static constexpr VideoDriver record{
      .name = N == 0 ? "Alpha" : N == 1 ? "Beta" : "Gamma", .init = init, .exit = exit};
};
const VideoDriver* const fakes[] = {&Fake<0>::record, &Fake<1>::record, &Fake<2>::record, nullptr};

std::string order() {
  std::string text;
  for (const Try& t : tries) text += t.name.substr(0, 1) + std::to_string(t.flags) + ":" + std::to_string(t.refresh_rate) + " ";
  return text;
}

class DriverSelectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tries.clear();
    exits.clear();
    succeeds_on.clear();
  }
};

TEST_F(DriverSelectTest, WithoutANameEveryDriverThenFullscreenInverted) {
  EXPECT_EQ(select_driver(fakes, nullptr, "t", 320, 200, 8, 70, 0), nullptr);
  EXPECT_EQ(order(), "A0:70 A0:0 B0:70 B0:0 G0:70 G0:0 A1:70 A1:0 B1:70 B1:0 G1:70 G1:0 ");
  EXPECT_EQ(exits.size(), tries.size());  // every failed init is followed by its exit
}

TEST_F(DriverSelectTest, ANameIsTriedAloneFirstAndAgainBeforeTheLastPass) {
  EXPECT_EQ(select_driver(fakes, "bEtA", "t", 320, 200, 8, 0, 1), nullptr);
  EXPECT_EQ(order(),
            "B1:0 B1:0 A1:0 A1:0 B1:0 B1:0 G1:0 G1:0 B1:0 B1:0 A0:0 A0:0 B0:0 B0:0 G0:0 G0:0 ");
}

TEST_F(DriverSelectTest, UnknownNameOnlyChangesTheOrder) {
  EXPECT_EQ(select_driver(fakes, "nothing", "t", 320, 200, 8, 0, 0), nullptr);
  EXPECT_EQ(order(), "A0:0 A0:0 B0:0 B0:0 G0:0 G0:0 A1:0 A1:0 B1:0 B1:0 G1:0 G1:0 ");
}

TEST_F(DriverSelectTest, StopsAtTheFirstThatOpens) {
  succeeds_on = "Beta/0/0";
  EXPECT_EQ(select_driver(fakes, nullptr, "t", 320, 200, 8, 75, 0), &Fake<1>::record);
  EXPECT_EQ(order(), "A0:75 A0:0 B0:75 B0:0 ");
  tries.clear();
  succeeds_on = "Gamma/0/0";  // fullscreen refused everywhere, then windowed
  EXPECT_EQ(select_driver(fakes, nullptr, "t", 320, 200, 8, 0, 1), &Fake<2>::record);
  EXPECT_EQ(tries.back().flags, 0);
}

TEST_F(DriverSelectTest, NullIsChosenWithoutInit) {
  EXPECT_EQ(select_driver(fakes, "NULL", "t", 320, 200, 8, 0, 0), &null_driver);
  EXPECT_EQ(select_driver(fakes, nullptr, "t", 320, 200, 8, 0, -1), &null_driver);
  EXPECT_TRUE(tries.empty());
  EXPECT_STREQ(null_driver.name, "Null");
  EXPECT_EQ(null_driver.init, nullptr);
  EXPECT_NE(null_driver.lock, nullptr);
}

TEST(DriverNameEquals, WholeNamesWithoutRegardToAsciiCase) {
  EXPECT_TRUE(driver_name_equals("gdi", "GDI"));
  EXPECT_TRUE(driver_name_equals("", ""));
  EXPECT_FALSE(driver_name_equals("GD", "GDI"));  // a prefix is no match
  EXPECT_FALSE(driver_name_equals("GDI ", "GDI"));
  EXPECT_FALSE(driver_name_equals("\xC4", "\xE4"));  // only ASCII letters fold
  EXPECT_FALSE(driver_name_equals(nullptr, "GDI"));
  EXPECT_FALSE(driver_name_equals("GDI", nullptr));
}

}  // namespace
