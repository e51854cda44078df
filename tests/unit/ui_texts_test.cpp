// The texts by language: every table complete, the screen's texts in its
// font, a language found from its code and from the system, and the hover
// line's forms at every width with no word cut.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

#include "keys/key_names.h"
#include "keys/line_builder.h"
#include "keys/map/key_map_hover.h"
#include "keys/map/key_map_view.h"
#include "keys/texts/screen_text.h"
#include "keys/texts/ui_texts.h"
#include "sys/ui_language.h"

namespace {

UiLanguage language_at(int index) { return static_cast<UiLanguage>(index); }

template <typename Write>
std::string written(Write write) {
  std::string text;
  const LogWriter writer{[](void* context, const char* data, size_t length) {
                           static_cast<std::string*>(context)->append(data, length);
                         },
                         &text};
  {
    LineBuilder out(writer);
    write(out);
  }
  return text;
}

// The texts that go onto the screen, through its code page.
constexpr UiText kScreenTexts[] = {UiText::kStatusTested,  UiText::kStatusMostHeld, UiText::kStatusMostHeldEnd,
                                   UiText::kHoverUntested, UiText::kHoverPressed,   UiText::kHoverChattered,
                                   UiText::kHoverChatter,  UiText::kHoverGap,       UiText::kHoverGapShort,
                                   UiText::kHoverHold,     UiText::kHoverHoldShort};

TEST(UiTexts, EveryLanguageHasEveryTextAndItsOwnCodeAndNumbers) {
  std::set<std::string> codes;
  for (int language = 0; language < kUiLanguageCount; ++language) {
    const UiTextTable& table = ui_table(language_at(language));
    SCOPED_TRACE(table.code);
    EXPECT_TRUE(codes.insert(table.code).second);
    EXPECT_TRUE(table.decimal_mark == '.' || table.decimal_mark == ',');
    for (int id = 0; id < kUiTextCount; ++id) {
      EXPECT_EQ(static_cast<int>(table.texts[id].id), id);
      const char* text = ui_text(language_at(language), static_cast<UiText>(id));
      ASSERT_NE(text, nullptr) << id;
      EXPECT_STRNE(text, "") << id;
    }
    // Every screen text can be drawn in the screen's font.
    for (UiText id : kScreenTexts) {
      const std::string shown = written([&](LineBuilder& out) { screen_text(out, ui_text(language_at(language), id)); });
      EXPECT_EQ(shown.find('?'), std::string::npos) << static_cast<int>(id) << ": " << shown;
    }
  }
  EXPECT_STREQ(ui_text(UiLanguage::kGerman, UiText::kCount), "");
  EXPECT_STREQ(ui_text(UiLanguage::kGerman, static_cast<UiText>(-1)), "");
  // A language out of range speaks the first.
  EXPECT_STREQ(ui_text(language_at(77), UiText::kMenuReset), ui_text(UiLanguage::kEnglish, UiText::kMenuReset));
  EXPECT_EQ(ui_decimal_mark(UiLanguage::kGerman), ',');
  EXPECT_EQ(ui_decimal_mark(UiLanguage::kEnglish), '.');
}

TEST(UiTexts, ScreenTextPutsTheGermanLettersAtTheirCodePagePlaces) {
  struct Case {
    const char* utf8;
    const char* shown;
  } cases[] = {
      {"gedr\xC3\xBC" "ckt", "gedr\x81" "ckt"},
      {"\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x84\xC3\x96\xC3\x9C\xC3\x9F\xC3\xA9", "\x84\x94\x81\x8E\x99\x9A\xE1\x82"},
      {"5 \xE2\x82\xAC", "5 ?"},         // a euro sign the font lacks
      {"\xF0\x9F\x98\x80!", "?!"},       // four bytes, one character
      {"a\x80z", "a?z"},                 // a stray continuation byte
      {"a\xC3", "a?"},                   // a lead byte at the end
      {"\xC3z", "?z"},                   // a lead byte without its follower
      {"", ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(written([&](LineBuilder& out) { screen_text(out, c.utf8); }), c.shown) << c.utf8;
  EXPECT_EQ(written([](LineBuilder& out) { screen_text(out, nullptr); }), "");
}

TEST(UiTexts, NumbersFollowTheDecimalMarkOnlyWhereAPersonReadsThem) {
  EXPECT_EQ(written([](LineBuilder& out) { out.set_decimal_mark(',').milliseconds(4000).put(' ').milliseconds(-1500); }),
            "4,000 -1,500");
  EXPECT_EQ(written([](LineBuilder& out) { out.set_decimal_mark(',').thousandths(12345); }), "12.345");
  EXPECT_EQ(written([](LineBuilder& out) { out.milliseconds(4000); }), "4.000");
  // Columns count characters: an umlaut takes one.
  EXPECT_EQ(written([](LineBuilder& out) { out.text("Abst\xC3\xA4nde").pad_to(10).put('|'); }),
            "Abst\xC3\xA4nde  |");
}

TEST(UiTexts, ALanguageFromItsCodeWithRegionCodePageOrVariant) {
  struct Case {
    const char* code;
    bool found;
    UiLanguage language;
  } cases[] = {
      {"de", true, UiLanguage::kGerman},          {"DE", true, UiLanguage::kGerman},
      {"de-AT", true, UiLanguage::kGerman},       {"de_DE.UTF-8", true, UiLanguage::kGerman},
      {"de@euro", true, UiLanguage::kGerman},     {"en", true, UiLanguage::kEnglish},
      {"en_US", true, UiLanguage::kEnglish},      {"deu", false, UiLanguage::kEnglish},
      {"d", false, UiLanguage::kEnglish},         {"", false, UiLanguage::kEnglish},
      {"fr_FR", false, UiLanguage::kEnglish},     {"C", false, UiLanguage::kEnglish},
      {nullptr, false, UiLanguage::kEnglish},
  };
  for (const Case& c : cases) {
    UiLanguage language = UiLanguage::kEnglish;
    EXPECT_EQ(ui_language_from_code(c.code, &language), c.found) << (c.code ? c.code : "null");
    EXPECT_EQ(language, c.language) << (c.code ? c.code : "null");
  }
  EXPECT_TRUE(ui_language_from_code("de", nullptr));
}

TEST(UiTexts, TheProgramsLanguageIsSetOnceAndStaysInRange) {
  const UiLanguage before = ui_language();
  set_ui_language(UiLanguage::kGerman);
  EXPECT_EQ(ui_language(), UiLanguage::kGerman);
  set_ui_language(language_at(42));
  EXPECT_EQ(ui_language(), UiLanguage::kEnglish);
  set_ui_language(before);
}

#ifndef _WIN32
// The messages' locale as POSIX programs read it: LC_ALL before LC_MESSAGES
// before LANG, the first that is set and not empty.
TEST(UiTexts, PosixSystemLanguageFromTheLocaleVariables) {
  struct Case {
    const char* all;
    const char* messages;
    const char* lang;
    const char* code;
    UiLanguage language;
  } cases[] = {
      {nullptr, nullptr, "de_DE.UTF-8", "de", UiLanguage::kGerman},
      {nullptr, "en_GB.UTF-8", "de_DE.UTF-8", "en", UiLanguage::kEnglish},
      {"de_AT", "en_GB", "en_US", "de", UiLanguage::kGerman},
      {"", "de_CH.UTF-8", "", "de", UiLanguage::kGerman},
      {nullptr, nullptr, "C.UTF-8", "", UiLanguage::kEnglish},
      {nullptr, nullptr, "POSIX", "", UiLanguage::kEnglish},
      {nullptr, nullptr, "fr_FR.UTF-8", "fr", UiLanguage::kEnglish},
      {nullptr, nullptr, "germanic", "", UiLanguage::kEnglish},
      {nullptr, nullptr, nullptr, "", UiLanguage::kEnglish},
  };
  const char* names[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
  std::string saved[3];
  bool had[3];
  for (int i = 0; i < 3; ++i) {
    const char* value = std::getenv(names[i]);
    had[i] = value != nullptr;
    if (had[i]) saved[i] = value;
  }
  for (const Case& c : cases) {
    const char* values[] = {c.all, c.messages, c.lang};
    for (int i = 0; i < 3; ++i) {
      if (values[i] != nullptr) setenv(names[i], values[i], 1);
      else unsetenv(names[i]);
    }
    char code[8];
    sys::user_interface_language(code, sizeof code);
    EXPECT_STREQ(code, c.code) << (c.lang ? c.lang : "none");
    EXPECT_EQ(ui_language_of_system(), c.language) << (c.lang ? c.lang : "none");
  }
  char small[2];
  setenv("LC_ALL", "de_DE", 1);
  sys::user_interface_language(small, sizeof small);
  EXPECT_STREQ(small, "d");
  sys::user_interface_language(nullptr, 4);
  for (int i = 0; i < 3; ++i) {
    if (had[i]) setenv(names[i], saved[i].c_str(), 1);
    else unsetenv(names[i]);
  }
}
#endif

// What the hover line may say in a language: the words of its texts, the
// key's name and scancode, counts and durations. A word cut in the middle
// is none of them.
std::set<std::string> hover_words(UiLanguage language, int key) {
  std::set<std::string> words;
  std::string all = std::string(key_name(key)) + " " + written([key](LineBuilder& out) {
                      scancode_text(out.put('('), key).put(')');
                    });
  for (UiText id : kScreenTexts) {
    all += ' ';
    all += written([&](LineBuilder& out) { screen_text(out, ui_text(language, id)); });
  }
  std::string word;
  for (char c : all + " ") {
    if (c == ' ' || c == ',' || c == ':') {
      if (!word.empty()) words.insert(word);
      word.clear();
    } else {
      word += c;
    }
  }
  return words;
}

// "3x", "250", "1,2s", "4.0ms", "ms", "s", "-".
bool figure_word(const std::string& word, char mark) {
  if (word == "ms" || word == "s" || word == "-") return true;
  size_t i = 0;
  while (i < word.size() && std::isdigit(static_cast<unsigned char>(word[i]))) ++i;
  if (i == 0) return false;
  if (i < word.size() && word[i] == mark) {
    ++i;
    if (i == word.size() || !std::isdigit(static_cast<unsigned char>(word[i]))) return false;
    ++i;
  }
  const std::string rest = word.substr(i);
  return rest.empty() || rest == "x" || rest == "ms" || rest == "s" || rest.rfind("x", 0) == 0;
}

TEST(KeyMapHoverForms, AtEveryWidthInEveryLanguageNoWordIsCutAndTheFiguresFitTheStatusLine) {
  const KeyFigures cases[] = {
      {0, 0, 0, -1, 0, 0},                 // untested
      {1, 0, 0, -1, 98'000, 1},            // one press
      {3, 1, 0, 4'000, 90'000, 1},         // chatter
      {1234, 567, 89, 300, 3'600'000'000, 2},  // large figures
      {12, 0, 2, 250'000, 1'250'000, 1},
  };
  // Short and long names, with and without a prefix.
  const int keys[] = {0x1E, 0x2A, make_key_id(0x1C, kPrefixE0), make_key_id(0x45, kPrefixE1), 0x70};
  for (int language = 0; language < kUiLanguageCount; ++language) {
    const UiLanguage lang = language_at(language);
    const char mark = ui_decimal_mark(lang);
    for (const int key : keys) {
      const std::set<std::string> words = hover_words(lang, key);
      for (const KeyFigures& figures : cases) {
        for (int width = 0; width <= 100; ++width) {
          char text[128];
          key_map_hover_text(text, sizeof text, width, key, figures, lang);
          const std::string line = text;
          SCOPED_TRACE(std::string(ui_language_code(lang)) + " at " + std::to_string(width) + ": '" + line + "'");
          ASSERT_LE(static_cast<int>(line.size()), width);
          std::string word;
          for (char c : line + " ") {
            if (c == ' ' || c == ',' || c == ':') {
              if (!word.empty()) {
                EXPECT_TRUE(words.count(word) > 0 || figure_word(word, mark)) << word;
              }
              word.clear();
            } else {
              word += c;
            }
          }
          // The status line's 39 columns always carry the presses of a
          // pressed key, in every language, for any count a test makes.
          if (width == 39 && figures.presses > 0 && figures.presses < 100) {
            EXPECT_NE(line.find(std::to_string(figures.presses) + "x"), std::string::npos);
          }
        }
      }
    }
  }
}

TEST(KeyMapViewStatus, FitsTheLineInEveryLanguage) {
  for (int language = 0; language < kUiLanguageCount; ++language) {
    char text[64];
    key_map_status_text(text, sizeof text, 999, 999, 999, language_at(language));
    EXPECT_LT(std::strlen(text), 40u) << text;
  }
}

}  // namespace
