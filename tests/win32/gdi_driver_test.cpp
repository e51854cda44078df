// The GDI driver and the window layer's life cycle on a live window.
#include <cstring>

#include "window_test_support.h"

#include "gfx/drivers/blitters.h"
#include "gfx/win32/drivers/driver_gdi.h"
#include "rt/routed.h"

namespace {

class GdiDriverTest : public GdiScreenTest {
 protected:
  // Waits (without a time assertion; the bound only keeps a broken driver
  // from hanging the run) for the event thread's next transfer.
  // The record is written under the window lock, so it is read under it.
  bool wait_for_draw(int32_t draws_before) {
    for (int i = 0; i < 1000; ++i) {
      screen_lock();
      const bool drawn = gdi_update_record.draws != draws_before;
      screen_unlock_unmarked();
      if (drawn) return true;
      Sleep(5);
    }
    return false;
  }
  // Changes a pixel in the middle of each given logical line: only lines
  // whose pixels changed since they were last sent are drawn.
  void change_lines(std::initializer_list<int> lines) {
    screen_lock();
    for (int line : lines) screen_state->visible_page[line * screen_state->pitch + screen_state->pitch / 2] ^= 0x5A;
    screen_unlock_unmarked();
  }
  // As a viewer pass does: the given lines changed and every line marked.
  // The number of transfers of the next whole iteration, -1 without one.
  int32_t marked_pass(std::initializer_list<int> changed = {}) {
    change_lines(changed);
    screen_lock();
    const int32_t draws = gdi_update_record.draws;
    screen_unlock_all_lines();
    if (!sync_with_event_thread()) return -1;
    return gdi_update_record.draws - draws;
  }
  // The new window's first paints come when the X server gets to them;
  // after them a pass that changes nothing sends nothing.
  void settle() {
    for (int pass = 0; pass < 50 && marked_pass() != 0; ++pass) {
    }
  }
  // Marks exactly the given lines under the lock and waits for their draw.
  bool redraw_lines(std::initializer_list<int> lines) {
    screen_lock();
    std::memset(screen_state->dirty_lines, 0, static_cast<size_t>(window_state.height));
    const int32_t draws = gdi_update_record.draws;
    for (int line : lines) {
      screen_lock();
      screen_unlock(line, line);
    }
    screen_unlock_unmarked();
    return wait_for_draw(draws);
  }
  bool redraw_all() {
    screen_lock();
    const int32_t draws = gdi_update_record.draws;
    screen_unlock_all_lines();
    return wait_for_draw(draws);
  }
};

TEST_F(GdiDriverTest, PalettisedScreenIsDrawnWithoutConversion) {
  open_screen();
  EXPECT_EQ(window_state.width, 320);
  EXPECT_EQ(window_state.height, 200);
  EXPECT_EQ(window_state.blitter, nullptr);
  EXPECT_EQ(gdi_conversion_buffer(), nullptr);
  RECT client{};
  GetClientRect(window(), &client);
  EXPECT_EQ(client.right - client.left, 320);
  EXPECT_EQ(client.bottom - client.top, 200);
}

TEST_F(GdiDriverTest, OneTransferCoversTheDirtySpan) {
  open_screen();
  change_lines({10, 20});
  ASSERT_TRUE(redraw_lines({10, 20}));
  EXPECT_EQ(gdi_update_record.first_line, 10);
  EXPECT_EQ(gdi_update_record.line_count, 11);
  change_lines({199});
  ASSERT_TRUE(redraw_lines({199}));
  EXPECT_EQ(gdi_update_record.first_line, 199);
  EXPECT_EQ(gdi_update_record.line_count, 1);

  // No dirty line: the flags are cleared and nothing is drawn.
  screen_lock();
  std::memset(screen_state->dirty_lines, 0, 200);
  const int32_t draws = gdi_update_record.draws;
  screen_unlock_unmarked();
  sync_with_event_thread();
  EXPECT_EQ(gdi_update_record.draws, draws);
}

// The viewer marks every line each pass; what the window already shows is
// not sent again, and what changed is sent in the same iteration.
TEST_F(GdiDriverTest, LinesMarkedWithoutChangeAreNotSentAgain) {
  open_screen();
  settle();
  EXPECT_EQ(marked_pass(), 0);

  // A changed line among all marked ones: only it is drawn.
  EXPECT_EQ(marked_pass({37}), 1);
  EXPECT_EQ(gdi_update_record.first_line, 37);
  EXPECT_EQ(gdi_update_record.line_count, 1);

  // Changed back: the window shows the change, so the old pixels are sent.
  EXPECT_EQ(marked_pass({37}), 1);
  EXPECT_EQ(gdi_update_record.first_line, 37);
  EXPECT_EQ(marked_pass(), 0);
}

// Activation and a display change leave the window's picture in doubt:
// the next pass sends every line, although no byte changed.
TEST_F(GdiDriverTest, ActivationAndADisplayChangeSendTheWholePageAgain) {
  open_screen();
  for (UINT message : {static_cast<UINT>(WM_ACTIVATE), static_cast<UINT>(WM_DISPLAYCHANGE)}) {
    SCOPED_TRACE(message);
    settle();
    ASSERT_EQ(marked_pass(), 0);
    SendMessageA(window(), message, message == WM_ACTIVATE ? MAKEWPARAM(WA_ACTIVE, 0) : 8, 0);
    EXPECT_EQ(marked_pass(), 1);
    EXPECT_EQ(gdi_update_record.first_line, 0);
    EXPECT_EQ(gdi_update_record.line_count, 200);
  }
}

// New colours change every line on the window without a byte of the page.
TEST_F(GdiDriverTest, NewPaletteSendsEveryMarkedLine) {
  open_screen();
  ASSERT_TRUE(sync_with_event_thread());
  screen_lock();
  window_state.palette[7].peRed ^= 0x40;
  window_state.palette_changed = 1;
  screen_unlock_unmarked();
  EXPECT_EQ(marked_pass(), 1);
  EXPECT_EQ(gdi_update_record.first_line, 0);
  EXPECT_EQ(gdi_update_record.line_count, 200);
}

// Another visible page is sent whole even where its bytes equal the last
// page's: both pages are cleared alike here.
TEST_F(GdiDriverTest, AnotherVisiblePageSendsEveryLine) {
  _putenv("ZQGFX=gdi");
  ASSERT_EQ(set_screen_mode(13, 8, 2, 0, 0), 0);
  settle();
  ASSERT_GE(page_set(-1, 1), 0);
  EXPECT_EQ(marked_pass(), 1);
  EXPECT_EQ(gdi_update_record.first_line, 0);
  EXPECT_EQ(gdi_update_record.line_count, 200);
  EXPECT_EQ(marked_pass(), 0);
}

// A paint draws the whole window from the page; the next update does not
// trust what it last sent.
TEST_F(GdiDriverTest, PaintSendsEveryMarkedLineAfterwards) {
  open_screen();
  ASSERT_TRUE(sync_with_event_thread());
  InvalidateRect(window(), nullptr, FALSE);
  ASSERT_TRUE(sync_with_event_thread());  // its pump paints
  EXPECT_EQ(marked_pass(), 1);
  EXPECT_EQ(gdi_update_record.line_count, 200);
}

TEST_F(GdiDriverTest, OddWidthIsPaddedToWholeWords) {
  open_screen_by_size(322, 200, 8);
  EXPECT_EQ(window_state.blitter, &copy_lines);
  ASSERT_NE(gdi_conversion_buffer(), nullptr);
  screen_lock();
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 322; ++x) screen_state->visible_page[y * 322 + x] = static_cast<uint8_t>(x + 3 * y);
  screen_unlock_unmarked();
  ASSERT_TRUE(redraw_all());
  screen_lock();
  const uint8_t* converted = gdi_conversion_buffer();
  int mismatches = 0;
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 322; ++x) mismatches += converted[y * 324 + x] != static_cast<uint8_t>(x + 3 * y);
  screen_unlock_unmarked();
  EXPECT_EQ(mismatches, 0);
}

