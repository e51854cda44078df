// The key tables: virtual key <-> scancode, and the extended codes of keys
// with modifiers.
#include "common/key_tables.h"

#include "common/virtual_keys.h"

const KeyTableRow key_table[kKeyTableRows + 1] = {
    {0x01, vk::kEscape, 0},
    {0x02, '1', 0},
    {0x03, '2', 0},
    {0x04, '3', 0},
    {0x05, '4', 0},
    {0x06, '5', 0},
    {0x07, '6', 0},
    {0x08, '7', 0},
    {0x09, '8', 0},
    {0x0A, '9', 0},
    {0x0B, '0', 0},
    {0x0C, vk::kOemMinus, vk::kSubtract},
    {0x0D, vk::kOemPlus, 0},
    {0x0E, vk::kBack, 0},
    {0x0F, vk::kTab, 0},
    {0x10, 'Q', 0},
    {0x11, 'W', 0},
    {0x12, 'E', 0},
    {0x13, 'R', 0},
    {0x14, 'T', 0},
    {0x15, 'Y', 0},
    {0x16, 'U', 0},
    {0x17, 'I', 0},
    {0x18, 'O', 0},
    {0x19, 'P', 0},
    {0x1A, vk::kOem4, 0},
    {0x1B, vk::kOem6, 0},
    {0x1C, vk::kReturn, 0},
    {0x1D, vk::kControl, 0},
    {0x1E, 'A', 0},
    {0x1F, 'S', 0},
    {0x20, 'D', 0},
    {0x21, 'F', 0},
    {0x22, 'G', 0},
    {0x23, 'H', 0},
    {0x24, 'J', 0},
    {0x25, 'K', 0},
    {0x26, 'L', 0},
    {0x27, vk::kOem1, 0},
    {0x28, vk::kOem7, 0},
    {0x29, vk::kOem3, 0},
    {0x2A, vk::kShift, 0},
    {0x2B, vk::kOem5, 0},
    {0x2C, 'Z', 0},
    {0x2D, 'X', 0},
    {0x2E, 'C', 0},
    {0x2F, 'V', 0},
    {0x30, 'B', 0},
    {0x31, 'N', 0},
    {0x32, 'M', 0},
    {0x33, vk::kOemComma, 0},
    {0x34, vk::kOemPeriod, 0},
    {0x35, vk::kOem2, vk::kDivide},
    {0x36, vk::kShift, 0},
    {0x37, vk::kMultiply, 0},
    {0x38, vk::kMenu, 0},
    {0x39, vk::kSpace, 0},
    {0x3A, vk::kCapital, 0},
    {0x3B, vk::kF1, 0},
    {0x3C, vk::kF1 + 1, 0},
    {0x3D, vk::kF1 + 2, 0},
    {0x3E, vk::kF1 + 3, 0},
    {0x3F, vk::kF1 + 4, 0},
    {0x40, vk::kF1 + 5, 0},
    {0x41, vk::kF1 + 6, 0},
    {0x42, vk::kF1 + 7, 0},
    {0x43, vk::kF1 + 8, 0},
    {0x44, vk::kF10, 0},
    {0x45, vk::kNumLock, 0},
    {0x46, vk::kScroll, 0},
    {0x47, vk::kHome, vk::kNumpad7},
    {0x48, vk::kUp, vk::kNumpad8},
    {0x49, vk::kPrior, vk::kNumpad9},
    {0x4B, vk::kLeft, vk::kNumpad4},
    {0x4D, vk::kRight, vk::kNumpad6},
    {0x4E, vk::kAdd, 0},
    {0x4F, vk::kEnd, vk::kNumpad1},
    {0x50, vk::kDown, vk::kNumpad2},
    {0x51, vk::kNext, vk::kNumpad3},
    {0x52, vk::kInsert, vk::kNumpad0},
    {0x53, vk::kDelete, vk::kDecimal},
    {0x57, vk::kF11, 0},
    {0x58, vk::kF12, 0},
    {0x5B, vk::kLWin, 0},
    {0x5C, vk::kRWin, 0},
    {0x5D, vk::kApps, 0},
    {0, 0, 0},
};

