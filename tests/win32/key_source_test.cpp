// The raw-input key source with keys sent through the system's input queue
// while a window of this process has the keyboard: events that wait for
// their consumers, and keys still queued when the source stops.
#include <atomic>
#include <string>

#include "keys/source/key_source.h"
#include "window_test_support.h"

namespace {

struct Recorded {
  std::atomic<int> count{0};
  std::string keys;  // "30d 30u ..."; read once the source has stopped
  HANDLE hold_first = nullptr;  // set: the first event waits for it
};

void record_key(void* context, int64_t, int key, bool down, int) {
  auto* recorded = static_cast<Recorded*>(context);
  if (recorded->hold_first != nullptr && recorded->count.load() == 0)
    WaitForSingleObject(recorded->hold_first, 5000);
  recorded->keys += std::to_string(key) + (down ? "d " : "u ");
  recorded->count.fetch_add(1);
}

void send_key(WORD scancode, bool down) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wScan = scancode;
  input.ki.dwFlags = KEYEVENTF_SCANCODE | (down ? 0 : KEYEVENTF_KEYUP);
  SendInput(1, &input, sizeof input);
}

DWORD WINAPI stop_source(void*) {
  key_input_stop();
  return 0;
}

bool wait_for_count(const Recorded& recorded, int count) {
  for (int i = 0; i < 2000 && recorded.count.load() < count; ++i) Sleep(1);
  return recorded.count.load() >= count;
}

class KeySourceTest : public GdiScreenTest {
 protected:
  void SetUp() override {
    open_screen();
    // Keys count only while a window of this process has the keyboard.
    for (int i = 0; i < 200 && GetForegroundWindow() != window(); ++i) {
      SetForegroundWindow(window());
      Sleep(10);
    }
    ASSERT_EQ(GetForegroundWindow(), window());
    sync_with_event_thread();
  }
  void TearDown() override {
    key_input_stop();
    GdiScreenTest::TearDown();
  }
  int start(Recorded* recorded, bool waiting) {
    const KeyConsumer consumer{record_key, nullptr, recorded};
    const char* reason = "";
    return key_input_start(&consumer, 1, &reason, waiting);
  }
};

TEST_F(KeySourceTest, EventsOfAWaitingStartComeInOrderOnlyWhenDelivered) {
  Recorded recorded;
  ASSERT_EQ(start(&recorded, true), 0);
  send_key(0x1E, true);
  send_key(0x1E, false);
  send_key(0x1F, true);
  Sleep(200);  // time enough to arrive; a source that did not wait would pass them on
  EXPECT_EQ(recorded.count.load(), 0);
  key_input_deliver();
  send_key(0x1F, false);
  ASSERT_TRUE(wait_for_count(recorded, 4));
  key_input_stop();
  EXPECT_EQ(recorded.keys, "30d 30u 31d 31u ");
}

// The stop is posted while the source's thread is still busy with the first
// key; the second key waits behind it in the queue and must still count.
TEST_F(KeySourceTest, KeysQueuedBehindTheStopStillCount) {
  Recorded recorded;
  recorded.hold_first = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(recorded.hold_first, nullptr);
  ASSERT_EQ(start(&recorded, false), 0);
  send_key(0x1E, true);
  send_key(0x1F, true);
  HANDLE stopper = CreateThread(nullptr, 0, stop_source, nullptr, 0, nullptr);
  ASSERT_NE(stopper, nullptr);
  Sleep(200);  // the stop is posted meanwhile
  SetEvent(recorded.hold_first);
  EXPECT_EQ(WaitForSingleObject(stopper, 10000), WAIT_OBJECT_0);
  CloseHandle(stopper);
  CloseHandle(recorded.hold_first);
  EXPECT_EQ(recorded.keys, "30d 31d ");
  send_key(0x1E, false);
  send_key(0x1F, false);
}

}  // namespace
