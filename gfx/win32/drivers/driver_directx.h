// The video driver that shows the screen through DirectDraw and reads the
// keyboard through DirectInput; both libraries are loaded at run time.
#pragma once

#define DIRECTINPUT_VERSION 0x0300
#include <windows.h>
#include <ddraw.h>
#include <dinput.h>

#include <cstdint>

#include "gfx/drivers/blitters.h"
#include "gfx/drivers/video_driver.h"
#include "gfx/win32/driver_steps.h"

extern const VideoDriver directx_driver;

int dx_init(const char* title, int width, int height, int depth, int refresh_rate, int flags);
// The window layer's exit, then the program thread's own DirectDraw object
// (dx_wait_vsync) released.
int dx_exit();
int dx_open();
void dx_close();
// The windowed back surface (and the scale buffer) remade for another window
// scale, on the event thread under the window lock; 0 when they are in use,
// else -1 with the old ones kept (window_state.driver_rescale).
int dx_rescale(int scale);
// Brings lost surfaces back before a lock or a present; 0 when the primary
// surface is usable afterwards.
int dx_restore();
void dx_present();
void dx_thread(void* ready_event);
void dx_wait_vsync();
// The longest the event thread holds its copy back for a vertical-blank wait
// of the program's thread.
constexpr DWORD kVsyncWaitLimitMs = 20;
int* dx_fetch_modes(int depth, int* count);

// One update of the display: palette, the dirty lines through the blitter
// (lines marked but as already shown are dropped first), present. Run by the
// event thread under the window lock.
void dx_update_display();
// The key-state table from the keyboard device; re-acquires a lost device.
void dx_refresh_key_state();
// The driver's share of each event-thread iteration: the vertical-blank
// wait and dx_update_display (not while an inactive screen is fullscreen),
// then dx_refresh_key_state (only while active).
extern const EventLoopSteps dx_loop_steps;

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

// The fullscreen display mode: width x height at depth, else the partner
// depth (15 and 16, 24 and 32), else the next taller of 240, 480, 600, 768,
// 1024 lines. set_mode answers one request with DD_OK or an error. Returns
// the first display line of the picture, or -1 when no mode was taken.
using DisplayModeSetter = HRESULT (*)(void* context, DWORD width, DWORD height, DWORD depth,
                                      DWORD refresh_rate, DWORD flags);
int dx_set_display_mode(int width, int height, int depth, int refresh_rate, DisplayModeSetter set_mode,
                        void* context);

// What the blitter is asked for by a surface's pixel format.
struct DxPixelLayout {
  int bits;  // 15 for a 16-bit format with a 5-bit green field
  int swap_red_blue;
};
DxPixelLayout dx_pixel_layout(const DDPIXELFORMAT& format);

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
