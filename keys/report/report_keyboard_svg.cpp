#include "keys/report/report_keyboard_svg.h"

#include "keys/key_names.h"
#include "keys/report/report_escape.h"
#include "keys/report/report_facts.h"

namespace {

constexpr int kUnit = 10;  // SVG units per quarter of a key width
constexpr int kMarkInset = 4;   // the marks keep this far inside a key's box
constexpr int kStripeStep = 6;  // chatter's stripes, left edge to left edge
// A colour key's swatch: as tall as a line, wide enough for the marks.
constexpr int kSwatchWidth = 34;
constexpr int kSwatchHeight = 20;

// Light fills carry dark legends, dark fills light ones.
bool dark_state(ReportState state) {
  return state == ReportState::kUntested || state == ReportState::kStuck || state == ReportState::kDefect;
}

// The finding's mark, as the window draws it, in black over the box x, y,
// w x h: chatter upright stripes, stuck a bar along the bottom, defect a
// cross corner to corner. Plain states draw nothing. Shapes, not patterns:
// the page refers to nothing, not even to a pattern of its own.
void write_mark(LineBuilder& out, ReportState state, int x, int y, int w, int h) {
  const int left = x + kMarkInset, top = y + kMarkInset, right = x + w - kMarkInset, bottom = y + h - kMarkInset;
  if (right <= left || bottom <= top) return;
  switch (state) {
    case ReportState::kChatter:
      out.text("<path class=\"m-chatter\" d=\"");
      for (int at = left + 1; at < right; at += kStripeStep)
        out.put('M').integer(at).put(' ').integer(top).put('V').integer(bottom);
      break;
    case ReportState::kStuck:
      out.text("<path class=\"m-stuck\" d=\"M").integer(left).put(' ').integer(bottom - 2).put('H').integer(right);
      break;
    case ReportState::kDefect:
      out.text("<path class=\"m-defect\" d=\"M").integer(left).put(' ').integer(top).put('L').integer(right);
      out.put(' ').integer(bottom).put('M').integer(right).put(' ').integer(top).put('L').integer(left);
      out.put(' ').integer(bottom);
      break;
    default: return;
  }
  out.text("\"/>");
}

void write_title(LineBuilder& out, const KeyMapReport& map, int key, ReportState state, UiLanguage language) {
  const auto say = [language](UiText id) { return ui_text(language, id); };
  const KeyFigures& figures = map.keys[key];
  out.text("<title>").text(key_name(key)).text(say(UiText::kTitleScancode));
  scancode_text(out, key).text(": ").text(report_state_label(state, language));
  if (state != ReportState::kDefect && (map.view.marks[key] & kMapDefect)) out.text(say(UiText::kTitleMarkedDefect));
  if (figures.presses > 0) {
    out.text("; ").integer(figures.presses).text(say(figures.presses == 1 ? UiText::kPressOne : UiText::kPressMany));
    out.text(say(UiText::kTitleChatter)).integer(figures.chatter).text(say(UiText::kSmallestGap));
    write_gap(out, figures.smallest_gap_us);
    out.text(say(UiText::kTitleLongestHold)).milliseconds(figures.longest_hold_us).text(" ms");
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
    if (dark_state(state)) out.text(".s-").text(name).text(" text{fill:#fff;stroke:#000}\n");
  }
  // The marks in black, which stays black in any print; the legends over
  // them keep a halo of their fill's opposite.
  out.text("[class^=m-]{fill:none;stroke:#000;stroke-width:2.5}.m-stuck{stroke-width:5}\n");
}

void write_keyboard_svg(LineBuilder& out, const KeyMapReport& map, UiLanguage language) {
  const KeyboardLayout& layout = *map.layout;
  out.text("<svg class=\"keyboard\" xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 ");
  out.integer(layout.width * kUnit).put(' ').integer(layout.height * kUnit).text("\" role=\"img\" aria-label=\"");
  out.text(layout.name).text(ui_text(language, UiText::kKeyboardSuffix)).text("\">\n");
  for (int i = 0; i < layout.count; ++i) {
    const MapKey& box = layout.keys[i];
    const int key = box.key;
    const ReportState state = report_key_state(map, key);
    out.text("<g class=\"s-").text(report_state_name(state)).text("\" data-key=\"");
    scancode_text(out, key).text("\" data-state=\"").text(report_state_name(state)).text("\">");
    write_title(out, map, key, state, language);
    const int x = box.x * kUnit, y = box.y * kUnit, w = box.width * kUnit, h = box.height * kUnit;
    out.text("<rect x=\"").integer(x + 1).text("\" y=\"").integer(y + 1).text("\" width=\"").integer(w - 2);
    out.text("\" height=\"").integer(h - 2).text("\" rx=\"4\"/>");
    write_mark(out, state, x + 1, y + 1, w - 2, h - 2);
    out.text("<text x=\"").integer(x + w / 2).text("\" y=\"").integer(y + h / 2 + 4).text("\">");
    html_text(out, key_legend(key)).text("</text></g>\n");
  }
  out.text("</svg>\n");
}

void write_colour_key(LineBuilder& out, const KeyMapReport& map, UiLanguage language) {
  int counts[kReportStateCount] = {};
  for (int i = 0; i < map.layout->count; ++i) ++counts[static_cast<int>(report_key_state(map, map.layout->keys[i].key))];
  out.text("<ul class=\"colour-key\">\n");
  for (int i = 0; i < kReportStateCount; ++i) {
    const auto state = static_cast<ReportState>(i);
    out.text("<li><svg width=\"").integer(kSwatchWidth).text("\" height=\"").integer(kSwatchHeight);
    out.text("\" aria-hidden=\"true\"><rect class=\"s-").text(report_state_name(state)).text("\" width=\"");
    out.integer(kSwatchWidth).text("\" height=\"").integer(kSwatchHeight).text("\" rx=\"3\"/>");
    write_mark(out, state, 0, 0, kSwatchWidth, kSwatchHeight);
    out.text("</svg> ");
    out.text(report_state_label(state, language)).text(" (").integer(counts[i]).text(")</li>\n");
  }
  out.text("</ul>\n");
}
