// The graphics viewport and the boxes clipped to it.
#include <algorithm>
#include <climits>
#include <cstddef>

#include "gfx/draw/draw_context.h"
#include "gfx/gfx_handlers.h"
#include "gfx/screen.h"

void order_corners(int* x1, int* y1, int* x2, int* y2) {
  if (!x1 || !y1 || !x2 || !y2) return;
  if (*x2 < *x1) std::swap(*x1, *x2);
  if (*y2 < *y1) std::swap(*y1, *y2);
}

// Every box drawn here is solid; style patterns other than kSolidLine are
// drawn solid as well.
void draw_box(int x1, int y1, int x2, int y2, uint32_t colour, int filled, uint32_t) {
  DrawContext* context = get_draw_context();
  ScreenState* screen = screen_state;
  if (!screen || !context) return;
  const int view_right = context->view_x + context->view_width - 1;
  const int view_bottom = context->view_y + context->view_height - 1;
  if (x2 < context->view_x || y2 < context->view_y || x1 > view_right || y1 > view_bottom) return;

  const int cx1 = std::max(x1, context->view_x);
  const int cy1 = std::max(y1, context->view_y);
  const int cx2 = std::min(x2, view_right);
  const int cy2 = std::min(y2, view_bottom);
  // Corners given the wrong way round, or a viewport reaching off the page,
  // leave nothing to draw rather than a span of negative length.
  if (cx1 > cx2 || cy1 > cy2 || cx1 < 0 || cy1 < 0 || cx2 >= screen->width || cy2 >= screen->height)
    return;

  const size_t bpp = static_cast<size_t>(context->target_bytes_per_pixel);
  const int span = cx2 - cx1 + 1;
  screen_lock();
  if (filled) {
    for (int y = cy1; y <= cy2; ++y) context->fill_span(context->lines[y] + cx1 * bpp, colour, span);
  } else {
    if (y2 <= view_bottom) context->fill_span(context->lines[y2] + cx1 * bpp, colour, span);
    if (y1 >= context->view_y) context->fill_span(context->lines[y1] + cx1 * bpp, colour, span);
    if (x2 <= view_right)
      for (int y = cy1; y <= cy2; ++y) context->put_pixel(context, x2, y, colour);
    if (x1 >= context->view_x)
      for (int y = cy1; y <= cy2; ++y) context->put_pixel(context, x1, y, colour);
  }
  mark_changed_rows(context, cy1, cy2 + 1);
  screen_unlock_unmarked();
}

void set_viewport(int x1, int y1, int x2, int y2, uint32_t fill, uint32_t border, uint32_t flags) {
  ScreenState* screen = screen_state;
  DrawContext* context = get_draw_context();
  if (!screen || !context) return;
  use_screen_target(context);
  select_color_routines(context, border);

  order_corners(&x1, &y1, &x2, &y2);
  if ((x1 | y1 | x2 | y2) == kOmittedCoordinate) {
    context->flags &= ~kContextViewportSet;
    context->view_x = 0;
    context->view_y = 0;
    context->view_width = screen->width;
    context->view_height = screen->height;
    return;
  }
  context->flags |= kContextViewportSet;

  if (!(flags & kViewportNoBorder)) {
    const uint32_t colour = native_color(context->target_bytes_per_pixel, border) & screen->color_mask;
    context->view_x = 0;
    context->view_y = 0;
    context->view_width = screen->width;
    context->view_height = screen->height;
    // The border lies one pixel outside the rectangle; at the extremes of
    // the coordinate range it stays where it is.
    const auto outside = [](int v, int step) {
      const long long moved = static_cast<long long>(v) + step;
      return moved < INT_MIN || moved > INT_MAX ? v : static_cast<int>(moved);
    };
    draw_box(outside(x1, -1), outside(y1, -1), outside(x2, 1), outside(y2, 1), colour, 0, kSolidLine);
  }

  // The part of the rectangle on the screen; a rectangle off the screen
  // leaves an empty viewport (width or height 0), never a negative one that
  // a page copy would read as a huge count.
  context->view_x = std::clamp(x1, 0, screen->width);
  context->view_y = std::clamp(y1, 0, screen->height);
  context->view_width = std::max(0, std::min(x2, screen->width - 1) - context->view_x + 1);
  context->view_height = std::max(0, std::min(y2, screen->height - 1) - context->view_y + 1);

  if (!(flags & kViewportNoFill)) {
    const uint32_t kept = context->background;
    context->background = native_color(context->target_bytes_per_pixel, fill);
    clear_viewport(context);
    context->background = kept;
  }
}

void centre_graphics_cursor(DrawContext* context) {
  context->last_x = static_cast<float>(context->view_x + context->view_width / 2);
  context->last_y = static_cast<float>(context->view_y + context->view_height / 2);
}

void clear_viewport(DrawContext* context) {
  select_color_routines(context, context->background);
  screen_lock();
  const auto [x, y, x_end, y_end] = viewport_on_screen(context);
  for (int row = y; row < y_end && x < x_end; ++row)
    context->fill_span(context->lines[row] + static_cast<size_t>(x) * context->target_bytes_per_pixel,
                       context->background, x_end - x);
  centre_graphics_cursor(context);
  mark_changed_rows(context, y, y_end);
  screen_unlock_unmarked();
}

PixelRect viewport_on_screen(const DrawContext* context) {
  const ScreenState* screen = screen_state;
  PixelRect rect{std::max(context->view_x, 0), std::max(context->view_y, 0),
                 context->view_x + context->view_width, context->view_y + context->view_height};
  if (screen) {
    rect.x_end = std::min(rect.x_end, screen->width);
    rect.y_end = std::min(rect.y_end, screen->height);
  }
  return rect;
}
