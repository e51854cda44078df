// Console text output on a screen buffer of the test's own, read back cell
// by cell; and the raw fallback when the output is a pipe.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "con/console.h"
#include "con/win32/console_handles.h"
#include "console_test_support.h"
#include "rt/hook_table.h"
#include "rt/routed.h"
#include "rt/runtime.h"

namespace {

void print(const std::string& text, int flags = 0) {
  print_bytes(reinterpret_cast<const uint8_t*>(text.data()), static_cast<int>(text.size()), flags);
}

class ConsoleOutput : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    console_ready_ = attach_test_console();
    // The buffer the console shows now; a test that shows a page of its own
    // puts this one back, so that the console window keeps its size.
    shown_ = CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         nullptr, OPEN_EXISTING, 0, nullptr);
  }
  static void TearDownTestSuite() {
    if (shown_ != INVALID_HANDLE_VALUE) CloseHandle(shown_);
    shown_ = INVALID_HANDLE_VALUE;
  }

  void SetUp() override {
    ASSERT_TRUE(console_ready_) << "no console could be set up";
    hook_table_clear();
    set_view_rows(-1, -1);
    buffer_ = CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                        CONSOLE_TEXTMODE_BUFFER, nullptr);
    ASSERT_NE(buffer_, INVALID_HANDLE_VALUE);
    console_handles_reset(buffer_);
  }
  void TearDown() override {
    if (shown_ != INVALID_HANDLE_VALUE) SetConsoleActiveScreenBuffer(shown_);
    console_handles_reset(nullptr);
    set_view_rows(-1, -1);
    if (buffer_ != INVALID_HANDLE_VALUE) CloseHandle(buffer_);
  }

  // A buffer of columns x rows whose window shows its first window_rows rows.
  void shape(int columns, int rows, int window_rows) {
    const SMALL_RECT window{0, 0, static_cast<SHORT>(columns - 1),
                            static_cast<SHORT>(window_rows - 1)};
    ASSERT_TRUE(SetConsoleWindowInfo(buffer_, TRUE, &window));
    ASSERT_TRUE(SetConsoleScreenBufferSize(buffer_, {static_cast<SHORT>(columns),
                                                     static_cast<SHORT>(rows)}));
    ASSERT_TRUE(SetConsoleWindowInfo(buffer_, TRUE, &window));
    console_view_changed();
  }

  // The first eight cells of a row.
  std::string row(int y, HANDLE buffer = nullptr) const {
    char text[8];
    DWORD read = 0;
    ReadConsoleOutputCharacterA(buffer ? buffer : buffer_, text, 8, {0, static_cast<SHORT>(y)},
                                &read);
    return std::string(text, read);
  }
  CONSOLE_SCREEN_BUFFER_INFO info() const {
    CONSOLE_SCREEN_BUFFER_INFO i{};
    GetConsoleScreenBufferInfo(buffer_, &i);
    return i;
  }
  void expect_cursor(int x, int y) const {
    const COORD cursor = info().dwCursorPosition;
    EXPECT_TRUE(cursor.X == x && cursor.Y == y) << cursor.X << ", " << cursor.Y;
  }
  void label_rows(int count) {
    for (int y = 1; y <= count; ++y) {
      locate(y, 1, -1, nullptr);
      print("row" + std::to_string(y - 1));
    }
  }

  HANDLE buffer_ = INVALID_HANDLE_VALUE;
  static bool console_ready_;
  static HANDLE shown_;
};
bool ConsoleOutput::console_ready_ = false;
HANDLE ConsoleOutput::shown_ = INVALID_HANDLE_VALUE;

TEST_F(ConsoleOutput, LineEndOnTheBottomRowUsesSpareRowsBeforeMovingText) {
  shape(40, 12, 10);
  label_rows(1);
  locate(10, 1, -1, nullptr);
  print("abc");
  print("\r\n");
  expect_cursor(0, 10);
  EXPECT_EQ(info().srWindow.Bottom, 10) << "the window follows the cursor";
  print("def");
  EXPECT_EQ(row(0), "row0    ") << "no text moved";
  EXPECT_EQ(row(10), "def     ");
  int column = 0, text_row = 0;
  get_cursor(&column, &text_row);
  EXPECT_EQ(column, 4);
  EXPECT_EQ(text_row, 10);

  // The last spare row, then the whole buffer moves up.
  print("\r\n");
  SetConsoleTextAttribute(buffer_, 0x1E);
  print("\r\n");
  expect_cursor(0, 11);
  EXPECT_EQ(row(8), "abc     ");
  EXPECT_EQ(row(9), "def     ");
  EXPECT_EQ(row(0), "        ");
  WORD attribute = 0;
  DWORD read = 0;
  ReadConsoleOutputAttribute(buffer_, &attribute, 1, {5, 11}, &read);
  EXPECT_EQ(attribute, 0x1E) << "freed rows take the current attribute";
}

TEST_F(ConsoleOutput, TextEndingInTheLastCellWaitsForTheNextPrintToScroll) {
  shape(40, 10, 10);
  label_rows(2);
  locate(10, 1, -1, nullptr);
  print(std::string(40, 'x'));
  expect_cursor(39, 9);
  EXPECT_EQ(get_column(), 40);
  EXPECT_EQ(row(0), "row0    ") << "nothing scrolled yet";
  print("y");
  expect_cursor(1, 9);
  EXPECT_EQ(row(0), "row1    ");
  EXPECT_EQ(row(9), "y       ");

  // Flag 8 lets the new row happen without text.
  print(std::string(39, 'z'));
  print("", 8);
  expect_cursor(0, 9);
  EXPECT_EQ(row(8), "yzzzzzzz");
}

