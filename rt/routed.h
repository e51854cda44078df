// The runtime's routed operations: each calls its HookTable slot when a
// graphics screen is open and its console branch otherwise.
#pragma once

#include <cstdint>

#include "con/console.h"
#include "rt/routed_print.h"  // print_bytes and print_wide, routed like the rest
#include "rt/runtime.h"
#include "rt/text_value.h"

constexpr int32_t kNoClearArgument = static_cast<int32_t>(0xFFFF0000u);

void clear_screen(int32_t mode);
int locate(int row, int column, int cursor, int* result);
int set_width(int columns, int rows);
int get_column();
int get_row();
void get_cursor(int* column, int* row);
void get_text_size(int* columns, int* rows);
void view_changed();
int page_set(int work, int visible);
// Copies a page, or on a screen that presents whole frames shows the frame;
// error 1 on the console, which has no page copy.
int page_copy(int source, int destination);

// The text view: the rows that printing and clearing keep to, 0-based; -1
// means not set. It lives with the routed operations because both ask each
// other: the default bottom row is the routed text size, and setting the
// view tells the screen or console and moves the cursor through them.
int view_top();
int view_bottom();
int set_view_rows(int top, int bottom);
// The text view as rows of a grid of rows rows: a bottom past the grid is
// its last row, and a view that then no longer holds a row is the whole grid.
void text_view_within(int rows, int* top, int* bottom);
void view_rows_1based(int* top, int* bottom);
int set_view_print(int top, int bottom, int move_cursor);

// Sleeping and keys. sleep_for's flag says how: kSleepEndedByKey ends the
// sleep early at a key press (sleep_wait), kSleepPlain sleeps the whole time;
// any other flag is refused with error 1.
enum SleepFlag : int { kSleepEndedByKey = 0, kSleepPlain = 1 };
int sleep_for(int milliseconds, int flag);
void sleep_wait(int milliseconds);
TextValue* read_key_text();
int wait_key();
int key_waiting();

// -1 when the key with this scancode is held, else 0. Inline: the viewer
// asks it 65535 times a pass.
inline int key_held(int scancode) {
  const auto handler = runtime_context_record.hooks.key_held;
  if (handler == bounded_key_held.handler && scancode > bounded_key_held.highest) return 0;
  if (handler) return handler(scancode);
  return console_key_held(scancode);
}
constexpr int kLastKeyCode = 65535;
// The first code above `after`, from 1 to 65535, whose key key_held answers
// held, or 0 when there is none: the same answers in the same order as
// asking key_held for every code in turn. The graphics screen answers in
// one call; any other handler, and the console, are asked code by code.
int next_key_held(int after);
