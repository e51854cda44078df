// The viewer's menu on Windows: built from the portable entry table each time
// it opens, so that its check marks say what the map shows now; a chosen
// entry goes to the program thread as a command.
#include <windows.h>

#include "app/report_save_dialog.h"
#include "app/viewer_commands.h"
#include "app/viewer_menu.h"
#include "app/viewer_menu_entries.h"
#include "gfx/win32/window_menu.h"
#include "keys/map/keyboard_map.h"

namespace {

// Labels are UTF-8 in the table; the menus take UTF-16 so that the ellipsis
// and umlauts show whatever the system's code page.
void append_item(HMENU menu, UINT flags, UINT_PTR id, const char* label) {
  wchar_t wide[64];
  if (MultiByteToWideChar(CP_UTF8, 0, label, -1, wide, 64) <= 0) wide[0] = L'\0';
  AppendMenuW(menu, flags, id, wide);
}

void fill_menu(HMENU menu) {
  const bool shown = keyboard_map_is_shown();
  const MapLayout layout = keyboard_map_current_layout();
  int count = 0;
  const ViewerMenuEntry* entries = viewer_menu_entries(&count);
  HMENU layouts = nullptr;
  for (int i = 0; i < count; ++i) {
    const ViewerMenuEntry& entry = entries[i];
    const bool checked = viewer_menu_checked(entry.command, shown, layout);
    if (!entry.in_layout_submenu) {
      if (layouts != nullptr) {
        append_item(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(layouts), kLayoutSubmenuLabel);
        layouts = nullptr;
      }
      append_item(menu, MF_STRING | (checked ? MF_CHECKED : MF_UNCHECKED), viewer_menu_id(i), entry.label);
      continue;
    }
    if (layouts == nullptr && (layouts = CreatePopupMenu()) == nullptr) continue;
    append_item(layouts, MF_STRING, viewer_menu_id(i), entry.label);
    // A radio mark: the submenu's items are its group.
    if (checked) CheckMenuRadioItem(layouts, 0, GetMenuItemCount(layouts) - 1, GetMenuItemCount(layouts) - 1,
                                    MF_BYPOSITION);
  }
  if (layouts != nullptr) append_item(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(layouts), kLayoutSubmenuLabel);
}

bool choose(unsigned id) {
  ViewerCommand command;
  if (!viewer_menu_command(id, &command)) return false;
  post_viewer_command(command);
  return true;
}

const WindowMenuHooks kViewerMenuHooks{fill_menu, choose};

}  // namespace

void viewer_menu_install() {
  window_set_menu_hooks(&kViewerMenuHooks);
  viewer_set_save_report_handler(report_save_dialog_open);
}
