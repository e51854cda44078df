#include <gtest/gtest.h>

#include <map>
#include <string>

#include "keys/key_names.h"
#include "keys/source/raw_key_decode.h"
#include "common/key_tables.h"

namespace {

// What each scancode of the key table is called when it comes without a
// prefix, on a US keyboard.
const std::map<int, std::string> kExpectedPlain = {
    {0x01, "Escape"}, {0x02, "1"}, {0x03, "2"}, {0x04, "3"}, {0x05, "4"}, {0x06, "5"},
    {0x07, "6"}, {0x08, "7"}, {0x09, "8"}, {0x0A, "9"}, {0x0B, "0"}, {0x0C, "Minus"},
    {0x0D, "Equals"}, {0x0E, "Backspace"}, {0x0F, "Tab"}, {0x10, "Q"}, {0x11, "W"},
    {0x12, "E"}, {0x13, "R"}, {0x14, "T"}, {0x15, "Y"}, {0x16, "U"}, {0x17, "I"}, {0x18, "O"},
    {0x19, "P"}, {0x1A, "Left Bracket"}, {0x1B, "Right Bracket"}, {0x1C, "Enter"},
    {0x1D, "Left Ctrl"}, {0x1E, "A"}, {0x1F, "S"}, {0x20, "D"}, {0x21, "F"}, {0x22, "G"},
    {0x23, "H"}, {0x24, "J"}, {0x25, "K"}, {0x26, "L"}, {0x27, "Semicolon"},
    {0x28, "Apostrophe"}, {0x29, "Grave"}, {0x2A, "Left Shift"}, {0x2B, "Backslash"},
    {0x2C, "Z"}, {0x2D, "X"}, {0x2E, "C"}, {0x2F, "V"}, {0x30, "B"}, {0x31, "N"}, {0x32, "M"},
    {0x33, "Comma"}, {0x34, "Period"}, {0x35, "Slash"}, {0x36, "Right Shift"},
    {0x37, "Keypad *"}, {0x38, "Left Alt"}, {0x39, "Space"}, {0x3A, "Caps Lock"},
    {0x3B, "F1"}, {0x3C, "F2"}, {0x3D, "F3"}, {0x3E, "F4"}, {0x3F, "F5"}, {0x40, "F6"},
    {0x41, "F7"}, {0x42, "F8"}, {0x43, "F9"}, {0x44, "F10"}, {0x45, "Num Lock"},
    {0x46, "Scroll Lock"}, {0x47, "Keypad 7"}, {0x48, "Keypad 8"}, {0x49, "Keypad 9"},
    {0x4B, "Keypad 4"}, {0x4D, "Keypad 6"}, {0x4E, "Keypad +"}, {0x4F, "Keypad 1"},
    {0x50, "Keypad 2"}, {0x51, "Keypad 3"}, {0x52, "Keypad 0"}, {0x53, "Keypad ."},
    {0x57, "F11"}, {0x58, "F12"}, {0x5B, "Left Windows"}, {0x5C, "Right Windows"},
    {0x5D, "Menu"},
};

// The grey keys that share a scancode of the table and differ by E0.
const std::map<int, std::string> kExpectedE0 = {
    {0x1C, "Keypad Enter"}, {0x1D, "Right Ctrl"}, {0x35, "Keypad /"}, {0x38, "Right Alt"},
    {0x47, "Home"}, {0x48, "Up"}, {0x49, "Page Up"}, {0x4B, "Left"}, {0x4D, "Right"},
    {0x4F, "End"}, {0x50, "Down"}, {0x51, "Page Down"}, {0x52, "Insert"}, {0x53, "Delete"},
    {0x5B, "Left Windows"}, {0x5C, "Right Windows"}, {0x5D, "Menu"}, {0x37, "Print Screen"},
};

TEST(KeyNames, EveryScancodeOfTheKeyTableHasItsName) {
  int rows = 0;
  for (const KeyTableRow* row = key_table; row->scancode != 0; ++row, ++rows) {
    const auto expected = kExpectedPlain.find(row->scancode);
    ASSERT_NE(expected, kExpectedPlain.end()) << "no expected name for " << int(row->scancode);
    EXPECT_EQ(key_name(make_key_id(row->scancode, kNoPrefix)), expected->second);
  }
  EXPECT_EQ(rows, kKeyTableRows);
  EXPECT_EQ(kExpectedPlain.size(), static_cast<size_t>(kKeyTableRows));
  for (const auto& [scancode, name] : kExpectedE0)
    EXPECT_EQ(key_name(make_key_id(scancode, kPrefixE0)), name) << scancode;

  // The translation table's rows reach 0x58; those without a key_table row
  // are the keypad's - and 5, SysRq and the 102nd key. 0x55 is no key.
  EXPECT_STREQ(key_name(make_key_id(0x4A, kNoPrefix)), "Keypad -");
  EXPECT_STREQ(key_name(make_key_id(0x4C, kNoPrefix)), "Keypad 5");
  EXPECT_STREQ(key_name(make_key_id(0x54, kNoPrefix)), "SysRq");
  EXPECT_STREQ(key_name(make_key_id(0x56, kNoPrefix)), "102nd Key");
  for (int scancode = 1; scancode < kScancodeTableRows; ++scancode) {
    if (scancode != 0x55) {
      EXPECT_STRNE(key_name(make_key_id(scancode, kNoPrefix)), "Unknown") << scancode;
    }
  }
}

TEST(KeyNames, PrefixesAndUnknownIds) {
  EXPECT_STREQ(key_name(make_key_id(0x45, kPrefixE1)), "Pause");
  EXPECT_STREQ(key_prefix_text(make_key_id(0x45, kPrefixE1)), "e1");
  EXPECT_STREQ(key_prefix_text(make_key_id(0x1C, kPrefixE0)), "e0");
  EXPECT_STREQ(key_prefix_text(make_key_id(0x1C, kNoPrefix)), "");
  for (int key : {-1, kKeyIdCount, 0, make_key_id(0x1E, kPrefixE1), make_key_id(0x01, kPrefixE0),
                  make_key_id(0xFF, kNoPrefix), 0x7FFFFFFF})
    EXPECT_STREQ(key_name(key), "Unknown") << key;
  // Every id gives a name, never a null pointer.
  for (int key = 0; key < kKeyIdCount; ++key) EXPECT_NE(key_name(key), nullptr);
}

constexpr int kVkPause = 0x13, kVkNumLock = 0x90, kVkShift = 0x10, kVkReturn = 0x0D, kVkUp = 0x26;

TEST(RawKeyDecode, PauseAndNumLockAsWindowsAndWineReportThem) {
  const int pause = make_key_id(0x45, kPrefixE1);
  const int num_lock = make_key_id(0x45, kNoPrefix);
  // Windows: Pause as E1 1D with its second half marked 0xFF; Num Lock plain.
  EXPECT_EQ(raw_key_id(0x1D, kRawKeyE1, kVkPause), pause);
  EXPECT_EQ(raw_key_id(0x45, 0, 0xFF), -1);
  EXPECT_EQ(raw_key_id(0x45, 0, kVkNumLock), num_lock);
  // Wine: Pause plain 45, Num Lock with E0.
  EXPECT_EQ(raw_key_id(0x45, 0, kVkPause), pause);
  EXPECT_EQ(raw_key_id(0x45, kRawKeyE0, kVkNumLock), num_lock);
  // Ctrl+Pause arrives as Break.
  EXPECT_EQ(raw_key_id(0x46, kRawKeyE0, 0x03), pause);
  // Releases decode the same.
  EXPECT_EQ(raw_key_id(0x45, kRawKeyBreak | kRawKeyE0, kVkNumLock), num_lock);
}

TEST(RawKeyDecode, SharedScancodesStayApart) {
  EXPECT_EQ(raw_key_id(0x1C, 0, kVkReturn), make_key_id(0x1C, kNoPrefix));
  EXPECT_EQ(raw_key_id(0x1C, kRawKeyE0, kVkReturn), make_key_id(0x1C, kPrefixE0));
  EXPECT_EQ(raw_key_id(0x2A, 0, kVkShift), make_key_id(0x2A, kNoPrefix));
  EXPECT_EQ(raw_key_id(0x36, kRawKeyBreak, kVkShift), make_key_id(0x36, kNoPrefix));
  // The fake Shift strokes around grey keys are no key.
  EXPECT_EQ(raw_key_id(0x2A, kRawKeyE0, kVkShift), -1);
  EXPECT_EQ(raw_key_id(0x36, kRawKeyE0 | kRawKeyBreak, kVkShift), -1);
  // Print Screen, also as SysRq with Alt.
  EXPECT_EQ(raw_key_id(0x37, kRawKeyE0, 0x2C), make_key_id(0x37, kPrefixE0));
  EXPECT_EQ(raw_key_id(0x54, 0, 0x2C), make_key_id(0x37, kPrefixE0));
  // A record without a make code takes the page's scancode for its key.
  EXPECT_EQ(raw_key_id(0, 0, 'A'), make_key_id(0x1E, kNoPrefix));
  EXPECT_EQ(raw_key_id(0x80, 0, 'A'), make_key_id(0x1E, kNoPrefix));  // 0x80 is no make code
  EXPECT_EQ(raw_key_id(0, kRawKeyE0, kVkUp), make_key_id(0x48, kPrefixE0));  // a grey arrow
  EXPECT_EQ(raw_key_id(0, 0, 0xE8), -1);
  EXPECT_EQ(raw_key_id(0xFF, 0, 0), -1);
  EXPECT_EQ(raw_key_id(-1, 0, 0), -1);
}

}  // namespace
