#include "keys/report/report_distributions_svg.h"

#include "keys/key_names.h"
#include "keys/record/key_timings.h"
#include "keys/report/report_escape.h"
#include "keys/report/report_facts.h"
#include "keys/report/report_timing_facts.h"

namespace {

// The charts' names in ids and data attributes, for programs.
constexpr char kGaps[] = "gaps";
constexpr char kHolds[] = "holds";
constexpr char kMs[] = " ms";
constexpr char kRangeDash[] = "\xE2\x80\x93";  // an en dash

// The chart's frame in SVG units; coordinates are written in thousandths.
constexpr int kBin = 14;      // a bin's width
constexpr int kLeft = 34;     // room for the count axis
constexpr int kRight = 8;
constexpr int kTop = 16;      // room for the threshold's and the short holds' notes
constexpr int kPlot = 60;     // the full bar's height
constexpr int kBelow = 26;    // tick labels and the axis label
constexpr int kWidth = kLeft + kTimingBins * kBin + kRight;
constexpr int kHeight = kTop + kPlot + kBelow;
constexpr int kBottom = kTop + kPlot;
// Labelled ticks at the decades, 0.1 ms to 10 s.
constexpr int kTickBins[] = {1, 5, 9, 13, 17, 21};

// A key's strip: one narrow bar a bin.
constexpr int kStripBin = 3;
constexpr int kStripHeight = 14;

constexpr char kNeutral[] = "#8a8a8a";
constexpr char kShortColour[] = "#e69f00";
constexpr char kShortBand[] = "#fcf0d8";

// 10^(k/4) for k = 0..3 in millionths: the quarters of a decade.
constexpr int64_t kQuarterSteps[4] = {1000000, 1778279, 3162278, 5623413};
// 10^(j/40) for j = 0..10 in millionths: a quarter decade in tenths, inside
// which the axis is taken as straight (off by under a thousandth of a bin).
constexpr int64_t kTenthSteps[11] = {1000000, 1059254, 1122018, 1188502, 1258925, 1333521,
                                     1412538, 1496236, 1584893, 1678804, 1778279};

// Coordinates keep the point whatever the language.
LineBuilder& milli(LineBuilder& out, int64_t value) { return out.thousandths(value); }

// A table text for HTML: the tables may hold an apostrophe.
LineBuilder& say(LineBuilder& out, UiLanguage language, UiText id) { return html_text(out, ui_text(language, id)); }

int32_t count_of(const TimingHistogram& histogram, int bin) {
  return histogram.counts[bin] > 0 ? histogram.counts[bin] : 0;
}

int32_t largest(const TimingHistogram& histogram) {
  int32_t most = 0;
  for (int bin = 0; bin < kTimingBins; ++bin)
    if (count_of(histogram, bin) > most) most = count_of(histogram, bin);
  return most;
}

// A count's height in thousandths of a unit, the largest count full.
int64_t bar_height(int32_t count, int32_t most, int full) {
  return most > 0 ? static_cast<int64_t>(count) * full * 1000 / most : 0;
}

LineBuilder& rect(LineBuilder& out, const char* css_class, int64_t x, int64_t y, int64_t width, int64_t height) {
  out.text("<rect class=\"").text(css_class).text("\" x=\"");
  milli(out, x).text("\" y=\"");
  milli(out, y).text("\" width=\"");
  milli(out, width).text("\" height=\"");
  return milli(out, height).put('"');
}

LineBuilder& counted(LineBuilder& out, int64_t count, UiText one, UiText many, UiLanguage language) {
  return say(out.integer(count), language, count == 1 ? one : many);
}

void threshold_line(LineBuilder& out, const KeyMapReport& map, int left, int bin_width, int top, int bottom,
                    bool labelled, UiLanguage language) {
  const int64_t us = static_cast<int64_t>(map.chatter_ms) * 1000;
  const int64_t x = static_cast<int64_t>(left) * 1000 + bin_width * timing_axis_position(us);
  out.text("<g class=\"threshold\" data-threshold-us=\"").integer(us).text("\" data-x=\"");
  milli(out, x).text("\"><line x1=\"");
  milli(out, x).text("\" x2=\"");
  milli(out, x).text("\" y1=\"").integer(top).text("\" y2=\"").integer(bottom).text("\"/>");
  if (labelled) {
    // Near the right end the label goes to the line's left.
    const bool to_left = x > static_cast<int64_t>(kWidth - 100) * 1000;
    out.text("<text x=\"");
    milli(out, x + (to_left ? -2000 : 2000)).text("\" y=\"").integer(top + 6).text("\"");
    if (to_left) out.text(" text-anchor=\"end\"");
    say(out.put('>'), language, UiText::kThresholdLine).integer(map.chatter_ms).text(kMs).text("</text>");
  }
  out.text("</g>\n");
}

void axes(LineBuilder& out, int32_t most, UiText count_label, UiText time_label, UiLanguage language) {
  out.text("<path class=\"axis\" d=\"M").integer(kLeft).put(' ').integer(kTop).text("V").integer(kBottom);
  out.text("H").integer(kLeft + kTimingBins * kBin);
  for (int bin : kTickBins) out.text("M").integer(kLeft + bin * kBin).put(' ').integer(kBottom).text("v3");
  out.text("\"/>\n");
  for (int bin : kTickBins) {
    out.text("<text class=\"tick\" x=\"").integer(kLeft + bin * kBin).text("\" y=\"").integer(kBottom + 11);
    write_short_time(out.text("\">"), timing_bin_lower_us(bin)).text("</text>");
  }
  out.text("\n<text class=\"tick\" x=\"").integer(kLeft - 3).text("\" y=\"").integer(kBottom);
  out.text("\" text-anchor=\"end\">0</text><text class=\"tick\" x=\"").integer(kLeft - 3).text("\" y=\"");
  out.integer(kTop + 6).text("\" text-anchor=\"end\">").integer(most).text("</text>\n");
  out.text("<text x=\"").integer(kLeft + kTimingBins * kBin / 2).text("\" y=\"").integer(kHeight - 3);
  say(out.text("\" text-anchor=\"middle\">"), language, time_label).text("</text>");
  out.text("<text transform=\"translate(9 ").integer(kTop + kPlot / 2).text(") rotate(-90)\" text-anchor=\"middle\">");
  say(out, language, count_label).text("</text>\n");
  if (most == 0) {
    out.text("<text x=\"").integer(kLeft + kTimingBins * kBin / 2).text("\" y=\"").integer(kTop + kPlot / 2);
    say(out.text("\" text-anchor=\"middle\">"), language, UiText::kNoneRecorded).text("</text>\n");
  }
}

LineBuilder& chart_start(LineBuilder& out, const char* name, int32_t most, UiText label, UiLanguage language) {
  out.text("<svg class=\"distribution\" id=\"").text(name).text("-distribution\" data-chart=\"").text(name);
  out.text("\" data-max=\"").integer(most).text("\" data-plot-top=\"").integer(kTop).text("\" data-plot-bottom=\"");
  out.integer(kBottom).text("\" xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 ").integer(kWidth).put(' ');
  return say(out.integer(kHeight).text("\" role=\"img\" aria-label=\""), language, label).text("\">\n");
}

LineBuilder& bin_start(LineBuilder& out, int bin, int32_t count) {
  out.text("<g class=\"bin\" data-bin=\"").integer(bin).text("\" data-lower-us=\"").integer(timing_bin_lower_us(bin));
  out.text("\" data-upper-us=\"").integer(timing_bin_upper_us(bin)).text("\" data-count=\"").integer(count);
  return out.put('"');
}

void gap_chart(LineBuilder& out, const KeyMapReport& map, UiLanguage language) {
  const TimingHistogram& gaps = map.timings.gaps;
  const int32_t most = largest(gaps);
  chart_start(out, kGaps, most, UiText::kGapChartLabel, language);
  for (int bin = 0; bin < kTimingBins; ++bin) {
    const int32_t count = count_of(gaps, bin);
    int32_t chatter = count_of(map.timings.chatter_gaps, bin);
    if (chatter > count) chatter = count;  // a part is never more than its whole
    bin_start(out, bin, count).text(" data-chatter=\"").integer(chatter).text("\"><title>");
    write_bin_range(out, bin, kRangeDash, language).text(": ");
    counted(out, count, UiText::kGapOne, UiText::kGapMany, language).text(", ").integer(chatter);
    say(out, language, UiText::kChatterCount).text("</title>");
    const int64_t x = (kLeft + bin * kBin + 1) * 1000, width = (kBin - 2) * 1000;
    const int64_t height = bar_height(count, most, kPlot), part = bar_height(chatter, most, kPlot);
    rect(out, "bar", x, kBottom * 1000 - height, width, height).text("/>");
    rect(out, "bar-chatter", x, kBottom * 1000 - part, width, part).text("/></g>\n");
  }
  axes(out, most, UiText::kGapsCount, UiText::kGapAxis, language);
  threshold_line(out, map, kLeft, kBin, kTop - 10, kBottom, true, language);
  out.text("</svg>\n");
}

void hold_chart(LineBuilder& out, const KeyMapReport& map, UiLanguage language) {
  const TimingHistogram& holds = map.timings.holds;
  const int32_t most = largest(holds);
  int64_t short_holds = 0;
  for (int bin = 0; bin < kShortHoldBins; ++bin) short_holds += count_of(holds, bin);
  chart_start(out, kHolds, most, UiText::kHoldChartLabel, language);
  // The band of holds no finger makes, with its note: seen without colour too.
  out.text("<g class=\"short-holds\" data-count=\"").integer(short_holds).text("\" data-upper-us=\"");
  out.integer(timing_bin_lower_us(kShortHoldBins)).text("\">");
  rect(out, "short-band", kLeft * 1000, kTop * 1000, kShortHoldBins * kBin * 1000, kPlot * 1000).text("/>");
  out.text("<text x=\"").integer(kLeft + 2).text("\" y=\"").integer(kTop - 4).text("\">");
  if (short_holds > 0) counted(out, short_holds, UiText::kHoldOne, UiText::kHoldMany, language).put(' ');
  write_short_time(say(out, language, UiText::kShortNoteBefore), timing_bin_lower_us(kShortHoldBins));
  say(out, language, UiText::kShortNoteAfter);
  out.text("</text></g>\n");
  for (int bin = 0; bin < kTimingBins; ++bin) {
    const int32_t count = count_of(holds, bin);
    const bool too_short = bin < kShortHoldBins;
    bin_start(out, bin, count).text("><title>");
    write_bin_range(out, bin, kRangeDash, language).text(": ");
    counted(out, count, UiText::kHoldOne, UiText::kHoldMany, language);
    if (too_short && count > 0) say(out, language, UiText::kTooShortTitle);
    out.text("</title>");
    const int64_t height = bar_height(count, most, kPlot);
    rect(out, too_short ? "bar bar-short" : "bar", (kLeft + bin * kBin + 1) * 1000, kBottom * 1000 - height,
         (kBin - 2) * 1000, height)
        .text("/></g>\n");
  }
  axes(out, most, UiText::kHoldsCount, UiText::kHoldAxis, language);
  out.text("</svg>\n");
}

}  // namespace

