// The language of messages as a POSIX program finds it: the first of
// LC_ALL, LC_MESSAGES and LANG that is set, "de_DE.UTF-8" read as "de".
#include <cstdlib>
#include <initializer_list>

#include "sys/ui_language.h"

namespace sys {

void user_interface_language(char* code, size_t size) {
  if (code == nullptr || size == 0) return;
  code[0] = '\0';
  const char* locale = nullptr;
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    locale = std::getenv(name);
    if (locale != nullptr && locale[0] != '\0') break;
  }
  if (locale == nullptr) return;
  // The language is the leading letters; "C" and "POSIX" name none.
  size_t length = 0;
  while (locale[length] >= 'a' && locale[length] <= 'z') ++length;
  if (length < 2 || length > 3 || (locale[length] != '\0' && locale[length] != '_' && locale[length] != '.' &&
                                   locale[length] != '@'))
    return;
  size_t used = 0;
  for (; used < length && used + 1 < size; ++used) code[used] = locale[used];
  code[used] = '\0';
}

}  // namespace sys
