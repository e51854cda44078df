#include "keys/line_builder.h"

LineBuilder& LineBuilder::text(const char* s) {
  for (; s != nullptr && *s != '\0'; ++s) put(*s);
  return *this;
}

LineBuilder& LineBuilder::json_string(const char* s) {
  put('"');
  for (; s != nullptr && *s != '\0'; ++s) {
    if (*s == '"' || *s == '\\') put('\\');
    put(*s);
  }
  put('"');
  return *this;
}

LineBuilder& LineBuilder::integer(int64_t value) {
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

LineBuilder& LineBuilder::milliseconds(int64_t us) { return fixed_three(us, decimal_mark_); }

LineBuilder& LineBuilder::thousandths(int64_t value) { return fixed_three(value, '.'); }

LineBuilder& LineBuilder::fixed_three(int64_t us, char mark) {
  if (us < 0) put('-');
  const uint64_t magnitude = us < 0 ? 0 - static_cast<uint64_t>(us) : static_cast<uint64_t>(us);
  integer(static_cast<int64_t>(magnitude / 1000)).put(mark);
  const int fraction = static_cast<int>(magnitude % 1000);
  put(static_cast<char>('0' + fraction / 100));
  put(static_cast<char>('0' + fraction / 10 % 10));
  put(static_cast<char>('0' + fraction % 10));
  return *this;
}

LineBuilder& LineBuilder::pad_to(size_t column) {
  while (line_length_ < column) put(' ');
  return *this;
}

LineBuilder& LineBuilder::put(char c) {
  if (length_ == sizeof buffer_) flush();
  buffer_[length_++] = c;
  // A UTF-8 continuation byte adds no column.
  if (c == '\n') line_length_ = 0;
  else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++line_length_;
  return *this;
}

void LineBuilder::flush() {
  if (length_ > 0 && writer_.write != nullptr) writer_.write(writer_.context, buffer_, length_);
  length_ = 0;
}

void write_to_text_buffer(void* context, const char* text, size_t length) {
  auto* buffer = static_cast<TextBuffer*>(context);
  if (buffer == nullptr || buffer->text == nullptr || buffer->size == 0) return;
  for (size_t i = 0; i < length && buffer->used + 1 < buffer->size; ++i) buffer->text[buffer->used++] = text[i];
  buffer->text[buffer->used] = '\0';
}
