// The console's handles and pages, and the text screen inside the work
// page's buffer.
#include "con/win32/console_handles.h"

namespace {

// Zero-initialised, so usable before any constructor runs.
ConsoleHandles handles;
bool handles_ready = false;
HANDLE output_override = nullptr;

ConsoleArea area;
bool area_ready = false;  // the once-flag of the first query
bool area_locked = false;

void set_up_handles() {
  handles = ConsoleHandles{};
  handles.input = GetStdHandle(STD_INPUT_HANDLE);
  handles.output = output_override ? output_override : GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  // Ctrl+C and line editing go to the system, not into the key queries.
  if (GetConsoleMode(handles.input, &mode)) SetConsoleMode(handles.input, mode | ENABLE_PROCESSED_INPUT);
  handles.console_pages[0] = handles.output;
  handles_ready = true;
}

void read_area() {
  area = ConsoleArea{};
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!GetConsoleScreenBufferInfo(console_work_buffer(), &info)) return;
  area.left = 0;
  area.top = info.srWindow.Top;
  area.right = static_cast<int16_t>(info.dwSize.X - 1);
  area.bottom = info.srWindow.Bottom;
  area.window = info.srWindow;
}

}  // namespace

bool console_pending_newline = false;

ConsoleHandles& console_handles() {
  if (!handles_ready) set_up_handles();
  return handles;
}

HANDLE console_work_buffer() {
  ConsoleHandles& h = console_handles();
  return h.console_pages[h.work_page];
}

const ConsoleArea& console_area() {
  if (!area_ready) {
    area_ready = true;
    read_area();
  }
  return area;
}

void console_area_refresh() {
  area_ready = true;
  if (!area_locked) read_area();
}

void console_area_refresh_and_lock() {
  area_ready = true;
  read_area();
  area_locked = true;
}

bool console_area_degenerate() {
  const ConsoleArea& a = console_area();
  return a.right <= a.left || a.bottom <= a.top;
}

void console_handles_reset(HANDLE output) {
  output_override = output;
  handles = ConsoleHandles{};
  handles_ready = false;
  area = ConsoleArea{};
  area_ready = false;
  area_locked = false;
  console_pending_newline = false;
}
