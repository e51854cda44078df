#include "keys/report/report_text.h"

#include "keys/key_names.h"
#include "keys/report/report_escape.h"
#include "keys/report/report_distributions_text.h"
#include "keys/report/report_facts.h"
#include "keys/report/report_timing_facts.h"

namespace {

int listed[kKeyIdCount];  // one report at a time

void write_list(LineBuilder& out, const char* label, const KeyMapReport* map, ReportList list) {
  out.text(label).put(':');
  const int count = report_list(map, list, listed);
  for (int i = 0; i < count; ++i) {
    const int key = listed[i];
    out.text(i == 0 ? " " : ", ").text(key_name(key)).text(" (");
    scancode_text(out, key).put(')');
    if (list == ReportList::kChatter) {
      out.text(" ").integer(map->keys[key].chatter).text("x, smallest gap ");
      write_gap(out, map->keys[key].smallest_gap_us);
    } else if (list == ReportList::kStuck) {
      out.text(" held ");
      write_seconds(out, map->keys[key].longest_hold_us);
    }
  }
  if (count == 0) out.text(" none");
  out.put('\n');
}

void write_keyboards(LineBuilder& out, const ReportContext& context) {
  out.text("keyboards:");
  if (context.keyboard_count <= 0) out.text(" none seen");
  out.put('\n');
  for (int i = 0; i < context.keyboard_count; ++i) {
    out.text("  ");
    write_keyboard(out, context.keyboards[i], plain_text);
    out.put('\n');
  }
  if (context.keyboard_filter != nullptr && context.keyboard_filter[0] != '\0') {
    out.text("counted: only keyboard ");
    plain_text(out, context.keyboard_filter).put('\n');
  }
}

constexpr int kNameColumn = 20;

void write_key_table(LineBuilder& out, const KeyMapReport* map) {
  out.text("keys pressed:\n");
  const int count = report_list(map, ReportList::kPressed, listed);
  if (count == 0) {
    out.text("  none\n");
    return;
  }
  out.text("  key").pad_to(kNameColumn).text("scancode  presses  chatter  zero-gap  smallest gap  ");
  out.text("longest hold  keyboard\n");
  for (int i = 0; i < count; ++i) {
    const int key = listed[i];
    const KeyFigures& figures = map->keys[key];
    out.text("  ").text(key_name(key)).pad_to(kNameColumn);
    scancode_text(out, key).pad_to(kNameColumn + 10).integer(figures.presses);
    out.pad_to(kNameColumn + 19).integer(figures.chatter).pad_to(kNameColumn + 28).integer(figures.zero_gap);
    out.pad_to(kNameColumn + 38);
    write_gap(out, figures.smallest_gap_us);
    out.pad_to(kNameColumn + 52).milliseconds(figures.longest_hold_us).text(" ms").pad_to(kNameColumn + 66);
    write_device_number(out, figures.device).put('\n');
  }
}

}  // namespace

void write_report_text(const LogWriter& writer, const ReportContext& context) {
  LineBuilder out(writer);
  const KeyMapReport* map = context.map != nullptr && context.map->layout != nullptr ? context.map : nullptr;
  out.text("Keyboard test report\n");
  out.text("program: ").text(context.program).put(' ').text(context.version).put('\n');
  if (context.label != nullptr && context.label[0] != '\0') {
    out.text("label: ");
    plain_text(out, context.label).put('\n');
  }
  out.text("date: ").text(context.date_time).put('\n');
  out.text("system: ");
  plain_text(out, context.system_version).put('\n');
  out.text("system keyboard layout: ");
  plain_text(out, context.keyboard_layout).put('\n');
  if (map != nullptr) {
    out.text("map layout: ").text(map->layout->name);
    if (map->chosen_from_system) out.text(" (chosen from the system's keyboard)");
    out.put('\n').text("duration: ");
    write_duration(out, map->duration_us);
    out.text("\nstuck after: ").integer(map->stuck_s).text(" s\n");
    write_record_facts_text(out, *map);
  }
  write_keyboards(out, context);
  out.text("result: ");
  write_result_line(out, report_result(map));
  out.put('\n');
  if (map == nullptr) return;
  write_list(out, "untested", map, ReportList::kUntested);
  write_list(out, "marked defect", map, ReportList::kDefect);
  write_list(out, "chatter", map, ReportList::kChatter);
  write_list(out, "stuck", map, ReportList::kStuck);
  write_list(out, "not on this map", map, ReportList::kOffMap);
  write_distributions_text(out, *map);
  write_key_table(out, map);
}
