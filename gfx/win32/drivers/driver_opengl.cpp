// The OpenGL driver. There is no event thread: the window and the rendering
// context belong to the program's thread, which pumps the window's messages
// and reads the keyboard each time it presents a frame. The frame buffer
// pages are never copied anywhere; the program draws with OpenGL itself.
#include "gfx/win32/drivers/driver_opengl.h"

#include <GL/gl.h>

#include <cstring>

#include "gfx/screen.h"
#include "gfx/win32/window_display.h"
#include "gfx/win32/drivers/run_time_linking.h"
#include "gfx/win32/driver_steps.h"
#include "gfx/win32/failure_trace.h"
#include "gfx/win32/key_state_refresh.h"
#include "gfx/win32/window.h"

namespace {

// One thread owns everything here: there is nothing to lock.
void no_lock() {}
void no_paint() {}

}  // namespace

const VideoDriver opengl_driver = {
    .name = "OpenGL",
    .init = opengl_init,
    .exit = opengl_exit,
    .lock = no_lock,
    .unlock = no_lock,
    .wait_vsync = window_wait_vsync,
    .get_mouse = window_get_mouse,
    .set_mouse = window_set_mouse,
    .set_window_title = window_set_title,
    .set_window_pos = window_set_pos,
    .fetch_modes = gl_fetch_modes,
    .flip = gl_flip,
    .poll_events = gl_poll_events,
};

OpenGlState opengl_state{};

namespace {

constexpr char kLibraryName[] = "opengl32.dll";
constexpr const char* kWglNames[] = {"wglCreateContext", "wglMakeCurrent", "wglDeleteContext", nullptr};
constexpr const char* kGlNames[kGlEntryCount] = {
    "glEnable",     "glDisable",   "glGetString",    "glViewport",      "glMatrixMode",
    "glLoadIdentity", "glOrtho",   "glShadeModel",   "glDepthMask",     "glClearColor",
    "glClear",      "glGenTextures", "glDeleteTextures", "glBindTexture", "glTexImage2D"};

constexpr DWORD kProbeStyle = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;  // 0x86000000
constexpr DWORD kWindowStyle = WS_CLIPSIBLINGS | WS_CLIPCHILDREN;           // 0x06000000
constexpr int kProbeSize = 8;
constexpr UINT kWindowedPlacement =
    SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING;  // 0x634
constexpr GLenum kGlMultisample = 0x809D;

template <typename Function>
Function wgl(WglEntry entry) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(opengl_state.wgl_functions[entry]));
}
template <typename Function>
Function gl(GlEntry entry) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(opengl_state.gl_functions[entry]));
}

HGLRC create_context(HDC dc) { return wgl<HGLRC(WINAPI*)(HDC)>(kWglCreateContext)(dc); }
BOOL make_current(HDC dc, HGLRC context) {
  return wgl<BOOL(WINAPI*)(HDC, HGLRC)>(kWglMakeCurrent)(dc, context);
}
void delete_context(HGLRC context) { wgl<BOOL(WINAPI*)(HGLRC)>(kWglDeleteContext)(context); }

// An entry of the window-system extensions, found through the library's own
// lookup (which answers only with a context current).
template <typename Function>
Function wgl_extension_entry(const char* name) {
  if (!opengl_state.get_proc_address) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(opengl_state.get_proc_address(name)));
}

// The window-system extension text for a device, by whichever of the two
// query entries the library offers; null when it offers neither.
const char* wgl_extension_text(HDC dc) {
  if (auto by_device = wgl_extension_entry<const char*(WINAPI*)(HDC)>("wglGetExtensionsStringARB"))
    return by_device(dc);
  if (auto plain = wgl_extension_entry<const char*(WINAPI*)()>("wglGetExtensionsStringEXT")) return plain();
  return nullptr;
}

// A throw-away window whose context lets the library answer what it offers:
// the entry points, the extension texts and the extended format choice.
int probe_library() {
  HWND probe = CreateWindowExA(0, window_state.class_name, "OpenGL setup", kProbeStyle, 0, 0, kProbeSize,
                               kProbeSize, nullptr, nullptr, window_state.instance, nullptr);
  if (!probe) {
    ZQ_TRACE_FAILURE("CreateWindowExA refused the %dx%d probe window", kProbeSize, kProbeSize);
    return -1;
  }
  HDC dc = GetDC(probe);
  const PIXELFORMATDESCRIPTOR descriptor = gl_descriptor(GlAttributes{});
  SetPixelFormat(dc, ChoosePixelFormat(dc, &descriptor), &descriptor);
  HGLRC context = create_context(dc);
  if (context)
    make_current(dc, context);
  else
    ZQ_TRACE_FAILURE("wglCreateContext refused the probe window; the library is asked without a context");

  opengl_state.get_proc_address = reinterpret_cast<PROC(WINAPI*)(LPCSTR)>(
      reinterpret_cast<void*>(GetProcAddress(opengl_state.library, "wglGetProcAddress")));
  const int refused = gl_take_library_offer(opengl_state.library, dc);

  make_current(nullptr, nullptr);
  if (context) delete_context(context);
  ReleaseDC(probe, dc);
  DestroyWindow(probe);
  return refused == 0 ? 0 : -1;
}

