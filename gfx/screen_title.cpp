// The window title: set by the program, or made from the program's file name.
#include <cstring>

#include "gfx/drivers/video_driver.h"
#include "gfx/screen.h"
#include "rt/runtime.h"
#include "rt/text_value.h"

namespace {
char window_title[128];
const char* title_in_use = nullptr;

// Finds an operand's bytes and length: size -1 means a TextValue.
void operand_bytes(const void* text, int size, const char** bytes, size_t* length) {
  *bytes = nullptr;
  *length = 0;
  if (!text) return;
  if (size == kTextValueOperand) {
    auto* value = static_cast<const TextValue*>(text);
    *bytes = value->data;
    *length = value->data ? text_length(value) : 0;
  } else {
    *bytes = static_cast<const char*>(text);
    *length = std::strlen(*bytes);
  }
}
}  // namespace

const char* screen_title() { return title_in_use; }

void set_screen_title(const void* text, int size) {
  const char* bytes = nullptr;
  size_t length = 0;
  operand_bytes(text, size, &bytes, &length);
  if (length > 127) length = 127;
  // The window layer keeps a pointer to this buffer and its thread reads it
  // when it makes a window again, so it is rewritten under the screen lock.
  screen_lock();
  std::memset(window_title, 0, sizeof window_title);
  if (bytes && length) std::memcpy(window_title, bytes, length);
  title_in_use = window_title;
  screen_unlock_unmarked();
  if (screen_state && screen_state->driver && screen_state->driver->set_window_title)
    screen_state->driver->set_window_title(window_title);
  if (size == kTextValueOperand && text) text_release(static_cast<TextValue*>(const_cast<void*>(text)));
}

// The program's file name without directory and extension.
void make_title_from_program_name() {
  char path[128];
  program_path(path, sizeof path);
  const char* name = path;
  for (const char* p = path; *p; ++p) {
    if (*p == '\\' || *p == '/') name = p + 1;
  }
  std::memset(window_title, 0, sizeof window_title);
  size_t length = std::strlen(name);
  if (length > sizeof window_title - 1) length = sizeof window_title - 1;
  std::memcpy(window_title, name, length);
  if (char* dot = std::strrchr(window_title, '.')) *dot = '\0';
  title_in_use = window_title;
}
