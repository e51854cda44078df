// The window layer: class registration, the event thread, the window lock
// and the driver entries shared by the DirectDraw and GDI drivers.
#include "gfx/win32/window.h"

#include <process.h>

#include <atomic>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "gfx/drivers/video_driver.h"
#include "gfx/drivers/window_scale.h"
#include "gfx/gfx_handlers.h"
#include "gfx/input/key_input.h"
#include "gfx/screen.h"
#include "gfx/win32/failure_trace.h"
#include "gfx/win32/window_dpi.h"
#include "gfx/win32/window_wake.h"

WindowState window_state{};
WindowInput window_input{};

namespace {

CRITICAL_SECTION window_critical_section;
bool critical_section_ready = false;
HANDLE event_thread = nullptr;
int32_t saved_screen_saver = 0;

constexpr char kClassPrefix[] = "zqgfxclass_";

// is_running is written by the program's thread and polled by the event
// thread outside the lock.
int32_t load_running() { return std::atomic_ref<int32_t>(window_state.is_running).load(); }
void store_running(int32_t value) { std::atomic_ref<int32_t>(window_state.is_running).store(value); }

template <typename Entry>
void look_up(HMODULE module, const char* name, Entry* entry) {
  *entry = module ? reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                  : nullptr;
}

void look_up_optional_entries() {
  HMODULE user32 = GetModuleHandleA("USER32");
  OptionalUser32& u = window_state.user32;
  look_up(user32, "SetLayeredWindowAttributes", &u.set_layered_window_attributes);
  look_up(user32, "MonitorFromWindow", &u.monitor_from_window);
  look_up(user32, "MonitorFromPoint", &u.monitor_from_point);
  look_up(user32, "FlashWindowEx", &u.flash_window_ex);
  look_up(user32, "TrackMouseEvent", &u.track_mouse_event);
  look_up(user32, "GetMonitorInfoA", &u.get_monitor_info);
  look_up(user32, "ChangeDisplaySettingsExA", &u.change_display_settings_ex);
}

// COMPAT: leave notification for systems without TrackMouseEvent: a 100 ms
// timer that watches whether the cursor is still over the client area.
VOID CALLBACK leave_timer_tick(HWND window, UINT, UINT_PTR id, DWORD) {
  const RECT on_screen = client_rect_on_screen(window);
  POINT cursor;
  GetCursorPos(&cursor);
  if (PtInRect(&on_screen, cursor) && WindowFromPoint(cursor) == window) return;
  KillTimer(window, id);
  PostMessageA(window, WM_MOUSELEAVE, 0, 0);
}

BOOL WINAPI track_mouse_event_by_timer(LPTRACKMOUSEEVENT request) {
  if (!request || request->dwFlags != TME_LEAVE) return FALSE;
  return SetTimer(request->hwndTrack, kLeaveTimerId, 100, leave_timer_tick) != 0;
}

// _beginthreadex rather than _beginthread: the handle stays valid until it
// is closed, so waiting for a thread that has already ended is safe.
unsigned __stdcall event_thread_main(void* ready_event) {
  if (window_state.driver_thread) window_state.driver_thread(ready_event);
  return 0;
}

int32_t read_os_version() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;  // 148
  if (!GetVersionExA(&version)) return 0;
  return static_cast<int32_t>(version.dwMajorVersion * 256 + version.dwMinorVersion);
}

void stop_thread_and_lock() {
  if (event_thread) {
    WaitForSingleObject(event_thread, INFINITE);
    CloseHandle(event_thread);
    event_thread = nullptr;
  }
  if (critical_section_ready) {
    critical_section_ready = false;
    DeleteCriticalSection(&window_critical_section);
  }
}

}  // namespace

HANDLE window_event_thread() { return event_thread; }

bool window_is_running() { return load_running() != 0; }

bool window_thread_open(void* ready_event) {
  if (!window_state.driver_open || window_state.driver_open() != 0) {
    if (window_state.driver_close) window_state.driver_close();
    return false;
  }
  SetEvent(static_cast<HANDLE>(ready_event));
  window_state.is_active = 1;
  return true;
}

