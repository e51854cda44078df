// The keyboard layout's character for a virtual key, from the system.
#include <windows.h>

#include "sys/platform.h"

namespace sys {

uint32_t map_virtual_key_to_char(uint32_t virtual_key) {
  return MapVirtualKeyA(virtual_key, MAPVK_VK_TO_CHAR);
}

}  // namespace sys
