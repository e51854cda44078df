// The routed printing; it needs only the hook table and the console.
#include "rt/routed_print.h"

#include "con/console.h"
#include "rt/hook_table.h"

void print_bytes(const uint8_t* bytes, int length, int flags) {
  if (auto handler = hook_table().print_bytes) handler(bytes, length, flags);
  else console_print(bytes, length, flags);
}

void print_wide(const uint16_t* units, int length, int flags) {
  if (auto handler = hook_table().print_wide) handler(units, length, flags);
  else console_print_wide(units, length, flags);
}
