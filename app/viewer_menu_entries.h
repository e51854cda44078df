// The entries of the viewer's menu (the right click's popup and the window
// menu): German labels, their commands and check marks. Portable: the
// Windows side (app/win32/viewer_menu.cpp) only builds menus from this.
#pragma once

#include "app/viewer_commands.h"
#include "keys/map/keyboard_layouts.h"

struct ViewerMenuEntry {
  const char* label;  // UTF-8, with & before the access letter
  ViewerCommand command;
  bool in_layout_submenu;
};

// The label of the layout submenu, between "Tastaturkarte" and the rest.
extern const char kLayoutSubmenuLabel[];

// The entries in menu order; *count gets their number.
const ViewerMenuEntry* viewer_menu_entries(int* count);

// The menu item id of an entry (kWindowMenuFirstId up in steps of 16, as
// the window menu needs), and the entry of an id: false for an id that is
// none of ours.
unsigned viewer_menu_id(int entry_index);
bool viewer_menu_command(unsigned id, ViewerCommand* command);

// Whether the entry shows a check mark: the map toggle while the map is
// shown, the layout in use (a radio mark). The others never.
bool viewer_menu_checked(ViewerCommand command, bool map_shown, MapLayout layout);

// The name the Save dialog proposes: "Tastaturtest-YYYY-MM-DD-hhmmss.html"
// from the local time's fields (month 1-12); fields out of range are
// clamped, so the name always fits 40 bytes. Cut to size, always ended.
void proposed_report_name(int year, int month, int day, int hour, int minute, int second, char* out,
                          int size);
