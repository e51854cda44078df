// Printing on the graphics screen: the text writer's two graphics callbacks
// and the state they share during one print call.
#pragma once

#include <cstdint>

struct DrawContext;
struct TextWriter;

// One print call: the context drawn with and the band of pixel rows changed,
// [dirty_start, dirty_end), empty when both are equal.
struct PrintState {
  DrawContext* context;
  int32_t dirty_start;
  int32_t dirty_end;
};

// The draw callback: glyphs of the screen's font, opaque, into the work page,
// and the characters into the work page's cells.
int draw_glyph_run(TextWriter* writer, const uint8_t* bytes, int count);

// The scroll callback: moves the pixel rows and cells of the window up.
void scroll_text_window(TextWriter* writer, int left, int top, int right, int bottom, int lines);