int64_t timing_axis_position(int64_t us) {
  if (us <= 0) return 0;
  const int bin = timing_bin_of(us);
  if (bin == 0) return us * 1000 / timing_bin_lower_us(1);
  if (bin == kTimingBins - 1) return static_cast<int64_t>(bin) * 1000;
  // From the decade's exact start rather than the bin's rounded edge: the
  // ratio in millionths, then within its quarter, then within its tenth.
  int64_t base = 100;
  int first = 1;  // the decade's first bin
  while (us >= base * 10) {
    base *= 10;
    first += 4;
  }
  int64_t ratio = us * 1000000 / base;
  int quarter = 0;
  while (quarter < 3 && ratio >= kQuarterSteps[quarter + 1]) ++quarter;
  ratio = ratio * 1000000 / kQuarterSteps[quarter];
  int step = 0;
  while (step < 9 && ratio >= kTenthSteps[step + 1]) ++step;
  int64_t position = static_cast<int64_t>(first + quarter) * 1000 + step * 100 +
                     (ratio - kTenthSteps[step]) * 100 / (kTenthSteps[step + 1] - kTenthSteps[step]);
  // The bins' edges are whole microseconds: a time stays in its own bin.
  if (position < bin * 1000) position = bin * 1000;
  if (position > bin * 1000 + 999) position = bin * 1000 + 999;
  return position;
}

