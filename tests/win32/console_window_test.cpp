// The console window is hidden only when this process is alone on the
// console, and comes back when asked.
#include <gtest/gtest.h>

#include "con/console_window.h"
#include "console_test_support.h"

namespace {

class ConsoleWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(attach_test_console());
    console = GetConsoleWindow();
    ASSERT_NE(console, nullptr);
    ShowWindow(console, SW_SHOW);
    ASSERT_TRUE(IsWindowVisible(console));
  }
  void TearDown() override {
    console_window_restore();
    ShowWindow(console, SW_SHOW);
  }
  HWND console = nullptr;
};

TEST_F(ConsoleWindowTest, AloneTheConsoleIsHiddenAndShownAgainOnce) {
  EXPECT_TRUE(console_window_hide_if_alone());
  EXPECT_FALSE(IsWindowVisible(console));
  console_window_restore();
  EXPECT_TRUE(IsWindowVisible(console));
  // Restored once: hidden by someone else later, it stays hidden.
  ShowWindow(console, SW_HIDE);
  console_window_restore();
  EXPECT_FALSE(IsWindowVisible(console));
  // A window already hidden is not ours to show later.
  EXPECT_FALSE(console_window_hide_if_alone());
  console_window_restore();
  EXPECT_FALSE(IsWindowVisible(console));
}

TEST_F(ConsoleWindowTest, AConsoleSharedWithAnotherProcessStaysVisible) {
  // A prompt left open on this console, as when the program is started from
  // one.
  char command[] = "cmd.exe /k";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION prompt{};
  ASSERT_TRUE(CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &prompt));
  DWORD processes[4];
  for (int i = 0; i < 200 && GetConsoleProcessList(processes, 4) < 2; ++i) Sleep(10);
  EXPECT_GE(GetConsoleProcessList(processes, 4), 2u);
  EXPECT_FALSE(console_window_hide_if_alone());
  EXPECT_TRUE(IsWindowVisible(console));
  TerminateProcess(prompt.hProcess, 0);
  WaitForSingleObject(prompt.hProcess, 5000);
  CloseHandle(prompt.hProcess);
  CloseHandle(prompt.hThread);
}

}  // namespace
