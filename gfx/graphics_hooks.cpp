// Fills the HookTable with the graphics screen's handlers, and the two
// handlers too small for a file of their own.
#include "gfx/gfx_handlers.h"
#include "gfx/input/key_input.h"
#include "gfx/screen.h"
#include "rt/hook_table.h"
#include "rt/stepped_sleep.h"

// The graphics screen's sleep: a key in the key buffer ends a long sleep.
// No lock is held while sleeping; key_buffer_take_hit locks only to test.
void gfx_sleep(int milliseconds) { stepped_sleep(milliseconds, key_buffer_take_hit, false); }

// The console query: the graphics screen has no console state to report.
int gfx_answer_zero() { return 0; }

void hook_table_fill_graphics() {
  hook_table() = HookTable{
      .read_key_text = gfx_inkey,
      .wait_key = gfx_getkey,
      .key_waiting = gfx_keyhit,
      .clear_screen = gfx_cls,
      .set_color = gfx_color,
      .locate = gfx_locate,
      .set_width = gfx_width,
      .get_column = gfx_pos,
      .get_row = gfx_csrlin,
      .get_cursor = gfx_get_xy,
      .get_text_size = gfx_get_size,
      .print_bytes = gfx_print,
      .print_wide = gfx_print_wide,
      .read_line = gfx_read_line,
      .key_held = gfx_multikey,
      .get_mouse = gfx_getmouse,
      .set_mouse = gfx_setmouse,
      .port_in = gfx_inp,
      .port_out = gfx_out,
      .view_changed = gfx_view_changed,
      .line_input = gfx_line_input,
      .line_input_wide = gfx_line_input_wide,
      .read_screen = gfx_read_cell,
      .sleep_wait = gfx_sleep,
      .console_query = gfx_answer_zero,
      .page_copy = gfx_pcopy,
      .page_set = gfx_screen_set,
  };
  bounded_key_held = {gfx_multikey, kKeyStateSize - 1, gfx_next_multikey};
}
