// What both reports say about the test's timings and the record behind its
// figures: the bins' ranges in words, the chord at "most held at once", and
// the record's facts (the chatter threshold, the events kept, the file the
// test was read from, the last new beginning).
#pragma once

#include <cstdint>

#include "keys/line_builder.h"
#include "keys/map/key_map_summary.h"
#include "keys/texts/ui_texts.h"

// Holds in the bins below this one (under 5.62 ms) are shorter than any
// finger presses a key: a contact that closed by itself.
constexpr int kShortHoldBins = 8;

// A time to three significant digits, in ms below a second, else in s:
// "0.178 ms", "17.8 ms", "562 ms", "1.78 s", with out's decimal mark.
// Negative times count as 0.
LineBuilder& write_short_time(LineBuilder& out, int64_t us);

// A bin's range: "below 0.1 ms", "17.8<dash>31.6 ms", "1<dash>1.78 s",
// "10 s and up"; "-" for a bin outside the axis. dash goes between the
// edges as given (the HTML form passes an entity). Words in the language.
LineBuilder& write_bin_range(LineBuilder& out, int bin, const char* dash,
                             UiLanguage language = UiLanguage::kEnglish);

// The most held at once and the keys held then, by name in id order:
// "3 (Left Shift, A, S)"; the number alone when no key of the chord is known.
// The names go through escape.
LineBuilder& write_chord(LineBuilder& out, const KeyMapReport& map,
                         LineBuilder& (*escape)(LineBuilder&, const char*));

// The record's facts: one "name: value" line each in the text report, one
// table row each in the HTML facts; in the language.
void write_record_facts_text(LineBuilder& out, const KeyMapReport& map, UiLanguage language = UiLanguage::kEnglish);
void write_record_facts_html(LineBuilder& out, const KeyMapReport& map, UiLanguage language = UiLanguage::kEnglish);

// A fact's name as the text report writes it: lower case at the start where
// the language writes it so ("date: "), else as the table has it.
LineBuilder& write_text_fact_name(LineBuilder& out, UiText name, UiLanguage language);
