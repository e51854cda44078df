#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "gfx/colour.h"
#include "gfx/gfx_handlers.h"
#include "gfx/key_input.h"
#include "gfx/screen.h"
#include "rt/stepped_sleep.h"
#include "rt/text_value.h"
#include "support/capture.h"

namespace {

// The keyboard of these tests: every sleep of the key wait types the next
// key of the script once the key buffer is empty. An editor still waiting
// long after the script ran out gets Enter, so that it ends instead of
// hanging.
std::vector<int> script;
size_t typed = 0;
int idle_sleeps = 0;
bool ran_dry = false;

void typing_sleep(uint32_t) {
  if (key_buffer.key_read_index != key_buffer.key_write_index) return;
  if (typed < script.size()) {
    key_buffer_push(script[typed++]);
  } else if (++idle_sleeps > 20) {
    ran_dry = true;
    key_buffer_push(13);
  }
}

uint16_t cell(int column, int row) {
  return screen_state->text_cells[0][row * screen_state->text_cols + column].character;
}

bool screen_shows_block() {
  for (int i = 0; i < screen_state->text_cols * screen_state->text_rows; ++i)
    if (screen_state->text_cells[0][i].character == 0xDB) return true;
  return false;
}

class LineInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(open_null_screen(), 0);
    key_buffer = KeyBuffer{};
    script.clear();
    typed = 0;
    idle_sleeps = 0;
    ran_dry = false;
    saved_sleep_ = stepped_sleep_function;
    stepped_sleep_function = typing_sleep;
  }
  void TearDown() override {
    stepped_sleep_function = saved_sleep_;
    key_buffer = KeyBuffer{};
    close_screen();
  }

  std::string read_line(std::vector<int> keys, int size) {
    script = std::move(keys);
    typed = 0;
    std::vector<char> buffer(static_cast<size_t>(size) + 1, '#');
    EXPECT_EQ(gfx_read_line(buffer.data(), size), buffer.data());
    EXPECT_EQ(buffer[static_cast<size_t>(size)], '#');  // nothing past the buffer
    EXPECT_FALSE(ran_dry);
    return std::string(buffer.data());
  }

 private:
  SleepFunction saved_sleep_ = nullptr;
};

TEST_F(LineInputTest, EditingKeepsTheEnterAndErasesTheCursor) {
  EXPECT_EQ(read_line({'a', 'b', 8, 'c', 13}, 16), "ac\r");
  EXPECT_EQ(cell(0, 0), 'a');
  EXPECT_EQ(cell(1, 0), 'c');
  EXPECT_EQ(cell(2, 0), ' ');
  EXPECT_FALSE(screen_shows_block());
  EXPECT_EQ(gfx_pos(), 1);  // the Enter returned the carriage
  EXPECT_EQ(gfx_csrlin(), 1);
}

TEST_F(LineInputTest, IgnoredKeys) {
  // Extended keys, the bell, and a backspace with nothing typed.
  EXPECT_EQ(read_line({0x4BFF, 7, 8, 'x', 13}, 16), "x\r");
  EXPECT_EQ(cell(0, 0), 'x');
}

TEST_F(LineInputTest, FullBufferTakesOnlyEnter) {
  EXPECT_EQ(read_line({'a', 'b', 13}, 1), "");
  EXPECT_EQ(read_line({'a', 'b', 'c', 13}, 3), "ab");
  EXPECT_EQ(cell(2, 0), 0xDB);  // the Enter on a full line is not echoed
}

TEST_F(LineInputTest, NoRoomReadsNothing) {
  key_buffer_push('z');
  char buffer[2] = {'#', '#'};
  EXPECT_EQ(gfx_read_line(buffer + 1, 0), buffer + 1);
  EXPECT_EQ(gfx_read_line(buffer + 1, -5), buffer + 1);
  EXPECT_EQ(buffer[0], '#');
  EXPECT_EQ(buffer[1], '#');
  EXPECT_EQ(gfx_keyhit(), 1);  // no key was taken
  EXPECT_EQ(gfx_read_line(nullptr, 10), nullptr);
  close_screen();
  EXPECT_EQ(gfx_read_line(buffer, 2), nullptr);
}

TEST_F(LineInputTest, TypingIntoTheBottomRightCorner) {
  gfx_locate(25, 39, 0);
  EXPECT_EQ(read_line({'a', 'b', 13}, 16), "ab\r");
  EXPECT_EQ(cell(38, 23), 'a');  // scrolled up once, both on one row
  EXPECT_EQ(cell(39, 23), 'b');
  EXPECT_FALSE(screen_shows_block());

  gfx_locate(25, 39, 0);
  EXPECT_EQ(read_line({'a', 'b', 8, 'c', 13}, 16), "ac\r");
  EXPECT_EQ(cell(38, 23), 'a');
  EXPECT_EQ(cell(39, 23), 'c');
  EXPECT_FALSE(screen_shows_block());
}

