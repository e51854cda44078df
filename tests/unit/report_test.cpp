#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "keys/report/report_escape.h"
#include "keys/report/report_facts.h"
#include "keys/report/report_file.h"
#include "keys/report/report_html.h"
#include "keys/report/report_text.h"
#include "support/report_sample.h"
#include "support/written_text.h"

namespace {

std::string report(ReportForm form, const ReportContext& context) {
  std::string text;
  const LogWriter writer = string_writer(&text);
  if (form == ReportForm::kHtml) write_report_html(writer, context);
  else write_report_text(writer, context);
  return text;
}

int occurrences(const std::string& text, const std::string& part) {
  int count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

TEST(ReportText, FixedStateListsResultAndLabel) {
  static ReportSample sample;
  fill_report_sample(&sample, MapLayout::kIso);
  const std::string text = report(ReportForm::kText, sample.context);
  for (const char* line : {
           "program: klimperdetektor 9.9.9\n",
           "label: <S/N 7> & \"Tom's\" Pr\xC3\xBC" "f\xC3\xA4r\xEF\xBF\xBDX\n",
           "date: 2024-05-01 14:03:22 +02:00\n",
           "map layout: iso\nduration: 1:02:03\nstuck after: 8 s\n",
           "  1: USB <Keyboard> (VID_046D&PID_C31C, vendor 046d, product c31c), 20 events\n",
           "  2: unnamed keyboard 2 (ACPI\\PNP0303), 4 events\n",
           "counted: only keyboard 1\n",
           "result: open: 102 of 105 keys untested, 1 marked defect, 1 with chatter, 1 stuck\n",
           "marked defect: Q (16)\n",
           "chatter: S (31) 2x, smallest gap 4.000 ms\n",
           "stuck: Space (57) held 12.500 s\n",
           "not on this map: F13 (100)\n",
       })
    EXPECT_NE(text.find(line), std::string::npos) << line << "\nin:\n" << text;
  EXPECT_EQ(text.find("untested: Escape (1), F1 (59)"), text.find("untested: "));
  EXPECT_NE(text.find(" Q (16),"), std::string::npos) << "a marked key that was never pressed is untested too";
  // Every key pressed has a row; the defect key never pressed has none.
  EXPECT_NE(text.find("  S                 31        5        2        1         4.000 ms      80.000 ms     1\n"),
            std::string::npos)
      << text;
  for (const char* key : {"  A ", "  Space ", "  F13 "}) EXPECT_NE(text.find(key), std::string::npos) << key;
  EXPECT_EQ(text.find("\n  Q "), std::string::npos);
}

TEST(ReportHtml, FixedStateEscapedSelfContainedAndDrawn) {
  static ReportSample sample;
  fill_report_sample(&sample, MapLayout::kIso);
  const std::string html = report(ReportForm::kHtml, sample.context);
  EXPECT_EQ(html.rfind("<!DOCTYPE html>\n<html lang=\"en\">", 0), 0u);
  const std::string label = "&lt;S/N 7&gt; &amp; &quot;Tom&#39;s&quot; Pr\xC3\xBC" "f\xC3\xA4r\xEF\xBF\xBDX";
  EXPECT_EQ(occurrences(html, label), 2) << "in the title and the facts";
  EXPECT_EQ(html.find("<S/N"), std::string::npos);
  EXPECT_NE(html.find("1: USB &lt;Keyboard&gt; (VID_046D&amp;PID_C31C, vendor 046d, product c31c), 20 events"),
            std::string::npos);
  EXPECT_NE(html.find("<p class=\"result open\">Result: open: 102 of 105 keys untested, 1 marked defect, "
                      "1 with chatter, 1 stuck</p>"),
            std::string::npos);
  EXPECT_NE(html.find("<dt>Stuck</dt><dd>Space (57) held 12.500 s</dd>"), std::string::npos);
  EXPECT_NE(html.find("<dt>Not on this map</dt><dd>F13 (100)</dd>"), std::string::npos);
  // Nothing the page would fetch or run.
  for (const char* outside : {"<script", "src=", "href=", "url(", "@import", "@font-face"})
    EXPECT_EQ(html.find(outside), std::string::npos) << outside;
  // One key group per key of the layout, each with its state.
  EXPECT_EQ(occurrences(html, "<g class=\"s-"), sample.map.layout->count);
  for (const char* key : {"data-key=\"30\" data-state=\"tested\"", "data-key=\"31\" data-state=\"chatter\"",
                          "data-key=\"57\" data-state=\"stuck\"", "data-key=\"16\" data-state=\"defect\"",
                          "data-key=\"1\" data-state=\"untested\""})
    EXPECT_EQ(occurrences(html, key), 1) << key;
  EXPECT_EQ(occurrences(html, "data-state=\"untested\""), 101);
  EXPECT_EQ(html.find("data-key=\"100\""), std::string::npos) << "F13 is not on the ISO map";
  EXPECT_NE(html.find("<li><svg width=\"34\" height=\"20\" aria-hidden=\"true\"><rect class=\"s-defect\" "
                      "width=\"34\" height=\"20\" rx=\"3\"/><path class=\"m-defect\" d=\"M4 4L30 16M30 4L4 16\"/>"
                      "</svg> defect (1)</li>"),
            std::string::npos);
  // Each finding carries its mark in its key and its swatch; plain states none.
  for (const auto& [state, keys] : {std::pair{"chatter", 1}, {"stuck", 1}, {"defect", 1}, {"held", 0}, {"tested", 0},
                                    {"untested", 0}})
    EXPECT_EQ(occurrences(html, std::string("<path class=\"m-") + state + "\""), keys == 0 ? 0 : keys + 1) << state;
}

// The same test in German: every word from the German table, every number
// a person reads with a decimal comma, and the numbers a program reads (the
// drawing's coordinates) still with a point. An English word in the German
// report is a text that missed the table.
TEST(ReportLanguages, TheGermanReportSpeaksGermanWithDecimalCommas) {
  static ReportSample sample;
  fill_report_sample(&sample, MapLayout::kIso);
  sample.context.language = UiLanguage::kGerman;
  const std::string text = report(ReportForm::kText, sample.context);
  for (const char* line : {
           "Bericht des Tastaturtests\nProgramm: klimperdetektor 9.9.9\n",
           "Datum: 2024-05-01 14:03:22 +02:00\n",
           "Layout der Karte: iso\nDauer: 1:02:03\nH\xC3\xA4ngend ab: 8 s\n",
           "  1: USB <Keyboard> (VID_046D&PID_C31C, Hersteller 046d, Produkt c31c), 20 Ereignisse\n",
           "  2: unbenannte Tastatur 2 (ACPI\\PNP0303), 4 Ereignisse\n",
           "Gez\xC3\xA4hlt: nur Tastatur 1\n",
           "Ergebnis: offen: 102 von 105 Tasten ungetestet, 1 als defekt markiert, 1 mit Prellen, 1 h\xC3\xA4ngend\n",
           "Prellen: S (31) 2x, kleinster Abstand 4,000 ms\n",
           "H\xC3\xA4ngend: Space (57) gehalten 12,500 s\n",
           "Prellschwelle: 30 ms\n",
           // Columns by characters: the umlaut of the heading takes one.
           "  Zeit              Abst\xC3\xA4nde Prellen  Haltezeiten\n",
           "  S                 31        5        2        1         4,000 ms      80,000 ms     1\n",
       })
    EXPECT_NE(text.find(line), std::string::npos) << line << "\nin:\n" << text;
  const std::string html = report(ReportForm::kHtml, sample.context);
  EXPECT_EQ(html.rfind("<!DOCTYPE html>\n<html lang=\"de\">", 0), 0u);
  for (const char* part : {
           "<h1>Bericht des Tastaturtests</h1>",
           "<p class=\"result open\">Ergebnis: offen: 102 von 105 Tasten ungetestet, 1 als defekt markiert, "
           "1 mit Prellen, 1 h\xC3\xA4ngend</p>",
           "<dt>H\xC3\xA4ngend</dt><dd>Space (57) gehalten 12,500 s</dd>",
           "S (31) 2&times;, kleinster Abstand 4,000 ms",
           "</svg> defekt (1)</li>",
           "<h2>Abst\xC3\xA4nde und Haltezeiten</h2>",
           ">Prellschwelle 30 ms</text>",
           "<td>4,000</td><td>80,000</td>",
       })
    EXPECT_NE(html.find(part), std::string::npos) << part;
  // What a reader sees of the page: no tags (whose classes and data are
  // for programs) and no style sheet.
  std::string seen;
  bool in_tag = false;
  const std::string body = html.substr(html.find("</style>"));
  for (char c : body) {
    if (c == '<') in_tag = true;
    else if (c == '>') in_tag = false;
    else if (!in_tag) seen += c;
  }
  for (const char* english :
       {"untested", "smallest", "threshold", "events", " gaps", " holds", "below", "and up", "vendor", "product",
        "Result", "Lists", "Duration", "logarithmic", "too short", "chosen from", "Keys pressed", "Date"}) {
    EXPECT_EQ(text.find(english), std::string::npos) << english;
    EXPECT_EQ(seen.find(english), std::string::npos) << english;
  }
  EXPECT_EQ(text.find("none"), std::string::npos);
  // Coordinates with a point: a comma would move every bar.
  EXPECT_NE(html.find("<rect class=\"bar\" x=\""), std::string::npos);
  const size_t bar = html.find("<rect class=\"bar\" x=\"");
  EXPECT_EQ(html.substr(bar, 40).find(','), std::string::npos) << html.substr(bar, 60);
  EXPECT_NE(html.find("data-x=\"") , std::string::npos);
  EXPECT_EQ(html.substr(html.find("data-x=\""), 20).find(','), std::string::npos);
}

TEST(ReportFacts, ResultLine) {
  static ReportSample sample;
  fill_report_sample(&sample, MapLayout::kAnsiTkl);
  auto line = [](const KeyMapReport* map) {
    return written([map](LineBuilder& out) { write_result_line(out, report_result(map)); });
  };
  EXPECT_EQ(line(nullptr), "no keyboard map");
  for (int i = 0; i < sample.map.layout->count; ++i) sample.map.view.marks[sample.map.layout->keys[i].key] = kMapTested;
  sample.map.keys[0x1F].chatter = 0;
  EXPECT_EQ(line(&sample.map), "complete: all 87 keys tested, none marked defect, chattering or stuck");
  sample.map.keys[0x1F].chatter = 1;  // chatter counted by the figures alone still opens the test
  EXPECT_EQ(line(&sample.map), "open: 1 with chatter");
  sample.map.keys[0x1F].chatter = 0;
  sample.map.view.marks[0x10] |= kMapDefect;
  sample.map.view.marks[0x64] = kMapTested | kMapStuck;  // off the map, still stuck
  EXPECT_EQ(line(&sample.map), "open: 1 marked defect, 1 stuck");
}

TEST(ReportFacts, SmallFormats) {
  const struct {
    sys::LocalTime time;
    const char* text;
  } times[] = {{{2024, 5, 1, 14, 3, 22, 120}, "2024-05-01 14:03:22 +02:00"},
               {{1999, 12, 31, 23, 59, 59, -210}, "1999-12-31 23:59:59 -03:30"},
               {{2024, 1, 2, 3, 4, 5, -30}, "2024-01-02 03:04:05 -00:30"},
               {{2024, 1, 2, 3, 4, 5, 99999}, "2024-01-02 03:04:05 +00:00"}};
  for (const auto& c : times)
    EXPECT_EQ(written([&c](LineBuilder& out) { write_local_time(out, c.time); }), c.text);
  const struct {
    int64_t us;
    const char* duration;
  } durations[] = {{-5, "0:00:00"}, {59999999, "0:00:59"}, {3723000000, "1:02:03"}, {360000000000, "100:00:00"}};
  for (const auto& c : durations)
    EXPECT_EQ(written([&c](LineBuilder& out) { write_duration(out, c.us); }), c.duration);
  EXPECT_EQ(written([](LineBuilder& out) { write_gap(out, -1); }), "-");
  EXPECT_EQ(written([](LineBuilder& out) { write_seconds(out, 1500); }), "0.001 s");
  for (const auto& [key, legend] : {std::pair{0x01, "Esc"}, {0x2A, "Shift"}, {make_key_id(0x49, kPrefixE0), "PgUp"},
                                   {0x47, "7"}, {0x1E, "A"}, {0x3A, "Caps"}, {make_key_id(0x1C, kPrefixE0), "Enter"}})
    EXPECT_STREQ(key_legend(key), legend);
  // Six colours, each the window's own.
  const char* const colours[] = {"#555555", "#55ff55", "#b6b6ff", "#ff7d9d", "#aa5500", "#be00ff"};
  for (int i = 0; i < kReportStateCount; ++i)
    EXPECT_STREQ(report_state_colour(static_cast<ReportState>(i)), colours[i]) << i;
}

TEST(ReportEscape, BytesFromOutside) {
  const struct {
    const char* in;
    const char* plain;
    const char* html;
  } cases[] = {
      {"a<b>&\"c'", "a<b>&\"c'", "a&lt;b&gt;&amp;&quot;c&#39;"},
      {"\xC3\xBC\xE2\x82\xAC\xF0\x9F\x98\x80", "\xC3\xBC\xE2\x82\xAC\xF0\x9F\x98\x80",
       "\xC3\xBC\xE2\x82\xAC\xF0\x9F\x98\x80"},  // valid UTF-8 passes
      {"\xFC\x80\x81", "\xC3\xBC\xE2\x82\xAC\xEF\xBF\xBD", "\xC3\xBC\xE2\x82\xAC\xEF\xBF\xBD"},  // Windows-1252
      {"\xC0\x80", "\xC3\x80\xE2\x82\xAC", "\xC3\x80\xE2\x82\xAC"},              // overlong: read byte by byte
      {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},  // a surrogate
      {"\xE2\x82", "\xC3\xA2\xE2\x80\x9A", "\xC3\xA2\xE2\x80\x9A"},              // cut short at the end
      {"a\tb\x7F", "a\xEF\xBF\xBD" "b\xEF\xBF\xBD", "a\xEF\xBF\xBD" "b\xEF\xBF\xBD"},
      {nullptr, "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(written([&c](LineBuilder& out) { plain_text(out, c.in); }), c.plain) << (c.in ? c.in : "null");
    EXPECT_EQ(written([&c](LineBuilder& out) { html_text(out, c.in); }), c.html) << (c.in ? c.in : "null");
  }
}

TEST(ReportFile, FormByNameAndFailuresSaid) {
  const struct {
    const char* path;
    ReportForm form;
  } forms[] = {{"a.html", ReportForm::kHtml}, {"B.HTM", ReportForm::kHtml}, {".htm", ReportForm::kHtml},
               {"a.html.txt", ReportForm::kText}, {"html", ReportForm::kText}, {"-", ReportForm::kText},
               {nullptr, ReportForm::kText}};
  for (const auto& c : forms) EXPECT_EQ(report_form_for_path(c.path), c.form) << (c.path ? c.path : "null");

  static ReportSample sample;
  fill_report_sample(&sample, MapLayout::kAnsi);
  char reason[64];
  // By the name, and in a form given whatever the name (the Save dialog's
  // file type).
  const struct {
    const char* path;
    int form;  // -1: by the name
    const char* start;
  } writes[] = {{"report_test_out.HTML", -1, "<!DOCTYPE html>"},
                {"report_test_out.txt", -1, "Keyboard test r"},
                {"report_test_out.log", static_cast<int>(ReportForm::kHtml), "<!DOCTYPE html>"},
                {"report_test_out.html", static_cast<int>(ReportForm::kText), "Keyboard test r"}};
  for (const auto& c : writes) {
    ASSERT_EQ(c.form < 0 ? write_report_file(c.path, sample.context, reason, sizeof reason)
                         : write_report_file_as(c.path, static_cast<ReportForm>(c.form), sample.context, reason,
                                                sizeof reason),
              0)
        << reason;
    FILE* file = std::fopen(c.path, "rb");
    ASSERT_NE(file, nullptr);
    char start[16] = {};
    EXPECT_EQ(std::fread(start, 1, 15, file), 15u);
    std::fclose(file);
    std::remove(c.path);
    EXPECT_STREQ(start, c.start) << c.path;
  }
  EXPECT_EQ(write_report_file("no_such_dir/r.txt", sample.context, reason, sizeof reason), -1);
  EXPECT_STRNE(reason, "");
  EXPECT_EQ(write_report_file("", sample.context, reason, 3), -1);
  EXPECT_STREQ(reason, "no");  // cut to its buffer
#ifndef _WIN32
  EXPECT_EQ(write_report_file("/dev/full", sample.context, reason, sizeof reason), -1);
  EXPECT_NE(std::string(reason).find("space"), std::string::npos) << reason;
#endif
}

}  // namespace
