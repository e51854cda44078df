// The viewer's menu on Windows: built from the portable entry table each time
// it opens, so that its check marks say what the map shows now; a chosen
// entry goes to the program thread as a command.
#include <windows.h>

#include "app/log_open_dialog.h"
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

// A submenu being filled; it goes into the menu when the next entry is of
// another one.
struct OpenSubmenu {
  HMENU menu = nullptr;
  ViewerSubmenu kind = ViewerSubmenu::kNone;
};

void close_submenu(HMENU menu, OpenSubmenu& open) {
  if (open.menu != nullptr)
    append_item(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(open.menu), viewer_submenu_label(open.kind, ui_language()));
  open = OpenSubmenu{};
}

void fill_menu(HMENU menu) {
  const bool shown = keyboard_map_is_shown();
  const MapLayout layout = keyboard_map_current_layout();
  const int chatter_ms = keyboard_map_chatter_ms();
  int count = 0;
  const ViewerMenuEntry* entries = viewer_menu_entries(&count);
  OpenSubmenu open;
  for (int i = 0; i < count; ++i) {
    const ViewerMenuEntry& entry = entries[i];
    if (!viewer_menu_present(entry.command)) continue;
    const bool checked = viewer_menu_checked(entry.command, shown, layout, chatter_ms);
    char label[64];
    viewer_menu_label(entry, ui_language(), label, sizeof label);
    if (entry.submenu == ViewerSubmenu::kNone) {
      close_submenu(menu, open);
      append_item(menu, MF_STRING | (checked ? MF_CHECKED : MF_UNCHECKED), viewer_menu_id(i), label);
      continue;
    }
    if (open.kind != entry.submenu) {
      close_submenu(menu, open);
      open = OpenSubmenu{CreatePopupMenu(), entry.submenu};
    }
    if (open.menu == nullptr) continue;
    // The threshold --chatter-ms gave goes among the fixed ones by its value.
    int position = GetMenuItemCount(open.menu);
    if (entry.command == ViewerCommand::kThresholdCustom) {
      position = 0;
      for (int j = 0; j < i; ++j)
        if (entries[j].submenu == ViewerSubmenu::kThreshold &&
            viewer_command_threshold_ms(entries[j].command) < viewer_command_threshold_ms(entry.command))
          ++position;
    }
    wchar_t wide[64];
    if (MultiByteToWideChar(CP_UTF8, 0, label, -1, wide, 64) <= 0) wide[0] = L'\0';
    InsertMenuW(open.menu, static_cast<UINT>(position), MF_BYPOSITION | MF_STRING, viewer_menu_id(i), wide);
    // A radio mark: the submenu's items are its group.
    if (checked) CheckMenuRadioItem(open.menu, 0, GetMenuItemCount(open.menu) - 1, static_cast<UINT>(position), MF_BYPOSITION);
  }
  close_submenu(menu, open);
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
  viewer_set_open_log_handler(log_open_dialog_open);
}