const ExtendedKeyRow extended_key_table[kExtendedKeyRows] = {
    {0x1C, 0x000D, 0x000D, 0x000A, 0xA600},
    {0x35, 0x002F, 0x003F, 0x9500, 0xA400},
    {0x47, 0x4700, 0x4700, 0x7700, 0x9700},
    {0x48, 0x4800, 0x4800, 0x8D00, 0x9800},
    {0x49, 0x4900, 0x4900, 0x8400, 0x9900},
    {0x4B, 0x4B00, 0x4B00, 0x7300, 0x9B00},
    {0x4D, 0x4D00, 0x4D00, 0x7400, 0x9D00},
    {0x4F, 0x4F00, 0x4F00, 0x7500, 0x9F00},
    {0x50, 0x5000, 0x5000, 0x9100, 0xA000},
    {0x51, 0x5100, 0x5100, 0x7600, 0xA100},
    {0x52, 0x5200, 0x5200, 0x9200, 0xA200},
    {0x53, 0x5300, 0x5300, 0x9300, 0xA300},
};

namespace {

constexpr uint16_t extended(int code) { return static_cast<uint16_t>(code << 8); }

// Only the entries that yield extended codes are filled; every other entry
// is 0, which has no effect in the translation.
constexpr std::array<ScancodeRow, kScancodeTableRows> build_scancode_table() {
  std::array<ScancodeRow, kScancodeTableRows> table{};
  table[0x01].alt = extended(0x01);

  // Alt with the digit row; Ctrl+2 is the null character's key.
  constexpr uint8_t digit_alt[10] = {0x78, 0x79, 0x7A, 0x7B, 0x7C, 0x7D, 0x82, 0x83, 0x80, 0x81};
  for (int i = 0; i < 10; ++i) table[0x02 + i].alt = extended(digit_alt[i]);
  table[0x03].ctrl = extended(0x03);
  table[0x0C].alt = extended(0x82);
  table[0x0D].alt = extended(0x83);
  table[0x0E].alt = extended(0xE0);
  table[0x0F] = {0, extended(0x0F), extended(0x94), extended(0x0F)};

  // Letters and punctuation with Alt give their own scancode.
  constexpr uint8_t alt_own[] = {0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A,
                                 0x1B, 0x1C, 0x1E, 0x1F, 0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26,
                                 0x27, 0x28, 0x29, 0x2C, 0x2D, 0x2E, 0x2F, 0x30, 0x31, 0x32, 0x33,
                                 0x34, 0x35};
  for (uint8_t s : alt_own) table[s].alt = extended(s);

  for (int s = 0x3B; s <= 0x44; ++s)
    table[s] = {extended(s), extended(s + 0x19), extended(s + 0x23), extended(s + 0x2D)};

  // The keypad block: the key itself, and its own codes with Ctrl.
  constexpr uint8_t keypad[][2] = {{0x47, 0x77}, {0x48, 0x8D}, {0x49, 0x84}, {0x4B, 0x73},
                                   {0x4C, 0x8F}, {0x4D, 0x74}, {0x4F, 0x75}, {0x50, 0x91},
                                   {0x51, 0x76}, {0x52, 0x92}, {0x53, 0x93}};
  for (const auto& key : keypad) {
    table[key[0]].normal = extended(key[0]);
    table[key[0]].ctrl = extended(key[1]);
  }
  table[0x4C].alt = extended(0x4C);

  table[0x57] = {extended(0x85), extended(0x87), extended(0x89), extended(0x8B)};
  table[0x58] = {extended(0x86), extended(0x88), extended(0x8A), extended(0x8C)};
  return table;
}

}  // namespace

const std::array<ScancodeRow, kScancodeTableRows> scancode_table = build_scancode_table();

int scancode_from_virtual_key(int virtual_key) {
  // 0 marks an absent alternative key; it is no key of its own.
  if (virtual_key <= 0) return 0;
  for (const KeyTableRow* row = key_table; row->scancode != 0; ++row) {
    if (row->alternative_virtual_key == virtual_key || row->virtual_key == virtual_key)
      return row->scancode;
  }
  return 0;
}
