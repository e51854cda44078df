// The running map on the Null screen: the key under the mouse on the status
// line, the defect mark by a click, the stuck colour, and the commands that
// show, hide, change and reset the map, each as the pixels show it.
#include <gtest/gtest.h>

#include <string>

#include "app/viewer.h"
#include "app/viewer_commands.h"
#include "gfx/draw/frame_picture.h"
#include "gfx/input/key_input.h"
#include "gfx/screen.h"
#include "keys/texts/ui_texts.h"
#include "keys/map/key_map_view.h"
#include "keys/map/keyboard_map.h"
#include "support/capture.h"

namespace {

constexpr int kA = 0x1E;
constexpr int kIsoExtraKey = 0x56;
constexpr int kStatusRow = 8;  // 0-based: the page's seven rows, a blank row

int64_t fake_now_us = 0;
int64_t fake_clock() { return fake_now_us; }

class KeyboardMapMouseTest : public ::testing::Test {
 protected:
  // The screen's lines are read in German here; the languages' own forms
  // are tested with the texts.
  void SetUp() override {
    set_ui_language(UiLanguage::kGerman);
    ASSERT_EQ(open_null_screen(), 0);
    fake_now_us = 0;
    keyboard_map_set_clock(fake_clock);
    keyboard_map_start(MapLayout::kIso, false, 30, 2, true);
    viewer_set_below_page(keyboard_map_pass);
    ViewerCommand stale;
    while (take_viewer_command(&stale)) {
    }
    viewer_draw_page();  // places the boxes
  }
  void TearDown() override {
    viewer_set_below_page(nullptr);
    keyboard_map_set_clock(nullptr);
    close_screen();
    set_ui_language(UiLanguage::kEnglish);
  }

