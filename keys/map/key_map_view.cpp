#include "keys/map/key_map_view.h"

#include "gfx/draw/line_spans.h"
#include "gfx/draw/repeat_line.h"
#include "gfx/screen.h"
#include "keys/map/key_map_geometry.h"
#include "keys/line_builder.h"
#include "rt/routed.h"
#include "rt/text_value.h"

namespace {

constexpr int kGlyphHeight = 8;
constexpr int kStatusGap = 4;  // pixel rows between the status line and the map
constexpr int kMaxMapKeys = 128;

}  // namespace

int key_map_colour(uint8_t marks) {
  if (marks & kMapHeld) return marks & kMapStuckNow ? kMapColourStuck : kMapColourHeld;
  if (marks & kMapDefect) return kMapColourDefect;
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
  TextBuffer buffer{text, static_cast<size_t>(size), 0};
  const LogWriter writer{write_to_text_buffer, &buffer};
  {
    LineBuilder out(writer);
    out.text(" Getestet: ").integer(tested).put('/').integer(total);
    out.text(", max. ").integer(most_held).text(" gehalten");
  }
  text[buffer.used] = '\0';
}

namespace {

// The boxes of the map where it was last drawn, and the pixel lines where
// the set of boxes crossing a line changes: between two such lines every
// line is the same, so only its first is drawn box by box.
struct MapLines {
  const KeyboardLayout* layout = nullptr;
  int top = -1, bottom = -1, width = -1;
  bool fits = false;
  PixelBox boxes[kMaxMapKeys];
  int bounds[2 * kMaxMapKeys];
  int bound_count = 0;
  // For the first line of each stretch, the boxes crossing it, in a row:
  // crossing[first_crossing[b] .. first_crossing[b + 1] - 1].
  uint8_t crossing[4 * kMaxMapKeys];
  int first_crossing[2 * kMaxMapKeys + 1];
};

MapLines map_lines;  // the program's thread alone draws

void place_boxes(const KeyboardLayout& layout, int top, int bottom, int width) {
  MapLines& m = map_lines;
  if (m.layout == &layout && m.top == top && m.bottom == bottom && m.width == width) return;
  m.layout = &layout;
  m.top = top;
  m.bottom = bottom;
  m.width = width;
  m.fits = layout.count <= kMaxMapKeys && key_map_boxes(layout, top, bottom, width, m.boxes) >= 0;
  m.bound_count = 0;
  if (!m.fits) return;
  // Each box's top and the line below it, ascending, each once (a few
  // hundred values, sorted once per place: kept small rather than fast).
  const auto add_bound = [&m](int line) {
    int at = m.bound_count;
    while (at > 0 && m.bounds[at - 1] > line) --at;
    if (at > 0 && m.bounds[at - 1] == line) return;
    for (int j = m.bound_count; j > at; --j) m.bounds[j] = m.bounds[j - 1];
    m.bounds[at] = line;
    ++m.bound_count;
  };
  for (int i = 0; i < layout.count; ++i) {
    add_bound(m.boxes[i].y);
    add_bound(m.boxes[i].y + m.boxes[i].height);
  }
  int used = 0;
  for (int b = 0; b < m.bound_count; ++b) {
    m.first_crossing[b] = used;
    for (int i = 0; i < layout.count && used < 4 * kMaxMapKeys; ++i)
      if (m.bounds[b] >= m.boxes[i].y && m.bounds[b] < m.boxes[i].y + m.boxes[i].height)
        m.crossing[used++] = static_cast<uint8_t>(i);
  }
  m.first_crossing[m.bound_count] = used;
}

}  // namespace

int key_map_key_at(const KeyboardLayout& layout, int x, int y) {
  const MapLines& m = map_lines;
  if (m.layout != &layout || !m.fits) return -1;
  for (int i = 0; i < layout.count; ++i) {
    const PixelBox& box = m.boxes[i];
    if (x >= box.x && x < box.x + box.width && y >= box.y && y < box.y + box.height)
      return layout.keys[i].key;
  }
  return -1;
}

void draw_key_map(const KeyboardLayout& layout, const KeyMapView& view, int first_free_row,
                  const char* status) {
  const ScreenState* screen = screen_state;
  int columns = 0, rows = 0;
  get_text_size(&columns, &rows);
  if (screen == nullptr || first_free_row < 1 || first_free_row > rows) return;

  char count[48];
  if (status == nullptr) {
    key_map_status_text(count, sizeof count, key_map_tested(layout, view), layout.count,
                        view.most_held);
    status = count;
  }
  locate(first_free_row, 1, 0, nullptr);
  print_value(0, text_literal_z(status), 0);

  place_boxes(layout, first_free_row * kGlyphHeight + kStatusGap, screen->height, screen->width);
  if (!map_lines.fits) return;
  // Each stretch of identical lines: its first line filled span by span in
  // one call, then repeated down. A tenth of the cost of filling every box.
  const MapLines& m = map_lines;
  LineSpan spans[kMaxMapKeys];
  for (int b = 0; b + 1 < m.bound_count; ++b) {
    const int line = m.bounds[b];
    int count = 0;
    for (int c = m.first_crossing[b]; c < m.first_crossing[b + 1] && count < kMaxMapKeys; ++c) {
      const PixelBox& box = m.boxes[m.crossing[c]];
      const int key = layout.keys[m.crossing[c]].key;
      spans[count++] = LineSpan{box.x, box.width, static_cast<uint32_t>(key_map_colour(view.marks[key]))};
    }
    if (count == 0) continue;
    fill_line_spans(line, spans, count);
    repeat_line(line, m.bounds[b + 1] - line - 1);
  }
}
