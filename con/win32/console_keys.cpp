// The console's typed keys: a ring of key codes filled from the console input
// queue and by the control handler, read by the console branches of the key
// queries and by the console sleep.
#include "con/win32/console_keys.h"

#include <cstdlib>

#include "con/console.h"
#include "common/console_key_events.h"
#include "common/key_translation.h"
// Upward, by design: waiting for a key sleeps through the routed sleep, as
// the program's own sleep does.
#include "rt/routed.h"
#include "rt/stepped_sleep.h"
#include "rt/text_value.h"

namespace {

constexpr int32_t kRingSize = 512;
constexpr int32_t kNoKey = -1;

struct ConsoleKeyRing {
  int32_t console_keys[kRingSize];
  int32_t console_write_index;  // equal indices mean empty: at most 511 keys
  int32_t console_read_index;
  int32_t console_key_hit;      // set by every push, cleared by every take
};

// All of this is constant-initialised to zero, so it is usable before any
// constructor runs (the runtime starts from one).
ConsoleKeyRing ring;
// The control handler pushes from a system thread while the program's thread
// polls and takes, so every access to the ring goes under this spin lock.
// A spin lock needs no initialisation and is held for a few instructions.
volatile LONG ring_lock = 0;
// The decimal code typed on the numeric keypad with Alt held.
// Only the program's thread touches it.
AltCode alt_code{};
bool ctrl_handler_installed = false;

class RingGuard {
 public:
  RingGuard() {
    while (InterlockedExchange(&ring_lock, 1) != 0) Sleep(0);
  }
  ~RingGuard() { InterlockedExchange(&ring_lock, 0); }
  RingGuard(const RingGuard&) = delete;
  RingGuard& operator=(const RingGuard&) = delete;
};

void ring_push(int32_t code) {
  RingGuard guard;
  ring.console_keys[ring.console_write_index] = code;
  const int32_t next = (ring.console_write_index + 1) % kRingSize;
  // A full ring drops its oldest key.
  if (next == ring.console_read_index)
    ring.console_read_index = (ring.console_read_index + 1) % kRingSize;
  ring.console_write_index = next;
  ring.console_key_hit = 1;
}

// The key test of the console sleep: new input first, then the flag.
int32_t console_take_key_hit() {
  console_poll_input();
  RingGuard guard;
  const int32_t hit = ring.console_key_hit;
  ring.console_key_hit = 0;
  return hit;
}

// The oldest key, or -1 when there is none; taking removes it.
int32_t console_take_key(bool take) {
  console_poll_input();
  int32_t code = kNoKey;
  {
    RingGuard guard;
    if (ring.console_read_index == ring.console_write_index) return kNoKey;
    code = ring.console_keys[ring.console_read_index];
    if (!take) return code;
    ring.console_read_index = (ring.console_read_index + 1) % kRingSize;
  }
  console_take_key_hit();
  return code;
}

void remove_ctrl_handler() { SetConsoleCtrlHandler(console_ctrl_handler, FALSE); }

void install_ctrl_handler_once() {
  if (ctrl_handler_installed) return;
  ctrl_handler_installed = true;
  std::atexit(remove_ctrl_handler);
  SetConsoleCtrlHandler(console_ctrl_handler, TRUE);
}

void handle_key_event(const KEY_EVENT_RECORD& key) {
  const ConsoleKeyEvent event{key.bKeyDown != FALSE, key.wRepeatCount,
                              static_cast<uint8_t>(key.uChar.AsciiChar), key.wVirtualScanCode,
                              key.wVirtualKeyCode, key.dwControlKeyState};
  const int32_t code = console_key_code(&alt_code, event);
  if (code != kNoKey) ring_push(code);
}

}  // namespace

void console_poll_input() {
  install_ctrl_handler_once();
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  for (;;) {
    // Without a console (or with redirected input) the peek fails: no keys.
    INPUT_RECORD record;
    DWORD count = 0;
    if (!PeekConsoleInputA(input, &record, 1, &count) || count == 0) return;
    if (!ReadConsoleInputA(input, &record, 1, &count) || count == 0) return;
    // Mouse, focus, size and menu events are of no interest.
    if (record.EventType == KEY_EVENT) handle_key_event(record.Event.KeyEvent);
  }
}

BOOL WINAPI console_ctrl_handler(DWORD event) {
  switch (event) {
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      // The same code as Alt+F4, so that a program ends on either.
      ring_push(kCloseKey);
      return TRUE;
    default:
      return FALSE;
  }
}

void console_sleep(int milliseconds) {
  stepped_sleep(milliseconds, console_take_key_hit, true);
}

TextValue* console_read_key_text() {
  const int32_t code = console_take_key(true);
  if (code == kNoKey) return text_empty();
  if (code >= 256) {
    const char bytes[2] = {static_cast<char>(0xFF), static_cast<char>(code >> 8)};
    return text_from_bytes(bytes, 2);
  }
  const char byte = static_cast<char>(code);
  return text_from_bytes(&byte, 1);
}

int console_wait_key() {
  int32_t code = console_take_key(true);
  while (code == kNoKey) {
    sleep_wait(kSleepUntilKey);
    code = console_take_key(true);
  }
  return code;
}

int console_key_waiting() { return console_take_key(false) != kNoKey ? 1 : 0; }

void console_reset_state() {
  {
    RingGuard guard;
    ring = ConsoleKeyRing{};
  }
  alt_code = AltCode{};
  // The control handler stays installed (and its flag set): it is a fact
  // about the process, not part of the ring.
}
