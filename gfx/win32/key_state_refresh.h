// The held flags of the open screen, read from the system keyboard state.
#pragma once

// Sets each key_table scancode's flag from the high bit of its virtual key
// or of its alternative one. Run by the drivers with their updates.
void window_refresh_key_state();
