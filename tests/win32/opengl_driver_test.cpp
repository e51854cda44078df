// The OpenGL driver on the system's own OpenGL library (under Wine, Mesa's
// software renderer): screens in OpenGL mode, the present through the page
// copy, the window's styles, the pixel-format choice with stand-ins where
// the library cannot be made to refuse, and release after every failure.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "gfx/drivers/video_driver.h"
#include "gfx/gfx_handlers.h"
#include "gfx/input/key_input.h"
#include "gfx/screen.h"
#include "gfx/win32/drivers/driver_opengl.h"
#include "gfx/win32/drivers/run_time_linking.h"
#include "gfx/win32/window.h"
#include "rt/runtime.h"

namespace {

constexpr int kScancodeA = 30;

class OpenGlDriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    _putenv("ZQGFX=");
    gl_attributes = GlAttributes{};
  }
  void TearDown() override {
    BYTE released[256] = {};
    SetKeyboardState(released);
    set_screen_mode(0, 0, 0, 0, 0);
    gl_attributes = GlAttributes{};
  }
  // A 320 x 200 screen in OpenGL mode at the given depth.
  void open_screen(int depth = 32, int extra_flags = 0) {
    ASSERT_EQ(set_screen_size(320, 200, depth, 1, kFlagOpenGL | extra_flags, 0), 0);
    ASSERT_NE(screen_state, nullptr);
    ASSERT_EQ(screen_state->driver, &opengl_driver);
    ASSERT_NE(window_state.window, nullptr);
  }
  HWND window() const { return window_state.window; }
  DWORD style() const { return static_cast<DWORD>(GetWindowLongA(window(), GWL_STYLE)); }
};

TEST_F(OpenGlDriverTest, OpenGlModeGetsAContextOnThisThreadAndPresentsThroughThePageCopy) {
  open_screen();
  EXPECT_TRUE(IsWindowVisible(window()));
  RECT client{};
  GetClientRect(window(), &client);
  EXPECT_EQ(client.right, 320);
  EXPECT_EQ(client.bottom, 200);
  // The window belongs to the program's thread; no event thread exists.
  EXPECT_EQ(GetWindowThreadProcessId(window(), nullptr), GetCurrentThreadId());
  EXPECT_EQ(window_event_thread(), nullptr);
  // Nothing is redrawn by the system on resizing: the program presents.
  EXPECT_EQ(GetClassLongA(window(), GCL_STYLE), static_cast<DWORD>(CS_DBLCLKS));
  ASSERT_NE(opengl_state.context, nullptr);
  auto current = reinterpret_cast<HGLRC(WINAPI*)()>(
      reinterpret_cast<void*>(GetProcAddress(opengl_state.library, "wglGetCurrentContext")));
  ASSERT_NE(current, nullptr);
  EXPECT_EQ(current(), opengl_state.context);
  EXPECT_EQ(has_extension("GL_EXT_bgra"), 1);
  EXPECT_EQ(gl_attributes.color_bits, 32);
  EXPECT_EQ(gl_attributes.depth_bits, 16);

  // The flip entry takes the place of any page copy, which fails.
  EXPECT_EQ(gfx_pcopy(0, 0), 1);
  EXPECT_EQ(gfx_pcopy(0, 1), 1);

  // The keyboard is read when a frame is presented, not before.
  SendMessageA(window(), WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), 0);
  gfx_pcopy(-1, -1);  // the read that checks the state after an activation
  BYTE state[256] = {};
  state['A'] = 0x80;
  SetKeyboardState(state);
  EXPECT_EQ(screen_state->key_state[kScancodeA], 0);
  gfx_pcopy(-1, -1);
  EXPECT_EQ(screen_state->key_state[kScancodeA], 1);
  state['A'] = 0;
  SetKeyboardState(state);
  gfx_pcopy(-1, -1);
  EXPECT_EQ(screen_state->key_state[kScancodeA], 0);

  // Messages wait for the present too: a close request becomes the close key.
  while (key_buffer_pop() != 0) {
  }
  PostMessageA(window(), WM_CLOSE, 0, 0);
  EXPECT_EQ(key_buffer_pop(), 0);
  gfx_pcopy(-1, -1);
  EXPECT_EQ(key_buffer_pop(), kCloseKey);
  EXPECT_TRUE(IsWindow(window()));
}

