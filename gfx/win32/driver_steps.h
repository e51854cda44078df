// What the Windows drivers have in common around their own work: the start
// of every init, the refresh rate they store, and the event thread's loop
// into which the DirectX and GDI drivers put their drawing and key reading.
#pragma once

#include <cstdint>

#include "gfx/win32/window_wake.h"

// The window layer's entries a driver fills (null: nothing to do).
struct WindowDriverHooks {
  int (*open)();
  void (*close)();
  void (*paint)();
  void (*thread)(void* ready_event);
  int (*rescale)(int scale);
};

// The start of every driver's init: a fresh WindowState, then the screen
// size checked (window_size_supported) and the flags checked against what
// the driver draws: none of refused_flags and all of required_flags. On
// success the hooks are set and true is returned; on refusal nothing has
// been opened and the driver's init returns -1.
bool window_driver_begin(const char* driver_name, int width, int height, int depth, int flags,
                         int refused_flags, int required_flags, const WindowDriverHooks& hooks);

// Fewer than 8 bits per pixel are drawn as 8.
inline int window_depth(int depth) { return depth < 8 ? 8 : depth; }

// The display's refresh rate as the screen record keeps it: 0 and 1 stand
// for the hardware's default rate, which is no rate to wait by, and are
// stored as 0, as is a rate that could not be read (pass 0).
void window_store_refresh_rate(int measured);

// A driver's share of each event-thread iteration. Both run under the window
// lock; draw decides itself whether it may draw now (it always runs),
// read_keys runs only while the window is active.
struct EventLoopSteps {
  void (*draw)();
  void (*read_keys)();
  int32_t* iterations;  // counted at the end of each iteration (tests); may be null
};

// The body of a driver's event thread: opens the driver (window_thread_open),
// then, until the window layer stops it, one iteration under the window lock
// followed by a pause outside it: draw, read keys, pump messages. The pause
// is kEventLoopPauseMs while the iteration left work (window_work_left: a
// message taken, whose keys the next read sees, or lines still to go);
// otherwise the thread sleeps until a message or a changed page wakes it
// (window_event_pause). The pause comes after the lock is left, so that the
// first picture goes out as soon as the window is open, and a stop asked for
// during the pause ends the loop without another iteration.
void window_run_event_loop(void* ready_event, const EventLoopSteps& steps);

// The draw and key steps of one iteration, without the message pump; the
// caller holds the window lock.
void window_event_iteration(const EventLoopSteps& steps);
// The same with the running loop's steps: lets the picture and keys go on
// where the thread's own loop cannot run, such as inside the system's modal
// loops. Does nothing without a running loop.
void window_event_iteration();
