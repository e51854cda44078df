// A saved key log opened as the test: the map judges its events, at the
// file's threshold unless one was given, without the marks of the test
// shown before; a refused file leaves the test shown as it was, and
// beginning again returns to the live test.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/viewer_replay.h"
#include "keys/log/key_log_export.h"
#include "keys/map/keyboard_map.h"

namespace {

constexpr int kA = 0x1E;

int64_t fake_clock() { return 5'000'000; }

// A JSON Lines log at a threshold of 50 ms in which A is pressed again
// 40 ms after its release.
void write_log(const char* path) {
  static KeyRecord record;
  key_record_clear(&record);
  for (const KeyEvent& event : {KeyEvent{1000, kA, KeyEventKind::kDown, 1, 0}, KeyEvent{81000, kA, KeyEventKind::kUp, 1, 0},
                                KeyEvent{121000, kA, KeyEventKind::kDown, 1, 0},
                                KeyEvent{200000, kA, KeyEventKind::kUp, 1, 0}})
    key_record_append(&record, event);
  const KeyLogExport settings{50, LogClockInfo{1000, "test"}, nullptr, 0, 300000, nullptr};
  char reason[128];
  ASSERT_EQ(write_key_log_file(path, LogFormat::kJsonl, &record, settings, reason, sizeof reason), 0) << reason;
  key_record_clear(&record);
}

TEST(ViewerReplay, ALogBecomesTheTestAtItsThresholdAndAFileRefusedChangesNothing) {
  keyboard_map_set_clock(fake_clock);
  keyboard_map_start(MapLayout::kAnsi, false, 30, 8, false);
  const char* path = "viewer_replay_test.jsonl";
  write_log(path);
  struct Case {
    bool keep_threshold;
    int chatter_ms;  // judged by
    int chatter;     // A's
  } cases[] = {{false, 50, 1}, {true, 30, 0}};
  for (const Case& c : cases) {
    keyboard_map_set_chatter_ms(30);
    keyboard_map_toggle_defect(kA);  // a mark of the test shown before: not the file's
    char reason[200];
    ASSERT_EQ(viewer_replay_open(path, c.keep_threshold, reason, sizeof reason), 0) << reason;
    EXPECT_TRUE(keyboard_map_showing_file());
    EXPECT_TRUE(keyboard_map_is_shown());
    EXPECT_STREQ(viewer_replay_name(), path);
    const KeyMapReport& report = keyboard_map_report();
    EXPECT_EQ(report.chatter_ms, c.chatter_ms);
    EXPECT_EQ(report.keys[kA].presses, 2);
    EXPECT_EQ(report.keys[kA].chatter, c.chatter);
    EXPECT_EQ(report.view.marks[kA] & kMapDefect, 0);
    EXPECT_EQ(report.duration_us, 300000);  // the file's end, not the clock
    EXPECT_STREQ(report.source_name, path);
  }

  // Garbage: said with the file's name and line, and the test shown stays.
  const char* garbage = "viewer_replay_garbage.csv";
  FILE* file = std::fopen(garbage, "wb");
  ASSERT_NE(file, nullptr);
  std::fputs("time_ms,event,scancode,extended,key,held,gap_ms,mark,device\nnot a line\n", file);
  std::fclose(file);
  char reason[200];
  EXPECT_EQ(viewer_replay_read(garbage, reason, sizeof reason), -1);
  EXPECT_EQ(std::string(reason).rfind("viewer_replay_garbage.csv: line 2: ", 0), 0u) << reason;
  viewer_replay_show(false);  // nothing waits: nothing changes
  EXPECT_STREQ(keyboard_map_report().source_name, path);
  EXPECT_EQ(viewer_replay_read(nullptr, reason, sizeof reason), -1);
  EXPECT_EQ(viewer_replay_read("no_such_dir/x.csv", reason, sizeof reason), -1);
  EXPECT_NE(std::string(reason), "");

  // Beginning again is a live test.
  keyboard_map_reset();
  viewer_replay_live_again();
  EXPECT_FALSE(keyboard_map_showing_file());
  EXPECT_STREQ(viewer_replay_name(), "");
  EXPECT_EQ(keyboard_map_report().keys[kA].presses, 0);
  std::remove(path);
  std::remove(garbage);
  keyboard_map_set_clock(nullptr);
}

}  // namespace
