// Lost surfaces, a display mode changed behind the driver's back, and a lost
// keyboard, with stand-ins for the surfaces and the keyboard device.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "directx_fakes.h"
#include "gfx/win32/key_state_refresh.h"
#include "directx_test_support.h"
#include "gfx/win32/key_state_refresh.h"

namespace {

class DirectXRecovery : public DirectXOnTestThread {
 protected:
  std::vector<std::string> log;
  FakeSurface primary{&log, "primary", 320, 200};
  FakeSurface back{&log, "back", 320, 200};

  void SetUp() override {
    DirectXOnTestThread::SetUp();
    ASSERT_EQ(window_create(WS_OVERLAPPEDWINDOW, 0, 20, 20, 400, 300), 0);
    primary.partner = &back;
    back.partner = &primary;
    dx_state.primary_surface = &primary;
    dx_state.back_surface = &back;
    window_state.blitter = select_blitter(32, 0);
    ASSERT_NE(window_state.blitter, nullptr);
    pump_messages();
    // The new window came to the front: its activation would make the next
    // key read doubt every key the keyboard device reports held.
    window_take_key_state_suspect();
    log.clear();
  }
  void TearDown() override {
    // Nothing may point at the stand-ins once the test ends.
    pump_messages();
    dx_close();
    DirectXOnTestThread::TearDown();
  }
  // The whole page marked as the viewer marks it each pass.
  static void mark_page() {
    screen_lock();
    screen_unlock_all_lines();
  }
  static bool all_lines_dirty() {
    return std::all_of(screen_state->dirty_lines, screen_state->dirty_lines + 200, [](uint8_t f) { return f != 0; });
  }
};

TEST_F(DirectXRecovery, LostSurfacesAreRestoredBeforeTheLockAndThePresent) {
  screen_state->device_palette[1] = 0x3080FF;  // red FF, green 80, blue 30
  screen_state->visible_page[320 * 7 + 5] = 1;
  window_mark_all_dirty();
  primary.lose();

  dx_update_display();
  const std::vector<std::string> expected = {"primary.IsLost:lost", "back.Restore", "primary.Restore",
                                             "back.Lock", "back.Unlock", "primary.Blt"};
  EXPECT_EQ(log, expected);
  uint32_t pixel;
  std::memcpy(&pixel, back.line(7) + 5 * 4, 4);
  EXPECT_EQ(pixel & 0xFFFFFF, 0xFF8030u);
  EXPECT_EQ(std::count(screen_state->dirty_lines, screen_state->dirty_lines + 200, 0), 200);

  // The present covers the client area from the whole back surface.
  const RECT client = client_rect_on_screen(window_state.window);
  EXPECT_TRUE(EqualRect(&primary.blt_destination, &client));
  const RECT whole = {0, 0, 320, 200};
  EXPECT_TRUE(EqualRect(&primary.blt_source, &whole));
  EXPECT_EQ(primary.blt_from, &back);
}

TEST_F(DirectXRecovery, LinesRewrittenUnchangedAreNeitherConvertedNorPresented) {
  mark_page();
  dx_update_display();
  ASSERT_EQ(dx_test_hooks.updates, 1);
  const auto locks = [&] { return std::count(log.begin(), log.end(), "back.Lock"); };
  const auto blits = [&] { return std::count(log.begin(), log.end(), "primary.Blt"); };

  // The whole page marked, nothing changed: no lock, no present.
  mark_page();
  dx_update_display();
  EXPECT_EQ(locks(), 1);
  EXPECT_EQ(blits(), 1);
  EXPECT_FALSE(std::any_of(screen_state->dirty_lines, screen_state->dirty_lines + 200, [](uint8_t f) { return f; }));

  // One changed line among the marked ones goes out.
  screen_state->device_palette[77] = 0x102030;
  screen_state->visible_page[320 * 50 + 9] = 77;
  mark_page();
  dx_update_display();
  EXPECT_EQ(locks(), 2);
  EXPECT_EQ(blits(), 2);
  uint32_t pixel;
  std::memcpy(&pixel, back.line(50) + 9 * 4, 4);
  EXPECT_EQ(pixel & 0xFFFFFF, 0x302010u);

  // New colours for the same bytes change the picture too.
  screen_state->device_palette[77] = 0x405060;
  mark_page();
  dx_update_display();
  EXPECT_EQ(locks(), 3);
  std::memcpy(&pixel, back.line(50) + 9 * 4, 4);
  EXPECT_EQ(pixel & 0xFFFFFF, 0x605040u);

  // Restored surfaces have lost their picture: it goes out whole, even with
  // nothing marked.
  primary.lose();
  dx_update_display();
  EXPECT_EQ(locks(), 4);
  EXPECT_EQ(blits(), 4);
}

TEST_F(DirectXRecovery, SurfacesLostDuringTheLockOrTheBlitAreRestoredAndRetried) {
  back.lose_on_lock = 1;
  primary.lose_on_blt = 1;
  window_mark_all_dirty();
  dx_update_display();
  const std::vector<std::string> expected = {
      "back.Lock:lost", "primary.IsLost:lost", "back.Restore", "primary.Restore", "back.Lock", "back.Unlock",
      "primary.Blt:lost", "primary.IsLost:lost", "back.Restore", "primary.Restore", "primary.Blt"};
  EXPECT_EQ(log, expected);
  EXPECT_EQ(dx_test_hooks.updates, 1);
}

TEST_F(DirectXRecovery, ARefusedRestoreSkipsTheCopyAndKeepsTheDirtyLines) {
  primary.lose();
  primary.restore_result = DDERR_NOEXCLUSIVEMODE;
  window_mark_all_dirty();
  dx_update_display();
  dx_present();
  EXPECT_EQ(std::count(log.begin(), log.end(), "back.Lock"), 0);
  EXPECT_EQ(std::count(log.begin(), log.end(), "primary.Blt"), 0);
  EXPECT_TRUE(all_lines_dirty());
  EXPECT_EQ(dx_test_hooks.updates, 0);
  // Once the display is ours again the lines go out.
  primary.restore_result = DD_OK;
  dx_update_display();
  EXPECT_EQ(dx_test_hooks.updates, 1);
  EXPECT_FALSE(all_lines_dirty());
}

TEST_F(DirectXRecovery, ADisplayModeThatNeverComesBackEndsTheDriverWithinTheBound) {
  primary.lose();
  primary.restore_result = DDERR_WRONGMODE;
  dx_test_hooks.failing_opens = kReopenAttempts + 5;
  window_mark_all_dirty();

  dx_update_display();
  EXPECT_EQ(dx_test_hooks.reopen_attempts, kReopenAttempts);
  EXPECT_EQ(dx_state.display_lost, 1);
  EXPECT_EQ(primary.releases, 1);
  EXPECT_EQ(back.releases, 1);
  expect_closed();
  // The program hears of it as the close request.
  EXPECT_EQ(key_buffer_pop(), kCloseKey);
  ScreenEvent event{};
  bool closed = false;
  while (take_screen_event(&event)) closed = closed || event.type == WindowClose;
  EXPECT_TRUE(closed);

  // Later iterations have nothing to draw and try nothing again.
  dx_test_hooks.failing_opens = 0;
  dx_update_display();
  dx_present();
  EXPECT_EQ(dx_restore(), -1);
  EXPECT_EQ(dx_state.primary_surface, nullptr);
  EXPECT_EQ(key_buffer_pop(), 0);
}

TEST_F(DirectXRecovery, AChangedDisplayModeReopensTheDriver) {
  primary.lose();
  primary.restore_result = DDERR_WRONGMODE;
  dx_test_hooks.failing_opens = 2;
  HWND before = window_state.window;

  EXPECT_EQ(dx_restore(), 0);
  EXPECT_EQ(dx_test_hooks.reopen_attempts, 3);
  EXPECT_EQ(dx_state.display_lost, 0);
  EXPECT_EQ(primary.releases, 1);
  ASSERT_NE(dx_state.primary_surface, nullptr);
  EXPECT_NE(dx_state.primary_surface, &primary);
  EXPECT_FALSE(IsWindow(before));
  EXPECT_TRUE(IsWindow(window_state.window));
  // The reopened driver draws.
  window_mark_all_dirty();
  dx_update_display();
  EXPECT_EQ(dx_test_hooks.updates, 1);
  EXPECT_EQ(key_buffer_pop(), 0);
}

// What the reopen finds in place at each of its pauses.
struct AtPause {
  bool window;
  bool direct_draw;
  bool library;
};
std::vector<AtPause> seen_at_pauses;
void note_pause(DWORD) {
  seen_at_pauses.push_back({window_state.window != nullptr, dx_state.direct_draw != nullptr,
                            dx_state.ddraw_library != nullptr});
  if (seen_at_pauses.size() == 2) dx_test_hooks.open_step_limit = -1;  // the third open succeeds
}

// Each failed open (here with its window made) is closed before the pause,
// not kept through it.
TEST_F(DirectXRecovery, TheReopenClosesBeforeItPauses) {
  primary.lose();
  primary.restore_result = DDERR_WRONGMODE;
  dx_test_hooks.open_step_limit = kStepCooperativeLevel;
  dx_test_hooks.reopen_pause = note_pause;
  seen_at_pauses.clear();
  EXPECT_EQ(dx_restore(), 0);
  EXPECT_EQ(dx_test_hooks.reopen_attempts, 3);
  ASSERT_EQ(seen_at_pauses.size(), 2u);
  for (const AtPause& seen : seen_at_pauses) {
    EXPECT_FALSE(seen.window);
    EXPECT_FALSE(seen.direct_draw);
    EXPECT_FALSE(seen.library);
  }
  EXPECT_NE(window_state.window, nullptr);
}

TEST_F(DirectXRecovery, ClosingReleasesEachSurfaceOnce) {
  dx_close();
  dx_close();
  EXPECT_EQ(primary.releases, 1);
  EXPECT_EQ(back.releases, 1);
  expect_closed();

  // Fullscreen: the back surface is the primary and released once.
  dx_state.primary_surface = &primary;
  dx_state.back_surface = &primary;
  window_state.flags = kFlagFullscreen;
  dx_close();
  dx_close();
  window_state.flags = 0;
  EXPECT_EQ(primary.releases, 2);
  EXPECT_EQ(dx_state.back_surface, nullptr);
}

TEST_F(DirectXRecovery, AnEightBitDisplayTakesTheColoursThroughItsPalette) {
  FakePalette palette;
  dx_state.dd_palette = &palette;
  window_state.blitter = select_blitter(8, 0);
  window_set_palette(200, 0x12, 0x34, 0x56);
  window_mark_all_dirty();
  dx_update_display();
  EXPECT_EQ(palette.sets, 1);
  EXPECT_EQ(palette.entries[200].peRed, 0x12);
  EXPECT_EQ(palette.entries[200].peBlue, 0x56);
  EXPECT_EQ(window_state.palette_changed, 0);
  // No new colours, no new entries.
  dx_update_display();
  EXPECT_EQ(palette.sets, 1);
  dx_close();
  EXPECT_EQ(palette.releases, 1);
  EXPECT_EQ(dx_state.dd_palette, nullptr);
}

TEST_F(DirectXRecovery, KeyStateComesFromTheKeyboardDeviceWithExtendedKeysAsTheirBase) {
  FakeKeyboard keyboard;
  dx_state.keyboard_device = &keyboard;
  uint8_t* held = screen_state->key_state;
  // The window's activation on opening asks for a check against the keys
  // the system reports down; that check is the last part of this test.
  window_take_key_state_suspect();

  keyboard.state[0x2A] = 0x80;         // left Shift
  keyboard.state[0x80 + 0x48] = 0x80;  // Up, an extended key
  keyboard.state[0x80 + 0x1D] = 0x80;  // right Ctrl
  keyboard.state[0x1E] = 0x01;         // low bits mean nothing
  dx_refresh_key_state();
  std::vector<int> listed;
  for (int i = 0; i < kKeyStateSize; ++i)
    if (held[i]) listed.push_back(i);
  EXPECT_EQ(listed, (std::vector<int>{0x1D, 0x2A, 0x48}));

  // A lost or unacquired device is acquired again; the table stays as it was.
  std::memset(keyboard.state, 0, sizeof keyboard.state);
  for (HRESULT lost : {DIERR_INPUTLOST, DIERR_NOTACQUIRED}) {
    keyboard.answer = lost;
    const int acquires = keyboard.acquires;
    dx_refresh_key_state();
    EXPECT_EQ(keyboard.acquires, acquires + 1);
    EXPECT_EQ(held[0x2A], 1);
  }
  // Any other failure also leaves the table, without acquiring.
  keyboard.answer = E_FAIL;
  dx_refresh_key_state();
  EXPECT_EQ(keyboard.acquires, 2);
  EXPECT_EQ(held[0x48], 1);
  keyboard.answer = DI_OK;
  dx_refresh_key_state();
  EXPECT_EQ(held[0x2A], 0);

  // After a focus change or a modal loop the device may hold a key whose
  // release it missed. The system reports it up (no key is really down
  // here): it is not listed while the device holds it, and listed again
  // once the device has let it go and it is pressed anew.
  keyboard.state[0x2A] = 0x80;
  window_key_state_suspect();
  dx_refresh_key_state();
  EXPECT_EQ(held[0x2A], 0);
  dx_refresh_key_state();
  EXPECT_EQ(held[0x2A], 0);
  keyboard.state[0x2A] = 0;
  dx_refresh_key_state();
  keyboard.state[0x2A] = 0x80;
  dx_refresh_key_state();
  EXPECT_EQ(held[0x2A], 1);

  dx_close();
  EXPECT_EQ(keyboard.unacquires, 1);
  EXPECT_EQ(keyboard.releases, 1);
  EXPECT_EQ(dx_state.keyboard_device, nullptr);
}

}  // namespace

