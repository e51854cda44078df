// The colour operation: the drawing colours of the context, or the palette
// in the modes whose colour arguments mean palette entries.
#include "gfx/draw/colour.h"

#include "gfx/draw/draw_context.h"
#include "gfx/gfx_handlers.h"
#include "gfx/screen.h"

uint32_t rgb_to_native(int bytes_per_pixel, uint32_t colour) {
  if (bytes_per_pixel != 2) return colour;
  const uint32_t red = (colour >> 16) & 0xFF, green = (colour >> 8) & 0xFF, blue = colour & 0xFF;
  return blue >> 3 | ((green << 3) & 0x07E0) | ((red << 8) & 0xF800);
}

uint32_t native_color(int bytes_per_pixel, uint32_t colour) {
  const uint32_t pixel = rgb_to_native(bytes_per_pixel, colour);
  if (bytes_per_pixel >= 4) return pixel;
  if (bytes_per_pixel <= 0) return 0;
  return pixel & ((1u << (8 * bytes_per_pixel)) - 1u);
}

namespace {

uint32_t previous_colours(const ScreenState* screen, const DrawContext* context) {
  if (screen->depth <= 8) return context->foreground | context->background << 16;
  if (screen->depth == 16) return widen_565(context->foreground);
  return context->foreground;
}

uint32_t to_pixel(const ScreenState* screen, const DrawContext* context, uint32_t colour) {
  if (screen->depth > 8) return rgb_to_native(context->target_bytes_per_pixel, colour);
  if (context->target_bytes_per_pixel >= 4) return colour;
  return colour & ((1u << (8 * context->target_bytes_per_pixel)) - 1u);
}

}  // namespace

uint32_t gfx_color(uint32_t foreground, uint32_t background, int flags) {
  DrawContext* context = get_draw_context();
  ScreenState* screen = screen_state;
  if (!screen || !context) return 0;
  const bool has_foreground = !(flags & kColorNoForeground);
  const bool has_background = !(flags & kColorNoBackground);
  const uint32_t previous = previous_colours(screen, context);

  switch (screen->mode) {
    case 1:
      // The background picks one of the four attribute maps; the foreground
      // colours attribute 0.
      if (has_background) screen_palette(static_cast<int>(background | 0xFFFFFFFCu), 0, 0, 0);
      if (has_foreground) screen_palette(0, static_cast<int>(foreground), -1, -1);
      break;
    case 7:
    case 8:
    case 9:
      if (has_foreground) context->foreground = foreground & 15;
      if (has_background) screen_palette(0, static_cast<int>(background), -1, -1);
      break;
    default:
      if (has_foreground) context->foreground = to_pixel(screen, context, foreground);
      if (has_background) context->background = to_pixel(screen, context, background);
      break;
  }
  return previous;
}
