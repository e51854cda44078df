// The steps the Windows drivers share: init's start, the refresh rate, the
// event thread's loop.
#include "gfx/win32/driver_steps.h"

#include <windows.h>

#include "gfx/drivers/video_driver.h"
#include "gfx/screen.h"
#include "gfx/win32/failure_trace.h"
#include "gfx/win32/window.h"
#include "gfx/win32/window_wake.h"

namespace {

// The steps of the loop now running; written by the event thread before its
// first iteration and read only by that thread afterwards.
EventLoopSteps running_steps{};

}  // namespace

bool window_driver_begin([[maybe_unused]] const char* driver_name, int width, int height, int depth, int flags,
                         int refused_flags, int required_flags, const WindowDriverHooks& hooks) {
  window_state = WindowState{};
  if (!window_size_supported(width, height, window_depth(depth))) return false;
  if ((flags & refused_flags) != 0 || (flags & required_flags) != required_flags) {
    ZQ_TRACE_FAILURE("%s does not draw a screen with flags 0x%x", driver_name ? driver_name : "?",
                     static_cast<unsigned>(flags));
    return false;
  }
  window_state.driver_open = hooks.open;
  window_state.driver_close = hooks.close;
  window_state.driver_paint = hooks.paint;
  window_state.driver_thread = hooks.thread;
  window_state.driver_rescale = hooks.rescale;
  return true;
}

void window_store_refresh_rate(int measured) {
  if (ScreenState* screen = screen_state) screen->refresh_rate = measured > 1 ? measured : 0;
}

void window_event_iteration(const EventLoopSteps& steps) {
  if (steps.draw) steps.draw();
  if (window_state.is_active && steps.read_keys) steps.read_keys();
}

void window_event_iteration() { window_event_iteration(running_steps); }

void window_run_event_loop(void* ready_event, const EventLoopSteps& steps) {
  running_steps = steps;
  if (!window_thread_open(ready_event)) {
    running_steps = EventLoopSteps{};
    return;
  }
  while (window_is_running()) {
    window_lock();
    window_event_iteration(steps);
    const int taken = window_pump_messages();
    if (steps.iterations) ++*steps.iterations;
    const bool work_left = window_work_left(taken);
    window_unlock();
    window_event_pause(work_left);
  }
  running_steps = EventLoopSteps{};
}
