// The console's answer to "is the key with this scancode held": the live
// keyboard state, but only while the console window is in the foreground.
#include <windows.h>

#include <cstdio>

#include "con/console.h"
#include "con/window_search_gate.h"
#include "con/win32/console_keys.h"
#include "common/key_tables.h"
#include "sys/platform.h"

namespace {

HWND console_window = nullptr;
WindowSearchGate console_window_search;

// COMPAT: consoles of older systems have no call that names their window:
// give the console a title no other window has, look the window up by it,
// and put the old title back.
HWND find_console_window(bool* possible) {
  char old_title[260];
  *possible = GetConsoleTitleA(old_title, sizeof old_title) != 0;
  if (!*possible) return nullptr;
  // The system's own formatter: the C99 one of the compiler's library would
  // bring a second floating-point printer into the program.
  char unique_title[128];
  _snprintf(unique_title, sizeof unique_title - 1, "_zq_console_title %f", seconds_counter());
  unique_title[sizeof unique_title - 1] = '\0';
  SetConsoleTitleA(unique_title);
  HWND window = FindWindowA(nullptr, unique_title);
  SetConsoleTitleA(old_title);
  return window;
}

const KeyTableRow* find_key_row(int scancode) {
  for (const KeyTableRow& row : key_table) {
    if (row.scancode == 0) break;
    if (row.scancode == scancode) return &row;
  }
  return nullptr;
}

bool virtual_key_down(int virtual_key) {
  return virtual_key != 0 && (GetAsyncKeyState(virtual_key) & 0x8000) != 0;
}

}  // namespace

double seconds_counter() { return sys::precise_seconds(); }

int console_key_held(int scancode) {
  // A search that missed is tried again later, a few times at most.
  if (!console_window && console_window_search.look()) {
    const double now = seconds_counter();
    if (console_window_search.may_search(now)) {
      bool possible = false;
      console_window = find_console_window(&possible);
      console_window_search.searched(now, console_window != nullptr, possible);
    }
  }
  // Keys typed into another window are not the console's; without a console
  // window nothing counts as held.
  if (!console_window || console_window != GetForegroundWindow()) return 0;
  const KeyTableRow* row = find_key_row(scancode);
  if (!row) return 0;
  return virtual_key_down(row->virtual_key) || virtual_key_down(row->alternative_virtual_key) ? -1 : 0;
}
