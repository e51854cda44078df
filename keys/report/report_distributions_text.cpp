#include "keys/report/report_distributions_text.h"

#include "keys/record/key_timings.h"
#include "keys/report/report_timing_facts.h"

namespace {

constexpr size_t kColumn[] = {2, 20, 29, 38, 47};  // where each column and the note begin

int32_t count(const TimingHistogram& histogram, int bin) {
  return histogram.counts[bin] > 0 ? histogram.counts[bin] : 0;
}

}  // namespace

void write_distributions_text(LineBuilder& out, const KeyMapReport& map, UiLanguage language) {
  const auto say = [language](UiText id) { return ui_text(language, id); };
  const KeyTimings& timings = map.timings;
  out.text(say(UiText::kTimingsHeading)).integer(map.chatter_ms).text(say(UiText::kTimingsHeadingEnd)).put('\n');
  int first = kTimingBins, last = -1;
  int64_t short_holds = 0;
  for (int bin = 0; bin < kTimingBins; ++bin) {
    if (count(timings.gaps, bin) > 0 || count(timings.chatter_gaps, bin) > 0 || count(timings.holds, bin) > 0) {
      if (first > bin) first = bin;
      last = bin;
    }
    if (bin < kShortHoldBins) short_holds += count(timings.holds, bin);
  }
  if (last < 0) {
    out.text("  ").text(say(UiText::kNone)).put('\n');
    return;
  }
  // The threshold's bin is shown even when empty, so that the table says
  // on which side of it the gaps lie.
  const int threshold_bin = timing_bin_of(static_cast<int64_t>(map.chatter_ms) * 1000);
  if (first > threshold_bin) first = threshold_bin;
  if (last < threshold_bin) last = threshold_bin;
  const UiText columns[] = {UiText::kColumnTime, UiText::kColumnGaps, UiText::kColumnChatter, UiText::kColumnHolds};
  for (int column = 0; column < 4; ++column) out.pad_to(kColumn[column]).text(say(columns[column]));
  out.put('\n');
  for (int bin = first; bin <= last; ++bin) {
    write_bin_range(out.pad_to(kColumn[0]), bin, "-", language);
    out.pad_to(kColumn[1]).integer(count(timings.gaps, bin));
    out.pad_to(kColumn[2]).integer(count(timings.chatter_gaps, bin));
    out.pad_to(kColumn[3]).integer(count(timings.holds, bin));
    const char* separator = "";
    if (bin == threshold_bin) {
      out.pad_to(kColumn[4]).text(say(UiText::kThresholdInBin)).integer(map.chatter_ms).text(say(UiText::kThresholdInBinEnd));
      separator = ", ";
    }
    if (bin < kShortHoldBins && count(timings.holds, bin) > 0) out.pad_to(kColumn[4]).text(separator).text(say(UiText::kTooShort));
    out.put('\n');
  }
  if (short_holds > 0) {
    out.text(say(UiText::kShortHolds));
    write_short_time(out, timing_bin_lower_us(kShortHoldBins)).text(say(UiText::kShortHoldsEnd));
    out.integer(short_holds).put('\n');
  }
}
