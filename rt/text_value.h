// The runtime's counted byte string and its temporaries.
#pragma once

#include <cstdint>

#include "rt/text_value_record.h"

// Operand sizes: -1 means the reference is a TextValue; anything else means
// a zero-terminated byte buffer. A null reference is an empty text.
constexpr int kTextValueOperand = -1;

inline uint32_t text_length(const TextValue* value) {
  return value ? (value->length & kTextLengthMask) : 0;
}

TextValue* text_empty();  // the shared empty value; never freed
TextValue* text_literal(const char* bytes, int length);
TextValue* text_literal_z(const char* bytes);
TextValue* text_temp(TextValue* descriptor, int length);
int text_release(TextValue* value);
// A temporary holding a copy of length bytes; the shared empty value when
// none can be made.
TextValue* text_from_bytes(const char* bytes, int length);
TextValue* text_from_int(int32_t value);
TextValue* text_from_uint(uint32_t value);

TextValue* text_concat(TextValue* destination, const void* a, int a_size, const void* b, int b_size);
int text_compare(const void* a, int a_size, const void* b, int b_size);
void* text_assign(void* destination, int destination_size, const void* source, int source_size,
                  int fill, int fresh);

// Number of pool descriptors in use (for tests and leak checks).
int text_pool_in_use();

// Printing to a file number: 0 is the screen, -1 and 1-254 further records.
void print_value(int file, TextValue* value, int mask);
void print_end(int file, int mask);
