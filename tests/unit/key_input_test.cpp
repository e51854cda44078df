#include <gtest/gtest.h>

#include <string>

#include "gfx/input/key_input.h"
#include "rt/routed.h"
#include "support/capture.h"

namespace {

std::string take_text(TextValue* value) {
  std::string text = value && value->data ? std::string(value->data, text_length(value)) : "";
  text_release(value);
  return text;
}

class KeyInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(open_null_screen(), 0);
    while (key_buffer_pop() != 0) {
    }
  }
  void TearDown() override { close_screen(); }
};

TEST_F(KeyInputTest, FullRingKeepsTheLastFifteen) {
  for (int code = 1; code <= 16; ++code) key_buffer_push(code);
  for (int code = 2; code <= 16; ++code) EXPECT_EQ(key_buffer_pop(), code);
  EXPECT_EQ(key_buffer_pop(), 0);
  EXPECT_EQ(key_buffer.key_hit, 0);
}

TEST_F(KeyInputTest, KeyTextForms) {
  key_buffer_push(kCloseKey);
  EXPECT_EQ(take_text(gfx_inkey()), "\xFFk");
  key_buffer_push(300);
  EXPECT_EQ(take_text(gfx_inkey()), "\xFF" "D");
  key_buffer_push(256);
  EXPECT_EQ(take_text(gfx_inkey()), "\xFFk");
  key_buffer_push(267);
  EXPECT_EQ(take_text(gfx_inkey()), "\xFF;");
  key_buffer_push(0x84);
  EXPECT_EQ(take_text(gfx_inkey()), "\x84");
  key_buffer_push(0x48FF);
  EXPECT_EQ(take_text(read_key_text()), "\xFFH");  // routed through the hook table
  EXPECT_EQ(take_text(gfx_inkey()), "");
  EXPECT_EQ(text_pool_in_use(), 0);
}

TEST_F(KeyInputTest, WaitingAndHeldKeys) {
  EXPECT_EQ(gfx_keyhit(), 0);
  key_buffer_push('a');
  EXPECT_EQ(key_waiting(), 1);
  EXPECT_EQ(wait_key(), 'a');  // a key already waiting is returned after one short sleep
  screen_state->key_state[30] = 1;
  screen_state->key_state[127] = 1;
  EXPECT_EQ(key_held(30), -1);
  EXPECT_EQ(key_held(127), -1);
  EXPECT_EQ(key_held(31), 0);
  for (int code : {128, 255, -1, 65535}) EXPECT_EQ(gfx_multikey(code), 0) << code;
  EXPECT_EQ(screen_state->lock_count, 0);
}

TEST_F(KeyInputTest, EventRingKeepsTheLast127) {
  for (int i = 0; i < 128; ++i) post_screen_event({KeyPress, {i, 0, 0, 0}});
  ScreenEvent event{};
  for (int i = 1; i < 128; ++i) {
    ASSERT_TRUE(take_screen_event(&event));
    EXPECT_EQ(event.payload[0], i);
  }
  EXPECT_FALSE(take_screen_event(&event));
}

TEST(KeyInputWithoutScreen, AnswersNothing) {
  close_screen();
  EXPECT_EQ(gfx_getkey(), 0);
  EXPECT_EQ(gfx_multikey(30), 0);
  EXPECT_EQ(take_text(gfx_inkey()), "");
  ScreenEvent event{};
  EXPECT_FALSE(take_screen_event(&event));
  post_screen_event(event);  // dropped, no crash
}

}  // namespace
