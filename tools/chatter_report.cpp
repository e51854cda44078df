// The HTML report of a made-up test in which one key chatters, for the
// README's picture of what chatter looks like: twenty keys each pressed ten
// times in a row (E thirty), as a tester does, with human gaps and holds, and E
// bouncing a few milliseconds after half of its releases, folded by the
// map as a live test would be.
//   chatter_report FILE
#include <cstdio>

#include "keys/map/keyboard_map.h"
#include "keys/report/report_file.h"
#include "keys/report/report_snapshot.h"

namespace {

int64_t fixed_now_us = 0;
int64_t fixed_clock() { return fixed_now_us; }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: chatter_report FILE.html\n", stderr);
    return 2;
  }
  keyboard_map_set_clock(fixed_clock);
  keyboard_map_start(MapLayout::kIso, false, 30, 8, true);
  const KeyConsumer map = keyboard_map_consumer();
  constexpr int kE = 0x12;
  uint32_t seed = 2026;
  auto next = [&seed](uint32_t bound) {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<int64_t>((seed >> 8) % bound);
  };
  int64_t now = 500'000;
  for (int key = 0x02; key < 0x02 + 20; ++key) {
    for (int press = 0; press < (key == kE ? 30 : 10); ++press) {
      map.key(nullptr, now, key, true, 1);
      now += 50'000 + next(90'000);
      map.key(nullptr, now, key, false, 1);
      if (key == kE && next(2) == 0) {
        // The contact opens and closes again: a press of a few milliseconds.
        now += 1'500 + next(6'000);
        map.key(nullptr, now, key, true, 1);
        now += 2'000 + next(4'000);
        map.key(nullptr, now, key, false, 1);
      }
      now += 70'000 + next(next(6) == 0 ? 900'000 : 200'000);
    }
    now += 1'000'000;
  }
  fixed_now_us = now;
  static ReportSnapshot snapshot;
  take_report_snapshot(&snapshot, "made-up test: E chatters");
  char reason[160];
  if (write_report_file(argv[1], snapshot.context, reason, sizeof reason) != 0) {
    std::fprintf(stderr, "chatter_report: %s: %s\n", argv[1], reason);
    return 1;
  }
  return 0;
}
