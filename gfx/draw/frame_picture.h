// Pictures of the visible page: the frame as the display shows it, and its
// text read back by matching the cells against the font.
#pragma once

#include <string>

// Writes the visible page, after palette lookup, as a binary PPM (P6).
// 0 on success, -1 without a screen or when the file cannot be written.
int write_frame_ppm(const char* path);

// The character in text cell (column, row), 0-based, of the visible page:
// the glyph of the screen's font whose pattern equals the cell's, where a
// pixel is foreground when it differs from the context's background. A blank
// cell reads as a space, printable ASCII is preferred over other glyphs with
// the same pattern, and a cell no glyph matches reads as '?'.
char decode_text_cell(int column, int row);

// One text row of the visible page, trailing blanks removed.
std::string decode_text_row(int row);
