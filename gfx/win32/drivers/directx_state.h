// What the DirectX driver's parts share: the objects of the open driver, the
// test seams, and the steps of an open.
#pragma once

#define DIRECTINPUT_VERSION 0x0300
#include <windows.h>
#include <ddraw.h>
#include <dinput.h>

#include <cstdint>

#include "gfx/drivers/video_driver.h"
#include "gfx/win32/window.h"

// After a display mode changed behind the driver's back, dx_restore reopens
// it at most this many times, kReopenPauseMs apart, then gives up.
constexpr int kReopenAttempts = 10;
constexpr DWORD kReopenPauseMs = 300;

struct DxState {
  HMODULE ddraw_library;
  HMODULE dinput_library;
  IDirectDraw2* direct_draw;
  IDirectDrawSurface* primary_surface;
  IDirectDrawSurface* back_surface;  // the primary itself in fullscreen
  IDirectDrawClipper* clipper;
  IDirectDrawPalette* dd_palette;
  IDirectInputA* direct_input;
  IDirectInputDeviceA* keyboard_device;
  HANDLE vsync_event;
  int32_t vsync_pending;
  int32_t window_x, window_y;
  int32_t window_placed;
  // A scaled window: the marked lines are converted into this buffer at the
  // screen's size (pixel_bytes per pixel) and enlarged into the back surface
  // by whole blocks; null unscaled and in fullscreen.
  uint8_t* scale_buffer;
  int32_t pixel_bytes;  // 0: the first window is centred (at its scaled size)
  int32_t y_offset;
  DIDATAFORMAT keyboard_format;
  DIOBJECTDATAFORMAT keyboard_objects[256];
  // Set when a changed display mode could not be reopened within the bound;
  // the driver then stays closed.
  int32_t display_lost;
};
extern DxState dx_state;

// Seams for tests; neither changes anything in normal use.
struct DxTestHooks {
  // Opens stop, failing, before step open_step_limit (negative: never).
  int open_step_limit = -1;
  int failing_opens = 0;  // this many opens fail at once
  int failing_rescales = 0;  // this many rescales are refused at once
  DWORD reopen_pause_ms = kReopenPauseMs;
  void (*reopen_pause)(DWORD milliseconds) = nullptr;  // the reopen's pause; null: Sleep
  int32_t reopen_attempts;  // opens made by the last reopen
  int32_t updates;          // whole updates that reached the blitter
  int32_t iterations;       // event-thread iterations, counted under the lock
};
extern DxTestHooks dx_test_hooks;
// The steps of dx_open in order, each named for what it does next; a test
// open stopped before a step fails there. kDxOpenSteps counts them.
enum DxOpenStep : int {
  kStepLoadDirectDraw,
  kStepLoadDirectInput,
  kStepCreateDirectDraw,
  kStepCreateDirectInput,
  kStepCreateWindow,
  kStepCooperativeLevel,  // window made; level, clipper or display mode next
  kStepPrimarySurface,
  kStepBackSurface,
  kStepPixelFormat,
  kStepPaletteAndBlitter,
  kStepVsyncEvent,  // the refresh rate read, then the event
  kStepKeyboard,
  kDxOpenSteps
};
// The test seam: false when an open is to stop, failing, before step.
bool dx_may_take_step(DxOpenStep step);

// Whether the window layer's screen is fullscreen.
inline bool dx_fullscreen() { return (window_state.flags & kFlagFullscreen) != 0; }

// Releases a library object if there is one and clears the pointer.
template <typename Interface>
void dx_release(Interface*& object) {
  if (object) {
    object->Release();
    object = nullptr;
  }
}
