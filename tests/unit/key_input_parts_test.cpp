// The portable parts of the key input: the message-time stamp and the
// hand-over of events to the log, the map and the source's own held count.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "keys/source/key_dispatch.h"
#include "keys/source/message_time_stamp.h"

namespace {

TEST(MessageTimeStamp, KeepsTheMessageSpacingOnTheArrivalClock) {
  struct Event {
    uint32_t message_ms;
    int64_t arrival_us;
    int64_t stamp_us;
  };
  struct Case {
    const char* story;
    std::vector<Event> events;
  };
  const Case cases[] = {
      // The first event sets the offset; a later quicker arrival lowers it,
      // and stamps keep the message times' spacing from then on.
      {"delays shrink", {{5000, 2'000'000, 2'000'000}, {5010, 2'012'000, 2'010'000}, {5020, 2'019'500, 2'019'500}, {5030, 2'031'000, 2'029'500}}},
      // The 32-bit milliseconds wrap after 49.7 days: the spacing is still 6 ms.
      {"across the wrap", {{0xFFFFFFFEu, 1'000'000, 1'000'000}, {4, 1'006'000, 1'006'000}}},
      // Events arrive in one batch late: the spacing comes from the messages.
      {"a batch", {{100, 50'000, 50'000}, {103, 62'000, 53'000}, {110, 62'100, 60'000}}},
      // A message time a little older than the last steps back, not forward
      // by 49 days.
      {"an older time", {{1000, 10'000, 10'000}, {998, 10'100, 8'000}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.story);
    MessageTimeStamp stamp;
    message_time_stamp_reset(&stamp);
    for (const Event& e : c.events) {
      const int64_t result = stamp_message_time(&stamp, e.message_ms, e.arrival_us);
      EXPECT_EQ(result, e.stamp_us) << e.message_ms;
      EXPECT_LE(result, e.arrival_us);
    }
  }
  EXPECT_EQ(stamp_message_time(nullptr, 5, 1234), 1234);
}

TEST(MessageTimeStamp, AResetStartsOver) {
  MessageTimeStamp stamp;
  message_time_stamp_reset(&stamp);
  stamp_message_time(&stamp, 100, 10'000);
  message_time_stamp_reset(&stamp);
  // Without the reset the earlier offset (-90 ms) would place this at 10 ms.
  EXPECT_EQ(stamp_message_time(&stamp, 200, 500'000), 500'000);
}

struct Recorded {
  std::string events;
};

void record_key(void* context, int64_t time_us, int key, bool down, int) {
  static_cast<Recorded*>(context)->events +=
      std::to_string(time_us) + (down ? " down " : " up ") + std::to_string(key) + ";";
}

void record_focus(void* context, int64_t time_us) {
  static_cast<Recorded*>(context)->events += std::to_string(time_us) + " focus;";
}

TEST(KeyDispatch, EveryConsumerGetsEveryEventAndTheHeldCountIsTheSources) {
  static KeyDispatch dispatch;
  key_dispatch_reset(&dispatch);
  Recorded log, map;
  ASSERT_EQ(key_dispatch_add(&dispatch, KeyConsumer{record_key, record_focus, &log}), 0);
  ASSERT_EQ(key_dispatch_add(&dispatch, KeyConsumer{record_key, nullptr, &map}), 0);

  key_dispatch_key(&dispatch, 1, 30, true);
  key_dispatch_key(&dispatch, 2, 30, true);  // a repeat
  key_dispatch_key(&dispatch, 3, 31, true);
  EXPECT_EQ(dispatch.held_count, 2);
  key_dispatch_key(&dispatch, 4, 32, false);  // never pressed here
  key_dispatch_key(&dispatch, 5, 30, false);
  EXPECT_EQ(dispatch.held_count, 1);
  key_dispatch_focus_lost(&dispatch, 6);
  EXPECT_EQ(dispatch.held_count, 0);
  key_dispatch_key(&dispatch, 7, 31, false);  // its release after the loss
  EXPECT_EQ(dispatch.held_count, 0);
  key_dispatch_key(&dispatch, 8, -1, true);
  key_dispatch_key(&dispatch, 8, kKeyIdCount, true);
  EXPECT_EQ(dispatch.held_count, 0);

  // Each consumer judges repeats and strays itself: it gets them all.
  const std::string keys = "1 down 30;2 down 30;3 down 31;4 up 32;5 up 30;";
  EXPECT_EQ(log.events, keys + "6 focus;7 up 31;");
  EXPECT_EQ(map.events, keys + "7 up 31;");
}

TEST(KeyDispatch, WaitingKeepsEventsInOrderUntilDeliveredAndCountsWhatDidNotFit) {
  static KeyDispatch dispatch;
  key_dispatch_reset(&dispatch);
  Recorded log;
  ASSERT_EQ(key_dispatch_add(&dispatch, KeyConsumer{record_key, record_focus, &log}), 0);
  key_dispatch_wait(&dispatch);
  key_dispatch_key(&dispatch, 1, 30, true);
  key_dispatch_focus_lost(&dispatch, 2);
  key_dispatch_key(&dispatch, 3, 31, true);
  EXPECT_EQ(log.events, "");
  EXPECT_EQ(dispatch.held_count, 1);  // the source's own count goes on
  EXPECT_EQ(key_dispatch_deliver(&dispatch), 0);
  key_dispatch_key(&dispatch, 4, 31, false);
  EXPECT_EQ(log.events, "1 down 30;2 focus;3 down 31;4 up 31;");

  // A second wait starts empty; what does not fit is dropped, the rest kept.
  log.events.clear();
  key_dispatch_wait(&dispatch);
  for (int i = 0; i < kMaxWaitingKeyEvents + 3; ++i) key_dispatch_key(&dispatch, i, 30, i % 2 == 0);
  EXPECT_EQ(key_dispatch_deliver(&dispatch), 3);
  EXPECT_EQ(std::count(log.events.begin(), log.events.end(), ';'), kMaxWaitingKeyEvents);
  EXPECT_EQ(log.events.substr(0, 18), "0 down 30;1 up 30;");
  EXPECT_EQ(key_dispatch_deliver(&dispatch), 0);
  EXPECT_EQ(key_dispatch_deliver(nullptr), 0);
  key_dispatch_wait(nullptr);
}

TEST(KeyDispatch, TheTableHasRoomForFourAndNoNulls) {
  static KeyDispatch dispatch;
  key_dispatch_reset(&dispatch);
  for (int i = 0; i < kMaxKeyConsumers; ++i) EXPECT_EQ(key_dispatch_add(&dispatch, KeyConsumer{}), 0);
  EXPECT_EQ(key_dispatch_add(&dispatch, KeyConsumer{}), -1);
  EXPECT_EQ(key_dispatch_add(nullptr, KeyConsumer{}), -1);
  key_dispatch_key(&dispatch, 1, 30, true);  // null entries are passed over
  EXPECT_EQ(dispatch.held_count, 1);
  key_dispatch_key(nullptr, 1, 30, true);
  key_dispatch_focus_lost(nullptr, 1);
}

}  // namespace
