// The runtime's counted byte string as a record, without its operations: the
// runtime context holds one (the shared empty value), and the operations in
// text_value.cpp need the runtime context, so the record sits below both.
#pragma once

#include <cstdint>

struct TextValue {
  char* data;         // null for an empty value that owns nothing
  uint32_t length;    // bits 0-30 length, bit 31 marks an owning temporary
  int32_t capacity;   // usable bytes, the terminating 0 not counted
};

constexpr uint32_t kTextTemporary = 0x80000000u;
constexpr uint32_t kTextLengthMask = 0x7FFFFFFFu;
