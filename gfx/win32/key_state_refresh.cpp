// Refreshing the key-state table from the system keyboard state.
#include "gfx/win32/key_state_refresh.h"

#include <windows.h>

#include "common/key_tables.h"
#include "gfx/screen.h"

void window_refresh_key_state() {
  ScreenState* screen = screen_state;
  if (!screen || !screen->key_state) return;
  BYTE state[256];
  if (!GetKeyboardState(state)) return;
  for (const KeyTableRow* row = key_table; row->scancode != 0; ++row) {
    bool held = (state[row->virtual_key] & 0x80) != 0;
    if (row->alternative_virtual_key) held = held || (state[row->alternative_virtual_key] & 0x80) != 0;
    screen->key_state[row->scancode] = held ? 1 : 0;
  }
}
