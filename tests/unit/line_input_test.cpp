#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "gfx/gfx_handlers.h"
#include "gfx/input/key_input.h"
#include "rt/stepped_sleep.h"
#include "rt/text_value.h"
#include "support/capture.h"

namespace {

// The keyboard of these tests: each sleep of the key wait types the next key
// of the script once the key buffer is empty. An editor still waiting long
// after the script ran out gets Enter, so that it ends instead of hanging.
std::vector<int> script;
size_t typed = 0;
int idle_sleeps = 0;

void typing_sleep(uint32_t) {
  if (key_buffer.key_read_index != key_buffer.key_write_index) return;
  if (typed < script.size()) key_buffer_push(script[typed++]);
  else if (++idle_sleeps > 20) key_buffer_push(13);
}

uint16_t cell(int column, int row) {
  return screen_state->text_cells[0][row * screen_state->text_cols + column].character;
}

class LineInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(open_null_screen(), 0);
    key_buffer = KeyBuffer{};
    stepped_sleep_function = typing_sleep;
  }
  void TearDown() override {
    stepped_sleep_function = saved_sleep_;
    key_buffer = KeyBuffer{};
    close_screen();
  }
  void type(std::vector<int> keys) {
    script = std::move(keys);
    typed = 0;
    idle_sleeps = 0;
  }
  std::string read_line(std::vector<int> keys, int size) {
    type(std::move(keys));
    std::vector<char> buffer(static_cast<size_t>(size) + 1, '#');
    EXPECT_EQ(gfx_read_line(buffer.data(), size), buffer.data());
    EXPECT_EQ(buffer.back(), '#');  // nothing past the buffer
    EXPECT_EQ(idle_sleeps, 1);      // the script was used up, and only just
    return buffer.data();
  }

 private:
  SleepFunction saved_sleep_ = stepped_sleep_function;
};

TEST_F(LineInputTest, EditingKeepsTheEnterAndErasesTheCursor) {
  EXPECT_EQ(read_line({0x4BFF, 7, 8, 'a', 'b', 8, 'c', 13}, 16), "ac\r");
  EXPECT_EQ(cell(0, 0) + cell(1, 0) + cell(2, 0), 'a' + 'c' + ' ');  // the cursor erased
  EXPECT_EQ(gfx_pos(), 1);  // the Enter returned the carriage
  EXPECT_EQ(read_line({'a', 'b', 'c', 13}, 3), "ab");

  gfx_locate(25, 39, 0);  // the bottom-right corner
  EXPECT_EQ(read_line({'a', 'b', 8, 'c', 13}, 16), "ac\r");
  EXPECT_EQ(cell(38, 23) + cell(39, 23), 'a' + 'c');  // scrolled once, both on one row
  EXPECT_EQ(cell(0, 24), ' ');
}

TEST_F(LineInputTest, FullOrMissingBuffers) {
  EXPECT_EQ(read_line({'a', 'b', 13}, 1), "");

  key_buffer_push('z');
  char buffer[2] = {'#', '#'};
  EXPECT_EQ(gfx_read_line(buffer + 1, 0), buffer + 1);
  EXPECT_EQ(buffer[0] + buffer[1], 2 * '#');
  EXPECT_EQ(gfx_keyhit(), 1);  // no key was taken
  EXPECT_EQ(gfx_read_line(nullptr, 10), nullptr);
}

TEST_F(LineInputTest, LineInputPrintsPromptAndAssigns) {
  const int pool_before = text_pool_in_use();
  type({'J', 'o', 13});
  TextValue name{};
  EXPECT_EQ(gfx_line_input(text_literal_z("Nr"), &name, -1, 0, 1, 1), 0);
  EXPECT_EQ(std::string(name.data, text_length(&name)), "Jo");
  std::string shown;
  for (int i = 0; i < 6; ++i) shown += static_cast<char>(cell(i, 0));
  EXPECT_EQ(shown, "Nr? Jo");
  EXPECT_EQ(gfx_csrlin(), 2);
  EXPECT_EQ(text_pool_in_use(), pool_before);  // prompt and line released

  std::vector<int> long_line(700, 'x');
  long_line.push_back(13);
  type(long_line);
  EXPECT_EQ(gfx_line_input(nullptr, &name, -1, 0, 0, 0), 0);
  EXPECT_EQ(text_length(&name), 700u);
  std::free(name.data);

  type({'a', 0xE9, 'b', 13});
  uint16_t wide[4] = {9, 9, 9, 9};
  EXPECT_EQ(gfx_line_input_wide(nullptr, wide, 3, 0, 1), 0);
  EXPECT_EQ(wide[0] + wide[1] + wide[2] + wide[3], 'a' + 0xE9 + 0 + 9);
}

TEST_F(LineInputTest, CellReadBack) {
  gfx_print(reinterpret_cast<const uint8_t*>("A"), 1, 0);
  EXPECT_EQ(gfx_read_cell(1, 1, 0), 65u);
  EXPECT_EQ(gfx_read_cell(1, 1, 1), 15u);  // colour 15 on 0
  EXPECT_EQ(gfx_read_cell(0, 1, 0) + gfx_read_cell(41, 1, 0) + gfx_read_cell(1, 26, 0), 0u);

  close_screen();
  ASSERT_EQ(open_null_screen(14, 16, 0), 0);
  gfx_color(0xFF8040, 0x102030, 0);
  gfx_print(reinterpret_cast<const uint8_t*>("A"), 1, 0);
  // 5-6-5 widened with each channel's high bits repeated into its low bits.
  EXPECT_EQ(gfx_read_cell(1, 1, 1), 0xFFFF8242u);
  EXPECT_EQ(gfx_read_cell(1, 1, 2), 0xFF102031u);

  close_screen();
  ASSERT_EQ(open_null_screen(14, 32, 0), 0);
  gfx_color(0x123456, 0x654321, 0);
  gfx_print(reinterpret_cast<const uint8_t*>("A"), 1, 0);
  EXPECT_EQ(gfx_read_cell(1, 1, 1), 0x123456u);
  EXPECT_EQ(gfx_read_cell(1, 1, 2), 0x654321u);
}

TEST_F(LineInputTest, CellColoursOnFourAndEightBitScreens) {
  gfx_color(14, 1, 0);
  gfx_locate(1, 1, 0);
  gfx_print(reinterpret_cast<const uint8_t*>("B"), 1, 0);
  EXPECT_EQ(gfx_read_cell(1, 1, 1), 14u + 1 * 256);  // 8 bits: background x 256

  close_screen();
  ASSERT_EQ(open_null_screen(12, 4, 0), 0);  // 4 bits, 80 x 30
  gfx_color(14, 1, 0);
  gfx_print(reinterpret_cast<const uint8_t*>("B"), 1, 0);
  EXPECT_EQ(gfx_read_cell(1, 1, 0), static_cast<uint32_t>('B'));
  EXPECT_EQ(gfx_read_cell(1, 1, 1), 14u + 1 * 16);  // 4 bits: background x 16
  EXPECT_EQ(gfx_read_cell(80, 30, 0), static_cast<uint32_t>(' '));
  EXPECT_EQ(gfx_read_cell(81, 30, 0), 0u);
}

}  // namespace