TEST_F(GdiDriverTest, HiColourGoesThroughFiveFiveFive) {
  open_screen_by_size(320, 200, 16);
  ASSERT_NE(window_state.blitter, nullptr);
  ASSERT_NE(gdi_conversion_buffer(), nullptr);
  screen_lock();
  auto* pixels = reinterpret_cast<uint16_t*>(screen_state->visible_page);
  pixels[0] = 0x07E0;  // pure green
  pixels[1] = 0xF800;  // pure red
  pixels[320 * 5 + 319] = 0x001F;
  screen_unlock_unmarked();
  ASSERT_TRUE(redraw_lines({0, 5}));
  screen_lock();
  const auto* converted = reinterpret_cast<const uint16_t*>(gdi_conversion_buffer());
  EXPECT_EQ(converted[0], 0x03E0);
  EXPECT_EQ(converted[1], 0x7C00);
  EXPECT_EQ(converted[320 * 5 + 319], 0x001F);
  screen_unlock_unmarked();
}

TEST_F(GdiDriverTest, LineDoubledScreenDrawsBothOutputLines) {
  open_screen(2);  // 640 x 200 shown as 640 x 400
  ASSERT_EQ(window_state.height, 400);
  ASSERT_NE(window_state.blitter, nullptr);
  change_lines({5, 7});
  ASSERT_TRUE(redraw_lines({5, 7}));
  EXPECT_EQ(gdi_update_record.first_line, 10);
  EXPECT_EQ(gdi_update_record.line_count, 6);
  change_lines({199});
  ASSERT_TRUE(redraw_lines({199}));
  EXPECT_EQ(gdi_update_record.first_line, 398);
  EXPECT_EQ(gdi_update_record.line_count, 2);
}

