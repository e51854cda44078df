// The console side of the key queries, below the branches in con/console.h:
// the input poll that fills the console's key ring, the control handler that
// turns a close request into the close key, and the seconds counter.
#pragma once

#include <windows.h>

// Drains the console input queue of the standard input handle into the key
// ring. The first call installs the control handler (removed again at exit).
void console_poll_input();

// Close, log-off and shutdown push the close key and count as handled; every
// other event is left to the next handler. Called on a system thread.
BOOL WINAPI console_ctrl_handler(DWORD event);

// Seconds from an arbitrary start, from the performance counter where there
// is one and from the tick count otherwise.
double seconds_counter();
