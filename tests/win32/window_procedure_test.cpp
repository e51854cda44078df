// The window procedure fed with key messages built as the system builds
// them, sent to the live window so that they run on its own thread.
#include "window_test_support.h"

namespace {

using Codes = std::vector<int32_t>;

class WindowProcedureTest : public GdiScreenTest {
 protected:
  void SetUp() override {
    open_screen();
    drain();
  }
  LRESULT key_down(int virtual_key, int scancode, bool extended = false, int repeat = 1, bool was_down = false) {
    return SendMessageA(window(), WM_KEYDOWN, virtual_key,
                        key_lparam(scancode, extended, repeat, was_down, false));
  }
  LRESULT key_up(int virtual_key, int scancode, UINT message = WM_KEYUP) {
    return SendMessageA(window(), message, virtual_key, key_lparam(scancode, false, 1, true, false, true));
  }
  LRESULT sys_key_down(int virtual_key, int scancode, bool alt_context) {
    return SendMessageA(window(), WM_SYSKEYDOWN, virtual_key, key_lparam(scancode, false, 1, false, alt_context));
  }
  // The one key event of a message, checked for its type and scancode;
  // returns its character payload.
  int32_t only_key_event(int32_t type, int32_t scancode) {
    const std::vector<ScreenEvent> keys = key_events();
    EXPECT_EQ(keys.size(), 1u);
    if (keys.size() != 1) return -1;
    EXPECT_EQ(keys[0].type, type);
    EXPECT_EQ(keys[0].payload[0], scancode);
    return keys[0].payload[1];
  }
};

TEST_F(WindowProcedureTest, ExtendedKeysAreBufferedAndReported) {
  key_down(VK_F1, 0x3B);
  EXPECT_EQ(buffered_keys(), Codes{0x3BFF});
  EXPECT_EQ(only_key_event(KeyPress, 0x3B), 0);

  key_down(VK_UP, 0x48, true);
  EXPECT_EQ(buffered_keys(), Codes{0x48FF});
  EXPECT_EQ(only_key_event(KeyPress, 0x48), 0);

  key_down(VK_RIGHT, 0x4D, true, 1, true);
  EXPECT_EQ(buffered_keys(), Codes{0x4DFF});
  EXPECT_EQ(only_key_event(KeyRepeat, 0x4D), 0);

  key_up(VK_RIGHT, 0x4D);
  EXPECT_EQ(buffered_keys(), Codes{});
  EXPECT_EQ(only_key_event(KeyRelease, 0x4D), 0);
}

TEST_F(WindowProcedureTest, RepeatCountPushesOneCodePerUnit) {
  key_down(VK_F1, 0x3B, false, 3);
  EXPECT_EQ(buffered_keys(), (Codes{0x3BFF, 0x3BFF, 0x3BFF}));
  key_down(VK_F1, 0x3B, false, 0);
  EXPECT_EQ(buffered_keys(), Codes{});
}

TEST_F(WindowProcedureTest, KeypadFollowsNumLock) {
  // NumLock off: the keypad 8 arrives as VK_UP without the extended bit.
  key_down(VK_UP, 0x48);
  EXPECT_EQ(buffered_keys(), Codes{0x48FF});
  drain();
  hold_keys({}, {VK_NUMLOCK});
  key_down(VK_NUMPAD8, 0x48);
  EXPECT_EQ(buffered_keys(), Codes{});
  EXPECT_EQ(only_key_event(KeyPress, 0x48), '8');
}

TEST_F(WindowProcedureTest, ModifiersComeFromTheKeyboardState) {
  EXPECT_EQ(with_keys_held({VK_SHIFT, VK_LSHIFT}, [&] {
              key_down(VK_TAB, 0x0F);
              return buffered_keys();
            }),
            Codes{0x0FFF});
  drain();

  const std::vector<ScreenEvent> ctrl_a = with_keys_held({VK_CONTROL, VK_LCONTROL}, [&] {
    key_down('A', 0x1E);
    EXPECT_EQ(buffered_keys(), Codes{});  // characters come through WM_CHAR
    return key_events();
  });
  ASSERT_EQ(ctrl_a.size(), 1u);
  EXPECT_EQ(ctrl_a[0].type, KeyPress);
  EXPECT_EQ(ctrl_a[0].payload[0], 0x1E);
  EXPECT_EQ(ctrl_a[0].payload[1], 1);

  hold_keys({});
  key_down('A', 0x1E);
  EXPECT_EQ(only_key_event(KeyPress, 0x1E), 'a');
}

TEST_F(WindowProcedureTest, AltF4IsTheCloseKeyWithoutAnEvent) {
  struct Outcome {
    LRESULT result;
    Codes codes;
    size_t key_events;
  };
  const Outcome alt_f4 = with_keys_held({VK_MENU, VK_LMENU}, [&] {
    const LRESULT result = sys_key_down(VK_F4, 0x3E, true);
    const Codes codes = buffered_keys();
    return Outcome{result, codes, key_events().size()};
  });
  EXPECT_EQ(alt_f4.result, 0);
  EXPECT_EQ(alt_f4.codes, Codes{kCloseKey});
  EXPECT_EQ(alt_f4.key_events, 0u);
  EXPECT_TRUE(IsWindow(window()));
}

TEST_F(WindowProcedureTest, AltAloneAndF10PostNothing) {
  hold_keys({VK_MENU, VK_LMENU});
  EXPECT_EQ(sys_key_down(VK_MENU, 0x38, true), 0);
  hold_keys({});
  key_up(VK_MENU, 0x38, WM_SYSKEYUP);
  key_up(VK_MENU, 0x38, WM_KEYUP);
  EXPECT_EQ(buffered_keys(), Codes{});
  EXPECT_TRUE(key_events().empty());

  EXPECT_EQ(sys_key_down(VK_F10, 0x44, false), 0);
  key_up(VK_F10, 0x44, WM_SYSKEYUP);
  EXPECT_EQ(buffered_keys(), Codes{0x44FF});
  EXPECT_TRUE(key_events().empty());
  // No menu loop took the window's thread: it still answers.
  sync_with_event_thread();
}

TEST_F(WindowProcedureTest, RightShiftReportsTheFirstShiftScancode) {
  hold_keys({VK_SHIFT, VK_RSHIFT});
  key_down(VK_SHIFT, 0x36);
  EXPECT_EQ(only_key_event(KeyPress, 0x2A), 0);
  key_up(VK_SHIFT, 0x36);
  EXPECT_EQ(only_key_event(KeyRelease, 0x2A), 0);
}

TEST_F(WindowProcedureTest, CloseRequestIsOneKeyAndOneEvent) {
  EXPECT_EQ(SendMessageA(window(), WM_CLOSE, 0, 0), 0);
  EXPECT_EQ(buffered_keys(), Codes{kCloseKey});
  const std::vector<ScreenEvent> keys = key_events();
  ASSERT_EQ(keys.size(), 1u);
  EXPECT_EQ(keys[0].type, WindowClose);
  EXPECT_TRUE(IsWindow(window()));
}

TEST_F(WindowProcedureTest, TypedCharactersGoThroughCodePage437) {
  SendMessageA(window(), WM_CHAR, 'a', key_lparam(0x1E, false, 2, false, false));
  EXPECT_EQ(buffered_keys(), (Codes{'a', 'a'}));
  if (GetACP() == 1252) {
    SendMessageA(window(), WM_CHAR, 0xE4, key_lparam(0x28, false, 1, false, false));  // ä
    EXPECT_EQ(buffered_keys(), Codes{0x84});
  }
}

TEST_F(WindowProcedureTest, HeldKeysFollowTheKeyTableAndDeactivationClearsThem) {
  // A refresh ran while the keys were held.
  const auto refreshed_while_held = [&] { return sync_with_event_thread(); };
  ASSERT_TRUE(with_keys_held({VK_SHIFT, 'A', VK_NUMPAD8}, refreshed_while_held));
  // Either Shift marks both Shift rows; the keypad 8 shares the Up row.
  for (int scancode : {0x1E, 0x2A, 0x36, 0x48}) EXPECT_EQ(screen_state->key_state[scancode], 1) << scancode;
  EXPECT_EQ(screen_state->key_state[0x1F], 0);

  drain();
  SendMessageA(window(), WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0);
  sync_with_event_thread();
  for (int scancode = 0; scancode < kKeyStateSize; ++scancode)
    EXPECT_EQ(screen_state->key_state[scancode], 0) << scancode;
  bool focus_lost = false;
  for (const ScreenEvent& event : events()) focus_lost = focus_lost || event.type == FocusLost;
  EXPECT_TRUE(focus_lost);

  SendMessageA(window(), WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), 0);
  ASSERT_TRUE(with_keys_held({'A'}, refreshed_while_held));
  EXPECT_EQ(screen_state->key_state[0x1E], 1);
}

TEST_F(WindowProcedureTest, InactiveWindowIgnoresSystemKeys) {
  SendMessageA(window(), WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0);
  drain();
  sys_key_down(VK_F1, 0x3B, false);
  EXPECT_EQ(buffered_keys(), Codes{});
  EXPECT_TRUE(key_events().empty());
  // Plain key messages are still translated.
  key_down(VK_F1, 0x3B);
  EXPECT_EQ(buffered_keys(), Codes{0x3BFF});
}

class NoSwitchTest : public GdiScreenTest {};

TEST_F(NoSwitchTest, AltEnterIsConsumedWithoutSwitching) {
  open_screen(13, kFlagNoSwitch);
  HWND before = window();
  SendMessageA(window(), WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), 0);
  EXPECT_EQ(SendMessageA(window(), WM_SYSKEYDOWN, VK_RETURN, key_lparam(0x1C, false, 1, false, true)), 0);
  EXPECT_EQ(window(), before);
  EXPECT_EQ(window_state.flags & kFlagFullscreen, 0);
  EXPECT_TRUE(IsWindow(before));
}

}  // namespace
