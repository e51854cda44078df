// Printing bytes and wide characters on the graphics screen.
#include "gfx/text/text_output.h"

#include <array>
#include <bit>
#include <cstdlib>
#include <cstring>

#include "gfx/draw/draw_context.h"
#include "gfx/gfx_handlers.h"
#include "gfx/screen.h"
#include "common/text_writer.h"
#include "rt/routed.h"
#include "rt/runtime.h"

namespace {

// The print flag that lets a pending newline take effect without text.
constexpr int kPrintApplyPendingNewline = 8;

constexpr uint8_t kUnderlineByte = 0xFF;

// For each four bits of a glyph row (bit 0 leftmost), the four pixels they
// cover: 0xFF where the bit is set. Stored little-endian, byte k of the word
// is pixel k. A table per byte would be 2 KB of program.
constexpr std::array<uint32_t, 16> make_nibble_masks() {
  std::array<uint32_t, 16> masks{};
  for (int bits = 0; bits < 16; ++bits)
    for (int k = 0; k < 4; ++k)
      if ((bits >> k) & 1) masks[bits] |= uint32_t{0xFF} << (8 * k);
  return masks;
}
constexpr std::array<uint32_t, 16> kNibbleMasks = make_nibble_masks();
static_assert(std::endian::native == std::endian::little, "byte k of a stored word is pixel k");

uint64_t row_mask(uint8_t bits) {
  return uint64_t{kNibbleMasks[bits >> 4]} << 32 | kNibbleMasks[bits & 15];
}

void widen_band(PrintState* state, int first, int end) {
  if (state->dirty_start == state->dirty_end) {
    state->dirty_start = first;
    state->dirty_end = end;
    return;
  }
  if (first < state->dirty_start) state->dirty_start = first;
  if (end > state->dirty_end) state->dirty_end = end;
}

TextCell* work_page_cells(const DrawContext* context) {
  ScreenState* screen = screen_state;
  if (!screen || !screen->text_cells || context->work_page < 0 ||
      context->work_page >= screen->page_count)
    return nullptr;
  return screen->text_cells[context->work_page];
}

void blank_cells(TextCell* cells, int count, const DrawContext* context) {
  for (int i = 0; i < count; ++i) cells[i] = TextCell{32, context->foreground, context->background};
}

}  // namespace

int draw_glyph_run(TextWriter* writer, const uint8_t* bytes, int count) {
  auto* state = static_cast<PrintState*>(writer->user);
  DrawContext* context = state->context;
  ScreenState* screen = screen_state;
  const FontInfo* font = screen->font;
  const int fw = font->width;
  const int fh = font->height;
  // The writer keeps the cursor inside the text grid; a cursor placed
  // elsewhere by hand draws nothing rather than outside the page.
  if (writer->y < 0 || writer->y >= screen->text_rows || writer->x < 0 ||
      writer->x + count > screen->text_cols)
    return 1;

  int px = writer->x * fw;
  const int py = writer->y * fh;
  if (count == 1 && bytes[0] == kUnderlineByte) {
    for (int i = 0; i < fw; ++i) context->put_pixel(context, px + i, py + fh - 1, context->foreground);
  } else {
    const int bytes_per_row = (fw + 7) / 8;
    // On 8-bit screens the pixels are stored as the pixel routine would store
    // them, without its call per pixel: that call was most of the cost of a
    // page of text.
    const bool bytes_direct =
        context->target_bytes_per_pixel == 1 && context->put_pixel == depth_routines.put_pixel;
    // A row of eight pixels is one word: the foreground where the bit is
    // set, the background elsewhere.
    const uint64_t foreground_bytes = uint64_t{0x0101010101010101} * static_cast<uint8_t>(context->foreground);
    const uint64_t background_bytes = uint64_t{0x0101010101010101} * static_cast<uint8_t>(context->background);
    // Read once: a store of pixels may alias any of the records behind them.
    uint8_t* const* const lines = context->lines + py;
    const uint8_t* const font_data = font->data;
    const size_t glyph_bytes = static_cast<size_t>(fh) * bytes_per_row;
    for (int n = 0; n < count && bytes_direct; ++n) {
      const uint8_t* glyph = font_data + bytes[n] * glyph_bytes;
      const int x = px + n * fw;
      for (int j = 0; j < fh; ++j) {
        for (int b = 0; b < bytes_per_row; ++b) {
          const uint64_t mask = row_mask(glyph[j * bytes_per_row + b]);
          const uint64_t pixels = (foreground_bytes & mask) | (background_bytes & ~mask);
          std::memcpy(lines[j] + x + 8 * b, &pixels, sizeof pixels);
        }
      }
    }
    for (int n = 0; n < count && !bytes_direct; ++n) {
      const uint8_t* glyph = font->data + static_cast<size_t>(bytes[n]) * fh * bytes_per_row;
      for (int j = 0; j < fh; ++j) {
        for (int b = 0; b < bytes_per_row; ++b) {
          const uint8_t bits = glyph[j * bytes_per_row + b];
          for (int k = 0; k < 8; ++k) {
            const uint32_t colour = (bits >> k) & 1 ? context->foreground : context->background;
            context->put_pixel(context, px + 8 * b + k, py + j, colour);
          }
        }
      }
      px += fw;
    }
  }
  widen_band(state, py, py + fh);

  if (TextCell* cells = work_page_cells(context)) {
    TextCell* row = cells + static_cast<size_t>(writer->y) * screen->text_cols + writer->x;
    for (int i = 0; i < count; ++i) row[i] = TextCell{bytes[i], context->foreground, context->background};
  }
  return 1;
}

