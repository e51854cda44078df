// The routed text operations: the graphics screen's handler when its slot is
// set, the console otherwise; and the text view they keep to.
#include "rt/routed.h"

#include <climits>

#include "con/console.h"
#include "rt/hook_table.h"
#include "rt/runtime.h"

namespace {

// The text view lives outside the zeroed runtime context: -1 means not set.
int view_top_row = -1;
int view_bottom_row = -1;

}  // namespace

void clear_screen(int32_t mode) {
  if (auto handler = hook_table().clear_screen) handler(mode);
  else console_clear(mode);
  file_record(0)->column = 0;
}

int locate(int row, int column, int cursor, int* result) {
  int error = 0;
  int top = 0, bottom = 0;
  view_rows_1based(&top, &bottom);
  int columns = 0, rows = 0;
  get_text_size(&columns, &rows);
  if ((row != 0 && (row < top || row > bottom)) || (column != 0 && (column < 1 || column > columns))) {
    if (result) *result = 0;
    return set_error(1);
  }
  int value = 0;
  if (auto handler = hook_table().locate) value = handler(row, column, cursor);
  else value = console_locate(row, column, cursor);
  if (result) *result = value;
  if (column != 0) file_record(0)->column = static_cast<uint32_t>(column - 1);
  return set_error(error);
}

int set_width(int columns, int rows) {
  int value = 0;
  if (auto handler = hook_table().set_width) value = handler(columns, rows);
  else value = console_set_width(columns, rows);
  if (columns > 0) file_record(0)->width = static_cast<uint32_t>(columns);
  if (columns > 0 || rows > 0) {
    set_view_print(0, 0, 1);
    return 0;
  }
  return value;
}

int get_column() {
  if (auto handler = hook_table().get_column) return handler();
  return console_get_column();
}

int get_row() {
  if (auto handler = hook_table().get_row) return handler();
  int column = 0, row = 0;
  console_get_cursor(&column, &row);
  return row;
}

void get_cursor(int* column, int* row) {
  if (auto handler = hook_table().get_cursor) handler(column, row);
  else console_get_cursor(column, row);
}

void get_text_size(int* columns, int* rows) {
  if (auto handler = hook_table().get_text_size) handler(columns, rows);
  else console_get_size(columns, rows);
}

void view_changed() {
  if (auto handler = hook_table().view_changed) handler();
  else console_view_changed();
}

int page_set(int work, int visible) {
  if (auto handler = hook_table().page_set) return handler(work, visible);
  if (work > 3 || visible > 3) return -1;
  return console_page_set(work, visible);
}

int page_copy(int source, int destination) {
  if (auto handler = hook_table().page_copy) return handler(source, destination);
  return set_error(1);
}

int view_top() {
  if (view_top_row == -1) view_top_row = 0;
  return view_top_row;
}

int view_bottom() {
  if (view_bottom_row == -1) {
    int columns = 0, rows = 0;
    get_text_size(&columns, &rows);
    view_bottom_row = rows > 0 ? rows - 1 : 24;
  }
  return view_bottom_row;
}

int set_view_rows(int top, int bottom) {
  // Any negative row means "not set"; the getters then supply the default.
  view_top_row = top < 0 ? -1 : top;
  view_bottom_row = bottom < 0 ? -1 : bottom;
  return view_bottom_row;
}

void text_view_within(int rows, int* top, int* bottom) {
  int t = view_top();
  int b = view_bottom();
  if (b > rows - 1) b = rows - 1;
  if (t > b) {
    t = 0;
    b = rows - 1;
  }
  *top = t;
  *bottom = b;
}

void view_rows_1based(int* top, int* bottom) {
  // Stored rows are never negative, but INT_MAX + 1 would overflow.
  if (top) *top = view_top() == INT_MAX ? INT_MAX : view_top() + 1;
  if (bottom) *bottom = view_bottom() == INT_MAX ? INT_MAX : view_bottom() + 1;
}

int set_view_print(int top, int bottom, int move_cursor) {
  int columns = 0, rows = 0;
  get_text_size(&columns, &rows);
  if (rows == 0) rows = 25;

  const bool changes = top >= 0 || bottom >= 0;
  if (top == 0) top = 1;
  else if (top < 0) top = view_top() == INT_MAX ? INT_MAX : view_top() + 1;
  if (bottom == 0) bottom = rows;
  else if (bottom < 0) bottom = view_bottom() == INT_MAX ? INT_MAX : view_bottom() + 1;

  if (top > bottom || top < 1 || bottom < 1 || top > rows || bottom > rows) return 0;
  if (changes) {
    set_view_rows(top - 1, bottom - 1);
    view_changed();
    if (move_cursor) locate(top, 1, -1, nullptr);
  }
  return top + bottom * 65536;
}
