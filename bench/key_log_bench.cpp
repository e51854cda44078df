// A saved test of a million events: written as a CSV key log (into memory,
// and saved into a file beside its name) and read back (from memory, and
// from the file in pieces). Opening such a log should take under a second.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "keys/log/key_log_export.h"
#include "keys/log/key_log_reader.h"

namespace {

constexpr uint32_t kEvents = 1000000;
const char kPath[] = "key_log_bench.csv";

// Typing on one keyboard: presses and releases over forty keys, a few held
// together, now and then a bounce.
const KeyRecord* test_record() {
  static KeyRecord* record = [] {
    auto* made = new KeyRecord{};
    int64_t time_us = 0;
    for (uint32_t i = 0; i < kEvents / 2; ++i) {
      const uint16_t key = static_cast<uint16_t>(0x10 + i % 40);
      time_us += 20000 + (i * 7919) % 90000;
      key_record_append(made, KeyEvent{time_us, key, KeyEventKind::kDown, 1, 0});
      key_record_append(made, KeyEvent{time_us + 30000 + (i % 13) * 1000, key, KeyEventKind::kUp, 1, 0});
      time_us += 30000 + (i % 13) * 1000;
    }
    return made;
  }();
  return record;
}

const KeyboardDevice kKeyboard = [] {
  KeyboardDevice device{};
  device.number = 1;
  std::snprintf(device.id, sizeof device.id, "VID_845E&PID_0002");
  std::snprintf(device.name, sizeof device.name, "Wine HID keyboard");
  device.has_vendor = true;
  device.vendor = 0x845E;
  device.product = 0x0002;
  device.events = kEvents;
  return device;
}();

KeyLogExport settings() {
  return KeyLogExport{30, LogClockInfo{1000, "message time"}, &kKeyboard, 1, 0, nullptr};
}

void append(void* context, const char* text, size_t length) { static_cast<std::string*>(context)->append(text, length); }

const std::string& csv_log() {
  static const std::string text = [] {
    std::string made;
    write_key_log_from_record(LogWriter{append, &made}, LogFormat::kCsv, test_record(), settings());
    return made;
  }();
  return text;
}

void WriteCsvToMemory(benchmark::State& state) {
  std::string text;
  text.reserve(csv_log().size());
  for (auto _ : state) {
    text.clear();
    write_key_log_from_record(LogWriter{append, &text}, LogFormat::kCsv, test_record(), settings());
    benchmark::DoNotOptimize(text.data());
  }
  state.counters["bytes"] = static_cast<double>(text.size());
}

void WriteCsvFileSafely(benchmark::State& state) {
  char reason[128];
  for (auto _ : state)
    if (write_key_log_file(kPath, LogFormat::kCsv, test_record(), settings(), reason, sizeof reason) != 0)
      state.SkipWithError(reason);
}

void ReadCsvFromMemory(benchmark::State& state) {
  auto record = std::make_unique<KeyRecord>();
  KeyLogReadResult info;
  char error[160];
  const std::string& text = csv_log();
  for (auto _ : state) {
    if (read_key_log(text.data(), text.size(), record.get(), &info, error, sizeof error) != 0) state.SkipWithError(error);
    state.PauseTiming();
    key_record_clear(record.get());
    state.ResumeTiming();
  }
  state.counters["events"] = info.events;
}

void ReadCsvFile(benchmark::State& state) {
  std::FILE* file = std::fopen(kPath, "wb");
  std::fwrite(csv_log().data(), 1, csv_log().size(), file);
  std::fclose(file);
  auto record = std::make_unique<KeyRecord>();
  KeyLogReadResult info;
  char error[160];
  for (auto _ : state) {
    if (read_key_log_file(kPath, record.get(), &info, error, sizeof error) != 0) state.SkipWithError(error);
    state.PauseTiming();
    key_record_clear(record.get());
    state.ResumeTiming();
  }
  state.counters["events"] = info.events;
  std::remove(kPath);
}

BENCHMARK(WriteCsvToMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(WriteCsvFileSafely)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadCsvFromMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadCsvFile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