TEST_F(ConsoleOutput, LocateKeepsOmittedCoordinatesAndReportsTheFormerVisibility) {
  shape(40, 10, 10);
  console_locate(3, 7, 1);
  EXPECT_EQ(console_locate(4, 0, -1), 7 | 4 << 8 | 0x10000);
  expect_cursor(6, 3);
  EXPECT_EQ(console_locate(0, 2, 0), 2 | 4 << 8 | 0x10000);
  expect_cursor(1, 3);
  EXPECT_EQ(console_locate(0, 0, -1), 2 | 4 << 8);
  CONSOLE_CURSOR_INFO shape_info{};
  ASSERT_TRUE(GetConsoleCursorInfo(buffer_, &shape_info));
  EXPECT_FALSE(shape_info.bVisible);
}

TEST_F(ConsoleOutput, ViewSmallerThanTheAreaScrollsAndClearsOnlyItsRows) {
  shape(40, 10, 10);
  label_rows(10);
  ASSERT_EQ(set_view_print(3, 5, 0), 3 + 5 * 65536);
  locate(5, 1, -1, nullptr);
  print("\r\n");
  expect_cursor(0, 4);
  EXPECT_EQ(row(1), "row1    ");
  EXPECT_EQ(row(3), "row4    ");
  EXPECT_EQ(row(4), "        ");
  EXPECT_EQ(row(5), "row5    ");

  locate(4, 6, -1, nullptr);
  console_clear(1);
  EXPECT_EQ(row(2), "row3    ") << "mode 1 is the graphics viewport only";
  expect_cursor(5, 3);
  clear_screen(kNoClearArgument);
  for (int y = 2; y <= 4; ++y) EXPECT_EQ(row(y), "        ") << y;
  EXPECT_EQ(row(5), "row5    ");
  expect_cursor(0, 2);
  console_clear(0);
  EXPECT_EQ(row(9), "        ");
  expect_cursor(0, 0);
}

TEST_F(ConsoleOutput, WideTextKeepsUnitsAboveTheByteRange) {
  shape(40, 10, 10);
  const uint16_t units[] = {'A', 0x263A, '\t', 'B', '\r', '\n', 'C'};
  print_wide(units, 7, 0);
  wchar_t text[9] = {};
  DWORD read = 0;
  ReadConsoleOutputCharacterW(buffer_, text, 9, {0, 0}, &read);
  EXPECT_EQ(std::wstring(text, read), L"A\u263A      B");
  expect_cursor(1, 1);
}

TEST_F(ConsoleOutput, PagesAndTextSize) {
  shape(60, 30, 20);
  EXPECT_EQ(page_set(4, 0), -1);
  ASSERT_EQ(console_page_set(1, 0), 0);
  HANDLE page1 = console_handles().console_pages[1];
  CONSOLE_SCREEN_BUFFER_INFO i{};
  ASSERT_TRUE(GetConsoleScreenBufferInfo(page1, &i));
  EXPECT_TRUE(i.dwSize.X == 60 && i.dwSize.Y == 30) << "sized like standard output";
  CONSOLE_CURSOR_INFO shape_info{};
  GetConsoleCursorInfo(page1, &shape_info);
  EXPECT_FALSE(shape_info.bVisible) << "a work page that is not shown hides its cursor";
  print("one");
  EXPECT_EQ(row(0, page1), "one     ");
  EXPECT_EQ(row(0), "        ");
  ASSERT_EQ(console_page_set(0, -1), 1);

  // The window must shrink before the buffer can.
  EXPECT_EQ(console_set_width(0, 0), 60 | 20 << 16) << "a query changes nothing";
  EXPECT_EQ(console_set_width(40, 8), 40 | 8 << 16);
  for (HANDLE page : {buffer_, page1}) {
    ASSERT_TRUE(GetConsoleScreenBufferInfo(page, &i));
    EXPECT_TRUE(i.dwSize.X == 40 && i.dwSize.Y == 8 && i.srWindow.Right == 39 &&
                i.srWindow.Bottom == 7);
  }
  SetConsoleScreenBufferSize(buffer_, {50, 20});
  console_view_changed();
  int columns = 0, rows = 0;
  get_text_size(&columns, &rows);
  EXPECT_TRUE(columns == 40 && rows == 8) << "the area is locked";
  EXPECT_EQ(console_set_width(0, 6), 40 | 6 << 16) << "a kept value counts with its size";
  get_text_size(&columns, &rows);
  EXPECT_EQ(rows, 6) << "setting the size again reads the area again";
}

TEST(ConsoleFallback, PipeGetsTheRawBytesAndCountsAs80By25) {
  HANDLE read_end = nullptr, write_end = nullptr;
  ASSERT_TRUE(CreatePipe(&read_end, &write_end, nullptr, 1 << 16));
  hook_table_clear();
  console_handles_reset(write_end);
  const std::string bytes("A\r\nB\0\xFF\t", 7);
  print(bytes);
  print("", 8);
  clear_screen(0);
  const uint16_t units[] = {0x41, 0x263A};
  print_wide(units, 2, 0);
  int columns = 0, rows = 0;
  get_text_size(&columns, &rows);
  EXPECT_TRUE(columns == 80 && rows == 25);
  EXPECT_EQ(console_set_width(40, 10), 0);

  char received[32] = {};
  DWORD count = 0;
  ASSERT_TRUE(ReadFile(read_end, received, sizeof received, &count, nullptr));
  EXPECT_EQ(std::string(received, count), bytes + std::string("\x41\0\x3A\x26", 4));
  console_handles_reset(nullptr);
  CloseHandle(read_end);
  CloseHandle(write_end);
}

}  // namespace
