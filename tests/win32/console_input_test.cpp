// The console side of the key queries, with input events written into a
// console this test program owns (see console_test_support.h).
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "con/console.h"
#include "con/win32/console_keys.h"
#include "rt/hook_table.h"
#include "rt/routed.h"
#include "rt/runtime.h"
#include "rt/stepped_sleep.h"
#include "rt/text_value.h"
#include "console_test_support.h"

namespace {

HANDLE input() { return GetStdHandle(STD_INPUT_HANDLE); }

INPUT_RECORD key(bool down, WORD virtual_key, WORD scancode, uint8_t character, DWORD state,
                 WORD repeat = 1) {
  INPUT_RECORD record{};
  record.EventType = KEY_EVENT;
  record.Event.KeyEvent.bKeyDown = down;
  record.Event.KeyEvent.wRepeatCount = repeat;
  record.Event.KeyEvent.wVirtualKeyCode = virtual_key;
  record.Event.KeyEvent.wVirtualScanCode = scancode;
  record.Event.KeyEvent.uChar.AsciiChar = static_cast<CHAR>(character);
  record.Event.KeyEvent.dwControlKeyState = state;
  return record;
}

void inject(const std::vector<INPUT_RECORD>& records) {
  DWORD written = 0;
  ASSERT_TRUE(WriteConsoleInputA(input(), records.data(), static_cast<DWORD>(records.size()),
                                 &written));
  ASSERT_EQ(written, records.size());
}

// A keypad digit pressed and released with left Alt held.
void alt_keypad_digit(std::vector<INPUT_RECORD>& records, int digit) {
  static constexpr WORD kKeypadScancodes[10] = {0x52, 0x4F, 0x50, 0x51, 0x4B,
                                                0x4C, 0x4D, 0x47, 0x48, 0x49};
  const WORD virtual_key = static_cast<WORD>(VK_NUMPAD0 + digit);
  records.push_back(key(true, virtual_key, kKeypadScancodes[digit], 0, LEFT_ALT_PRESSED));
  records.push_back(key(false, virtual_key, kKeypadScancodes[digit], 0, LEFT_ALT_PRESSED));
}

std::vector<INPUT_RECORD> alt_code_typed(std::initializer_list<int> digits) {
  std::vector<INPUT_RECORD> records;
  records.push_back(key(true, VK_MENU, 0x38, 0, LEFT_ALT_PRESSED));
  for (int digit : digits) alt_keypad_digit(records, digit);
  records.push_back(key(false, VK_MENU, 0x38, 0, 0));
  return records;
}

std::string take_text() {
  TextValue* value = read_key_text();
  std::string text(value->data ? value->data : "", text_length(value));
  text_release(value);
  return text;
}

class ConsoleInput : public testing::Test {
 protected:
  static void SetUpTestSuite() { console_ready_ = attach_test_console(); }

  void SetUp() override {
    ASSERT_TRUE(console_ready_) << "no console input queue could be set up";
    hook_table_clear();
    // The console window puts its own mouse and focus events in the queue.
    FlushConsoleInputBuffer(input());
    console_reset_state();
  }
  void TearDown() override {
    FlushConsoleInputBuffer(input());
    console_reset_state();
  }

