// Random key events through the key translation and the console's decimal
// Alt code: every result is no key, a character or an extended code, and a
// decimal code typed on the keypad comes out as its low byte.
#include <cstdint>
#include <cstdlib>

#include "common/console_key_events.h"
#include "common/key_translation.h"
#include "common/virtual_keys.h"
#include "fuzz_input.h"

namespace {

bool valid_code(int32_t code) { return code == -1 || (code >= 1 && code <= 255) || (code & 0xFF) == 0xFF; }

bool valid_console_code(int32_t code) { return code == -1 || (code >= 0 && code <= 255) || (code & 0xFF) == 0xFF; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t length) {
  if (length > 4096) return 0;
  FuzzInput in(data, length);
  AltCode alt{};
  while (!in.empty()) {
    if (in.byte() & 1) {
      const int32_t code = translate_key(in.value(), in.value(), in.value(), static_cast<uint32_t>(in.value()));
      if (!valid_code(code)) std::abort();
      continue;
    }
    if (in.byte() & 1) {
      // A decimal code typed in full: Alt down, digits, Alt up.
      alt = AltCode{};
      uint64_t typed = 0;
      const int digits = 1 + in.below(12);
      int32_t code = -1;
      for (int i = 0; i < digits; ++i) {
        const int digit = in.below(10);
        typed = typed * 10 + static_cast<uint64_t>(digit);
        code = console_key_code(&alt, ConsoleKeyEvent{true, 1, 0, 0x47, vk::kNumpad0 + digit, vk::kLeftAltPressed});
        if (code != -1) std::abort();  // a digit is no key of its own
      }
      code = console_key_code(&alt, ConsoleKeyEvent{false, 1, 0, 0x38, vk::kMenu, 0});
      // Only zeros typed is no code at all.
      if (code != (typed == 0 ? -1 : static_cast<int32_t>(typed % 256))) std::abort();
      continue;
    }
    const ConsoleKeyEvent event{(in.byte() & 1) != 0, in.below(3), in.byte(), in.value(), in.value(),
                                static_cast<uint32_t>(in.value())};
    if (!valid_console_code(console_key_code(&alt, event))) std::abort();
  }
  return 0;
}
