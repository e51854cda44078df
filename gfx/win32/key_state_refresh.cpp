// Refreshing the key-state table from the system keyboard state.
#include "gfx/win32/key_state_refresh.h"

#include <windows.h>

#include <atomic>

#include "common/key_tables.h"
#include "gfx/screen.h"

namespace {

// Set by the window procedure and the modal loop, taken by the key read: all
// on the event thread, but the OpenGL driver reads on the program's thread.
std::atomic<bool> key_state_suspect{false};

}  // namespace

void window_key_state_suspect() { key_state_suspect.store(true); }

bool window_take_key_state_suspect() { return key_state_suspect.exchange(false); }

void window_drop_released_keys() {
  BYTE state[256];
  if (!GetKeyboardState(state)) return;
  bool changed = false;
  for (int virtual_key = 1; virtual_key < 256; ++virtual_key) {
    if ((state[virtual_key] & 0x80) && !(GetAsyncKeyState(virtual_key) & 0x8000)) {
      state[virtual_key] &= 0x7F;
      changed = true;
    }
  }
  if (changed) SetKeyboardState(state);
}

void window_refresh_key_state() {
  ScreenState* screen = screen_state;
  if (!screen || !screen->key_state) return;
  if (window_take_key_state_suspect()) window_drop_released_keys();
  BYTE state[256];
  if (!GetKeyboardState(state)) return;
  for (const KeyTableRow* row = key_table; row->scancode != 0; ++row) {
    bool held = (state[row->virtual_key] & 0x80) != 0;
    if (row->alternative_virtual_key) held = held || (state[row->alternative_virtual_key] & 0x80) != 0;
    screen->key_state[row->scancode] = held ? 1 : 0;
  }
}
