// Searching the extension text of an OpenGL implementation.
#include "gfx/drivers/gl_extensions.h"

#include <cstring>

namespace {

// Copies at most the room left (keeping one byte for the terminator);
// returns the new length.
size_t append(char* buffer, size_t size, size_t length, const char* text) {
  while (*text && length + 1 < size) buffer[length++] = *text++;
  buffer[length] = '\0';
  return length;
}

}  // namespace

void gl_compose_extensions(char* buffer, size_t size, const char* gl_text, const char* wgl_text) {
  if (!buffer || size == 0) return;
  buffer[0] = '\0';
  size_t length = gl_text ? append(buffer, size, 0, gl_text) : 0;
  if (!wgl_text) return;
  if (length > 0 && buffer[length - 1] != ' ') length = append(buffer, size, length, " ");
  append(buffer, size, length, wgl_text);
}

bool extension_listed(const char* text, const char* name) {
  if (!text || !name || !*name) return false;
  const size_t name_length = std::strlen(name);
  for (const char* found = std::strstr(text, name); found; found = std::strstr(found + 1, name)) {
    // A name that merely ends or begins another one does not count.
    const bool starts = found == text || found[-1] == ' ';
    const char after = found[name_length];
    if (starts && (after == ' ' || after == '\0')) return true;
  }
  return false;
}
