#include "keys/key_map_summary.h"

#include "keys/key_map_view.h"
#include "keys/line_builder.h"

namespace {

enum class Listed { kUntested, kOffMap };

// Calls visit for every key of the list: the layout's keys not tested, in
// the layout's order (row by row, left to right), or the keys pressed that
// the layout does not have, in id order.
template <typename Visit>
void for_each_listed(const KeyMapReport& report, Listed listed, Visit visit) {
  const KeyboardLayout& layout = *report.layout;
  if (listed == Listed::kUntested) {
    for (int i = 0; i < layout.count; ++i)
      if (!(report.view.marks[layout.keys[i].key] & kMapTested)) visit(layout.keys[i].key);
    return;
  }
  for (int key = 0; key < kKeyIdCount; ++key)
    if ((report.view.marks[key] & kMapTested) && layout_key_index(layout, key) < 0) visit(key);
}

void write_text_list(LineBuilder& out, const char* label, const KeyMapReport& report, Listed listed) {
  out.text(label);
  const char* separator = " ";
  bool any = false;
  for_each_listed(report, listed, [&](int key) {
    out.text(separator).text(key_name(key)).text(" (");
    scancode_text(out, key).put(')');
    separator = ", ";
    any = true;
  });
  if (!any) out.text(" none");
  out.put('\n');
}

void write_json_list(LineBuilder& out, const KeyMapReport& report, Listed listed) {
  out.put('[');
  const char* separator = "";
  for_each_listed(report, listed, [&](int key) {
    out.text(separator).text("{\"key\":").json_string(key_name(key));
    out.text(",\"scancode\":").integer(key_id_scancode(key));
    out.text(",\"extended\":").json_string(key_prefix_text(key)).put('}');
    separator = ",";
  });
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
}

void write_map_summary_json(const LogWriter& writer, const KeyMapReport& report) {
  if (report.layout == nullptr) return;
  LineBuilder out(writer);
  out.text(",\"map\":{\"layout\":").json_string(report.layout->name);
  out.text(",\"chosen_from_system\":").text(report.chosen_from_system ? "true" : "false");
  out.text(",\"keys\":").integer(report.layout->count);
  out.text(",\"tested\":").integer(key_map_tested(*report.layout, report.view));
  out.text(",\"most_held\":").integer(report.view.most_held).text(",\"untested\":");
  write_json_list(out, report, Listed::kUntested);
  out.text(",\"off_map\":");
  write_json_list(out, report, Listed::kOffMap);
  out.put('}');
}
