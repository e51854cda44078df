// Repeating one pixel line of the work page onto the lines below it: what a
// picture of stacked identical lines (a row of boxes) costs once per line
// instead of once per box and line.
#pragma once

// Copies the part of line `line` inside the viewport onto the `count` lines
// below it, as far as the viewport reaches, at every depth, under the screen
// lock, marking only the lines it wrote. Any value is safe: a line outside
// the viewport, a count of 0 or less, or no screen copy nothing.
void repeat_line(int line, int count);
