// Natively there is no console window to hide.
#include "con/console_window.h"

bool console_window_hide_if_alone() { return false; }

void console_window_restore() {}
