#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/viewer.h"
#include "gfx/draw/frame_picture.h"
#include "gfx/gfx_handlers.h"
#include "gfx/screen.h"
#include "support/capture.h"

namespace {

// The page read back from the pixels, row by row.
std::vector<std::string> page_text() {
  std::vector<std::string> rows;
  for (int row = 0; row < 25; ++row) rows.push_back(decode_text_row(row));
  return rows;
}

std::vector<std::string> draw_with_keys(std::initializer_list<int> codes) {
  for (int code : codes) screen_state->key_state[code] = 1;
  viewer_draw_page();
  return page_text();
}

class ViewerPageTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(open_null_screen(), 0); }
  void TearDown() override { close_screen(); }
};

TEST_F(ViewerPageTest, TwoHeldKeys) {
  const auto rows = draw_with_keys({42, 30});
  const std::vector<std::string> expected{
      "", " Bitte Taste dr\xFC" "cken!", " ********************", "", " Scancodes: 30, 42", "",
      " * Klimperdetektor by Tukani *"};
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(rows[i], expected[i]) << "row " << i + 1;
  for (size_t i = expected.size(); i < rows.size(); ++i) EXPECT_EQ(rows[i], "") << "row " << i + 1;
  EXPECT_EQ(gfx_csrlin(), 8);
  EXPECT_EQ(gfx_pos(), 1);
  EXPECT_EQ(screen_state->lock_count, 0);
}

TEST_F(ViewerPageTest, NoKeyAndOneKey) {
  EXPECT_EQ(draw_with_keys({})[4], " Scancodes: (keine)");
  EXPECT_EQ(draw_with_keys({1})[4], " Scancodes: 1");
  // Key 1 is still held: the list is ascending whatever the order of holding.
  EXPECT_EQ(draw_with_keys({127})[4], " Scancodes: 1, 127");
}

TEST_F(ViewerPageTest, AllCodesWrapAtColumn40AndNeverScroll) {
  std::string list = " Scancodes: ";
  for (int code = 1; code < 128; ++code) {
    screen_state->key_state[code] = 1;
    list += (code > 1 ? ", " : "") + std::to_string(code);
  }
  viewer_draw_page();
  const auto rows = page_text();
  EXPECT_EQ(rows[0], "");
  EXPECT_EQ(rows[1], " Bitte Taste dr\xFC" "cken!");
  const size_t list_rows = (list.size() + 39) / 40;
  for (size_t i = 0; i < list_rows; ++i) {
    std::string expected = list.substr(i * 40, 40);
    expected.erase(expected.find_last_not_of(' ') + 1);
    EXPECT_EQ(rows[4 + i], expected) << "row " << 5 + i;
  }
  EXPECT_EQ(rows[4 + list_rows], "");
  EXPECT_EQ(rows[5 + list_rows], " * Klimperdetektor by Tukani *");
  EXPECT_LT(5 + list_rows, 24u);
}

TEST_F(ViewerPageTest, FramePictureShowsThePaletteColours) {
  screen_palette(15, 63, -1, -1);  // white text shown red
  viewer_draw_page();
  const std::string path = ::testing::TempDir() + "viewer_page.ppm";
  ASSERT_EQ(write_frame_ppm(path.c_str()), 0);
  std::FILE* file = std::fopen(path.c_str(), "rb");
  ASSERT_NE(file, nullptr);
  std::string data(15 + 320 * 200 * 3 + 1, '\0');
  data.resize(std::fread(data.data(), 1, data.size(), file));
  std::fclose(file);
  std::remove(path.c_str());
  ASSERT_EQ(data.size(), 15u + 320 * 200 * 3);
  EXPECT_EQ(data.substr(0, 15), "P6\n320 200\n255\n");
  for (int i = 0; i < 64000; ++i) {
    const std::string rgb = data.substr(15 + 3 * i, 3);
    ASSERT_EQ(rgb, screen_state->visible_page[i] == 15 ? std::string("\xFF\0\0", 3) : std::string(3, '\0')) << i;
  }
  EXPECT_EQ(write_frame_ppm("/nonexistent-directory/x.ppm"), -1);
}

TEST(FramePicture, NeedsAScreen) {
  ASSERT_EQ(screen_state, nullptr);
  EXPECT_EQ(write_frame_ppm("unused.ppm"), -1);
  EXPECT_EQ(decode_text_row(0), "");
}

}  // namespace
