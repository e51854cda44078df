// Mouse state, mouse events and window placement of the window layer, on a
// live GDI window. The real pointer may add moves of its own; only the
// events a check is about are looked at.
#include <climits>

#include "gfx/drivers/window_scale.h"
#include "window_test_support.h"

namespace {

class WindowMouseTest : public GdiScreenTest {
 protected:
  void SetUp() override {
    open_screen();
    SendMessageA(window(), WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), 0);
    drain();
  }
  POINT client_to_screen(int x, int y) {
    POINT point{x, y};
    ClientToScreen(window(), &point);
    return point;
  }
  std::vector<ScreenEvent> events_of(int32_t type) {
    std::vector<ScreenEvent> found;
    for (const ScreenEvent& event : events())
      if (event.type == type) found.push_back(event);
    return found;
  }
};

TEST_F(WindowMouseTest, SetMouseClampsTheCursorButKeepsTheAskedPosition) {
  screen_lock();
  window_set_mouse(5000, 5000, -1, -1);
  // Read before the move the cursor makes can reach the window.
  const int x = window_input.mouse_x, y = window_input.mouse_y;
  screen_unlock_unmarked();
  EXPECT_EQ(x, 5000);
  EXPECT_EQ(y, 5000);
  POINT cursor{};
  GetCursorPos(&cursor);
  const POINT corner = client_to_screen(319, 199);
  EXPECT_EQ(cursor.x, corner.x);
  EXPECT_EQ(cursor.y, corner.y);

  // A negative x leaves the cursor where it is.
  screen_lock();
  window_set_mouse(-1, 7, -1, -1);
  screen_unlock_unmarked();
  GetCursorPos(&cursor);
  EXPECT_EQ(cursor.x, corner.x);
  EXPECT_EQ(cursor.y, corner.y);
}

TEST_F(WindowMouseTest, GetMouseNeedsAnActiveWindowUnderTheCursor) {
  screen_lock();
  window_set_mouse(10, 20, -1, -1);
  screen_unlock_unmarked();
  // Any message brings the on-client flag up to date.
  SendMessageA(window(), WM_NULL, 0, 0);
  int x = -7, y = -7, wheel = -7, buttons = -7, clip = -7;
  screen_lock();
  EXPECT_EQ(window_get_mouse(&x, &y, &wheel, &buttons, &clip), 0);
  screen_unlock_unmarked();
  EXPECT_EQ(clip, 0);
  EXPECT_EQ(buttons, 0);

  SendMessageA(window(), WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0);
  x = y = wheel = buttons = clip = -7;
  screen_lock();
  EXPECT_EQ(window_get_mouse(&x, &y, &wheel, &buttons, &clip), -1);
  screen_unlock_unmarked();
  for (int value : {x, y, wheel, buttons, clip}) EXPECT_EQ(value, -7);
}

TEST_F(WindowMouseTest, FirstMoveEntersWithoutMotionAndLaterMovesCarryScreenDeltas) {
  screen_lock();
  window_input.mouse_tracking = 0;
  window_input.last_cursor_x = 0xFFFF;
  screen_unlock_unmarked();
  SendMessageA(window(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 20));
  std::vector<ScreenEvent> entered = events_of(MouseEnter);
  ASSERT_EQ(entered.size(), 1u);
  EXPECT_EQ(entered[0].payload[0], 10);
  EXPECT_EQ(entered[0].payload[1], 20);
  EXPECT_EQ(entered[0].payload[2], 0);
  EXPECT_EQ(entered[0].payload[3], 0);

  // The cursor has not moved on the screen: nothing to report.
  SendMessageA(window(), WM_MOUSEMOVE, 0, MAKELPARAM(11, 21));
  EXPECT_TRUE(events_of(MouseMove).empty());

  POINT cursor{};
  GetCursorPos(&cursor);
  SetCursorPos(cursor.x + 5, cursor.y + 3);
  SendMessageA(window(), WM_MOUSEMOVE, 0, MAKELPARAM(16, 24));
  std::vector<ScreenEvent> moved = events_of(MouseMove);
  ASSERT_EQ(moved.size(), 1u);
  EXPECT_EQ(moved[0].payload[2], 5);
  EXPECT_EQ(moved[0].payload[3], 3);

  // Client positions are unsigned 16-bit values. Handled under the lock, so
  // that the real move that SetCursorPos set off cannot land between this
  // message and the check.
  screen_lock();
  window_procedure(window(), WM_MOUSEMOVE, 0, MAKELPARAM(-2, -3));
  EXPECT_EQ(window_input.mouse_x, 0xFFFE);
  EXPECT_EQ(window_input.mouse_y, 0xFFFD);
  screen_unlock_unmarked();
}