// A key the thread's state still holds after the keyboard came back (its
// release went to another window) is dropped by the first read, if the
// system does not report it down; later reads trust the state again.
TEST_F(OpenGlDriverTest, TheFirstReadAfterAnActivationDropsKeysTheSystemReportsUp) {
  open_screen();
  BYTE state[256] = {};
  state['A'] = 0x80;
  SetKeyboardState(state);
  ASSERT_FALSE(GetAsyncKeyState('A') & 0x8000);
  SendMessageA(window(), WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), 0);
  gfx_pcopy(-1, -1);
  EXPECT_EQ(screen_state->key_state[kScancodeA], 0);
  GetKeyboardState(state);
  EXPECT_FALSE(state['A'] & 0x80);

  state['A'] = 0x80;
  SetKeyboardState(state);
  gfx_pcopy(-1, -1);
  EXPECT_EQ(screen_state->key_state[kScancodeA], 1);
}

TEST_F(OpenGlDriverTest, ClosingReleasesEverythingOnce) {
  open_screen();
  HWND shown = window();
  set_screen_mode(0, 0, 0, 0, 0);
  EXPECT_FALSE(IsWindow(shown));
  EXPECT_EQ(window_state.window, nullptr);
  EXPECT_EQ(opengl_state.library, nullptr);
  EXPECT_EQ(opengl_state.context, nullptr);
  EXPECT_EQ(opengl_state.dc, nullptr);
  WNDCLASSA found{};
  EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), window_state.class_name, &found));
  // Again, and the close that follows a failed open.
  EXPECT_EQ(opengl_exit(), 0);
  gl_close();
  EXPECT_EQ(opengl_state.library, nullptr);
}

TEST_F(OpenGlDriverTest, OnlyOpenGlModeIsServedAndARefusalLoadsNothing) {
  EXPECT_EQ(opengl_init("refused", 320, 200, 32, 0, 0), -1);
  EXPECT_EQ(opengl_state.library, nullptr);
  EXPECT_EQ(window_state.is_running, 0);
  EXPECT_EQ(opengl_exit(), 0);
  EXPECT_EQ(opengl_exit(), 0);

  // A screen without the flag goes to another driver.
  ASSERT_EQ(set_screen_mode(13, 8, 0, 0, 0), 0);
  EXPECT_NE(screen_state->driver, &opengl_driver);
  EXPECT_EQ(opengl_state.library, nullptr);
}

BOOL CALLBACK count_screen_window(HWND window, LPARAM count) {
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  if (std::strncmp(name, "zqgfxclass_", 11) == 0) ++*reinterpret_cast<int*>(count);
  return TRUE;
}

// Every fullscreen try fails after the library, the window layer and the
// window are set up; each is undone by the exit before the next try, and the
// last pass opens a window.
TEST_F(OpenGlDriverTest, FullscreenTheDisplayRefusesEndsInAWindow) {
  DEVMODEA mode{};
  mode.dmSize = sizeof mode;
  mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
  mode.dmBitsPerPel = 32;
  mode.dmPelsWidth = 320;
  mode.dmPelsHeight = 200;
  if (ChangeDisplaySettingsA(&mode, CDS_TEST) == DISP_CHANGE_SUCCESSFUL)
    GTEST_SKIP() << "this display offers 320 x 200";

  open_screen(32, kFlagFullscreen);
  EXPECT_EQ(window_state.flags & kFlagFullscreen, 0);
  EXPECT_FALSE(opengl_state.display_changed);
  EXPECT_NE(style() & WS_CAPTION, 0u);
  int windows = 0;
  EnumThreadWindows(GetCurrentThreadId(), count_screen_window, reinterpret_cast<LPARAM>(&windows));
  EXPECT_EQ(windows, 1);
}

