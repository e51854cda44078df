// Filling several spans of one pixel line in one call: a row of boxes drawn
// line by line costs one lock and one mark per line instead of per box.
#pragma once

#include <cstdint>

struct LineSpan {
  int x;            // first pixel
  int width;        // pixels; 0 or less fills nothing
  uint32_t colour;  // in the screen's pixel format, as draw_box takes it
};

// Fills the spans on line `line` of the work page, each clipped to the
// viewport, at every depth, under the screen lock, and marks the line when
// it filled any pixel. Any value is safe: a line outside the viewport, spans
// off the screen or wider than the int range, a null list, a count of 0 or
// less, no screen.
void fill_line_spans(int line, const LineSpan* spans, int count);
