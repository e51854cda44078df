// Stand-ins for a DirectDraw surface and a DirectInput keyboard that answer
// the way a lost display or a lost keyboard does, and log what was asked;
// and for the palette of an 8-bit display.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "gfx/win32/drivers/driver_directx.h"

#define ZQ_FAKE_UNUSED(method, ...) \
  STDMETHOD(method)(__VA_ARGS__) override { return DDERR_UNSUPPORTED; }

class FakeSurface : public IDirectDrawSurface {
 public:
  FakeSurface(std::vector<std::string>* log, const char* name, int width, int height)
      : log_(log), name_(name), pitch_(width * 4), memory_(static_cast<size_t>(width) * 4 * height, 0xEE) {}

  // A lost surface answers lost until a successful Restore; one that keeps
  // its loss (restore refused) stays lost.
  bool lost = false;
  HRESULT restore_result = DD_OK;
  // The next lock or blit finds the display lost (this surface and partner).
  int lose_on_lock = 0;
  int lose_on_blt = 0;
  FakeSurface* partner = nullptr;
  int releases = 0;
  RECT blt_destination{};
  RECT blt_source{};
  IDirectDrawSurface* blt_from = nullptr;

  const uint8_t* line(int y) const { return memory_.data() + static_cast<size_t>(pitch_) * y; }
  void lose() {
    lost = true;
    if (partner) partner->lost = true;
  }

  STDMETHOD(QueryInterface)(REFIID, void**) override { return E_NOINTERFACE; }
  STDMETHOD_(ULONG, AddRef)() override { return 2; }
  STDMETHOD_(ULONG, Release)() override {
    ++releases;
    return 1;
  }
  STDMETHOD(IsLost)() override {
    if (!lost) return DD_OK;
    note("IsLost:lost");
    return DDERR_SURFACELOST;
  }
  STDMETHOD(Restore)() override {
    note("Restore");
    if (restore_result == DD_OK) lost = false;
    return restore_result;
  }
  STDMETHOD(Lock)(LPRECT, LPDDSURFACEDESC description, DWORD, HANDLE) override {
    if (finds_lost(&lose_on_lock, "Lock")) return DDERR_SURFACELOST;
    description->lpSurface = memory_.data();
    description->lPitch = pitch_;
    return DD_OK;
  }
  STDMETHOD(Unlock)(LPVOID) override {
    note("Unlock");
    return DD_OK;
  }
  STDMETHOD(Blt)(LPRECT destination, LPDIRECTDRAWSURFACE source, LPRECT source_rect, DWORD, LPDDBLTFX) override {
    if (finds_lost(&lose_on_blt, "Blt")) return DDERR_SURFACELOST;
    if (destination) blt_destination = *destination;
    if (source_rect) blt_source = *source_rect;
    blt_from = source;
    return DD_OK;
  }

  ZQ_FAKE_UNUSED(AddAttachedSurface, LPDIRECTDRAWSURFACE)
  ZQ_FAKE_UNUSED(AddOverlayDirtyRect, LPRECT)
  ZQ_FAKE_UNUSED(BltBatch, LPDDBLTBATCH, DWORD, DWORD)
  ZQ_FAKE_UNUSED(BltFast, DWORD, DWORD, LPDIRECTDRAWSURFACE, LPRECT, DWORD)
  ZQ_FAKE_UNUSED(DeleteAttachedSurface, DWORD, LPDIRECTDRAWSURFACE)
  ZQ_FAKE_UNUSED(EnumAttachedSurfaces, LPVOID, LPDDENUMSURFACESCALLBACK)
  ZQ_FAKE_UNUSED(EnumOverlayZOrders, DWORD, LPVOID, LPDDENUMSURFACESCALLBACK)
  ZQ_FAKE_UNUSED(Flip, LPDIRECTDRAWSURFACE, DWORD)
  ZQ_FAKE_UNUSED(GetAttachedSurface, LPDDSCAPS, LPDIRECTDRAWSURFACE*)
  ZQ_FAKE_UNUSED(GetBltStatus, DWORD)
  ZQ_FAKE_UNUSED(GetCaps, LPDDSCAPS)
  ZQ_FAKE_UNUSED(GetClipper, LPDIRECTDRAWCLIPPER*)
  ZQ_FAKE_UNUSED(GetColorKey, DWORD, LPDDCOLORKEY)
  ZQ_FAKE_UNUSED(GetDC, HDC*)
  ZQ_FAKE_UNUSED(GetFlipStatus, DWORD)
  ZQ_FAKE_UNUSED(GetOverlayPosition, LPLONG, LPLONG)
  ZQ_FAKE_UNUSED(GetPalette, LPDIRECTDRAWPALETTE*)
  ZQ_FAKE_UNUSED(GetPixelFormat, LPDDPIXELFORMAT)
  ZQ_FAKE_UNUSED(GetSurfaceDesc, LPDDSURFACEDESC)
  ZQ_FAKE_UNUSED(Initialize, LPDIRECTDRAW, LPDDSURFACEDESC)
  ZQ_FAKE_UNUSED(ReleaseDC, HDC)
  ZQ_FAKE_UNUSED(SetClipper, LPDIRECTDRAWCLIPPER)
  ZQ_FAKE_UNUSED(SetColorKey, DWORD, LPDDCOLORKEY)
  ZQ_FAKE_UNUSED(SetOverlayPosition, LONG, LONG)
  ZQ_FAKE_UNUSED(SetPalette, LPDIRECTDRAWPALETTE)
  ZQ_FAKE_UNUSED(UpdateOverlay, LPRECT, LPDIRECTDRAWSURFACE, LPRECT, DWORD, LPDDOVERLAYFX)
  ZQ_FAKE_UNUSED(UpdateOverlayDisplay, DWORD)
  ZQ_FAKE_UNUSED(UpdateOverlayZOrder, DWORD, LPDIRECTDRAWSURFACE)