bool growable_reserve(GrowableBuffer* buffer, int32_t count, size_t element_size) {
  if (count < 0) count = 0;
  if (!buffer->data || count > buffer->capacity) {
    void* grown = std::realloc(buffer->data, (static_cast<size_t>(count) + 1) * element_size);
    if (grown) {
      buffer->data = grown;
      buffer->capacity = count;
      std::memset(grown, 0, element_size);
    }
  }
  return buffer->data != nullptr;
}

void growable_free(GrowableBuffer* buffer) {
  std::free(buffer->data);
  buffer->data = nullptr;
  buffer->capacity = 0;
}

int window_init(const char* title, int width, int height, int depth, int refresh_rate, int flags) {
  if (!title) title = "";
  // Before anything that measures in pixels: an unaware process is told
  // stretched sizes and positions.
  window_declare_dpi_awareness();
  window_state.os_version = read_os_version();
  look_up_optional_entries();

  window_state.monitor = nullptr;
  if (window_state.user32.monitor_from_point) {
    POINT cursor{};
    GetCursorPos(&cursor);
    window_state.monitor = window_state.user32.monitor_from_point(cursor, MONITOR_DEFAULTTONEAREST);
  }

  window_state.mouse_clip = 0;
  window_input.cursor_visible = 1;
  window_input.last_cursor_x = 0xFFFF;
  if (!window_state.user32.track_mouse_event)
    window_state.user32.track_mouse_event = track_mouse_event_by_timer;

  BOOL screen_saver = FALSE;
  SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &screen_saver, 0);
  saved_screen_saver = screen_saver ? 1 : 0;
  SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, FALSE, nullptr, 0);

  window_state.instance = GetModuleHandleA(nullptr);
  std::memset(window_state.class_name, 0, sizeof window_state.class_name);
  std::strcpy(window_state.class_name, kClassPrefix);
  std::strncat(window_state.class_name, title,
               sizeof window_state.class_name - sizeof kClassPrefix);

  window_state.title = title;
  window_state.width = width;
  window_state.height = height;
  window_state.depth = depth;
  window_state.refresh_rate = refresh_rate;
  window_state.flags = flags;
  window_state.scale = window_choose_scale();

  WNDCLASSA& window_class = window_state.window_class;
  std::memset(&window_class, 0, sizeof window_class);
  window_class.style = (flags & kFlagOpenGL) ? CS_DBLCLKS : (CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW);
  window_class.lpfnWndProc = window_procedure;
  window_class.hInstance = window_state.instance;
  window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  window_class.hIcon = LoadIconA(window_state.instance, "ZQ_PROGRAM_ICON");
  if (!window_class.hIcon) window_class.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  window_class.lpszClassName = window_state.class_name;
  // A class that did not register shows as the window that cannot be made.
  if (!RegisterClassA(&window_class))
    ZQ_TRACE_FAILURE("RegisterClassA refused class '%s'", window_state.class_name);

  window_input.mouse_buttons = 0;
  window_input.mouse_wheel = 0;
  // A new window has not seen the mouse yet.
  window_input.mouse_tracking = 0;
  store_running(1);
  growable_free(&window_input.wide_buffer);
  growable_free(&window_input.oem_buffer);

  if (flags & kFlagOpenGL) {
    event_thread = nullptr;
    return 0;
  }

  InitializeCriticalSection(&window_critical_section);
  critical_section_ready = true;
  if (!window_wake_open()) {
    ZQ_TRACE_FAILURE("CreateEventA refused the wake event");
    return -1;
  }
  HANDLE ready_event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (!ready_event) {
    ZQ_TRACE_FAILURE("CreateEventA refused the ready event");
    return -1;
  }
  auto thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, event_thread_main, ready_event, 0, nullptr));
  if (!thread) {
    ZQ_TRACE_FAILURE("_beginthreadex refused the event thread");
    CloseHandle(ready_event);
    return -1;
  }
  HANDLE waited_for[2] = {ready_event, thread};
  const DWORD outcome = WaitForMultipleObjects(2, waited_for, FALSE, INFINITE);
  CloseHandle(ready_event);
  event_thread = thread;
  if (outcome != WAIT_OBJECT_0) {
    ZQ_TRACE_FAILURE("the event thread ended without a window: %dx%d, %d bits, flags 0x%x", width, height,
                     depth, static_cast<unsigned>(flags));
    return -1;
  }

  if (flags & kFlagHighPriority) SetThreadPriority(event_thread, THREAD_PRIORITY_ABOVE_NORMAL);
  return 0;
}

