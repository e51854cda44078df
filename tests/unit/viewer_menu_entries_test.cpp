// The viewer's menu entries: ids the window menu can carry, each id back to
// its command, the marks, and the name the Save dialog proposes.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <map>
#include <set>

#include "app/save_form.h"
#include "app/viewer_menu_entries.h"

namespace {

TEST(ViewerMenuEntries, EveryIdLeadsBackToItsCommandAndNoOtherIdIsOurs) {
  int count = 0;
  const ViewerMenuEntry* entries = viewer_menu_entries(&count);
  ASSERT_EQ(count, 18);
  for (int i = 0; i < count; ++i) {
    const unsigned id = viewer_menu_id(i);
    // The window menu keeps an id's low four bits, and its own ids start at 0xF000.
    EXPECT_EQ(id & 15u, 0u);
    EXPECT_LT(id, 0xF000u);
    ViewerCommand command;
    ASSERT_TRUE(viewer_menu_command(id, &command)) << i;
    EXPECT_EQ(command, entries[i].command) << i;
    for (unsigned near : {id + 1, id + 8, id - 1})
      EXPECT_FALSE(viewer_menu_command(near, &command)) << std::hex << near;
  }
  ViewerCommand command;
  for (unsigned outside : {0u, 0xFFFu, viewer_menu_id(count - 1) + 16, 0xF060u, 0xFFFFFFFFu})
    EXPECT_FALSE(viewer_menu_command(outside, &command)) << std::hex << outside;
  EXPECT_TRUE(viewer_menu_command(viewer_menu_id(0), nullptr));
}

TEST(ViewerMenuEntries, TheMapEntryIsCheckedWhileShownAndOneLayoutAndOneThresholdCarryTheRadioMark) {
  struct Case {
    bool shown;
    MapLayout layout;
    ViewerCommand marked;
    int custom_ms, chatter_ms;
    ViewerCommand threshold;  // carries the mark; the custom entry is present with a custom value
  } cases[] = {
      {true, MapLayout::kAnsi, ViewerCommand::kLayoutAnsi, 0, 30, ViewerCommand::kThreshold30},
      {false, MapLayout::kIso, ViewerCommand::kLayoutIso, 0, 5, ViewerCommand::kThreshold5},
      {true, MapLayout::kJis, ViewerCommand::kLayoutJis, 8, 8, ViewerCommand::kThresholdCustom},
      {false, MapLayout::kAnsiTkl, ViewerCommand::kLayoutAnsiTkl, 8, 120, ViewerCommand::kThreshold120},
      {true, MapLayout::kIsoTkl, ViewerCommand::kLayoutIsoTkl, 999, 999, ViewerCommand::kThresholdCustom},
  };
  int count = 0;
  const ViewerMenuEntry* entries = viewer_menu_entries(&count);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.chatter_ms);
    viewer_set_custom_threshold(c.custom_ms);
    EXPECT_EQ(viewer_menu_present(ViewerCommand::kThresholdCustom), c.custom_ms > 0);
    int layouts_marked = 0, thresholds_marked = 0;
    for (int i = 0; i < count; ++i) {
      const bool checked = viewer_menu_checked(entries[i].command, c.shown, c.layout, c.chatter_ms);
      if (entries[i].command == ViewerCommand::kToggleMap) {
        EXPECT_EQ(checked, c.shown);
      } else if (entries[i].submenu == ViewerSubmenu::kLayout) {
        layouts_marked += checked ? 1 : 0;
        EXPECT_EQ(checked, entries[i].command == c.marked);
      } else if (entries[i].submenu == ViewerSubmenu::kThreshold) {
        thresholds_marked += checked ? 1 : 0;
        EXPECT_EQ(checked, entries[i].command == c.threshold) << static_cast<int>(entries[i].command);
      } else {
        EXPECT_FALSE(checked) << static_cast<int>(entries[i].command);
      }
    }
    EXPECT_EQ(layouts_marked, 1);
    EXPECT_EQ(thresholds_marked, 1);
  }
  viewer_set_custom_threshold(0);
}

