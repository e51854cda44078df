// Text output on the Windows console: printing through the text writer into
// the work page's buffer, clearing, the cursor and the text size. A console
// that cannot be queried (output redirected to a pipe or file) gets the raw
// bytes and counts as 80 x 25.
#include <windows.h>

#include <algorithm>
#include <cstdint>

#include "con/console.h"
#include "con/win32/console_handles.h"
#include "common/text_writer.h"
// Upward, by design: the console keeps to the text view, which lives with
// the routed operations that call the console.
#include "rt/routed.h"
#include "rt/runtime.h"

namespace {

// Lets a pending newline take effect with no text.
constexpr int kPrintApplyPendingNewline = 8;
constexpr int kFallbackColumns = 80;
constexpr int kFallbackRows = 25;
constexpr WORD kFallbackAttribute = 7;
constexpr int kCursorVisible = 0x10000;

// Wide text runs through the byte writer as one marker byte per printable
// unit; the draw callback takes the units back in order. The writer's tab
// expands to real spaces, which never collide with the marker.
constexpr uint8_t kWideMarker = 0;
constexpr int kWideChunk = kTextRunCapacity;

struct ConsolePrintState {
  HANDLE output;
  int width, height;  // of the whole buffer
  WORD attribute;
  bool full_view;     // the view covers the whole area: scrolling may move the view
  bool wide;
  const uint16_t* units;  // wide printing: the printable units of the chunk
  int next_unit;
};

ConsolePrintState* print_state(TextWriter* writer) {
  return static_cast<ConsolePrintState*>(writer->user);
}

COORD cell(int x, int y) { return COORD{static_cast<SHORT>(x), static_cast<SHORT>(y)}; }

bool is_writer_control(uint16_t unit) {
  return unit == 7 || unit == 8 || unit == 9 || unit == 10 || unit == 13;
}

// Writes everything, repeating with what is left; a failed write (or one
// that makes no progress) ends it.
void write_raw(HANDLE output, const void* data, size_t length) {
  const char* p = static_cast<const char*>(data);
  while (length > 0) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(length, 0x10000000));
    DWORD written = 0;
    if (!WriteFile(output, p, chunk, &written, nullptr) || written == 0) return;
    p += written;
    length -= written;
  }
}

void blank_rows(const ConsolePrintState& state, int left, int top, int right, int bottom) {
  const DWORD count = static_cast<DWORD>(right - left + 1);
  for (int row = top; row <= bottom; ++row) {
    DWORD done = 0;
    FillConsoleOutputAttribute(state.output, state.attribute, count, cell(left, row), &done);
    if (state.wide) FillConsoleOutputCharacterW(state.output, L' ', count, cell(left, row), &done);
    else FillConsoleOutputCharacterA(state.output, ' ', count, cell(left, row), &done);
  }
}

// Moves the rectangle up to row destination_top; the rows it leaves behind
// are filled with blanks.
void move_up(const ConsolePrintState& state, int left, int top, int right, int bottom,
             int destination_top) {
  const SMALL_RECT source{static_cast<SHORT>(left), static_cast<SHORT>(top),
                          static_cast<SHORT>(right), static_cast<SHORT>(bottom)};
  CHAR_INFO fill{};
  fill.Attributes = state.attribute;
  if (state.wide) {
    fill.Char.UnicodeChar = L' ';
    ScrollConsoleScreenBufferW(state.output, &source, nullptr, cell(left, destination_top), &fill);
  } else {
    fill.Char.AsciiChar = ' ';
    ScrollConsoleScreenBufferA(state.output, &source, nullptr, cell(left, destination_top), &fill);
  }
}

void console_scroll(TextWriter* writer, int left, int top, int right, int bottom, int lines) {
  const ConsolePrintState& state = *print_state(writer);
  if (state.full_view) {
    // Rows below the window are used first, as a console does: the view
    // moves down and no text moves.
    if (bottom + 1 < state.height) {
      const int k = std::min(lines, state.height - bottom - 1);
      writer->top += k;
      writer->bottom += k;
      top += k;
      bottom += k;
      lines -= k;
    }
    if (lines > 0) {
      if (lines < state.height) move_up(state, 0, lines, state.width - 1, state.height - 1, 0);
      else blank_rows(state, left, top, right, bottom);
    }
  } else if (lines < bottom - top + 1) {
    move_up(state, left, top + lines, right, bottom, top);
  } else {
    blank_rows(state, left, top, right, bottom);
  }
  writer->y = writer->bottom;
}