int window_exit() {
  if (!load_running()) return 0;
  store_running(0);
  window_wake();

  // The program's thread may hold the lock through the screen lock; the
  // event thread needs it to finish its iteration and see the stop.
  ScreenState* screen = screen_state;
  if (screen && screen->lock_count != 0) {
    screen->lock_count = 0;
    window_unlock();
  }
  stop_thread_and_lock();
  window_wake_close();

  growable_free(&window_input.wide_buffer);
  growable_free(&window_input.oem_buffer);
  if (window_state.driver_close) window_state.driver_close();

  SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, saved_screen_saver, nullptr, 0);
  UnregisterClassA(window_state.class_name, window_state.instance);

  if (window_state.mouse_clip) {
    ClipCursor(nullptr);
    window_state.mouse_clip = 0;
  }
  return 0;
}

void window_lock() {
  if (critical_section_ready) EnterCriticalSection(&window_critical_section);
}

void window_unlock() {
  if (critical_section_ready) LeaveCriticalSection(&window_critical_section);
}

void window_unlock_and_wake() {
  const bool changed = window_page_changed_since_wake();
  window_unlock();
  if (changed) window_wake();
}

void window_set_palette(int index, int red, int green, int blue) {
  PALETTEENTRY& entry = window_state.palette[index & 0xFF];
  entry.peRed = static_cast<BYTE>(red);
  entry.peGreen = static_cast<BYTE>(green);
  entry.peBlue = static_cast<BYTE>(blue);
  entry.peFlags = PC_NOCOLLAPSE;
  // One wake for a run of entries: the event thread applies them all at once.
  if (!window_state.palette_changed) {
    window_state.palette_changed = 1;
    window_wake();
  }
}

void window_wait_vsync() {
  const int rate = screen_state ? screen_state->refresh_rate : 0;
  Sleep(rate > 0 ? static_cast<DWORD>(1000 / rate) : 16);
}

int window_get_mouse(int* x, int* y, int* wheel, int* buttons, int* clip) {
  // After a close the flags of the last window may still stand.
  if (!window_state.window || !window_state.is_active || !window_input.mouse_on_client) return -1;
  if (x) *x = window_input.mouse_x;
  if (y) *y = window_input.mouse_y;
  if (wheel) *wheel = window_input.mouse_wheel;
  if (buttons) *buttons = window_input.mouse_buttons;
  if (clip) *clip = window_state.mouse_clip;
  return 0;
}

void window_set_mouse(int x, int y, int cursor, int clip) {
  // No window, no pointer of the screen's: the system's stays where it is.
  if (!window_state.window) return;
  if (x >= 0) {
    POINT point;
    point.x = x < window_state.width - 1 ? x : window_state.width - 1;
    point.y = y < 0 ? 0 : y;
    if (point.y > window_state.height - 1) point.y = window_state.height - 1;
    if (!(window_state.flags & kFlagFullscreen)) {
      const int scale = window_client_scale();
      point.x = screen_to_window_pixel(point.x, scale);
      point.y = screen_to_window_pixel(point.y, scale);
      ClientToScreen(window_state.window, &point);
    }
    SetCursorPos(point.x, point.y);
    window_input.mouse_x = x;
    window_input.mouse_y = y;
  }
  if (cursor > 0 && window_input.cursor_visible == 0) {
    window_input.cursor_visible = 1;
    PostMessageA(window_state.window, WM_SETCURSOR, 0, 0);
  } else if (cursor == 0 && window_input.cursor_visible == 1) {
    window_input.cursor_visible = 0;
    PostMessageA(window_state.window, WM_SETCURSOR, 0, 0);
  }
  if (clip == 0) {
    window_state.mouse_clip = 0;
    ClipCursor(nullptr);
  } else if (clip > 0) {
    window_state.mouse_clip = 1;
    window_clip_cursor();
  }
}

