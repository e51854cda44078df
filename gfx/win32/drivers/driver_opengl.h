// The video driver for screens in OpenGL mode: a window with a rendering
// context current on the program's own thread, presented by a buffer swap.
// The library is loaded while the driver runs; nothing of it is linked.
#pragma once

#include <windows.h>

#include <cstdint>

#include "gfx/drivers/gl_extensions.h"
#include "gfx/drivers/gl_pixel_format.h"
#include "gfx/drivers/video_driver.h"

extern const VideoDriver opengl_driver;

// The OpenGL entries the driver resolves, in the order they are looked up.
// All are required, although the driver itself calls only two.
enum GlEntry {
  kGlEnable,
  kGlDisable,
  kGlGetString,
  kGlViewport,
  kGlMatrixMode,
  kGlLoadIdentity,
  kGlOrtho,
  kGlShadeModel,
  kGlDepthMask,
  kGlClearColor,
  kGlClear,
  kGlGenTextures,
  kGlDeleteTextures,
  kGlBindTexture,
  kGlTexImage2D,
  kGlEntryCount
};

enum WglEntry { kWglCreateContext, kWglMakeCurrent, kWglDeleteContext, kWglEntryCount };

using WglChoosePixelFormat = BOOL(WINAPI*)(HDC, const int*, const FLOAT*, UINT, int*, UINT*);

struct OpenGlState {
  HMODULE library;
  FARPROC wgl_functions[kWglEntryCount];
  PROC(WINAPI* get_proc_address)(LPCSTR);
  WglChoosePixelFormat choose_pixel_format;  // null without the pixel-format extension
  HDC dc;
  HGLRC context;
  bool display_changed;  // a fullscreen open changed the display mode
  FARPROC gl_functions[kGlEntryCount];
  char extensions[kGlExtensionsSize];
};
extern OpenGlState opengl_state;

int opengl_init(const char* title, int width, int height, int depth, int refresh_rate, int flags);
int opengl_exit();
int gl_open();
void gl_close();
void gl_flip();
void gl_poll_events();
int* gl_fetch_modes(int depth, int* count);

// Resolves the OpenGL entries from library (with a context current) and
// gathers the extension text; 0 when the implementation can serve a screen
// (it has to offer the "GL_EXT_bgra" pixel order), 1 otherwise.
int gl_load_functions(HMODULE library, const char* wgl_text);
// With a context current on dc and get_proc_address set: the entries and
// extension texts as gl_load_functions takes them, the window-system text
// asked for the device (wglGetExtensionsStringARB) or else without one
// (wglGetExtensionsStringEXT), and choose_pixel_format taken only when
// "WGL_ARB_pixel_format" is listed. Answers as gl_load_functions.
int gl_take_library_offer(HMODULE library, HDC dc);
// 1 when name is among the gathered extensions, else 0.
int has_extension(const char* name);

// The descriptor for the plain format choice, bit counts from attributes.
PIXELFORMATDESCRIPTOR gl_descriptor(const GlAttributes& attributes);

// The format for the device: the extended choice when choose is given (with
// the multisample retry in list), else or when it finds none the plain
// choice by descriptor. 0 when neither finds one.
struct PixelFormatChoosers {
  WglChoosePixelFormat by_attributes;
  int(WINAPI* by_descriptor)(HDC, const PIXELFORMATDESCRIPTOR*);
};
int gl_choose_pixel_format(HDC dc, int32_t* list, const PIXELFORMATDESCRIPTOR& descriptor,
                           const PixelFormatChoosers& choosers);