TEST_F(LineInputTest, LineInputPrintsPromptAndAssigns) {
  const int pool_before = text_pool_in_use();
  script = {'J', 'o', 13};
  TextValue name{};
  EXPECT_EQ(gfx_line_input(text_literal_z("Name"), &name, -1, 0, 1, 1), 0);
  ASSERT_NE(name.data, nullptr);
  EXPECT_EQ(std::string(name.data, text_length(&name)), "Jo");
  const char shown[] = "Name? Jo";
  for (int i = 0; i < 8; ++i) EXPECT_EQ(cell(i, 0), static_cast<uint8_t>(shown[i])) << i;
  EXPECT_EQ(gfx_csrlin(), 2);
  EXPECT_EQ(text_pool_in_use(), pool_before);  // prompt and line released
  std::free(name.data);

  script = {'a', 'b', 'c', 'd', 13};
  typed = 0;
  char fixed[6] = {'#', '#', '#', '#', '#', '#'};
  EXPECT_EQ(gfx_line_input(nullptr, fixed, 3, 1, 1, 0), 0);
  EXPECT_STREQ(fixed, "ab");
  EXPECT_EQ(fixed[5], '#');
  EXPECT_FALSE(ran_dry);
}

TEST_F(LineInputTest, LongLinesGrowAndWideDestinationsTakeUnits) {
  script.assign(700, 'x');
  script.push_back(13);
  TextValue line{};
  EXPECT_EQ(gfx_line_input(nullptr, &line, -1, 0, 0, 0), 0);
  EXPECT_EQ(text_length(&line), 700u);
  std::free(line.data);

  script = {'a', 0xE9, 'b', 13};
  typed = 0;
  uint16_t wide[4] = {9, 9, 9, 9};
  const uint16_t prompt[] = {'?', 0x263A, 0};
  EXPECT_EQ(gfx_line_input_wide(prompt, wide, 3, 0, 1), 0);
  EXPECT_EQ(wide[0], 'a');
  EXPECT_EQ(wide[1], 0xE9);
  EXPECT_EQ(wide[2], 0);
  EXPECT_EQ(wide[3], 9);
  EXPECT_FALSE(ran_dry);

  close_screen();
  EXPECT_EQ(gfx_line_input(nullptr, &line, -1, 0, 0, 0), 4);
}

void print(const char* text) {
  gfx_print(reinterpret_cast<const uint8_t*>(text), static_cast<int>(std::strlen(text)), 0);
}

TEST_F(LineInputTest, CellReadBackOnMode13) {
  gfx_locate(1, 1, 0);
  print("A");
  EXPECT_EQ(gfx_read_cell(1, 1, 0), 65u);
  EXPECT_EQ(gfx_read_cell(1, 1, 1), 15u);  // colour 15 on 0
  gfx_color(4, 2, 0);
  print("B");
  EXPECT_EQ(gfx_read_cell(2, 1, 1), 2u * 256 + 4);
  EXPECT_EQ(gfx_read_cell(0, 1, 0), 0u);
  EXPECT_EQ(gfx_read_cell(41, 1, 0), 0u);
  EXPECT_EQ(gfx_read_cell(1, 0, 0), 0u);
  EXPECT_EQ(gfx_read_cell(1, 26, 0), 0u);
  EXPECT_EQ(gfx_read_cell(40, 25, 0), 32u);
}

TEST_F(LineInputTest, CellReadBackByDepth) {
  close_screen();
  ASSERT_EQ(open_null_screen(12, 0, 0), 0);  // 4 bits: background x 16 + foreground
  gfx_color(14, 1, 0);
  print("A");
  EXPECT_EQ(gfx_read_cell(1, 1, 1), 1u * 16 + 14);
  close_screen();

  ASSERT_EQ(open_null_screen(14, 16, 0), 0);
  gfx_color(0xFF8040, 0x102030, 0);
  print("A");
  // 5-6-5 widened with each channel's high bits repeated into its low bits.
  EXPECT_EQ(gfx_read_cell(1, 1, 1), 0xFFFF8242u);
  EXPECT_EQ(gfx_read_cell(1, 1, 2), 0xFF102031u);
  close_screen();

  ASSERT_EQ(open_null_screen(14, 32, 0), 0);
  gfx_color(0x123456, 0x654321, 0);
  print("A");
  EXPECT_EQ(gfx_read_cell(1, 1, 1), 0x123456u);
  EXPECT_EQ(gfx_read_cell(1, 1, 2), 0x654321u);
  EXPECT_EQ(gfx_read_cell(1, 1, 0), 65u);
  close_screen();
  EXPECT_EQ(gfx_read_cell(1, 1, 0), 0u);
}

}  // namespace
