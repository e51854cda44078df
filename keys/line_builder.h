// Text for the key log and the map summary, assembled in a fixed buffer
// and handed to a LogWriter in pieces.
#pragma once

#include <cstddef>
#include <cstdint>

#include "keys/key_log_format.h"

// Text assembled in a fixed buffer and handed to the writer when the buffer
// fills and when the builder goes: an event line reaches it in one piece.
// Small on purpose: no stdio formatting, no floating point, and the appends
// kept out of line, or the compiler copies them into every call site.
class LineBuilder {
 public:
  explicit LineBuilder(const LogWriter& writer) : writer_(writer) {}
  ~LineBuilder() { flush(); }

  [[gnu::noinline]] LineBuilder& text(const char* s) {
    for (; s != nullptr && *s != '\0'; ++s) put(*s);
    return *this;
  }
  [[gnu::noinline]] LineBuilder& json_string(const char* s) {
    put('"');
    for (; s != nullptr && *s != '\0'; ++s) {
      if (*s == '"' || *s == '\\') put('\\');
      put(*s);
    }
    put('"');
    return *this;
  }
  [[gnu::noinline]] LineBuilder& integer(int64_t value) {
    char digits[24];
    int count = 0;
    uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    do {
      digits[count++] = static_cast<char>('0' + magnitude % 10);
      magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) put('-');
    while (count > 0) put(digits[--count]);
    return *this;
  }
  // Microseconds as milliseconds with three decimals.
  [[gnu::noinline]] LineBuilder& milliseconds(int64_t us) {
    if (us < 0) put('-');
    const uint64_t magnitude = us < 0 ? 0 - static_cast<uint64_t>(us) : static_cast<uint64_t>(us);
    integer(static_cast<int64_t>(magnitude / 1000)).put('.');
    const int fraction = static_cast<int>(magnitude % 1000);
    put(static_cast<char>('0' + fraction / 100));
    put(static_cast<char>('0' + fraction / 10 % 10));
    put(static_cast<char>('0' + fraction % 10));
    return *this;
  }
  // Blanks up to the given column of the current line.
  LineBuilder& pad_to(size_t column) {
    while (line_length_ < column) put(' ');
    return *this;
  }
  [[gnu::noinline]] LineBuilder& put(char c) {
    if (length_ == sizeof buffer_) flush();
    buffer_[length_++] = c;
    line_length_ = c == '\n' ? 0 : line_length_ + 1;
    return *this;
  }
  void flush() {
    if (length_ > 0 && writer_.write != nullptr) writer_.write(writer_.context, buffer_, length_);
    length_ = 0;
  }

 private:
  const LogWriter& writer_;
  char buffer_[256];
  size_t length_ = 0;
  size_t line_length_ = 0;
};

// "28" or "28 e0": the page's scancode and the prefix that sets the key apart.
LineBuilder& scancode_text(LineBuilder& out, int key);
