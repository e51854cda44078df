// The drawing context in context slot 4, set up anew for every screen.
#include "gfx/draw/draw_context.h"

#include <cstdlib>
#include <cstring>

#include "gfx/screen.h"
#include "rt/runtime.h"

// Whoever asks for the slot first, the record is large enough for this.
static_assert(sizeof(DrawContext) <= kMinimumContextRecord);

DrawContext* get_draw_context() {
  auto* context = static_cast<DrawContext*>(context_slot(kDrawContextSlot, sizeof(DrawContext)));
  ScreenState* screen = screen_state;
  if (!context || !screen || context->screen_id == screen->id) return context;

  std::free(context->lines);
  std::memset(context, 0, sizeof *context);
  context->screen_id = screen->id;
  context->lines = static_cast<uint8_t**>(std::calloc(static_cast<size_t>(screen->height), sizeof(uint8_t*)));
  context->line_capacity = context->lines ? screen->height : 0;
  context->view_width = screen->width;
  context->view_height = screen->height;
  context->foreground = screen->depth == 8 ? 15u : screen->color_mask;
  context->background = screen->color_mask & 0xFF000000u;
  context->flags = kContextRebuildLines;
  use_screen_target(context);
  select_color_routines(context, 0xFF000000u);
  return context;
}

void use_screen_target(DrawContext* context) {
  ScreenState* screen = screen_state;
  if (!screen || !(context->flags & kContextRebuildLines)) return;
  context->target_bytes_per_pixel = screen->bytes_per_pixel;
  context->target_pitch = screen->pitch;
  const int rows = context->line_capacity < screen->height ? context->line_capacity : screen->height;
  uint8_t* page = screen->pages[context->work_page];
  for (int y = 0; y < rows; ++y) context->lines[y] = page + static_cast<size_t>(y) * screen->pitch;
  select_depth_routines(screen->bytes_per_pixel);
  context->flags &= ~kContextRebuildLines;
}

void select_color_routines(DrawContext* context, uint32_t colour) {
  ScreenState* screen = screen_state;
  const bool blend = screen && (screen->flags & kScreenBlended) &&
                     context->target_bytes_per_pixel == 4 && (colour >> 24) != 0xFF;
  context->put_pixel = blend ? depth_routines.put_pixel_blend : depth_routines.put_pixel;
  context->fill_span = blend ? depth_routines.fill_span_blend : depth_routines.fill_span;
  context->get_pixel = depth_routines.get_pixel;
}

bool work_page_is_visible(const DrawContext* context) {
  ScreenState* screen = screen_state;
  if (!screen || !context) return false;
  if (context->lines && context->line_capacity > 0 && context->lines[0])
    return context->lines[0] == screen->visible_page;
  return context->work_page == screen->visible_page_index;
}
