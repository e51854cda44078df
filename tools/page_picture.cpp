// Draws the viewer's page for a set of held scancodes on a screen without a
// window and writes the frame as a PPM picture; prints the page's text too.
//   page_picture out.ppm [scancode ...]
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/viewer.h"
#include "gfx/draw/frame_picture.h"
#include "gfx/screen.h"

namespace {

int usage() {
  std::fprintf(stderr, "usage: page_picture OUTPUT.ppm [SCANCODE ...]  (scancodes 0 to 127)\n");
  return 2;
}

bool parse_scancode(const char* text, int* code) {
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0' || value < 0 || value >= kKeyStateSize) return false;
  *code = static_cast<int>(value);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return usage();
  if (set_screen_mode(13, 8, 0, kFlagNullDriver, 0) != 0 || !screen_state) {
    std::fprintf(stderr, "page_picture: the screen could not be opened\n");
    return 1;
  }
  for (int i = 2; i < argc; ++i) {
    int code = 0;
    if (!parse_scancode(argv[i], &code)) {
      std::fprintf(stderr, "page_picture: not a scancode: %s\n", argv[i]);
      return usage();
    }
    screen_state->key_state[code] = 1;
  }

  viewer_draw_page();

  if (write_frame_ppm(argv[1]) != 0) {
    std::fprintf(stderr, "page_picture: cannot write %s\n", argv[1]);
    return 1;
  }
  for (int row = 0; row < screen_state->text_rows; ++row)
    std::printf("%2d|%s\n", row + 1, decode_text_row(row).c_str());
  return 0;
}
