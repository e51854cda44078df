#include <gtest/gtest.h>

#include <string>

#include "keys/source/keyboard_devices.h"
#include "keys/source/keyboard_filter.h"

namespace {

TEST(KeyboardFilter, NumbersAndMakerProductPairs) {
  struct Good {
    const char* text;
    int number;
    bool by_id;
    uint16_t vendor, product;
    const char* shown;
  };
  const Good good[] = {
      {"1", 1, false, 0, 0, "keyboard 1"},
      {"16", 16, false, 0, 0, "keyboard 16"},
      {"007", 7, false, 0, 0, "keyboard 7"},
      {"046d:c31c", 0, true, 0x046D, 0xC31C, "keyboard 046D:C31C"},
      {"845E:2", 0, true, 0x845E, 0x0002, "keyboard 845E:0002"},
      {"0:ffff", 0, true, 0, 0xFFFF, "keyboard 0000:FFFF"},
  };
  for (const Good& c : good) {
    KeyboardFilter filter{};
    ASSERT_TRUE(parse_keyboard_filter(c.text, &filter)) << c.text;
    EXPECT_EQ(filter.number, c.number) << c.text;
    EXPECT_EQ(filter.by_id, c.by_id) << c.text;
    EXPECT_EQ(filter.vendor, c.vendor) << c.text;
    EXPECT_EQ(filter.product, c.product) << c.text;
    keyboard_filter_set(filter);
    EXPECT_STREQ(keyboard_filter_text(), c.shown);
  }
  for (const char* bad : {"", "0", "17", "99999999999999999999", "-1", "+1", " 1", "1 ", "x", "1.0", ":",
                          "046d:", ":c31c", "046d:c31c0", "10000:1", "046d-c31c", "046d:c31c:1", "g46d:c31c",
                          "046d :c31c"}) {
    KeyboardFilter filter{3, false, 0, 0};
    EXPECT_FALSE(parse_keyboard_filter(bad, &filter)) << bad;
    EXPECT_EQ(filter.number, 3) << bad;
  }
  EXPECT_FALSE(parse_keyboard_filter(nullptr, nullptr));
  keyboard_filter_set(KeyboardFilter{});
  EXPECT_STREQ(keyboard_filter_text(), "");
}

struct Seen {
  std::string events;
};

void record_key(void* context, int64_t time_us, int key, bool down, int device) {
  static_cast<Seen*>(context)->events += std::to_string(time_us) + (down ? "d" : "u") +
                                         std::to_string(key) + "@" + std::to_string(device) + ";";
}

void record_focus(void* context, int64_t time_us) {
  static_cast<Seen*>(context)->events += std::to_string(time_us) + " focus;";
}

// Events from keyboards 1 (Wine's), 2 (the chosen maker's) and an unknown one.
std::string run_through(const KeyboardFilter& filter) {
  keyboard_devices_reset();
  Seen seen;
  static FilteredConsumer holder;
  const KeyConsumer consumer = keyboard_filter_wrap(&holder, KeyConsumer{record_key, record_focus, &seen}, filter);
  keyboard_device_add(0x2, "\\\\?\\HID#VID_845E&PID_0002#0#{884b}", "Wine HID keyboard");
  consumer.key(consumer.context, 1, 30, true, 1);
  // Keyboard 2 sends before it is listed: not judged for good yet.
  consumer.key(consumer.context, 2, 31, true, 2);
  keyboard_device_add(0x5, "\\\\?\\HID#VID_046D&PID_C31C#0#{884b}", nullptr);
  consumer.key(consumer.context, 3, 31, false, 2);
  consumer.key(consumer.context, 4, 32, true, kNoKeyDevice);
  consumer.key(consumer.context, 5, 30, false, 1);
  consumer.focus_lost(consumer.context, 6);
  keyboard_devices_reset();
  return seen.events;
}

TEST(KeyboardFilter, OnlyTheChosenKeyboardReachesTheMapButFocusLossAlways) {
  EXPECT_EQ(run_through(KeyboardFilter{}), "1d30@1;2d31@2;3u31@2;4d32@0;5u30@1;6 focus;");
  EXPECT_EQ(run_through(KeyboardFilter{1, false, 0, 0}), "1d30@1;5u30@1;6 focus;");
  EXPECT_EQ(run_through(KeyboardFilter{2, false, 0, 0}), "2d31@2;3u31@2;6 focus;");
  EXPECT_EQ(run_through(KeyboardFilter{0, true, 0x046D, 0xC31C}), "3u31@2;6 focus;");
  EXPECT_EQ(run_through(KeyboardFilter{0, true, 0x845E, 0x0002}), "1d30@1;5u30@1;6 focus;");
  EXPECT_EQ(run_through(KeyboardFilter{0, true, 0x1234, 0x0002}), "6 focus;");
  EXPECT_EQ(run_through(KeyboardFilter{9, false, 0, 0}), "6 focus;");

  // A wrapped consumer without entries stays silent.
  static FilteredConsumer holder;
  const KeyConsumer empty = keyboard_filter_wrap(&holder, KeyConsumer{}, KeyboardFilter{1, false, 0, 0});
  empty.key(empty.context, 1, 30, true, 1);
  empty.focus_lost(empty.context, 2);
}

}  // namespace
