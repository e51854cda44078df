// The held keys through a DirectInput keyboard device.
#include "gfx/win32/drivers/directx_keyboard.h"

#include <cstring>

#include "common/key_tables.h"
#include "gfx/screen.h"
#include "gfx/win32/failure_trace.h"
#include "gfx/win32/key_state_refresh.h"

namespace {

// Defined here so that no import library is needed.
constexpr GUID kGuidSysKeyboard = {0x6F1D2B61, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
constexpr GUID kGuidKey = {0x55728220, 0xD33C, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

static_assert(sizeof(DIDATAFORMAT) == 24 && sizeof(DIOBJECTDATAFORMAT) == 16, "keyboard data format");

// Keys the device still reports down whose release it missed: released while
// the window could not see the keyboard (another window had it, or a modal
// loop ran), as the system's own state said when asked on the way back. Each
// counts as up until the device reports it up once.
uint8_t missed_release[kKeyStateSize];

void build_keyboard_format() {
  DIDATAFORMAT& format = dx_state.keyboard_format;
  format.dwSize = sizeof(DIDATAFORMAT);
  format.dwObjSize = sizeof(DIOBJECTDATAFORMAT);
  format.dwFlags = DIDF_RELAXIS;
  format.dwDataSize = 256;
  format.dwNumObjs = 256;
  format.rgodf = dx_state.keyboard_objects;
  for (DWORD i = 0; i < 256; ++i) {
    DIOBJECTDATAFORMAT& object = dx_state.keyboard_objects[i];
    object.pguid = &kGuidKey;
    object.dwOfs = i;
    object.dwType = (i << 8) | 0x8000000Cu;  // optional button, instance i
    object.dwFlags = 0;
  }
}

// Whether the system reports a key of this scancode down now; true for a
// scancode it has no virtual key for, which only the device can tell.
bool system_reports_down(int scancode) {
  bool known = false;
  for (const KeyTableRow* row = key_table; row->scancode != 0; ++row) {
    if (row->scancode != scancode) continue;
    known = true;
    if (GetAsyncKeyState(row->virtual_key) & 0x8000) return true;
    if (row->alternative_virtual_key && (GetAsyncKeyState(row->alternative_virtual_key) & 0x8000)) return true;
  }
  return !known;
}

}  // namespace

int dx_open_keyboard() {
  build_keyboard_format();
  std::memset(missed_release, 0, sizeof missed_release);
  if (ZQ_FAILED(dx_state.direct_input->CreateDevice(kGuidSysKeyboard, &dx_state.keyboard_device, nullptr),
                "CreateDevice of the system keyboard") ||
      !dx_state.keyboard_device) {
    dx_state.keyboard_device = nullptr;
    return -1;
  }
  if (ZQ_FAILED(dx_state.keyboard_device->SetDataFormat(&dx_state.keyboard_format), "SetDataFormat of the keyboard"))
    return -1;
  const HRESULT acquired = dx_state.keyboard_device->Acquire();
  if (acquired == DI_OK) return 0;
  ZQ_TRACE_FAILURE("Acquire of the keyboard answered 0x%08lX", static_cast<unsigned long>(acquired));
  return -1;
}

void dx_close_keyboard() {
  if (dx_state.keyboard_device) {
    dx_state.keyboard_device->Unacquire();
    dx_release(dx_state.keyboard_device);
  }
  dx_release(dx_state.direct_input);
}

void dx_refresh_key_state() {
  ScreenState* screen = screen_state;
  if (!dx_state.keyboard_device || !screen || !screen->key_state) return;
  BYTE state[256];
  const HRESULT read = dx_state.keyboard_device->GetDeviceState(sizeof state, state);
  if (read == DIERR_NOTACQUIRED || read == DIERR_INPUTLOST) {
    dx_state.keyboard_device->Acquire();
    return;
  }
  if (FAILED(read)) return;
  const bool suspect = window_take_key_state_suspect();
  for (int i = 0; i < kKeyStateSize; ++i) {
    // An extended key counts as its base scancode.
    const bool device_down = ((state[i] | state[i + 128]) & 0x80) != 0;
    if (!device_down) missed_release[i] = 0;
    else if (suspect && !system_reports_down(i)) missed_release[i] = 1;
    screen->key_state[i] = device_down && !missed_release[i] ? 1 : 0;
  }
}