// A display that takes the fullscreen mode, on a monitor away from the
// origin: the stand-ins answer for the system.
struct DisplayAnswer {
  int changes;
  int restores;
  DEVMODEA mode;
  char device[32];
  DWORD flags;
} display_answer;
LONG WINAPI take_display_mode(LPCSTR device, LPDEVMODEA mode, HWND, DWORD flags, LPVOID) {
  if (!mode) {
    ++display_answer.restores;
    return DISP_CHANGE_SUCCESSFUL;
  }
  ++display_answer.changes;
  display_answer.mode = *mode;
  std::strncpy(display_answer.device, device ? device : "", sizeof display_answer.device - 1);
  display_answer.flags = flags;
  return DISP_CHANGE_SUCCESSFUL;
}
constexpr RECT kSecondMonitor = {64, 32, 64 + 640, 32 + 480};
BOOL WINAPI describe_second_monitor(HMONITOR, LPMONITORINFO info) {
  auto* extended = reinterpret_cast<MONITORINFOEXA*>(info);
  extended->rcMonitor = kSecondMonitor;
  extended->rcWork = kSecondMonitor;
  extended->dwFlags = 0;
  std::strcpy(extended->szDevice, "\\\\.\\DISPLAY2");
  return TRUE;
}

TEST_F(OpenGlDriverTest, FullscreenTheDisplayTakesCoversItsMonitorAndIsRestoredOnce) {
  open_screen();
  display_answer = DisplayAnswer{};
  window_state.user32.change_display_settings_ex = take_display_mode;
  window_state.user32.get_monitor_info = describe_second_monitor;
  window_state.monitor = reinterpret_cast<HMONITOR>(0x5150);
  window_state.refresh_rate = 75;
  window_state.flags |= kFlagFullscreen;
  ASSERT_EQ(gl_open(), 0);

  EXPECT_EQ(display_answer.changes, 1);
  EXPECT_STREQ(display_answer.device, "\\\\.\\DISPLAY2");
  EXPECT_EQ(display_answer.flags, static_cast<DWORD>(CDS_FULLSCREEN));
  const DEVMODEA& mode = display_answer.mode;
  EXPECT_EQ(mode.dmSize, sizeof(DEVMODEA));
  EXPECT_EQ(mode.dmFields, static_cast<DWORD>(DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY));
  EXPECT_EQ(mode.dmPelsWidth, 320u);
  EXPECT_EQ(mode.dmPelsHeight, 200u);
  EXPECT_EQ(mode.dmBitsPerPel, 32u);
  EXPECT_EQ(mode.dmDisplayFrequency, 75u);
  EXPECT_TRUE(opengl_state.display_changed);
  // A bare window over the screen from the monitor's corner.
  EXPECT_NE(style() & WS_POPUP, 0u);
  EXPECT_EQ(style() & WS_CAPTION, 0u);
  RECT outer{};
  GetWindowRect(window(), &outer);
  const RECT expected = {kSecondMonitor.left, kSecondMonitor.top, kSecondMonitor.left + 320, kSecondMonitor.top + 200};
  EXPECT_TRUE(EqualRect(&outer, &expected)) << outer.left << "," << outer.top << " " << outer.right << ","
                                            << outer.bottom;
  EXPECT_TRUE(IsWindowVisible(window()));

  // The display goes back once, however often the driver closes.
  gl_close();
  gl_close();
  EXPECT_EQ(display_answer.restores, 1);
  EXPECT_FALSE(opengl_state.display_changed);
  set_screen_mode(0, 0, 0, 0, 0);
  EXPECT_EQ(display_answer.restores, 1);
  EXPECT_EQ(display_answer.changes, 1);
}

