// Printing values to a file number, with line ends and print zones.
#include <cstring>

#include "rt/runtime.h"
#include "rt/text_value.h"

namespace {

// Writes to a record's device and keeps its column; false without a device.
bool write_record(FileRecord* record, const char* bytes, uint32_t length) {
  if (!record || !record->device) return false;
  record->device(reinterpret_cast<const uint8_t*>(bytes), static_cast<int>(length));
  uint32_t after_line_end = length;
  bool line_end = false;
  for (uint32_t i = 0; i < length; ++i) {
    if (bytes[i] == '\r' || bytes[i] == '\n') {
      line_end = true;
      after_line_end = length - i - 1;
    }
  }
  record->column = line_end ? after_line_end : record->column + length;
  if (record->width != 0) record->column %= record->width;
  return true;
}

void end_on_record(FileRecord* record, int mask) {
  if (!record) return;
  if (mask & 0x5) {
    write_record(record, "\r\n", 2);
  } else if (mask & 0x2) {
    const uint32_t column = record->column;
    uint32_t zone = ((column + 14) / 14) * 14 + 1;
    if (record->width != 0 && zone > record->width - 14u) zone = 1;
    if (zone <= column + 1) {
      write_record(record, "\r\n", 2);
    } else {
      static const char kBlanks[] = "              ";  // one zone's worth
      uint32_t blanks = zone - column - 1;
      while (blanks > 0) {
        const uint32_t n = blanks < 14 ? blanks : 14;
        write_record(record, kBlanks, n);
        blanks -= n;
      }
    }
  }
}

}  // namespace

void print_value(int file, TextValue* value, int mask) {
  FileRecord* record = file_record(file);
  if (value && value->data && text_length(value) != 0) {
    if (!write_record(record, value->data, text_length(value))) set_error(1);
  }
  if (!record) set_error(1);
  end_on_record(record, mask);
  text_release(value);
}

void print_end(int file, int mask) {
  FileRecord* record = file_record(file);
  if (!record) {
    set_error(1);
    return;
  }
  end_on_record(record, mask);
}
