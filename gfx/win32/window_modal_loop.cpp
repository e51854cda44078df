// Keeping the event thread's work going inside the system's modal loops.
#include "gfx/win32/window_modal_loop.h"

#include <atomic>

#include "gfx/win32/driver_steps.h"
#include "gfx/win32/key_state_refresh.h"
#include "gfx/win32/window.h"

namespace {

// Read and written by the event thread only, inside its window procedure.
int modal_depth = 0;

std::atomic<bool> modal_run_active{false};

using ModalRun = void (*)(HWND owner, void* context);

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

bool window_run_modal(void (*run)(HWND owner, void* context), void* context) {
  HWND window = window_state.window;
  if (run == nullptr || window == nullptr) return false;
  bool idle = false;
  if (!modal_run_active.compare_exchange_strong(idle, true)) return false;
  if (PostMessageA(window, kRunModalMessage, reinterpret_cast<WPARAM>(run), reinterpret_cast<LPARAM>(context)))
    return true;
  modal_run_active.store(false);
  return false;
}

bool window_modal_run_active() { return modal_run_active.load(); }

void window_modal_run_message(HWND window, WPARAM wparam, LPARAM lparam) {
  // Only the posts of window_run_modal carry a routine.
  if (!modal_run_active.load() || wparam == 0) return;
  window_modal_loop_enter(window);
  reinterpret_cast<ModalRun>(wparam)(window, reinterpret_cast<void*>(lparam));
  window_modal_loop_leave(window);
  modal_run_active.store(false);
}
