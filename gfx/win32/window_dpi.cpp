// DPI awareness, the monitor's DPI and the window's whole-number scale.
#include "gfx/win32/window_dpi.h"

#include <atomic>

#include "gfx/drivers/window_scale.h"
#include "gfx/screen.h"
#include "gfx/win32/window_monitor.h"
#include "gfx/win32/window_state.h"

namespace {

// The values the newer headers name; spelt out so that older headers build.
const auto kPerMonitorAwareV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
const auto kPerMonitorAware = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-3));
constexpr int kProcessPerMonitorDpiAware = 2;
constexpr int kEffectiveDpi = 0;

using SetAwarenessContextEntry = BOOL(WINAPI*)(HANDLE);
using SetProcessAwarenessEntry = HRESULT(WINAPI*)(int);
using SetProcessAwareEntry = BOOL(WINAPI*)();
using DpiForMonitorEntry = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

template <typename Entry>
Entry entry_of(HMODULE module, const char* name) {
  return module ? reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

// COMPAT: the DPI entries arrived one system at a time (system-wide on
// Vista, per monitor on 8.1 in shcore.dll, the context form on 10).
bool declare_per_monitor() {
  HMODULE user32 = GetModuleHandleA("USER32");
  if (auto set_context = entry_of<SetAwarenessContextEntry>(user32, "SetProcessDpiAwarenessContext")) {
    if (set_context(kPerMonitorAwareV2) || set_context(kPerMonitorAware)) return true;
  }
  HMODULE shcore = LoadLibraryA("shcore.dll");
  bool declared = false;
  if (auto set_awareness = entry_of<SetProcessAwarenessEntry>(shcore, "SetProcessDpiAwareness"))
    declared = SUCCEEDED(set_awareness(kProcessPerMonitorDpiAware));
  if (shcore) FreeLibrary(shcore);
  return declared;
}

}  // namespace

void window_declare_dpi_awareness() {
  static std::atomic<bool> declared{false};
  if (declared.exchange(true)) return;
  if (declare_per_monitor()) return;
  if (auto set_aware = entry_of<SetProcessAwareEntry>(GetModuleHandleA("USER32"), "SetProcessDPIAware")) set_aware();
}

int window_monitor_dpi(HMONITOR monitor) {
  if (monitor) {
    HMODULE shcore = LoadLibraryA("shcore.dll");
    UINT dpi_x = 0, dpi_y = 0;
    const auto dpi_for_monitor = entry_of<DpiForMonitorEntry>(shcore, "GetDpiForMonitor");
    const bool read = dpi_for_monitor && SUCCEEDED(dpi_for_monitor(monitor, kEffectiveDpi, &dpi_x, &dpi_y));
    if (shcore) FreeLibrary(shcore);
    if (read && dpi_y > 0) return static_cast<int>(dpi_y);
  }
  HDC desktop = GetDC(nullptr);
  const int dpi = desktop ? GetDeviceCaps(desktop, LOGPIXELSY) : 0;
  if (desktop) ReleaseDC(nullptr, desktop);
  return dpi > 0 ? dpi : kBaseDpi;
}

SIZE window_frame_size(DWORD style) {
  RECT outer{}, client{};
  HWND window = window_state.window;
  if (window && GetWindowRect(window, &outer) && GetClientRect(window, &client))
    return SIZE{(outer.right - outer.left) - client.right, (outer.bottom - outer.top) - client.bottom};
  RECT frame = {0, 0, 0, 0};
  AdjustWindowRect(&frame, style, FALSE);
  return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

int window_scale_for_dpi(int dpi) {
  if (window_state.flags & kFlagOpenGL) return 1;
  const int request = window_scale_request();
  if (request != kWindowScaleAuto) return resolve_window_scale(request, kBaseDpi, ScaleFit{});

  const SIZE frame = window_frame_size(window_style(window_state.flags));
  RECT work{};
  const MonitorArea monitor = window_monitor_area();
  if (monitor.known) work = monitor.info.rcWork;
  else if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0))
    work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  const ScaleFit fit{window_state.width, window_state.height,    frame.cx,
                     frame.cy,           work.right - work.left, work.bottom - work.top};
  return resolve_window_scale(request, dpi, fit);
}

int window_choose_scale() { return window_scale_for_dpi(window_monitor_dpi(window_state.monitor)); }

int window_client_scale() {
  if (window_state.flags & kFlagFullscreen) return 1;
  return window_state.scale > 1 ? window_state.scale : 1;
}
