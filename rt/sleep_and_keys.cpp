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

int next_key_held(int after) {
  if (after >= kLastKeyCode) return 0;
  int code = after < 1 ? 1 : after + 1;
  const auto handler = runtime_context_record.hooks.key_held;
  int last = kLastKeyCode;
  if (handler && handler == bounded_key_held.handler) {
    // Codes above highest answer 0 without the call.
    if (bounded_key_held.highest < last) last = bounded_key_held.highest;
    if (code > last) return 0;
    if (bounded_key_held.next_held) {
      const int held = bounded_key_held.next_held(code);
      return held >= code && held <= last ? held : 0;
    }
  }
  for (; code <= last; ++code)
    if (key_held(code) != 0) return code;
  return 0;
}
