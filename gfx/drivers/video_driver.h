// The driver record and the choice of a driver.
#pragma once

#include <cstdint>

// Screen flags passed from the mode request to the driver.
constexpr int32_t kFlagFullscreen = 0x01;
constexpr int32_t kFlagOpenGL = 0x02;
constexpr int32_t kFlagNoSwitch = 0x04;
constexpr int32_t kFlagFrameless = 0x08;
constexpr int32_t kFlagLayered = 0x10;
constexpr int32_t kFlagTopmost = 0x20;
constexpr int32_t kFlagBlended = 0x40;
constexpr int32_t kFlagHighPriority = 0x80;
constexpr int32_t kFlagNullDriver = -1;
constexpr int32_t kFlagClosingAtExit = static_cast<int32_t>(0x80000000u);
// A layered window is frameless and never switches the display mode.
constexpr int32_t kFlagLayeredWindow = kFlagLayered | kFlagFrameless | kFlagNoSwitch;

// Filled by name; slots left out stay null and are skipped by their callers.
struct VideoDriver {
  const char* name = nullptr;
  int (*init)(const char* title, int width, int height, int depth, int refresh_rate, int flags) = nullptr;
  int (*exit)() = nullptr;
  void (*lock)() = nullptr;
  void (*unlock)() = nullptr;
  void (*set_palette)(int index, int red, int green, int blue) = nullptr;
  void (*wait_vsync)() = nullptr;
  int (*get_mouse)(int* x, int* y, int* wheel, int* buttons, int* clip) = nullptr;
  void (*set_mouse)(int x, int y, int cursor, int clip) = nullptr;
  void (*set_window_title)(const char* title) = nullptr;
  int (*set_window_pos)(int x, int y) = nullptr;
  int* (*fetch_modes)(int depth, int* count) = nullptr;
  void (*flip)() = nullptr;
  void (*poll_events)() = nullptr;
};

extern const VideoDriver null_driver;

// The drivers to try, in order, ended by an entry with a null name. Empty in
// builds without a window system.
extern const VideoDriver* const driver_list[];

// Driver names compare without regard to ASCII case ("gdi" picks "GDI").
bool driver_name_equals(const char* a, const char* b);

// Chooses and starts a driver for the screen being opened. ZQGFX is read by
// the caller and passed as preferred_name (null when unset). Returns the
// chosen record, or null when every try failed.
const VideoDriver* select_driver(const VideoDriver* const* drivers, const char* preferred_name,
                                 const char* title, int width, int height, int depth,
                                 int refresh_rate, int flags);