  static bool console_ready_;
};
bool ConsoleInput::console_ready_ = false;

TEST_F(ConsoleInput, AltKeypadDecimalCodeIsOneKeyWhenAltIsReleased) {
  std::vector<INPUT_RECORD> typing = alt_code_typed({1, 3, 0});
  const INPUT_RECORD alt_release = typing.back();
  typing.pop_back();
  inject(typing);
  EXPECT_EQ(key_waiting(), 0) << "no key while the code is being typed";
  inject({alt_release});
  EXPECT_EQ(take_text(), std::string(1, static_cast<char>(130)));
  EXPECT_EQ(key_waiting(), 0);

  // Only the low byte counts: 256 gives the key 0, which is a key.
  inject(alt_code_typed({2, 5, 6}));
  EXPECT_EQ(key_waiting(), 1);
  EXPECT_EQ(wait_key(), 0);
  EXPECT_EQ(key_waiting(), 0);

  // A long run of digits neither overflows nor loses the low byte.
  inject(alt_code_typed({9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 6, 5}));
  EXPECT_EQ(wait_key(), 99999999999999965ull % 256);
}

TEST_F(ConsoleInput, KeyWithACodeAbandonsADecimalCodeAndOtherModifiersEndIt) {
  // Alt+6, then Alt+X: the key's own code, and no decimal code on release.
  std::vector<INPUT_RECORD> records;
  records.push_back(key(true, VK_MENU, 0x38, 0, LEFT_ALT_PRESSED));
  alt_keypad_digit(records, 6);
  records.push_back(key(true, 'X', 0x2D, 'x', LEFT_ALT_PRESSED));
  records.push_back(key(false, 'X', 0x2D, 'x', LEFT_ALT_PRESSED));
  records.push_back(key(false, VK_MENU, 0x38, 0, 0));
  inject(records);
  EXPECT_EQ(wait_key(), 0x2DFF);
  EXPECT_EQ(key_waiting(), 0);

  // Alt+6, 5, then Ctrl joins: the code so far is emitted at once.
  records.clear();
  records.push_back(key(true, VK_MENU, 0x38, 0, LEFT_ALT_PRESSED));
  alt_keypad_digit(records, 6);
  alt_keypad_digit(records, 5);
  records.push_back(key(true, VK_CONTROL, 0x1D, 0, LEFT_ALT_PRESSED | LEFT_CTRL_PRESSED));
  inject(records);
  EXPECT_EQ(take_text(), "A");
  inject({key(false, VK_MENU, 0x38, 0, LEFT_CTRL_PRESSED)});
  EXPECT_EQ(key_waiting(), 0);
}

TEST_F(ConsoleInput, TypedKeysArriveInOrderAsTextAndCodes) {
  inject({key(true, 'A', 0x1E, 'a', 0), key(false, 'A', 0x1E, 'a', 0),
          key(true, 'B', 0x30, 'b', 0, 0),  // a repeat count of 0 is no key
          key(true, VK_F1, 0x3B, 0, 0),
          key(true, VK_OEM_7, 0x28, 0xE4, 0),  // upper half of the code page
          key(true, 0, 0, 0xFF, 0),
          key(true, VK_SHIFT, 0x2A, 0, SHIFT_PRESSED)});  // no code: nothing
  EXPECT_EQ(take_text(), "a");
  EXPECT_EQ(take_text(), "\xFF;");
  EXPECT_EQ(wait_key(), 0xE4);
  // Character 0xFF is a key, not the "no key" marker.
  EXPECT_EQ(key_waiting(), 1);
  EXPECT_EQ(take_text(), "\xFF");
  EXPECT_EQ(take_text(), "");
  EXPECT_EQ(key_waiting(), 0);
}

TEST_F(ConsoleInput, FullRingKeepsTheNewest511Keys) {
  std::vector<INPUT_RECORD> records;
  // Printable characters only: a typed Ctrl+C would end the process.
  for (int i = 0; i < 520; ++i) records.push_back(key(true, 0, 0, 0x20 + i % 200, 0));
  inject(records);
  std::vector<int> codes;
  while (key_waiting()) codes.push_back(wait_key());
  ASSERT_EQ(codes.size(), 511u);
  for (size_t i = 0; i < codes.size(); ++i) EXPECT_EQ(codes[i], 0x20 + (int(i) + 9) % 200) << i;
}

TEST_F(ConsoleInput, CloseLogOffAndShutdownBecomeTheCloseKey) {
  EXPECT_TRUE(console_ctrl_handler(CTRL_CLOSE_EVENT));
  EXPECT_EQ(take_text(), "\xFFk");
  EXPECT_TRUE(console_ctrl_handler(CTRL_LOGOFF_EVENT));
  EXPECT_TRUE(console_ctrl_handler(CTRL_SHUTDOWN_EVENT));
  EXPECT_EQ(wait_key(), 0x6BFF);
  EXPECT_EQ(wait_key(), 0x6BFF);
  EXPECT_FALSE(console_ctrl_handler(CTRL_C_EVENT));
  EXPECT_FALSE(console_ctrl_handler(CTRL_BREAK_EVENT));
  EXPECT_EQ(key_waiting(), 0);
}

// The control handler runs on a system thread. Pushes that overrun the ring
// while keys are taken must never hand out more keys than were pushed or
// leave the indices crossed.
TEST_F(ConsoleInput, HandlerThreadOverrunningTheRingWhileKeysAreTaken) {
  constexpr int kPushes = 20000;
  std::atomic<bool> finished{false};
  std::thread handler([&] {
    for (int i = 0; i < kPushes; ++i) console_ctrl_handler(CTRL_SHUTDOWN_EVENT);
    finished = true;
  });
  int taken = 0;
  for (;;) {
    const bool done = finished;
    while (key_waiting() && taken <= kPushes) {
      ASSERT_EQ(wait_key(), 0x6BFF);
      ++taken;
    }
    if (done) break;
  }
  handler.join();
  EXPECT_LE(taken, kPushes);
  console_ctrl_handler(CTRL_CLOSE_EVENT);
  EXPECT_EQ(wait_key(), 0x6BFF);
  EXPECT_EQ(key_waiting(), 0);
}

TEST_F(ConsoleInput, SleepUntilAKeyReturnsOnceOneComes) {
  // A key typed while it sleeps.
  std::thread typist([] {
    Sleep(120);
    INPUT_RECORD record = key(true, 'W', 0x11, 'w', 0);
    DWORD written = 0;
    WriteConsoleInputA(input(), &record, 1, &written);
  });
  EXPECT_EQ(sleep_for(-1, 0), 0);
  typist.join();
  EXPECT_EQ(take_text(), "w");

  // A console close request while it sleeps.
  std::thread closer([] {
    Sleep(120);
    console_ctrl_handler(CTRL_CLOSE_EVENT);
  });
  EXPECT_EQ(sleep_for(-1, 0), 0);
  closer.join();
  EXPECT_EQ(take_text(), "\xFFk");
}

std::vector<uint32_t> recorded_sleeps;
bool type_during_first_step = false;

void recording_sleep(uint32_t milliseconds) {
  if (type_during_first_step && recorded_sleeps.empty()) {
    INPUT_RECORD record = key(true, 'E', 0x12, 'e', 0);
    DWORD written = 0;
    WriteConsoleInputA(input(), &record, 1, &written);
  }
  recorded_sleeps.push_back(milliseconds);
}

TEST_F(ConsoleInput, SleepStepsOnTheConsole) {
  using Steps = std::vector<uint32_t>;
  const SleepFunction saved = stepped_sleep_function;
  stepped_sleep_function = recording_sleep;
  recorded_sleeps.clear();
  type_during_first_step = false;

  EXPECT_EQ(sleep_for(150, 0), 0);
  EXPECT_EQ(recorded_sleeps, (Steps{50, 50, 50}));
  recorded_sleeps.clear();
  sleep_for(0, 0);   // the console yields with a platform sleep of 0
  sleep_for(-3, 0);  // and does not sleep for other negative values
  EXPECT_EQ(recorded_sleeps, (Steps{0}));
  recorded_sleeps.clear();
  EXPECT_EQ(sleep_for(10, 2), 1);
  EXPECT_EQ(get_error(), 1);
  EXPECT_TRUE(recorded_sleeps.empty());

  type_during_first_step = true;
  sleep_for(150, 0);
  EXPECT_EQ(recorded_sleeps, (Steps{50}));
  EXPECT_EQ(take_text(), "e");

  stepped_sleep_function = saved;
  type_during_first_step = false;
}

void pump_messages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

// Presses or releases a key where the whole system sees it.
void send_key(WORD virtual_key, bool down) {
  INPUT event{};
  event.type = INPUT_KEYBOARD;
  event.ki.wVk = virtual_key;
  event.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  SendInput(1, &event, sizeof event);
  pump_messages();
}

bool bring_to_foreground(HWND window) {
  SetForegroundWindow(window);
  pump_messages();
  return GetForegroundWindow() == window;
}

bool key_pressed(WORD virtual_key) { return (GetAsyncKeyState(virtual_key) & 0x8000) != 0; }

// key_held for each scancode while the key is pressed and the window is in
// the foreground. A press injected here is not in the X server's keymap, so
// a focus change still on its way makes the system take it back, and may
// move the foreground too; a round counts only when both still stand after
// the last question (nothing presses the key again, so it stood all along).
// Empty when no round stood.
std::vector<int> held_while_pressed(HWND foreground, WORD virtual_key,
                                    const std::vector<int>& scancodes) {
  for (int round = 0; round < 20; ++round) {
    if (!bring_to_foreground(foreground)) continue;
    send_key(virtual_key, true);
    std::vector<int> answers;
    for (int scancode : scancodes) answers.push_back(key_held(scancode));
    if (key_pressed(virtual_key) && GetForegroundWindow() == foreground) return answers;
  }
  ADD_FAILURE() << "the key press or the foreground window did not stand";
  return {};
}

class ConsoleKeyHeld : public ConsoleInput {
 protected:
  void TearDown() override {
    send_key(VK_SHIFT, false);
    send_key(VK_NUMPAD7, false);
    ConsoleInput::TearDown();
  }
};

TEST_F(ConsoleKeyHeld, HeldKeysShowByScancodeWhileTheConsoleIsInTheForeground) {
  HWND console = GetConsoleWindow();
  ASSERT_NE(console, nullptr);
  ASSERT_TRUE(bring_to_foreground(console));
  EXPECT_EQ(key_held(0x2A), 0);
  // Both Shift rows carry the same virtual key; scancodes without a row are
  // never held.
  EXPECT_EQ(held_while_pressed(console, VK_SHIFT, {0x2A, 0x36, 0x1E, 0, -1, 0x2A + 256}),
            (std::vector<int>{-1, -1, 0, 0, 0, 0}));
  send_key(VK_SHIFT, false);
  EXPECT_EQ(key_held(0x2A), 0);
  // The keypad 7 shares the row of Home as its alternative virtual key.
  EXPECT_EQ(held_while_pressed(console, VK_NUMPAD7, {0x47}), std::vector<int>{-1});
  send_key(VK_NUMPAD7, false);
  EXPECT_EQ(key_held(0x47), 0);
}

TEST_F(ConsoleKeyHeld, NothingIsHeldWhileAnotherWindowIsInTheForeground) {
  HWND other = CreateWindowA("STATIC", "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                             nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(other, nullptr);
  std::vector<int> scancodes;
  for (int scancode = -1; scancode <= 300; ++scancode) scancodes.push_back(scancode);
  // The system sees Shift held, yet the console does not count it.
  EXPECT_EQ(held_while_pressed(other, VK_SHIFT, scancodes), std::vector<int>(scancodes.size(), 0));
  DestroyWindow(other);
}

}  // namespace
