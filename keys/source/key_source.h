// The source of time-stamped key events for the key log and the keyboard map:
// on Windows a thread of its own that reads raw keyboard input (keys/win32),
// elsewhere none.
#pragma once

#include <cstdint>

#include "keys/source/key_dispatch.h"
#include "keys/log/key_log_format.h"

// Starts feeding the consumers (at most kMaxKeyConsumers; they are called on
// the source's thread). Returns 0, or -1 with a one-line reason. Started
// waiting, the source listens at once but keeps the events until
// key_input_deliver: a key pressed while the window opens is not lost to
// consumers that are not ready yet.
int key_input_start(const KeyConsumer* consumers, int count, const char** reason, bool waiting = false);

// The kept events go to the consumers, in order, and later ones at once.
void key_input_deliver();

// Stops the source and waits for it; safe twice and after a failed start.
void key_input_stop();

// Microseconds since key_input_start on the clock of the time stamps.
int64_t key_input_now_us();

// The step and kind of that clock; known before the start.
LogClockInfo key_input_clock();
