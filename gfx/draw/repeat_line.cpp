#include "gfx/draw/repeat_line.h"

#include <algorithm>
#include <cstddef>

#include "gfx/draw/draw_context.h"
#include "gfx/gfx_handlers.h"
#include "gfx/screen.h"

void repeat_line(int line, int count) {
  DrawContext* context = get_draw_context();
  if (screen_state == nullptr || context == nullptr || count <= 0) return;
  const auto [x, y, x_end, y_end] = viewport_on_screen(context);
  if (line < y || line >= y_end || x >= x_end) return;
  // In 64 bits: line + count may pass the int range.
  const int last = static_cast<int>(std::min<long long>(static_cast<long long>(line) + count, y_end - 1));
  if (last <= line) return;
  const size_t offset = static_cast<size_t>(x) * context->target_bytes_per_pixel;
  screen_lock();
  for (int row = line + 1; row <= last; ++row)
    depth_routines.copy_span(context->lines[row] + offset, context->lines[line] + offset, x_end - x);
  mark_changed_rows(context, line + 1, last + 1);
  screen_unlock_unmarked();
}
