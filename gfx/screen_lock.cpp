// The nested screen lock over the driver's lock, and the marking of changed
// lines.
#include <cstring>

#include "gfx/draw/draw_context.h"
#include "gfx/drivers/video_driver.h"
#include "gfx/screen.h"

void screen_lock() {
  ScreenState* screen = screen_state;
  if (!screen) return;
  if (screen->lock_count != 0) {
    ++screen->lock_count;
    return;
  }
  if (screen->driver && screen->driver->lock) screen->driver->lock();
  screen->lock_count = 1;
}

void screen_unlock(int first_line, int last_line) {
  DrawContext* context = get_draw_context();
  ScreenState* screen = screen_state;
  if (!screen) return;
  if (first_line < 0) first_line = 0;
  if (last_line < 0) last_line = screen->height - 1;
  // A range reaching past the last line is not clipped: nothing is marked.
  if (work_page_is_visible(context) && first_line <= last_line && last_line < screen->height)
    block_fill(screen->dirty_lines + first_line, 1, static_cast<uint32_t>(last_line - first_line + 1));
  if (screen->lock_count == 0) return;
  if (--screen->lock_count == 0 && screen->driver && screen->driver->unlock) screen->driver->unlock();
}

void mark_changed_rows(const DrawContext* context, int first, int end) {
  ScreenState* screen = screen_state;
  if (!screen || !work_page_is_visible(context)) return;
  if (first < 0) first = 0;
  if (end > screen->height) end = screen->height;
  if (first >= end) return;
  std::memset(screen->dirty_lines + first, 1, static_cast<size_t>(end - first));
}
