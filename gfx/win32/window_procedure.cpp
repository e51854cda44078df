// The graphics window's message handler: key codes into the key buffer,
// screen events into the event queue, mouse state, and the fullscreen
// switch.
#include <windows.h>
#include <windowsx.h>

#include <cstring>

#include "gfx/drivers/window_scale.h"
#include "gfx/input/key_input.h"
#include "common/key_tables.h"
#include "common/key_translation.h"
#include "gfx/screen.h"
#include "gfx/win32/window.h"
#include "gfx/win32/key_state_refresh.h"
#include "gfx/win32/window_dpi.h"
#include "gfx/win32/window_dpi_change.h"
#include "gfx/win32/window_menu.h"
#include "gfx/win32/window_modal_loop.h"

namespace {

constexpr int32_t kNoEvent = 0;
constexpr LPARAM kAltContextBit = LPARAM{1} << 29;

bool key_down(const BYTE* state, int virtual_key) { return (state[virtual_key] & 0x80) != 0; }

uint32_t modifier_bits(const BYTE* state, bool extended) {
  uint32_t bits = 0;
  if (key_down(state, VK_RMENU)) bits |= RIGHT_ALT_PRESSED;
  if (key_down(state, VK_MENU) || key_down(state, VK_LMENU)) bits |= LEFT_ALT_PRESSED;
  if (key_down(state, VK_RCONTROL)) bits |= RIGHT_CTRL_PRESSED;
  if (key_down(state, VK_CONTROL) || key_down(state, VK_LCONTROL)) bits |= LEFT_CTRL_PRESSED;
  if (key_down(state, VK_SHIFT) || key_down(state, VK_LSHIFT) || key_down(state, VK_RSHIFT))
    bits |= SHIFT_PRESSED;
  if (extended) bits |= ENHANCED_KEY;
  return bits;
}

void refresh_mouse_on_client(HWND window) {
  const RECT on_screen = client_rect_on_screen(window);
  POINT cursor{};
  GetCursorPos(&cursor);
  window_input.mouse_on_client = PtInRect(&on_screen, cursor) ? 1 : 0;
}

// Returns true when the message is consumed without default processing.
bool handle_key(HWND, WPARAM wparam, LPARAM lparam, bool down, ScreenEvent* event) {
  const int virtual_key = LOWORD(wparam);
  const int scancode = static_cast<int>((lparam >> 16) & 0xFF);
  const bool extended = ((lparam >> 24) & 1) != 0;
  const int repeat_count = static_cast<int>(lparam & 0xFFFF);
  const bool was_down = ((lparam >> 30) & 1) != 0;

  BYTE state[256] = {};
  GetKeyboardState(state);
  const uint32_t modifiers = modifier_bits(state, extended);

  int character = 0;
  if ((MapVirtualKeyA(static_cast<UINT>(virtual_key), MAPVK_VK_TO_CHAR) & 0x80000000u) == 0) {
    WORD output = 0;
    if (ToAscii(static_cast<UINT>(virtual_key), static_cast<UINT>(scancode), state, &output, 0) == 1)
      character = output & 0xFF;
  }
  const int32_t code = translate_key(character, scancode, virtual_key, modifiers);

  if (down) {
    event->type = was_down ? KeyRepeat : KeyPress;
    if (code > 255)
      for (int i = 0; i < repeat_count; ++i) key_buffer_push(code);
  } else {
    event->type = KeyRelease;
  }
  event->payload[0] = scancode_from_virtual_key(virtual_key);
  event->payload[1] = code >= 0 && code <= 255 ? code : 0;

  // Alt and F10 would open the system menu, and Alt+F4 would close the
  // window: all three stay with the program.
  return virtual_key == VK_F10 || virtual_key == VK_MENU || code == kCloseKey;
}

// The typed character as its code page 437 byte, through UTF-16.
int typed_character_value(int character) {
  if (character == 0) return 0;
  const char byte = static_cast<char>(character);
  GrowableBuffer& wide = window_input.wide_buffer;
  GrowableBuffer& oem = window_input.oem_buffer;

  const int wide_count = MultiByteToWideChar(CP_ACP, 0, &byte, 1, nullptr, 0);
  if (!growable_reserve(&wide, wide_count, sizeof(wchar_t))) return 0;
  auto* units = static_cast<wchar_t*>(wide.data);
  // A buffer that could not grow keeps its old size; convert only what fits.
  const int wide_written = MultiByteToWideChar(CP_ACP, 0, &byte, 1, units, wide.capacity);
  units[wide_written > 0 ? wide_written : 0] = 0;

  const int oem_count = WideCharToMultiByte(437, 0, units, wide_written, nullptr, 0, nullptr, nullptr);
  if (!growable_reserve(&oem, oem_count, 1)) return 0;
  auto* bytes = static_cast<char*>(oem.data);
  const int oem_written =
      WideCharToMultiByte(437, 0, units, wide_written, bytes, oem.capacity, nullptr, nullptr);
  bytes[oem_written > 0 ? oem_written : 0] = 0;
  return static_cast<uint8_t>(bytes[0]);
}

void handle_mouse_move(LPARAM lparam, ScreenEvent* event) {
  // The program counts in its screen's pixels, whatever the window's scale.
  const int scale = window_client_scale();
  window_input.mouse_x = window_to_screen_pixel(LOWORD(lparam), scale);
  window_input.mouse_y = window_to_screen_pixel(HIWORD(lparam), scale);
  POINT cursor{};
  GetCursorPos(&cursor);
  int dx = 0, dy = 0;
  if (window_input.last_cursor_x != 0xFFFF) {
    dx = cursor.x - window_input.last_cursor_x;
    dy = cursor.y - window_input.last_cursor_y;
  }
  window_input.last_cursor_x = cursor.x;
  window_input.last_cursor_y = cursor.y;
  event->payload[0] = window_input.mouse_x;
  event->payload[1] = window_input.mouse_y;
  event->payload[2] = dx;
  event->payload[3] = dy;
  if ((dx != 0 || dy != 0) && window_state.is_active) event->type = MouseMove;
}

// The first move over the active window asks for a leave notification and
// becomes the enter event.
void enter_check(HWND window, ScreenEvent* event) {
  if (window_input.mouse_tracking != 0 || !window_state.is_active) return;
  window_track_mouse_leave(window);
  window_input.mouse_tracking = 1;
  event->type = MouseEnter;
  if (window_state.mouse_clip) window_clip_cursor();
}

void button_down(HWND window, int32_t bit, bool double_click, ScreenEvent* event) {
  SetCapture(window);
  window_input.mouse_buttons |= bit;
  event->type = double_click ? MouseDoubleClick : MouseButtonPress;
  event->payload[0] = bit;
}

void button_up(HWND window, int32_t bit, ScreenEvent* event) {
  window_input.mouse_buttons &= ~bit;
  if (window_input.mouse_buttons == 0 && GetCapture() == window) ReleaseCapture();
  event->type = MouseButtonRelease;
  event->payload[0] = bit;
}

void extra_button_down(HWND window, WPARAM wparam, bool double_click, ScreenEvent* event) {
  SetCapture(window);
  window_input.previous_buttons = window_input.mouse_buttons;
  if (LOWORD(wparam) & MK_XBUTTON1) window_input.mouse_buttons |= kMouseExtraButton1;
  if (LOWORD(wparam) & MK_XBUTTON2) window_input.mouse_buttons |= kMouseExtraButton2;
  event->type = double_click ? MouseDoubleClick : MouseButtonPress;
  event->payload[0] = window_input.mouse_buttons & ~window_input.previous_buttons;
}

void extra_button_up(HWND window, WPARAM wparam, ScreenEvent* event) {
  window_input.previous_buttons = window_input.mouse_buttons;
  if (!(LOWORD(wparam) & MK_XBUTTON1)) window_input.mouse_buttons &= ~kMouseExtraButton1;
  if (!(LOWORD(wparam) & MK_XBUTTON2)) window_input.mouse_buttons &= ~kMouseExtraButton2;
  if (window_input.mouse_buttons == 0 && GetCapture() == window) ReleaseCapture();
  event->type = MouseButtonRelease;
  event->payload[0] = window_input.previous_buttons & ~window_input.mouse_buttons;
}

void post_simple(int32_t type) { post_screen_event(ScreenEvent{type, {0, 0, 0, 0}}); }

LRESULT handle_activation(HWND window, WPARAM wparam) {
  const int state = LOWORD(wparam);
  const int minimised = HIWORD(wparam);
  window_state.is_active = state != WA_INACTIVE && minimised == 0 ? 1 : 0;

  HANDLE thread = window_event_thread();
  if (thread && (window_state.flags & kFlagHighPriority))
    SetThreadPriority(thread, window_state.is_active ? THREAD_PRIORITY_ABOVE_NORMAL : THREAD_PRIORITY_NORMAL);

  // Keys released while another window had the focus must not stay held,
  // neither now nor in the state read on the way back.
  if (screen_state && screen_state->key_state) std::memset(screen_state->key_state, 0, kKeyStateSize);
  if (window_state.is_active) window_key_state_suspect();
  window_input.mouse_buttons = 0;
  window_mark_all_dirty();

  if (!window_state.is_active && window_input.mouse_tracking) {
    post_simple(MouseLeave);
    window_input.mouse_tracking = 0;
    KillTimer(window, kLeaveTimerId);
  }
  if (state == WA_INACTIVE || minimised == 0) post_simple(window_state.is_active ? FocusGained : FocusLost);

  if (window_state.is_active && window_input.mouse_on_client) {
    ScreenEvent event{kNoEvent, {0, 0, 0, 0}};
    enter_check(window, &event);
    if (event.type != kNoEvent) post_screen_event(event);
    return 0;
  }
  if (window_state.mouse_clip) {
    if (window_state.is_active)
      window_clip_cursor();
    else
      ClipCursor(nullptr);
  }
  return 0;
}

}  // namespace

