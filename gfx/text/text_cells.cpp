// The text shadow of the screen: one array of cells per page.
#include <cstdlib>

#include "gfx/draw/draw_context.h"
#include "gfx/gfx_handlers.h"
#include "gfx/screen.h"

namespace {

void free_text_cells(ScreenState* screen) {
  if (!screen->text_cells) return;
  for (int page = 0; page < screen->page_count; ++page) std::free(screen->text_cells[page]);
  std::free(screen->text_cells);
  screen->text_cells = nullptr;
}

}  // namespace

void make_text_cells(DrawContext* context, int create) {
  ScreenState* screen = screen_state;
  if (!screen) return;
  free_text_cells(screen);
  if (!create) return;

  screen->text_cells =
      static_cast<TextCell**>(std::calloc(static_cast<size_t>(screen->page_count), sizeof(TextCell*)));
  if (!screen->text_cells) return;
  size_t count = 0;
  if (screen->text_cols > 0 && screen->text_rows > 0)
    count = static_cast<size_t>(screen->text_cols) * static_cast<size_t>(screen->text_rows);
  // At least one cell per page, so that a screen too small for text still
  // has its arrays and a failed allocation stays recognisable.
  if (count == 0) count = 1;
  for (int page = 0; page < screen->page_count; ++page) {
    screen->text_cells[page] = static_cast<TextCell*>(std::calloc(count, sizeof(TextCell)));
    if (!screen->text_cells[page]) {
      free_text_cells(screen);
      return;
    }
  }
  const uint32_t foreground = context ? context->foreground : 0;
  const uint32_t background = context ? context->background : 0;
  const int work_page = context ? context->work_page : 0;
  fill_text_cells(0, 0, screen->text_cols, screen->text_rows, work_page, 32, foreground, background);
}

void fill_text_cells(int first_column, int first_row, int end_column, int end_row, int page,
                     uint16_t character, uint32_t foreground, uint32_t background) {
  ScreenState* screen = screen_state;
  if (!screen || !screen->text_cells || page < 0 || page >= screen->page_count) return;
  if (first_column < 0) first_column = 0;
  if (first_row < 0) first_row = 0;
  if (end_column > screen->text_cols) end_column = screen->text_cols;
  if (end_row > screen->text_rows) end_row = screen->text_rows;
  TextCell* cells = screen->text_cells[page];
  for (int row = first_row; row < end_row; ++row) {
    TextCell* line = cells + static_cast<size_t>(row) * screen->text_cols;
    for (int column = first_column; column < end_column; ++column)
      line[column] = TextCell{character, foreground, background};
  }
}
