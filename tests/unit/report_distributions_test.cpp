#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <regex>
#include <string>
#include <vector>

#include "keys/report/report_distributions_svg.h"
#include "keys/report/report_html.h"
#include "keys/report/report_text.h"
#include "keys/report/report_timing_facts.h"
#include "support/hostile_values.h"
#include "support/report_sample.h"
#include "support/written_text.h"

namespace {

std::string text_report(const ReportContext& context) {
  std::string text;
  write_report_text(string_writer(&text), context);
  return text;
}

std::string html_report(const ReportContext& context) {
  std::string text;
  write_report_html(string_writer(&text), context);
  return text;
}

const int kS = 0x1F;

// The sample's map with its timings replaced: gaps on both sides of bin
// edges (chatter below 30 ms), all of them S's, and holds around 5.62 ms.
void fill_edges(ReportSample* sample) {
  fill_report_sample(sample, MapLayout::kIso);
  KeyMapReport& map = sample->map;
  key_timings_clear(&map.timings);
  for (int64_t us : {99, 100, 177, 178, 4000, 4000, 25000, 31622, 31623, 9999999, 10000000}) {
    const int bin = timing_bin_of(us);
    ++map.timings.gaps.counts[bin];
    ++map.timings.key_gaps[kS].counts[bin];
    if (us < 30000) ++map.timings.chatter_gaps.counts[bin];
  }
  for (int64_t us : {2000, 5622, 5623, 90000}) ++map.timings.holds.counts[timing_bin_of(us)];
}

int occurrences(const std::string& text, const std::string& part) {
  int count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

std::string section(const std::string& text, const std::string& from, const std::string& to) {
  const size_t start = text.find(from);
  if (start == std::string::npos) return "";
  const size_t end = text.find(to, start);
  return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

TEST(ReportDistributions, TextTableOfBinsWithEdges) {
  static ReportSample sample;
  fill_edges(&sample);
  const struct {
    const char* range;
    int gaps, chatter, holds;
    const char* note;
  } rows[] = {
      {"below 0.1 ms", 1, 1, 0, ""},
      {"0.1-0.178 ms", 2, 2, 0, ""},
      {"0.178-0.316 ms", 1, 1, 0, ""},
      {"0.316-0.562 ms", 0, 0, 0, ""},
      {"0.562-1 ms", 0, 0, 0, ""},
      {"1-1.78 ms", 0, 0, 0, ""},
      {"1.78-3.16 ms", 0, 0, 1, "too short for a finger"},
      {"3.16-5.62 ms", 2, 2, 1, "too short for a finger"},
      {"5.62-10 ms", 0, 0, 1, ""},
      {"10-17.8 ms", 0, 0, 0, ""},
      {"17.8-31.6 ms", 2, 1, 0, "threshold 30 ms in this bin"},
      {"31.6-56.2 ms", 1, 0, 0, ""},
      {"56.2-100 ms", 0, 0, 1, ""},
      {"100-178 ms", 0, 0, 0, ""},
      {"178-316 ms", 0, 0, 0, ""},
      {"316-562 ms", 0, 0, 0, ""},
      {"562-1000 ms", 0, 0, 0, ""},
      {"1-1.78 s", 0, 0, 0, ""},
      {"1.78-3.16 s", 0, 0, 0, ""},
      {"3.16-5.62 s", 0, 0, 0, ""},
      {"5.62-10 s", 1, 0, 0, ""},
      {"10 s and up", 1, 0, 0, ""},
  };
  std::string expected = "gaps and holds of all keys (chatter threshold 30 ms):\n"
                         "  time              gaps     chatter  holds\n";
  for (const auto& row : rows) {
    char line[128];
    std::snprintf(line, sizeof line, "  %-18s%-9d%-9d%d", row.range, row.gaps, row.chatter, row.holds);
    std::string full = line;
    if (row.note[0] != '\0') full.append(47 - full.size(), ' ').append(row.note);
    expected += full + "\n";
  }
  expected += "holds under 5.62 ms, shorter than a finger presses a key: 2\n";
  const std::string text = text_report(sample.context);
  EXPECT_EQ(section(text, "gaps and holds", "keys pressed:"), expected);

  // Only the bins from the first to the last that holds anything, and the
  // threshold's bin even when empty; nothing at all says so.
  key_timings_clear(&sample.map.timings);
  sample.map.timings.gaps.counts[timing_bin_of(4000)] = 3;
  const std::string trimmed = section(text_report(sample.context), "gaps and holds", "keys pressed:");
  EXPECT_NE(trimmed.find("holds\n  3.16-5.62 ms      3 "), std::string::npos) << trimmed;
  EXPECT_NE(trimmed.find("\n  17.8-31.6 ms      0        0        0        threshold 30 ms in this bin\n"),
            std::string::npos)
      << trimmed;
  EXPECT_EQ(std::count(trimmed.begin(), trimmed.end(), '\n'), 2 + 4);
  key_timings_clear(&sample.map.timings);
  EXPECT_EQ(section(text_report(sample.context), "gaps and holds", "keys pressed:"),
            "gaps and holds of all keys (chatter threshold 30 ms):\n  none\n");
}

struct Bar {
  int bin;
  long lower, upper, count, chatter;
  double x, width;
};

// The gap chart's bins as the page gives them to a reader.
std::vector<Bar> gap_bars(const std::string& html) {
  const std::string chart = section(html, "<svg class=\"distribution\" id=\"gaps-distribution\"", "</svg>");
  static const std::regex bin(
      "<g class=\"bin\" data-bin=\"(\\d+)\" data-lower-us=\"(-?\\d+)\" data-upper-us=\"(-?\\d+)\" "
      "data-count=\"(\\d+)\" data-chatter=\"(\\d+)\"><title>[^<]*</title>"
      "<rect class=\"bar\" x=\"([\\d.]+)\" y=\"[\\d.]+\" width=\"([\\d.]+)\"");
  std::vector<Bar> bars;
  for (std::sregex_iterator it(chart.begin(), chart.end(), bin), end; it != end; ++it) {
    const std::smatch& m = *it;
    bars.push_back(Bar{std::stoi(m[1]), std::stol(m[2]), std::stol(m[3]), std::stol(m[4]), std::stol(m[5]),
                       std::stod(m[6]), std::stod(m[7])});
  }
  return bars;
}

TEST(ReportDistributions, HtmlBarsThresholdAndStripWhereTheRecordPutsThem) {
  static ReportSample sample;
  fill_edges(&sample);
  const std::string html = html_report(sample.context);
  const std::vector<Bar> bars = gap_bars(html);
  ASSERT_EQ(bars.size(), static_cast<size_t>(kTimingBins));
  const long counts[kTimingBins] = {1, 2, 1, 0, 0, 0, 0, 2, 0, 0, 2, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1};
  const long chatter[kTimingBins] = {1, 2, 1, 0, 0, 0, 0, 2, 0, 0, 1};
  for (int i = 0; i < kTimingBins; ++i) {
    const Bar& bar = bars[i];
    EXPECT_EQ(bar.bin, i);
    EXPECT_EQ(bar.lower, timing_bin_lower_us(i));
    EXPECT_EQ(bar.upper, timing_bin_upper_us(i));
    EXPECT_EQ(bar.count, counts[i]) << i;
    EXPECT_EQ(bar.chatter, chatter[i]) << i;
  }
  EXPECT_NE(html.find("<title>17.8\xE2\x80\x93" "31.6 ms: 2 gaps, 1 chatter</title>"), std::string::npos);
  EXPECT_NE(html.find("<title>below 0.1 ms: 1 gap, 1 chatter</title>"), std::string::npos);

  // The threshold at 30 ms stands in bin 10, where a log axis puts it.
  std::smatch m;
  const std::string gap_chart = section(html, "<svg class=\"distribution\" id=\"gaps-distribution\"", "</svg>");
  const std::string threshold = section(gap_chart, "<g class=\"threshold\"", "</g>");
  ASSERT_TRUE(std::regex_search(threshold, m, std::regex("data-threshold-us=\"30000\" data-x=\"([\\d.]+)\"")))
      << threshold;
  const double x = std::stod(m[1]);
  const Bar& bin = bars[10];
  EXPECT_GT(x, bin.x);
  EXPECT_LT(x, bin.x + bin.width);
  const double slot = bin.width + 2, start = bin.x - 1;
  EXPECT_NEAR(x, start + slot * std::log10(30000.0 / 17783) * 4, 0.05);
  EXPECT_NE(threshold.find(">chatter threshold 30 ms</text>"), std::string::npos) << threshold;
  EXPECT_NE(html.find("<tr><th>Chatter threshold</th><td>30 ms</td></tr>"), std::string::npos);

  // The chattering key's strip, beside its entry: its own bins, the ones
  // wholly below the threshold in the chatter colour, and the threshold.
  const std::string entry = section(html, "<dt>Chatter</dt><dd>S (31)", "</dd>");
  const std::string strip = section(entry, "<svg class=\"gap-strip\" data-key=\"31\"", "</svg>");
  ASSERT_FALSE(strip.empty()) << entry;
  EXPECT_EQ(occurrences(strip, "data-bin="), 8);
  for (const char* bar : {"class=\"bar-chatter\"[^>]*data-bin=\"7\" data-count=\"2\"",
                          "class=\"bar\"[^>]*data-bin=\"10\" data-count=\"2\"",
                          "class=\"bar\"[^>]*data-bin=\"21\" data-count=\"1\""})
    EXPECT_TRUE(std::regex_search(strip, std::regex(bar))) << bar << "\nin " << strip;
  EXPECT_NE(strip.find("data-threshold-us=\"30000\""), std::string::npos);
  EXPECT_EQ(occurrences(html, "<svg class=\"gap-strip\""), 1) << "a strip for the one key that chattered";

  // Holds under 5.62 ms set apart: their bars, the band and its note.
  const std::string holds = section(html, "<svg class=\"distribution\" id=\"holds-distribution\"", "</svg>");
  EXPECT_NE(holds.find("<g class=\"short-holds\" data-count=\"2\" data-upper-us=\"5623\">"), std::string::npos);
  EXPECT_NE(holds.find(">2 holds under 5.62 ms: too short for a finger</text>"), std::string::npos);
  EXPECT_EQ(occurrences(holds, "class=\"bar bar-short\""), kShortHoldBins);
  for (const char* tick : {">0.1 ms<", ">1 ms<", ">10 ms<", ">100 ms<", ">1 s<", ">10 s<"})
    EXPECT_NE(holds.find(tick), std::string::npos) << tick;
}

TEST(ReportDistributions, AxisPositionIsLogarithmicAndBounded) {
  const struct {
    int64_t us, position;
  } cases[] = {{INT64_MIN, 0}, {0, 0}, {50, 500}, {10000000, 21000}, {INT64_MAX, 21000}};
  for (const auto& c : cases) EXPECT_NEAR(timing_axis_position(c.us), c.position, 1) << c.us;
  int64_t last = -1;
  for (int64_t us = 1; us < 20000000; us += us / 97 + 1) {
    const int64_t position = timing_axis_position(us);
    ASSERT_GE(position, last) << us;
    if (us >= 100 && us < 10000000) {
      ASSERT_NEAR(position, 1000 + 4000 * std::log10(us / 100.0), 2) << us;
    }
    last = position;
  }
}

TEST(ReportRecordFacts, ChordThresholdAndRecordInBothForms) {
  static ReportSample sample;
  fill_report_sample(&sample, MapLayout::kIso);
  KeyMapReport& map = sample.map;
  const std::string plain = section(text_report(sample.context), "chatter threshold:", "keyboards:");
  EXPECT_EQ(plain, "chatter threshold: 30 ms\nmost held at once: 3 (A, S, Left Shift)\nevents kept: 20\n");
  const std::string rows = section(html_report(sample.context), "<tr><th>Chatter threshold", "</table>");
  EXPECT_EQ(rows, "<tr><th>Chatter threshold</th><td>30 ms</td></tr>\n"
                  "<tr><th>Most held at once</th><td>3 (A, S, Left Shift)</td></tr>\n"
                  "<tr><th>Events kept</th><td>20</td></tr>\n");

  // A test read from a file, past the record's end, begun again.
  std::memset(map.chord, 0, sizeof map.chord);
  map.chord[make_key_id(0x1D, kPrefixE0)] = true;
  map.view.most_held = 1;
  map.events = 4194304;
  map.dropped_from_us = 3723000000;
  map.restarts = 2;
  map.restarted_at_us = 300000000;
  std::strcpy(map.source_name, "keys<1>.csv");
  EXPECT_EQ(section(text_report(sample.context), "most held", "keyboards:"),
            "most held at once: 1 (Right Ctrl)\n"
            "events kept: 4194304, none from 1:02:03 on (the record was full)\n"
            "read from: keys<1>.csv\n"
            "began again: 2 times, last at 0:05:00 into the record\n");
  EXPECT_EQ(section(html_report(sample.context), "<tr><th>Most held", "</table>"),
            "<tr><th>Most held at once</th><td>1 (Right Ctrl)</td></tr>\n"
            "<tr><th>Events kept</th><td>4194304, none from 1:02:03 on (the record was full)</td></tr>\n"
            "<tr><th>Read from</th><td>keys&lt;1&gt;.csv</td></tr>\n"
            "<tr><th>Began again</th><td>2 times, last at 0:05:00 into the record</td></tr>\n");

  // No chord known, one restart at an unknown time, a name that fills its
  // array to the last byte.
  std::memset(map.chord, 0, sizeof map.chord);
  map.view.most_held = 0;
  map.restarts = 1;
  map.restarted_at_us = -1;
  std::memset(map.source_name, 'k', sizeof map.source_name);
  const std::string text = text_report(sample.context);
  EXPECT_NE(text.find("most held at once: 0\n"), std::string::npos);
  EXPECT_NE(text.find("began again: 1 time\n"), std::string::npos);
  EXPECT_NE(text.find("read from: " + std::string(sizeof map.source_name, 'k') + "\n"), std::string::npos);
}

TEST(ReportDistributions, AnyFiguresStayInsideThePicture) {
  // Counts at the extremes and below zero, thresholds of any int, the
  // record's facts out of their ranges: both reports are written whole
  // (the sanitizers watch the arithmetic) and no bar leaves its plot.
  static ReportSample sample;
  fill_report_sample(&sample, MapLayout::kIso);
  KeyMapReport& map = sample.map;
  for (int bin = 0; bin < kTimingBins; ++bin) {
    map.timings.gaps.counts[bin] = bin % 3 == 0 ? INT32_MAX : -bin;
    map.timings.chatter_gaps.counts[bin] = bin % 2 == 0 ? INT32_MAX : INT32_MIN;
    map.timings.holds.counts[bin] = INT32_MAX;
    map.timings.key_gaps[kS].counts[bin] = bin % 2 == 0 ? INT32_MAX : -1;
  }
  map.view.most_held = INT_MIN;
  map.restarts = INT_MAX;
  map.restarted_at_us = INT64_MAX;
  map.dropped_from_us = INT64_MAX;
  map.events = UINT32_MAX;
  static const std::regex height("height=\"(-?[\\d.]+)\"");
  hostile::for_each_value(hostile::kInts, [&](int chatter_ms) {
    map.chatter_ms = chatter_ms;
    const std::string html = html_report(sample.context);
    ASSERT_NE(html.find("</html>"), std::string::npos) << chatter_ms;
    const std::string text = text_report(sample.context);
    ASSERT_NE(text.find("holds under 5.62 ms, shorter than a finger presses a key: 17179869176\n"), std::string::npos)
        << chatter_ms;
    const std::string gaps = section(html, "id=\"gaps-distribution\"", "</svg>");
    for (std::sregex_iterator it(gaps.begin(), gaps.end(), height), end; it != end; ++it) {
      const double value = std::stod((*it)[1]);
      ASSERT_TRUE(value >= 0 && value <= 60) << value << " at " << chatter_ms;
    }
    std::smatch m;
    ASSERT_TRUE(std::regex_search(gaps, m, std::regex("data-threshold-us=\"-?\\d+\" data-x=\"([\\d.]+)\"")));
    const double x = std::stod(m[1]);
    EXPECT_TRUE(x >= 34 && x <= 34 + 22 * 14) << x << " at " << chatter_ms;
  });
  for (int key : {INT_MIN, -1, kKeyIdCount, INT_MAX})
    EXPECT_EQ(written([&](LineBuilder& out) { write_key_gap_strip(out, map, key); }), "") << key;
  EXPECT_EQ(written([&](LineBuilder& out) { write_chord(out, map, nullptr); }), "-2147483648 (A, S, Left Shift)");
}

TEST(ReportTimingFacts, ShortTimesAndBinRanges) {
  const struct {
    int64_t us;
    const char* text;
  } times[] = {{INT64_MIN, "0 ms"}, {0, "0 ms"},           {5, "0.005 ms"},   {100, "0.1 ms"},
               {178, "0.178 ms"},   {9995, "10 ms"},       {17783, "17.8 ms"}, {562341, "562 ms"},
               {999999, "1000 ms"}, {1000000, "1 s"},      {1778279, "1.78 s"}, {INT64_MAX, "9220000000000 s"}};
  for (const auto& c : times) EXPECT_EQ(written([&c](LineBuilder& out) { write_short_time(out, c.us); }), c.text);
  const struct {
    int bin;
    const char* text;
  } ranges[] = {{0, "below 0.1 ms"}, {10, "17.8~31.6 ms"}, {16, "562~1000 ms"}, {17, "1~1.78 s"},
                {21, "10 s and up"}, {INT_MIN, "-"},       {-1, "-"},        {kTimingBins, "-"}, {INT_MAX, "-"}};
  for (const auto& c : ranges)
    EXPECT_EQ(written([&c](LineBuilder& out) { write_bin_range(out, c.bin, "~"); }), c.text) << c.bin;
}

}  // namespace
