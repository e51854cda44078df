// The window layer shared by the Windows video drivers: the one window, its
// event thread, the window lock, and the driver entries that do not depend
// on how pixels reach the screen.
#pragma once

#include <windows.h>

#include <cstdint>

#include "gfx/win32/window_state.h"

// A scratch block that only grows; capacity counts elements, the block holds
// one more for the terminator.
struct GrowableBuffer {
  void* data;
  int32_t capacity;
};

// Mouse and input fields kept beside WindowState.
struct WindowInput {
  int32_t cursor_visible;
  int32_t mouse_x, mouse_y;
  int32_t mouse_wheel, mouse_hwheel;
  int32_t mouse_buttons;
  int32_t previous_buttons;
  int32_t mouse_on_client;
  int32_t last_cursor_x, last_cursor_y;
  int32_t mouse_tracking;
  GrowableBuffer wide_buffer;  // UTF-16 units
  GrowableBuffer oem_buffer;   // code page 437 bytes
};
extern WindowInput window_input;

constexpr UINT_PTR kLeaveTimerId = 2;

int window_init(const char* title, int width, int height, int depth, int refresh_rate, int flags);
// Whether a window can show a screen of this size and depth: each side from
// 1 to 32767 (the system's coordinates are 16-bit in places) and at most 32
// bits per pixel (fewer are drawn as 8). The drivers refuse anything else
// before a window or thread exists.
inline bool window_size_supported(int width, int height, int depth) {
  return width > 0 && width <= 32767 && height > 0 && height <= 32767 && depth <= 32;
}
int window_exit();
void window_lock();
void window_unlock();
// The drivers' unlock entry on the program's thread: leaves the window lock,
// and wakes the event thread when the page it shows changed
// (window_page_changed_since_wake).
void window_unlock_and_wake();
void window_set_palette(int index, int red, int green, int blue);
void window_wait_vsync();
int window_get_mouse(int* x, int* y, int* wheel, int* buttons, int* clip);
void window_set_mouse(int x, int y, int cursor, int clip);
void window_set_title(const char* title);
int window_set_pos(int x, int y);
int window_create(DWORD style, DWORD ex_style, int x, int y, int width, int height);
int window_pump_messages();  // the number of messages taken
void window_clip_cursor();
LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Shared by the window procedure and the layer.
HANDLE window_event_thread();  // null without an event thread
bool window_is_running();       // the event thread's loop condition
// The start of a driver's event thread: opens the driver (closing what a
// failed open left), then signals ready_event and marks the window active.
// False when the open failed; ready_event then stays unsignalled.
bool window_thread_open(void* ready_event);
void window_switch_fullscreen();
// Every line of the screen goes out again at the next update: all are marked,
// and the driver forgets what it last sent (resend_all), which would
// otherwise drop the marks of lines whose bytes have not changed.
void window_mark_all_dirty();
// For the drivers' updates: true once after window_mark_all_dirty, which is
// then answered by forgetting the sent-line record before filtering.
bool window_take_resend_all();
// The client area in screen coordinates.
RECT client_rect_on_screen(HWND window);
// Asks for a leave notification: TrackMouseEvent, or the timer stand-in.
BOOL window_track_mouse_leave(HWND window);
// Makes room for count elements of element_size bytes; false when the
// buffer has no block afterwards.
bool growable_reserve(GrowableBuffer* buffer, int32_t count, size_t element_size);
void growable_free(GrowableBuffer* buffer);
