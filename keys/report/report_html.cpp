#include "keys/report/report_html.h"

#include "keys/key_names.h"
#include "keys/report/report_escape.h"
#include "keys/report/report_facts.h"
#include "keys/report/report_distributions_svg.h"
#include "keys/report/report_keyboard_svg.h"
#include "keys/report/report_timing_facts.h"

namespace {

constexpr char kStyles[] =
    "body{font:14px/1.4 sans-serif;color:#111;max-width:62em;margin:1em auto;padding:0 1em}\n"
    "h1{font-size:1.4em;margin:.2em 0}h2{font-size:1.1em;margin:1em 0 .3em}\n"
    "table{border-collapse:collapse}th,td{text-align:left;padding:.1em .6em .1em 0;vertical-align:top}\n"
    ".facts th{font-weight:normal;color:#555}\n"
    ".result{font-weight:bold;padding:.3em .5em;border:2px solid}\n"
    ".complete{border-color:#2a2}.open{border-color:#c22}\n"
    "figure{margin:0}.keyboard{width:100%;height:auto;display:block}\n"
    ".keyboard text{font:11px sans-serif;text-anchor:middle;fill:#000;paint-order:stroke;stroke:#fff;stroke-width:3px;stroke-linejoin:round}\n"
    ".colour-key{list-style:none;padding:0;margin:.3em 0}.colour-key li{display:inline-block;margin-right:1.2em}\n"
    ".colour-key svg{vertical-align:middle}\n"
    ".lists dt{font-weight:bold}.lists dd{margin:0 0 .3em 1em}\n"
    ".tables{display:grid;grid-template-columns:repeat(auto-fill,minmax(20em,1fr));gap:0 1.5em;align-items:start}\n"
    ".keys td,.keys th{font-size:.85em}.keys td{white-space:nowrap}.keys th{vertical-align:bottom}\n"
    ".keys td:nth-child(n+3){text-align:right}\n"
    "@page{size:A4;margin:10mm}\n"
    "@media print{body{font-size:7.5pt;line-height:1.25;max-width:none;margin:0;padding:0}"
    "h1{font-size:1.3em}h2{margin:.6em 0 .2em}.result{padding:.1em .4em}"
    ".facts tbody{display:grid;grid-template-columns:auto auto auto auto;column-gap:1em}.facts tr{display:contents}"
    ".keyboards{margin:0;padding-left:1.2em}.keyboard{width:85%}"
    ".lists dt{float:left;margin-right:.5em}.lists dd{margin:0 0 .1em}"
    ".tables{grid-template-columns:repeat(3,1fr);column-gap:.8em}"
    ".keys td,.keys th{font-size:6pt;line-height:1.15;padding:0 .35em 0 0}"
    "figure{break-inside:avoid}}\n";

// Rows per table of pressed keys: a full keyboard's keys in three tables
// side by side, which keeps the printed page to one A4 sheet.
constexpr int kRowsPerKeyTable = 40;

int listed[kKeyIdCount];  // one report at a time

// A table text in HTML: the tables may hold an apostrophe or an ampersand.
LineBuilder& say(LineBuilder& out, UiLanguage language, UiText id) { return html_text(out, ui_text(language, id)); }

void fact(LineBuilder& out, UiLanguage language, UiText name, const char* value) {
  say(out.text("<tr><th>"), language, name).text("</th><td>");
  html_text(out, value).text("</td></tr>\n");
}

void write_facts(LineBuilder& out, const ReportContext& context, const KeyMapReport* map, UiLanguage language) {
  out.text("<table class=\"facts\">\n");
  if (context.label != nullptr && context.label[0] != '\0') fact(out, language, UiText::kFactLabel, context.label);
  say(out.text("<tr><th>"), language, UiText::kFactProgram).text("</th><td>");
  html_text(out, context.program).put(' ');
  html_text(out, context.version).text("</td></tr>\n");
  fact(out, language, UiText::kFactDate, context.date_time);
  fact(out, language, UiText::kFactSystem, context.system_version);
  fact(out, language, UiText::kFactSystemLayout, context.keyboard_layout);
  if (map != nullptr) {
    say(out.text("<tr><th>"), language, UiText::kFactMapLayout).text("</th><td>").text(map->layout->name);
    if (map->chosen_from_system) say(out, language, UiText::kFactChosenFromSystem);
    say(out.text("</td></tr>\n<tr><th>"), language, UiText::kFactDuration).text("</th><td>");
    write_duration(out, map->duration_us);
    say(out.text("</td></tr>\n<tr><th>"), language, UiText::kFactStuckAfter).text("</th><td>");
    out.integer(map->stuck_s).text(" s</td></tr>\n");
    write_record_facts_html(out, *map, language);
  }
  out.text("</table>\n");
}

void write_keyboards(LineBuilder& out, const ReportContext& context, UiLanguage language) {
  say(out.text("<h2>"), language, UiText::kKeyboards).text("</h2>\n<ul class=\"keyboards\">\n");
  if (context.keyboard_count <= 0) say(out.text("<li>"), language, UiText::kNoneSeen).text("</li>\n");
  for (int i = 0; i < context.keyboard_count; ++i) {
    out.text("<li>");
    write_keyboard(out, context.keyboards[i], html_text, language);
    out.text("</li>\n");
  }
  out.text("</ul>\n");
  if (context.keyboard_filter != nullptr && context.keyboard_filter[0] != '\0') {
    say(out.text("<p>"), language, UiText::kCountedOnly);
    html_text(out, context.keyboard_filter).text("</p>\n");
  }
}

void write_list(LineBuilder& out, UiText label, const KeyMapReport& map, ReportList list, UiLanguage language) {
  say(out.text("<dt>"), language, label).text("</dt><dd>");
  const int count = report_list(&map, list, listed);
  for (int i = 0; i < count; ++i) {
    const int key = listed[i];
    if (i > 0) out.text(", ");
    html_text(out, key_name(key)).text(" (");
    scancode_text(out, key).put(')');
    if (list == ReportList::kChatter) {
      out.put(' ').integer(map.keys[key].chatter).text("&times;");
      say(out, language, UiText::kSmallestGap);
      write_gap(out, map.keys[key].smallest_gap_us);
      write_key_gap_strip(out, map, key, language);
    } else if (list == ReportList::kStuck) {
      say(out, language, UiText::kHeldFor);
      write_seconds(out, map.keys[key].longest_hold_us);
    }
  }
  if (count == 0) say(out, language, UiText::kNone);
  out.text("</dd>\n");
}

// A heading cell, with its title when it has one.
void heading(LineBuilder& out, UiLanguage language, UiText text, UiText title = UiText::kCount) {
  out.text("<th");
  if (title != UiText::kCount) say(out.text(" title=\""), language, title).put('"');
  say(out.put('>'), language, text).text("</th>");
}

void write_key_tables(LineBuilder& out, const KeyMapReport& map, UiLanguage language) {
  say(out.text("<h2>"), language, UiText::kKeysPressed).text("</h2>\n");
  const int count = report_list(&map, ReportList::kPressed, listed);
  if (count == 0) {
    say(out.text("<p>"), language, UiText::kNone).text("</p>\n");
    return;
  }
  out.text("<div class=\"tables\">\n");
  for (int first = 0; first < count; first += kRowsPerKeyTable) {
    out.text("<table class=\"keys\"><thead><tr>");
    heading(out, language, UiText::kColumnKeyHeading);
    heading(out, language, UiText::kColumnCode);
    heading(out, language, UiText::kColumnPressesHeading);
    heading(out, language, UiText::kColumnChatterHeading);
    heading(out, language, UiText::kColumnZero, UiText::kColumnZeroTitle);
    heading(out, language, UiText::kColumnGapMs, UiText::kColumnGapTitle);
    heading(out, language, UiText::kColumnHoldMs, UiText::kColumnHoldTitle);
    heading(out, language, UiText::kColumnKbd, UiText::kColumnKeyboard);
    out.text("</tr></thead><tbody>\n");
    for (int i = first; i < count && i < first + kRowsPerKeyTable; ++i) {
      const int key = listed[i];
      const KeyFigures& figures = map.keys[key];
      out.text("<tr><td>");
      html_text(out, key_name(key)).text("</td><td>");
      scancode_text(out, key).text("</td><td>").integer(figures.presses).text("</td><td>");
      out.integer(figures.chatter).text("</td><td>").integer(figures.zero_gap).text("</td><td>");
      if (figures.smallest_gap_us < 0) out.put('-');
      else out.milliseconds(figures.smallest_gap_us);
      out.text("</td><td>").milliseconds(figures.longest_hold_us).text("</td><td>");
      write_device_number(out, figures.device).text("</td></tr>\n");
    }
    out.text("</tbody></table>\n");
  }
  out.text("</div>\n");
}

}  // namespace