void write_distribution_styles(LineBuilder& out) {
  const char* chatter = report_state_colour(ReportState::kChatter);
  out.text(".distributions{display:grid;grid-template-columns:1fr 1fr;gap:0 1.5em}\n");
  out.text("svg.distribution{width:100%;height:auto;display:block}\n");
  out.text("svg.distribution text{font:8px sans-serif;fill:#111}.distribution text.tick{text-anchor:middle}\n");
  out.text(".distribution .axis{fill:none;stroke:#111;stroke-width:.6}\n");
  out.text(".distribution .bar,.gap-strip .bar{fill:").text(kNeutral).text("}\n");
  out.text(".distribution .bar-chatter,.gap-strip .bar-chatter{fill:").text(chatter);
  out.text(";stroke:#111;stroke-width:.4}\n");
  out.text(".distribution .bar-short{fill:").text(kShortColour).text("}.short-band{fill:").text(kShortBand);
  out.text("}\n.threshold line{stroke:#111;stroke-width:1;stroke-dasharray:3 2}\n");
  out.text("svg.gap-strip{width:66px;height:14px;vertical-align:middle;margin-left:.4em;background:#f4f4f4}\n");
  out.text(".gap-strip .threshold line{stroke-width:.6;stroke-dasharray:2 1}\n");
  out.text("@media print{.distributions{column-gap:1em}svg.gap-strip{width:18mm;height:3.8mm}}\n");
}