TEST_F(GdiDriverTest, ClosingTwiceIsHarmless) {
  open_screen();
  set_screen_mode(0, 0, 0, 0, 0);
  EXPECT_EQ(window_state.window, nullptr);
  EXPECT_EQ(window_state.is_running, 0);
  gdi_close();
  EXPECT_EQ(window_exit(), 0);
  EXPECT_EQ(gdi_conversion_buffer(), nullptr);
  // A new screen opens as before.
  open_screen();
  sync_with_event_thread();
}

TEST_F(GdiDriverTest, ExitReleasesTheProgramsScreenLock) {
  open_screen();
  screen_lock();
  screen_lock();
  EXPECT_EQ(window_exit(), 0);
  EXPECT_EQ(screen_state->lock_count, 0);
  EXPECT_EQ(window_state.window, nullptr);
  EXPECT_EQ(window_exit(), 0);
}

// Alt+Enter as the system sends it to the active window; the switch runs
// on the event thread.
void switch_by_alt_enter(HWND window) {
  SendMessageA(window, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), 0);
  SendMessageA(window, WM_SYSKEYDOWN, VK_RETURN, key_lparam(0x1C, false, 1, false, true));
}

int open_windowed_only() { return (window_state.flags & kFlagFullscreen) ? -1 : gdi_open(); }
int open_never() { return -1; }

void use_driver_open(int (*open)()) {
  screen_lock();
  window_state.driver_open = open;
  screen_unlock_unmarked();
}

TEST_F(GdiDriverTest, FailedSwitchReturnsToTheWindow) {
  open_screen();
  use_driver_open(open_windowed_only);
  HWND before = window();
  switch_by_alt_enter(before);
  EXPECT_FALSE(IsWindow(before));
  ASSERT_NE(window(), nullptr);
  EXPECT_TRUE(IsWindow(window()));
  EXPECT_EQ(window_state.flags & kFlagFullscreen, 0);
  EXPECT_EQ(window_state.is_active, 1);
  // The reopened window gets the whole screen again.
  ASSERT_TRUE(sync_with_event_thread());
  EXPECT_EQ(gdi_update_record.first_line, 0);
  EXPECT_EQ(gdi_update_record.line_count, 200);
}

