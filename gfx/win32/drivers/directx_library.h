// The DirectX driver's libraries, loaded by name at run time, and the
// DirectDraw object made from them.
#pragma once

#include "gfx/win32/drivers/directx_state.h"

constexpr char kDirectDrawLibrary[] = "ddraw.dll";
constexpr char kDirectInputLibrary[] = "dinput.dll";

using DirectDrawCreateEntry = HRESULT(WINAPI*)(GUID*, LPDIRECTDRAW*, IUnknown*);
using DirectDrawEnumerateExEntry = HRESULT(WINAPI*)(LPDDENUMCALLBACKEXA, LPVOID, DWORD);
using DirectInputCreateEntry = HRESULT(WINAPI*)(HINSTANCE, DWORD, LPDIRECTINPUTA*, IUnknown*);

// An entry of a loaded library; null when the module or the entry is missing.
template <typename Entry>
Entry dx_look_up(HMODULE module, const char* name) {
  return module ? reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

// A library with the one entry the driver cannot do without; null when the
// file or the entry is missing.
HMODULE dx_load_library(const char* file_name, const char* entry_name, FARPROC* entry);
template <typename Entry>
HMODULE dx_load_with_entry(const char* file_name, const char* entry_name, Entry* entry) {
  FARPROC found = nullptr;
  HMODULE library = dx_load_library(file_name, entry_name, &found);
  *entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(found));
  return library;
}

// IDirectDraw2 of the device given (null: the default one), or null.
IDirectDraw2* dx_create_direct_draw(DirectDrawCreateEntry create, GUID* device);
