// Interim console input: no key is ever waiting or held.
#include "con/console.h"
#include "rt/text_value.h"
#include "sys/platform.h"

void console_sleep(int milliseconds) {
  if (milliseconds > 0) sys::sleep_ms(static_cast<uint32_t>(milliseconds));
}

TextValue* console_read_key_text() { return text_empty(); }

int console_wait_key() { return 0; }

int console_key_waiting() { return 0; }

int console_key_held(int) { return 0; }

void console_reset_state() {}
