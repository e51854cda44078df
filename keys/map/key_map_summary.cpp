#include "keys/map/key_map_summary.h"

#include "keys/map/key_map_view.h"
#include "keys/line_builder.h"

namespace {

enum class Listed { kUntested, kOffMap, kDefect, kStuck };

// The keys of the list into keys (room for kKeyIdCount), how many: the
// layout's keys not tested, in the layout's order (row by row, left to
// right); the keys pressed that the layout does not have, the keys marked
// defect, the keys held past the stuck time, each in id order.
int listed_keys(const KeyMapReport& report, Listed listed, int* keys) {
  const KeyboardLayout& layout = *report.layout;
  int count = 0;
  if (listed == Listed::kUntested) {
    for (int i = 0; i < layout.count; ++i)
      if (!(report.view.marks[layout.keys[i].key] & kMapTested)) keys[count++] = layout.keys[i].key;
    return count;
  }
  for (int key = 0; key < kKeyIdCount; ++key) {
    const uint8_t marks = report.view.marks[key];
    const bool listed_key =
        listed == Listed::kOffMap ? (marks & kMapTested) && layout_key_index(layout, key) < 0
        : listed == Listed::kDefect ? (marks & kMapDefect) != 0
                                    : (marks & kMapStuck) != 0;
    if (listed_key) keys[count++] = key;
  }
  return count;
}

int listed[kKeyIdCount];  // the program's thread alone writes a summary

// Microseconds as seconds with one decimal.
LineBuilder& seconds(LineBuilder& out, int64_t us) {
  if (us < 0) us = 0;
  return out.integer(us / 1000000).put('.').integer(us / 100000 % 10).text(" s");
}

void write_text_list(LineBuilder& out, const char* label, const KeyMapReport& report, Listed which) {
  out.text(label);
  const int count = listed_keys(report, which, listed);
  for (int i = 0; i < count; ++i) {
    out.text(i == 0 ? " " : ", ").text(key_name(listed[i])).text(" (");
    scancode_text(out, listed[i]).put(')');
    if (which == Listed::kStuck) seconds(out.text(" held "), report.keys[listed[i]].longest_hold_us);
  }
  if (count == 0) out.text(" none");
  out.put('\n');
}

void write_json_list(LineBuilder& out, const KeyMapReport& report, Listed which) {
  out.put('[');
  const int count = listed_keys(report, which, listed);
  for (int i = 0; i < count; ++i) {
    out.text(i == 0 ? "{\"key\":" : ",{\"key\":").json_string(key_name(listed[i]));
    out.text(",\"scancode\":").integer(key_id_scancode(listed[i]));
    out.text(",\"extended\":").json_string(key_prefix_text(listed[i]));
    if (which == Listed::kStuck) out.text(",\"longest_hold_ms\":").integer(report.keys[listed[i]].longest_hold_us / 1000);
    out.put('}');
  }
  out.put(']');
}

}  // namespace

void write_map_summary_text(const LogWriter& writer, const KeyMapReport& report) {
  if (report.layout == nullptr) return;
  LineBuilder out(writer);
  out.text("map: ").text(report.layout->name);
  if (report.chosen_from_system) out.text(" (chosen from the system's keyboard)");
  out.text(", tested ").integer(key_map_tested(*report.layout, report.view)).text(" of ");
  out.integer(report.layout->count).text(" keys, most held at once ").integer(report.view.most_held);
  out.put('\n');
  write_text_list(out, "untested:", report, Listed::kUntested);
  write_text_list(out, "not on this map:", report, Listed::kOffMap);
  write_text_list(out, "marked defect:", report, Listed::kDefect);
  out.text("stuck (held over ").integer(report.stuck_s).put(' ').put('s').put(')');
  write_text_list(out, ":", report, Listed::kStuck);
}

void write_map_summary_json(const LogWriter& writer, const KeyMapReport& report) {
  if (report.layout == nullptr) return;
  LineBuilder out(writer);
  out.text(",\"map\":{\"layout\":").json_string(report.layout->name);
  out.text(",\"keys\":").integer(report.layout->count);
  out.text(",\"tested\":").integer(key_map_tested(*report.layout, report.view));
  out.text(",\"untested\":");
  write_json_list(out, report, Listed::kUntested);
  out.text(",\"off_map\":");
  write_json_list(out, report, Listed::kOffMap);
  out.text(",\"defect\":");
  write_json_list(out, report, Listed::kDefect);
  out.text(",\"stuck_s\":").integer(report.stuck_s).text(",\"stuck\":");
  write_json_list(out, report, Listed::kStuck);
  out.put('}');
}
