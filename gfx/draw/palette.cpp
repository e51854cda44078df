// The palette of the palettised screens: reset to the mode's colours,
// single attributes, and the colours sent to the driver.
#include "gfx/draw/palette.h"

#include <cstring>

#include "gfx/data/builtin_data.h"
#include "gfx/drivers/video_driver.h"
#include "gfx/gfx_handlers.h"
#include "gfx/screen.h"

const uint8_t cga_palette_maps[4][4] = {
    {0, 11, 13, 15},
    {0, 10, 12, 14},
    {0, 3, 5, 7},
    {0, 2, 4, 6},
};
const uint8_t mono_map[2] = {0, 15};
const uint8_t identity_map[16] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
const uint8_t ega_map[16] = {0, 1, 2, 3, 4, 5, 20, 7, 56, 57, 58, 59, 60, 61, 62, 63};

namespace {

constexpr int kAttributeMapSize = 16;  // bytes of ScreenState::color_association

bool palette_applies(const ScreenState* screen) { return screen && screen->depth <= 8; }

// 2^depth, the number of attributes a pixel can hold.
int attribute_count(const ScreenState* screen) { return 1 << screen->depth; }

uint32_t default_entry(const PaletteInfo* palette, int index) {
  const uint8_t* rgb = palette->data + 3 * index;
  return pack_colour(rgb[0], rgb[1], rgb[2]);
}

void show(ScreenState* screen, int attribute, uint32_t colour) {
  screen->device_palette[attribute] = colour;
  if (screen->driver && screen->driver->set_palette)
    screen->driver->set_palette(attribute, colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

// A palette change shows on every line of whatever page is visible.
void mark_all_rows(ScreenState* screen) {
  std::memset(screen->dirty_lines, 1, static_cast<size_t>(screen->height));
}

void reset_palette(ScreenState* screen, int attribute) {
  const PaletteInfo* colours = screen->default_palette;
  const AttributeMap map = attribute_map_for(screen->mode, attribute);
  const int shown = attribute_count(screen);
  for (int i = 0; i < colours->count && i < 256; ++i) {
    screen->palette[i] = default_entry(colours, i);
    if (i >= shown) continue;
    int index = i;
    if (map.entries && i < map.count && i < kAttributeMapSize) {
      index = map.entries[i];
      screen->color_association[i] = static_cast<uint8_t>(index);
    } else if (i < kAttributeMapSize) {
      // Without a map attribute i shows entry i; recording that keeps a
      // colour written through the ports on the attributes that show it.
      screen->color_association[i] = static_cast<uint8_t>(i);
    }
    show(screen, i, default_entry(colours, index));
  }
}

}  // namespace

AttributeMap attribute_map_for(int mode, int reset_attribute) {
  switch (mode) {
    case 1: {
      // ~a is -a - 1 without the overflow of negating the lowest int.
      int index = ~reset_attribute;
      if (index > 3 || index < 0) index = 3;
      return {cga_palette_maps[index], 4};
    }
    case 2:
      return {mono_map, 2};
    case 7:
    case 8:
      return {identity_map, 16};
    case 9:
      return {ega_map, 16};
    default:
      return {nullptr, 0};
  }
}

void set_palette_entry(int attribute, uint32_t value) {
  ScreenState* screen = screen_state;
  if (!palette_applies(screen)) return;
  const int mask = screen->default_palette->count - 1;
  attribute &= mask;
  uint32_t colour;
  if (screen->default_palette == &palette_256) {
    colour = pack_colour(scale_6_to_8(value), scale_6_to_8(value >> 8), scale_6_to_8(value >> 16));
  } else {
    value &= static_cast<uint32_t>(mask);
    colour = screen->palette[value];
    // The 64-colour set has more indices than the map has attributes; the
    // map records only the attributes a pixel can hold.
    if (attribute < kAttributeMapSize) screen->color_association[attribute] = static_cast<uint8_t>(value);
  }
  show(screen, attribute, colour);
}

void screen_palette(int attribute, int value_or_red, int green, int blue) {
  ScreenState* screen = screen_state;
  if (!palette_applies(screen)) return;
  screen_lock();
  if (attribute >= 0) {
    uint32_t value = static_cast<uint32_t>(value_or_red);
    if (green >= 0 && blue >= 0) {
      value = static_cast<uint32_t>(value_or_red) >> 2 | (static_cast<uint32_t>(green) >> 2) << 8 |
              (static_cast<uint32_t>(blue) >> 2) << 16;
    }
    set_palette_entry(attribute, value);
  } else {
    reset_palette(screen, attribute);
  }
  mark_all_rows(screen);
  screen_unlock_unmarked();
}

void screen_palette_using(const int32_t* values) {
  ScreenState* screen = screen_state;
  if (!palette_applies(screen) || !values) return;
  screen_lock();
  const int count = attribute_count(screen);
  for (int i = 0; i < count; ++i)
    if (values[i] >= 0) set_palette_entry(i, static_cast<uint32_t>(values[i]));
  mark_all_rows(screen);
  screen_unlock_unmarked();
}

void push_palette() {
  ScreenState* screen = screen_state;
  if (!screen || !screen->driver || !screen->driver->set_palette) return;
  for (int i = 0; i < 256; ++i) {
    const uint32_t colour = screen->device_palette[i];
    screen->driver->set_palette(i, colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
  }
}
