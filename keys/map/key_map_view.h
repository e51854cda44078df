// The keyboard map on the screen: one status line in the reader's language and
// the key boxes below it, in the rows the page leaves empty.
#pragma once

#include "gfx/draw/line_spans.h"
#include "keys/map/key_map_geometry.h"
#include "keys/map/key_map_state.h"
#include "keys/map/keyboard_layouts.h"
#include "keys/texts/ui_texts.h"

// Palette colours of the default 256-colour palette (the viewer's screen is
// always mode 13), one per state of a key: every pair at least 19 apart in
// CIEDE2000 for normal vision and simulated protanopia, deuteranopia and
// tritanopia, and from black and white; the plain states at least 0.1 apart
// in relative luminance (tools/state_colours prints the figures).
constexpr int kMapColourUntested = 8;  // dark grey #555555
constexpr int kMapColourTested = 10;   // light green #55ff55
constexpr int kMapColourHeld = 80;     // lavender #b6b6ff
constexpr int kMapColourChatter = 63;  // rose #ff7d9d
constexpr int kMapColourStuck = 6;     // brown #aa5500
constexpr int kMapColourDefect = 35;   // violet #be00ff
constexpr int kMapColourMark = 0;      // black: the marks inside the findings' boxes

// The colour a key's box gets for its marks: held (stuck when held too
// long), then the defect mark, chatter, tested.
int key_map_colour(uint8_t marks);

// What a finding draws inside its box besides its colour, so that colour is
// not the only cue; held, tested and untested boxes stay plain.
enum class MapMarkShape {
  kNone,
  kStripes,  // chatter: upright stripes, a column on and a column off
  kBar,      // stuck: a bar along the bottom, the key down
  kCross,    // defect: the box crossed out corner to corner
};

// The shape for a key's marks, following key_map_colour.
MapMarkShape key_map_mark_shape(uint8_t marks);

// The spans (colour kMapColourMark) the shape puts on pixel line `line` of
// the box into spans, at most room of them; how many. Marks keep to the
// box's inside, one pixel in from its edge; a box under 3 x 3 pixels, a
// line outside it, kNone, a shape out of range or no room give 0.
int key_map_mark_spans(MapMarkShape shape, const PixelBox& box, int line, LineSpan* spans, int room);

// How many keys of the layout were tested.
int key_map_tested(const KeyboardLayout& layout, const KeyMapView& view);

// " Tested: N/M, up to K held" (" Getestet: N/M, max. K gehalten") into
// text in the screen font's code page, cut to size.
void key_map_status_text(char* text, int size, int tested, int total, int most_held, UiLanguage language);

// Draws onto the open screen below the page: the status line at text row
// first_free_row (1-based) when it is on the screen (status, or the count
// in the program's language when it is null), the map in the pixel rows under it when they are enough
// for it (kMinMapHeight), else no map. The caller holds the screen lock, as
// the page's drawing does.
void draw_key_map(const KeyboardLayout& layout, const KeyMapView& view, int first_free_row,
                  const char* status = nullptr);

// The key id whose box of the layout covers the screen pixel x, y where the
// map was last drawn; -1 for none (between boxes, off the map, the map not
// drawn or drawn for another layout).
int key_map_key_at(const KeyboardLayout& layout, int x, int y);
