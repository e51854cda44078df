// The user's interface language as Windows gives it: the language of its
// menus and dialogs, which a German user reads, whatever the keyboard.
#include <windows.h>

#include "sys/ui_language.h"

namespace sys {

void user_interface_language(char* code, size_t size) {
  if (code == nullptr || size == 0) return;
  code[0] = '\0';
  const LANGID language = GetUserDefaultUILanguage();
  char name[16] = "";
  if (GetLocaleInfoA(MAKELCID(language, SORT_DEFAULT), LOCALE_SISO639LANGNAME, name, sizeof name) <= 0) return;
  size_t used = 0;
  for (const char* p = name; *p != '\0' && used + 1 < size; ++p)
    code[used++] = *p >= 'A' && *p <= 'Z' ? static_cast<char>(*p - 'A' + 'a') : *p;
  code[used] = '\0';
}

}  // namespace sys