// At a window scale of 2 the program still counts in its screen's pixels:
// a move is halved on the way in, a placed cursor lands in the middle of
// its 2 x 2 block on the way out.
TEST_F(WindowMouseTest, AScaledWindowReportsAndPlacesScreenPixels) {
  set_screen_mode(0, 0, 0, 0, 0);
  ASSERT_EQ(set_window_scale_request(2), 0);
  open_screen();
  set_window_scale_request(kWindowScaleAuto);
  RECT client{};
  GetClientRect(window(), &client);
  ASSERT_EQ(client.right, 640);
  ASSERT_EQ(client.bottom, 400);

  screen_lock();
  window_procedure(window(), WM_MOUSEMOVE, 0, MAKELPARAM(639, 399));
  EXPECT_EQ(window_input.mouse_x, 319);
  EXPECT_EQ(window_input.mouse_y, 199);
  window_procedure(window(), WM_MOUSEMOVE, 0, MAKELPARAM(3, 2));
  EXPECT_EQ(window_input.mouse_x, 1);
  EXPECT_EQ(window_input.mouse_y, 1);
  window_set_mouse(100, 5000, -1, -1);
  screen_unlock_unmarked();
  POINT cursor{};
  GetCursorPos(&cursor);
  const POINT placed = client_to_screen(201, 399);
  EXPECT_EQ(cursor.x, placed.x);
  EXPECT_EQ(cursor.y, placed.y);
}

TEST_F(WindowMouseTest, WheelsAndExtraButtons) {
  SendMessageA(window(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
  SendMessageA(window(), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
  SendMessageA(window(), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
  std::vector<ScreenEvent> wheel = events_of(MouseWheel);
  ASSERT_EQ(wheel.size(), 3u);
  EXPECT_EQ(wheel[0].payload[0], 1);
  EXPECT_EQ(wheel[2].payload[0], -1);

  SendMessageA(window(), WM_XBUTTONDOWN, MAKEWPARAM(MK_XBUTTON1, XBUTTON1), 0);
  SendMessageA(window(), WM_XBUTTONDOWN, MAKEWPARAM(MK_XBUTTON1 | MK_XBUTTON2, XBUTTON2), 0);
  SendMessageA(window(), WM_XBUTTONUP, MAKEWPARAM(MK_XBUTTON2, XBUTTON1), 0);
  std::vector<ScreenEvent> pressed = events_of(MouseButtonPress);
  ASSERT_EQ(pressed.size(), 2u);
  EXPECT_EQ(pressed[0].payload[0], 8);
  EXPECT_EQ(pressed[1].payload[0], 16);
  screen_lock();
  EXPECT_EQ(window_input.mouse_buttons, 16);
  screen_unlock_unmarked();
  SendMessageA(window(), WM_XBUTTONUP, MAKEWPARAM(0, XBUTTON2), 0);
  std::vector<ScreenEvent> released = events_of(MouseButtonRelease);
  ASSERT_EQ(released.size(), 1u);
  EXPECT_EQ(released[0].payload[0], 16);

  // Systems before the wheel message have no wheel.
  screen_lock();
  window_state.os_version = 0x400;
  screen_unlock_unmarked();
  SendMessageA(window(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
  EXPECT_TRUE(events_of(MouseWheel).empty());
}

TEST_F(WindowMouseTest, SetPosKeepsACoordinateAndReportsTheOldPlace) {
  RECT before{};
  GetWindowRect(window(), &before);
  screen_lock();
  const int old = window_set_pos(INT_MIN, 100);
  screen_unlock_unmarked();
  EXPECT_EQ(old & 0xFFFF, before.left & 0xFFFF);
  EXPECT_EQ(old >> 16, before.top);
  ASSERT_TRUE(sync_with_event_thread());  // the move is carried out by the window's thread
  RECT after{};
  GetWindowRect(window(), &after);
  EXPECT_EQ(after.left, before.left);
  EXPECT_EQ(after.top, 100);
}

}  // namespace
