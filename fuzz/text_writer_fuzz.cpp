// Prints random bytes on random small screens, between random cursor moves,
// text views, text sizes, clears, page switches and viewports, and checks
// that text stays inside its grid: no pixel outside the text area of the work
// page and nothing on another page changes, and a cursor that starts in the
// grid ends in it. A second half drives the text writer alone with random
// windows and checks every draw lies inside the window.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "gfx/draw/draw_context.h"
#include "gfx/gfx_handlers.h"
#include "gfx/screen.h"
#include "common/text_writer.h"
#include "rt/routed.h"
#include "rt/runtime.h"
#include "fuzz_input.h"

namespace {

using Input = FuzzInput;

constexpr int kDepths[] = {1, 2, 4, 8, 15, 16, 24, 32};

size_t page_bytes() { return static_cast<size_t>(screen_state->pitch) * screen_state->height; }

std::vector<std::vector<uint8_t>> snapshot_pages() {
  std::vector<std::vector<uint8_t>> pages;
  for (int p = 0; p < screen_state->page_count; ++p)
    pages.emplace_back(screen_state->pages[p], screen_state->pages[p] + page_bytes());
  return pages;
}

// Everything a print may not touch is as it was: other pages whole, and on
// the work page every byte outside the text grid's pixels.
void check_untouched(const std::vector<std::vector<uint8_t>>& before, int work_page) {
  const ScreenState* s = screen_state;
  const int text_width = s->text_cols * s->font->width * s->bytes_per_pixel;
  const int text_height = s->text_rows * s->font->height;
  for (int p = 0; p < s->page_count; ++p) {
    const uint8_t* now = s->pages[p];
    for (int y = 0; y < s->height; ++y) {
      const size_t row = static_cast<size_t>(y) * s->pitch;
      const int from = p == work_page && y < text_height ? text_width : 0;
      if (std::memcmp(now + row + from, before[p].data() + row + from,
                      static_cast<size_t>(s->pitch - from)) != 0)
        std::abort();
    }
  }
}

bool cursor_in_grid() {
  const ScreenState* s = screen_state;
  return s->cursor_x >= 0 && s->cursor_x < s->text_cols && s->cursor_y >= 0 &&
         s->cursor_y < s->text_rows;
}

void print_checked(Input& in, bool wide) {
  int length = in.below(96);
  const int flags = in.byte() & 8;
  const uint8_t* bytes = in.take(&length);
  DrawContext* context = get_draw_context();
  const bool was_in_grid = cursor_in_grid();
  const auto before = snapshot_pages();
  if (wide) {
    std::vector<uint16_t> units(static_cast<size_t>(length / 2));
    if (!units.empty()) std::memcpy(units.data(), bytes, units.size() * 2);
    gfx_print_wide(units.data(), static_cast<int>(units.size()), flags);
  } else {
    gfx_print(bytes, length, flags);
  }
  check_untouched(before, context->work_page);
  if (was_in_grid && !cursor_in_grid()) std::abort();
}

void drive_screen(Input& in) {
  const int width = 1 + in.below(48);
  const int height = 1 + in.below(64);
  const int depth = kDepths[in.below(8)];
  const int pages = 1 + in.below(3);
  if (set_screen_size(width, height, depth, pages, -1, 0) != 0) return;

  for (int step = 0; step < 64 && !in.empty(); ++step) {
    ScreenState* s = screen_state;
    switch (in.below(12)) {
      case 0:
      case 1:
        print_checked(in, false);
        break;
      case 2:
        print_checked(in, true);
        break;
      case 3:  // a cursor placed by hand, possibly off the grid
        s->cursor_x = in.below(s->text_cols + 3) - 1;
        s->cursor_y = in.below(s->text_rows + 3) - 1;
        if (in.byte() & 1) s->flags |= kScreenPendingNewline;
        break;
      case 4:
        if (in.byte() & 1) set_view_print(in.below(s->text_rows + 2), in.below(s->text_rows + 2), in.byte() & 1);
        else set_view_rows(in.below(s->text_rows + 4) - 2, in.below(s->text_rows + 4) - 2);
        break;
      case 5:
        gfx_width(in.below(10) - 1, in.below(10) - 1);
        break;
      case 6: {
        static const int32_t modes[] = {0, 1, 2, 3, kNoClearArgument};
        gfx_cls(modes[in.below(5)]);
        break;
      }
      case 7:
        gfx_screen_set(in.below(4) - 1, in.below(4) - 1);
        break;
      case 8:
        gfx_pcopy(in.below(4) - 1, in.below(4) - 1);
        break;
      case 9: {
        const int x1 = in.below(s->width + 8) - 4, y1 = in.below(s->height + 8) - 4;
        const int x2 = in.below(s->width + 8) - 4, y2 = in.below(s->height + 8) - 4;
        set_viewport(x1, y1, x2, y2, in.byte(), in.byte(), static_cast<uint32_t>(in.byte() & 0xC0) << 24);
        break;
      }
      case 10:
        gfx_color(in.byte() | in.byte() << 8 | static_cast<uint32_t>(in.byte()) << 24, in.byte(), in.below(4));
        break;
      case 11:
        cursor_back();
        gfx_read_cell(in.below(s->text_cols + 2), in.below(s->text_rows + 2), in.below(3));
        break;
    }
  }
}

// The writer alone: every draw must lie on one row inside the window.
struct Window {
  int left, top, right, bottom;
  int draws;
};

int checked_draw(TextWriter* writer, const uint8_t* bytes, int count) {
  auto* w = static_cast<Window*>(writer->user);
  if (count <= 0 || writer->x < w->left || writer->x + count - 1 > w->right) std::abort();
  if (w->bottom != -1 && writer->y > w->bottom) std::abort();
  ++w->draws;
  return bytes[0] == 0x7F ? 0 : 1;  // a draw that gives up
}

void checked_scroll(TextWriter* writer, int left, int top, int right, int bottom, int lines) {
  auto* w = static_cast<Window*>(writer->user);
  if (left != w->left || top != w->top || right != w->right || bottom != w->bottom || lines <= 0)
    std::abort();
  writer->y = bottom;
}

void drive_writer(Input& in) {
  Window w{};
  w.left = in.below(8);
  w.right = w.left + in.below(12);
  w.top = in.below(4);
  w.bottom = in.byte() & 1 ? -1 : w.top + in.below(6);
  TextWriter writer{&w, checked_scroll, checked_draw, w.left, w.top, w.right, w.bottom,
                    w.left + in.below(w.right - w.left + 1), w.top + in.below(6)};
  while (!in.empty()) {
    int length = in.below(200);
    const uint8_t* bytes = in.take(&length);
    text_writer_write(&writer, bytes, length, in.byte() & 1);
    if (writer.x < w.left || writer.x > w.right) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t length) {
  if (length < 1 || length > 4096) return 0;
  Input in(data + 1, length - 1);
  if (data[0] & 1) drive_writer(in);
  else drive_screen(in);
  return 0;
}
