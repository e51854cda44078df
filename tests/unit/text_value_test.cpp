#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "rt/text_value.h"
#include "support/capture.h"

namespace {

std::string text_of(const TextValue* value) {
  if (!value || !value->data) return "";
  return std::string(value->data, text_length(value));
}

TEST(TextValueTest, NumbersAsText) {
  TextValue* minimum = text_from_int(INT_MIN);
  EXPECT_EQ(text_of(minimum), "-2147483648");
  EXPECT_EQ(minimum->capacity, 36);  // sized for 12 characters by the growth rule
  EXPECT_TRUE(minimum->length & kTextTemporary);
  text_release(minimum);
  TextValue* answer = text_from_int(42);
  EXPECT_EQ(text_of(answer), "42");
  text_release(answer);
  TextValue* big = text_from_uint(4294967295u);
  EXPECT_EQ(text_of(big), "4294967295");
  text_release(big);
  EXPECT_EQ(text_pool_in_use(), 0);
}

TEST(TextValueTest, ConcatenationConsumesItsOperands) {
  TextValue* result = text_concat(nullptr, "", 0, text_from_int(127), kTextValueOperand);
  EXPECT_EQ(text_of(result), "127");
  EXPECT_EQ(result->data[3], '\0');
  text_release(result);
  TextValue* both = text_concat(nullptr, text_literal_z("ab"), kTextValueOperand, "cd", 0);
  EXPECT_EQ(text_of(both), "abcd");
  text_release(both);
  TextValue* nothing = text_concat(nullptr, "", 0, nullptr, 0);
  EXPECT_EQ(text_length(nothing), 0u);
  EXPECT_EQ(text_pool_in_use(), 0);
}

TEST(TextValueTest, ComparisonIsUnsignedAndReleases) {
  const char close_key[] = "\xFFk";
  char two[] = "\xFFk";
  TextValue* key = text_temp(nullptr, 2);
  key->data[0] = two[0];
  key->data[1] = two[1];
  EXPECT_EQ(text_compare(key, kTextValueOperand, close_key, 2), 0);
  TextValue* one = text_temp(nullptr, 1);
  one->data[0] = '\xFF';
  EXPECT_EQ(text_compare(one, kTextValueOperand, close_key, 2), -1);
  EXPECT_EQ(text_compare("\xFF", 0, "z", 0), 1);  // 0xFF sorts above ASCII
  EXPECT_EQ(text_compare("abc", 0, "abd", 0), -1);
  EXPECT_EQ(text_compare("abcd", 0, "abc", 0), 1);
  EXPECT_EQ(text_compare(text_empty(), kTextValueOperand, nullptr, 0), 0);
  EXPECT_EQ(text_compare(nullptr, 0, "x", 0), -1);
  EXPECT_EQ(text_compare("x", 0, nullptr, 0), 1);
  EXPECT_EQ(text_pool_in_use(), 0);
}

TEST(TextValueTest, GrowthRuleKeepsOrReplacesBuffers) {
  TextValue* value = text_temp(nullptr, 32);
  EXPECT_EQ(value->capacity, 36);
  char* buffer = value->data;
  ASSERT_EQ(text_temp(value, 20), value);
  EXPECT_EQ(value->data, buffer);  // 20 fits without wasting more than an eighth
  EXPECT_EQ(text_length(value), 20u);
  ASSERT_EQ(text_temp(value, 64), value);
  EXPECT_EQ(value->capacity, 72);
  text_release(value);

  TextValue* wide = text_temp(nullptr, 400);
  EXPECT_EQ(wide->capacity, 468);  // 416 + 416 / 8
  ASSERT_EQ(text_temp(wide, 10), wide);
  EXPECT_EQ(wide->capacity, 36);  // a buffer far too big is replaced
  text_release(wide);

  EXPECT_EQ(text_temp(nullptr, -1), nullptr);
  EXPECT_EQ(text_temp(nullptr, INT_MAX), nullptr);  // past what can be sized
  EXPECT_EQ(text_pool_in_use(), 0);
}

TEST(TextValueTest, ExhaustedPoolGivesTheSharedEmptyValue) {
  std::vector<TextValue*> taken;
  for (int i = 0; i < 256; ++i) taken.push_back(text_literal_z("x"));
  EXPECT_EQ(text_pool_in_use(), 256);
  TextValue* extra = text_literal_z("y");
  EXPECT_EQ(extra, text_empty());
  EXPECT_EQ(text_from_int(5), text_empty());
  EXPECT_EQ(text_release(extra), -1);  // the shared value is never freed
  // Consuming the shared value prints nothing and loses nothing.
  PrintCapture capture;
  print_value(0, text_from_int(7), 0);
  EXPECT_EQ(capture.text(), "");
  for (TextValue* value : taken) EXPECT_EQ(text_release(value), 0);
  EXPECT_EQ(text_pool_in_use(), 0);
  EXPECT_EQ(text_release(nullptr), -1);
  TextValue own{};
  EXPECT_EQ(text_release(&own), -1);
}

TEST(TextValueTest, ReleasingTwiceLeavesThePoolIntact) {
  TextValue* value = text_from_int(5);
  EXPECT_EQ(text_release(value), 0);
  EXPECT_EQ(text_release(value), -1);  // already back in the pool
  EXPECT_EQ(text_pool_in_use(), 0);
  // The pool still hands out distinct descriptors.
  TextValue* first = text_from_int(6);
  TextValue* second = text_from_int(7);
  EXPECT_NE(first, second);
  EXPECT_EQ(text_pool_in_use(), 2);
  text_release(first);
  text_release(second);
  EXPECT_EQ(text_pool_in_use(), 0);
}

TEST(TextValueTest, AssignmentCopiesOrTakesOver) {
  TextValue variable{};
  TextValue* temporary = text_concat(nullptr, "he", 0, "llo", 0);
  char* buffer = temporary->data;
  text_assign(&variable, kTextValueOperand, temporary, kTextValueOperand, 0, 1);
  EXPECT_EQ(variable.data, buffer);  // taken over, not copied
  EXPECT_EQ(text_of(&variable), "hello");
  EXPECT_FALSE(variable.length & kTextTemporary);
  EXPECT_EQ(text_pool_in_use(), 0);

  text_assign(&variable, kTextValueOperand, "bye", 0, 0, 0);
  EXPECT_EQ(text_of(&variable), "bye");
  text_assign(&variable, kTextValueOperand, "", 0, 0, 0);
  EXPECT_EQ(variable.data, nullptr);
  EXPECT_EQ(text_length(&variable), 0u);

  char fixed[6];
  std::memset(fixed, 'z', sizeof fixed);
  text_assign(fixed, sizeof fixed, "abcdefgh", 0, 1, 0);
  EXPECT_STREQ(fixed, "abcde");
  std::memset(fixed, 'z', sizeof fixed);
  text_assign(fixed, sizeof fixed, "ab", 0, 1, 0);
  EXPECT_EQ(std::string(fixed, 6), std::string("ab\0\0\0\0", 6));
  EXPECT_EQ(text_assign(nullptr, 0, text_literal_z("q"), kTextValueOperand, 0, 0), nullptr);
  EXPECT_EQ(text_pool_in_use(), 0);
}

TEST(PrintTest, LineEndsAndZones) {
  PrintCapture capture;
  FileRecord* screen = file_record(0);
  screen->width = 0;
  screen->column = 0;
  print_value(0, text_empty(), 1);
  EXPECT_EQ(capture.text(), "\r\n");

  capture.clear();
  screen->column = 0;
  print_end(0, 2);
  EXPECT_EQ(capture.text(), std::string(14, ' '));
  EXPECT_EQ(screen->column, 14u);

  capture.clear();
  screen->column = 13;
  print_end(0, 2);
  EXPECT_EQ(capture.text(), " ");

  capture.clear();
  screen->width = 40;
  screen->column = 14;
  print_end(0, 2);
  EXPECT_EQ(capture.text(), "\r\n");
  EXPECT_EQ(screen->column, 0u);
  screen->width = 0;

  capture.clear();
  print_value(0, text_literal_z("abc\r\nde"), 0);
  EXPECT_EQ(screen->column, 2u);
  print_value(0, text_literal_z("fgh"), 0);
  EXPECT_EQ(screen->column, 5u);
  EXPECT_EQ(text_pool_in_use(), 0);
}

// Text longer than the screen file's width: the print position goes round
// the width, as the screen's own cursor does, and stays inside it.
TEST(PrintTest, ThePositionStaysWithinTheWidthAfterLongerText) {
  PrintCapture capture;
  FileRecord* screen = file_record(0);
  screen->width = 40;
  const uint32_t cases[][3] = {{0, 39, 39}, {0, 40, 0}, {0, 50, 10}, {0, 85, 5}, {30, 15, 5}, {39, 1, 0}};
  for (const auto& c : cases) {
    screen->column = c[0];
    const std::string text(c[1], 'x');
    print_value(0, text_from_bytes(text.data(), static_cast<int>(text.size())), 0);
    EXPECT_EQ(screen->column, c[2]) << c[0] << " + " << c[1];
  }
  EXPECT_EQ(text_pool_in_use(), 0);
}

TEST(PrintTest, FileWithoutRecordSetsErrorAndReleases) {
  set_error(0);
  print_value(300, text_from_int(1), 1);
  EXPECT_EQ(get_error(), 1);
  EXPECT_EQ(text_pool_in_use(), 0);
  set_error(0);
  print_value(5, text_from_int(1), 0);  // a record without a device
  EXPECT_EQ(get_error(), 1);
  EXPECT_EQ(text_pool_in_use(), 0);
}

}  // namespace
