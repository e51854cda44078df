#include "keys/key_map_view.h"

#include "gfx/gfx_handlers.h"
#include "gfx/screen.h"
#include "keys/key_map_geometry.h"
#include "keys/line_builder.h"
#include "rt/routed.h"
#include "rt/text_value.h"

namespace {

constexpr int kGlyphHeight = 8;
constexpr int kStatusGap = 4;  // pixel rows between the status line and the map
constexpr int kMaxMapKeys = 128;

struct TextBuffer {
  char* text;
  int size;
  int used;
};

// Keeps what fits, and one byte for the terminator.
void write_to_buffer(void* context, const char* text, size_t length) {
  auto* buffer = static_cast<TextBuffer*>(context);
  for (size_t i = 0; i < length && buffer->used + 1 < buffer->size; ++i) buffer->text[buffer->used++] = text[i];
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
  TextBuffer buffer{text, size, 0};
  const LogWriter writer{write_to_buffer, &buffer};
  {
    LineBuilder out(writer);
    out.text(" Getestet: ").integer(tested).put('/').integer(total);
    out.text(", max. ").integer(most_held).text(" gehalten");
  }
  text[buffer.used] = '\0';
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
