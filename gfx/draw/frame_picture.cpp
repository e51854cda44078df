// Pictures of the visible page for tools and tests.
#include "gfx/draw/frame_picture.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "gfx/data/builtin_data.h"
#include "gfx/draw/colour.h"
#include "gfx/draw/draw_context.h"
#include "gfx/screen.h"

namespace {

uint32_t pixel_at(const ScreenState* screen, int x, int y) {
  const uint8_t* line = screen->visible_page + static_cast<size_t>(y) * screen->pitch;
  switch (screen->bytes_per_pixel) {
    case 1:
      return line[x];
    case 2: {
      uint16_t value;
      std::memcpy(&value, line + 2 * x, 2);
      return value;
    }
    default: {
      uint32_t value;
      std::memcpy(&value, line + 4 * x, 4);
      return value;
    }
  }
}

// The colour shown for a pixel as red, green, blue.
void shown_colour(const ScreenState* screen, uint32_t pixel, uint8_t rgb[3]) {
  if (screen->bytes_per_pixel == 1) {
    const uint32_t colour = screen->device_palette[pixel & 0xFF];
    rgb[0] = colour & 0xFF;
    rgb[1] = (colour >> 8) & 0xFF;
    rgb[2] = (colour >> 16) & 0xFF;
    return;
  }
  const uint32_t colour = screen->bytes_per_pixel == 2 ? widen_565(pixel) : pixel;
  rgb[0] = (colour >> 16) & 0xFF;
  rgb[1] = (colour >> 8) & 0xFF;
  rgb[2] = colour & 0xFF;
}

bool glyph_matches(const FontInfo* font, int code, const uint8_t* pattern) {
  return std::memcmp(font->data + static_cast<size_t>(code) * font->height, pattern,
                     static_cast<size_t>(font->height)) == 0;
}

}  // namespace

int write_frame_ppm(const char* path) {
  const ScreenState* screen = screen_state;
  if (!screen || !path) return -1;
  std::FILE* file = std::fopen(path, "wb");
  if (!file) return -1;
  std::fprintf(file, "P6\n%d %d\n255\n", screen->width, screen->height);
  std::vector<uint8_t> row(static_cast<size_t>(screen->width) * 3);
  bool ok = true;
  for (int y = 0; y < screen->height && ok; ++y) {
    for (int x = 0; x < screen->width; ++x) shown_colour(screen, pixel_at(screen, x, y), &row[3 * x]);
    ok = std::fwrite(row.data(), 1, row.size(), file) == row.size();
  }
  if (std::fclose(file) != 0) ok = false;
  return ok ? 0 : -1;
}

char decode_text_cell(int column, int row) {
  const ScreenState* screen = screen_state;
  if (!screen || column < 0 || row < 0 || column >= screen->text_cols || row >= screen->text_rows)
    return '?';
  const FontInfo* font = screen->font;
  // Only fonts one byte wide are built in.
  if (font->width != 8 || font->height > 16) return '?';
  const uint32_t background = get_draw_context()->background;

  uint8_t pattern[16] = {};
  for (int j = 0; j < font->height; ++j) {
    for (int k = 0; k < 8; ++k) {
      if (pixel_at(screen, column * 8 + k, row * font->height + j) != background)
        pattern[j] = static_cast<uint8_t>(pattern[j] | 1u << k);
    }
  }
  for (int code = 0x20; code < 0x7F; ++code)
    if (glyph_matches(font, code, pattern)) return static_cast<char>(code);
  for (int code = 0; code < 256; ++code)
    if ((code < 0x20 || code >= 0x7F) && glyph_matches(font, code, pattern)) return static_cast<char>(code);
  return '?';
}

std::string decode_text_row(int row) {
  const ScreenState* screen = screen_state;
  std::string text;
  if (!screen) return text;
  for (int column = 0; column < screen->text_cols; ++column) text += decode_text_cell(column, row);
  const size_t end = text.find_last_not_of(' ');
  text.erase(end == std::string::npos ? 0 : end + 1);
  return text;
}
