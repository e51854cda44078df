// The keyboard layout's character for a virtual key, from the system.
#include <windows.h>

#include "sys/platform.h"

namespace sys {

uint32_t map_virtual_key_to_char(uint32_t virtual_key) {
  return MapVirtualKeyA(virtual_key, MAPVK_VK_TO_CHAR);
}

uint16_t keyboard_language_id() {
  // The low word of the layout handle is its language.
  return static_cast<uint16_t>(reinterpret_cast<uintptr_t>(GetKeyboardLayout(0)) & 0xFFFF);
}

}  // namespace sys
