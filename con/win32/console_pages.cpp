// The console's four pages and its text size.
#include <windows.h>

#include <algorithm>

#include "con/console.h"
#include "con/win32/console_handles.h"

namespace {

void hide_cursor(HANDLE buffer) {
  CONSOLE_CURSOR_INFO shape{};
  if (!GetConsoleCursorInfo(buffer, &shape)) return;
  shape.bVisible = FALSE;
  if (shape.dwSize < 1 || shape.dwSize > 100) shape.dwSize = 25;
  SetConsoleCursorInfo(buffer, &shape);
}

// Gives a buffer a new size. The console takes only a window that lies
// inside its buffer, so the window first moves to the top-left cell and
// shrinks to what fits in both the old and the new buffer.
void fit_buffer(HANDLE buffer, int columns, int rows) {
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (GetConsoleScreenBufferInfo(buffer, &info)) {
    const int window_columns = info.srWindow.Right - info.srWindow.Left + 1;
    const int window_rows = info.srWindow.Bottom - info.srWindow.Top + 1;
    const SMALL_RECT interim{0, 0, static_cast<SHORT>(std::min(window_columns, columns) - 1),
                             static_cast<SHORT>(std::min(window_rows, rows) - 1)};
    SetConsoleWindowInfo(buffer, TRUE, &interim);
  }
  SetConsoleScreenBufferSize(buffer, COORD{static_cast<SHORT>(columns), static_cast<SHORT>(rows)});
}

// Resizes one page buffer and spans its window from the top-left cell over
// as much of the buffer as the screen allows.
void resize_page(HANDLE buffer, int columns, int rows, COORD largest) {
  fit_buffer(buffer, columns, rows);
  // A console that cannot tell its largest window sets no limit of its own.
  const int most_columns = largest.X > 0 ? std::min<int>(largest.X, columns) : columns;
  const int most_rows = largest.Y > 0 ? std::min<int>(largest.Y, rows) : rows;
  const SMALL_RECT window{0, 0, static_cast<SHORT>(most_columns - 1),
                          static_cast<SHORT>(most_rows - 1)};
  SetConsoleWindowInfo(buffer, TRUE, &window);
}

// A page buffer the size of the standard output buffer, created on first
// use. False when it cannot be made.
bool ensure_page(ConsoleHandles& handles, int page) {
  // Page 0 is standard output, whatever that is.
  if (page == 0 || handles.console_pages[page]) return true;
  HANDLE buffer = CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                            CONSOLE_TEXTMODE_BUFFER, nullptr);
  if (buffer == INVALID_HANDLE_VALUE || !buffer) return false;
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (GetConsoleScreenBufferInfo(handles.console_pages[0], &info))
    fit_buffer(buffer, info.dwSize.X, info.dwSize.Y);
  handles.console_pages[page] = buffer;
  return true;
}

}  // namespace

int console_set_width(int columns, int rows) {
  if (console_area_degenerate()) return 0;
  const COORD largest = GetLargestConsoleWindowSize(console_work_buffer());
  int current_columns = 0, current_rows = 0;
  console_get_size(&current_columns, &current_rows);
  if (columns < 1 && rows < 1) return current_columns | current_rows << 16;
  if (columns < 1) columns = current_columns;
  if (rows < 1) rows = current_rows;
  // Buffer sizes are signed 16-bit on the console.
  columns = std::min(columns, 0x7FFF);
  rows = std::min(rows, 0x7FFF);

  ConsoleHandles& handles = console_handles();
  for (HANDLE page : handles.console_pages)
    if (page) resize_page(page, columns, rows, largest);
  console_area_refresh_and_lock();
  return columns | rows << 16;
}

int console_page_set(int work, int visible) {
  if (work >= kConsolePageCount || visible >= kConsolePageCount) return -1;
  ConsoleHandles& handles = console_handles();
  const int previous = handles.work_page | handles.visible_page << 8;
  if ((work >= 0 && !ensure_page(handles, work)) || (visible >= 0 && !ensure_page(handles, visible)))
    return -1;

  if (work >= 0) {
    handles.work_page = work;
    if (work != (visible >= 0 ? visible : handles.visible_page))
      hide_cursor(handles.console_pages[work]);
  }
  if (visible >= 0) {
    handles.visible_page = visible;
    SetConsoleActiveScreenBuffer(handles.console_pages[visible]);
    if (visible != handles.work_page) {
      hide_cursor(handles.console_pages[visible]);
      hide_cursor(handles.console_pages[handles.work_page]);
    }
  }
  // The text screen is the work page's.
  console_area_refresh();
  return previous;
}
