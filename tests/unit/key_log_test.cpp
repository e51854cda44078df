#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "keys/log/key_log.h"
#include "keys/log/key_log_format.h"
#include "keys/log/keyboard_list_format.h"

namespace {

const int kA = make_key_id(0x1E, kNoPrefix);
const int kS = make_key_id(0x1F, kNoPrefix);
const int kD = make_key_id(0x20, kNoPrefix);
const int kKeypadEnter = make_key_id(0x1C, kPrefixE0);
const int kEnter = make_key_id(0x1C, kNoPrefix);

// The log is large; keep it off the stack.
std::unique_ptr<KeyLog> new_log(int chatter_ms = 30) {
  auto log = std::make_unique<KeyLog>();
  key_log_reset(log.get(), chatter_ms);
  return log;
}

KeyLogLine record(KeyLog* log, int64_t time_us, int key, bool down) {
  KeyLogLine line{};
  EXPECT_TRUE(key_log_record(log, time_us, key, down, &line)) << time_us;
  return line;
}

// Press at `at`, release after `hold`; returns the press line.
KeyLogLine tap(KeyLog* log, int64_t at, int key, int64_t hold = 50000) {
  const KeyLogLine press = record(log, at, key, true);
  record(log, at + hold, key, false);
  return press;
}

TEST(KeyLog, ChatterIsAPressSoonAfterTheSameKeysRelease) {
  auto log = new_log();
  const KeyLogLine first = tap(log.get(), 0, kA, 10000);
  EXPECT_EQ(first.gap_us, -1);
  EXPECT_EQ(first.mark, KeyMark::kNone);

  const KeyLogLine bounce = tap(log.get(), 20000, kA);  // 10 ms after the release
  EXPECT_EQ(bounce.gap_us, 10000);
  EXPECT_EQ(bounce.mark, KeyMark::kChatter);
  const KeyLogLine at_threshold = tap(log.get(), 100000, kA);  // exactly 30 ms
  EXPECT_EQ(at_threshold.mark, KeyMark::kChatter);
  const KeyLogLine past = tap(log.get(), 180001, kA);  // 30.001 ms
  EXPECT_EQ(past.mark, KeyMark::kNone);
  const KeyLogLine human = tap(log.get(), 530001, kA);  // 300 ms
  EXPECT_EQ(human.gap_us, 300000);
  EXPECT_EQ(human.mark, KeyMark::kNone);

  // Another key's release is no gap for this one.
  tap(log.get(), 600000, kS);
  EXPECT_EQ(record(log.get(), 651000, kD, true).gap_us, -1);

  const KeyStats& a = log->keys[kA];
  EXPECT_EQ(a.presses, 5);
  EXPECT_EQ(a.chatter, 2);
  EXPECT_EQ(a.smallest_gap_us, 10000);
  EXPECT_EQ(log->keys[kS].smallest_gap_us, -1);
}

TEST(KeyLog, ThresholdIsTheCallersAndClamped) {
  auto log = new_log(8);
  tap(log.get(), 0, kA, 1000);
  EXPECT_EQ(tap(log.get(), 10000, kA).mark, KeyMark::kNone);  // 9 ms
  EXPECT_EQ(new_log(0)->chatter_us, 1000);
  EXPECT_EQ(new_log(5000)->chatter_us, 1000000);
}

TEST(KeyLog, ZeroGapsAreCountedApartFromChatter) {
  auto log = new_log();
  tap(log.get(), 0, kA, 1000);
  const KeyLogLine same_batch = tap(log.get(), 1100, kA, 1000);  // 0.1 ms
  EXPECT_EQ(same_batch.mark, KeyMark::kZeroGap);
  // Stamped before its release (a clock correction): a gap of 0, not negative.
  const KeyLogLine early = record(log.get(), 2000, kA, true);
  EXPECT_EQ(early.gap_us, 0);
  EXPECT_EQ(early.mark, KeyMark::kZeroGap);
  EXPECT_EQ(log->keys[kA].zero_gap, 2);
  EXPECT_EQ(log->keys[kA].chatter, 0);
  EXPECT_EQ(log->keys[kA].smallest_gap_us, 0);
  // 0.5 ms is the first gap a keyboard can make.
  record(log.get(), 3000, kA, false);
  EXPECT_EQ(record(log.get(), 3500, kA, true).mark, KeyMark::kChatter);
}

TEST(KeyLog, RepeatsAndStrayReleasesAreNoEvents) {
  auto log = new_log();
  KeyLogLine line{};
  line.time_us = 77;
  EXPECT_FALSE(key_log_record(log.get(), 0, kA, false, &line));  // never pressed here
  record(log.get(), 0, kA, true);
  for (int repeat = 1; repeat <= 5; ++repeat)
    EXPECT_FALSE(key_log_record(log.get(), repeat * 33000, kA, true, &line));
  EXPECT_EQ(line.time_us, 77);
  EXPECT_EQ(log->keys[kA].presses, 1);
  EXPECT_EQ(log->events, 1);
  EXPECT_FALSE(key_log_record(log.get(), 0, -1, true, &line));
  EXPECT_FALSE(key_log_record(log.get(), 0, kKeyIdCount, true, &line));
  EXPECT_FALSE(key_log_record(log.get(), 0, kS, true, nullptr));
  EXPECT_FALSE(key_log_record(nullptr, 0, kS, true, &line));
}

TEST(KeyLog, MostKeysHeldAtOnceAndWhich) {
  auto log = new_log();
  EXPECT_EQ(record(log.get(), 0, kA, true).held, 1);
  record(log.get(), 1000, kS, true);
  EXPECT_EQ(record(log.get(), 2000, kD, true).held, 3);
  EXPECT_EQ(record(log.get(), 3000, kS, false).held, 2);
  record(log.get(), 4000, kEnter, true);  // three again, not more
  EXPECT_EQ(log->most_held, 3);
  EXPECT_TRUE(log->most_held_keys[kA]);
  EXPECT_TRUE(log->most_held_keys[kS]);
  EXPECT_TRUE(log->most_held_keys[kD]);
  EXPECT_FALSE(log->most_held_keys[kEnter]);
  record(log.get(), 5000, kKeypadEnter, true);  // both Enters count apart
  EXPECT_EQ(log->most_held, 4);
  EXPECT_FALSE(log->most_held_keys[kS]);
  EXPECT_TRUE(log->most_held_keys[kKeypadEnter]);
}

TEST(KeyLog, FocusLossReleasesHeldKeysWithoutStartingAGap) {
  auto log = new_log();
  KeyLogLine lines[8];
  // Each release is put down to the keyboard its key was pressed on.
  for (int scancode = 0x10; scancode < 0x10 + 20; ++scancode)
    ASSERT_TRUE(key_log_record(log.get(), scancode, make_key_id(scancode, kNoPrefix), true, lines,
                               1 + scancode % 3));
  int total = 0, count;
  while ((count = key_log_release_all(log.get(), 90000, lines, 8)) > 0) {
    for (int i = 0; i < count; ++i) {
      EXPECT_FALSE(lines[i].down);
      EXPECT_EQ(lines[i].device, 1 + key_id_scancode(lines[i].key) % 3);
      EXPECT_EQ(lines[i].mark, KeyMark::kFocusLost);
      EXPECT_EQ(lines[i].held, 20 - total - i - 1);
    }
    total += count;
  }
  EXPECT_EQ(total, 20);
  EXPECT_EQ(log->held, 0);
  EXPECT_EQ(log->events, 40);
  // Pressed again 5 ms later: no release was seen, so no gap and no chatter.
  const KeyLogLine again = record(log.get(), 95000, make_key_id(0x10, kNoPrefix), true);
  EXPECT_EQ(again.gap_us, -1);
  EXPECT_EQ(again.mark, KeyMark::kNone);
  // Also for a key released before: the gap starts at no release seen.
  auto tapped = new_log();
  tap(tapped.get(), 0, kA, 1000);
  record(tapped.get(), 2000, kA, true);
  EXPECT_EQ(key_log_release_all(tapped.get(), 3000, lines, 8), 1);
  EXPECT_EQ(record(tapped.get(), 4000, kA, true).gap_us, -1);
  EXPECT_EQ(key_log_release_all(log.get(), 0, nullptr, 8), 0);
  EXPECT_EQ(key_log_release_all(nullptr, 0, lines, 8), 0);
}

void append(void* context, const char* text, size_t length) {
  static_cast<std::string*>(context)->append(text, length);
}

struct Formatted {
  std::string text;
  LogWriter writer{append, &text};
};

TEST(KeyLogFormat, OneLineEachWithTimeKeyHeldGapAndMark) {
  auto log = new_log();
  tap(log.get(), 1000000, kKeypadEnter, 20000);
  KeyLogLine press;
  ASSERT_TRUE(key_log_record(log.get(), 1025500, kKeypadEnter, true, &press, 2));
  Formatted text, csv, json;
  write_log_line(text.writer, LogFormat::kText, press);
  write_log_line(csv.writer, LogFormat::kCsv, press);
  write_log_line(json.writer, LogFormat::kJsonl, press);
  EXPECT_EQ(text.text,
            "1025.500    down  28 e0  Keypad Enter        held 1  gap 5.500       chatter    kbd 2\n");
  EXPECT_EQ(csv.text, "1025.500,down,28,e0,Keypad Enter,1,5.500,chatter,2\n");
  EXPECT_EQ(json.text,
            "{\"type\":\"key\",\"time_ms\":1025.500,\"event\":\"down\",\"scancode\":28,"
            "\"extended\":\"e0\",\"key\":\"Keypad Enter\",\"held\":1,\"gap_ms\":5.500,"
            "\"mark\":\"chatter\",\"device\":2}\n");

  // Stamps far out of range still print, with their sign.
  Formatted extreme;
  write_log_line(extreme.writer, LogFormat::kCsv,
                 KeyLogLine{INT64_MIN, kEnter, false, 0, -1, KeyMark::kNone, kNoKeyDevice});
  EXPECT_EQ(extreme.text, "-9223372036854775.808,up,28,,Enter,0,,,\n");

  // Pause, the one key with the other prefix, shows it too.
  Formatted pause;
  write_log_line(pause.writer, LogFormat::kText,
                 KeyLogLine{0, make_key_id(0x45, kPrefixE1), true, 1, -1, KeyMark::kNone, kNoKeyDevice});
  EXPECT_EQ(pause.text, "0.000       down  69 e1  Pause               held 1\n");

  Formatted release;
  write_log_line(release.writer, LogFormat::kCsv, record(log.get(), 1030000, kKeypadEnter, false));
  EXPECT_EQ(release.text, "1030.000,up,28,e0,Keypad Enter,0,,,\n");
}

TEST(KeyLogFormat, HeadersNameTheThresholdAndClock) {
  const LogClockInfo clock{1000, "message time"};
  Formatted csv, json, none;
  write_log_header(csv.writer, LogFormat::kCsv, 30, clock);
  write_log_header(json.writer, LogFormat::kJsonl, 12, clock);
  write_log_header(none.writer, LogFormat::kNone, 12, clock);
  EXPECT_EQ(csv.text, "time_ms,event,scancode,extended,key,held,gap_ms,mark,device\n");
  EXPECT_NE(json.text.find("\"chatter_ms\":12,\"timer_resolution_ms\":1.000"), std::string::npos);
  EXPECT_NE(json.text.find("\"version\":"), std::string::npos);
  EXPECT_EQ(none.text, "");

  // A clock name with quotes or backslashes stays one JSON string.
  Formatted odd;
  write_log_header(odd.writer, LogFormat::kJsonl, 30, LogClockInfo{15625, "a \"b\" c:\\d"});
  EXPECT_NE(odd.text.find(",\"timer_resolution_ms\":15.625,\"timer\":\"a \\\"b\\\" c:\\\\d\"}\n"),
            std::string::npos)
      << odd.text;
}

TEST(KeyLogFormat, SummaryPerKeyAndMostHeld) {
  auto log = new_log();
  tap(log.get(), 0, kA, 5000);
  tap(log.get(), 15000, kA, 5000);  // 10 ms: chatter
  record(log.get(), 100000, kA, true);
  record(log.get(), 101000, kS, true);
  record(log.get(), 102000, kD, true);
  Formatted text, json;
  write_log_summary(text.writer, LogFormat::kText, *log, 2500250);
  write_log_summary(json.writer, LogFormat::kJsonl, *log, 2500250);
  EXPECT_EQ(text.text,
            "summary: 7 events in 2500.250 ms\n"
            "key                 scan    presses  chatter  zero-gap  smallest gap ms\n"
            "A                   30      3        1        0         10.000\n"
            "S                   31      1        0        0         -\n"
            "D                   32      1        0        0         -\n"
            "most keys held at once: 3 (A, S, D)\n");
  EXPECT_EQ(json.text.back(), '\n');
  EXPECT_EQ(json.text.find('\n'), json.text.size() - 1);  // one line
  EXPECT_NE(json.text.find("\"most_held\":3,\"most_held_keys\":[\"A\",\"S\",\"D\"]"),
            std::string::npos);
  EXPECT_NE(json.text.find("\"smallest_gap_ms\":10.000},{\"key\":\"S\""), std::string::npos);
  EXPECT_NE(json.text.find("\"smallest_gap_ms\":null"), std::string::npos);
  EXPECT_NE(json.text.find("\"total_ms\":2500.250,\"events\":7"), std::string::npos);

  Formatted empty;
  write_log_summary(empty.writer, LogFormat::kCsv, *new_log(), 0);
  EXPECT_EQ(empty.text,
            "summary: 0 events in 0.000 ms\n"
            "key                 scan    presses  chatter  zero-gap  smallest gap ms\n"
            "most keys held at once: 0\n");
}

TEST(KeyLogFormat, LongSummaryLinesArriveWhole) {
  auto log = new_log();
  for (int scancode = 1; scancode < 0x59; ++scancode)
    record(log.get(), scancode, make_key_id(scancode, kNoPrefix), true);
  Formatted json;
  write_log_summary(json.writer, LogFormat::kJsonl, *log, 1);
  EXPECT_EQ(json.text.find('\n'), json.text.size() - 1);
  EXPECT_NE(json.text.find("{\"key\":\"F12\",\"scancode\":88,"), std::string::npos);
  EXPECT_NE(json.text.find("\"most_held\":88"), std::string::npos);
}

TEST(KeyLogFormat, KeyboardsNamedOnFirstSightAndListedWithTheirEvents) {
  KeyboardDevice named{};
  named.number = 1;
  std::strcpy(named.id, "VID_845E&PID_0002");
  named.has_vendor = true;
  named.vendor = 0x845E;
  named.product = 0x0002;
  std::strcpy(named.name, "Wine \"HID\" keyboard \xC3\xBC");
  named.events = 12;
  KeyboardDevice unnamed{};
  unnamed.number = 2;
  std::strcpy(unnamed.id, "ACPI\\PNP0303");
  unnamed.events = 1;
  const KeyboardDevice both[] = {named, unnamed};

  Formatted text, csv, json;
  write_log_keyboard(text.writer, LogFormat::kText, named);
  write_log_keyboard(csv.writer, LogFormat::kCsv, unnamed);
  write_log_keyboard(json.writer, LogFormat::kJsonl, named);
  write_log_keyboard(json.writer, LogFormat::kJsonl, unnamed);
  EXPECT_EQ(text.text, "# keyboard 1: \"Wine \"HID\" keyboard \xC3\xBC\" (VID_845E&PID_0002)\n");
  EXPECT_EQ(csv.text, "# keyboard 2: unnamed (ACPI\\PNP0303)\n");
  EXPECT_EQ(json.text,
            "{\"type\":\"keyboard\",\"device\":1,\"id\":\"VID_845E&PID_0002\",\"vendor\":\"845E\","
            "\"product\":\"0002\",\"name\":\"Wine \\\"HID\\\" keyboard \xC3\xBC\"}\n"
            "{\"type\":\"keyboard\",\"device\":2,\"id\":\"ACPI\\\\PNP0303\",\"vendor\":null,"
            "\"product\":null,\"name\":null}\n");

  auto log = new_log();
  Formatted summary, json_summary;
  write_log_summary(summary.writer, LogFormat::kText, *log, 0, nullptr, both, 2);
  write_log_summary(json_summary.writer, LogFormat::kJsonl, *log, 0, nullptr, both, 2);
  EXPECT_NE(summary.text.find("most keys held at once: 0\n"
                              "keyboards:\n"
                              "  1   \"Wine \"HID\" keyboard \xC3\xBC\" (VID_845E&PID_0002), 12 events\n"
                              "  2   unnamed (ACPI\\PNP0303), 1 event\n"),
            std::string::npos)
      << summary.text;
  EXPECT_NE(json_summary.text.find("],\"keyboards\":[{\"device\":1,"), std::string::npos);
  EXPECT_NE(json_summary.text.find("\"name\":null,\"events\":1}]}\n"), std::string::npos) << json_summary.text;

  Formatted none, filtered;
  write_keyboards_text(none.writer, nullptr, 0, "");
  EXPECT_EQ(none.text, "keyboards: none\n");
  write_keyboards_text(filtered.writer, both, 1, "keyboard 046D:C31C");
  write_keyboard_filter_json(filtered.writer, "keyboard 1");
  write_keyboard_filter_json(filtered.writer, "");
  EXPECT_NE(filtered.text.find(" events\nthe map counts keyboard 046D:C31C only\n,\"counted_keyboard\":\"keyboard 1\""),
            std::string::npos)
      << filtered.text;
}

}  // namespace
