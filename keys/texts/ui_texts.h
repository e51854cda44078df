// The texts a person reads, other than the page: the menu, the status and
// hover lines, the dialogs and the reports. One table per language (one
// file each, ui_texts_<code>.cpp); code asks for a text by its name. The
// tables are UTF-8; the screen's lines go through screen_text.h.
#pragma once

#include <cstddef>

// The languages in the order of their tables; the first is the one used
// when nothing else is asked for. A third language is one more value here,
// its table, and its line in ui_texts.cpp.
enum class UiLanguage : unsigned char { kEnglish, kGerman };
constexpr int kUiLanguageCount = 2;

enum class UiText : int {
  // The menu and its submenus, with & before the access letter.
  kMenuKeyboardMap, kMenuLayout, kMenuAnsi, kMenuIso, kMenuJis, kMenuAnsiTkl, kMenuIsoTkl,
  kMenuThreshold, kMenuReset, kMenuOpenLog, kMenuSaveReport,
  // The Save and Open dialogs and their message boxes.
  kSaveTitle, kOpenTitle, kTypeHtmlReport, kTypeTextReport, kTypeCsvLog, kTypeJsonlLog, kTypeKeyLog,
  kTypeAllFiles, kProposedName, kSaveFailed, kOpenFailed, kNoFileDialog, kDialogFailed,
  // The status line under the page and the hover line (screen texts).
  kStatusTested, kStatusMostHeld, kStatusMostHeldEnd, kHoverUntested, kHoverPressed, kHoverChattered,
  kHoverChatter, kHoverGap, kHoverGapShort, kHoverHold, kHoverHoldShort,
  // The reports' headings and facts; the text report writes the names in
  // lower case where the language does.
  kReportTitle, kReportPageTitle, kFactLabel, kFactProgram, kFactDate, kFactSystem, kFactSystemLayout,
  kFactMapLayout, kFactChosenFromSystem, kFactDuration, kFactStuckAfter, kKeyboards, kNoneSeen,
  kCountedOnly, kUnknownDate, kResult, kListUntested, kListDefect, kListChatter, kListStuck, kListOffMap, kKeysPressed,
  kNone, kSmallestGap, kHeldFor, kKeyboardHeading, kListsHeading,
  // The text report's table of keys, and the HTML one's.
  kColumnKey, kColumnScancode, kColumnCode, kColumnPresses, kColumnChatter, kColumnZeroGap, kColumnZero,
  kColumnZeroTitle, kColumnSmallestGap, kColumnGapMs, kColumnGapTitle, kColumnLongestHold, kColumnHoldMs,
  kColumnHoldTitle, kColumnKeyboard, kColumnKbd, kColumnKeyHeading, kColumnPressesHeading, kColumnChatterHeading,
  // The result line.
  kResultNoMap, kResultComplete, kResultCompleteEnd, kResultOpen, kResultOf, kResultUntested,
  kResultDefect, kResultChatter, kResultStuck,
  // A keyboard's line.
  kUnnamedKeyboard, kVendor, kProduct, kEvents,
  // The record's facts.
  kThresholdFact, kChordFact, kEventsFact, kNotKeptFrom, kNotKeptEnd, kSourceFact, kRestartFact, kOneTime,
  kTimes, kLastAt, kIntoRecord,
  // The distributions.
  kBinBelow, kBinAndUp, kTimingsTitle, kTimingsHeading, kTimingsHeadingEnd, kColumnTime, kColumnGaps, kColumnHolds,
  kThresholdInBin, kThresholdInBinEnd, kTooShort, kShortHolds, kShortHoldsEnd, kGapAxis, kHoldAxis,
  kGapChartLabel, kHoldChartLabel, kGapsCount, kHoldsCount, kGapOne, kGapMany, kHoldOne, kHoldMany,
  kChatterCount, kThresholdLine, kTooShortTitle, kShortNoteBefore, kShortNoteAfter, kNoneRecorded,
  kStripLabel,
  // The keyboard drawing and its colour key.
  kKeyboardSuffix, kTitleScancode, kTitleMarkedDefect, kPressOne, kPressMany, kTitleChatter,
  kTitleLongestHold, kStateUntested, kStateTested, kStateHeld, kStateChatter, kStateStuck, kStateDefect,
  kCount
};
constexpr int kUiTextCount = static_cast<int>(UiText::kCount);

struct UiTextEntry {
  UiText id;
  const char* text;
};

// A language's table: its texts in the order of UiText, and how it writes
// what is not a word.
struct UiTextTable {
  const char* code;           // ISO 639: "en", "de"; also the HTML report's lang
  char decimal_mark;          // '.' or ','
  bool lower_case_names;      // the text report's "date:" rather than "Date:"
  const UiTextEntry* texts;   // kUiTextCount of them
};

// Whether a table holds every text, once, in the order of UiText, none of
// them empty: the tables check themselves with it when they are compiled.
template <size_t N>
constexpr bool ui_table_complete(const UiTextEntry (&texts)[N]) {
  if (N != static_cast<size_t>(kUiTextCount)) return false;
  for (size_t i = 0; i < N; ++i)
    if (static_cast<size_t>(texts[i].id) != i || texts[i].text == nullptr || texts[i].text[0] == '\0') return false;
  return true;
}

// The table of a language; a value out of range gives the first.
const UiTextTable& ui_table(UiLanguage language);

// A text in a language; "" for an id out of range.
const char* ui_text(UiLanguage language, UiText id);

// The language's decimal mark and its code ("en", "de").
char ui_decimal_mark(UiLanguage language);
const char* ui_language_code(UiLanguage language);

// The language of a code: "de", "de-AT", "de_DE.UTF-8" (any case) give
// German. False, and *language untouched, for a code of no table.
bool ui_language_from_code(const char* code, UiLanguage* language);

// The language of the system's user interface where there is a table for
// it, else the first.
UiLanguage ui_language_of_system();

// The language the program speaks, set once at the start (the system's or
// --lang); the first until then.
UiLanguage ui_language();
void set_ui_language(UiLanguage language);
