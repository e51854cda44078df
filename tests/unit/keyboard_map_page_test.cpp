// The map under the page: the page's rows stay as the viewer draws them
// however long the list of held keys grows, and the map gives way below it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/viewer.h"
#include "gfx/draw/frame_picture.h"
#include "gfx/screen.h"
#include "keys/texts/ui_texts.h"
#include "keys/map/key_map_view.h"
#include "keys/map/keyboard_map.h"
#include "support/capture.h"

namespace {

constexpr int kRowPixels = 8 * 320;

class KeyboardMapPageTest : public ::testing::Test {
 protected:
  // The status line is read in German here.
  void SetUp() override {
    set_ui_language(UiLanguage::kGerman);
    ASSERT_EQ(open_null_screen(), 0);
    keyboard_map_start(MapLayout::kAnsi, false, 30);
  }
  void TearDown() override {
    viewer_set_below_page(nullptr);
    close_screen();
    set_ui_language(UiLanguage::kEnglish);
  }
};

// The pixels of the page drawn without and with the map, for held codes.
struct Frames {
  std::vector<uint8_t> plain, mapped;
  std::vector<std::string> rows;  // text rows with the map
};

Frames draw_both(int held_codes) {
  for (int code = 1; code <= held_codes; ++code) screen_state->key_state[code] = 1;
  Frames frames;
  viewer_set_below_page(nullptr);
  viewer_draw_page();
  frames.plain.assign(screen_state->visible_page, screen_state->visible_page + 64000);
  viewer_set_below_page(keyboard_map_pass);
  viewer_draw_page();
  frames.mapped.assign(screen_state->visible_page, screen_state->visible_page + 64000);
  for (int row = 0; row < 25; ++row) frames.rows.push_back(decode_text_row(row));
  return frames;
}

// The text row (0-based) below the banner: the first the page leaves empty.
int first_free_row(const Frames& frames) {
  for (int row = 0; row < 25; ++row)
    if (frames.rows[row] == " * Klimperdetektor by Tukani *") return row + 1;
  return 25;
}

TEST_F(KeyboardMapPageTest, ThePageStaysAndTheMapGivesWay) {
  struct Case {
    int held;
    bool map_drawn;
  };
  // No key, a few, 40 (the list over five rows), every code (about row 20).
  for (const Case c : {Case{0, true}, Case{3, true}, Case{40, true}, Case{127, false}}) {
    SCOPED_TRACE(std::to_string(c.held) + " keys held");
    const Frames frames = draw_both(c.held);
    const int free_row = first_free_row(frames);
    ASSERT_LT(free_row, 24);
    // Every pixel of the page's rows and of the blank row under them as without the map.
    const size_t page_bytes = static_cast<size_t>(free_row + 1) * kRowPixels;
    EXPECT_EQ(std::memcmp(frames.plain.data(), frames.mapped.data(), page_bytes), 0);
    EXPECT_EQ(frames.rows[free_row + 1], " Getestet: 0/104, max. 0 gehalten");
    // The map's boxes start under the status line, or there is no map.
    bool any_box = false;
    for (size_t i = static_cast<size_t>(free_row + 2) * kRowPixels; i < 64000; ++i)
      any_box = any_box || frames.mapped[i] == kMapColourUntested;
    EXPECT_EQ(any_box, c.map_drawn);
  }
}

}  // namespace
