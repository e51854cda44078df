// The graphics screen's sleep: a key in the key buffer ends a long sleep.
// No lock is held while sleeping; key_buffer_take_hit locks only to test.
#include "gfx/gfx_handlers.h"
#include "gfx/input/key_input.h"
#include "rt/stepped_sleep.h"

void gfx_sleep(int milliseconds) { stepped_sleep(milliseconds, key_buffer_take_hit, false); }
