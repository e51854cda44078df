// The keyboard map on the screen: one status line in the page's German and
// the key boxes below it, in the rows the page leaves empty.
#pragma once

#include "keys/map/key_map_state.h"
#include "keys/map/keyboard_layouts.h"

// Palette colours of the default 256-colour palette, one per state of a key.
constexpr int kMapColourUntested = 8;  // dark grey
constexpr int kMapColourHeld = 14;     // yellow
constexpr int kMapColourTested = 10;   // light green
constexpr int kMapColourChatter = 12;  // light red
constexpr int kMapColourDefect = 13;   // light magenta
constexpr int kMapColourStuck = 6;     // brown, the dark orange of the palette

// The colour a key's box gets for its marks: held (stuck when held too
// long), then the defect mark, chatter, tested.
int key_map_colour(uint8_t marks);

// How many keys of the layout were tested.
int key_map_tested(const KeyboardLayout& layout, const KeyMapView& view);

// " Getestet: N/M, max. K gehalten" into text, cut to size.
void key_map_status_text(char* text, int size, int tested, int total, int most_held);

// Draws onto the open screen below the page: the status line at text row
// first_free_row (1-based) when it is on the screen (status, or the count
// when it is null), the map in the pixel rows under it when they are enough
// for it (kMinMapHeight), else no map. The caller holds the screen lock, as
// the page's drawing does.
void draw_key_map(const KeyboardLayout& layout, const KeyMapView& view, int first_free_row,
                  const char* status = nullptr);

// The key id whose box of the layout covers the screen pixel x, y where the
// map was last drawn; -1 for none (between boxes, off the map, the map not
// drawn or drawn for another layout).
int key_map_key_at(const KeyboardLayout& layout, int x, int y);
