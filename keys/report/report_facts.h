// What the text and the HTML report both say, worked out once: each key's
// state, the lists, the result line's counts, and the small formats (times,
// durations, legends, colours).
#pragma once

#include <cstdint>

#include "keys/line_builder.h"
#include "keys/report/report_context.h"
#include "keys/texts/ui_texts.h"
#include "sys/system_facts.h"

// A key's state in the report, in the order of precedence: a key marked
// defect is listed as such whatever it did; a key that was stuck stays
// stuck after its release.
enum class ReportState { kUntested, kTested, kHeld, kChatter, kStuck, kDefect };
constexpr int kReportStateCount = 6;

// "untested", "tested", "held", "chatter", "stuck", "defect": the state's
// name for programs (CSS classes, data attributes), the same in every
// language.
const char* report_state_name(ReportState state);

// The state in words of the language ("untested", "ungetestet").
const char* report_state_label(ReportState state, UiLanguage language);

// The colour of the state's box in the window, from the default palette, as
// "#rrggbb" (static storage).
const char* report_state_colour(ReportState state);

// The state of a key id for the report.
ReportState report_key_state(const KeyMapReport& map, int key);

// Whether the map's figures show chatter / a stuck key / a press of the key.
bool report_key_chattered(const KeyMapReport& map, int key);
bool report_key_stuck(const KeyMapReport& map, int key);
bool report_key_pressed(const KeyMapReport& map, int key);

enum class ReportList { kUntested, kDefect, kChatter, kStuck, kOffMap, kPressed };

// The keys of a list into keys (room for kKeyIdCount), how many: the
// layout's keys in the layout's order for untested and defect; every key in
// id order for chatter, stuck, keys pressed, and keys off the map. 0 without
// a map.
int report_list(const KeyMapReport* map, ReportList list, int* keys);

struct ReportResult {
  bool complete;  // every key of the map tested, none defect, chattering or stuck
  int keys;       // the map's keys
  int tested;     // of those
  int untested, defect, chatter, stuck;
};
ReportResult report_result(const KeyMapReport* map);

// "complete: all 105 keys tested, none marked defect, chattering or stuck",
// or "open: 3 of 105 keys untested, 1 marked defect, 2 with chatter, 1 stuck"
// (only what is open), or "no keyboard map"; in the language.
void write_result_line(LineBuilder& out, const ReportResult& result, UiLanguage language = UiLanguage::kEnglish);

// "2024-05-01 14:03:22 +02:00".
void write_local_time(LineBuilder& out, const sys::LocalTime& time);

// "1:02:03" for hours, minutes and seconds (negative counts as 0).
void write_duration(LineBuilder& out, int64_t us);

// Microseconds as seconds with three decimals ("12.345 s", with out's
// decimal mark) or "-" for -1.
void write_seconds(LineBuilder& out, int64_t us);

// A legend short enough for a key's box: "Esc", "Shift", "PgUp", "7".
const char* key_legend(int key);

// A gap in milliseconds ("4.000 ms", with out's decimal mark), "-" for -1
// (no press after a release).
void write_gap(LineBuilder& out, int64_t us);

// A key's keyboard: its number, "-" when unknown.
LineBuilder& write_device_number(LineBuilder& out, int device);

// "1: Logitech K120 (VID_046D&PID_C31C, vendor 046d, product c31c), 1234
// events"; "2: unnamed keyboard 2 (ACPI\PNP0303), 10 events", in the
// language. The system's strings go through escape.
void write_keyboard(LineBuilder& out, const KeyboardDevice& device,
                    LineBuilder& (*escape)(LineBuilder&, const char*), UiLanguage language = UiLanguage::kEnglish);