void write_report_html(const LogWriter& writer, const ReportContext& context) {
  LineBuilder out(writer);
  const UiLanguage language = context.language;
  out.set_decimal_mark(ui_decimal_mark(language));
  const KeyMapReport* map = context.map != nullptr && context.map->layout != nullptr ? context.map : nullptr;
  const bool labelled = context.label != nullptr && context.label[0] != '\0';
  out.text("<!DOCTYPE html>\n<html lang=\"").text(ui_language_code(language));
  out.text("\">\n<head>\n<meta charset=\"utf-8\">\n");
  say(out.text("<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>"), language,
      UiText::kReportPageTitle);
  if (labelled) html_text(out.text(": "), context.label);
  out.text(", ").text(context.date_time).text("</title>\n<style>\n").text(kStyles);
  write_state_styles(out);
  write_distribution_styles(out);
  say(out.text("</style>\n</head>\n<body>\n<h1>"), language, UiText::kReportTitle).text("</h1>\n");
  const ReportResult result = report_result(map);
  out.text("<p class=\"result ").text(result.complete ? "complete" : "open").text("\">");
  say(out, language, UiText::kResult).text(": ");
  write_result_line(out, result, language);
  out.text("</p>\n");
  write_facts(out, context, map, language);
  write_keyboards(out, context, language);
  if (map != nullptr) {
    say(out.text("<h2>"), language, UiText::kKeyboardHeading).text("</h2>\n<figure>\n");
    write_keyboard_svg(out, *map, language);
    out.text("<figcaption>");
    write_colour_key(out, *map, language);
    say(out.text("</figcaption>\n</figure>\n<h2>"), language, UiText::kListsHeading).text("</h2>\n<dl class=\"lists\">\n");
    write_list(out, UiText::kListUntested, *map, ReportList::kUntested, language);
    write_list(out, UiText::kListDefect, *map, ReportList::kDefect, language);
    write_list(out, UiText::kListChatter, *map, ReportList::kChatter, language);
    write_list(out, UiText::kListStuck, *map, ReportList::kStuck, language);
    write_list(out, UiText::kListOffMap, *map, ReportList::kOffMap, language);
    out.text("</dl>\n");
    write_distributions_svg(out, *map, language);
    write_key_tables(out, *map, language);
  }
  out.text("</body>\n</html>\n");
}
