#include "keys/texts/ui_texts.h"

#include <atomic>

#include "sys/ui_language.h"

extern const UiTextTable kEnglishTexts;
extern const UiTextTable kGermanTexts;

namespace {

// In the order of UiLanguage.
const UiTextTable* const kTables[kUiLanguageCount] = {&kEnglishTexts, &kGermanTexts};

// Read by the menu on the window's thread, set once on the program's.
std::atomic<UiLanguage> current{UiLanguage::kEnglish};

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

const UiTextTable& ui_table(UiLanguage language) {
  const int index = static_cast<int>(language);
  return *kTables[index >= 0 && index < kUiLanguageCount ? index : 0];
}

const char* ui_text(UiLanguage language, UiText id) {
  const int index = static_cast<int>(id);
  if (index < 0 || index >= kUiTextCount) return "";
  return ui_table(language).texts[index].text;
}

char ui_decimal_mark(UiLanguage language) { return ui_table(language).decimal_mark; }

const char* ui_language_code(UiLanguage language) { return ui_table(language).code; }

bool ui_language_from_code(const char* code, UiLanguage* language) {
  if (code == nullptr) return false;
  for (int i = 0; i < kUiLanguageCount; ++i) {
    const char* own = kTables[i]->code;
    size_t length = 0;
    while (own[length] != '\0' && lower(code[length]) == own[length]) ++length;
    // The language alone, or followed by a region, a code page or a variant.
    const char after = code[length];
    if (own[length] == '\0' && (after == '\0' || after == '-' || after == '_' || after == '.' || after == '@')) {
      if (language != nullptr) *language = static_cast<UiLanguage>(i);
      return true;
    }
  }
  return false;
}

UiLanguage ui_language_of_system() {
  char code[16];
  sys::user_interface_language(code, sizeof code);
  UiLanguage language = UiLanguage::kEnglish;
  ui_language_from_code(code, &language);
  return language;
}

UiLanguage ui_language() { return current.load(std::memory_order_relaxed); }

void set_ui_language(UiLanguage language) {
  const int index = static_cast<int>(language);
  current.store(index >= 0 && index < kUiLanguageCount ? language : UiLanguage::kEnglish, std::memory_order_relaxed);
}
