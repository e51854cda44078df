#include "keys/key_map_view.h"

#include "gfx/gfx_handlers.h"
#include "gfx/screen.h"
#include "keys/key_map_geometry.h"
#include "rt/routed.h"
#include "rt/text_value.h"

namespace {

constexpr int kGlyphHeight = 8;
constexpr int kStatusGap = 4;  // pixel rows between the status line and the map
constexpr int kMaxMapKeys = 128;

// Appends text at *used, keeping one byte for the terminator.
void append(char* text, int size, int* used, const char* part) {
  for (; *part != '\0' && *used + 1 < size; ++part) text[(*used)++] = *part;
}

void append_number(char* text, int size, int* used, int value) {
  char digits[12];
  int count = 0;
  unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
  do {
    digits[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) append(text, size, used, "-");
  while (count > 0 && *used + 1 < size) text[(*used)++] = digits[--count];
}

}  // namespace

int key_map_colour(uint8_t marks) {
  if (marks & kMapHeld) return kMapColourHeld;
  if (marks & kMapChatter) return kMapColourChatter;
  if (marks & kMapTested) return kMapColourTested;
  return kMapColourUntested;
}

int key_map_tested(const KeyboardLayout& layout, const KeyMapView& view) {
  int tested = 0;
  for (int i = 0; i < layout.count; ++i) {
    const int key = layout.keys[i].key;
    if (key >= 0 && key < kKeyIdCount && (view.marks[key] & kMapTested)) ++tested;
  }
  return tested;
}

void key_map_status_text(char* text, int size, int tested, int total, int most_held) {
  if (text == nullptr || size <= 0) return;
  int used = 0;
  append(text, size, &used, " Getestet: ");
  append_number(text, size, &used, tested);
  append(text, size, &used, "/");
  append_number(text, size, &used, total);
  append(text, size, &used, ", max. ");
  append_number(text, size, &used, most_held);
  append(text, size, &used, " gehalten");
  text[used] = '\0';
}

void draw_key_map(const KeyboardLayout& layout, const KeyMapView& view, int first_free_row) {
  const ScreenState* screen = screen_state;
  int columns = 0, rows = 0;
  get_text_size(&columns, &rows);
  if (screen == nullptr || first_free_row < 1 || first_free_row > rows) return;

  char status[48];
  key_map_status_text(status, sizeof status, key_map_tested(layout, view), layout.count,
                      view.most_held);
  locate(first_free_row, 1, 0, nullptr);
  print_value(0, text_literal_z(status), 0);

  PixelBox boxes[kMaxMapKeys];
  if (layout.count > kMaxMapKeys) return;
  const int top = first_free_row * kGlyphHeight + kStatusGap;
  if (key_map_boxes(layout, top, screen->height, screen->width, boxes) < 0) return;
  for (int i = 0; i < layout.count; ++i) {
    const PixelBox& box = boxes[i];
    const int key = layout.keys[i].key;
    const uint8_t marks = key >= 0 && key < kKeyIdCount ? view.marks[key] : 0;
    draw_box(box.x, box.y, box.x + box.width - 1, box.y + box.height - 1,
             static_cast<uint32_t>(key_map_colour(marks)), 1, kSolidLine);
  }
}
