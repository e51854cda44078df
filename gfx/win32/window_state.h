// The window layer's state: the one window's record that every part of the
// layer reads, kept apart from the layer's entries so that the parts below
// them (monitor, DPI scale, display) need nothing else.
#pragma once

#include <windows.h>

#include <cstdint>

#include "gfx/drivers/blitters.h"

// COMPAT: USER32 entries that older systems lack, looked up by name.
struct OptionalUser32 {
  BOOL(WINAPI* set_layered_window_attributes)(HWND, COLORREF, BYTE, DWORD);
  HMONITOR(WINAPI* monitor_from_window)(HWND, DWORD);
  HMONITOR(WINAPI* monitor_from_point)(POINT, DWORD);
  BOOL(WINAPI* flash_window_ex)(PFLASHWINFO);
  BOOL(WINAPI* track_mouse_event)(LPTRACKMOUSEEVENT);
  BOOL(WINAPI* get_monitor_info)(HMONITOR, LPMONITORINFO);
  LONG(WINAPI* change_display_settings_ex)(LPCSTR, LPDEVMODEA, HWND, DWORD, LPVOID);
};

struct WindowState {
  int32_t os_version;  // major x 256 + minor
  HINSTANCE instance;
  WNDCLASSA window_class;
  HWND window;
  PALETTEENTRY palette[256];
  Blitter blitter;
  HMONITOR monitor;
  int32_t is_running;
  int32_t palette_changed;
  int32_t is_active;
  int32_t width;   // client size: screen width ...
  int32_t height;  // ... and screen height x scan-line multiplier
  int32_t depth;
  int32_t flags;
  int32_t refresh_rate;
  const char* title;
  char class_name[140];
  int (*driver_open)();
  void (*driver_close)();
  void (*driver_paint)();
  void (*driver_thread)(void* ready_event);
  // Makes what the driver presents through ready for a new window scale and
  // takes it into use; 0 on success, else -1 with everything as it was.
  // Null: the driver reads window_state.scale at each present.
  int (*driver_rescale)(int scale);
  int32_t mouse_clip;
  OptionalUser32 user32;
  // Set with every line marked: the window's picture is not to be trusted
  // (activation, a display change, the switch, restored surfaces), so the
  // driver's record of what it sent is forgotten at its next update.
  int32_t resend_all;
  // Window pixels per screen pixel across and down in a window (not in
  // fullscreen): 1 and up, chosen by window_init and again when the window
  // reaches a monitor of another DPI.
  int32_t scale;
};

extern WindowState window_state;

// System versions as WindowState::os_version counts them (major x 256 +
// minor). Messages and styles that older systems lack are gated on these.
constexpr int32_t kWindows98Version = 0x040A;
constexpr int32_t kWindows2000Version = 0x0500;
inline bool is_windows98_or_greater() { return window_state.os_version >= kWindows98Version; }
inline bool is_windows2000_or_greater() { return window_state.os_version >= kWindows2000Version; }