namespace {

// Whatever marks every line (a restore inside the message pump, activation,
// a display change, a move that may have caught a present on its way) makes the next update convert and present the page,
// although its bytes are as last sent and the viewer's marks alone would be
// dropped.
TEST_F(DirectXRecovery, EveryPathThatMarksThePageMakesTheNextUpdateSendIt) {
  struct Case {
    const char* name;
    bool lose_display;
    UINT message;
    WPARAM wparam;
  };
  const Case cases[] = {
      {"a paint that restores the surfaces", true, WM_PAINT, 0},
      {"a display change that restores them", true, WM_DISPLAYCHANGE, 32},
      {"activation", false, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0)},
      {"a display change", false, WM_DISPLAYCHANGE, 32},
      {"a move", false, WM_MOVE, 0},
  };
  const auto locks = [&] { return std::count(log.begin(), log.end(), "back.Lock"); };
  const auto blits = [&] { return std::count(log.begin(), log.end(), "primary.Blt"); };
  mark_page();
  dx_update_display();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // A pass that changes nothing sends nothing.
    mark_page();
    auto sent = locks();
    dx_update_display();
    ASSERT_EQ(locks(), sent);

    if (c.lose_display) primary.lose();
    SendMessageA(window_state.window, c.message, c.wparam, 0);
    EXPECT_FALSE(primary.lost);
    mark_page();
    sent = locks();
    const auto presented = blits();
    dx_update_display();
    EXPECT_EQ(locks(), sent + 1);
    EXPECT_EQ(blits(), presented + 1);
    EXPECT_EQ(std::count(screen_state->dirty_lines, screen_state->dirty_lines + 200, 0), 200);
  }
}

