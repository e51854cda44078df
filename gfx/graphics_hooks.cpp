// Fills the HookTable with the graphics screen's handlers.
#include "gfx/gfx_handlers.h"
#include "gfx/input/key_input.h"
#include "gfx/screen.h"
#include "rt/hook_table.h"

void hook_table_fill_graphics() {
  hook_table() = HookTable{
      gfx_inkey,     gfx_getkey,   gfx_keyhit,      gfx_cls,          gfx_color,
      gfx_locate,    gfx_width,    gfx_pos,         gfx_csrlin,       gfx_get_xy,
      gfx_get_size,  gfx_print,    gfx_print_wide,  gfx_read_line,    gfx_multikey,
      gfx_getmouse,  gfx_setmouse, gfx_inp,         gfx_out,          gfx_view_changed,
      gfx_line_input, gfx_line_input_wide, gfx_read_cell, gfx_sleep,  gfx_answer_zero,
      gfx_pcopy,     gfx_screen_set,
  };
  bounded_key_held = {gfx_multikey, kKeyStateSize - 1};
}
