#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "common/console_key_events.h"
#include "common/virtual_keys.h"

namespace {

ConsoleKeyEvent keypad_digit(int digit, uint32_t state = vk::kLeftAltPressed) {
  return {true, 1, 0, 0x47, vk::kNumpad0 + digit, state};
}
const ConsoleKeyEvent kAltDown{true, 1, 0, 0x38, vk::kMenu, vk::kLeftAltPressed};
const ConsoleKeyEvent kAltUp{false, 1, 0, 0x38, vk::kMenu, 0};

// The codes of Alt held, the digits typed on the keypad, Alt released.
std::vector<int32_t> typed(AltCode* alt, std::initializer_list<int> digits) {
  std::vector<int32_t> codes;
  auto add = [&](const ConsoleKeyEvent& event) {
    const int32_t code = console_key_code(alt, event);
    if (code != -1) codes.push_back(code);
  };
  add(kAltDown);
  for (int digit : digits) {
    add(keypad_digit(digit));
    add({false, 1, 0, 0x47, vk::kNumpad0 + digit, vk::kLeftAltPressed});
  }
  add(kAltUp);
  return codes;
}

TEST(ConsoleKeyEvents, DecimalCodeIsOneKeyOfItsLowByteWhenAltIsReleased) {
  AltCode alt{};
  EXPECT_EQ(typed(&alt, {1, 3, 0}), std::vector<int32_t>{130});
  EXPECT_EQ(typed(&alt, {2, 5, 6}), std::vector<int32_t>{0});  // 256: the key 0
  EXPECT_EQ(typed(&alt, {9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 6, 5}),
            std::vector<int32_t>{static_cast<int32_t>(99999999999999965ull % 256)});
  // Past 24 bits with a low byte of 0: still the key 0, not "no code".
  EXPECT_EQ(typed(&alt, {1, 6, 7, 7, 7, 2, 1, 6}), std::vector<int32_t>{0});
  EXPECT_EQ(typed(&alt, {0, 0}), std::vector<int32_t>{});  // nothing but zeros: no key
  EXPECT_EQ(alt.value, 0u);
}

TEST(ConsoleKeyEvents, OtherModifiersEndTheCodeAndRepeatsOfNothingAreIgnored) {
  AltCode alt{};
  EXPECT_EQ(console_key_code(&alt, kAltDown), -1);
  EXPECT_EQ(console_key_code(&alt, keypad_digit(6)), -1);
  EXPECT_EQ(console_key_code(&alt, keypad_digit(5)), -1);
  // Ctrl joins: the code so far comes out at once.
  EXPECT_EQ(console_key_code(&alt, {true, 1, 0, 0x1D, vk::kControl, vk::kLeftAltPressed | vk::kLeftCtrlPressed}), 65);
  EXPECT_EQ(console_key_code(&alt, kAltUp), -1);
  // A key-down event with no repeats carries no key, and does not end a code.
  EXPECT_EQ(console_key_code(&alt, keypad_digit(7)), -1);
  EXPECT_EQ(console_key_code(&alt, {true, 0, 'a', 0x1E, 'A', 0}), -1);
  EXPECT_EQ(console_key_code(&alt, kAltUp), 7);
  // Shift joins: the same.
  EXPECT_EQ(console_key_code(&alt, kAltDown), -1);
  EXPECT_EQ(console_key_code(&alt, keypad_digit(6)), -1);
  EXPECT_EQ(console_key_code(&alt, keypad_digit(6)), -1);
  EXPECT_EQ(console_key_code(&alt, {true, 1, 0, 0x2A, vk::kShift, vk::kLeftAltPressed | vk::kShiftPressed}), 66);
  EXPECT_EQ(console_key_code(&alt, kAltUp), -1);
  // A key of its own in between (Alt+F1) drops the digits typed before it.
  EXPECT_EQ(console_key_code(&alt, kAltDown), -1);
  EXPECT_EQ(console_key_code(&alt, keypad_digit(6)), -1);
  EXPECT_NE(console_key_code(&alt, {true, 1, 0, 0x3B, 0x70, vk::kLeftAltPressed}), -1);
  EXPECT_EQ(console_key_code(&alt, kAltUp), -1);
  EXPECT_EQ(console_key_code(nullptr, kAltUp), -1);
}

}  // namespace
