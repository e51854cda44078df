// The map's figures as a reading of the test's record: one fixed record
// judged at several thresholds, a threshold changed and changed back, the
// test begun again, the record's cap, the chord and the distributions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "keys/line_builder.h"
#include "keys/map/keyboard_map.h"
#include "keys/record/key_record.h"
#include "keys/report/report_facts.h"
#include "support/written_text.h"

namespace {

constexpr int kA = 0x1E, kS = 0x1F, kD = 0x20, kF = 0x21, kG = 0x22, kH = 0x23;

int64_t fake_now_us = 0;
int64_t fake_clock() { return fake_now_us; }

struct Step {
  int64_t ms10;  // time in tenths of a millisecond
  int key;       // -1: the focus is lost
  bool down;
};

// A bounces 4.5 ms after its release, S is pressed again 12 ms after, D
// 40 ms after, F 0.3 ms after (one batch: no bounce), G 150 ms after; H is
// held 3 s, past the stuck time of 2 s.
const Step kFixedTest[] = {
    {0, kA, true},        {1000, kA, false},    {1045, kA, true},     {2000, kA, false},
    {3000, kS, true},     {4000, kS, false},    {4120, kS, true},     {5000, kS, false},
    {6000, kD, true},     {7000, kD, false},    {7400, kD, true},     {8000, kD, false},
    {9000, kF, true},     {10000, kF, false},   {10003, kF, true},    {11000, kF, false},
    {12000, kG, true},    {13000, kG, false},   {14500, kG, true},    {15000, kG, false},
    {20000, kH, true},    {50000, kH, false},
};

class KeyboardMapJudging : public ::testing::Test {
 protected:
  void SetUp() override {
    fake_now_us = 0;
    keyboard_map_set_clock(fake_clock);
    keyboard_map_start(MapLayout::kAnsi, false, 30, 2, true);
  }
  void TearDown() override { keyboard_map_set_clock(nullptr); }

