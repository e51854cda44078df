// Opening, replacing and closing the graphics screen.
#include <cstdlib>
#include <cstring>

#include "con/console.h"
#include "gfx/draw/draw_context.h"
#include "gfx/drivers/video_driver.h"
#include "gfx/gfx_handlers.h"
#include "gfx/page_memory.h"
#include "gfx/screen.h"
#include "rt/routed.h"
#include "rt/runtime.h"

ScreenState* screen_state = nullptr;
uint32_t* conversion_table = nullptr;
const VideoDriver* const* screen_driver_list = driver_list;

void make_title_from_program_name();

namespace {

int32_t screen_serial = 1;
bool at_exit_registered = false;

// The largest page the screen accepts: byte counts stay within 32 bits, as
// the pitch and every offset into a page are 32-bit values.
constexpr uint64_t kMaxPageBytes = 0x7FFFFF00u;

void free_screen(ScreenState* screen) {
  if (screen->text_cells) {
    for (int page = 0; page < screen->page_count; ++page) std::free(screen->text_cells[page]);
    std::free(screen->text_cells);
  }
  if (screen->pages) {
    for (int page = 0; page < screen->page_count; ++page) page_free(screen->pages[page]);
    std::free(screen->pages);
  }
  std::free(screen->device_palette);
  std::free(screen->palette);
  std::free(screen->color_association);
  std::free(screen->dirty_lines);
  std::free(screen->key_state);
  if (screen->event_queue) {
    std::free(screen->event_queue);
    semaphore_destroy(screen->event_lock);
  }
  std::free(screen);
}

void tear_down_screen() {
  ScreenState* screen = screen_state;
  if (!screen) return;
  if (screen->driver && screen->driver->exit) screen->driver->exit();
  screen_state = nullptr;
  free_screen(screen);
}

// Allocates every per-screen buffer; false when any allocation fails.
bool allocate_buffers(ScreenState* screen, int pages) {
  const size_t page_bytes = static_cast<size_t>(screen->pitch) * static_cast<size_t>(screen->height);
  // All pages together stay within what a 32-bit process could address, on
  // every build, so a page count far too large fails instead of exhausting
  // the machine.
  if (static_cast<uint64_t>(page_bytes) * static_cast<uint64_t>(pages) > kMaxPageBytes) return false;
  screen->pages = static_cast<uint8_t**>(std::calloc(static_cast<size_t>(pages), sizeof(uint8_t*)));
  if (!screen->pages) return false;
  screen->page_count = pages;
  for (int page = 0; page < pages; ++page) {
    screen->pages[page] = page_allocate(page_bytes);
    if (!screen->pages[page]) return false;
  }
  screen->visible_page = screen->pages[0];
  const size_t dirty_count =
      static_cast<size_t>(screen->height) * static_cast<size_t>(screen->scanline_multiplier);
  screen->dirty_lines = static_cast<uint8_t*>(std::calloc(dirty_count, 1));
  screen->device_palette = static_cast<uint32_t*>(std::calloc(256, sizeof(uint32_t)));
  screen->palette = static_cast<uint32_t*>(std::calloc(256, sizeof(uint32_t)));
  screen->color_association = static_cast<uint8_t*>(std::calloc(16, 1));
  screen->key_state = static_cast<uint8_t*>(std::calloc(kKeyStateSize, 1));
  screen->event_queue = static_cast<ScreenEvent*>(std::calloc(kEventQueueSize, sizeof(ScreenEvent)));
  if (screen->event_queue) screen->event_lock = semaphore_create();
  conversion_table = static_cast<uint32_t*>(std::calloc(512, sizeof(uint32_t)));
  return screen->dirty_lines && screen->device_palette && screen->palette &&
         screen->color_association && screen->key_state && screen->event_queue &&
         screen->event_lock && conversion_table;
}

int normalise_depth(int depth, uint32_t* mask) {
  if (depth == 15 || depth == 16) {
    *mask = 0xFFFF;
    return 16;
  }
  if (depth == 24 || depth == 32) {
    *mask = 0xFFFFFFFFu;
    return 32;
  }
  *mask = (1u << depth) - 1u;
  return depth;
}

bool is_null_driver_requested(int flags) {
  if (flags == kFlagNullDriver) return true;
  const char* name = std::getenv("ZQGFX");
  return name && driver_name_equals(name, "null");
}

void fill_all_pages(DrawContext* context) {
  ScreenState* screen = screen_state;
  for (int page = 0; page < screen->page_count; ++page) {
    for (int y = 0; y < screen->height; ++y) {
      context->fill_span(screen->pages[page] + static_cast<size_t>(y) * screen->pitch,
                         context->background, screen->width);
    }
  }
}

}  // namespace

