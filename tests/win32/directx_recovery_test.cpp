// Lost surfaces, a display mode changed behind the driver's back, and a lost
// keyboard, with stand-ins for the surfaces and the keyboard device.
#include <algorithm>
#include <cstring>

#include "directx_fakes.h"
#include "directx_test_support.h"

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

  dx_close();
  EXPECT_EQ(keyboard.unacquires, 1);
  EXPECT_EQ(keyboard.releases, 1);
  EXPECT_EQ(dx_state.keyboard_device, nullptr);
}

}  // namespace
