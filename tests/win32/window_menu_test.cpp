// The program's entries in the window's menus and its modal runs on the
// event thread, on a live GDI window.
#include <atomic>

#include "gfx/win32/window_menu.h"
#include "gfx/win32/window_modal_loop.h"
#include "window_test_support.h"

namespace {

std::atomic<int> fills{0};
std::atomic<unsigned> chosen{0};

void fill_two(HMENU menu) {
  ++fills;
  AppendMenuA(menu, MF_STRING, kWindowMenuFirstId, "first");
  HMENU sub = CreatePopupMenu();
  AppendMenuA(sub, MF_STRING, kWindowMenuFirstId + 16, "inner");
  AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "sub");
}
bool choose_first_two(unsigned id) {
  if (id != kWindowMenuFirstId && id != kWindowMenuFirstId + 16) return false;
  chosen = id;
  return true;
}
const WindowMenuHooks kHooks{fill_two, choose_first_two};

class WindowMenuTest : public GdiScreenTest {
 protected:
  void SetUp() override {
    fills = 0;
    chosen = 0;
    window_set_menu_hooks(&kHooks);
    open_screen();
  }
  void TearDown() override {
    window_set_menu_hooks(nullptr);
    GdiScreenTest::TearDown();
  }
  void open_system_menu(HMENU menu) {
    SendMessageA(window(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(0, TRUE));
  }
};

TEST_F(WindowMenuTest, WindowMenuGetsTheEntriesOnceHoweverOftenItOpens) {
  HMENU menu = GetSystemMenu(window(), FALSE);
  ASSERT_NE(menu, nullptr);
  const int system_items = GetMenuItemCount(menu);
  for (int opening = 1; opening <= 3; ++opening) {
    open_system_menu(menu);
    EXPECT_EQ(fills.load(), opening);
    ASSERT_EQ(GetMenuItemCount(menu), system_items + 3);  // separator, entry, submenu
    EXPECT_EQ(GetMenuItemID(menu, system_items + 1), kWindowMenuFirstId);
    EXPECT_NE(GetSubMenu(menu, system_items + 2), nullptr);
  }
  // Another menu than the window's own, or a popup that is not the window
  // menu, is left alone.
  HMENU other = CreatePopupMenu();
  open_system_menu(other);
  SendMessageA(window(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(0, FALSE));
  EXPECT_EQ(GetMenuItemCount(other), 0);
  EXPECT_EQ(fills.load(), 3);
  DestroyMenu(other);
}

TEST_F(WindowMenuTest, OnlyTheProgramsIdsReachItsChoice) {
  // The system may set an id's low four bits in WM_SYSCOMMAND.
  SendMessageA(window(), WM_SYSCOMMAND, kWindowMenuFirstId + 16 + 3, 0);
  EXPECT_EQ(chosen.load(), kWindowMenuFirstId + 16);
  chosen = 0;
  SendMessageA(window(), WM_COMMAND, MAKEWPARAM(kWindowMenuFirstId, 0), 0);
  EXPECT_EQ(chosen.load(), kWindowMenuFirstId);
  chosen = 0;
  for (unsigned id : {kWindowMenuFirstId - 16, kWindowMenuFirstId + 32, kWindowMenuLastId + 16})
    SendMessageA(window(), WM_SYSCOMMAND, id, 0);
  // A control's notification is no menu choice.
  SendMessageA(window(), WM_COMMAND, MAKEWPARAM(kWindowMenuFirstId, 1), 0);
  EXPECT_EQ(chosen.load(), 0u);
}

struct ModalRunRecord {
  std::atomic<DWORD> thread{0};
  std::atomic<bool> lock_was_free{false};
  HANDLE release = nullptr;
};

void modal_run(HWND, void* context) {
  auto* record = static_cast<ModalRunRecord*>(context);
  record->thread = GetCurrentThreadId();
  // The program's thread could take the screen lock now: the run left it.
  record->lock_was_free = window_in_modal_loop();
  // Pumps like a dialog's own loop until released.
  const DWORD end = GetTickCount() + 5000;
  while (MsgWaitForMultipleObjects(1, &record->release, FALSE, 50, QS_ALLINPUT) != WAIT_OBJECT_0 &&
         GetTickCount() < end) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  }
}

TEST_F(WindowMenuTest, ModalRunGoesOnTheEventThreadOneAtATimeAndLeavesThePageDrawn) {
  ModalRunRecord record;
  record.release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ASSERT_TRUE(window_run_modal(modal_run, &record));
  EXPECT_FALSE(window_run_modal(modal_run, &record));
  for (int i = 0; i < 2000 && record.thread == 0; ++i) Sleep(1);
  EXPECT_EQ(record.thread.load(), GetThreadId(window_event_thread()));
  EXPECT_TRUE(record.lock_was_free.load());
  // The page goes on: this thread gets the lock, and a new palette is drawn.
  screen_lock();
  const int32_t draws_before = gdi_update_record.draws;
  window_set_palette(1, 10, 20, 30);
  screen_unlock_all_lines();
  bool drawn = false;
  for (int i = 0; i < 2000 && !drawn; ++i) {
    Sleep(1);
    screen_lock();
    drawn = gdi_update_record.draws != draws_before;
    screen_unlock_unmarked();
  }
  EXPECT_TRUE(drawn);
  // A close request waits for the run to end: the program's close would
  // wait for the event thread, which waits for the run.
  while (key_buffer_pop() != 0) {
  }
  SendMessageA(window(), WM_CLOSE, 0, 0);
  EXPECT_EQ(key_buffer_pop(), 0);
  SetEvent(record.release);
  for (int i = 0; i < 2000 && window_modal_run_active(); ++i) Sleep(1);
  EXPECT_FALSE(window_modal_run_active());
  CloseHandle(record.release);
  EXPECT_FALSE(window_run_modal(nullptr, nullptr));
}

}  // namespace
