// The program's entries in the window's menus (see window_menu.h).
#include "gfx/win32/window_menu.h"

#include <atomic>

namespace {

std::atomic<const WindowMenuHooks*> menu_hooks{nullptr};

// The window menu this layer last added to, and how many items the system
// gave it: everything from there on is the program's and is made anew each
// time the menu opens. Event thread only.
HMENU extended_menu = nullptr;
int system_item_count = 0;

}  // namespace

void window_set_menu_hooks(const WindowMenuHooks* hooks) { menu_hooks.store(hooks); }

void window_menu_popup(HWND window, int client_x, int client_y) {
  const WindowMenuHooks* hooks = menu_hooks.load();
  if (hooks == nullptr || hooks->fill == nullptr) return;
  HMENU menu = CreatePopupMenu();
  if (menu == nullptr) return;
  hooks->fill(menu);
  POINT at{client_x, client_y};
  ClientToScreen(window, &at);
  // Without the foreground the menu would not close on a click elsewhere.
  SetForegroundWindow(window);
  // The choice comes back here rather than as WM_COMMAND, which could be
  // lost to a window closed meanwhile; the system's modal loop around it
  // (WM_ENTERMENULOOP) keeps the page drawn.
  const UINT id = static_cast<UINT>(
      TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, window, nullptr));
  DestroyMenu(menu);  // and its submenus
  if (id != 0) window_menu_command(id);
}

void window_menu_refresh_system(HWND window, HMENU menu) {
  const WindowMenuHooks* hooks = menu_hooks.load();
  if (hooks == nullptr || hooks->fill == nullptr || menu == nullptr || menu != GetSystemMenu(window, FALSE))
    return;
  if (menu != extended_menu) {
    extended_menu = menu;
    system_item_count = GetMenuItemCount(menu);
    if (system_item_count < 0) system_item_count = 0;
  }
  // DeleteMenu, unlike RemoveMenu, also destroys a submenu.
  while (GetMenuItemCount(menu) > system_item_count) DeleteMenu(menu, system_item_count, MF_BYPOSITION);
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  hooks->fill(menu);
}

bool window_menu_command(unsigned id) {
  const WindowMenuHooks* hooks = menu_hooks.load();
  if (hooks == nullptr || hooks->choose == nullptr) return false;
  if (id < kWindowMenuFirstId || id > kWindowMenuLastId + 15) return false;
  return hooks->choose(id & ~15u);
}
