#include <gtest/gtest.h>

#include <string>

#include "app/viewer.h"
#include "gfx/input/key_input.h"
#include "rt/hook_table.h"
#include "rt/text_value.h"
#include "support/capture.h"

namespace {

std::string printed;
void capture_print(const uint8_t* bytes, int length, int) {
  printed.append(reinterpret_cast<const char*>(bytes), static_cast<size_t>(length));
}

class ViewerLoopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(open_null_screen(), 0);
    while (key_buffer_pop() != 0) {
    }
    printed.clear();
    hook_table().print_bytes = capture_print;
  }
  void TearDown() override { close_screen(); }
};

const std::string kHead = "\r\n Bitte Taste dr\xFC" "cken!\r\n ********************\r\n\r\n Scancodes: ";
const std::string kTail = "\r\n\r\n * Klimperdetektor by Tukani *\r\n";

TEST_F(ViewerLoopTest, EndsOnTheCloseKeyAfterListingHeldKeys) {
  screen_state->key_state[42] = 1;
  screen_state->key_state[30] = 1;
  key_buffer_push('x');
  key_buffer_push(kCloseKey);
  viewer_loop();  // returns: the second pass reads the close key
  EXPECT_EQ(printed, kHead + "30, 42" + kTail + kHead + "30, 42" + kTail);
  EXPECT_EQ(screen_state->lock_count, 0);
  for (int line = 0; line < 200; ++line) ASSERT_EQ(screen_state->dirty_lines[line], 1) << line;
  EXPECT_EQ(text_pool_in_use(), 0);
}

TEST_F(ViewerLoopTest, NoKeyAndAllKeys) {
  EXPECT_FALSE(viewer_pass());
  EXPECT_EQ(printed, kHead + "(keine)" + kTail);

  printed.clear();
  std::string all;
  for (int code = 1; code <= 127; ++code) {
    screen_state->key_state[code] = 1;
    all += (code > 1 ? ", " : "") + std::to_string(code);
  }
  screen_state->key_state[0] = 1;  // code 0 is never asked
  EXPECT_FALSE(viewer_pass());
  EXPECT_EQ(printed, kHead + all + kTail);
  EXPECT_EQ(text_pool_in_use(), 0);
}

}  // namespace
