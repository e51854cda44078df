// Reading back what was printed where: the character or the colours of one
// text cell of the work page.
#include <cstddef>

#include "gfx/draw/colour.h"
#include "gfx/draw/draw_context.h"
#include "gfx/gfx_handlers.h"
#include "gfx/screen.h"

namespace {

constexpr int kReadBackground = 2;

}  // namespace

uint32_t gfx_read_cell(int column, int row, int flag) {
  ScreenState* screen = screen_state;
  if (!screen || !screen->text_cells) return 0;
  if (column < 1 || row < 1 || column > screen->text_cols || row > screen->text_rows) return 0;
  DrawContext* context = get_draw_context();
  const int page = context ? context->work_page : 0;
  if (page < 0 || page >= screen->page_count || !screen->text_cells[page]) return 0;

  const TextCell& cell =
      screen->text_cells[page][static_cast<size_t>(row - 1) * screen->text_cols + (column - 1)];
  if (flag == 0) return cell.character;
  if (screen->depth <= 4) return cell.background * 16 + cell.foreground;
  if (screen->depth <= 8) return cell.background * 256 + cell.foreground;
  const uint32_t colour = flag == kReadBackground ? cell.background : cell.foreground;
  if (screen->depth == 16) return widen_565(colour);
  return colour;
}
