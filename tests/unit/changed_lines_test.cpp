// The record of lines last sent: marked lines that did not change are
// dropped, everything else is kept and remembered.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "gfx/drivers/changed_lines.h"

namespace {

constexpr int kLines = 6;
constexpr int kWidth = 8;
constexpr int kPitch = 12;  // wider than the compared bytes: padding is not compared

struct Frame {
  std::vector<uint8_t> page = std::vector<uint8_t>(kLines * kPitch, 0);
  std::vector<uint8_t> dirty = std::vector<uint8_t>(kLines, 1);
  void mark_all() { std::fill(dirty.begin(), dirty.end(), 1); }
  uint8_t* line(int index) { return page.data() + index * kPitch; }
};

class SentLinesTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(sent_lines_open(&sent, kLines, kWidth), 0); }
  void TearDown() override { sent_lines_close(&sent); }
  int filter(Frame& frame) { return sent_lines_filter(&sent, frame.page.data(), kPitch, frame.dirty.data(), kLines); }
  SentLines sent{};
};

TEST_F(SentLinesTest, UnchangedLinesAreDroppedOnceEverythingWasSent) {
  Frame frame;
  EXPECT_EQ(filter(frame), kLines);  // contents unknown: all sent
  frame.mark_all();
  EXPECT_EQ(filter(frame), 0);
  EXPECT_EQ(std::count(frame.dirty.begin(), frame.dirty.end(), 0), kLines);

  frame.line(2)[kWidth - 1] = 9;
  frame.line(4)[kWidth] = 9;  // padding only
  frame.mark_all();
  EXPECT_EQ(filter(frame), 1);
  EXPECT_EQ(frame.dirty, (std::vector<uint8_t>{0, 0, 1, 0, 0, 0}));

  // A changed line that is not marked stays unsent and is still different
  // from the record when it is marked later.
  frame.line(5)[0] = 3;
  std::fill(frame.dirty.begin(), frame.dirty.end(), 0);
  EXPECT_EQ(filter(frame), 0);
  frame.dirty[5] = 1;
  EXPECT_EQ(filter(frame), 1);
  EXPECT_EQ(frame.dirty[5], 1);
}

TEST_F(SentLinesTest, ForgetAndAnotherPageSendEveryMarkedLine) {
  Frame frame;
  filter(frame);
  frame.mark_all();
  sent_lines_forget(&sent);
  EXPECT_EQ(filter(frame), kLines);

  // A forget followed by a partly marked pass leaves the record unknown:
  // the unmarked lines were not seen.
  sent_lines_forget(&sent);
  frame.mark_all();
  frame.dirty[0] = 0;
  EXPECT_EQ(filter(frame), kLines - 1);
  frame.mark_all();
  EXPECT_EQ(filter(frame), kLines);
  frame.mark_all();
  EXPECT_EQ(filter(frame), 0);

  Frame flipped;  // same bytes, other page: a flip
  EXPECT_EQ(filter(flipped), kLines);

  // Nor does a forget followed by a pass over fewer lines than the record
  // holds: the last line was not seen.
  sent_lines_forget(&sent);
  flipped.mark_all();
  EXPECT_EQ(sent_lines_filter(&sent, flipped.page.data(), kPitch, flipped.dirty.data(), kLines - 1), kLines - 1);
  flipped.mark_all();
  EXPECT_EQ(filter(flipped), kLines);
}

TEST_F(SentLinesTest, OtherColoursForgetTheWindowContents) {
  uint32_t colours[256] = {};
  EXPECT_EQ(sent_lines_check_colours(&sent, colours, 256), 1);  // none recorded yet
  Frame frame;
  filter(frame);
  EXPECT_EQ(sent_lines_check_colours(&sent, colours, 256), 0);
  frame.mark_all();
  EXPECT_EQ(filter(frame), 0);

  colours[255] = 0x102030;  // the last entry counts too
  EXPECT_EQ(sent_lines_check_colours(&sent, colours, 256), 1);
  frame.mark_all();
  EXPECT_EQ(filter(frame), kLines);
  // A shorter table is another one, even with the same first entries.
  EXPECT_EQ(sent_lines_check_colours(&sent, colours, 16), 1);
  EXPECT_EQ(sent_lines_check_colours(&sent, colours, 16), 0);

  frame.mark_all();
  filter(frame);
  EXPECT_EQ(sent_lines_check_colours(nullptr, colours, 16), 0);
  EXPECT_EQ(sent_lines_check_colours(&sent, nullptr, 16), 0);
  EXPECT_EQ(sent_lines_check_colours(&sent, colours, 0), 0);
  EXPECT_EQ(sent_lines_check_colours(&sent, colours, 257), 0);
  frame.mark_all();
  EXPECT_EQ(filter(frame), 0);  // bad calls forgot nothing
}

TEST_F(SentLinesTest, ClosedOrUnsuitableRecordKeepsEveryMark) {
  Frame frame;
  filter(frame);
  // More lines than the record holds, or a pitch shorter than a line.
  std::vector<uint8_t> dirty(kLines + 1, 1);
  std::vector<uint8_t> page((kLines + 1) * kPitch, 0);
  EXPECT_EQ(sent_lines_filter(&sent, page.data(), kPitch, dirty.data(), kLines + 1), kLines + 1);
  frame.mark_all();
  EXPECT_EQ(sent_lines_filter(&sent, frame.page.data(), kWidth - 1, frame.dirty.data(), kLines), kLines);

  // Lines packed without padding are usable.
  std::vector<uint8_t> packed(kLines * kWidth, 0);
  for (int pass = 0; pass < 2; ++pass) {
    frame.mark_all();
    EXPECT_EQ(sent_lines_filter(&sent, packed.data(), kWidth, frame.dirty.data(), kLines), pass == 0 ? kLines : 0);
  }

  sent_lines_close(&sent);
  sent_lines_close(&sent);
  frame.mark_all();
  frame.dirty[3] = 0;
  EXPECT_EQ(filter(frame), kLines - 1);
  EXPECT_EQ(frame.dirty[0], 1);
}

TEST(SentLines, BadArgumentsGiveClearResults) {
  SentLines sent{};
  EXPECT_EQ(sent_lines_open(nullptr, 4, 4), -1);
  EXPECT_EQ(sent_lines_open(&sent, 0, 4), -1);
  EXPECT_EQ(sent_lines_open(&sent, 4, -1), -1);
  EXPECT_EQ(sent_lines_open(&sent, INT32_MAX, 2), -1);
  EXPECT_EQ(sent_lines_open(&sent, 65536, 65536), -1);
  EXPECT_EQ(sent.lines, nullptr);
  uint8_t dirty[2] = {1, 1};
  uint8_t page[8] = {};
  EXPECT_EQ(sent_lines_filter(nullptr, page, 4, dirty, 2), 0);
  EXPECT_EQ(sent_lines_filter(&sent, nullptr, 4, dirty, 2), 0);
  EXPECT_EQ(sent_lines_filter(&sent, page, 4, nullptr, 2), 0);
  EXPECT_EQ(sent_lines_filter(&sent, page, 4, dirty, -3), 0);
  sent_lines_forget(nullptr);
  sent_lines_close(nullptr);
  // Reopening replaces the old copy.
  ASSERT_EQ(sent_lines_open(&sent, 2, 4), 0);
  ASSERT_EQ(sent_lines_open(&sent, 3, 4), 0);
  EXPECT_EQ(sent.line_count, 3);
  sent_lines_close(&sent);
}

}  // namespace
