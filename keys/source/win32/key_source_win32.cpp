// Raw keyboard input for the key log, on a thread of its own.
//
// Why a thread and raw input: the window's event thread pumps messages once
// per 10 ms iteration, and message times and the tick count move in steps of
// about 15.6 ms on Windows, so stamping there hides any bounce. This thread
// blocks in GetMessage on a message-only window registered for the keyboard
// with RIDEV_INPUTSINK, wakes for each input record as the system delivers
// it, and stamps it with the performance counter before anything else.
//
// Resolution: on Windows the counter ticks at a few MHz (10 MHz on current
// versions); the stamp is the moment this thread wakes, which runs at high
// priority and does nothing else, so it lags the system's reading of the
// key by well under a millisecond. The keyboard itself sets the bound: it
// reports once per USB polling interval, 1 ms on most, 8-10 ms on some
// cheap ones. Message times would be no help: they step with the tick,
// ~15.6 ms.
//
// Under Wine the keyboard reaches the process through the thread that owns
// the window, which reads its X events only when it pumps (every ~10 ms):
// arrival is late by 0-12 ms (measured), and keys pressed 10 ms apart can
// arrive together. Wine's message time, though, is the X server's event time
// in whole milliseconds. There each event is stamped at its message time,
// placed on the counter's scale by the smallest arrival delay seen so far:
// 1 ms resolution; injected intervals of 3-60 ms come out a mean 0.3 ms and
// at most 2 ms off (tools/measure_key_log_timing.sh). Wine's
// own tick count is no help: it steps by 1 to 16 ms depending on load.
//
// What no program can log: Fn and other keys the keyboard handles itself
// never reach Windows. Print Screen has no key-down in window messages (the
// system keeps it), but raw input does report it, so it is logged both ways.
// Keys are logged only while a window of this process under test has the
// keyboard (not a dialog box of ours); a key still held when it
// leaves is ended with a "focus-lost" release.
//
// Each event carries the number of the keyboard it came from (raw input's
// device handle; keys/source/win32/keyboard_device_lookup.cpp). Under Wine
// 8 every key comes from one device, "Wine HID keyboard" VID_845E&PID_0002.
#include <windows.h>

#include <process.h>

#include "keys/source/key_dispatch.h"
#include "keys/source/key_source.h"
#include "keys/source/keyboard_devices.h"
#include "keys/source/message_time_stamp.h"
#include "keys/source/raw_key_decode.h"
#include "keys/source/win32/keyboard_device_lookup.h"

namespace {

constexpr char kSinkClass[] = "zqkeylog_sink";
constexpr UINT_PTR kFocusTimer = 1;
constexpr UINT kFocusCheckMs = 100;
// Posted to the sink window: the consumers are ready for the kept events.
constexpr UINT kDeliverMessage = WM_APP;

LARGE_INTEGER counter_frequency;
LARGE_INTEGER counter_start;
bool stamp_by_message_time = false;
MessageTimeStamp message_stamp;
KeyDispatch dispatch;

HANDLE input_thread = nullptr;
DWORD input_thread_id = 0;
HANDLE ready_event = nullptr;
HWND sink_window = nullptr;
volatile LONG thread_started_ok = 0;
bool focus_timer_set = false;

int64_t counts_to_us(int64_t counts) {
  const int64_t frequency = counter_frequency.QuadPart;
  return counts / frequency * 1000000 + counts % frequency * 1000000 / frequency;
}

int64_t counter_now_us() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return counts_to_us(now.QuadPart - counter_start.QuadPart);
}

