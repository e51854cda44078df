// The entries of the viewer's menu (the right click's popup and the window
// menu): their labels by name, commands and check marks. Portable: the
// Windows side (app/win32/viewer_menu.cpp) only builds menus from this.
#pragma once

#include "app/viewer_commands.h"
#include "keys/map/keyboard_layouts.h"
#include "keys/texts/ui_texts.h"

enum class ViewerSubmenu { kNone, kLayout, kThreshold };

struct ViewerMenuEntry {
  UiText label;  // with & before the access letter; kCount: made from the command
  ViewerCommand command;
  ViewerSubmenu submenu;
};

// The label of the submenu, which stands where its first entry is (UTF-8,
// with & before the access letter); "" for none.
const char* viewer_submenu_label(ViewerSubmenu submenu, UiLanguage language);

// The label of an entry in the language: the table's, or a threshold's
// made from its command. Cut to size, always ended.
void viewer_menu_label(const ViewerMenuEntry& entry, UiLanguage language, char* out, int size);

// The label of a threshold entry: "30 ms"; "" for other commands and for
// the custom one while it has no value. Cut to size, always ended.
void viewer_threshold_label(ViewerCommand command, char* out, int size);

// The entries in menu order; *count gets their number.
const ViewerMenuEntry* viewer_menu_entries(int* count);

// The menu item id of an entry (kWindowMenuFirstId up in steps of 16, as
// the window menu needs), and the entry of an id: false for an id that is
// none of ours.
unsigned viewer_menu_id(int entry_index);
bool viewer_menu_command(unsigned id, ViewerCommand* command);

// Whether the entry shows a check mark: the map toggle while the map is
// shown, the layout in use and the threshold in use (radio marks). The
// others never.
bool viewer_menu_checked(ViewerCommand command, bool map_shown, MapLayout layout, int chatter_ms = 0);

// Whether the entry is in the menu now: the custom threshold only while it
// has a value.
bool viewer_menu_present(ViewerCommand command);

// The name the Save dialog proposes in the language:
// "keyboard-test-YYYY-MM-DD-hhmmss.html" ("Tastaturtest-...") from the
// local time's fields (month 1-12); fields out of range are clamped, so the
// name always fits 48 bytes. Cut to size, always ended.
void proposed_report_name(int year, int month, int day, int hour, int minute, int second, UiLanguage language,
                          char* out, int size);