void scroll_text_window(TextWriter* writer, int left, int top, int right, int bottom, int lines) {
  auto* state = static_cast<PrintState*>(writer->user);
  DrawContext* context = state->context;
  ScreenState* screen = screen_state;
  const int fw = screen->font->width;
  const int fh = screen->font->height;
  const int bpp = context->target_bytes_per_pixel;

  const int t = top * fh;
  const int e = (bottom + 1) * fh;
  const int span = (right + 1 - left) * fw;
  const size_t x_offset = static_cast<size_t>(left) * fw * bpp;
  const int shift = lines * fh;
  int first_blank = t;
  if (shift < e - t) {
    for (int i = 0; i < e - t - shift; ++i)
      depth_routines.copy_span(context->lines[t + i] + x_offset,
                               context->lines[t + shift + i] + x_offset, span);
    first_blank = e - shift;
  }
  for (int row = first_blank; row < e; ++row)
    context->fill_span(context->lines[row] + x_offset, context->background, span);
  widen_band(state, t, e);

  if (TextCell* cells = work_page_cells(context)) {
    const int cols = screen->text_cols;
    const int width = right - left + 1;
    const int window_rows = bottom - top + 1;
    int blank_from = top;
    if (lines < window_rows) {
      for (int row = top; row <= bottom - lines; ++row)
        std::memmove(cells + static_cast<size_t>(row) * cols + left,
                     cells + static_cast<size_t>(row + lines) * cols + left,
                     static_cast<size_t>(width) * sizeof(TextCell));
      blank_from = bottom - lines + 1;
    }
    for (int row = blank_from; row <= bottom; ++row)
      blank_cells(cells + static_cast<size_t>(row) * cols + left, width, context);
  }
  writer->y = bottom;
}

void gfx_print(const uint8_t* bytes, int length, int flags) {
  DrawContext* context = get_draw_context();
  ScreenState* screen = screen_state;
  if (!screen || !context) return;
  if (length < 0) length = 0;
  if (!(flags & kPrintApplyPendingNewline) && length == 0) return;
  use_screen_target(context);
  select_color_routines(context, 0xFF000000u);
  screen_lock();

  const int cols = screen->text_cols;
  const int rows = screen->text_rows;
  if (cols <= 0 || rows <= 0) {
    screen_unlock_unmarked();
    return;
  }
  // The text view is the runtime's; it is kept inside the text grid here
  // so that no row below the cells is ever drawn on.
  int top = 0, bottom = 0;
  text_view_within(rows, &top, &bottom);

  PrintState state{context, 0, 0};
  TextWriter writer{&state, scroll_text_window, draw_glyph_run, 0, top, cols - 1, bottom,
                    screen->cursor_x, screen->cursor_y};

  if (screen->flags & kScreenPendingNewline) {
    screen->flags &= ~kScreenPendingNewline;
    writer.x = writer.left;
    writer.y += 1;
    if (writer.bottom != -1 && writer.y > writer.bottom)
      scroll_text_window(&writer, writer.left, writer.top, writer.right, writer.bottom,
                         writer.y - writer.bottom);
  }

  text_writer_write(&writer, bytes, length, 1);

  if (writer.x == writer.left && writer.y == writer.bottom + 1) {
    // The text filled the last column of the bottom row: the scroll waits
    // for the next print, which may never come.
    screen->flags |= kScreenPendingNewline;
    writer.x = writer.right;
    writer.y = writer.bottom;
  } else if (writer.bottom != -1 && writer.y > writer.bottom) {
    scroll_text_window(&writer, writer.left, writer.top, writer.right, writer.bottom,
                       writer.y - writer.bottom);
  }

  set_cursor(writer.y, writer.x);
  mark_changed_rows(context, state.dirty_start, state.dirty_end);
  screen_unlock_unmarked();
}

void gfx_print_wide(const uint16_t* units, int length, int flags) {
  if (length < 0 || !units) length = 0;
  uint8_t local[256] = {};
  uint8_t* bytes = local;
  if (length > static_cast<int>(sizeof local)) {
    bytes = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(length)));
    if (!bytes) return;
  }
  int count = 0;
  for (int i = 0; i < length; ++i) {
    const uint16_t unit = units[i];
    if (unit <= 0xFF) {
      bytes[count++] = static_cast<uint8_t>(unit);
      continue;
    }
    bytes[count++] = '?';
    // A leading surrogate and its partner are one character.
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < length) ++i;
  }
  gfx_print(bytes, count, flags);
  if (bytes != local) std::free(bytes);
}
