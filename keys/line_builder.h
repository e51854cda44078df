// Text for the key log and the map summary, assembled in a fixed buffer
// and handed to a LogWriter in pieces.
#pragma once

#include <cstddef>
#include <cstdint>

#include "keys/log_writer.h"

// Text assembled in a fixed buffer and handed to the writer when the buffer
// fills and when the builder goes: an event line reaches it in one piece.
// Small on purpose: no stdio formatting, no floating point, and the appends
// out of line in one place (keys/line_builder.cpp), or the compiler copies
// them into every call site and every file that writes.
class LineBuilder {
 public:
  explicit LineBuilder(const LogWriter& writer) : writer_(writer) {}
  ~LineBuilder() { flush(); }

  LineBuilder& text(const char* s);
  LineBuilder& json_string(const char* s);
  LineBuilder& integer(int64_t value);
  // Microseconds as milliseconds with three decimals, after the decimal
  // mark of the reader's language ('.' unless set).
  LineBuilder& milliseconds(int64_t us);
  // A value in thousandths with a decimal point whatever the language: for
  // numbers a program reads (SVG coordinates).
  LineBuilder& thousandths(int64_t value);
  // Blanks up to the given column of the current line, counting UTF-8
  // characters rather than bytes.
  LineBuilder& pad_to(size_t column);
  LineBuilder& set_decimal_mark(char mark) {
    decimal_mark_ = mark;
    return *this;
  }
  char decimal_mark() const { return decimal_mark_; }
  LineBuilder& put(char c);
  void flush();

 private:
  const LogWriter& writer_;
  char buffer_[256];
  size_t length_ = 0;
  size_t line_length_ = 0;
  char decimal_mark_ = '.';

  LineBuilder& fixed_three(int64_t value, char mark);
};

// A LogWriter's target in memory, for lines that go onto the screen or into
// a record: what fits is kept, and the text stays terminated after every
// piece. size counts the terminator; a size of 0 takes nothing.
struct TextBuffer {
  char* text;
  size_t size;
  size_t used;
};
void write_to_text_buffer(void* context, const char* text, size_t length);

// "28" or "28 e0": the page's scancode and the prefix that sets the key apart.
LineBuilder& scancode_text(LineBuilder& out, int key);