// Each open places the same window anew from the flags (a switch reopens
// it the same way).
TEST_F(OpenGlDriverTest, WindowStylesFollowTheFlags) {
  open_screen();
  EXPECT_EQ(style() & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
  EXPECT_NE(style() & WS_MAXIMIZEBOX, 0u);
  EXPECT_EQ(style() & (WS_POPUP | WS_THICKFRAME), 0u);
  // Centred on the screen.
  RECT outer{};
  GetWindowRect(window(), &outer);
  EXPECT_LE(std::abs(outer.left + outer.right - GetSystemMetrics(SM_CXSCREEN)), 1);
  EXPECT_LE(std::abs(outer.top + outer.bottom - GetSystemMetrics(SM_CYSCREEN)), 1);

  window_state.flags |= kFlagNoSwitch;
  ASSERT_EQ(gl_open(), 0);
  EXPECT_EQ(style() & WS_MAXIMIZEBOX, 0u);
  EXPECT_NE(style() & WS_SYSMENU, 0u);

  window_state.flags |= kFlagFrameless;
  ASSERT_EQ(gl_open(), 0);
  EXPECT_NE(style() & WS_POPUP, 0u);
  EXPECT_EQ(style() & WS_CAPTION, 0u);
  RECT client{};
  GetClientRect(window(), &client);
  EXPECT_EQ(client.right, 320);
  EXPECT_EQ(client.bottom, 200);

  window_state.flags &= ~(kFlagNoSwitch | kFlagFrameless);
  ASSERT_EQ(gl_open(), 0);
  EXPECT_EQ(style() & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
  EXPECT_TRUE(IsWindowVisible(window()));
}

// Alt+Enter as the system sends it; in OpenGL mode the switch runs inside
// the present, on this thread.
TEST_F(OpenGlDriverTest, SwitchKeepsTheWindowAndTheContext) {
  open_screen();
  HWND before = window();
  HGLRC context = opengl_state.context;
  SendMessageA(before, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), 0);
  constexpr LPARAM kAltEnter = 0x201C0001;  // scancode 0x1C, Alt held
  PostMessageA(before, WM_SYSKEYDOWN, VK_RETURN, kAltEnter);
  gfx_pcopy(-1, -1);
  EXPECT_EQ(window(), before);
  EXPECT_EQ(opengl_state.context, context);
  EXPECT_TRUE(IsWindowVisible(before));
  // Back again, whichever way the first switch went.
  PostMessageA(before, WM_SYSKEYDOWN, VK_RETURN, kAltEnter);
  gfx_pcopy(-1, -1);
  EXPECT_EQ(window_state.flags & kFlagFullscreen, 0);
  EXPECT_TRUE(IsWindowVisible(before));
  EXPECT_NE(style() & WS_CAPTION, 0u);
}

// The second screen also asks for every optional buffer: whether or not
// the system has a multisampled format, the choice ends with one.
TEST_F(OpenGlDriverTest, ALaterScreenOfAnotherDepthKeepsTheFirstSizes) {
  open_screen(32);
  set_screen_mode(0, 0, 0, 0, 0);
  open_screen(16, kFlagStencil | kFlagAccumulation | kFlagMultisample);
  EXPECT_EQ(screen_state->depth, 16);
  EXPECT_EQ(gl_attributes.color_bits, 32);
  EXPECT_EQ(gl_attributes.red_bits, 8);
  EXPECT_EQ(gl_attributes.alpha_bits, 8);
  EXPECT_EQ(gl_attributes.stencil_bits, 8);
  EXPECT_EQ(gl_attributes.accum_bits, 32);
  EXPECT_EQ(gl_attributes.samples, 4);
  EXPECT_NE(opengl_state.context, nullptr);
}

// Each size lands in its own byte (distinct values catch swapped fields),
// cut to 8 bits.
TEST(OpenGlDescriptor, CarriesEachSizeInItsOwnByte) {
  const GlAttributes a{0x120, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 4};
  const PIXELFORMATDESCRIPTOR d = gl_descriptor(a);
  EXPECT_EQ(d.nSize, 40);
  EXPECT_EQ(d.nVersion, 1);
  EXPECT_EQ(d.dwFlags, 0x25u);
  EXPECT_EQ(d.iPixelType, PFD_TYPE_RGBA);
  const BYTE expected[] = {0x20, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  const BYTE found[] = {d.cColorBits,    d.cRedBits,        d.cGreenBits,       d.cBlueBits,
                        d.cAlphaBits,    d.cDepthBits,      d.cStencilBits,     d.cAccumBits,
                        d.cAccumRedBits, d.cAccumGreenBits, d.cAccumBlueBits,   d.cAccumAlphaBits};
  for (size_t i = 0; i < sizeof expected; ++i) EXPECT_EQ(found[i], expected[i]) << i;
  // Nothing chosen: the descriptor's own depth size stands.
  EXPECT_EQ(gl_descriptor(GlAttributes{}).cDepthBits, 32);
}

// The extended choice of a system that refuses every multisampled format.
std::vector<int> samples_asked;
BOOL WINAPI refuse_every_format(HDC, const int* list, const FLOAT*, UINT, int* format, UINT* count) {
  const int32_t* samples = gl_attribute_value(reinterpret_cast<const int32_t*>(list), kWglSamples);
  samples_asked.push_back(samples ? *samples : -1);
  *format = 0;
  *count = 0;
  return TRUE;
}
int plain_choices = 0;
int WINAPI counting_plain_choice(HDC dc, const PIXELFORMATDESCRIPTOR* descriptor) {
  ++plain_choices;
  return ChoosePixelFormat(dc, descriptor);
}

TEST(OpenGlFormatChoice, RefusedMultisamplingEndsAtThePlainChoiceWithoutMultisampling) {
  HWND probe = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 8, 8, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(probe, nullptr);
  HDC dc = GetDC(probe);
  GlAttributes attributes{};
  gl_complete_attributes(&attributes, kFlagOpenGL | kFlagMultisample, 32);
  int32_t list[kGlAttributeListSize];
  gl_build_attribute_list(attributes, list);
  const PIXELFORMATDESCRIPTOR descriptor = gl_descriptor(attributes);

  samples_asked.clear();
  plain_choices = 0;
  const int format = gl_choose_pixel_format(dc, list, descriptor, {refuse_every_format, counting_plain_choice});
  EXPECT_EQ(samples_asked, (std::vector<int>{4, 2, 0}));
  EXPECT_EQ(plain_choices, 1);
  EXPECT_NE(format, 0);
  EXPECT_EQ(format, ChoosePixelFormat(dc, &descriptor));
  EXPECT_FALSE(gl_multisample_kept(list));

  // Without the extension the plain choice is the only one.
  plain_choices = 0;
  EXPECT_EQ(gl_choose_pixel_format(dc, list, descriptor, {nullptr, counting_plain_choice}), format);
  EXPECT_EQ(plain_choices, 1);
  EXPECT_EQ(gl_choose_pixel_format(dc, list, descriptor, {nullptr, nullptr}), 0);
  ReleaseDC(probe, dc);
  DestroyWindow(probe);
}

TEST(OpenGlFunctions, APixelOrderOnlyBeginningALongerNameIsRefused) {
  HMODULE library = load_library("opengl32.dll", nullptr, nullptr);
  ASSERT_NE(library, nullptr);
  // No context is current here: the library reports no OpenGL text, and the
  // window-system text is all there is.
  EXPECT_EQ(gl_load_functions(library, "GL_EXT_bgraX WGL_ARB_pixel_format"), 1);
  EXPECT_EQ(has_extension("GL_EXT_bgra"), 0);
  EXPECT_EQ(has_extension("WGL_ARB_pixel_format"), 1);
  EXPECT_EQ(gl_load_functions(library, "WGL_ARB_pixel_format GL_EXT_bgra"), 0);
  EXPECT_EQ(gl_load_functions(library, nullptr), 1);
  EXPECT_EQ(gl_load_functions(nullptr, "GL_EXT_bgra"), 1);
  free_library(&library);
  EXPECT_EQ(library, nullptr);
  free_library(&library);
}

// What the library offers through its own lookup, case by case.
struct LibraryOffer {
  const char* by_device;     // wglGetExtensionsStringARB's text, null: no such entry
  const char* plain;         // wglGetExtensionsStringEXT's text, null: no such entry
  bool choice_offered;       // wglChoosePixelFormatARB is there
  int refused;               // gl_take_library_offer's answer
  bool choice_taken;
} offer;
HDC device_asked = nullptr;
const char* WINAPI extensions_by_device(HDC dc) {
  device_asked = dc;
  return offer.by_device;
}
const char* WINAPI extensions_plain() { return offer.plain; }
BOOL WINAPI offered_choice(HDC, const int*, const FLOAT*, UINT, int*, UINT*) { return FALSE; }
PROC WINAPI look_up_offer(LPCSTR name) {
  const auto entry = [](auto function) { return reinterpret_cast<PROC>(reinterpret_cast<void*>(function)); };
  if (std::strcmp(name, "wglGetExtensionsStringARB") == 0) return offer.by_device ? entry(extensions_by_device) : nullptr;
  if (std::strcmp(name, "wglGetExtensionsStringEXT") == 0) return offer.plain ? entry(extensions_plain) : nullptr;
  if (std::strcmp(name, "wglChoosePixelFormatARB") == 0) return offer.choice_offered ? entry(offered_choice) : nullptr;
  return nullptr;
}

// The device's extension text comes before the plain one, and the extended
// format choice is taken only when that text lists it and the library can
// serve at all. (No context is current: the OpenGL text is empty.)
TEST(OpenGlFunctions, TheDevicesExtensionTextComesFirstAndGatesTheFormatChoice) {
  HMODULE library = load_library("opengl32.dll", nullptr, nullptr);
  ASSERT_NE(library, nullptr);
  const LibraryOffer cases[] = {
      {"GL_EXT_bgra WGL_ARB_pixel_format", "GL_EXT_bgra", true, 0, true},
      {"GL_EXT_bgra", "GL_EXT_bgra WGL_ARB_pixel_format", true, 0, false},
      {nullptr, "GL_EXT_bgra WGL_ARB_pixel_format", true, 0, true},
      {"GL_EXT_bgra", nullptr, true, 0, false},
      {"GL_EXT_bgra WGL_ARB_pixel_format", nullptr, false, 0, false},
      {"WGL_ARB_pixel_format", nullptr, true, 1, false},
      {nullptr, nullptr, true, 1, false},
  };
  const HDC dc = reinterpret_cast<HDC>(0x4DC);
  opengl_state.get_proc_address = look_up_offer;
  for (const LibraryOffer& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.by_device ? c.by_device : "-") << " | " << (c.plain ? c.plain : "-"));
    offer = c;
    device_asked = nullptr;
    opengl_state.choose_pixel_format = offered_choice;  // left from an earlier library
    EXPECT_EQ(gl_take_library_offer(library, dc), c.refused);
    EXPECT_EQ(opengl_state.choose_pixel_format != nullptr, c.choice_taken);
    if (c.choice_taken) {
      EXPECT_EQ(opengl_state.choose_pixel_format, offered_choice);
    }
    if (c.by_device) {
      EXPECT_EQ(device_asked, dc);
    }
  }
  opengl_state.get_proc_address = nullptr;
  opengl_state.choose_pixel_format = nullptr;
  free_library(&library);
}

