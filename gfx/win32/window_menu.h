// The program's own entries in the window's menus: a popup on a right click
// and the window menu (the title bar's icon, Alt+Space). The window layer
// knows when a menu opens and which entry was chosen; what the entries are
// and what they do belongs to the program, through a record of callbacks.
// Everything here runs on the event thread that owns the window.
#pragma once

#include <windows.h>

struct WindowMenuHooks {
  // Appends the program's entries, as they stand now (check marks), to an
  // empty popup menu or to the end of the window menu. Item ids are the
  // program's, from kWindowMenuFirstId up in steps of 16 (the window menu's
  // commands keep their low four bits for the system).
  void (*fill)(HMENU menu);
  // An entry was chosen; false when the id is not one of the program's.
  bool (*choose)(unsigned id);
};

constexpr unsigned kWindowMenuFirstId = 0x1000;
constexpr unsigned kWindowMenuLastId = 0x7FF0;

// Sets the hooks (null: no menus of the program's; the right click does
// nothing and the window menu is the system's). The record must outlive the
// window. Any thread.
void window_set_menu_hooks(const WindowMenuHooks* hooks);

// The popup at a point of the window's client area (window pixels): filled,
// tracked, its choice passed to choose. Returns at once without hooks.
void window_menu_popup(HWND window, int client_x, int client_y);

// WM_INITMENUPOPUP of the window menu: the program's entries are put there
// again below a separator, so that their check marks are those of now.
void window_menu_refresh_system(HWND window, HMENU menu);

// WM_SYSCOMMAND or WM_COMMAND from a menu: true when the program's entry
// was chosen (and has run).
bool window_menu_command(unsigned id);
