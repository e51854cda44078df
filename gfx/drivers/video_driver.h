// The driver record and the choice of a driver.
#pragma once

#include <cstdint>

struct VideoDriver {
  const char* name;
  int (*init)(const char* title, int width, int height, int depth, int refresh_rate, int flags);
  int (*exit)();
  void (*lock)();
  void (*unlock)();
  void (*set_palette)(int index, int red, int green, int blue);
  void (*wait_vsync)();
  int (*get_mouse)(int* x, int* y, int* wheel, int* buttons, int* clip);
  void (*set_mouse)(int x, int y, int cursor, int clip);
  void (*set_window_title)(const char* title);
  int (*set_window_pos)(int x, int y);
  int* (*fetch_modes)(int depth, int* count);
  void (*flip)();
  void (*poll_events)();
};

extern const VideoDriver null_driver;

// The drivers to try, in order, ended by an entry with a null name. Empty in
// builds without a window system.
extern const VideoDriver* const driver_list[];

// Chooses and starts a driver for the screen being opened. ZQGFX is read by
// the caller and passed as preferred_name (null when unset). Returns the
// chosen record, or null when every try failed.
const VideoDriver* select_driver(const VideoDriver* const* drivers, const char* preferred_name,
                                 const char* title, int width, int height, int depth,
                                 int refresh_rate, int flags);
