// Where the map's key boxes go on the screen: the layout's quarter units
// scaled into a band of pixel rows, keys as wide as on the keyboard, one
// pixel apart.
#pragma once

#include "keys/map/keyboard_layouts.h"

struct PixelBox {
  int x, y, width, height;
};

// The fewest pixel rows a map needs: one per quarter unit, keys 3 pixels tall.
constexpr int kMinMapHeight = 26;

// Fills boxes (layout.count of them) for a map in the pixel rows top to
// bottom - 1 of a screen screen_width wide, keys no taller than wide. Returns
// the pixel row below the lowest box, or -1 when the band is too small for
// the map (fewer than kMinMapHeight rows, or narrower than the layout's
// quarter units) or an argument is unusable; boxes are then untouched.
int key_map_boxes(const KeyboardLayout& layout, int top, int bottom, int screen_width,
                  PixelBox* boxes);