  static void key(int id, bool down) { keyboard_map_consumer().key(nullptr, fake_now_us, id, down, 2); }
  static void press(int id) {
    key(id, true);
    fake_now_us += 100000;
    key(id, false);
    fake_now_us += 100000;
  }
  static void event(int32_t type, int32_t a = 0, int32_t b = 0) {
    post_screen_event(ScreenEvent{type, {a, b, 0, 0}});
  }
  // The middle of a key's box on the layout shown now.
  static bool middle_of(int id, int* x, int* y) {
    const KeyboardLayout& layout = keyboard_layout(keyboard_map_current_layout());
    for (int py = 0; py < 200; ++py)
      for (int px = 0; px < 320; ++px)
        if (key_map_key_at(layout, px, py) == id) {
          int right = px, bottom = py;
          while (key_map_key_at(layout, right + 1, py) == id) ++right;
          while (key_map_key_at(layout, px, bottom + 1) == id) ++bottom;
          *x = (px + right) / 2;
          *y = (py + bottom) / 2;
          return true;
        }
    return false;
  }
  static int colour_at(int x, int y) { return screen_state->visible_page[y * 320 + x]; }
  // The colour of a key's box at its top left corner, which no mark covers.
  static int box_colour(int id) {
    const KeyboardLayout& layout = keyboard_layout(keyboard_map_current_layout());
    for (int py = 0; py < 200; ++py)
      for (int px = 0; px < 320; ++px)
        if (key_map_key_at(layout, px, py) == id) return colour_at(px, py);
    return -1;
  }
  static std::string status() {
    viewer_draw_page();
    return decode_text_row(kStatusRow);
  }
};

TEST_F(KeyboardMapMouseTest, TheKeyUnderTheMouseIsOnTheStatusLineUntilTheMouseLeaves) {
  int x = 0, y = 0;
  ASSERT_TRUE(middle_of(kA, &x, &y));
  press(kA);
  press(kA);
  EXPECT_EQ(status(), " Getestet: 1/105, max. 1 gehalten");
  event(MouseMove, x, y);
  EXPECT_EQ(status(), " A (30): 2x, Abst. 100ms, Halt 100ms");
  // Between two boxes, then back on one, then out of the window.
  event(MouseMove, 0, y);
  EXPECT_EQ(status(), " Getestet: 1/105, max. 1 gehalten");
  event(MouseEnter, x, y);
  EXPECT_NE(status().find(" A (30)"), std::string::npos);
  event(MouseLeave);
  EXPECT_EQ(status(), " Getestet: 1/105, max. 1 gehalten");
}

TEST_F(KeyboardMapMouseTest, AClickTogglesTheDefectMarkWhichPressesAndLayoutsKeepAndResetClears) {
  int x = 0, y = 0;
  ASSERT_TRUE(middle_of(kA, &x, &y));
  struct Step {
    const char* what;
    void (*act)(int x, int y);
    int colour;
  };
  const Step steps[] = {
      {"pressed", [](int, int) { press(kA); }, kMapColourTested},
      {"clicked", [](int cx, int cy) { event(MouseMove, cx, cy), event(MouseButtonPress, kMouseLeftButton); },
       kMapColourDefect},
      {"a right click is no mark", [](int, int) { event(MouseButtonPress, kMouseRightButton); }, kMapColourDefect},
      {"held", [](int, int) { key(kA, true); }, kMapColourHeld},
      {"released", [](int, int) { key(kA, false); }, kMapColourDefect},
      {"on the ANSI map", [](int, int) { post_viewer_command(ViewerCommand::kLayoutAnsi); }, kMapColourDefect},
      {"back on ISO", [](int, int) { post_viewer_command(ViewerCommand::kLayoutIso); }, kMapColourDefect},
      {"clicked again", [](int, int) { event(MouseButtonPress, kMouseLeftButton); }, kMapColourTested},
      {"double clicked", [](int, int) {
         event(MouseButtonPress, kMouseLeftButton);
         event(MouseDoubleClick, kMouseLeftButton);
       }, kMapColourTested},
      {"marked and reset", [](int, int) {
         event(MouseButtonPress, kMouseLeftButton);
         viewer_draw_page();
         post_viewer_command(ViewerCommand::kReset);
       }, kMapColourUntested},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    step.act(x, y);
    viewer_apply_commands();
    viewer_draw_page();
    // The box moves with the layout: look it up again.
    EXPECT_EQ(box_colour(kA), step.colour);
  }
}

TEST_F(KeyboardMapMouseTest, LayoutChangeKeepsTheCountsAndTheReportHasEveryFigure) {
  press(kIsoExtraKey);
  press(kA);
  key(kA, true);
  fake_now_us += 500000;
  key(kA, false);
  EXPECT_EQ(status(), " Getestet: 2/105, max. 1 gehalten");
  post_viewer_command(ViewerCommand::kLayoutAnsi);
  EXPECT_EQ(viewer_apply_commands(), 1);
  EXPECT_EQ(keyboard_map_current_layout(), MapLayout::kAnsi);
  EXPECT_EQ(status(), " Getestet: 1/104, max. 1 gehalten");
  const KeyMapReport& report = keyboard_map_report();
  EXPECT_STREQ(report.layout->name, "ansi");
  EXPECT_FALSE(report.chosen_from_system);
  EXPECT_EQ(report.stuck_s, 2);
  EXPECT_EQ(report.duration_us, fake_now_us);
  EXPECT_EQ(report.view.marks[kIsoExtraKey], kMapTested);
  const KeyFigures& a = report.keys[kA];
  EXPECT_EQ(a.presses, 2);
  EXPECT_EQ(a.smallest_gap_us, 100000);
  EXPECT_EQ(a.longest_hold_us, 500000);
  EXPECT_EQ(a.device, 2);
  post_viewer_command(ViewerCommand::kLayoutIso);
  viewer_apply_commands();
  EXPECT_EQ(status(), " Getestet: 2/105, max. 1 gehalten");
  // The reset starts the duration again.
  fake_now_us += 1000000;
  post_viewer_command(ViewerCommand::kReset);
  viewer_apply_commands();
  fake_now_us += 250000;
  EXPECT_EQ(keyboard_map_report().duration_us, 250000);
  EXPECT_EQ(keyboard_map_report().keys[kA].presses, 0);
}

TEST_F(KeyboardMapMouseTest, AKeyHeldPastTheStuckTimeTakesTheStuckColourAndKeepsTheMark) {
  int x = 0, y = 0;
  ASSERT_TRUE(middle_of(kA, &x, &y));
  key(kA, true);
  fake_now_us += 2000000;  // exactly the stuck time: still only held
  viewer_draw_page();
  EXPECT_EQ(colour_at(x, y), kMapColourHeld);
  fake_now_us += 1;
  viewer_draw_page();
  EXPECT_EQ(colour_at(x, y), kMapColourStuck);
  fake_now_us += 1000000;
  key(kA, false);
  viewer_draw_page();
  EXPECT_EQ(colour_at(x, y), kMapColourTested);
  const KeyMapReport& report = keyboard_map_report();
  EXPECT_EQ(report.view.marks[kA], kMapTested | kMapStuck);
  EXPECT_EQ(report.keys[kA].longest_hold_us, 3000001);
  // Pressed again briefly: held, not stuck.
  key(kA, true);
  viewer_draw_page();
  EXPECT_EQ(colour_at(x, y), kMapColourHeld);
  key(kA, false);
}

TEST_F(KeyboardMapMouseTest, HiddenMapDrawsNothingTakesNoMarksAndCountsOn) {
  int x = 0, y = 0;
  ASSERT_TRUE(middle_of(kA, &x, &y));
  post_viewer_command(ViewerCommand::kToggleMap);
  viewer_apply_commands();
  EXPECT_FALSE(keyboard_map_is_shown());
  press(kA);
  event(MouseMove, x, y);
  event(MouseButtonPress, kMouseLeftButton);
  EXPECT_EQ(status(), "");
  EXPECT_EQ(colour_at(x, y), 0);
  post_viewer_command(ViewerCommand::kToggleMap);
  viewer_apply_commands();
  EXPECT_TRUE(keyboard_map_is_shown());
  event(MouseLeave);
  EXPECT_EQ(status(), " Getestet: 1/105, max. 1 gehalten");
  EXPECT_EQ(colour_at(x, y), kMapColourTested);
}

TEST(ViewerCommands, MailboxKeepsOrderDropsWhenFullAndCallsTheSaveHandler) {
  ViewerCommand command;
  while (take_viewer_command(&command)) {
  }
  EXPECT_FALSE(take_viewer_command(nullptr));
  post_viewer_command(static_cast<ViewerCommand>(99));
  post_viewer_command(static_cast<ViewerCommand>(-1));
  EXPECT_FALSE(take_viewer_command(&command));
  for (int i = 0; i < 40; ++i) post_viewer_command(i % 2 ? ViewerCommand::kReset : ViewerCommand::kLayoutJis);
  int taken = 0;
  while (take_viewer_command(&command)) {
    EXPECT_EQ(command, taken % 2 ? ViewerCommand::kReset : ViewerCommand::kLayoutJis);
    ++taken;
  }
  EXPECT_EQ(taken, 32);
  static int saves;
  saves = 0;  // the test runs again when repeated
  viewer_set_save_report_handler([] { ++saves; });
  post_viewer_command(ViewerCommand::kSaveReport);
  post_viewer_command(ViewerCommand::kSaveReport);
  EXPECT_EQ(viewer_apply_commands(), 2);
  EXPECT_EQ(saves, 2);
  viewer_set_save_report_handler(nullptr);
  post_viewer_command(ViewerCommand::kSaveReport);
  EXPECT_EQ(viewer_apply_commands(), 1);
}

}  // namespace