static LRESULT handle_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  refresh_mouse_on_client(window);
  ScreenEvent event{kNoEvent, {0, 0, 0, 0}};

  switch (message) {
    case WM_SIZE:
      if (window_state.is_active && wparam == SIZE_MAXIMIZED) {
        window_switch_fullscreen();
        return 0;
      }
      break;

    case WM_SYSKEYDOWN:
      if (!window_state.is_active) break;
      if (wparam == VK_RETURN && (lparam & kAltContextBit)) {
        window_switch_fullscreen();
        return 0;
      }
      if (handle_key(window, wparam, lparam, true, &event)) return 0;
      post_screen_event(event);
      break;

    case WM_KEYDOWN:
    case WM_KEYUP:
      if (handle_key(window, wparam, lparam, message == WM_KEYDOWN, &event)) return 0;
      post_screen_event(event);
      break;

    case WM_CHAR:
      if (wparam > 255) break;
      {
        const int value = typed_character_value(static_cast<int>(wparam));
        const int repeat_count = static_cast<int>(lparam & 0xFFFF);
        for (int i = 0; i < repeat_count; ++i) key_buffer_push(value);
      }
      break;

    case WM_ACTIVATE:
      return handle_activation(window, wparam);

    case WM_PAINT: {
      PAINTSTRUCT paint;
      BeginPaint(window, &paint);
      if (window_state.driver_paint) window_state.driver_paint();
      EndPaint(window, &paint);
      break;
    }

    case WM_CLOSE:
      // A dialog of the program's still runs on this thread and must end
      // first: the program's close would wait for this thread for ever.
      if (window_modal_run_active()) return 0;
      // The program decides whether to close; it learns of the request as a key.
      key_buffer_push(kCloseKey);
      post_simple(WindowClose);
      return 0;

    case WM_SETCURSOR:
      SetCursor(!window_input.mouse_on_client || window_input.cursor_visible
                    ? LoadCursorA(nullptr, IDC_ARROW)
                    : nullptr);
      return 1;

    case WM_DISPLAYCHANGE:
      if (window_state.driver_paint) window_state.driver_paint();
      window_mark_all_dirty();
      break;

    case WM_MOUSEMOVE:
      handle_mouse_move(lparam, &event);
      enter_check(window, &event);
      if (event.type != kNoEvent) post_screen_event(event);
      break;

    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      button_down(window, kMouseLeftButton, message == WM_LBUTTONDBLCLK, &event);
      post_screen_event(event);
      break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      button_down(window, kMouseRightButton, message == WM_RBUTTONDBLCLK, &event);
      post_screen_event(event);
      break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      button_down(window, kMouseMiddleButton, message == WM_MBUTTONDBLCLK, &event);
      post_screen_event(event);
      break;
    case WM_LBUTTONUP:
      button_up(window, kMouseLeftButton, &event);
      post_screen_event(event);
      break;
    case WM_RBUTTONUP:
      button_up(window, kMouseRightButton, &event);
      post_screen_event(event);
      window_menu_popup(window, GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
      return 0;

    case WM_CONTEXTMENU:
      // Every key is under test: the menu key and Shift+F10 open nothing.
      return 0;
    case WM_INITMENUPOPUP:
      if (HIWORD(lparam)) window_menu_refresh_system(window, reinterpret_cast<HMENU>(wparam));
      break;
    case WM_SYSCOMMAND:
      if ((wparam & 0xFFF0) < SC_SIZE && window_menu_command(static_cast<unsigned>(wparam & 0xFFF0))) return 0;
      break;
    case WM_COMMAND:
      // An entry of a submenu of the window menu may come this way.
      if (HIWORD(wparam) == 0 && lparam == 0 && window_menu_command(LOWORD(wparam))) return 0;
      break;
    case kRunModalMessage:
      window_modal_run_message(window, wparam, lparam);
      return 0;
    case WM_MBUTTONUP:
      button_up(window, kMouseMiddleButton, &event);
      post_screen_event(event);
      break;

    case WM_XBUTTONDOWN:
    case WM_XBUTTONDBLCLK:
      if (!is_windows2000_or_greater()) break;  // COMPAT: no such message before
      extra_button_down(window, wparam, message == WM_XBUTTONDBLCLK, &event);
      post_screen_event(event);
      break;
    case WM_XBUTTONUP:
      if (!is_windows2000_or_greater()) break;  // COMPAT: no such message before
      extra_button_up(window, wparam, &event);
      post_screen_event(event);
      break;

    case WM_MOUSEWHEEL:
      if (!is_windows98_or_greater()) break;  // COMPAT: no such message before
      window_input.mouse_wheel += static_cast<int32_t>(wparam) > 0 ? 1 : -1;
      post_screen_event(ScreenEvent{MouseWheel, {window_input.mouse_wheel, 0, 0, 0}});
      break;
    case WM_MOUSEHWHEEL:
      if (!is_windows2000_or_greater()) break;  // COMPAT: no such message before
      window_input.mouse_hwheel += static_cast<int32_t>(wparam) > 0 ? 1 : -1;
      post_screen_event(ScreenEvent{MouseHorizontalWheel, {window_input.mouse_hwheel, 0, 0, 0}});
      break;

    case kDpiChangedMessage:
      if (window_handle_dpi_change(window, wparam, lparam)) return 0;
      break;

    case WM_MOVING:
      if (window_state.mouse_clip) ClipCursor(nullptr);
      break;
    case WM_MOVE:
      // A driver that presents at the client area's place on the screen may
      // have drawn while the window was on its way there: the whole page
      // goes again at the new place.
      window_mark_all_dirty();
      break;

    case WM_ENTERMENULOOP:
    case WM_ENTERSIZEMOVE:
      window_modal_loop_enter(window);
      break;
    case WM_EXITMENULOOP:
    case WM_EXITSIZEMOVE:
      window_modal_loop_leave(window);
      break;
    case WM_TIMER:
      if (wparam != kModalLoopTimerId) break;
      window_modal_loop_tick();
      return 0;

    case WM_MOUSELEAVE:
      if (!window_state.is_active) break;
      post_simple(MouseLeave);
      window_input.mouse_tracking = 0;
      return 0;

    default:
      break;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  // Outside modal loops the event thread's iteration holds the window lock
  // while it pumps; inside one the loop's own pump calls here, and each
  // message takes the lock for itself.
  const bool lock = window_in_modal_loop();
  if (lock) window_lock();
  const LRESULT result = handle_message(window, message, wparam, lparam);
  if (lock) window_unlock();
  return result;
}
