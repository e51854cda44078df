// The graphics screen's handlers of the HookTable slots and the operations
// they share.
#pragma once

#include <cstdint>

struct TextValue;
struct DrawContext;
struct TextWriter;

// Text output.
void gfx_cls(int32_t mode);
int gfx_locate(int row, int column, int cursor);
int gfx_width(int columns, int rows);
int gfx_pos();
int gfx_csrlin();
void gfx_get_xy(int* column, int* row);
void gfx_get_size(int* columns, int* rows);
void gfx_print(const uint8_t* bytes, int length, int flags);
void gfx_print_wide(const uint16_t* units, int length, int flags);
void gfx_view_changed();
void make_text_cells(DrawContext* context, int create);
void fill_text_cells(int first_column, int first_row, int end_column, int end_row, int page,
                     uint16_t character, uint32_t foreground, uint32_t background);
int set_cursor(int row, int column);
void cursor_back();

// Palette and colours.
void screen_palette(int attribute, int value_or_red, int green, int blue);
void screen_palette_using(const int32_t* values);
void set_palette_entry(int attribute, uint32_t value);
void push_palette();
uint32_t gfx_color(uint32_t foreground, uint32_t background, int flags);
int gfx_inp(int port);
int gfx_out(int port, int value);
uint32_t rgb_to_native(int bytes_per_pixel, uint32_t colour);
uint32_t native_color(int bytes_per_pixel, uint32_t colour);

// Mouse, pages and viewport.
int gfx_getmouse(int* x, int* y, int* wheel, int* buttons, int* clip);
int gfx_setmouse(int x, int y, int cursor, int clip);
int gfx_pcopy(int source, int destination);
int gfx_screen_set(int work, int visible);

// The graphics viewport: the rectangle that clearing in mode 1 fills and that
// boxes are clipped to. Coordinates of -32768 mark an omitted argument.
constexpr int32_t kOmittedCoordinate = -32768;
constexpr uint32_t kViewportNoBorder = 0x40000000u;
constexpr uint32_t kViewportNoFill = 0x80000000u;
constexpr uint32_t kSolidLine = 0xFFFF;
// The viewport's pixels on the screen: columns x to x_end and rows y to
// y_end, ends exclusive. The viewport always lies on the screen; the clip
// keeps a stale one from reaching past a page.
struct PixelRect {
  int x, y, x_end, y_end;
};
PixelRect viewport_on_screen(const DrawContext* context);
// Fills the viewport with the background colour and puts the graphics
// cursor at its centre; the text cells are left alone.
void clear_viewport(DrawContext* context);
void centre_graphics_cursor(DrawContext* context);

void set_viewport(int x1, int y1, int x2, int y2, uint32_t fill, uint32_t border, uint32_t flags);
void draw_box(int x1, int y1, int x2, int y2, uint32_t colour, int filled, uint32_t style);
void order_corners(int* x1, int* y1, int* x2, int* y2);

// Line input and read-back.
char* gfx_read_line(char* buffer, int size);
int gfx_line_input(TextValue* prompt, void* destination, int size, int fill, int question,
                   int newline);
int gfx_line_input_wide(const uint16_t* prompt, uint16_t* destination, int size, int question,
                        int newline);
uint32_t gfx_read_cell(int column, int row, int flag);

// Sleeping and the answer-zero query.
void gfx_sleep(int milliseconds);
int gfx_answer_zero();
