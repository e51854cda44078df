// Interim handlers: text output and palette, until their real forms land.
// Each function is removed from here when its real form exists.
#include <cstdlib>
#include <cstring>

#include "gfx/draw_context.h"
#include "gfx/gfx_handlers.h"
#include "gfx/screen.h"

void gfx_cls(int32_t) {}
int gfx_locate(int row, int column, int) {
  return set_cursor(row - 1, column - 1) + 0x101;
}
int gfx_width(int, int) {
  return screen_state ? (screen_state->text_cols | screen_state->text_rows << 16) : 0;
}
int gfx_pos() { return screen_state ? screen_state->cursor_x + 1 : 0; }
int gfx_csrlin() { return screen_state ? screen_state->cursor_y + 1 : 0; }
void gfx_get_xy(int* column, int* row) {
  if (column) *column = screen_state ? screen_state->cursor_x + 1 : 0;
  if (row) *row = screen_state ? screen_state->cursor_y + 1 : 0;
}
void gfx_get_size(int* columns, int* rows) {
  if (columns) *columns = screen_state ? screen_state->text_cols : 0;
  if (rows) *rows = screen_state ? screen_state->text_rows : 0;
}
void gfx_print(const uint8_t*, int, int) {}
void gfx_print_wide(const uint16_t*, int, int) {}
void gfx_view_changed() {}

void make_text_cells(DrawContext*, int create) {
  ScreenState* screen = screen_state;
  if (!screen) return;
  if (screen->text_cells) {
    for (int page = 0; page < screen->page_count; ++page) std::free(screen->text_cells[page]);
    std::free(screen->text_cells);
    screen->text_cells = nullptr;
  }
  if (!create) return;
  screen->text_cells = static_cast<TextCell**>(std::calloc(static_cast<size_t>(screen->page_count), sizeof(TextCell*)));
  if (!screen->text_cells) return;
  const size_t cells = static_cast<size_t>(screen->text_cols) * static_cast<size_t>(screen->text_rows);
  for (int page = 0; page < screen->page_count; ++page)
    screen->text_cells[page] = static_cast<TextCell*>(std::calloc(cells ? cells : 1, sizeof(TextCell)));
}
void fill_text_cells(int, int, int, int, int, uint16_t, uint32_t, uint32_t) {}
int set_cursor(int row, int column) {
  if (!screen_state) return 0;
  if (row >= 0) screen_state->cursor_y = row;
  if (column >= 0) screen_state->cursor_x = column;
  return (screen_state->cursor_x & 0xFF) | (screen_state->cursor_y & 0xFF) << 8;
}
void cursor_back() {}

void screen_palette(int, int, int, int) {}
void screen_palette_using(const int32_t*) {}
void set_palette_entry(int, uint32_t) {}
void push_palette() {}
uint32_t gfx_color(uint32_t, uint32_t, int) { return 0; }
int gfx_inp(int) { return -1; }
int gfx_out(int, int) { return -1; }
uint32_t rgb_to_native(int, uint32_t colour) { return colour; }
uint32_t native_color(int, uint32_t colour) { return colour; }