 private:
  void note(const std::string& what) { log_->push_back(std::string(name_) + "." + what); }
  // Logs the call, marked when it finds the display lost (which a pending
  // lose_on_call count brings about first).
  bool finds_lost(int* lose_on_call, const char* call) {
    if (*lose_on_call > 0) {
      --*lose_on_call;
      lose();
    }
    note(lost ? std::string(call) + ":lost" : std::string(call));
    return lost;
  }

  std::vector<std::string>* log_;
  const char* name_;
  LONG pitch_;
  std::vector<uint8_t> memory_;
};

class FakeKeyboard : public IDirectInputDeviceA {
 public:
  BYTE state[256] = {};
  HRESULT answer = DI_OK;  // what GetDeviceState reports
  int acquires = 0;
  int unacquires = 0;
  int releases = 0;
  int reads = 0;

  STDMETHOD(QueryInterface)(REFIID, void**) override { return E_NOINTERFACE; }
  STDMETHOD_(ULONG, AddRef)() override { return 2; }
  STDMETHOD_(ULONG, Release)() override {
    ++releases;
    return 1;
  }
  STDMETHOD(Acquire)() override {
    ++acquires;
    return DI_OK;
  }
  STDMETHOD(Unacquire)() override {
    ++unacquires;
    return DI_OK;
  }
  STDMETHOD(GetDeviceState)(DWORD size, LPVOID data) override {
    ++reads;
    if (answer != DI_OK) return answer;
    if (size != sizeof state) return DIERR_INVALIDPARAM;
    std::memcpy(data, state, sizeof state);
    return DI_OK;
  }

  ZQ_FAKE_UNUSED(GetCapabilities, LPDIDEVCAPS)
  ZQ_FAKE_UNUSED(EnumObjects, LPDIENUMDEVICEOBJECTSCALLBACKA, LPVOID, DWORD)
  ZQ_FAKE_UNUSED(GetProperty, REFGUID, LPDIPROPHEADER)
  ZQ_FAKE_UNUSED(SetProperty, REFGUID, LPCDIPROPHEADER)
  ZQ_FAKE_UNUSED(GetDeviceData, DWORD, LPDIDEVICEOBJECTDATA, LPDWORD, DWORD)
  ZQ_FAKE_UNUSED(SetDataFormat, LPCDIDATAFORMAT)
  ZQ_FAKE_UNUSED(SetEventNotification, HANDLE)
  ZQ_FAKE_UNUSED(SetCooperativeLevel, HWND, DWORD)
  ZQ_FAKE_UNUSED(GetObjectInfo, LPDIDEVICEOBJECTINSTANCEA, DWORD, DWORD)
  ZQ_FAKE_UNUSED(GetDeviceInfo, LPDIDEVICEINSTANCEA)
  ZQ_FAKE_UNUSED(RunControlPanel, HWND, DWORD)
  ZQ_FAKE_UNUSED(Initialize, HINSTANCE, DWORD, REFGUID)
};