TEST(ViewerMenuEntries, ThresholdLabelsAndTheCustomValueOnlyWhenNoneOfTheFixedOnes) {
  struct Case {
    int given_ms;
    int custom_ms;
    const char* custom_label;
  } cases[] = {{30, 0, ""}, {8, 8, "8 ms"}, {1000, 1000, "1000 ms"}, {0, 0, ""}, {1001, 0, ""}, {-5, 0, ""}};
  for (const Case& c : cases) {
    viewer_set_custom_threshold(c.given_ms);
    EXPECT_EQ(viewer_custom_threshold(), c.custom_ms) << c.given_ms;
    char label[16];
    viewer_threshold_label(ViewerCommand::kThresholdCustom, label, sizeof label);
    EXPECT_STREQ(label, c.custom_label);
  }
  viewer_set_custom_threshold(0);
  char label[16];
  viewer_threshold_label(ViewerCommand::kThreshold120, label, sizeof label);
  EXPECT_STREQ(label, "120 ms");
  viewer_threshold_label(ViewerCommand::kReset, label, sizeof label);
  EXPECT_STREQ(label, "");
  char small[3];
  viewer_threshold_label(ViewerCommand::kThreshold120, small, sizeof small);
  EXPECT_STREQ(small, "12");
  viewer_threshold_label(ViewerCommand::kThreshold5, nullptr, 4);
}

TEST(ViewerMenuEntries, ProposedNameIsInTheLanguageDatedPaddedClampedAndCut) {
  constexpr UiLanguage de = UiLanguage::kGerman, en = UiLanguage::kEnglish;
  struct Case {
    UiLanguage language;
    int year, month, day, hour, minute, second;
    const char* name;
  } cases[] = {
      {de, 2026, 3, 7, 9, 5, 1, "Tastaturtest-2026-03-07-090501.html"},
      {de, 2026, 12, 31, 23, 59, 60, "Tastaturtest-2026-12-31-235960.html"},
      {de, -5, 0, 0, -1, 99, 99, "Tastaturtest-0000-01-01-005960.html"},
      {de, 123456, 13, 32, 24, 60, 61, "Tastaturtest-9999-12-31-235960.html"},
      {en, 2026, 3, 7, 9, 5, 1, "keyboard-test-2026-03-07-090501.html"},
      {static_cast<UiLanguage>(99), 2026, 3, 7, 9, 5, 1, "keyboard-test-2026-03-07-090501.html"},
  };
  for (const Case& c : cases) {
    char name[64];
    std::memset(name, 'x', sizeof name);
    proposed_report_name(c.year, c.month, c.day, c.hour, c.minute, c.second, c.language, name, sizeof name);
    EXPECT_STREQ(name, c.name);
  }
  char small[6];
  proposed_report_name(2026, 1, 1, 0, 0, 0, de, small, sizeof small);
  EXPECT_STREQ(small, "Tasta");
  proposed_report_name(2026, 1, 1, 0, 0, 0, de, small, 0);  // nothing written, no crash
  proposed_report_name(2026, 1, 1, 0, 0, 0, de, nullptr, 10);
}

