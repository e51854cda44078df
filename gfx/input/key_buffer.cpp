// The ring of typed key codes, filled by the window side and read by the
// program side.
#include "gfx/input/key_input.h"

KeyBuffer key_buffer{};

void key_buffer_push(int32_t code) {
  // -1 and 0 mean no key; queued, they would be read as a key and make a
  // waiting reader wait on.
  if (code == 0 || code == -1) return;
  key_buffer.key_buffer[key_buffer.key_write_index] = code;
  const int32_t next = (key_buffer.key_write_index + 1) & 15;
  // A full ring drops its oldest code.
  if (next == key_buffer.key_read_index) key_buffer.key_read_index = (key_buffer.key_read_index + 1) & 15;
  key_buffer.key_write_index = next;
  key_buffer.key_hit = 1;
}

int32_t key_buffer_take_hit() {
  screen_lock();
  const int32_t hit = key_buffer.key_hit;
  key_buffer.key_hit = 0;
  screen_unlock_unmarked();
  return hit;
}

int32_t key_buffer_pop() {
  screen_lock();
  int32_t code = 0;
  if (key_buffer.key_read_index != key_buffer.key_write_index) {
    code = key_buffer.key_buffer[key_buffer.key_read_index];
    key_buffer.key_read_index = (key_buffer.key_read_index + 1) & 15;
  }
  key_buffer_take_hit();
  screen_unlock_unmarked();
  return code;
}
