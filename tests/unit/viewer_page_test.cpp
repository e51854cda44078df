#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/viewer.h"
#include "gfx/frame_picture.h"
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
  screen_state->key_state[30] = 1;
  viewer_draw_page();
  int white = 0;
  for (int i = 0; i < 64000; ++i) white += screen_state->visible_page[i] == 15;
  ASSERT_GT(white, 0);

  const std::string path = ::testing::TempDir() + "viewer_page.ppm";
  ASSERT_EQ(write_frame_ppm(path.c_str()), 0);
  std::FILE* file = std::fopen(path.c_str(), "rb");
  ASSERT_NE(file, nullptr);
  char header[16] = {};
  ASSERT_EQ(std::fread(header, 1, 15, file), 15u);
  EXPECT_EQ(std::string(header), "P6\n320 200\n255\n");
  std::vector<unsigned char> pixels(320 * 200 * 3 + 1);
  EXPECT_EQ(std::fread(pixels.data(), 1, pixels.size(), file), pixels.size() - 1);
  std::fclose(file);
  std::remove(path.c_str());
  int shown_white = 0, other = 0;
  for (int i = 0; i < 64000; ++i) {
    const unsigned char* p = &pixels[3 * i];
    if (p[0] == 255 && p[1] == 255 && p[2] == 255) ++shown_white;
    else if (p[0] || p[1] || p[2]) ++other;
  }
  EXPECT_EQ(shown_white, white);
  EXPECT_EQ(other, 0);

  EXPECT_EQ(write_frame_ppm("/nonexistent-directory/x.ppm"), -1);
}

TEST(FramePicture, NeedsAScreen) {
  ASSERT_EQ(screen_state, nullptr);
  EXPECT_EQ(write_frame_ppm("unused.ppm"), -1);
  EXPECT_EQ(decode_text_row(0), "");
}

}  // namespace
