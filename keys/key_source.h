// The source of time-stamped key events for the key log: on Windows a thread
// of its own that reads raw keyboard input (app/win32), elsewhere none.
#pragma once

#include <cstdint>

#include "keys/key_log_format.h"

// Starts feeding key_logger_key. Returns 0, or -1 with a one-line reason.
int key_input_start(const char** reason);

// Stops the source and waits for it; safe twice and after a failed start.
void key_input_stop();

// Microseconds since key_input_start on the clock of the time stamps.
int64_t key_input_now_us();

// The step and kind of that clock; known before the start.
LogClockInfo key_input_clock();