  static void feed(const Step* steps, size_t count, int64_t offset_us = 0) {
    const KeyConsumer map = keyboard_map_consumer();
    for (size_t i = 0; i < count; ++i) {
      fake_now_us = offset_us + steps[i].ms10 * 100;
      if (steps[i].key < 0) map.focus_lost(nullptr, fake_now_us);
      else map.key(nullptr, fake_now_us, steps[i].key, steps[i].down, 1);
    }
  }
  static std::string result_line(const KeyMapReport& report) {
    return written([&report](LineBuilder& out) { write_result_line(out, report_result(&report)); });
  }
};

TEST_F(KeyboardMapJudging, AFixedRecordAtEachThresholdGivesItsMarksFiguresAndResult) {
  feed(kFixedTest, std::size(kFixedTest));
  struct Case {
    int chatter_ms;
    std::vector<int> chattering;  // in key order
    const char* result_tail;
  } cases[] = {
      {1, {}, "1 stuck"},
      {5, {kA}, "1 with chatter, 1 stuck"},
      {15, {kA, kS}, "2 with chatter, 1 stuck"},
      {40, {kA, kS, kD}, "3 with chatter, 1 stuck"},
      {1000, {kA, kS, kD, kG}, "4 with chatter, 1 stuck"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.chatter_ms);
    keyboard_map_set_chatter_ms(c.chatter_ms);
    const KeyMapReport& report = keyboard_map_report();
    EXPECT_EQ(report.chatter_ms, c.chatter_ms);
    for (const int key : {kA, kS, kD, kF, kG, kH}) {
      const bool chattered = std::find(c.chattering.begin(), c.chattering.end(), key) != c.chattering.end();
      EXPECT_EQ((report.view.marks[key] & kMapChatter) != 0, chattered) << key;
      EXPECT_EQ(report.keys[key].chatter, chattered ? 1 : 0) << key;
      EXPECT_EQ(report.view.marks[key] & kMapTested, kMapTested) << key;
    }
    // A gap of 0.3 ms is a batch, never chatter, at any threshold.
    EXPECT_EQ(report.keys[kF].zero_gap, 1);
    EXPECT_EQ(report.keys[kS].smallest_gap_us, 12000);
    EXPECT_EQ(report.keys[kH].longest_hold_us, 3000000);
    EXPECT_NE(report.view.marks[kH] & kMapStuck, 0);
    const std::string line = result_line(report);
    EXPECT_EQ(line.substr(line.size() - std::strlen(c.result_tail)), c.result_tail) << line;
  }
}

TEST_F(KeyboardMapJudging, EveryKeyTestedWithOneStuckKeyIsOpenNotComplete) {
  const KeyConsumer map = keyboard_map_consumer();
  const KeyboardLayout& layout = keyboard_layout(MapLayout::kAnsi);
  for (int i = 0; i < layout.count; ++i) {
    const int key = layout.keys[i].key;
    const int64_t hold_us = key == kH ? 2'500'000 : 80'000;
    map.key(nullptr, fake_now_us, key, true, 1);
    map.key(nullptr, fake_now_us + hold_us, key, false, 1);
    fake_now_us += hold_us + 100'000;
  }
  const KeyMapReport& report = keyboard_map_report();
  const ReportResult result = report_result(&report);
  EXPECT_EQ(result.tested, layout.count);
  EXPECT_EQ(result.stuck, 1);
  EXPECT_FALSE(result.complete);
  EXPECT_EQ(result_line(report), "open: 1 stuck");
}

TEST_F(KeyboardMapJudging, AThresholdChangedAndChangedBackGivesTheSameStateAndKeepsDefectMarks) {
  feed(kFixedTest, std::size(kFixedTest));
  keyboard_map_toggle_defect(kG);
  static KeyMapReport before;
  before = keyboard_map_report();
  keyboard_map_set_chatter_ms(120);
  EXPECT_NE(std::memcmp(keyboard_map_report().view.marks, before.view.marks, sizeof before.view.marks), 0);
  keyboard_map_set_chatter_ms(30);
  const KeyMapReport& after = keyboard_map_report();
  EXPECT_EQ(std::memcmp(after.view.marks, before.view.marks, sizeof before.view.marks), 0);
  for (int key = 0; key < kKeyIdCount; ++key) {
    const KeyFigures &a = after.keys[key], &b = before.keys[key];
    EXPECT_TRUE(a.presses == b.presses && a.chatter == b.chatter && a.zero_gap == b.zero_gap &&
                a.smallest_gap_us == b.smallest_gap_us && a.longest_hold_us == b.longest_hold_us &&
                a.device == b.device)
        << key;
  }
  EXPECT_EQ(std::memcmp(&after.timings, &before.timings, sizeof before.timings), 0);
  EXPECT_EQ(std::memcmp(after.chord, before.chord, sizeof before.chord), 0);
  EXPECT_EQ(after.view.most_held, before.view.most_held);
  EXPECT_NE(after.view.marks[kG] & kMapDefect, 0);
}

TEST_F(KeyboardMapJudging, BeginningAgainKeepsTheRecordAndHeldKeysAndAJudgementFollowsIt) {
  const Step before_restart[] = {{0, kA, true}, {1000, kA, false}, {1045, kA, true}, {2000, kA, false},
                                 {3000, kS, true}};
  feed(before_restart, std::size(before_restart));
  fake_now_us = 400'000;
  keyboard_map_reset();
  const Step after_restart[] = {{5000, kS, false}, {5100, kS, true}, {6000, kS, false}};
  feed(after_restart, std::size(after_restart));
  for (const int threshold : {30, 5, 30}) {
    SCOPED_TRACE(threshold);
    keyboard_map_set_chatter_ms(threshold);
    const KeyMapReport& report = keyboard_map_report();
    EXPECT_EQ(report.events, 9u);  // five, the restart, three
    EXPECT_EQ(report.restarts, 1);
    EXPECT_EQ(report.restarted_at_us, 400'000);
    EXPECT_EQ(report.view.marks[kA], 0) << "A's chatter was before the new beginning";
    EXPECT_EQ(report.keys[kA].presses, 0);
    // S, held across the new beginning, counts its release and the bounce after it.
    EXPECT_EQ(report.keys[kS].presses, 1);
    EXPECT_EQ(report.keys[kS].chatter, threshold >= 10 ? 1 : 0);
    // Only what came after: S's gap, none of A's, and the chord starts again from S.
    int gaps = 0;
    for (const int count : report.timings.gaps.counts) gaps += count;
    EXPECT_EQ(gaps, 1);
    EXPECT_EQ(report.timings.gaps.counts[timing_bin_of(10'000)], 1);
    EXPECT_TRUE(report.chord[kS]);
    EXPECT_FALSE(report.chord[kA]);
  }
}

TEST_F(KeyboardMapJudging, TheChordIsTheKeysHeldWhenMostWereHeld) {
  const Step steps[] = {{0, kA, true},    {10, kS, true},    {20, kD, true},    {30, kF, true},
                        {100, kS, false}, {110, kA, false},  {120, kG, true},   {130, kH, true},
                        {140, kD, false}, {150, kF, false},  {160, -1, false},  {170, kA, true}};
  feed(steps, std::size(steps));
  const KeyMapReport& report = keyboard_map_report();
  EXPECT_EQ(report.view.most_held, 4);
  std::vector<int> chord;
  for (int key = 0; key < kKeyIdCount; ++key)
    if (report.chord[key]) chord.push_back(key);
  EXPECT_EQ(chord, (std::vector<int>{kA, kS, kD, kF}));
  // The focus loss released G and H without a hold the keyboard reported.
  int holds = 0;
  for (const int count : report.timings.holds.counts) holds += count;
  EXPECT_EQ(holds, 4);
}

TEST_F(KeyboardMapJudging, TheDistributionsBinEveryGapAndHoldAtTheEdges) {
  // Gaps of 99 us, 100 us, 177 us, 178 us, 10 s and 12 s; holds of 1 ms.
  const int64_t gaps_us[] = {99, 100, 177, 178, 10'000'000, 12'000'000};
  const KeyConsumer map = keyboard_map_consumer();
  int64_t now = 0;
  map.key(nullptr, now, kA, true, 1);
  for (const int64_t gap : gaps_us) {
    map.key(nullptr, now += 1000, kA, false, 1);
    map.key(nullptr, now += gap, kA, true, 1);
  }
  const KeyMapReport& report = keyboard_map_report();
  const int expected_gaps[kTimingBins] = {1, 2, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2};
  for (int bin = 0; bin < kTimingBins; ++bin) {
    EXPECT_EQ(report.timings.gaps.counts[bin], expected_gaps[bin]) << bin;
    EXPECT_EQ(report.timings.key_gaps[kA].counts[bin], expected_gaps[bin]) << bin;
  }
  EXPECT_EQ(report.timings.holds.counts[timing_bin_of(1000)], 6);
  // Below half a millisecond a gap is a batch, not chatter.
  int chatter = 0;
  for (const int count : report.timings.chatter_gaps.counts) chatter += count;
  EXPECT_EQ(chatter, 0);
}

TEST(KeyRecord, KeepsEventsInOrderUpToItsCapThenCountsTheRest) {
  static KeyRecord record;
  key_record_clear(&record);
  EXPECT_EQ(key_record_count(&record), 0u);
  EXPECT_EQ(key_record_at(&record, 0), nullptr);
  EXPECT_EQ(key_record_dropped_from_us(&record), -1);
  for (uint32_t i = 0; i < kKeyRecordCapacity + 3; ++i)
    key_record_append(&record, KeyEvent{int64_t{i} * 10, static_cast<uint16_t>(i % 700), KeyEventKind::kDown, 1, 0});
  EXPECT_EQ(key_record_count(&record), kKeyRecordCapacity);
  EXPECT_EQ(key_record_dropped(&record), 3u);
  EXPECT_EQ(key_record_dropped_from_us(&record), int64_t{kKeyRecordCapacity} * 10);
  for (const uint32_t i : {0u, kKeyRecordChunkEvents - 1, kKeyRecordChunkEvents, kKeyRecordCapacity - 1}) {
    ASSERT_NE(key_record_at(&record, i), nullptr) << i;
    EXPECT_EQ(key_record_at(&record, i)->time_us, int64_t{i} * 10) << i;
    EXPECT_EQ(key_record_at(&record, i)->key, i % 700) << i;
  }
  EXPECT_EQ(key_record_at(&record, kKeyRecordCapacity), nullptr);
  key_record_clear(&record);
  // Time never goes back in the record.
  key_record_append(&record, KeyEvent{500, kA, KeyEventKind::kDown, 1, 0});
  key_record_append(&record, KeyEvent{400, kA, KeyEventKind::kUp, 1, 0});
  EXPECT_EQ(key_record_at(&record, 1)->time_us, 500);
  key_record_clear(&record);
  EXPECT_FALSE(key_record_append(nullptr, KeyEvent{}));
  EXPECT_EQ(key_record_count(nullptr), 0u);
}

TEST_F(KeyboardMapJudging, PastTheRecordsCapTheMapStillCountsAndTheReportSaysFromWhen) {
  const KeyConsumer map = keyboard_map_consumer();
  int64_t now = 0;
  for (uint32_t i = 0; i < kKeyRecordCapacity / 2; ++i) {
    map.key(nullptr, now += 50'000, kA, true, 1);
    map.key(nullptr, now += 50'000, kA, false, 1);
  }
  const int64_t first_lost = now + 50'000;
  map.key(nullptr, first_lost, kS, true, 1);
  map.key(nullptr, first_lost + 50'000, kS, false, 1);
  const KeyMapReport& report = keyboard_map_report();
  EXPECT_EQ(report.events, kKeyRecordCapacity);
  EXPECT_EQ(report.dropped_from_us, first_lost);
  EXPECT_EQ(report.keys[kA].presses, static_cast<int>(kKeyRecordCapacity / 2));
  EXPECT_EQ(report.keys[kS].presses, 1);
  EXPECT_NE(report.view.marks[kS] & kMapTested, 0);
}

}  // namespace
