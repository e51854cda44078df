// Text that a writer of the program hands to a LogWriter, collected into a
// string for the tests to compare.
#pragma once

#include <cstddef>
#include <string>

#include "keys/line_builder.h"

inline void append_to_string(void* context, const char* text, size_t length) {
  static_cast<std::string*>(context)->append(text, length);
}

// A writer that appends to *text.
inline LogWriter string_writer(std::string* text) { return LogWriter{append_to_string, text}; }

// What write(LineBuilder&) writes.
template <typename Write>
std::string written(Write write) {
  std::string text;
  const LogWriter writer = string_writer(&text);
  {
    LineBuilder out(writer);
    write(out);
  }
  return text;
}