int console_draw(TextWriter* writer, const uint8_t* bytes, int count) {
  ConsolePrintState& state = *print_state(writer);
  CHAR_INFO cells[kTextRunCapacity];
  int x = writer->x;
  while (count > 0) {
    const int n = std::min(count, kTextRunCapacity);
    for (int i = 0; i < n; ++i) {
      cells[i].Attributes = state.attribute;
      if (!state.wide) cells[i].Char.AsciiChar = static_cast<CHAR>(bytes[i]);
      else if (bytes[i] == kWideMarker) cells[i].Char.UnicodeChar = state.units[state.next_unit++];
      else cells[i].Char.UnicodeChar = bytes[i];
    }
    SMALL_RECT region{static_cast<SHORT>(x), static_cast<SHORT>(writer->y),
                      static_cast<SHORT>(x + n - 1), static_cast<SHORT>(writer->y)};
    const COORD size{static_cast<SHORT>(n), 1};
    const BOOL ok = state.wide ? WriteConsoleOutputW(state.output, cells, size, COORD{0, 0}, &region)
                               : WriteConsoleOutputA(state.output, cells, size, COORD{0, 0}, &region);
    if (!ok) return 0;
    bytes += n;
    count -= n;
    x += n;
  }
  return 1;
}

void call_scroll(TextWriter* writer) {
  console_scroll(writer, writer->left, writer->top, writer->right, writer->bottom,
                 writer->y - writer->bottom);
}

bool below_bottom(const TextWriter& writer) {
  return writer.bottom != -1 && writer.y > writer.bottom;
}

// The text view's rows in buffer rows, kept inside the area.
void view_rows_in_buffer(const ConsoleArea& area, int* first, int* last) {
  int top = 0, bottom = 0;
  text_view_within(area.bottom - area.top + 1, &top, &bottom);
  *first = area.top + top;
  *last = area.top + bottom;
}

// The writer's text after the pending newline: narrow bytes go as they are,
// wide units in chunks of marker bytes.
void write_text(TextWriter* writer, ConsolePrintState* state, const uint8_t* bytes,
                const uint16_t* units, int length) {
  if (!state->wide) {
    text_writer_write(writer, bytes, length, 1);
    return;
  }
  uint8_t markers[kWideChunk];
  uint16_t printable[kWideChunk];
  for (int start = 0; start < length; start += kWideChunk) {
    const int n = std::min(length - start, kWideChunk);
    int printable_count = 0;
    for (int i = 0; i < n; ++i) {
      const uint16_t unit = units[start + i];
      if (is_writer_control(unit)) {
        markers[i] = static_cast<uint8_t>(unit);
      } else {
        markers[i] = kWideMarker;
        printable[printable_count++] = unit;
      }
    }
    state->units = printable;
    state->next_unit = 0;
    text_writer_write(writer, markers, n, 1);
  }
}

void print_cells(const uint8_t* bytes, const uint16_t* units, int length, int flags) {
  if (length < 0 || (!bytes && !units)) length = 0;
  if (!(flags & kPrintApplyPendingNewline) && length == 0) return;
  const bool wide = units != nullptr;
  HANDLE output = console_work_buffer();

  if (console_area_degenerate()) {
    if (wide) write_raw(output, units, static_cast<size_t>(length) * 2);
    else write_raw(output, bytes, static_cast<size_t>(length));
    return;
  }

  ConsolePrintState state{output, kFallbackColumns, kFallbackRows, kFallbackAttribute,
                          false, wide, nullptr, 0};
  CONSOLE_SCREEN_BUFFER_INFO info;
  const bool readable = GetConsoleScreenBufferInfo(output, &info) != 0;
  if (readable) {
    state.width = info.dwSize.X;
    state.height = info.dwSize.Y;
    state.attribute = info.wAttributes;
  }

  const ConsoleArea& area = console_area();
  int top = 0, bottom = 0;
  view_rows_in_buffer(area, &top, &bottom);
  state.full_view = top == area.top && bottom == area.bottom;

  TextWriter writer{&state, console_scroll, console_draw, area.left, top, area.right, bottom,
                    area.left, top};
  if (readable) {
    writer.x = info.dwCursorPosition.X;
    writer.y = info.dwCursorPosition.Y;
  }

  if (console_pending_newline) {
    console_pending_newline = false;
    writer.x = writer.left;
    writer.y += 1;
    if (below_bottom(writer)) call_scroll(&writer);
  }

  write_text(&writer, &state, bytes, units, length);

  if (writer.x == writer.left && writer.y == writer.bottom + 1) {
    // The text filled the bottom row: the new row waits for the next print.
    writer.y = writer.bottom;
    writer.x = writer.right;
    console_pending_newline = true;
  } else if (below_bottom(writer)) {
    call_scroll(&writer);
  }

  SetConsoleCursorPosition(output, cell(writer.x, writer.y));
  // The console window follows the cursor; the area follows the window.
  console_area_refresh();
}