void window_set_title(const char* title) {
  if (!title || !window_state.window) return;
  // SetWindowTextA waits for the window's thread, which waits for the lock
  // that the program's thread may be holding.
  const bool release = critical_section_ready && screen_state && screen_state->lock_count != 0;
  if (release) window_unlock();
  SetWindowTextA(window_state.window, title);
  if (release) window_lock();
}

int window_set_pos(int x, int y) {
  if (window_state.flags & kFlagFullscreen) return 0;
  RECT bounds{};
  GetWindowRect(window_state.window, &bounds);
  const int left = x == INT_MIN ? bounds.left : x;
  const int top = y == INT_MIN ? bounds.top : y;
  SetWindowPos(window_state.window, nullptr, left, top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_ASYNCWINDOWPOS);
  return static_cast<int>((static_cast<uint32_t>(bounds.left) & 0xFFFFu) |
                          (static_cast<uint32_t>(bounds.top) << 16));
}

int window_create(DWORD style, DWORD ex_style, int x, int y, int width, int height) {
  HWND window = CreateWindowExA(ex_style, window_state.class_name, window_state.title, style, x, y,
                                width, height, nullptr, nullptr, window_state.instance, nullptr);
  window_state.window = window;
  if (!window) {
    ZQ_TRACE_FAILURE("CreateWindowExA refused %dx%d at %d,%d, style 0x%lx, extended style 0x%lx", width,
                     height, x, y, static_cast<unsigned long>(style), static_cast<unsigned long>(ex_style));
    return -1;
  }
  if (window_state.flags & kFlagTopmost)
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOSENDCHANGING);
  SetForegroundWindow(window);
  return 0;
}

int window_pump_messages() {
  MSG message;
  int taken = 0;
  while (PeekMessageA(&message, window_state.window, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
    ++taken;
  }
  return taken;
}

RECT client_rect_on_screen(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  POINT corners[2] = {{client.left, client.top}, {client.right, client.bottom}};
  ClientToScreen(window, &corners[0]);
  ClientToScreen(window, &corners[1]);
  return {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

void window_clip_cursor() {
  const RECT on_screen = client_rect_on_screen(window_state.window);
  ClipCursor(&on_screen);
}

void window_mark_all_dirty() {
  ScreenState* screen = screen_state;
  if (screen && screen->dirty_lines && window_state.height > 0)
    std::memset(screen->dirty_lines, 1, static_cast<size_t>(window_state.height));
  window_state.resend_all = 1;
}

bool window_take_resend_all() {
  const bool requested = window_state.resend_all != 0;
  window_state.resend_all = 0;
  return requested;
}

BOOL window_track_mouse_leave(HWND window) {
  if (!window_state.user32.track_mouse_event) return FALSE;
  TRACKMOUSEEVENT request{};
  request.cbSize = sizeof request;
  request.dwFlags = TME_LEAVE;
  request.hwndTrack = window;
  return window_state.user32.track_mouse_event(&request);
}

void window_switch_fullscreen() {
  if (window_input.mouse_tracking) post_screen_event(ScreenEvent{MouseLeave, {0, 0, 0, 0}});
  if (window_state.flags & kFlagNoSwitch) return;
  window_state.monitor = window_state.user32.monitor_from_window
                             ? window_state.user32.monitor_from_window(window_state.window,
                                                                      MONITOR_DEFAULTTONEAREST)
                             : nullptr;
  if (window_state.mouse_clip) ClipCursor(nullptr);

  if (window_state.driver_close) window_state.driver_close();
  window_state.flags ^= kFlagFullscreen;
  if (!window_state.driver_open || window_state.driver_open() != 0) {
    // Back to the mode that worked; if even that fails, carry on with what
    // the driver left.
    if (window_state.driver_close) window_state.driver_close();
    window_state.flags ^= kFlagFullscreen;
    if (window_state.driver_open) window_state.driver_open();
  }
  push_palette();
  window_mark_all_dirty();
  window_state.is_active = 1;
  window_input.mouse_tracking = 0;
}