struct ExtendedChoice {
  HDC dc;
  WglChoosePixelFormat choose;
};

bool choose_by_attributes(void* device, const int32_t* list, int32_t* format, uint32_t* count) {
  const auto* choice = static_cast<const ExtendedChoice*>(device);
  int found = 0;
  UINT found_count = 0;
  const bool ok = choice->choose(choice->dc, reinterpret_cast<const int*>(list), nullptr, 1, &found,
                                 &found_count) != FALSE;
  *format = found;
  *count = found_count;
  return ok;
}

// Pixel format and context on the shown window.
int set_up_rendering(int flags) {
  gl_complete_attributes(&gl_attributes, flags, window_state.depth);
  int32_t list[kGlAttributeListSize];
  gl_build_attribute_list(gl_attributes, list);
  const PIXELFORMATDESCRIPTOR descriptor = gl_descriptor(gl_attributes);

  opengl_state.dc = GetDC(window_state.window);
  if (!opengl_state.dc) {
    ZQ_TRACE_FAILURE("GetDC refused the window");
    return -1;
  }
  const int format = gl_choose_pixel_format(opengl_state.dc, list, descriptor,
                                            {opengl_state.choose_pixel_format, ChoosePixelFormat});
  if (format == 0) {
    ZQ_TRACE_FAILURE("no pixel format for %d colour bits (%d/%d/%d/%d), %d depth, %d stencil bits",
                     gl_attributes.color_bits, gl_attributes.red_bits, gl_attributes.green_bits,
                     gl_attributes.blue_bits, gl_attributes.alpha_bits, gl_attributes.depth_bits,
                     gl_attributes.stencil_bits);
    return -1;
  }
  if (!SetPixelFormat(opengl_state.dc, format, &descriptor)) {
    ZQ_TRACE_FAILURE("SetPixelFormat refused format %d", format);
    return -1;
  }
  opengl_state.context = create_context(opengl_state.dc);
  if (!opengl_state.context) {
    ZQ_TRACE_FAILURE("wglCreateContext refused pixel format %d", format);
    return -1;
  }
  make_current(opengl_state.dc, opengl_state.context);
  if (gl_multisample_kept(list)) gl<void(WINAPI*)(GLenum)>(kGlEnable)(kGlMultisample);
  return 0;
}

void restore_display() {
  if (!opengl_state.display_changed) return;
  window_restore_display();
  opengl_state.display_changed = false;
}

}  // namespace

PIXELFORMATDESCRIPTOR gl_descriptor(const GlAttributes& a) {
  PIXELFORMATDESCRIPTOR descriptor{};
  descriptor.nSize = sizeof descriptor;
  descriptor.nVersion = 1;
  descriptor.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  descriptor.iPixelType = PFD_TYPE_RGBA;
  descriptor.cDepthBits = 32;
  // Each size goes into its byte as it is, cut to 8 bits; a value of 0 is
  // what the zeroed descriptor holds already.
  auto set = [](BYTE* field, int32_t value) {
    if (value != 0) *field = static_cast<BYTE>(value);
  };
  set(&descriptor.cColorBits, a.color_bits);
  set(&descriptor.cRedBits, a.red_bits);
  set(&descriptor.cGreenBits, a.green_bits);
  set(&descriptor.cBlueBits, a.blue_bits);
  set(&descriptor.cAlphaBits, a.alpha_bits);
  set(&descriptor.cDepthBits, a.depth_bits);
  set(&descriptor.cAccumBits, a.accum_bits);
  set(&descriptor.cAccumRedBits, a.accum_red_bits);
  set(&descriptor.cAccumGreenBits, a.accum_green_bits);
  set(&descriptor.cAccumBlueBits, a.accum_blue_bits);
  set(&descriptor.cAccumAlphaBits, a.accum_alpha_bits);
  set(&descriptor.cStencilBits, a.stencil_bits);
  return descriptor;
}

int gl_choose_pixel_format(HDC dc, int32_t* list, const PIXELFORMATDESCRIPTOR& descriptor,
                           const PixelFormatChoosers& choosers) {
  if (choosers.by_attributes) {
    ExtendedChoice choice{dc, choosers.by_attributes};
    if (const int32_t format = gl_choose_by_attributes(&choice, list, choose_by_attributes)) return format;
  }
  return choosers.by_descriptor ? choosers.by_descriptor(dc, &descriptor) : 0;
}

