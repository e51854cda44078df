#include <gtest/gtest.h>

#include <set>

#include "common/key_tables.h"
#include "common/key_translation.h"
#include "common/virtual_keys.h"

namespace {

TEST(KeyTranslation, KeysWithoutCharacterBecomeExtendedCodes) {
  EXPECT_EQ(translate_key(0, 0x3B, vk::kF1, 0), 0x3BFF);
  EXPECT_EQ(translate_key(0, 0x3E, vk::kF4, vk::kLeftAltPressed), 0x6BFF);
  EXPECT_EQ(translate_key(0, 0x3E, vk::kF4, vk::kRightAltPressed), 0x6BFF);
  EXPECT_EQ(translate_key(0, 0x44, vk::kF10, 0), 0x44FF);
  EXPECT_EQ(translate_key(0, 0x3C, vk::kF1 + 1, vk::kShiftPressed), 0x55FF);
  EXPECT_EQ(translate_key(0, 0x57, vk::kF11, 0), 0x85FF);
  EXPECT_EQ(translate_key(0, 0x58, vk::kF12, vk::kLeftCtrlPressed), 0x8AFF);
}

TEST(KeyTranslation, EnhancedKeysUseTheirOwnTable) {
  EXPECT_EQ(translate_key(0, 0x48, vk::kUp, vk::kEnhancedKey), 0x48FF);
  EXPECT_EQ(translate_key(0, 0x4D, vk::kRight, vk::kEnhancedKey), 0x4DFF);
  EXPECT_EQ(translate_key(0, 0x48, vk::kUp, vk::kEnhancedKey | vk::kLeftCtrlPressed), 0x8DFF);
  EXPECT_EQ(translate_key(0, 0x53, vk::kDelete, vk::kEnhancedKey | vk::kLeftAltPressed), 0xA3FF);
  // The keypad's Enter gives a character, Ctrl+Enter a line feed.
  EXPECT_EQ(translate_key(0, 0x1C, vk::kReturn, vk::kEnhancedKey), 0x0D);
  EXPECT_EQ(translate_key(0, 0x1C, vk::kReturn, vk::kEnhancedKey | vk::kRightCtrlPressed), 0x0A);
  // An enhanced key that has no row (right Ctrl) gives nothing.
  EXPECT_EQ(translate_key(0, 0x1D, vk::kControl, vk::kEnhancedKey | vk::kRightCtrlPressed), -1);
}

TEST(KeyTranslation, KeypadFollowsNumLock) {
  // NumLock off: the keypad 8 arrives as vk::kUp without the enhanced bit.
  EXPECT_EQ(translate_key(0, 0x48, vk::kUp, 0), 0x48FF);
  EXPECT_EQ(translate_key('8', 0x48, vk::kNumpad8, 0), '8');
}

TEST(KeyTranslation, CharactersAndModifiers) {
  EXPECT_EQ(translate_key('a', 0x1E, 'A', 0), 'a');
  EXPECT_EQ(translate_key('A', 0x1E, 'A', vk::kShiftPressed), 'A');
  EXPECT_EQ(translate_key(1, 0x1E, 'A', vk::kLeftCtrlPressed), 1);
  EXPECT_EQ(translate_key('\t', 0x0F, vk::kTab, vk::kShiftPressed), 0x0FFF);
  EXPECT_EQ(translate_key('\t', 0x0F, vk::kTab, 0), '\t');
  // Alt with a letter in either case gives the letter's scancode.
  EXPECT_EQ(translate_key('a', 0x1E, 'A', vk::kLeftAltPressed), 0x1EFF);
  EXPECT_EQ(translate_key('A', 0x1E, 'A', vk::kLeftAltPressed | vk::kShiftPressed), 0x1EFF);
  // A character that is not the key's own does not take the extended code.
  EXPECT_EQ(translate_key('@', 0x10, 'Q', vk::kRightAltPressed | vk::kLeftCtrlPressed), '@');
}

TEST(KeyTranslation, NothingToReport) {
  EXPECT_EQ(translate_key(0, 0x38, vk::kMenu, vk::kLeftAltPressed), -1);
  EXPECT_EQ(translate_key(0, 0x2A, vk::kShift, vk::kShiftPressed), -1);
  EXPECT_EQ(translate_key(0, 0x7F, 0xFF, 0), -1);
  EXPECT_EQ(translate_key('x', 0xFF, 'X', 0), 'x');
  EXPECT_EQ(translate_key(0, -5, 0, 0), -1);
}

TEST(KeyTables, KeyTableShape) {
  int rows = 0;
  int previous = 0;
  for (const KeyTableRow* row = key_table; row->scancode != 0; ++row) {
    EXPECT_GT(row->scancode, previous) << "row " << rows;
    EXPECT_NE(row->virtual_key, 0) << "row " << rows;
    previous = row->scancode;
    ++rows;
  }
  EXPECT_EQ(rows, kKeyTableRows);
  EXPECT_EQ(key_table[kKeyTableRows - 1].scancode, 0x5D);
  const std::set<int> gaps = {0x4A, 0x4C, 0x54, 0x55, 0x56, 0x59, 0x5A};
  for (int s = 1; s <= 0x5D; ++s) {
    bool found = false;
    for (int i = 0; i < kKeyTableRows; ++i) found = found || key_table[i].scancode == s;
    EXPECT_EQ(found, gaps.count(s) == 0) << "scancode " << s;
  }
}

TEST(KeyTables, VirtualKeyToScancode) {
  EXPECT_EQ(scancode_from_virtual_key(vk::kShift), 0x2A);
  EXPECT_EQ(scancode_from_virtual_key('A'), 0x1E);
  EXPECT_EQ(scancode_from_virtual_key(vk::kNumpad8), 0x48);
  EXPECT_EQ(scancode_from_virtual_key(vk::kUp), 0x48);
  EXPECT_EQ(scancode_from_virtual_key(vk::kSubtract), 0x0C);
  EXPECT_EQ(scancode_from_virtual_key(vk::kApps), 0x5D);
  EXPECT_EQ(scancode_from_virtual_key(vk::kLShift), 0);
  EXPECT_EQ(scancode_from_virtual_key(0), 0);
  EXPECT_EQ(scancode_from_virtual_key(-1), 0);
}

}  // namespace
