// The text cursor of the graphics screen and the queries of position and
// text size.
#include <algorithm>

#include "gfx/gfx_handlers.h"
#include "gfx/screen.h"
#include "rt/runtime.h"

int set_cursor(int row, int column) {
  ScreenState* screen = screen_state;
  if (!screen) return 0;
  // The cursor stays on the text grid; a position past it lands on its edge.
  if (row >= 0) screen->cursor_y = std::min(row, std::max(screen->text_rows - 1, 0));
  if (column >= 0) screen->cursor_x = std::min(column, std::max(screen->text_cols - 1, 0));
  return (screen->cursor_x & 0xFF) | (screen->cursor_y & 0xFF) << 8;
}

void cursor_back() {
  ScreenState* screen = screen_state;
  if (!screen) return;
  if (screen->cursor_x > 0) {
    --screen->cursor_x;
  } else if (screen->cursor_y > 0) {  // the top-left cell is as far back as it goes
    screen->cursor_y -= 1;
    screen->cursor_x = std::max(screen->text_cols - 1, 0);
  }
}

int gfx_locate(int row, int column, int) {
  ScreenState* screen = screen_state;
  if (!screen) return 0;
  screen->flags &= ~kScreenPendingNewline;
  // 0 and below keep the coordinate; row - 1 would overflow at INT_MIN.
  const int position = set_cursor(row > 0 ? row - 1 : -1, column > 0 ? column - 1 : -1);
  file_record(0)->column = static_cast<uint32_t>(screen->cursor_x);
  return position + 0x101;
}

int gfx_pos() { return screen_state ? screen_state->cursor_x + 1 : 0; }

int gfx_csrlin() { return screen_state ? screen_state->cursor_y + 1 : 0; }

void gfx_get_xy(int* column, int* row) {
  if (column) *column = gfx_pos();
  if (row) *row = gfx_csrlin();
}

void gfx_get_size(int* columns, int* rows) {
  if (columns) *columns = screen_state ? screen_state->text_cols : 0;
  if (rows) *rows = screen_state ? screen_state->text_rows : 0;
}

// The graphics screen draws its text view afresh on every print; nothing to
// do when the view changes.
void gfx_view_changed() {}