// The buffer cursor in 1-based text coordinates; false when unreadable.
bool read_text_cursor(int* column, int* row) {
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!GetConsoleScreenBufferInfo(console_work_buffer(), &info)) return false;
  const ConsoleArea& area = console_area();
  *column = info.dwCursorPosition.X - area.left + 1;
  *row = info.dwCursorPosition.Y - area.top + 1;
  return true;
}

}  // namespace

void console_print(const uint8_t* bytes, int length, int flags) {
  print_cells(bytes, nullptr, length, flags);
}

void console_print_wide(const uint16_t* units, int length, int flags) {
  if (!units) length = 0;
  static const uint16_t kNoUnits[1] = {0};
  print_cells(nullptr, units ? units : kNoUnits, length, flags);
}

void console_clear(int32_t mode) {
  console_area_refresh();
  if (console_area_degenerate() || mode == 1) return;  // 1: the graphics viewport
  const ConsoleArea& area = console_area();
  int first = area.top, last = area.bottom;
  if (mode == 2 || mode == kNoClearArgument) view_rows_in_buffer(area, &first, &last);

  HANDLE output = console_work_buffer();
  CONSOLE_SCREEN_BUFFER_INFO info;
  const WORD attribute =
      GetConsoleScreenBufferInfo(output, &info) ? info.wAttributes : kFallbackAttribute;
  const ConsolePrintState state{output, 0, 0, attribute, false, false, nullptr, 0};
  blank_rows(state, area.left, first, area.right, last);
  SetConsoleCursorPosition(output, cell(area.left, first));
  console_pending_newline = false;
}

int console_locate(int row, int column, int cursor) {
  HANDLE output = console_work_buffer();
  if (column < 1 || row < 1) {
    int current_column = 0, current_row = 0;
    read_text_cursor(&current_column, &current_row);
    if (column < 1) column = current_column;
    if (row < 1) row = current_row;
  }
  CONSOLE_CURSOR_INFO shape{};
  const bool shape_known = GetConsoleCursorInfo(output, &shape) != 0;
  const bool was_visible = shape_known && shape.bVisible;

  const ConsoleArea& area = console_area();
  const COORD target = cell(area.left + column - 1, area.top + row - 1);
  if (cursor >= 0 && shape_known) {
    shape.bVisible = cursor != 0;
    // The console refuses a cursor size outside 1-100, which a fresh buffer
    // may report.
    if (shape.dwSize < 1 || shape.dwSize > 100) shape.dwSize = 25;
    SetConsoleCursorInfo(output, &shape);
  }
  console_pending_newline = false;
  SetConsoleCursorPosition(output, target);
  return (column & 0xFF) | (row & 0xFF) << 8 | (was_visible ? kCursorVisible : 0);
}

void console_get_size(int* columns, int* rows) {
  int c = kFallbackColumns, r = kFallbackRows;
  if (!console_area_degenerate()) {
    const ConsoleArea& area = console_area();
    c = area.right - area.left + 1;
    r = area.bottom - area.top + 1;
  }
  if (columns) *columns = c;
  if (rows) *rows = r;
}

void console_get_cursor(int* column, int* row) {
  int c = 0, r = 0;
  read_text_cursor(&c, &r);
  if (column) *column = c;
  if (row) *row = r;
}

int console_get_column() {
  int column = 0, row = 0;
  read_text_cursor(&column, &row);
  return column;
}

void console_view_changed() { console_area_refresh(); }
