// The held flags of the open screen, read from the system keyboard state.
#pragma once

// Sets each key_table scancode's flag from the high bit of its virtual key
// or of its alternative one. Run by the drivers with their updates.
void window_refresh_key_state();

// The thread's keyboard state follows the key messages it takes; a key
// released while another window had the keyboard, or while a modal loop
// took the messages, can stay down in it. Marks the state as suspect: the
// next read first checks it against the keys the system reports down now.
void window_key_state_suspect();
// Whether the state was marked suspect since the last call (which clears
// the mark). For a driver that reads keys by its own means.
bool window_take_key_state_suspect();
// Clears, in the thread's keyboard state, every key the system does not
// report down at this moment.
void window_drop_released_keys();
