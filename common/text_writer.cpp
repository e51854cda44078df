// The text writer: control bytes, wrapping and lazy scrolling.
#include "common/text_writer.h"

#include <cstring>

#include "sys/platform.h"

namespace {

constexpr uint8_t kBell = 7;
constexpr uint8_t kBackspace = 8;
constexpr uint8_t kTab = 9;
constexpr uint8_t kLineFeed = 10;
constexpr uint8_t kCarriageReturn = 13;

const uint8_t kEightSpaces[8] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};

bool below_bottom(const TextWriter* writer) {
  return writer->bottom != -1 && writer->y > writer->bottom;
}

}  // namespace

bool text_writer_put_run(TextWriter* writer, const uint8_t* bytes, int count) {
  if (!writer || !bytes || !writer->draw || !writer->scroll) return false;
  if (writer->right < writer->left) return true;
  while (count > 0) {
    // A cursor left outside the window by its owner starts the next row at
    // the left edge instead of drawing a run of no or negative length.
    if (writer->x < writer->left) writer->x = writer->left;
    if (writer->x > writer->right) {
      writer->x = writer->left;
      writer->y += 1;
    }
    int k = writer->right - writer->x + 1;
    if (k > count) k = count;
    if (below_bottom(writer))
      writer->scroll(writer, writer->left, writer->top, writer->right, writer->bottom,
                     writer->y - writer->bottom);
    if (writer->draw(writer, bytes, k) != 1) return false;
    bytes += k;
    count -= k;
    writer->x += k;
    if (writer->x == writer->right + 1) {
      writer->x = writer->left;
      writer->y += 1;
    }
  }
  return true;
}

void text_writer_write(TextWriter* writer, const uint8_t* bytes, int count, int newline_flag) {
  if (!writer || !writer->draw || !writer->scroll || !bytes) return;
  const int64_t width = int64_t{writer->right} - writer->left + 1;
  if (width <= 0) return;

  uint8_t run[kTextRunCapacity];
  int run_length = 0;
  bool moved = false;
  // The local column includes the bytes gathered but not yet drawn; only
  // the column matters for tabs, backspaces and carriage returns.
  int lx = writer->x;

  for (int i = 0; i < count; ++i) {
    const uint8_t byte = bytes[i];
    if (byte == kBell) {
      sys::beep(1000, 250);
      continue;
    }

    bool control = false;
    int dx = 0, dy = 0;
    const uint8_t* printable = &bytes[i];
    int n = 1;
    switch (byte) {
      case kBackspace:
        control = true;
        dx = lx <= writer->left ? 0 : -1;
        break;
      case kTab: {
        int column = (lx - writer->left) % 8;
        if (column < 0) column += 8;
        n = 8 - column;
        printable = kEightSpaces;
        break;
      }
      case kLineFeed:
        control = true;
        dx = newline_flag ? writer->left - lx : 0;
        dy = 1;
        break;
      case kCarriageReturn:
        control = true;
        dx = writer->left - lx;
        break;
      default:
        break;
    }

    if (run_length > 0 && (control || run_length + n > kTextRunCapacity)) {
      if (!text_writer_put_run(writer, run, run_length)) return;
      run_length = 0;
      moved = false;
    }

    if (control) {
      writer->x += dx;
      writer->y += dy;
      lx = writer->x;
      moved = true;
      continue;
    }

    lx += n;
    if (lx > writer->right) lx = writer->left + (lx - writer->left) % width;
    std::memcpy(run + run_length, printable, static_cast<size_t>(n));
    run_length += n;
  }

  if (run_length > 0) {
    text_writer_put_run(writer, run, run_length);
  } else if (moved && below_bottom(writer)) {
    writer->scroll(writer, writer->left, writer->top, writer->right, writer->bottom,
                   writer->y - writer->bottom);
  }
}
