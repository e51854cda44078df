// The stores that carry input from the window side to the program side.
#pragma once

#include <cstdint>

#include "common/key_translation.h"
#include "gfx/screen.h"

struct TextValue;

struct KeyBuffer {
  int32_t key_buffer[16];
  int32_t key_write_index;
  int32_t key_read_index;
  int32_t key_hit;
};
extern KeyBuffer key_buffer;

void key_buffer_push(int32_t code);  // caller holds the window lock
int32_t key_buffer_pop();
int32_t key_buffer_take_hit();

int gfx_keyhit();
int gfx_getkey();
TextValue* gfx_inkey();
int gfx_multikey(int scancode);
// The first code from first (at least 1) to 127 whose key gfx_multikey
// answers held, 0 when there is none: one lock and a few word reads
// instead of a query per code.
int gfx_next_multikey(int first);
// The index of the first nonzero byte of bytes[first, end), or end when
// there is none (first below 0 counts as 0; end below 0 as 0). Little-endian
// word reads, eight bytes at a time.
int next_nonzero_byte(const uint8_t* bytes, int first, int end);

void post_screen_event(const ScreenEvent& event);
// Takes the oldest event; false when the queue is empty or no screen is open.
bool take_screen_event(ScreenEvent* event);