TEST_F(GdiDriverTest, SwitchThatCannotReopenLeavesTheThreadRunning) {
  open_screen();
  use_driver_open(open_never);
  // Forget the window's copy of the palette, so that only a resend refills it.
  screen_lock();
  std::memset(window_state.palette, 0, sizeof window_state.palette);
  screen_unlock_unmarked();
  switch_by_alt_enter(window());
  EXPECT_EQ(window(), nullptr);
  screen_lock();
  const uint32_t white = screen_state->palette[15];
  const PALETTEENTRY sent = window_state.palette[15];
  screen_unlock_unmarked();
  EXPECT_EQ(sent.peRed | sent.peGreen << 8 | sent.peBlue << 16, white & 0xFFFFFF);
  EXPECT_NE(white & 0xFFFFFF, 0u);
  // The thread carries on without a window to draw in (the lines marked for
  // the reopened window are dropped each pass), and still stops when asked.
  EXPECT_TRUE(sync_with_event_thread());
  EXPECT_TRUE(sync_with_event_thread());
  EXPECT_EQ(window_exit(), 0);
}

TEST_F(GdiDriverTest, WideAndDeepModesListEachOther) {
  int count16 = -1, count15 = -1, count24 = -1, count32 = -1;
  int* modes16 = gdi_fetch_modes(16, &count16);
  int* modes15 = gdi_fetch_modes(15, &count15);
  int* modes24 = gdi_fetch_modes(24, &count24);
  int* modes32 = gdi_fetch_modes(32, &count32);
  EXPECT_EQ(count16, count15);
  EXPECT_EQ(count24, count32);
  for (int i = 0; i < count24 && i < count32; ++i) EXPECT_EQ(modes24[i], modes32[i]);
  DEVMODEA current{};
  current.dmSize = sizeof current;
  ASSERT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &current));
  const int* listed = current.dmBitsPerPel >= 24 ? modes32 : modes16;
  const int listed_count = current.dmBitsPerPel >= 24 ? count32 : count16;
  bool found = false;
  for (int i = 0; i < listed_count; ++i)
    found = found || listed[i] == static_cast<int>((current.dmPelsWidth << 16) | current.dmPelsHeight);
  EXPECT_TRUE(found) << current.dmPelsWidth << "x" << current.dmPelsHeight;
  std::free(modes16);
  std::free(modes15);
  std::free(modes24);
  std::free(modes32);
}

// A driver whose open always fails: window_init must come back at once.
int failing_open() { return -1; }
int close_calls = 0;
void counting_close() { ++close_calls; }
void contract_thread(void* ready_event) { window_thread_open(ready_event); }

TEST(WindowLayer, InitFailsWhenTheDriverCannotOpen) {
  window_state = WindowState{};
  window_state.driver_open = failing_open;
  window_state.driver_close = counting_close;
  window_state.driver_thread = contract_thread;
  close_calls = 0;
  EXPECT_EQ(window_init("failing", 320, 200, 8, 0, 0), -1);
  EXPECT_EQ(close_calls, 1);
  EXPECT_EQ(window_exit(), 0);
  EXPECT_EQ(close_calls, 2);
  EXPECT_EQ(window_exit(), 0);
  EXPECT_EQ(close_calls, 2);
  // The class is gone again: a second round registers it anew.
  WNDCLASSA found{};
  EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), "zqgfxclass_failing", &found));
}

TEST_F(GdiDriverTest, LongTitlesAreCutInTheClassName) {
  const std::string saved = screen_title() ? screen_title() : "";
  const std::string title(200, 't');
  set_screen_title(title.c_str(), 0);
  open_screen();  // a real window of the cut class opens
  // The title is cut to 127 bytes, and the class name carries all of it.
  EXPECT_EQ(std::string(window_state.class_name), "zqgfxclass_" + title.substr(0, 127));
  char class_name[256] = {};
  ASSERT_GT(GetClassNameA(window(), class_name, sizeof class_name), 0);
  EXPECT_STREQ(class_name, window_state.class_name);
  set_screen_title(saved.c_str(), 0);
}

}  // namespace
