// The product's name comes from the HID driver: hid.dll is loaded by name
// the first time it is needed, as the drivers load their libraries, so the
// program starts where it is missing and the device is then just unnamed.
// Keyboards that are no HID devices (PS/2 behind ACPI) have no product name.
#include "keys/source/win32/keyboard_device_lookup.h"

#include <cstdint>

#include "gfx/win32/drivers/run_time_linking.h"
#include "keys/source/key_dispatch.h"
#include "keys/source/keyboard_devices.h"

namespace {

using GetProductString = BOOLEAN(WINAPI*)(HANDLE, PVOID, ULONG);

HMODULE hid_library = nullptr;
GetProductString get_product_string = nullptr;
bool hid_tried = false;

// The raw-input name of the device; "" when the system gives none.
void device_name(HANDLE device, char* out, UINT size) {
  out[0] = '\0';
  if (device == nullptr) return;
  UINT length = size;
  const UINT copied = GetRawInputDeviceInfoA(device, RIDI_DEVICENAME, out, &length);
  if (copied == static_cast<UINT>(-1) || copied == 0 || copied > size) out[0] = '\0';
  out[size - 1] = '\0';
}

// The product string the device reports, as UTF-8; "" when it has none.
void product_name(const char* device_path, char* out, int size) {
  out[0] = '\0';
  if (device_path[0] == '\0') return;
  if (!hid_tried) {
    hid_tried = true;
    const char* const names[] = {"HidD_GetProductString", nullptr};
    FARPROC entries[1] = {};
    hid_library = load_library("hid.dll", names, entries);
    get_product_string = hid_library ? reinterpret_cast<GetProductString>(reinterpret_cast<void*>(entries[0])) : nullptr;
  }
  if (get_product_string == nullptr) return;
  // No access asked: the system holds keyboards open for itself, and the
  // product string needs none.
  HANDLE file = CreateFileA(device_path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  // The HID limit for a string is 126 characters and its end.
  WCHAR wide[127] = {};
  if (get_product_string(file, wide, sizeof wide - sizeof wide[0]))
    if (WideCharToMultiByte(CP_UTF8, 0, wide, -1, out, size, nullptr, nullptr) == 0) out[0] = '\0';
  out[size - 1] = '\0';
  CloseHandle(file);
}

}  // namespace

void keyboard_device_lookup_reset() { keyboard_devices_reset(); }

int keyboard_device_lookup(HANDLE device) {
  const uintptr_t handle = reinterpret_cast<uintptr_t>(device);
  const int known = keyboard_device_find(handle);
  if (known != kNoKeyDevice || keyboard_device_count() >= kMaxKeyboardDevices) return known;
  char path[256];
  char product[256];
  device_name(device, path, sizeof path);
  product_name(path, product, sizeof product);
  return keyboard_device_add(handle, path, product);
}

void keyboard_device_lookup_release() {
  free_library(&hid_library);
  get_product_string = nullptr;
  hid_tried = false;
}
