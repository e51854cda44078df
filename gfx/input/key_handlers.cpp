// The graphics screen's key handlers: typed keys from the key buffer, held
// keys from the key-state table.
#include "gfx/input/key_input.h"

#include <bit>
#include <cstring>

#include "rt/routed.h"
#include "rt/text_value.h"

namespace {
// Second characters for codes 256 to 276 that are not of the 0xNNFF form.
constexpr char kLowExtendedKeys[11] = {'k', 'H', 'P', 'K', 'M', 'R', 'S', 'G', 'O', 'I', 'Q'};

char extended_key_character(int32_t code) {
  if ((code & 0xFF) == 0xFF) return static_cast<char>((code >> 8) & 0xFF);
  int index = code - 256;
  if (index > 20) index = 20;
  if (index <= 10) return kLowExtendedKeys[index];
  return static_cast<char>(0x3B + (index - 11));
}
}  // namespace

int gfx_keyhit() {
  screen_lock();
  const int waiting = key_buffer.key_read_index != key_buffer.key_write_index ? 1 : 0;
  screen_unlock_unmarked();
  return waiting;
}

int gfx_getkey() {
  if (!screen_state) return 0;
  int32_t code = 0;
  do {
    code = key_buffer_pop();
    sleep_wait(20);
  } while (code == 0);
  return code;
}

TextValue* gfx_inkey() {
  if (!screen_state) return text_empty();
  const int32_t code = key_buffer_pop();
  if (code == 0) return text_empty();
  if (code <= 255) {
    const char byte = static_cast<char>(code);
    return text_from_bytes(&byte, 1);
  }
  const char bytes[2] = {static_cast<char>(0xFF), extended_key_character(code)};
  return text_from_bytes(bytes, 2);
}

int gfx_multikey(int scancode) {
  if (static_cast<unsigned>(scancode) >= static_cast<unsigned>(kKeyStateSize) || !screen_state) return 0;
  screen_lock();
  const int held = screen_state->key_state[scancode] ? -1 : 0;
  screen_unlock_unmarked();
  return held;
}

static_assert(std::endian::native == std::endian::little, "the lowest byte of a word is its first");

int next_nonzero_byte(const uint8_t* bytes, int first, int end) {
  if (!bytes || end <= 0) return end < 0 ? 0 : end;
  if (first < 0) first = 0;
  if (first >= end) return end;
  // Eight bytes a step, on words at multiples of 8 so that no read reaches
  // below the table; bytes below first are masked off the first word.
  int word_start = first & ~7;
  uint64_t word = 0;
  const int full_end = end & ~7;
  if (word_start < full_end) {
    std::memcpy(&word, bytes + word_start, 8);
    word &= ~uint64_t{0} << (8 * (first - word_start));
    while (word == 0) {
      word_start += 8;
      if (word_start >= full_end) break;
      std::memcpy(&word, bytes + word_start, 8);
    }
    if (word != 0) return word_start + std::countr_zero(word) / 8;
    first = full_end;
  }
  // The tail past the last whole word.
  for (int index = first; index < end; ++index)
    if (bytes[index] != 0) return index;
  return end;
}

int gfx_next_multikey(int first) {
  if (first < 1) first = 1;
  if (first >= kKeyStateSize || !screen_state) return 0;
  screen_lock();
  const int index = next_nonzero_byte(screen_state->key_state, first, kKeyStateSize);
  screen_unlock_unmarked();
  return index < kKeyStateSize ? index : 0;
}