// Each menu in each language: every label has one access letter, and no two
// entries of one menu share it, or a letter would choose the wrong one.
TEST(ViewerMenuEntries, EveryLabelInEveryLanguageHasAnAccessLetterOfItsOwnInItsMenu) {
  int count = 0;
  const ViewerMenuEntry* entries = viewer_menu_entries(&count);
  for (int language = 0; language < kUiLanguageCount; ++language) {
    const auto lang = static_cast<UiLanguage>(language);
    SCOPED_TRACE(ui_language_code(lang));
    std::map<ViewerSubmenu, std::set<char>> letters;
    const auto take = [&](ViewerSubmenu menu, const char* label) {
      const char* amp = std::strchr(label, '&');
      ASSERT_NE(amp, nullptr) << label;
      EXPECT_EQ(std::strchr(amp + 1, '&'), nullptr) << label;
      const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(amp[1])));
      EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(letter))) << label;
      EXPECT_TRUE(letters[menu].insert(letter).second) << label;
    };
    bool layout_seen = false, threshold_seen = false;
    for (int i = 0; i < count; ++i) {
      char label[64];
      viewer_menu_label(entries[i], lang, label, sizeof label);
      if (entries[i].submenu == ViewerSubmenu::kThreshold) {
        // Made from the value, the same in every language.
        if (!threshold_seen) take(ViewerSubmenu::kNone, viewer_submenu_label(ViewerSubmenu::kThreshold, lang));
        threshold_seen = true;
        continue;
      }
      if (entries[i].submenu == ViewerSubmenu::kLayout && !layout_seen) {
        take(ViewerSubmenu::kNone, viewer_submenu_label(ViewerSubmenu::kLayout, lang));
        layout_seen = true;
      }
      take(entries[i].submenu, label);
    }
  }
  EXPECT_STREQ(viewer_submenu_label(ViewerSubmenu::kNone, UiLanguage::kGerman), "");
  char label[64];
  viewer_menu_label(entries[0], UiLanguage::kGerman, label, sizeof label);
  EXPECT_STREQ(label, "&Tastaturkarte");
  viewer_menu_label(entries[0], UiLanguage::kEnglish, label, sizeof label);
  EXPECT_STREQ(label, "&Keyboard map");
  char small[4];
  viewer_menu_label(entries[count - 1], UiLanguage::kGerman, small, sizeof small);
  EXPECT_STREQ(small, "&Be");
  viewer_menu_label(entries[0], UiLanguage::kGerman, nullptr, 8);
}

}  // namespace

TEST(SaveForm, TheTypeDecidesUnlessTheNameWasTypedWithAnExtensionOfOurs) {
  constexpr char kProposed[] = "Tastaturtest-2026-03-07-090501.html";
  struct Case {
    const char* typed;
    int type;
    SaveForm form;
    const char* saved;
  } cases[] = {
      {"C:\\t\\Tastaturtest-2026-03-07-090501.html", 1, SaveForm::kHtmlReport, "C:\\t\\Tastaturtest-2026-03-07-090501.html"},
      // The type changed after the name was proposed: the name follows it.
      {"C:\\t\\Tastaturtest-2026-03-07-090501.html", 3, SaveForm::kCsvLog, "C:\\t\\Tastaturtest-2026-03-07-090501.csv"},
      {"C:\\t\\TASTATURTEST-2026-03-07-090501.HTML", 4, SaveForm::kJsonlLog, "C:\\t\\TASTATURTEST-2026-03-07-090501.jsonl"},
      // A name typed with one of our extensions is what the user meant.
      {"C:\\t\\keys.csv", 1, SaveForm::kCsvLog, "C:\\t\\keys.csv"},
      {"Z:/tmp/keys.JSONL", 2, SaveForm::kJsonlLog, "Z:/tmp/keys.JSONL"},
      {"bericht.htm", 3, SaveForm::kHtmlReport, "bericht.htm"},
      {"bericht.txt", 1, SaveForm::kTextReport, "bericht.txt"},
      // No extension: the type's; another extension: kept, the type's form.
      {"C:\\t.d\\keys", 3, SaveForm::kCsvLog, "C:\\t.d\\keys.csv"},
      {"keys.log", 2, SaveForm::kTextReport, "keys.log"},
      {"keys", 0, SaveForm::kHtmlReport, "keys.html"},
      {"keys", 99, SaveForm::kHtmlReport, "keys.html"},
  };
  for (const Case& c : cases) {
    char path[64];
    std::strcpy(path, c.typed);
    EXPECT_EQ(save_form_for(path, sizeof path, c.type, kProposed), c.form) << c.typed;
    EXPECT_STREQ(path, c.saved) << c.typed;
  }
  // No room for the extension: the name stays as it was.
  char small[6] = "keys";
  EXPECT_EQ(save_form_for(small, sizeof small, 3, kProposed), SaveForm::kCsvLog);
  EXPECT_STREQ(small, "keys");
  EXPECT_EQ(save_form_for(nullptr, 10, 2, kProposed), SaveForm::kTextReport);
}
