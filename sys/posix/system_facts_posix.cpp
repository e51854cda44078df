// The native build's answers: the C library's local time, uname, and the
// US layout the rest of the POSIX platform layer assumes.
#include <sys/utsname.h>

#include <cstdio>
#include <ctime>

#include "sys/platform.h"
#include "sys/system_facts.h"

namespace sys {

bool local_time_now(LocalTime* time) {
  if (time == nullptr) return false;
  *time = LocalTime{};
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (now == static_cast<std::time_t>(-1) || localtime_r(&now, &local) == nullptr) return false;
  *time = LocalTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                    local.tm_min,         local.tm_sec,     static_cast<int>(local.tm_gmtoff / 60)};
  return true;
}

void system_version_text(char* text, size_t size) {
  if (text == nullptr || size == 0) return;
  utsname name{};
  if (uname(&name) != 0) {
    std::snprintf(text, size, "unknown");
    return;
  }
  std::snprintf(text, size, "%s %s", name.sysname, name.release);
}

void keyboard_layout_text(char* text, size_t size) {
  if (text == nullptr || size == 0) return;
  std::snprintf(text, size, "layout %08x (assumed: no window system)",
                static_cast<unsigned>(keyboard_language_id()));
}

void system_text_to_utf8(const char* text, char* utf8, size_t size) {
  if (utf8 == nullptr || size == 0) return;
  size_t used = 0;
  for (; text != nullptr && text[used] != '\0' && used + 1 < size; ++used) utf8[used] = text[used];
  // A character cut at its middle is dropped whole.
  size_t end = used;
  while (end > 0 && (static_cast<unsigned char>(utf8[end - 1]) & 0xC0) == 0x80) --end;
  if (end > 0 && end < used && static_cast<unsigned char>(utf8[end - 1]) >= 0xC0) {
    const unsigned char lead = static_cast<unsigned char>(utf8[end - 1]);
    const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    if (used - (end - 1) < length) used = end - 1;
  }
  utf8[used] = '\0';
}

}  // namespace sys