// One iteration of the event thread: an inactive fullscreen screen is not
// drawn, keys are read only while the window is active, and a vertical-blank
// wait of the program's thread that never signals holds the copy back only
// for the bounded wait.
TEST_F(DirectXRecovery, TheLoopDrawsAndReadsKeysOnlyWhereItMay) {
  struct Case {
    bool fullscreen;
    bool active;
    bool vsync_pending;
    bool drawn;
    bool keys_read;
  };
  const Case cases[] = {
      {false, true, false, true, true},  {false, false, false, true, false}, {true, true, false, true, true},
      {true, false, false, false, false}, {false, true, true, true, true},   {true, false, true, false, false},
  };
  FakeKeyboard keyboard;
  dx_state.keyboard_device = &keyboard;
  if (!dx_state.vsync_event) dx_state.vsync_event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(dx_state.vsync_event, nullptr);
  ResetEvent(dx_state.vsync_event);  // never signalled here
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "fullscreen " << c.fullscreen << ", active " << c.active << ", vsync "
                                    << c.vsync_pending);
    window_state.flags = c.fullscreen ? kFlagFullscreen : 0;
    dx_state.back_surface = c.fullscreen ? static_cast<IDirectDrawSurface*>(&primary) : &back;
    window_state.is_active = c.active ? 1 : 0;
    dx_state.vsync_pending = c.vsync_pending ? 1 : 0;
    ++screen_state->visible_page[320 * 3];  // a changed line to send
    mark_page();
    log.clear();
    const int reads = keyboard.reads;
    window_event_iteration(dx_loop_steps);
    EXPECT_EQ(std::count(log.begin(), log.end(), c.fullscreen ? "primary.Lock" : "back.Lock"), c.drawn ? 1 : 0);
    EXPECT_EQ(keyboard.reads - reads, c.keys_read ? 1 : 0);
    EXPECT_EQ(dx_state.vsync_pending, 0);
    EXPECT_EQ(all_lines_dirty(), !c.drawn);
  }
  window_state.flags = 0;
  dx_state.back_surface = &back;
}

// The program's thread neither waits for the vertical blank nor lists the
// modes on the event thread's DirectDraw object, which may be in use there.
TEST_F(DirectXRecovery, TheProgramThreadLeavesTheEventThreadsObjectAlone) {
  CountingDirectDraw events_object;
  dx_state.direct_draw = &events_object;
  dx_wait_vsync();
  int count = -1;
  int* modes = dx_fetch_modes(32, &count);
  EXPECT_GE(count, 0);
  std::free(modes);
  EXPECT_EQ(events_object.calls, 0);
  dx_state.direct_draw = nullptr;
  EXPECT_EQ(dx_exit(), 0);
}

}  // namespace
