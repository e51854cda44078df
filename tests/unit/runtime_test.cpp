#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "gfx/gfx_handlers.h"
#include "rt/hook_table.h"
#include "rt/routed.h"
#include "rt/runtime.h"
#include "rt/text_value.h"
#include "support/capture.h"

namespace {

int32_t cleared_with = 0;
void record_clear(int32_t mode) { cleared_with = mode; }
int fake_rows = 0;
void fake_text_size(int* columns, int* rows) {
  *columns = 80;
  *rows = fake_rows;
}

class RuntimeTest : public ::testing::Test {
 protected:
  void TearDown() override {
    close_screen();
    set_view_rows(-1, -1);
  }
};

TEST_F(RuntimeTest, ErrorNumberAndContextSlots) {
  EXPECT_EQ(set_error(7), 7);
  EXPECT_EQ(get_error(), 7);
  void* first = context_slot(2, 64);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(context_slot(2, 4096), first);  // allocated once, kept
  EXPECT_EQ(static_cast<unsigned char*>(first)[63], 0);
  EXPECT_EQ(context_slot(5, 8), nullptr);
  EXPECT_EQ(context_slot(-1, 8), nullptr);
}

TEST_F(RuntimeTest, ViewPrintOnTheConsole) {
  EXPECT_EQ(set_view_print(3, 2, 1), 0);  // top below bottom: nothing changes
  EXPECT_EQ(set_view_print(0, 26, 0), 0);
  EXPECT_EQ(set_view_print(0, 0, 0), 1 + 25 * 65536);
  EXPECT_EQ(view_top(), 0);
  EXPECT_EQ(view_bottom(), 24);
  EXPECT_EQ(set_view_print(5, 10, 0), 5 + 10 * 65536);
  EXPECT_EQ(set_view_print(-1, -1, 0), 5 + 10 * 65536);  // both kept: a query
  int top = 0, bottom = 0;
  view_rows_1based(&top, &bottom);
  EXPECT_EQ(top, 5);
  EXPECT_EQ(bottom, 10);
}

TEST_F(RuntimeTest, ViewBottomDefaultsTo24WithoutRows) {
  set_view_rows(-1, -1);
  hook_table().get_text_size = fake_text_size;
  fake_rows = 0;
  EXPECT_EQ(view_bottom(), 24);
  set_view_rows(-1, -1);
  fake_rows = 30;
  EXPECT_EQ(view_bottom(), 29);
  hook_table_clear();
}

TEST_F(RuntimeTest, RoutingFollowsTheHookTable) {
  close_screen();
  HookTable empty{};
  EXPECT_EQ(std::memcmp(&hook_table(), &empty, sizeof empty), 0);
  // The console side: 80 x 25 and no keys.
  int columns = 0, rows = 0;
  get_text_size(&columns, &rows);
  EXPECT_EQ(columns, 80);
  EXPECT_EQ(rows, 25);
  EXPECT_EQ(key_held(30), 0);

  ASSERT_EQ(open_null_screen(), 0);
  hook_table().clear_screen = record_clear;
  file_record(0)->column = 9;
  clear_screen(kNoClearArgument);
  EXPECT_EQ(cleared_with, kNoClearArgument);
  EXPECT_EQ(file_record(0)->column, 0u);
}

int last_asked = 0;
int held_everywhere(int scancode) {
  last_asked = scancode;
  return -1;
}

// The graphics screen's key query is answered above 127 without the call;
// any other handler in the slot is asked for every code.
TEST_F(RuntimeTest, KeyHeldAsksTheHandlerInTheSlot) {
  ASSERT_EQ(open_null_screen(), 0);
  screen_state->key_state[127] = 1;
  screen_state->key_state[1] = 1;
  EXPECT_EQ(key_held(127), -1);
  EXPECT_EQ(key_held(1), -1);
  EXPECT_EQ(key_held(128), 0);
  EXPECT_EQ(key_held(65535), 0);
  EXPECT_EQ(key_held(-1), 0);
  EXPECT_EQ(key_held(INT32_MIN), 0);
  EXPECT_EQ(screen_state->lock_count, 0);

  hook_table().key_held = held_everywhere;
  EXPECT_EQ(key_held(40000), -1);
  EXPECT_EQ(last_asked, 40000);
  hook_table_clear();
}

TEST_F(RuntimeTest, LocateChecksAgainstViewAndWidth) {
  ASSERT_EQ(open_null_screen(), 0);
  int result = -5;
  EXPECT_EQ(locate(26, 1, -1, &result), 1);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(locate(1, 41, -1, &result), 1);
  EXPECT_EQ(locate(25, 40, -1, &result), 0);
  EXPECT_EQ(screen_state->cursor_y, 24);
  EXPECT_EQ(screen_state->cursor_x, 39);
  EXPECT_EQ(file_record(0)->column, 39u);
  EXPECT_EQ(locate(0, 5, -1, nullptr), 0);  // row 0 keeps the row
  EXPECT_EQ(screen_state->cursor_y, 24);
  EXPECT_EQ(screen_state->cursor_x, 4);
}

TEST_F(RuntimeTest, ModeSetPutsTheCursorHomeAndTheViewOnAllRows) {
  ASSERT_EQ(open_null_screen(14), 0);
  EXPECT_EQ(view_top(), 0);
  EXPECT_EQ(view_bottom(), 29);
  EXPECT_EQ(screen_state->cursor_x, 0);
  EXPECT_EQ(screen_state->cursor_y, 0);
}

TEST_F(RuntimeTest, ProgramPathPointsAfterTheLastBackslash) {
  char buffer[256];
  char* name = program_path(buffer, sizeof buffer);
  ASSERT_NE(std::strlen(buffer), 0u);
  if (std::strchr(buffer, '\\')) {
    EXPECT_EQ(name, std::strrchr(buffer, '\\') + 1);
    EXPECT_STREQ(name, "unit_tests.exe");
  } else {
    EXPECT_EQ(name, buffer);  // no backslash: the buffer's start
  }
  char tiny[4];
  program_path(tiny, sizeof tiny);
  EXPECT_LE(std::strlen(tiny), 3u);
}

// Whether a second thread got through semaphore_wait while this one waited
// a while: a thread that never gets in shows a lock; one that gets in while
// the lock is held shows none. (No timing is asserted: a slow thread only
// makes a broken lock harder to see, never a good one fail.)
bool second_thread_gets_in(SemaphoreBox* box, std::thread* thread, std::atomic<bool>* inside) {
  *thread = std::thread([box, inside] {
    semaphore_wait(box);
    inside->store(true);
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  return inside->load();
}

TEST_F(RuntimeTest, SemaphoreBoxIsALock) {
  SemaphoreBox* box = semaphore_create();
  ASSERT_NE(box, nullptr);

  semaphore_wait(box);
  std::thread other;
  std::atomic<bool> inside{false};
  EXPECT_FALSE(second_thread_gets_in(box, &other, &inside));  // held: the other waits
  semaphore_release(box);
  other.join();  // released: it gets in
  EXPECT_TRUE(inside.load());

  // It holds the lock now; two releases give one count, not two.
  semaphore_release(box);
  semaphore_release(box);
  semaphore_wait(box);
  std::atomic<bool> third_inside{false};
  EXPECT_FALSE(second_thread_gets_in(box, &other, &third_inside));
  semaphore_release(box);
  other.join();
  semaphore_release(box);
  semaphore_destroy(box);
  semaphore_destroy(nullptr);
  semaphore_wait(nullptr);
  semaphore_release(nullptr);
}

TEST_F(RuntimeTest, SleepFlags) {
  EXPECT_EQ(sleep_for(10, 2), 1);
  EXPECT_EQ(get_error(), 1);
  EXPECT_EQ(sleep_for(-1, 1), 0);  // a negative plain sleep returns at once
  EXPECT_EQ(sleep_for(0, 0), 0);
}

int views_told = 0;
void count_view_change() { ++views_told; }

// A new view is told to the screen's handler (which may keep it in its own
// terms) and the next text lands at its top; a query or a refused view
// changes nothing and tells nothing.
TEST_F(RuntimeTest, ANewViewIsToldAndTheNextTextLandsAtItsTop) {
  ASSERT_EQ(open_null_screen(), 0);
  const auto screens_own = hook_table().view_changed;
  hook_table().view_changed = count_view_change;
  struct Case {
    int top, bottom;
    bool changes;
  };
  const Case cases[] = {{5, 10, true}, {-1, -1, false}, {3, 2, false}, {0, 0, true}, {25, 25, true}, {0, 26, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.top << ".." << c.bottom);
    views_told = 0;
    set_view_print(c.top, c.bottom, 1);
    EXPECT_EQ(views_told, c.changes ? 1 : 0);
    if (!c.changes) continue;
    const int row = c.top == 0 ? 1 : c.top;
    print_value(0, text_literal_z("Q"), 0);
    EXPECT_EQ(gfx_read_cell(1, row, 0), static_cast<uint32_t>('Q'));
  }
  hook_table().view_changed = screens_own;
}

TEST_F(RuntimeTest, OneRowViewAndAWidthChangeThatResetsIt) {
  ASSERT_EQ(open_null_screen(), 0);
  EXPECT_EQ(set_view_print(7, 7, 1), 7 + 7 * 65536);  // a view of one row
  EXPECT_EQ(screen_state->cursor_y, 6);
  file_record(0)->width = 0;
  // 41 columns do not fit 320 pixels: the screen keeps its grid, but the
  // runtime still takes the width and puts the view on all rows.
  EXPECT_EQ(set_width(41, 0), 0);
  EXPECT_EQ(file_record(0)->width, 41u);
  EXPECT_EQ(view_top(), 0);
  EXPECT_EQ(view_bottom(), 24);
  EXPECT_EQ(screen_state->cursor_y, 0);
  EXPECT_EQ(screen_state->cursor_x, 0);
  EXPECT_EQ(set_width(0, -1), 40 + 25 * 65536);  // a query changes nothing
  EXPECT_EQ(file_record(0)->width, 41u);
}

}  // namespace
