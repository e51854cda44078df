// The text writer shared by the graphics screen and the console: it reads
// control bytes, keeps the cursor, wraps at the right edge and scrolls lazily
// at the bottom edge. Drawing and scrolling are left to two callbacks.
#pragma once

#include <cstdint>

struct TextWriter;

// Moves the window's contents up by lines rows and blanks the freed rows;
// must leave the writer's y at bottom.
using TextScrollFn = void (*)(TextWriter* writer, int left, int top, int right, int bottom,
                              int lines);
// Draws count bytes at (x, y) on one row; 1 means go on, anything else stops
// the writer.
using TextDrawFn = int (*)(TextWriter* writer, const uint8_t* bytes, int count);

struct TextWriter {
  void* user;
  TextScrollFn scroll;
  TextDrawFn draw;
  int32_t left, top, right, bottom;  // the window in cells, inclusive; bottom -1: never scroll
  int32_t x, y;                      // the cursor in cells
};

// Bytes gathered before a run is drawn.
constexpr int kTextRunCapacity = 1024;

// Writes count bytes. With newline_flag set a line feed also returns the
// carriage. Returns without drawing when the window has no column, and stops
// at the first draw that gives up: the bytes after it would be placed from
// where the text should have reached, not from where the cursor stands.
void text_writer_write(TextWriter* writer, const uint8_t* bytes, int count, int newline_flag);

// Draws a run of printable bytes from the cursor on, row by row, scrolling
// first whenever the cursor stands below the bottom edge. False when the draw
// callback gave up; the cursor then stays where that draw was asked for.
bool text_writer_put_run(TextWriter* writer, const uint8_t* bytes, int count);
