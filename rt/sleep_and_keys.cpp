// Sleeping and the key queries, routed to the graphics screen or the console.
#include "con/console.h"
#include "rt/hook_table.h"
#include "rt/routed.h"
#include "rt/runtime.h"
#include "sys/platform.h"

int sleep_for(int milliseconds, int flag) {
  if (flag == kSleepEndedByKey) {
    sleep_wait(milliseconds);
  } else if (flag == kSleepPlain) {
    // A negative plain sleep would block forever; it sleeps not at all.
    if (milliseconds > 0) sys::sleep_ms(static_cast<uint32_t>(milliseconds));
  } else {
    return set_error(1);
  }
  return set_error(0);
}

void sleep_wait(int milliseconds) {
  if (auto handler = hook_table().sleep_wait) handler(milliseconds);
  else console_sleep(milliseconds);
}

TextValue* read_key_text() {
  if (auto handler = hook_table().read_key_text) return handler();
  return console_read_key_text();
}

int wait_key() {
  if (auto handler = hook_table().wait_key) return handler();
  return console_wait_key();
}

int key_waiting() {
  if (auto handler = hook_table().key_waiting) return handler();
  return console_key_waiting();
}