TEST(OpenGlModes, OnlyModesOfExactlyTheDepthAreListed) {
  for (int depth : {32, 24, 16, 8}) {
    std::vector<int> expected;
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    for (DWORD i = 0; EnumDisplaySettingsA(nullptr, i, &mode); ++i)
      if (static_cast<int>(mode.dmBitsPerPel) == depth)
        expected.push_back(static_cast<int>((mode.dmPelsWidth << 16) | mode.dmPelsHeight));
    int count = -1;
    int* modes = gl_fetch_modes(depth, &count);
    EXPECT_EQ(std::vector<int>(modes, modes + count), expected) << depth;
    EXPECT_EQ(modes == nullptr, expected.empty());
    std::free(modes);
  }
  int count = -1;
  EXPECT_EQ(gl_fetch_modes(7, &count), nullptr);
  EXPECT_EQ(count, 0);
}

TEST(RunTimeLinking, AMissingNameUnloadsAndReportsWhereItStopped) {
  const char* const present[] = {"GetTickCount", "Sleep", nullptr};
  FARPROC entries[3] = {};
  HMODULE kernel = load_library("kernel32.dll", present, entries);
  ASSERT_NE(kernel, nullptr);
  EXPECT_NE(entries[0], nullptr);
  EXPECT_NE(entries[1], nullptr);

  const char* const partly[] = {"GetTickCount", "NoSuchEntryAnywhere", "Sleep"};
  FARPROC partial[3] = {};
  EXPECT_EQ(resolve_symbols(kernel, partly, 3, partial), -1);
  EXPECT_NE(partial[0], nullptr);
  EXPECT_EQ(partial[1], nullptr);
  EXPECT_EQ(partial[2], nullptr);
  free_library(&kernel);

  const char* const missing[] = {"GetTickCount", "NoSuchEntryAnywhere", nullptr};
  EXPECT_EQ(load_library("kernel32.dll", missing, entries), nullptr);
  EXPECT_EQ(load_library("no_such_library_here.dll", present, entries), nullptr);
  EXPECT_EQ(load_library(nullptr, present, entries), nullptr);
  EXPECT_EQ(resolve_symbols(nullptr, present, 2, entries), -1);
}

}  // namespace
