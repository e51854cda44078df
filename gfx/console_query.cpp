// The console query of the hook table: the graphics screen has no console
// state to report.
#include "gfx/gfx_handlers.h"

int gfx_answer_zero() { return 0; }
