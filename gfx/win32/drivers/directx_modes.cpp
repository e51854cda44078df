// Display modes and the vertical blank through DirectDraw.
#include "gfx/win32/drivers/directx_modes.h"

#include <iterator>

#include "gfx/win32/drivers/directx_library.h"
#include "gfx/win32/drivers/run_time_linking.h"
#include "gfx/win32/failure_trace.h"
#include "gfx/win32/window_display.h"

static_assert(sizeof(DDPIXELFORMAT) == 32, "pixel format of the size the library expects");

int dx_set_display_mode(int width, int height, int depth, int refresh_rate, DisplayModeSetter set_mode,
                        void* context) {
  static constexpr int kTallerHeights[] = {240, 480, 600, 768, 1024};
  if (!set_mode || width <= 0 || height <= 0 || depth <= 0 || refresh_rate < 0) return -1;
  const int partner = partner_depth(depth);
  int h = height;
  for (;;) {
    const DWORD flags = (width == 320 && h == 200 && depth == 8) ? DDSDM_STANDARDVGAMODE : 0;
    const auto tried = [&](int bits) {
      return SUCCEEDED(set_mode(context, static_cast<DWORD>(width), static_cast<DWORD>(h),
                                static_cast<DWORD>(bits), static_cast<DWORD>(refresh_rate), flags));
    };
    if (tried(depth) || (partner && tried(partner))) return (h - height) >> 1;
    const int* taller = kTallerHeights;
    while (taller != std::end(kTallerHeights) && *taller <= h) ++taller;
    if (taller == std::end(kTallerHeights)) return -1;
    h = *taller;
  }
}

HRESULT dx_set_mode_on_direct_draw(void* context, DWORD width, DWORD height, DWORD depth, DWORD refresh_rate,
                                   DWORD flags) {
  const HRESULT result =
      static_cast<IDirectDraw2*>(context)->SetDisplayMode(width, height, depth, refresh_rate, flags);
  if (FAILED(result))
    ZQ_TRACE_FAILURE("SetDisplayMode refused %lux%lu, %lu bits, %lu Hz, flags 0x%lX: 0x%08lX",
                     static_cast<unsigned long>(width), static_cast<unsigned long>(height),
                     static_cast<unsigned long>(depth), static_cast<unsigned long>(refresh_rate),
                     static_cast<unsigned long>(flags), static_cast<unsigned long>(result));
  return result;
}

DxPixelLayout dx_pixel_layout(const DDPIXELFORMAT& format) {
  const int bits = static_cast<int>(format.dwRGBBitCount);
  DxPixelLayout layout{bits, 0};
  if (bits == 16 && format.dwGBitMask == 0x3E0) layout.bits = 15;
  if ((bits >= 16 && format.dwRBitMask == 0x1F) || (bits >= 24 && format.dwRBitMask == 0xFF))
    layout.swap_red_blue = 1;
  return layout;
}

namespace {

// DirectDraw objects made without the multithreaded cooperative level (the
// driver's is) may be used by one thread at a time, and the event thread
// uses its object under the window lock: surfaces locked, blitted and
// restored, and after a lost display mode the object closed and made again.
// The vertical-blank wait has to happen outside that lock and the mode list
// may be asked for at any time, so the program's thread never touches the
// event thread's object: it has objects of its own, made on that thread.
struct OwnDirectDraw {
  HMODULE library = nullptr;
  IDirectDraw2* object = nullptr;

  bool make() {
    DirectDrawCreateEntry create = nullptr;
    library = dx_load_with_entry(kDirectDrawLibrary, "DirectDrawCreate", &create);
    object = dx_create_direct_draw(create, nullptr);
    if (!object) free_library(&library);
    return object != nullptr;
  }
  void free() {
    dx_release(object);
    free_library(&library);
  }
};

// The program thread's object for vertical-blank waits, made at the first
// wait and kept (making one costs far more than a frame) until the driver's
// exit, which runs on the same thread.
OwnDirectDraw vsync_direct_draw;

struct ModeSearch {
  int depth;
  ModeList found;
  bool out_of_memory;
};

HRESULT WINAPI collect_mode(LPDDSURFACEDESC mode, LPVOID context) {
  auto* search = static_cast<ModeSearch*>(context);
  if (!mode || dx_pixel_layout(mode->ddpfPixelFormat).bits != search->depth) return DDENUMRET_OK;
  if (mode_list_add(&search->found, mode->dwWidth, mode->dwHeight)) return DDENUMRET_OK;
  search->out_of_memory = true;
  return DDENUMRET_CANCEL;
}

}  // namespace

void dx_release_vsync_object() { vsync_direct_draw.free(); }

void dx_wait_vsync() {
  window_lock();
  // Only the pointer is read: a closed driver has no display to wait for.
  const bool open = dx_state.direct_draw != nullptr;
  if (dx_state.vsync_event) ResetEvent(dx_state.vsync_event);
  dx_state.vsync_pending = 1;
  window_unlock();
  if (open && !vsync_direct_draw.object) vsync_direct_draw.make();
  if (!open || !vsync_direct_draw.object ||
      FAILED(vsync_direct_draw.object->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr)))
    window_wait_vsync();
  // The event lives as long as the process, so it may be signalled unlocked.
  if (dx_state.vsync_event) SetEvent(dx_state.vsync_event);
}

// A temporary object of the calling thread, whether or not the driver is
// open (see OwnDirectDraw).
int* dx_fetch_modes(int depth, int* count) {
  if (count) *count = 0;
  OwnDirectDraw direct_draw;
  if (!direct_draw.make()) return nullptr;
  ModeSearch search{depth, {}, false};
  const HRESULT listed =
      direct_draw.object->EnumDisplayModes(DDEDM_STANDARDVGAMODES, nullptr, &search, collect_mode);
  direct_draw.free();
  // A refused enumeration yields nothing; one cut short by memory, what it found.
  if (ZQ_FAILED(listed, "EnumDisplayModes") && !search.out_of_memory) search.found.count = 0;
  return mode_list_take(&search.found, count);
}
