#include "keys/map/key_map_geometry.h"

#include <algorithm>

namespace {

constexpr int kSideMargin = 1;

}  // namespace

int key_map_boxes(const KeyboardLayout& layout, int top, int bottom, int screen_width,
                  PixelBox* boxes) {
  if (boxes == nullptr || layout.keys == nullptr || layout.width <= 0 || layout.height <= 0) return -1;
  const int span_x = screen_width - 2 * kSideMargin;
  if (top < 0 || bottom - top < kMinMapHeight || span_x < layout.width) return -1;
  // Pixels for the layout's height: the band, but no more than the width
  // gives a quarter unit, so that a 1 x 1 key stays square or flatter.
  const int span_y = std::min(bottom - top, layout.height * span_x / layout.width);
  const auto px = [&](int q) { return kSideMargin + q * span_x / layout.width; };
  const auto py = [&](int q) { return top + q * span_y / layout.height; };
  for (int i = 0; i < layout.count; ++i) {
    const MapKey& key = layout.keys[i];
    boxes[i] = PixelBox{px(key.x), py(key.y), px(key.x + key.width) - px(key.x) - 1,
                        py(key.y + key.height) - py(key.y) - 1};
  }
  return top + span_y;
}
