// Writes the HTML report of the fixed test state for the browser check and
// the README's picture: report_sample LAYOUT FILE [full|full-no-chatter]
// [en|de] (the report's language, English unless given).
// D is held as the report is written, so that all six states are drawn.
// "full" presses every key of the layout once more, for the print checks;
// "full-no-chatter" also takes S's chatter away, which leaves a test that
// must print on one page. Prints the layout's number of keys.
#include <cstdio>
#include <cstring>

#include "keys/report/report_file.h"
#include "support/report_sample.h"

int main(int argc, char** argv) {
  MapLayout layout;
  if (argc < 3 || !parse_map_layout(argv[1], &layout)) {
    std::fputs("usage: report_sample ansi|iso|jis|ansi-tkl|iso-tkl FILE [full|full-no-chatter] [en|de]\n", stderr);
    return 2;
  }
  bool full = false, no_chatter = false;
  UiLanguage language = UiLanguage::kEnglish;
  for (int i = 3; i < argc; ++i) {
    if (std::strcmp(argv[i], "full") == 0) full = true;
    else if (std::strcmp(argv[i], "full-no-chatter") == 0) full = no_chatter = true;
    else if (!ui_language_from_code(argv[i], &language)) return 2;
  }
  static ReportSample sample;
  fill_report_sample(&sample, layout);
  constexpr int kD = 0x20;
  sample.map.view.marks[kD] |= kMapHeld | kMapTested;
  sample.map.keys[kD] = sample_figures(1, 0, -1, 40000);
  sample.context.language = language;
  if (full) {
    for (int i = 0; i < sample.map.layout->count; ++i) {
      const int key = sample.map.layout->keys[i].key;
      sample.map.view.marks[key] |= kMapTested;
      KeyFigures& figures = sample.map.keys[key];
      figures.presses += 1;
      if (figures.longest_hold_us == 0) figures.longest_hold_us = 95000 + 137 * i;
      figures.device = 1;
      ++sample.map.timings.holds.counts[timing_bin_of(95000 + 137 * i)];
    }
  }
  if (no_chatter) {
    for (int key = 0; key < kKeyIdCount; ++key) {
      sample.map.view.marks[key] &= static_cast<uint8_t>(~kMapChatter);
      sample.map.keys[key].chatter = 0;
      sample.map.keys[key].zero_gap = 0;
    }
    sample.map.timings.chatter_gaps = TimingHistogram{};
  }
  char reason[128];
  if (write_report_file(argv[2], sample.context, reason, sizeof reason) != 0) {
    std::fprintf(stderr, "report_sample: %s: %s\n", argv[2], reason);
    return 1;
  }
  std::printf("%d\n", sample.map.layout->count);
  return 0;
}
