// The console's key events as key codes.
#include "common/console_key_events.h"

#include "common/key_translation.h"
#include "common/virtual_keys.h"

namespace {

constexpr int32_t kNoKey = -1;

// The low byte of the typed decimal code (which may be 0) becomes a key.
int32_t take_alt_code(AltCode* alt) {
  const auto code = static_cast<int32_t>(alt->value % 256);
  alt->value = 0;
  return code;
}

void add_alt_digit(AltCode* alt, uint32_t digit) {
  alt->value = alt->value * 10 + digit;
  // Only the low byte is ever emitted; keep it and the "typing" state
  // without letting a long run of digits overflow.
  if (alt->value > 0xFFFFFF) alt->value = 0x100 | (alt->value & 0xFF);
}

}  // namespace

int32_t console_key_code(AltCode* alt, const ConsoleKeyEvent& event) {
  if (!alt) return kNoKey;
  const uint32_t state = event.control_state;
  const bool alt_alone = (state & (vk::kRightAltPressed | vk::kLeftAltPressed)) != 0 &&
                         (state & (vk::kRightCtrlPressed | vk::kLeftCtrlPressed | vk::kShiftPressed)) == 0;
  const int virtual_key = event.virtual_key;
  const bool keypad_digit = virtual_key >= vk::kNumpad0 && virtual_key <= vk::kNumpad9;

  if (!event.key_down) {
    // Releasing Alt (or anything else once Alt is no longer alone) ends the
    // decimal code.
    return !alt_alone && alt->value != 0 ? take_alt_code(alt) : kNoKey;
  }
  if (event.repeat_count == 0) return kNoKey;

  if (keypad_digit && alt_alone) {
    // A digit of the decimal code is not a key of its own. (Keyboard layouts
    // that give keypad digits no character would otherwise turn Alt+5 into
    // an extended key.)
    add_alt_digit(alt, static_cast<uint32_t>(virtual_key - vk::kNumpad0));
    return kNoKey;
  }
  // The character is passed as 0-255 so that 0xFF and the upper half of the
  // code page stay characters rather than turning into "no key" (-1) or
  // negative codes.
  const int32_t code = translate_key(event.character, event.scancode, virtual_key, state);
  if (code != kNoKey) {
    alt->value = 0;
    return code;
  }
  return !alt_alone && alt->value != 0 ? take_alt_code(alt) : kNoKey;
}
