// The DirectX driver's keyboard: a DirectInput device whose state becomes the
// screen's key-state table.
#pragma once

#include "gfx/win32/drivers/directx_state.h"

// The keyboard device of dx_state.direct_input made and acquired; 0 on
// success.
int dx_open_keyboard();
// The device unacquired and released, then the DirectInput object.
void dx_close_keyboard();
// The key-state table from the keyboard device; re-acquires a lost device.
void dx_refresh_key_state();
