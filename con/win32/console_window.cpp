// Hiding the console window that belongs to this process alone.
#include "con/console_window.h"

#include <windows.h>

namespace {

HWND hidden_console = nullptr;

template <typename Entry>
Entry kernel32_entry(const char* name) {
  HMODULE kernel32 = GetModuleHandleA("KERNEL32");
  return kernel32 ? reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(kernel32, name))) : nullptr;
}

}  // namespace

bool console_window_hide_if_alone() {
  // COMPAT: both entries are missing before Windows XP; the console then
  // stays as it always was.
  const auto process_list = kernel32_entry<DWORD(WINAPI*)(LPDWORD, DWORD)>("GetConsoleProcessList");
  const auto console_window = kernel32_entry<HWND(WINAPI*)()>("GetConsoleWindow");
  if (!process_list || !console_window) return false;
  // Room for two: a second process (the prompt that started us) is all it
  // takes to leave the window alone.
  DWORD processes[2];
  if (process_list(processes, 2) != 1) return false;
  HWND window = console_window();
  if (!window || !IsWindowVisible(window)) return false;
  ShowWindow(window, SW_HIDE);
  hidden_console = window;
  return true;
}

void console_window_restore() {
  if (!hidden_console) return;
  ShowWindow(hidden_console, SW_SHOW);
  hidden_console = nullptr;
}
