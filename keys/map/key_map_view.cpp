#include "keys/map/key_map_view.h"

#include <climits>

#include "gfx/draw/repeat_line.h"
#include "gfx/screen.h"
#include "keys/line_builder.h"
#include "keys/texts/screen_text.h"
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

namespace {

// The stuck bar: the lowest third of a box's inside, at least its last row.
long long bar_height(long long inside_height) { return inside_height / 3 > 0 ? inside_height / 3 : 1; }

}  // namespace

MapMarkShape key_map_mark_shape(uint8_t marks) {
  if (marks & kMapHeld) return marks & kMapStuckNow ? MapMarkShape::kBar : MapMarkShape::kNone;
  if (marks & kMapDefect) return MapMarkShape::kCross;
  if (marks & kMapChatter) return MapMarkShape::kStripes;
  return MapMarkShape::kNone;
}

int key_map_mark_spans(MapMarkShape shape, const PixelBox& box, int line, LineSpan* spans, int room) {
  if (spans == nullptr || room <= 0 || box.width < 3 || box.height < 3) return 0;
  // The inside, in 64 bits: a box near the int range must not overflow.
  const long long x = static_cast<long long>(box.x) + 1, y = static_cast<long long>(box.y) + 1;
  const long long width = box.width - 2, height = box.height - 2;
  const long long row = line - y;
  if (row < 0 || row >= height || x + width > INT_MAX) return 0;
  const auto span = [](long long first, long long count) {
    return LineSpan{static_cast<int>(first), static_cast<int>(count), kMapColourMark};
  };
  switch (shape) {
    case MapMarkShape::kStripes: {
      int count = 0;
      for (long long column = 0; column < width && count < room; column += 2) spans[count++] = span(x + column, 1);
      return count;
    }
    case MapMarkShape::kBar: {
      if (row < height - bar_height(height)) return 0;
      spans[0] = span(x, width);
      return 1;
    }
    case MapMarkShape::kCross: {
      // Row r covers the columns r * width / height up to the next row's
      // start, so the diagonals stay unbroken in a box wider than tall; no
      // more than a third of the width, so that a flat box shows two ends
      // apart rather than a bar.
      const long long first = row * width / height;
      long long count = (row + 1) * width / height - first;
      if (count > width / 3) count = width / 3;
      if (count < 1) count = 1;
      spans[0] = span(x + first, count);
      if (room < 2) return 1;
      spans[1] = span(x + width - first - count, count);
      return 2;
    }
    case MapMarkShape::kNone: break;
  }
  return 0;
}

int key_map_tested(const KeyboardLayout& layout, const KeyMapView& view) {
  int tested = 0;
  for (int i = 0; i < layout.count; ++i) {
    const int key = layout.keys[i].key;
    if (key >= 0 && key < kKeyIdCount && (view.marks[key] & kMapTested)) ++tested;
  }
  return tested;
}

void key_map_status_text(char* text, int size, int tested, int total, int most_held, UiLanguage language) {
  if (text == nullptr || size <= 0) return;
  TextBuffer buffer{text, static_cast<size_t>(size), 0};
  const LogWriter writer{write_to_text_buffer, &buffer};
  {
    LineBuilder out(writer);
    screen_text(out, ui_text(language, UiText::kStatusTested)).integer(tested).put('/').integer(total);
    screen_text(out, ui_text(language, UiText::kStatusMostHeld)).integer(most_held);
    screen_text(out, ui_text(language, UiText::kStatusMostHeldEnd));
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

// One line's spans: the boxes, then the marks over them (the later span
// wins); and the boxes redrawn over a copied line, each with its marks.
constexpr int kMaxLineSpans = 1024;
struct LineSpanBuffer {
  LineSpan spans[kMaxLineSpans];
  LineSpan patch[kMaxLineSpans];
};
LineSpanBuffer line_spans;

// Whether the shape's pixels on line y of the box may differ from those on
// the line above: stripes and the bar change only where they begin and
// end, the cross on every row.
bool mark_changes_at(MapMarkShape shape, const PixelBox& box, int y) {
  if (shape == MapMarkShape::kNone || box.width < 3 || box.height < 3) return false;
  const long long top = static_cast<long long>(box.y) + 1, end = static_cast<long long>(box.y) + box.height - 1;
  switch (shape) {
    case MapMarkShape::kStripes: return y == top || y == end;
    case MapMarkShape::kBar: return y == end - bar_height(end - top) || y == end;
    case MapMarkShape::kCross: return y >= top && y <= end;
    case MapMarkShape::kNone: break;
  }
  return false;
}

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
    key_map_status_text(count, sizeof count, key_map_tested(layout, view), layout.count, view.most_held,
                        ui_language());
    status = count;
  }
  locate(first_free_row, 1, 0, nullptr);
  print_value(0, text_literal_z(status), 0);

  place_boxes(layout, first_free_row * kGlyphHeight + kStatusGap, screen->height, screen->width);
  if (!map_lines.fits) return;
  // Each stretch of identical lines: its first line filled span by span in
  // one call, then repeated down. A tenth of the cost of filling every box.
  // A stretch crossing a finding's box goes line by line, still copying
  // what does not change (the stripes of chatter are the same all the way
  // down; only a cross changes on every line).
  const MapLines& m = map_lines;
  LineSpan* spans = line_spans.spans;
  MapMarkShape shapes[kMaxMapKeys];
  for (int b = 0; b + 1 < m.bound_count; ++b) {
    const int line = m.bounds[b], end = m.bounds[b + 1];
    int count = 0;
    bool marked = false;
    for (int c = m.first_crossing[b]; c < m.first_crossing[b + 1] && count < kMaxMapKeys; ++c) {
      const PixelBox& box = m.boxes[m.crossing[c]];
      const uint8_t marks = view.marks[layout.keys[m.crossing[c]].key];
      shapes[count] = key_map_mark_shape(marks);
      marked = marked || shapes[count] != MapMarkShape::kNone;
      spans[count++] = LineSpan{box.x, box.width, static_cast<uint32_t>(key_map_colour(marks))};
    }
    if (count == 0) continue;
    if (!marked) {
      fill_line_spans(line, spans, count);
      repeat_line(line, end - line - 1);
      continue;
    }
    // The first line whole, boxes and marks; each line after it a copy of
    // the line before, with only the boxes whose marks change there drawn
    // again over the copy.
    int total = count;
    for (int i = 0, c = m.first_crossing[b]; i < count; ++i, ++c)
      if (shapes[i] != MapMarkShape::kNone)
        total += key_map_mark_spans(shapes[i], m.boxes[m.crossing[c]], line, spans + total, kMaxLineSpans - total);
    fill_line_spans(line, spans, total);
    LineSpan* patch = line_spans.patch;
    int run_start = line, run = 0;
    for (int y = line + 1; y < end; ++y) {
      int patched = 0;
      for (int i = 0, c = m.first_crossing[b]; i < count; ++i, ++c) {
        const PixelBox& box = m.boxes[m.crossing[c]];
        if (!mark_changes_at(shapes[i], box, y) || patched >= kMaxLineSpans) continue;
        patch[patched++] = spans[i];
        patched += key_map_mark_spans(shapes[i], box, y, patch + patched, kMaxLineSpans - patched);
      }
      ++run;
      if (patched == 0) continue;
      repeat_line(run_start, run);
      fill_line_spans(y, patch, patched);
      run_start = y;
      run = 0;
    }
    repeat_line(run_start, run);
  }
}
