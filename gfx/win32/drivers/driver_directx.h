// The video driver that shows the screen through DirectDraw and reads the
// keyboard through DirectInput; both libraries are loaded at run time. Its
// parts: directx_state (shared objects and test seams), directx_library,
// directx_modes (display modes, vertical blank), directx_surfaces and
// directx_keyboard; this unit opens, closes, restores and draws.
#pragma once

#include "gfx/drivers/blitters.h"
#include "gfx/drivers/video_driver.h"
#include "gfx/win32/driver_steps.h"
#include "gfx/win32/drivers/directx_keyboard.h"
#include "gfx/win32/drivers/directx_modes.h"
#include "gfx/win32/drivers/directx_state.h"
#include "gfx/win32/drivers/directx_surfaces.h"

extern const VideoDriver directx_driver;

int dx_init(const char* title, int width, int height, int depth, int refresh_rate, int flags);
// The window layer's exit, then the program thread's own DirectDraw object
// (dx_wait_vsync) released.
int dx_exit();
int dx_open();
void dx_close();
// Brings lost surfaces back before a lock or a present; 0 when the primary
// surface is usable afterwards.
int dx_restore();
void dx_present();
void dx_thread(void* ready_event);

// One update of the display: palette, the dirty lines through the blitter
// (lines marked but as already shown are dropped first), present. Run by the
// event thread under the window lock.
void dx_update_display();
// The driver's share of each event-thread iteration: the vertical-blank
// wait and dx_update_display (not while an inactive screen is fullscreen),
// then dx_refresh_key_state (only while active).
extern const EventLoopSteps dx_loop_steps;
