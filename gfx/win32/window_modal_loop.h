// The system's modal loops on the event thread: the window menu, moving and
// sizing by the frame. The default window procedure runs them with a message
// loop of its own, and the event thread's loop stops until they end; a timer
// runs its drawing and key reading meanwhile, and the window lock is left
// between ticks so that the program's thread can draw its page.
#pragma once

#include <windows.h>

constexpr UINT_PTR kModalLoopTimerId = 3;

// A modal loop begins (WM_ENTERMENULOOP, WM_ENTERSIZEMOVE): the first one
// starts the timer and leaves the window lock, which the event thread's
// iteration holds. Nested ones are counted.
void window_modal_loop_enter(HWND window);
// A modal loop ends (WM_EXITMENULOOP, WM_EXITSIZEMOVE): the last one stops
// the timer, takes the lock back for the thread's iteration, and has the
// next key read check the keyboard state against the keys really down.
// Without a loop begun it does nothing.
void window_modal_loop_leave(HWND window);
// One tick of the timer: the event thread's drawing and key reading. The
// caller holds the window lock (the window procedure takes it for every
// message inside a modal loop).
void window_modal_loop_tick();
// Whether a modal loop is running; then each message takes the lock itself.
bool window_in_modal_loop();
