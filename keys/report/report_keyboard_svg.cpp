#include "keys/report/report_keyboard_svg.h"

#include "keys/key_names.h"
#include "keys/report/report_escape.h"
#include "keys/report/report_facts.h"

namespace {

constexpr int kUnit = 10;  // SVG units per quarter of a key width

// Light fills carry dark legends, dark fills light ones.
bool dark_state(ReportState state) { return state == ReportState::kUntested || state == ReportState::kStuck; }

void write_title(LineBuilder& out, const KeyMapReport& map, int key, ReportState state) {
  const KeyFigures& figures = map.keys[key];
  out.text("<title>").text(key_name(key)).text(", scancode ");
  scancode_text(out, key).text(": ").text(report_state_name(state));
  if (state != ReportState::kDefect && (map.view.marks[key] & kMapDefect)) out.text(", marked defect");
  if (figures.presses > 0) {
    out.text("; ").integer(figures.presses).text(figures.presses == 1 ? " press" : " presses");
    out.text(", chatter ").integer(figures.chatter).text(", smallest gap ");
    write_gap(out, figures.smallest_gap_us);
    out.text(", longest hold ").milliseconds(figures.longest_hold_us).text(" ms");
  }
  out.text("</title>");
}

}  // namespace

void write_state_styles(LineBuilder& out) {
  for (int i = 0; i < kReportStateCount; ++i) {
    const auto state = static_cast<ReportState>(i);
    const char* name = report_state_name(state);
    out.text(".s-").text(name).text(" rect,rect.s-").text(name).text("{fill:");
    out.text(report_state_colour(state)).text("}\n");
    if (dark_state(state)) out.text(".s-").text(name).text(" text{fill:#fff}\n");
  }
}

void write_keyboard_svg(LineBuilder& out, const KeyMapReport& map) {
  const KeyboardLayout& layout = *map.layout;
  out.text("<svg class=\"keyboard\" xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 ");
  out.integer(layout.width * kUnit).put(' ').integer(layout.height * kUnit).text("\" role=\"img\" aria-label=\"");
  out.text(layout.name).text(" keyboard\">\n");
  for (int i = 0; i < layout.count; ++i) {
    const MapKey& box = layout.keys[i];
    const int key = box.key;
    const ReportState state = report_key_state(map, key);
    out.text("<g class=\"s-").text(report_state_name(state)).text("\" data-key=\"");
    scancode_text(out, key).text("\" data-state=\"").text(report_state_name(state)).text("\">");
    write_title(out, map, key, state);
    const int x = box.x * kUnit, y = box.y * kUnit, w = box.width * kUnit, h = box.height * kUnit;
    out.text("<rect x=\"").integer(x + 1).text("\" y=\"").integer(y + 1).text("\" width=\"").integer(w - 2);
    out.text("\" height=\"").integer(h - 2).text("\" rx=\"4\"/>");
    out.text("<text x=\"").integer(x + w / 2).text("\" y=\"").integer(y + h / 2 + 4).text("\">");
    html_text(out, key_legend(key)).text("</text></g>\n");
  }
  out.text("</svg>\n");
}

void write_colour_key(LineBuilder& out, const KeyMapReport& map) {
  int counts[kReportStateCount] = {};
  for (int i = 0; i < map.layout->count; ++i) ++counts[static_cast<int>(report_key_state(map, map.layout->keys[i].key))];
  out.text("<ul class=\"colour-key\">\n");
  for (int i = 0; i < kReportStateCount; ++i) {
    const auto state = static_cast<ReportState>(i);
    out.text("<li><svg width=\"14\" height=\"14\" aria-hidden=\"true\"><rect class=\"s-");
    out.text(report_state_name(state)).text("\" width=\"14\" height=\"14\" rx=\"3\"/></svg> ");
    out.text(report_state_name(state)).text(" (").integer(counts[i]).text(")</li>\n");
  }
  out.text("</ul>\n");
}
