// Calls the public operations of the runtime and the screen in random order
// with random values on small screens, and checks what must always hold: the
// text cursor on the text grid, the text view inside it, no temporaries left
// behind. The sanitizers catch everything else.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fuzz_input.h"
#include "gfx/gfx_handlers.h"
#include "gfx/input/key_input.h"
#include "gfx/screen.h"
#include "rt/routed.h"
#include "rt/runtime.h"
#include "rt/stepped_sleep.h"
#include "rt/text_value.h"

namespace {

constexpr int kDepths[] = {1, 2, 4, 8, 15, 16, 24, 32};

void no_sleep(uint32_t) {}
void no_output(const uint8_t*, int) {}

void check_invariants() {
  const ScreenState* s = screen_state;
  if (!s || s->text_cols <= 0 || s->text_rows <= 0) return;
  if (s->cursor_x < 0 || s->cursor_x >= s->text_cols || s->cursor_y < 0 || s->cursor_y >= s->text_rows)
    std::abort();
}

void call_one(FuzzInput& in) {
  const int a = in.value(), b = in.value(), c = in.value(), d = in.value();
  uint8_t text[64];
  int length = in.below(64);
  const uint8_t* bytes = in.take(&length);
  switch (in.below(34)) {
    case 0: set_view_rows(a, b); break;
    case 1: set_view_print(a, b, c); break;
    case 2: locate(a, b, c, nullptr); break;
    case 3: gfx_locate(a, b, c); break;
    case 4: set_width(a, b); break;
    case 5: clear_screen(a); break;
    case 6: print_bytes(bytes, length, a & 8); break;
    case 7: print_bytes(bytes, a < length ? a : length, 0); break;
    case 8: {
      std::vector<uint16_t> units(static_cast<size_t>(length / 2));
      for (size_t i = 0; i < units.size(); ++i) units[i] = static_cast<uint16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
      print_wide(units.empty() ? nullptr : units.data(), static_cast<int>(units.size()), b & 8);
      break;
    }
    case 9: page_set(a, b); break;
    case 10: gfx_pcopy(a, b); break;
    case 11: gfx_screen_set(a, b); break;
    case 12: fill_text_cells(a, b, c, d, in.value(), 'f', 1, 2); break;
    case 13: set_cursor(a, b); break;
    case 14: cursor_back(); break;
    case 15: gfx_color(static_cast<uint32_t>(a), static_cast<uint32_t>(b), c); break;
    case 16: screen_palette(a, b, c, d); break;
    case 17: set_palette_entry(a, static_cast<uint32_t>(b)); break;
    case 18: gfx_out(a, b); break;
    case 19: gfx_inp(a); break;
    case 20: gfx_setmouse(a, b, c, d); break;
    case 21: set_viewport(a, b, c, d, static_cast<uint32_t>(in.value()), 1, static_cast<uint32_t>(in.value())); break;
    case 22: draw_box(a, b, c, d, 5, in.byte() & 1, kSolidLine); break;
    case 23: gfx_read_cell(a, b, c); break;
    case 24: gfx_width(a, b); break;
    case 25: screen_lock(); screen_unlock(a, b); break;
    case 26: key_buffer_push(a); text_release(read_key_text()); break;
    case 27: key_held(a); next_key_held(b); gfx_next_multikey(c); break;
    case 28: post_screen_event(ScreenEvent{a, {b, c, d, a}}); { ScreenEvent e; take_screen_event(&e); } break;
    case 29: key_buffer_push('\r'); key_buffer_push('x'); {
      char line[8];
      gfx_read_line(line, static_cast<int>(sizeof line) < a || a < 0 ? 0 : a);
    } break;
    case 30: key_buffer_push('k'); sleep_for(a < 1000 ? a : 1000, b & 3); break;
    case 31: text_release(text_concat(nullptr, text_from_bytes(reinterpret_cast<const char*>(bytes), length), -1,
                                      text_from_int(a), -1)); break;
    case 32: set_screen_title(text_from_bytes(reinterpret_cast<const char*>(bytes), length), -1); break;
    case 33: for (int i = 0; i < length; ++i) text[i] = bytes[i]; gfx_print(text, length, 0); break;
  }
  check_invariants();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t length) {
  if (length < 4 || length > 4096) return 0;
  stepped_sleep_function = no_sleep;
  file_record(0)->device = no_output;
  FuzzInput in(data, length);
  const int width = 1 + in.below(48);
  const int height = 1 + in.below(40);
  const int depth = kDepths[in.below(8)];
  const int pages = in.below(3);
  if (in.byte() & 1) set_screen_size(width, height, depth, pages, -1, 0);
  for (int step = 0; step < 48 && !in.empty(); ++step) call_one(in);
  close_screen_at_exit();
  set_view_rows(-1, -1);
  key_buffer = KeyBuffer{};
  if (text_pool_in_use() != 0) std::abort();
  return 0;
}
