// The one mapping between Windows virtual keys and scancodes, and the tables
// that turn a scancode with its modifiers into an extended key code.
#pragma once

#include <array>
#include <cstdint>

// {scancode, virtual key, alternative virtual key (0 = none)}, ascending by
// scancode; the row after the last has scancode 0.
struct KeyTableRow {
  uint8_t scancode;
  uint8_t virtual_key;
  uint8_t alternative_virtual_key;
};
constexpr int kKeyTableRows = 86;
extern const KeyTableRow key_table[kKeyTableRows + 1];

// Keys of the enhanced (grey) block, by scancode. Entries up to 0xFF are
// characters, larger ones carry the extended code in their high byte.
struct ExtendedKeyRow {
  uint8_t scancode;
  uint16_t normal;
  uint16_t shift;
  uint16_t ctrl;
  uint16_t alt;
};
constexpr int kExtendedKeyRows = 12;
extern const ExtendedKeyRow extended_key_table[kExtendedKeyRows];

// Indexed by scancode 0x00-0x58. Only entries above 0xFF matter; they carry
// the extended code in their high byte.
struct ScancodeRow {
  uint16_t normal;
  uint16_t shift;
  uint16_t ctrl;
  uint16_t alt;
};
constexpr int kScancodeTableRows = 0x59;
extern const std::array<ScancodeRow, kScancodeTableRows> scancode_table;

// The scancode of the first key_table row whose virtual key or alternative
// virtual key is the given one; 0 when none is.
int scancode_from_virtual_key(int virtual_key);
