#include "keys/report/report_text.h"

#include "keys/key_names.h"
#include "keys/report/report_escape.h"
#include "keys/report/report_distributions_text.h"
#include "keys/report/report_facts.h"
#include "keys/report/report_timing_facts.h"

namespace {

int listed[kKeyIdCount];  // one report at a time

// A fact's or a list's name and its colon: "date: ".
LineBuilder& name(LineBuilder& out, UiText id, UiLanguage language) {
  return write_text_fact_name(out, id, language).text(": ");
}

void write_list(LineBuilder& out, UiText label, const KeyMapReport* map, ReportList list, UiLanguage language) {
  write_text_fact_name(out, label, language).put(':');
  const int count = report_list(map, list, listed);
  for (int i = 0; i < count; ++i) {
    const int key = listed[i];
    out.text(i == 0 ? " " : ", ").text(key_name(key)).text(" (");
    scancode_text(out, key).put(')');
    if (list == ReportList::kChatter) {
      out.text(" ").integer(map->keys[key].chatter).put('x').text(ui_text(language, UiText::kSmallestGap));
      write_gap(out, map->keys[key].smallest_gap_us);
    } else if (list == ReportList::kStuck) {
      out.text(ui_text(language, UiText::kHeldFor));
      write_seconds(out, map->keys[key].longest_hold_us);
    }
  }
  if (count == 0) out.put(' ').text(ui_text(language, UiText::kNone));
  out.put('\n');
}

void write_keyboards(LineBuilder& out, const ReportContext& context, UiLanguage language) {
  write_text_fact_name(out, UiText::kKeyboards, language).put(':');
  if (context.keyboard_count <= 0) out.put(' ').text(ui_text(language, UiText::kNoneSeen));
  out.put('\n');
  for (int i = 0; i < context.keyboard_count; ++i) {
    out.text("  ");
    write_keyboard(out, context.keyboards[i], plain_text, language);
    out.put('\n');
  }
  if (context.keyboard_filter != nullptr && context.keyboard_filter[0] != '\0') {
    write_text_fact_name(out, UiText::kCountedOnly, language);
    plain_text(out, context.keyboard_filter).put('\n');
  }
}

constexpr int kNameColumn = 20;
// Where the table's columns begin after the name's.
constexpr int kColumns[] = {kNameColumn, kNameColumn + 10, kNameColumn + 19, kNameColumn + 28,
                            kNameColumn + 38, kNameColumn + 52, kNameColumn + 66};

void write_key_table(LineBuilder& out, const KeyMapReport* map, UiLanguage language) {
  write_text_fact_name(out, UiText::kKeysPressed, language).text(":\n");
  const int count = report_list(map, ReportList::kPressed, listed);
  if (count == 0) {
    out.text("  ").text(ui_text(language, UiText::kNone)).put('\n');
    return;
  }
  out.text("  ").text(ui_text(language, UiText::kColumnKey));
  const UiText headings[] = {UiText::kColumnScancode, UiText::kColumnPresses,      UiText::kColumnChatter,
                             UiText::kColumnZeroGap,  UiText::kColumnSmallestGap, UiText::kColumnLongestHold,
                             UiText::kColumnKeyboard};
  for (int i = 0; i < 7; ++i) out.pad_to(kColumns[i]).text(ui_text(language, headings[i]));
  out.put('\n');
  for (int i = 0; i < count; ++i) {
    const int key = listed[i];
    const KeyFigures& figures = map->keys[key];
    out.text("  ").text(key_name(key)).pad_to(kColumns[0]);
    scancode_text(out, key).pad_to(kColumns[1]).integer(figures.presses);
    out.pad_to(kColumns[2]).integer(figures.chatter).pad_to(kColumns[3]).integer(figures.zero_gap);
    out.pad_to(kColumns[4]);
    write_gap(out, figures.smallest_gap_us);
    out.pad_to(kColumns[5]).milliseconds(figures.longest_hold_us).text(" ms").pad_to(kColumns[6]);
    write_device_number(out, figures.device).put('\n');
  }
}

}  // namespace

void write_report_text(const LogWriter& writer, const ReportContext& context) {
  LineBuilder out(writer);
  const UiLanguage language = context.language;
  out.set_decimal_mark(ui_decimal_mark(language));
  const KeyMapReport* map = context.map != nullptr && context.map->layout != nullptr ? context.map : nullptr;
  out.text(ui_text(language, UiText::kReportTitle)).put('\n');
  name(out, UiText::kFactProgram, language).text(context.program).put(' ').text(context.version).put('\n');
  if (context.label != nullptr && context.label[0] != '\0') plain_text(name(out, UiText::kFactLabel, language), context.label).put('\n');
  name(out, UiText::kFactDate, language).text(context.date_time).put('\n');
  plain_text(name(out, UiText::kFactSystem, language), context.system_version).put('\n');
  plain_text(name(out, UiText::kFactSystemLayout, language), context.keyboard_layout).put('\n');
  if (map != nullptr) {
    name(out, UiText::kFactMapLayout, language).text(map->layout->name);
    if (map->chosen_from_system) out.text(ui_text(language, UiText::kFactChosenFromSystem));
    name(out.put('\n'), UiText::kFactDuration, language);
    write_duration(out, map->duration_us);
    name(out.put('\n'), UiText::kFactStuckAfter, language).integer(map->stuck_s).text(" s\n");
    write_record_facts_text(out, *map, language);
  }
  write_keyboards(out, context, language);
  name(out, UiText::kResult, language);
  write_result_line(out, report_result(map), language);
  out.put('\n');
  if (map == nullptr) return;
  write_list(out, UiText::kListUntested, map, ReportList::kUntested, language);
  write_list(out, UiText::kListDefect, map, ReportList::kDefect, language);
  write_list(out, UiText::kListChatter, map, ReportList::kChatter, language);
  write_list(out, UiText::kListStuck, map, ReportList::kStuck, language);
  write_list(out, UiText::kListOffMap, map, ReportList::kOffMap, language);
  write_distributions_text(out, *map, language);
  write_key_table(out, map, language);
}
