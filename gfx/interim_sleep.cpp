// Interim graphics sleep: a plain sleep, until the key-aware form lands.
#include "gfx/gfx_handlers.h"
#include "sys/platform.h"

void gfx_sleep(int milliseconds) {
  if (milliseconds > 0) sys::sleep_ms(static_cast<uint32_t>(milliseconds));
}