int gl_load_functions(HMODULE library, const char* wgl_text) {
  std::memset(opengl_state.gl_functions, 0, sizeof opengl_state.gl_functions);
  std::memset(opengl_state.extensions, 0, sizeof opengl_state.extensions);
  if (resolve_symbols(library, kGlNames, kGlEntryCount, opengl_state.gl_functions) != 0) return 1;
  // Without a current context the library answers null.
  const auto* gl_text = reinterpret_cast<const char*>(
      gl<const GLubyte*(WINAPI*)(GLenum)>(kGlGetString)(GL_EXTENSIONS));
  gl_compose_extensions(opengl_state.extensions, sizeof opengl_state.extensions, gl_text, wgl_text);
  // An implementation without the blue-green-red pixel order is refused.
  if (has_extension("GL_EXT_bgra")) return 0;
  ZQ_TRACE_FAILURE("no GL_EXT_bgra among the %s", gl_text ? "library's extensions" : "extensions: none listed");
  return 1;
}

int gl_take_library_offer(HMODULE library, HDC dc) {
  opengl_state.choose_pixel_format = nullptr;
  const int refused = gl_load_functions(library, wgl_extension_text(dc));
  if (refused == 0 && has_extension("WGL_ARB_pixel_format"))
    opengl_state.choose_pixel_format = wgl_extension_entry<WglChoosePixelFormat>("wglChoosePixelFormatARB");
  return refused;
}

int has_extension(const char* name) { return extension_listed(opengl_state.extensions, name) ? 1 : 0; }

int opengl_init(const char* title, int width, int height, int depth, int refresh_rate, int flags) {
  depth = window_depth(depth);
  opengl_state.context = nullptr;
  opengl_state.library = nullptr;
  opengl_state.dc = nullptr;
  opengl_state.choose_pixel_format = nullptr;
  opengl_state.get_proc_address = nullptr;
  opengl_state.display_changed = false;
  // The program's thread pumps the messages: no event thread.
  if (!window_driver_begin(opengl_driver.name, width, height, depth, flags, 0, kFlagOpenGL,
                           {gl_open, gl_close, no_paint, nullptr, nullptr}))
    return -1;

  opengl_state.library = load_library(kLibraryName, kWglNames, opengl_state.wgl_functions);
  if (!opengl_state.library) {
    ZQ_TRACE_FAILURE("no %s with its context entries", kLibraryName);
    return -1;
  }

  if (window_init(title, width, height, depth, refresh_rate, flags) != 0) return -1;

  if (probe_library() != 0) return -1;
  // Hidden until placed by the open.
  if (window_create(kWindowStyle, 0, 0, 0, kProbeSize, kProbeSize) != 0) return -1;
  if (gl_open() != 0) return -1;
  return set_up_rendering(flags);
}

int opengl_exit() {
  if (opengl_state.library) {
    if (opengl_state.context) {
      make_current(nullptr, nullptr);
      delete_context(opengl_state.context);
      opengl_state.context = nullptr;
    }
    if (opengl_state.dc) {
      ReleaseDC(window_state.window, opengl_state.dc);
      opengl_state.dc = nullptr;
    }
    restore_display();
    if (window_state.window) {
      DestroyWindow(window_state.window);
      window_state.window = nullptr;
    }
    free_library(&opengl_state.library);
    opengl_state.choose_pixel_format = nullptr;
    opengl_state.get_proc_address = nullptr;
  }
  return window_exit();
}

int gl_open() {
  HWND window = window_state.window;
  if (!window) {
    ZQ_TRACE_FAILURE("no window to show");
    return -1;
  }
  const int flags = window_state.flags;
  const MonitorArea monitor = window_monitor_area();

  auto style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
  UINT placement = kWindowedPlacement;
  // The window's other style bits (clipping) stay; the frame is replaced.
  style &= ~(kFrameStyles | WS_POPUP);
  if (flags & kFlagFullscreen) {
    if (window_change_display(monitor) != DISP_CHANGE_SUCCESSFUL) return -1;
    opengl_state.display_changed = true;
    style |= WS_POPUP;
    placement = SWP_FRAMECHANGED;
  } else {
    style |= window_style(flags);
  }
  SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(style));

  const WindowFrame frame = window_frame(style, monitor);
  SetWindowPos(window, HWND_TOP, frame.left, frame.top, frame.width, frame.height, placement);
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);

  window_state.is_active = 1;
  HDC dc = GetDC(window);
  window_store_refresh_rate(GetDeviceCaps(dc, VREFRESH));
  ReleaseDC(window, dc);
  return 0;
}

void gl_close() {
  restore_display();
  // The window and its context stay for a switch to show them again.
  if (window_state.window) ShowWindow(window_state.window, SW_HIDE);
}

void gl_flip() {
  if (opengl_state.dc) SwapBuffers(opengl_state.dc);
}

void gl_poll_events() {
  if (window_state.is_active) window_refresh_key_state();
  window_pump_messages();
}

// Exactly the depth asked for: no pairing of 15 with 16 or 24 with 32 bits.
int* gl_fetch_modes(int depth, int* count) {
  return window_fetch_modes(depth, count, [](int mode_depth, int wanted) { return mode_depth == wanted; });
}
