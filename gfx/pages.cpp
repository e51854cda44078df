// Pages of the graphics screen: copying one page to another and choosing the
// page drawn on and the page shown.
#include <cstddef>
#include <cstring>

#include "gfx/draw/draw_context.h"
#include "gfx/drivers/video_driver.h"
#include "gfx/gfx_handlers.h"
#include "gfx/screen.h"
#include "rt/runtime.h"

namespace {

constexpr uint32_t kOpaque = 0xFF000000u;

// Copies the cells of one page over another's.
void copy_text_cells(const ScreenState* screen, int source, int destination) {
  if (!screen->text_cells || !screen->text_cells[source] || !screen->text_cells[destination]) return;
  if (screen->text_cols <= 0 || screen->text_rows <= 0) return;
  const size_t count = static_cast<size_t>(screen->text_cols) * static_cast<size_t>(screen->text_rows);
  std::memcpy(screen->text_cells[destination], screen->text_cells[source], count * sizeof(TextCell));
}

}  // namespace

int gfx_pcopy(int source, int destination) {
  DrawContext* context = get_draw_context();
  ScreenState* screen = screen_state;
  if (!screen || !context) return set_error(1);

  // A driver that presents whole frames (OpenGL) has no page memory to copy
  // to: the copy becomes a present of the frame.
  const VideoDriver* driver = screen->driver;
  if (driver && driver->flip) {
    driver->flip();
    if (driver->poll_events) driver->poll_events();
    return set_error(1);
  }

  use_screen_target(context);
  select_color_routines(context, kOpaque);
  if (source >= screen->page_count || destination >= screen->page_count) return set_error(1);
  const int source_index = source < 0 ? context->work_page : source;
  const int destination_index = destination < 0 ? screen->visible_page_index : destination;
  uint8_t* from = screen->pages[source_index];
  uint8_t* to = screen->pages[destination_index];
  if (from == to) return set_error(0);

  // A caller holding the lock marks the lines itself when it unlocks.
  const bool locking = to == screen->visible_page && screen->lock_count == 0;
  if (locking) screen_lock();

  const auto [x, y, x_end, y_end] = viewport_on_screen(context);
  if (x < x_end) {
    const size_t bpp = static_cast<size_t>(screen->bytes_per_pixel);
    const auto row_bytes = static_cast<uint32_t>(static_cast<size_t>(x_end - x) * bpp);
    for (int row = y; row < y_end; ++row) {
      const size_t offset = static_cast<size_t>(row) * static_cast<size_t>(screen->pitch) + x * bpp;
      block_copy(to + offset, from + offset, row_bytes);
    }
  }
  copy_text_cells(screen, source_index, destination_index);

  if (locking) {
    if (y < y_end) std::memset(screen->dirty_lines + y, 1, static_cast<size_t>(y_end - y));
    screen_unlock_unmarked();
  }
  return set_error(0);
}

int gfx_screen_set(int work, int visible) {
  ScreenState* screen = screen_state;
  if (!screen) return -1;
  DrawContext* context = get_draw_context();
  if (!context) return -1;
  const int previous = screen->visible_page_index << 8 | context->work_page;
  use_screen_target(context);
  select_color_routines(context, kOpaque);

  if (work < 0 && visible < 0) work = visible = 0;

  if (work >= 0 && work < screen->page_count) {
    const int rows = context->line_capacity < screen->height ? context->line_capacity : screen->height;
    uint8_t* page = screen->pages[work];
    for (int y = 0; y < rows; ++y) context->lines[y] = page + static_cast<size_t>(y) * screen->pitch;
    context->work_page = work;
  }

  // Switching the shown page marks every row instead of copying anything.
  if (visible >= 0 && visible < screen->page_count && visible != screen->visible_page_index) {
    screen_lock();
    screen->visible_page_index = visible;
    screen->visible_page = screen->pages[visible];
    std::memset(screen->dirty_lines, 1, static_cast<size_t>(screen->height));
    screen_unlock_unmarked();
  }
  return previous;
}
