// A fixed test state for the report's tests and for the browser check:
// on the given layout A tested, S chattering, Space stuck, Q marked defect
// (never pressed), F13 pressed off the map, two keyboards (one named, one
// not), counted only from keyboard 1, and a label that needs escaping; the
// gaps and holds of those presses at a chatter threshold of 30 ms.
#pragma once

#include <cstring>

#include "keys/key_names.h"
#include "keys/record/key_timings.h"
#include "keys/report/report_context.h"

struct ReportSample {
  KeyMapReport map;
  KeyboardDevice keyboards[2];
  ReportContext context;
};

inline KeyFigures sample_figures(int presses, int chatter, int64_t gap_us, int64_t hold_us) {
  return KeyFigures{presses, chatter, chatter > 0 ? 1 : 0, gap_us, hold_us, 1};
}

// The label's bytes: markup, quotes, a valid UTF-8 "ü", a Windows-1252 "ä"
// and a line break.
constexpr char kSampleLabel[] = "<S/N 7> & \"Tom's\" Pr\xC3\xBC" "f\xE4r\nX";

inline void fill_report_sample(ReportSample* sample, MapLayout layout) {
  std::memset(static_cast<void*>(sample), 0, sizeof *sample);
  KeyMapReport& map = sample->map;
  map.layout = &keyboard_layout(layout);
  map.duration_us = 3723000000;  // 1:02:03
  map.stuck_s = 8;
  for (KeyFigures& figures : map.keys) figures.smallest_gap_us = -1;
  const int a = 0x1E, s = 0x1F, space = 0x39, q = 0x10, f13 = 0x64;
  map.keys[a] = sample_figures(3, 0, 250000, 90000);
  map.keys[s] = sample_figures(5, 2, 4000, 80000);
  map.keys[space] = sample_figures(1, 0, -1, 12500000);
  map.keys[f13] = sample_figures(1, 0, -1, 70000);
  map.view.marks[a] = kMapTested;
  map.view.marks[s] = kMapTested | kMapChatter;
  map.view.marks[space] = kMapTested | kMapStuck;
  map.view.marks[q] = kMapDefect;
  map.view.marks[f13] = kMapTested;
  // The record behind it: S bounced twice at 4 ms and once held for 2 ms;
  // A, S and Left Shift were held together.
  map.chatter_ms = 30;
  map.view.most_held = 3;
  map.chord[a] = map.chord[s] = map.chord[0x2A] = true;
  map.events = 20;
  map.dropped_from_us = -1;
  map.restarted_at_us = -1;
  const struct {
    int key;
    int64_t us;
    bool chatter;
  } gaps[] = {{a, 250000, false}, {a, 250000, false}, {s, 4000, true}, {s, 4000, true}, {s, 150000, false},
              {s, 150000, false}};
  for (const auto& gap : gaps) {
    const int bin = timing_bin_of(gap.us);
    ++map.timings.gaps.counts[bin];
    ++map.timings.key_gaps[gap.key].counts[bin];
    if (gap.chatter) ++map.timings.chatter_gaps.counts[bin];
  }
  for (int64_t hold : {90000, 90000, 90000, 80000, 80000, 80000, 80000, 2000, 12500000, 70000})
    ++map.timings.holds.counts[timing_bin_of(hold)];
  KeyboardDevice& named = sample->keyboards[0];
  named.number = 1;
  std::strcpy(named.id, "VID_046D&PID_C31C");
  named.has_vendor = true;
  named.vendor = 0x046D;
  named.product = 0xC31C;
  std::strcpy(named.name, "USB <Keyboard>");
  named.events = 20;
  KeyboardDevice& unnamed = sample->keyboards[1];
  unnamed.number = 2;
  std::strcpy(unnamed.id, "ACPI\\PNP0303");
  unnamed.events = 4;
  sample->context = ReportContext{&map, sample->keyboards, 2, "1", kSampleLabel, "klimperdetektor", "9.9.9",
                                  "2024-05-01 14:03:22 +02:00", "Windows 10.0 build 19045",
                                  "German (Germany), layout 00000407", UiLanguage::kEnglish};
}
