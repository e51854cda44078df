#include "gfx/draw/line_spans.h"

#include <algorithm>
#include <cstddef>

#include "gfx/draw/draw_context.h"
#include "gfx/gfx_handlers.h"
#include "gfx/screen.h"

void fill_line_spans(int line, const LineSpan* spans, int count) {
  DrawContext* context = get_draw_context();
  if (screen_state == nullptr || context == nullptr || spans == nullptr || count <= 0) return;
  const auto [x, y, x_end, y_end] = viewport_on_screen(context);
  if (line < y || line >= y_end) return;
  const size_t bytes = static_cast<size_t>(context->target_bytes_per_pixel);
  bool filled = false;
  screen_lock();
  for (int i = 0; i < count; ++i) {
    // In 64 bits: x + width may pass the int range.
    const long long end = std::min<long long>(static_cast<long long>(spans[i].x) + spans[i].width, x_end);
    const int first = std::max(spans[i].x, x);
    if (first >= end) continue;
    context->fill_span(context->lines[line] + first * bytes, spans[i].colour, static_cast<int>(end - first));
    filled = true;
  }
  if (filled) mark_changed_rows(context, line, line + 1);
  screen_unlock_unmarked();
}
