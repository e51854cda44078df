// The key analysis at the size of a long test: a record of a million
// events judged again at another threshold, and its HTML report with the
// distributions written into memory.
#include <benchmark/benchmark.h>

#include <string>

#include "keys/map/keyboard_map.h"
#include "keys/report/report_html.h"
#include "keys/report/report_snapshot.h"

namespace {

constexpr int kEvents = 1'000'000;

// Presses over sixty keys with holds of 40 to 200 ms and gaps of 2 to
// 900 ms: some bounce, most do not.
void fill_the_record() {
  static bool filled = false;
  if (filled) return;
  filled = true;
  keyboard_map_start(MapLayout::kIso, false, 30, 8, true);
  const KeyConsumer map = keyboard_map_consumer();
  int64_t now = 0;
  uint32_t seed = 12345;
  auto next = [&seed](uint32_t bound) {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) % bound;
  };
  for (int i = 0; i < kEvents / 2; ++i) {
    const int key = 0x02 + static_cast<int>(next(60));
    map.key(nullptr, now, key, true, 1);
    now += 40'000 + next(160'000);
    map.key(nullptr, now, key, false, 1);
    now += next(8) == 0 ? 2'000 + next(20'000) : 30'000 + next(900'000);
  }
  keyboard_map_report();
}

void rejudge(benchmark::State& state) {
  fill_the_record();
  int threshold = 5;
  for (auto _ : state) {
    keyboard_map_set_chatter_ms(threshold);
    threshold = threshold == 5 ? 80 : 5;
  }
  state.counters["events"] = kEvents;
}

void append_to(void* context, const char* text, size_t length) {
  static_cast<std::string*>(context)->append(text, length);
}

void html_report(benchmark::State& state) {
  fill_the_record();
  static ReportSnapshot snapshot;
  take_report_snapshot(&snapshot, "bench");
  std::string out;
  for (auto _ : state) {
    out.clear();
    write_report_html(LogWriter{append_to, &out}, snapshot.context);
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["bytes"] = static_cast<double>(out.size());
}

BENCHMARK(rejudge)->Unit(benchmark::kMillisecond);
BENCHMARK(html_report)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