bool running_under_wine() {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// Presses count only while a window of this process that is under test has
// the keyboard: not what is typed elsewhere, nor into a dialog box of ours
// (the Save dialog's file name, a message box). Keys pressed while a menu
// of the window is open are pressed in the window and count.
bool keyboard_is_under_test() {
  HWND foreground = GetForegroundWindow();
  if (foreground == nullptr) return false;
  DWORD process = 0;
  GetWindowThreadProcessId(foreground, &process);
  if (process != GetCurrentProcessId()) return false;
  char class_name[8] = "";
  return !(GetClassNameA(foreground, class_name, sizeof class_name) > 0 && lstrcmpA(class_name, "#32770") == 0);
}

// The counter at arrival, or under Wine the message time moved onto the
// counter's scale (see the top of this file).
int64_t stamp_event(int64_t arrival_us) {
  if (!stamp_by_message_time) return arrival_us;
  return stamp_message_time(&message_stamp, static_cast<DWORD>(GetMessageTime()), arrival_us);
}

void update_focus_timer(HWND window) {
  const bool want = dispatch.held_count > 0;
  if (want && !focus_timer_set) focus_timer_set = SetTimer(window, kFocusTimer, kFocusCheckMs, nullptr) != 0;
  else if (!want && focus_timer_set) {
    KillTimer(window, kFocusTimer);
    focus_timer_set = false;
  }
}

bool register_keyboard(HWND window) {
  RAWINPUTDEVICE device = {0x01, 0x06, RIDEV_INPUTSINK, window};  // generic desktop keyboard
  return RegisterRawInputDevices(&device, 1, sizeof device) != FALSE;
}

void on_raw_input(HWND window, LPARAM handle) {
  const int64_t arrival_us = counter_now_us();
  RAWINPUT input;
  UINT size = sizeof input;
  if (GetRawInputData(reinterpret_cast<HRAWINPUT>(handle), RID_INPUT, &input, &size,
                      sizeof(RAWINPUTHEADER)) == static_cast<UINT>(-1) ||
      input.header.dwType != RIM_TYPEKEYBOARD)
    return;
  const RAWKEYBOARD& keyboard = input.data.keyboard;
  const int key = raw_key_id(keyboard.MakeCode, keyboard.Flags, keyboard.VKey);
  if (key < 0) return;
  const bool down = (keyboard.Flags & RI_KEY_BREAK) == 0;
  // A release counts wherever the keyboard is, but only for a press that
  // counted: the letters typed into a dialog leave no trace at all.
  if (down ? !keyboard_is_under_test() : !dispatch.held[key]) return;
  const int device = keyboard_device_lookup(input.header.hDevice);
  // A keyboard's events are its presses and releases, as the log counts them.
  if (dispatch.held[key] != down) keyboard_device_count_event(device);
  key_dispatch_key(&dispatch, stamp_event(arrival_us), key, down, device);
  update_focus_timer(window);
}

LRESULT CALLBACK sink_procedure(HWND window, UINT message, WPARAM first, LPARAM second) {
  if (message == WM_INPUT) {
    on_raw_input(window, second);
  } else if (message == WM_TIMER && first == kFocusTimer) {
    if (!keyboard_is_under_test()) key_dispatch_focus_lost(&dispatch, counter_now_us());
    update_focus_timer(window);
    return 0;
  } else if (message == kDeliverMessage) {
    // A process has one target for the keyboard's raw input, the last one
    // registered; a driver's keyboard device opened meanwhile may have taken
    // it, so the sink takes it back before the keys go on.
    register_keyboard(window);
    // More than the kept events would be over a hundred keys a second while
    // the window opens: no person types that, so a drop is not reported.
    key_dispatch_deliver(&dispatch);
    return 0;
  }
  return DefWindowProcA(window, message, first, second);
}

unsigned __stdcall input_thread_main(void*) {
  // Woken for each key and back to sleep at once: its stamps should not wait
  // for the page or anything else to yield the processor.
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA window_class = {};
  window_class.lpfnWndProc = sink_procedure;
  window_class.hInstance = instance;
  window_class.lpszClassName = kSinkClass;
  RegisterClassA(&window_class);
  HWND window = CreateWindowExA(0, kSinkClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance,
                                nullptr);
  const bool ok = window != nullptr && register_keyboard(window);
  sink_window = ok ? window : nullptr;
  InterlockedExchange(&thread_started_ok, ok ? 1 : 0);
  SetEvent(ready_event);

  if (ok) {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    // The stop is a posted message, which comes before input: the keys of
    // the last moment (the F4 of Alt+F4) may still wait behind it.
    while (PeekMessageA(&message, nullptr, WM_INPUT, WM_INPUT, PM_REMOVE)) DispatchMessageA(&message);
    RAWINPUTDEVICE remove = {0x01, 0x06, RIDEV_REMOVE, nullptr};
    RegisterRawInputDevices(&remove, 1, sizeof remove);
  }
  if (focus_timer_set) KillTimer(window, kFocusTimer);
  focus_timer_set = false;
  if (window != nullptr) DestroyWindow(window);
  UnregisterClassA(kSinkClass, instance);
  return 0;
}

}  // namespace

int key_input_start(const KeyConsumer* consumers, int count, const char** reason, bool waiting) {
  const char* why = nullptr;
  if (input_thread != nullptr) return 0;
  // The table is complete before the thread starts and is not changed while
  // it runs: the thread reads it without a lock.
  key_dispatch_reset(&dispatch);
  keyboard_device_lookup_reset();
  bool all_added = true;
  for (int i = 0; consumers != nullptr && i < count; ++i)
    all_added = key_dispatch_add(&dispatch, consumers[i]) == 0 && all_added;
  if (waiting) key_dispatch_wait(&dispatch);
  if (!all_added) {
    why = "too many readers of key events";
  } else if (!QueryPerformanceFrequency(&counter_frequency) || counter_frequency.QuadPart <= 0) {
    why = "the system has no performance counter";
  } else {
    QueryPerformanceCounter(&counter_start);
    stamp_by_message_time = running_under_wine();
    message_time_stamp_reset(&message_stamp);
    ready_event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    unsigned id = 0;
    if (ready_event != nullptr)
      input_thread = reinterpret_cast<HANDLE>(
          _beginthreadex(nullptr, 0, input_thread_main, nullptr, 0, &id));
    input_thread_id = id;
    if (input_thread == nullptr) {
      why = "could not start the keyboard thread";
    } else {
      HANDLE waits[2] = {ready_event, input_thread};
      WaitForMultipleObjects(2, waits, FALSE, INFINITE);
      if (thread_started_ok == 0) why = "the system gives no raw keyboard input";
    }
  }
  if (why == nullptr) return 0;
  key_input_stop();
  if (reason != nullptr) *reason = why;
  return -1;
}

void key_input_deliver() {
  // The sink's thread delivers them: it alone touches the dispatch.
  if (input_thread != nullptr && sink_window != nullptr) PostMessageA(sink_window, kDeliverMessage, 0, 0);
}

void key_input_stop() {
  if (input_thread != nullptr) {
    PostThreadMessageA(input_thread_id, WM_QUIT, 0, 0);
    WaitForSingleObject(input_thread, INFINITE);
    CloseHandle(input_thread);
    input_thread = nullptr;
    input_thread_id = 0;
  }
  sink_window = nullptr;
  keyboard_device_lookup_release();
  if (ready_event != nullptr) {
    CloseHandle(ready_event);
    ready_event = nullptr;
  }
}

int64_t key_input_now_us() {
  return counter_frequency.QuadPart > 0 ? counter_now_us() : 0;
}

LogClockInfo key_input_clock() {
  if (running_under_wine()) return LogClockInfo{1000, "message time (Wine)"};
  LARGE_INTEGER frequency;
  const int64_t step =
      QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0 ? 1000000 / frequency.QuadPart : 0;
  return LogClockInfo{step > 0 ? step : 1, "performance counter at arrival"};
}
