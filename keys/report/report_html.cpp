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

void fact(LineBuilder& out, const char* name, const char* value, bool escape = true) {
  out.text("<tr><th>").text(name).text("</th><td>");
  if (escape) html_text(out, value);
  else out.text(value);
  out.text("</td></tr>\n");
}

void write_facts(LineBuilder& out, const ReportContext& context, const KeyMapReport* map) {
  out.text("<table class=\"facts\">\n");
  if (context.label != nullptr && context.label[0] != '\0') fact(out, "Label", context.label);
  out.text("<tr><th>Program</th><td>");
  html_text(out, context.program).put(' ');
  html_text(out, context.version).text("</td></tr>\n");
  fact(out, "Date", context.date_time);
  fact(out, "System", context.system_version);
  fact(out, "System keyboard layout", context.keyboard_layout);
  if (map != nullptr) {
    out.text("<tr><th>Map layout</th><td>").text(map->layout->name);
    if (map->chosen_from_system) out.text(" (chosen from the system&#39;s keyboard)");
    out.text("</td></tr>\n<tr><th>Duration</th><td>");
    write_duration(out, map->duration_us);
    out.text("</td></tr>\n<tr><th>Stuck after</th><td>").integer(map->stuck_s).text(" s</td></tr>\n");
    write_record_facts_html(out, *map);
  }
  out.text("</table>\n");
}

void write_keyboards(LineBuilder& out, const ReportContext& context) {
  out.text("<h2>Keyboards</h2>\n<ul class=\"keyboards\">\n");
  if (context.keyboard_count <= 0) out.text("<li>none seen</li>\n");
  for (int i = 0; i < context.keyboard_count; ++i) {
    out.text("<li>");
    write_keyboard(out, context.keyboards[i], html_text);
    out.text("</li>\n");
  }
  out.text("</ul>\n");
  if (context.keyboard_filter != nullptr && context.keyboard_filter[0] != '\0') {
    out.text("<p>Counted: only keyboard ");
    html_text(out, context.keyboard_filter).text("</p>\n");
  }
}

void write_list(LineBuilder& out, const char* label, const KeyMapReport& map, ReportList list) {
  out.text("<dt>").text(label).text("</dt><dd>");
  const int count = report_list(&map, list, listed);
  for (int i = 0; i < count; ++i) {
    const int key = listed[i];
    if (i > 0) out.text(", ");
    html_text(out, key_name(key)).text(" (");
    scancode_text(out, key).put(')');
    if (list == ReportList::kChatter) {
      out.put(' ').integer(map.keys[key].chatter).text("&times;, smallest gap ");
      write_gap(out, map.keys[key].smallest_gap_us);
      write_key_gap_strip(out, map, key);
    } else if (list == ReportList::kStuck) {
      out.text(" held ");
      write_seconds(out, map.keys[key].longest_hold_us);
    }
  }
  if (count == 0) out.text("none");
  out.text("</dd>\n");
}

void write_key_tables(LineBuilder& out, const KeyMapReport& map) {
  out.text("<h2>Keys pressed</h2>\n");
  const int count = report_list(&map, ReportList::kPressed, listed);
  if (count == 0) {
    out.text("<p>none</p>\n");
    return;
  }
  out.text("<div class=\"tables\">\n");
  for (int first = 0; first < count; first += kRowsPerKeyTable) {
    out.text("<table class=\"keys\"><thead><tr><th>Key</th><th>Code</th><th>Presses</th>"
             "<th>Chatter</th><th title=\"presses that followed a release at once\">Zero</th>"
             "<th title=\"smallest gap, milliseconds\">Gap ms</th><th title=\"longest hold, milliseconds\">Hold ms</th>"
             "<th title=\"keyboard\">Kbd</th></tr></thead><tbody>\n");
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
  const KeyMapReport* map = context.map != nullptr && context.map->layout != nullptr ? context.map : nullptr;
  const bool labelled = context.label != nullptr && context.label[0] != '\0';
  out.text("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n");
  out.text("<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>Keyboard test");
  if (labelled) html_text(out.text(": "), context.label);
  out.text(", ").text(context.date_time).text("</title>\n<style>\n").text(kStyles);
  write_state_styles(out);
  write_distribution_styles(out);
  out.text("</style>\n</head>\n<body>\n<h1>Keyboard test report</h1>\n");
  const ReportResult result = report_result(map);
  out.text("<p class=\"result ").text(result.complete ? "complete" : "open").text("\">Result: ");
  write_result_line(out, result);
  out.text("</p>\n");
  write_facts(out, context, map);
  write_keyboards(out, context);
  if (map != nullptr) {
    out.text("<h2>Keyboard</h2>\n<figure>\n");
    write_keyboard_svg(out, *map);
    out.text("<figcaption>");
    write_colour_key(out, *map);
    out.text("</figcaption>\n</figure>\n<h2>Lists</h2>\n<dl class=\"lists\">\n");
    write_list(out, "Untested", *map, ReportList::kUntested);
    write_list(out, "Marked defect", *map, ReportList::kDefect);
    write_list(out, "Chatter", *map, ReportList::kChatter);
    write_list(out, "Stuck", *map, ReportList::kStuck);
    write_list(out, "Not on this map", *map, ReportList::kOffMap);
    out.text("</dl>\n");
    write_distributions_svg(out, *map);
    write_key_tables(out, *map);
  }
  out.text("</body>\n</html>\n");
}
