// Clearing the graphics screen and changing its text size.
#include "gfx/data/builtin_data.h"
#include "gfx/draw/draw_context.h"
#include "gfx/gfx_handlers.h"
#include "gfx/screen.h"
#include "gfx/text/text_output.h"
#include "rt/routed.h"
#include "rt/runtime.h"

namespace {

enum ClearMode { kClearAll = 0, kClearViewport = 1, kClearTextView = 2 };

// Fills the rows [first, end) over the whole width; pages have no padding,
// so the rows form one span.
void fill_rows(DrawContext* context, ScreenState* screen, int first, int end) {
  if (first < 0) first = 0;
  if (end > screen->height) end = screen->height;
  if (first >= end) return;
  context->fill_span(context->lines[first], context->background, (end - first) * screen->width);
}

}  // namespace

void gfx_cls(int32_t mode) {
  DrawContext* context = get_draw_context();
  ScreenState* screen = screen_state;
  if (!screen || !context) return;
  use_screen_target(context);
  select_color_routines(context, context->background);
  screen_lock();

  int top = 0, bottom = 0;
  text_view_within(screen->text_rows, &top, &bottom);
  if (mode == kNoClearArgument) {
    if (context->flags & kContextViewportSet) mode = kClearViewport;
    else if (top == 0 && bottom == screen->text_rows - 1) mode = kClearAll;
    else mode = kClearTextView;
  }

  int changed_first = 0, changed_end = 0;
  if (mode == kClearAll) {
    fill_rows(context, screen, 0, screen->height);
    fill_text_cells(0, 0, screen->text_cols, screen->text_rows, context->work_page, 32,
                    context->foreground, context->background);
    centre_graphics_cursor(context);
    gfx_locate(top + 1, 1, 0);
    changed_end = screen->height;
  } else if (mode == kClearTextView) {
    const int fh = screen->font->height;
    changed_first = top * fh;
    changed_end = (bottom + 1) * fh;
    fill_rows(context, screen, changed_first, changed_end);
    fill_text_cells(0, top, screen->text_cols, bottom + 1, context->work_page, 32,
                    context->foreground, context->background);
    gfx_locate(top + 1, 1, 0);
  } else {
    clear_viewport(context);
  }

  mark_changed_rows(context, changed_first, changed_end);
  screen_unlock_unmarked();
}

int gfx_width(int columns, int rows) {
  ScreenState* screen = screen_state;
  if (!screen) return 0;
  const int previous = screen->text_cols | screen->text_rows << 16;
  if (columns <= 0 && rows <= 0) return previous;

  int cell_width = screen->font->width;
  int cell_height = screen->font->height;
  if (columns > 0) cell_width = screen->width / columns;
  else columns = screen->text_cols;
  if (rows > 0) cell_height = screen->height / rows;
  else rows = screen->text_rows;

  const FontInfo* font = nullptr;
  if (cell_width == 8) {
    if (cell_height == 8) font = &font_8x8;
    else if (cell_height == 14) font = &font_8x14;
    else if (cell_height == 16) font = &font_8x16;
  }
  if (!font) return previous;

  DrawContext* context = get_draw_context();
  screen->text_cols = columns;
  screen->text_rows = rows;
  screen->font = font;
  make_text_cells(context, 1);

  context->flags &= ~kContextViewportSet;
  context->view_x = 0;
  context->view_y = 0;
  context->view_width = screen->width;
  context->view_height = screen->height;

  set_view_print(0, 0, 1);
  gfx_cls(kClearAll);
  return previous;
}