class FakePalette : public IDirectDrawPalette {
 public:
  PALETTEENTRY entries[256] = {};
  int sets = 0;
  int releases = 0;

  STDMETHOD(QueryInterface)(REFIID, void**) override { return E_NOINTERFACE; }
  STDMETHOD_(ULONG, AddRef)() override { return 2; }
  STDMETHOD_(ULONG, Release)() override {
    ++releases;
    return 1;
  }
  STDMETHOD(SetEntries)(DWORD, DWORD first, DWORD count, LPPALETTEENTRY source) override {
    if (first > 256 || count > 256 - first) return DDERR_INVALIDPARAMS;
    std::memcpy(entries + first, source, count * sizeof(PALETTEENTRY));
    ++sets;
    return DD_OK;
  }

  ZQ_FAKE_UNUSED(GetCaps, LPDWORD)
  ZQ_FAKE_UNUSED(GetEntries, DWORD, DWORD, DWORD, LPPALETTEENTRY)
  ZQ_FAKE_UNUSED(Initialize, LPDIRECTDRAW, DWORD, LPPALETTEENTRY)
};

// A DirectDraw object that only counts the calls made on it, for checking
// that a thread leaves another thread's object alone.
#define ZQ_FAKE_COUNTED(method, ...)   \
  STDMETHOD(method)(__VA_ARGS__) override { \
    ++calls;                               \
    return DDERR_UNSUPPORTED;              \
  }

class CountingDirectDraw : public IDirectDraw2 {
 public:
  int calls = 0;

  STDMETHOD(QueryInterface)(REFIID, void**) override {
    ++calls;
    return E_NOINTERFACE;
  }
  STDMETHOD_(ULONG, AddRef)() override {
    ++calls;
    return 2;
  }
  STDMETHOD_(ULONG, Release)() override {
    ++calls;
    return 1;
  }
  ZQ_FAKE_COUNTED(Compact)
  ZQ_FAKE_COUNTED(CreateClipper, DWORD, LPDIRECTDRAWCLIPPER*, IUnknown*)
  ZQ_FAKE_COUNTED(CreatePalette, DWORD, LPPALETTEENTRY, LPDIRECTDRAWPALETTE*, IUnknown*)
  ZQ_FAKE_COUNTED(CreateSurface, LPDDSURFACEDESC, LPDIRECTDRAWSURFACE*, IUnknown*)
  ZQ_FAKE_COUNTED(DuplicateSurface, LPDIRECTDRAWSURFACE, LPDIRECTDRAWSURFACE*)
  ZQ_FAKE_COUNTED(EnumDisplayModes, DWORD, LPDDSURFACEDESC, LPVOID, LPDDENUMMODESCALLBACK)
  ZQ_FAKE_COUNTED(EnumSurfaces, DWORD, LPDDSURFACEDESC, LPVOID, LPDDENUMSURFACESCALLBACK)
  ZQ_FAKE_COUNTED(FlipToGDISurface)
  ZQ_FAKE_COUNTED(GetCaps, LPDDCAPS, LPDDCAPS)
  ZQ_FAKE_COUNTED(GetDisplayMode, LPDDSURFACEDESC)
  ZQ_FAKE_COUNTED(GetFourCCCodes, LPDWORD, LPDWORD)
  ZQ_FAKE_COUNTED(GetGDISurface, LPDIRECTDRAWSURFACE*)
  ZQ_FAKE_COUNTED(GetMonitorFrequency, LPDWORD)
  ZQ_FAKE_COUNTED(GetScanLine, LPDWORD)
  ZQ_FAKE_COUNTED(GetVerticalBlankStatus, WINBOOL*)
  ZQ_FAKE_COUNTED(Initialize, GUID*)
  ZQ_FAKE_COUNTED(RestoreDisplayMode)
  ZQ_FAKE_COUNTED(SetCooperativeLevel, HWND, DWORD)
  ZQ_FAKE_COUNTED(SetDisplayMode, DWORD, DWORD, DWORD, DWORD, DWORD)
  ZQ_FAKE_COUNTED(WaitForVerticalBlank, DWORD, HANDLE)
  ZQ_FAKE_COUNTED(GetAvailableVidMem, LPDDSCAPS, LPDWORD, LPDWORD)
};

#undef ZQ_FAKE_COUNTED
#undef ZQ_FAKE_UNUSED
