// Key code of a key message: characters stay characters, keys without one
// (and some keys with modifiers) become extended codes 0xNNFF.
#include "common/key_translation.h"

#include <cctype>

#include "common/key_tables.h"
#include "common/virtual_keys.h"
#include "sys/platform.h"

namespace {

constexpr uint32_t kAltBits = vk::kRightAltPressed | vk::kLeftAltPressed;
constexpr uint32_t kCtrlBits = vk::kRightCtrlPressed | vk::kLeftCtrlPressed;

int32_t extended_code(uint32_t entry) { return static_cast<int32_t>((entry & 0xFF00u) | 0xFFu); }

const ExtendedKeyRow* find_extended_row(int scancode) {
  for (const ExtendedKeyRow& row : extended_key_table) {
    if (row.scancode == scancode) return &row;
  }
  return nullptr;
}

// The character with its letter case swapped, by the C library's
// classification in the current locale; anything else is returned unchanged.
uint32_t swap_case(uint32_t character) {
  if (character > 0xFF) return character;
  const int c = static_cast<int>(character);
  if (std::isupper(c)) return static_cast<uint32_t>(std::tolower(c)) & 0xFFu;
  if (std::islower(c)) return static_cast<uint32_t>(std::toupper(c)) & 0xFFu;
  return character;
}

}  // namespace

int32_t translate_key(int character, int scancode, int virtual_key, uint32_t modifiers) {
  // A key of the enhanced block without a character: its own table.
  if (character == 0 && (modifiers & vk::kEnhancedKey)) {
    const ExtendedKeyRow* row = find_extended_row(scancode);
    if (!row) return -1;
    uint32_t entry = row->normal;
    if (modifiers & kAltBits)
      entry = row->alt;
    else if (modifiers & kCtrlBits)
      entry = row->ctrl;
    else if (modifiers & vk::kShiftPressed)
      entry = row->shift;
    if (entry == 0) return -1;
    return entry <= 0xFF ? static_cast<int32_t>(entry) : extended_code(entry);
  }

  if (scancode >= 0 && scancode < kScancodeTableRows) {
    const uint32_t key_character =
        sys::map_virtual_key_to_char(static_cast<uint32_t>(virtual_key)) & 0xFFFFu;
    const uint32_t other_case = swap_case(key_character);
    const ScancodeRow& row = scancode_table[static_cast<size_t>(scancode)];
    uint32_t entry;
    if (modifiers & kAltBits)
      entry = row.alt;
    else if (modifiers & kCtrlBits)
      entry = row.ctrl;
    else if (modifiers & vk::kShiftPressed)
      entry = row.shift;
    else
      entry = character != 0 ? key_character : row.normal;
    const auto typed = static_cast<uint32_t>(character);
    if (entry > 0xFF && (typed == key_character || typed == other_case)) return extended_code(entry);
  }

  // Only 1-255 are characters; anything else would read as another code.
  return character > 0 && character <= 0xFF ? character : -1;
}
