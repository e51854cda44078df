// The console's handles, its pages and the text screen inside the work
// page's buffer, shared by the console output routines.
#pragma once

#include <windows.h>

#include <cstdint>

constexpr int kConsolePageCount = 4;

struct ConsoleHandles {
  HANDLE input;
  HANDLE output;
  HANDLE console_pages[kConsolePageCount];  // page 0 is the output handle
  int work_page;
  int visible_page;
};

// The text screen in buffer cells: the full buffer width by the rows the
// console window shows. All 0 when the buffer cannot be queried.
struct ConsoleArea {
  int16_t left, top, right, bottom;
  SMALL_RECT window;  // the console window as last read
};

// Set up on first use.
ConsoleHandles& console_handles();
// The work page's buffer, which every output routine writes to.
HANDLE console_work_buffer();

// Read once on first use and refreshed after each print until
// console_set_width locks it.
const ConsoleArea& console_area();
void console_area_refresh();
// Reads the area once more, whether locked or not, and locks it against
// later refreshes (after the text size was set).
void console_area_refresh_and_lock();

// No console buffer behind the work page, or a buffer of one row or column:
// the text screen then counts as 80 x 25 and printing writes raw bytes.
bool console_area_degenerate();

// Set when printed text ended in the last column of the view's bottom row;
// the cursor then stands there but the next print starts on a new row.
extern bool console_pending_newline;

// Forgets the handles, pages, area, lock and pending newline (created page
// buffers stay open). With an output handle, that handle becomes page 0 in
// place of standard output; with null the next use reads standard output
// again.
void console_handles_reset(HANDLE output);