int apply_screen_mode(const ModeInfo* info, int mode, int depth, int pages, int refresh_rate,
                      int flags) {
  if (pages < 1) pages = 1;
  if (flags >= 0 && (flags & kFlagLayered)) flags |= kFlagLayeredWindow;

  tear_down_screen();
  std::free(conversion_table);
  conversion_table = nullptr;

  if (mode == 0 || !info || info->width == 0) {
    hook_table_clear();
    // The view is unset first so that the console is cleared whole, not
    // just the rows a graphics screen had narrowed its view to.
    set_view_rows(-1, -1);
    if (flags != kFlagClosingAtExit) {
      console_set_width(80, 25);
      console_clear(kNoClearArgument);
    }
  } else {
    hook_table_fill_graphics();
    auto* screen = static_cast<ScreenState*>(std::calloc(1, sizeof(ScreenState)));
    if (!screen) {
      hook_table_clear();
      return set_error(1);
    }
    screen->id = screen_serial++;
    screen->mode = mode;
    screen->width = info->width;
    screen->height = info->height;

    int screen_depth = info->depth;
    if (mode > 13 && (depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32))
      screen_depth = depth;
    if (flags >= 0 && (flags & kFlagOpenGL) && screen_depth < 16) screen_depth = 16;

    screen->default_palette = info->default_palette;
    screen->scanline_multiplier = info->scanline_multiplier;
    screen->font = info->font;
    screen->aspect = info->aspect != 0.0f
                         ? info->aspect
                         : static_cast<float>(static_cast<double>(screen->height) /
                                              static_cast<double>(screen->width) * (4.0 / 3.0));
    screen->depth = normalise_depth(screen_depth, &screen->color_mask);
    screen->bytes_per_pixel = (screen->depth + 7) / 8;
    screen->pitch = screen->width * screen->bytes_per_pixel;

    // The screen is published before its buffers exist so that a failure
    // below closes it through the one teardown path.
    screen_state = screen;
    if (!allocate_buffers(screen, pages)) {
      close_screen_at_exit();
      return set_error(1);
    }
    if (flags != kFlagNullDriver) {
      if (flags & kFlagBlended) screen->flags |= kScreenBlended;
      if (flags & kFlagOpenGL) screen->flags |= kScreenOpenGL;
    }

    select_depth_routines(screen->bytes_per_pixel);
    unpack_builtin_data();

    if (!screen_title()) make_title_from_program_name();
    const VideoDriver* driver = nullptr;
    if (is_null_driver_requested(flags)) {
      driver = &null_driver;
    } else {
      driver = select_driver(screen_driver_list, std::getenv("ZQGFX"), screen_title(), screen->width,
                             screen->height * screen->scanline_multiplier, screen->depth,
                             refresh_rate, flags);
    }
    if (!driver) {
      close_screen_at_exit();
      return set_error(1);
    }
    screen->driver = driver;

    screen_palette(-1, 0, 0, 0);
    screen->text_cols = info->text_cols;
    screen->text_rows = info->text_rows;

    // Without its row addresses or text cells the screen could not be drawn
    // on: opening fails like any other allocation.
    DrawContext* context = get_draw_context();
    if (context && context->lines) make_text_cells(context, 1);
    if (!context || !context->lines || !screen->text_cells) {
      close_screen_at_exit();
      return set_error(1);
    }
    fill_all_pages(context);

    if (!at_exit_registered) {
      at_exit_registered = true;
      std::atexit(close_screen_at_exit);
    }
  }

  if (flags != kFlagClosingAtExit) set_view_print(0, 0, screen_state != nullptr);
  return set_error(0);
}

void close_screen_at_exit() {
  if (screen_state) apply_screen_mode(nullptr, 0, 0, 0, 0, kFlagClosingAtExit);
}

int set_screen_mode(int mode, int depth, int pages, int flags, int refresh_rate) {
  const auto number = static_cast<uint32_t>(mode);
  if (number > 21 || (number >= 3 && number <= 6)) return set_error(1);
  const ModeInfo* info = number == 0 ? nullptr : &mode_table[number - 1];
  const int result = apply_screen_mode(info, mode, depth, pages, refresh_rate, flags);
  if (result == 0) file_record(0)->column = 0;
  return result;
}

int set_screen_mode_pages(int mode, int work_page, int visible_page) {
  int result = set_screen_mode(mode, 0, 0, 0, 0);
  if (result != 0) return result;
  if (work_page < 0 && visible_page < 0) return result;
  return set_error(page_set(work_page, visible_page));
}

int set_screen_size(int width, int height, int depth, int pages, int flags, int refresh_rate) {
  // Depths 1, 2, 4, 8, 15, 16, 24 and 32: the bits of 0x8080C08B over depth - 1.
  if (width <= 0 || height <= 0 || depth < 1 || depth > 32 ||
      !((0x8080C08Bu >> (depth - 1)) & 1u))
    return set_error(1);
  // Sizes the mode record cannot hold, or whose page would not fit 32-bit
  // byte counts, are refused before anything is touched.
  const int bytes_per_pixel = depth <= 8 ? 1 : depth <= 16 ? 2 : 4;
  if (width > 0xFFFF || height > 0xFFFF ||
      static_cast<uint64_t>(width) * static_cast<uint64_t>(bytes_per_pixel) *
              static_cast<uint64_t>(height) > kMaxPageBytes)
    return set_error(1);
  ModeInfo info{static_cast<uint16_t>(width), static_cast<uint16_t>(height),
                static_cast<uint8_t>(depth), 1, &palette_256, &font_8x8,
                static_cast<uint16_t>(width / 8), static_cast<uint16_t>(height / 8), 1.0f};
  const int result = apply_screen_mode(&info, -1, depth, pages, refresh_rate, flags);
  if (result == 0) file_record(0)->column = 0;
  return result;
}

uint8_t* screen_pointer() {
  if (!screen_state) return nullptr;
  DrawContext* context = get_draw_context();
  use_screen_target(context);
  select_color_routines(context, 0xFF000000u);
  return context->lines[0];
}
