// Without a window system the layout is taken to be the US one.
#include "common/virtual_keys.h"
#include "sys/platform.h"

namespace sys {

uint32_t map_virtual_key_to_char(uint32_t virtual_key) {
  if ((virtual_key >= 'A' && virtual_key <= 'Z') || (virtual_key >= '0' && virtual_key <= '9'))
    return virtual_key;
  if (virtual_key >= vk::kNumpad0 && virtual_key <= vk::kNumpad9) return '0' + (virtual_key - vk::kNumpad0);
  switch (virtual_key) {
    case vk::kBack: return 0x08;
    case vk::kTab: return 0x09;
    case vk::kReturn: return 0x0D;
    case vk::kEscape: return 0x1B;
    case vk::kSpace: return ' ';
    case vk::kMultiply: return '*';
    case vk::kAdd: return '+';
    case vk::kSubtract: return '-';
    case vk::kDecimal: return '.';
    case vk::kDivide: return '/';
    case vk::kOem1: return ';';
    case vk::kOemPlus: return '=';
    case vk::kOemComma: return ',';
    case vk::kOemMinus: return '-';
    case vk::kOemPeriod: return '.';
    case vk::kOem2: return '/';
    case vk::kOem3: return '`';
    case vk::kOem4: return '[';
    case vk::kOem5: return '\\';
    case vk::kOem6: return ']';
    case vk::kOem7: return '\'';
    default: return 0;
  }
}

uint16_t keyboard_language_id() { return 0x0409; }

}  // namespace sys
