// Keeping the event thread's work going inside the system's modal loops.
#include "gfx/win32/window_modal_loop.h"

#include "gfx/win32/driver_steps.h"
#include "gfx/win32/key_state_refresh.h"
#include "gfx/win32/window.h"

namespace {

// Read and written by the event thread only, inside its window procedure.
int modal_depth = 0;

}  // namespace

void window_modal_loop_enter(HWND window) {
  if (modal_depth++ > 0) return;
  SetTimer(window, kModalLoopTimerId, kEventLoopPauseMs, nullptr);
  window_unlock();
}

void window_modal_loop_leave(HWND window) {
  if (modal_depth == 0 || --modal_depth > 0) return;
  KillTimer(window, kModalLoopTimerId);
  window_lock();
  // Keys released while the loop had the keyboard may not have reached the
  // state the drivers read.
  window_key_state_suspect();
}

void window_modal_loop_tick() { window_event_iteration(); }

bool window_in_modal_loop() { return modal_depth > 0; }
