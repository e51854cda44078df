// The tables' UTF-8 on the screen, whose font is code page 437: one byte a
// character, so a line's length is its width.
#pragma once

#include "keys/line_builder.h"

// Appends utf8 in the screen font's code page: ASCII as it is, the German
// letters (ä 0x84, ö 0x94, ü 0x81, Ä 0x8E, Ö 0x99, Ü 0x9A, ß 0xE1) and é
// by their places, '?' for any other character and for a broken sequence.
// Null appends nothing.
LineBuilder& screen_text(LineBuilder& out, const char* utf8);
