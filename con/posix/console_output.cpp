// Console text output natively, where there is no console buffer to query:
// the bytes go to standard output unchanged and the text screen counts as
// 80 x 25.
#include <cstring>

#include "con/console.h"
#include "sys/platform.h"

namespace {
int pending_column = 0;  // column after the last byte written, for the queries
}

void console_print(const uint8_t* bytes, int length, int flags) {
  if (!(flags & 8) && length == 0) return;
  if (!bytes || length <= 0) return;
  sys::write_stdout(bytes, static_cast<size_t>(length));
  for (int i = 0; i < length; ++i) {
    if (bytes[i] == 13 || bytes[i] == 10) pending_column = 0;
    else pending_column = (pending_column + 1) % 80;
  }
}

void console_print_wide(const uint16_t* units, int length, int flags) {
  if (!(flags & 8) && length == 0) return;
  if (!units || length <= 0) return;
  sys::write_stdout(units, static_cast<size_t>(length) * 2);
}

void console_clear(int32_t) {}

int console_locate(int row, int column, int) {
  if (column >= 1) pending_column = column - 1;
  return (column & 0xFF) | (row & 0xFF) << 8;
}

int console_set_width(int, int) { return 0; }

void console_get_size(int* columns, int* rows) {
  if (columns) *columns = 80;
  if (rows) *rows = 25;
}

void console_get_cursor(int* column, int* row) {
  if (column) *column = pending_column + 1;
  if (row) *row = 1;
}

int console_get_column() { return pending_column + 1; }

int console_page_set(int, int) { return 0; }

void console_view_changed() {}
