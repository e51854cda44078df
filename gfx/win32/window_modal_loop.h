// The system's modal loops on the event thread: the window menu, moving and
// sizing by the frame. The default window procedure runs them with a message
// loop of its own, and the event thread's loop stops until they end; a timer
// runs its drawing and key reading meanwhile, and the window lock is left
// between ticks so that the program's thread can draw its page.
#pragma once

#include <windows.h>

constexpr UINT_PTR kModalLoopTimerId = 3;
// Posted to the window by window_run_modal: wParam the routine, lParam its context.
constexpr UINT kRunModalMessage = WM_APP + 0x20;

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

// Runs run(window, context) on the event thread as a modal loop of the
// program's own (a dialog, a message box, which pump the thread's messages
// themselves): the timer keeps drawing and reading keys, and the window lock
// is left for the whole run, so that the page goes on and run may take its
// time. One at a time: false when another run is pending or going on, or
// there is no window. Any thread; returns without waiting.
bool window_run_modal(void (*run)(HWND owner, void* context), void* context);
// A program's modal run is pending or going on: the window's close waits
// for it (the event thread could not stop while run has not returned).
bool window_modal_run_active();
// kRunModalMessage arrived: the run, between window_modal_loop_enter and
// window_modal_loop_leave.
void window_modal_run_message(HWND window, WPARAM wparam, LPARAM lparam);
