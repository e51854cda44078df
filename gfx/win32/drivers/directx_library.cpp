// Loading the DirectX libraries and making a DirectDraw object.
#include "gfx/win32/drivers/directx_library.h"

#include "gfx/win32/drivers/run_time_linking.h"
#include "gfx/win32/failure_trace.h"

namespace {

// Defined here so that no import library is needed.
constexpr GUID kIidDirectDraw2 = {0xB3A6F3E0, 0x2B43, 0x11CF, {0xA2, 0xDE, 0x00, 0xAA, 0x00, 0xB9, 0x33, 0x56}};

}  // namespace

HMODULE dx_load_library(const char* file_name, const char* entry_name, FARPROC* entry) {
  const char* const names[] = {entry_name, nullptr};
  HMODULE library = load_library(file_name, names, entry);
  if (!library) ZQ_TRACE_FAILURE("no %s with %s", file_name, entry_name);
  return library;
}

IDirectDraw2* dx_create_direct_draw(DirectDrawCreateEntry create, GUID* device) {
  IDirectDraw* first = nullptr;
  if (!create || ZQ_FAILED(create(device, &first, nullptr), device ? "DirectDrawCreate of the monitor's device"
                                                                   : "DirectDrawCreate of the default device") ||
      !first)
    return nullptr;
  IDirectDraw2* second = nullptr;
  if (ZQ_FAILED(first->QueryInterface(kIidDirectDraw2, reinterpret_cast<void**>(&second)),
                "QueryInterface for IDirectDraw2"))
    second = nullptr;
  first->Release();
  return second;
}
