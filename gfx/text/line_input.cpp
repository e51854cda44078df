// Line input on the graphics screen: a small line editor that echoes typed
// keys under a block cursor, and the line-input operations built on it.
#include <cstdlib>
#include <cstring>

#include "gfx/gfx_handlers.h"
#include "gfx/screen.h"
#include "rt/routed.h"
#include "rt/runtime.h"
#include "rt/text_value.h"

namespace {

constexpr uint8_t kCursorBlock = 0xDB;
constexpr int kBell = 7;
constexpr int kBackspace = 8;
constexpr int kEnter = 13;
constexpr int kNoLineRead = 4;

// The line the runtime reads for line input starts this large and doubles
// up to the limit; past it only Enter is taken.
constexpr int kFirstLineBytes = 256;
constexpr int kMaxLineBytes = 1 << 20;

void print(const void* bytes, int count) { gfx_print(static_cast<const uint8_t*>(bytes), count, 0); }

void print_byte(uint8_t byte) { print(&byte, 1); }

// Moves the cursor back onto the cell printed last. A print that filled the
// bottom-right cell leaves the cursor on that cell with a line feed pending;
// the cursor is already where it should be, and the pending line feed must
// not scroll the screen before the next key lands on that cell.
void step_back() {
  ScreenState* screen = screen_state;
  if (screen->flags & kScreenPendingNewline) {
    screen->flags &= ~kScreenPendingNewline;
    return;
  }
  cursor_back();
}

// Where the editor stores keys: a caller's buffer of fixed size, or one of
// its own that grows.
struct LineBuffer {
  char* bytes;
  int size;
  bool grows;
};

// True when byte i and a terminating 0 after it fit.
bool has_room(LineBuffer& line, int i) {
  if (i < line.size - 1) return true;
  if (!line.grows || line.size >= kMaxLineBytes) return false;
  const int size = line.size * 2 > kMaxLineBytes ? kMaxLineBytes : line.size * 2;
  char* grown = static_cast<char*>(std::realloc(line.bytes, static_cast<size_t>(size)));
  if (!grown) return false;
  line.bytes = grown;
  line.size = size;
  return true;
}

// Reads keys until Enter, echoing them; returns the number of bytes stored,
// the terminating 0 not counted. A line ended with room left keeps its 13.
// The buffer must hold at least one byte.
int edit_line(LineBuffer& line) {
  ScreenState* screen = screen_state;
  int i = 0;
  bool show_cursor = true;
  for (;;) {
    if (show_cursor) {
      print_byte(kCursorBlock);
      step_back();
    }
    show_cursor = true;
    const int key = wait_key();
    if (key <= 0 || key > 255 || key == kBell) continue;

    if (key == kBackspace) {
      if (i == 0) continue;
      step_back();
      if (screen->cursor_y < 0) {
        set_cursor(0, 0);
        print_byte(kCursorBlock);
      } else {
        const uint8_t erase[2] = {kCursorBlock, ' '};
        print(erase, 2);
        step_back();
      }
      --i;
      step_back();
      show_cursor = false;
      continue;
    }

    if (!has_room(line, i)) {
      if (key == kEnter) break;
      continue;
    }
    if (key == kEnter) {
      print_byte(' ');
      step_back();
    }
    line.bytes[i++] = static_cast<char>(key);
    print_byte(static_cast<uint8_t>(key));
    if (key == kEnter) break;
  }
  line.bytes[i] = 0;
  return i;
}

// The runtime's line editor for line input: the line typed, without its
// closing 13, as a temporary; none when no memory could be had for it.
TextValue* read_line_text() {
  LineBuffer line{static_cast<char*>(std::malloc(kFirstLineBytes)), kFirstLineBytes, true};
  if (!line.bytes) return nullptr;
  int length = edit_line(line);
  if (length > 0 && line.bytes[length - 1] == kEnter) --length;
  TextValue* value = text_temp(nullptr, length);
  if (value) {
    if (length) std::memcpy(value->data, line.bytes, static_cast<size_t>(length));
    value->data[length] = 0;
  }
  std::free(line.bytes);
  return value;
}

// Lets a pending line feed take effect before the prompt.
void settle_cursor() { gfx_print(nullptr, 0, 8); }

void print_question(int question) {
  if (question) print("? ", 2);
}

void finish_line(int newline) {
  if (newline) print("\r\n", 2);
}

}  // namespace

char* gfx_read_line(char* buffer, int size) {
  if (!screen_state || !buffer) return nullptr;
  // No room even for the terminating 0: nothing is read or stored.
  if (size <= 0) return buffer;
  LineBuffer line{buffer, size, false};
  edit_line(line);
  return buffer;
}

int gfx_line_input(TextValue* prompt, void* destination, int size, int fill, int question,
                   int newline) {
  if (!screen_state) {
    text_release(prompt);
    return set_error(kNoLineRead);
  }
  settle_cursor();
  if (prompt) {
    if (prompt->data) print(prompt->data, static_cast<int>(text_length(prompt)));
    print_question(question);
    text_release(prompt);
  }
  TextValue* line = read_line_text();
  finish_line(newline);
  if (!line) return set_error(kNoLineRead);
  text_assign(destination, size, line, kTextValueOperand, fill, 0);
  return set_error(0);
}

// The wide destination takes each byte of the line as one unit; like the
// narrow form, a size of 0 or less bounds nothing.
int gfx_line_input_wide(const uint16_t* prompt, uint16_t* destination, int size, int question,
                        int newline) {
  if (!screen_state) return set_error(kNoLineRead);
  settle_cursor();
  if (prompt) {
    int length = 0;
    while (prompt[length]) ++length;
    gfx_print_wide(prompt, length, 0);
    print_question(question);
  }
  TextValue* line = read_line_text();
  finish_line(newline);
  if (!line) return set_error(kNoLineRead);
  if (destination) {
    uint32_t count = text_length(line);
    if (size > 0 && count > static_cast<uint32_t>(size - 1)) count = static_cast<uint32_t>(size - 1);
    for (uint32_t n = 0; n < count; ++n) destination[n] = static_cast<uint8_t>(line->data[n]);
    destination[count] = 0;
  }
  text_release(line);
  return set_error(0);
}
