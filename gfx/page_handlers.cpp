// Mouse and page handlers of the graphics screen. Only one page is shown and
// copied by the drivers of this program; these keep the hook table whole with
// the least that is true: no mouse without a driver entry, page 0 only.
#include "gfx/drivers/video_driver.h"
#include "gfx/gfx_handlers.h"
#include "gfx/screen.h"
#include "rt/runtime.h"

int gfx_getmouse(int* x, int* y, int* wheel, int* buttons, int* clip) {
  int scratch[3];
  if (!wheel) wheel = &scratch[0];
  if (!buttons) buttons = &scratch[1];
  if (!clip) clip = &scratch[2];
  int result = -1;
  if (screen_state && screen_state->driver && screen_state->driver->get_mouse && x && y) {
    screen_lock();
    result = screen_state->driver->get_mouse(x, y, wheel, buttons, clip);
    screen_unlock(1, 0);
  }
  if (result != 0) {
    if (x) *x = -1;
    if (y) *y = -1;
    *wheel = *buttons = *clip = -1;
    return set_error(1);
  }
  return set_error(0);
}

int gfx_setmouse(int x, int y, int cursor, int clip) {
  if (!screen_state || !screen_state->driver || !screen_state->driver->set_mouse) return set_error(1);
  screen_lock();
  screen_state->driver->set_mouse(x, y, cursor, clip);
  screen_unlock(1, 0);
  return set_error(0);
}

int gfx_pcopy(int source, int destination) {
  if (!screen_state) return set_error(1);
  if (source >= screen_state->page_count || destination >= screen_state->page_count) return set_error(1);
  return set_error(0);
}

int gfx_screen_set(int, int) {
  if (!screen_state) return -1;
  return screen_state->visible_page_index << 8;
}

char* gfx_read_line(char* buffer, int size) {
  if (!screen_state) return nullptr;
  if (buffer && size > 0) buffer[0] = 0;
  return buffer;
}

int gfx_line_input(TextValue*, void*, int, int, int, int) { return set_error(4); }

int gfx_line_input_wide(const uint16_t*, uint16_t*, int, int, int) { return set_error(4); }

uint32_t gfx_read_cell(int column, int row, int flag) {
  ScreenState* screen = screen_state;
  if (!screen || !screen->text_cells || column < 1 || row < 1 || column > screen->text_cols ||
      row > screen->text_rows)
    return 0;
  const TextCell& cell = screen->text_cells[0][(row - 1) * screen->text_cols + (column - 1)];
  if (flag == 0) return cell.character;
  return screen->depth <= 4 ? cell.background * 16 + cell.foreground
                            : cell.background * 256 + cell.foreground;
}

int gfx_answer_zero() { return 0; }
