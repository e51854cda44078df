// Turning the console's key events into key codes: translated keys, and the
// decimal code typed on the numeric keypad while Alt alone is held.
#pragma once

#include <cstdint>

struct ConsoleKeyEvent {
  bool key_down;
  int repeat_count;
  uint8_t character;       // 0 for none
  int scancode;
  int virtual_key;
  uint32_t control_state;  // the console's modifier bits
};

// The decimal code typed so far, 0 when none; one per console.
struct AltCode {
  uint32_t value;
};

// The key code an event yields, or -1 for none.
int32_t console_key_code(AltCode* alt, const ConsoleKeyEvent& event);