void write_distributions_svg(LineBuilder& out, const KeyMapReport& map, UiLanguage language) {
  say(out.text("<h2>"), language, UiText::kTimingsTitle).text("</h2>\n<div class=\"distributions\">\n");
  gap_chart(out, map, language);
  hold_chart(out, map, language);
  out.text("</div>\n");
}

void write_key_gap_strip(LineBuilder& out, const KeyMapReport& map, int key, UiLanguage language) {
  if (key < 0 || key >= kKeyIdCount) return;
  const TimingHistogram& gaps = map.timings.key_gaps[key];
  const int32_t most = largest(gaps);
  const int64_t threshold_us = static_cast<int64_t>(map.chatter_ms) * 1000;
  out.text("<svg class=\"gap-strip\" data-key=\"");
  scancode_text(out, key).text("\" data-max=\"").integer(most).text("\" xmlns=\"http://www.w3.org/2000/svg\" ");
  out.text("viewBox=\"0 0 ").integer(kTimingBins * kStripBin).put(' ').integer(kStripHeight);
  html_text(say(out.text("\" role=\"img\" aria-label=\""), language, UiText::kStripLabel), key_name(key)).text("\">");
  for (int bin = 0; bin < kTimingBins; ++bin) {
    const int32_t count = count_of(gaps, bin);
    if (count == 0) continue;
    // A bin wholly below the threshold holds chatter only.
    const int64_t upper = timing_bin_upper_us(bin);
    const bool chatter = upper >= 0 && upper <= threshold_us;
    const int64_t height = bar_height(count, most, kStripHeight - 1);
    rect(out, chatter ? "bar-chatter" : "bar", bin * kStripBin * 1000, kStripHeight * 1000 - height,
         kStripBin * 1000, height);
    out.text(" data-bin=\"").integer(bin).text("\" data-count=\"").integer(count).text("\"><title>");
    write_bin_range(out, bin, kRangeDash, language).text(": ");
    counted(out, count, UiText::kGapOne, UiText::kGapMany, language).text("</title></rect>");
  }
  threshold_line(out, map, 0, kStripBin, 0, kStripHeight, false, language);
  out.text("</svg>");
}
