// The fullscreen display-mode ladder and the surface pixel formats, with a
// stand-in display that takes only the modes a test names.
#include <cstring>
#include <tuple>
#include <vector>

#include "directx_test_support.h"

namespace {

struct ModeRequest {
  DWORD width, height, depth, refresh_rate, flags;
  bool operator==(const ModeRequest&) const = default;
};

void PrintTo(const ModeRequest& r, std::ostream* out) {
  *out << r.width << "x" << r.height << "x" << r.depth << "@" << r.refresh_rate << "/" << r.flags;
}

struct FakeDisplay {
  std::vector<ModeRequest> accepted;
  std::vector<ModeRequest> asked;
};

HRESULT answer_mode(void* context, DWORD width, DWORD height, DWORD depth, DWORD refresh_rate, DWORD flags) {
  auto* display = static_cast<FakeDisplay*>(context);
  const ModeRequest request{width, height, depth, refresh_rate, flags};
  display->asked.push_back(request);
  for (const ModeRequest& mode : display->accepted)
    if (mode == request) return DD_OK;
  return DDERR_INVALIDMODE;
}

TEST(DirectXDisplayModes, A320x200PaletteScreenFallsToThe240LineModeCentred) {
  FakeDisplay display{{{320, 240, 8, 0, 0}}, {}};
  EXPECT_EQ(dx_set_display_mode(320, 200, 8, 0, answer_mode, &display), 20);
  const std::vector<ModeRequest> asked = {{320, 200, 8, 0, DDSDM_STANDARDVGAMODE}, {320, 240, 8, 0, 0}};
  EXPECT_EQ(display.asked, asked);

  // The standard VGA flag goes only with exactly 320 x 200 x 8.
  FakeDisplay direct{{{320, 200, 8, 70, DDSDM_STANDARDVGAMODE}}, {}};
  EXPECT_EQ(dx_set_display_mode(320, 200, 8, 70, answer_mode, &direct), 0);
  EXPECT_EQ(direct.asked.size(), 1u);
}

TEST(DirectXDisplayModes, HiColourTriesThePartnerDepthBeforeATallerMode) {
  FakeDisplay display{{{640, 480, 15, 60, 0}}, {}};
  EXPECT_EQ(dx_set_display_mode(640, 400, 16, 60, answer_mode, &display), 40);
  const std::vector<ModeRequest> asked = {
      {640, 400, 16, 60, 0}, {640, 400, 15, 60, 0}, {640, 480, 16, 60, 0}, {640, 480, 15, 60, 0}};
  EXPECT_EQ(display.asked, asked);

  FakeDisplay true_colour{{{800, 600, 32, 0, 0}}, {}};
  EXPECT_EQ(dx_set_display_mode(800, 600, 24, 0, answer_mode, &true_colour), 0);
  EXPECT_EQ(true_colour.asked.back(), (ModeRequest{800, 600, 32, 0, 0}));
}

TEST(DirectXDisplayModes, TheLadderEndsAt1024LinesWithoutChangingTheWidth) {
  FakeDisplay display;
  EXPECT_EQ(dx_set_display_mode(320, 200, 8, 0, answer_mode, &display), -1);
  std::vector<DWORD> heights;
  for (const ModeRequest& request : display.asked) {
    EXPECT_EQ(request.width, 320u);
    heights.push_back(request.height);
  }
  EXPECT_EQ(heights, (std::vector<DWORD>{200, 240, 480, 600, 768, 1024}));

  // Modes between the steps go to the next step; taller than the last, one try.
  FakeDisplay between;
  EXPECT_EQ(dx_set_display_mode(640, 350, 32, 0, answer_mode, &between), -1);
  EXPECT_EQ(between.asked.size(), 2u * 5u);
  EXPECT_EQ(between.asked[2].height, 480u);
  FakeDisplay tall;
  EXPECT_EQ(dx_set_display_mode(1280, 1200, 8, 0, answer_mode, &tall), -1);
  EXPECT_EQ(tall.asked.size(), 1u);

  FakeDisplay any{{{640, 1024, 8, 0, 0}}, {}};
  EXPECT_EQ(dx_set_display_mode(640, 768, 8, 0, answer_mode, &any), 128);
}

TEST(DirectXDisplayModes, NonsenseAsksTheDisplayNothing) {
  FakeDisplay display;
  for (auto [width, height, depth, refresh] : {std::tuple{0, 200, 8, 0}, std::tuple{320, -1, 8, 0},
                                               std::tuple{320, 200, 0, 0}, std::tuple{320, 200, 8, -5}})
    EXPECT_EQ(dx_set_display_mode(width, height, depth, refresh, answer_mode, &display), -1);
  EXPECT_TRUE(display.asked.empty());
  EXPECT_EQ(dx_set_display_mode(320, 200, 8, 0, nullptr, nullptr), -1);
}

DDPIXELFORMAT rgb_format(DWORD bits, DWORD red, DWORD green, DWORD blue) {
  DDPIXELFORMAT format{};
  format.dwSize = sizeof format;
  format.dwFlags = DDPF_RGB;
  format.dwRGBBitCount = bits;
  format.dwRBitMask = red;
  format.dwGBitMask = green;
  format.dwBBitMask = blue;
  return format;
}

class DirectXPixelFormats : public DirectXOnTestThread {
 protected:
  // The first pixel of line 3 as the blitter for the format writes it, from
  // a palette colour with red FF, green 80, blue 10.
  std::vector<uint8_t> converted(const DDPIXELFORMAT& format) {
    screen_state->device_palette[9] = 0x1080FF;
    screen_state->visible_page[320 * 3] = 9;
    std::memset(screen_state->dirty_lines, 0, 200);
    screen_state->dirty_lines[3] = 1;
    const DxPixelLayout layout = dx_pixel_layout(format);
    Blitter blitter = select_blitter(layout.bits, layout.swap_red_blue);
    if (!blitter) return {};
    std::vector<uint8_t> surface(1280 * 200, 0);
    blitter(surface.data(), 1280);
    const size_t bytes = (format.dwRGBBitCount + 7) / 8;
    return {surface.begin() + 1280 * 3, surface.begin() + 1280 * 3 + static_cast<long>(bytes)};
  }
};

TEST_F(DirectXPixelFormats, EachSurfaceFormatGetsItsOwnChannelLayout) {
  using Bytes = std::vector<uint8_t>;
  // 5-6-5 and its mirror.
  EXPECT_EQ(converted(rgb_format(16, 0xF800, 0x7E0, 0x1F)), (Bytes{0x02, 0xFC}));  // F800 | 400 | 02
  EXPECT_EQ(converted(rgb_format(16, 0x1F, 0x7E0, 0xF800)), (Bytes{0x1F, 0x14}));  // 1000 | 400 | 1F
  // A 16-bit surface with a 5-bit green field is driven as 15 bits.
  EXPECT_EQ(converted(rgb_format(16, 0x7C00, 0x3E0, 0x1F)), (Bytes{0x02, 0x7E}));  // 7C00 | 200 | 02
  EXPECT_EQ(converted(rgb_format(16, 0x1F, 0x3E0, 0x7C00)), (Bytes{0x1F, 0x0A}));  // 0800 | 200 | 1F
  EXPECT_EQ(converted(rgb_format(15, 0x7C00, 0x3E0, 0x1F)), (Bytes{0x02, 0x7E}));
  // True colour: blue first natively, red first when the red mask is 0xFF.
  EXPECT_EQ(converted(rgb_format(24, 0xFF0000, 0xFF00, 0xFF)), (Bytes{0x10, 0x80, 0xFF}));
  EXPECT_EQ(converted(rgb_format(24, 0xFF, 0xFF00, 0xFF0000)), (Bytes{0xFF, 0x80, 0x10}));
  Bytes native = converted(rgb_format(32, 0xFF0000, 0xFF00, 0xFF));
  Bytes swapped = converted(rgb_format(32, 0xFF, 0xFF00, 0xFF0000));
  ASSERT_EQ(native.size(), 4u);
  ASSERT_EQ(swapped.size(), 4u);
  EXPECT_EQ(Bytes(native.begin(), native.begin() + 3), (Bytes{0x10, 0x80, 0xFF}));
  EXPECT_EQ(Bytes(swapped.begin(), swapped.begin() + 3), (Bytes{0xFF, 0x80, 0x10}));
  // A palettised surface takes the colour indices unchanged.
  EXPECT_EQ(converted(rgb_format(8, 0, 0, 0)), (Bytes{9}));
}

TEST(DirectXPixelLayout, OnlyTheRulesMasksCountAsSwappedOrFifteenBits) {
  const auto layout = [](DDPIXELFORMAT f) { return std::pair{dx_pixel_layout(f).bits, dx_pixel_layout(f).swap_red_blue}; };
  // A red mask of 0xFF on a 16-bit surface is no known layout: not swapped.
  EXPECT_EQ(layout(rgb_format(16, 0xFF, 0x7E0, 0xF800)), std::pair(16, 0));
  // A 5-bit red at the bottom of a 32-bit surface still counts as swapped.
  EXPECT_EQ(layout(rgb_format(32, 0x1F, 0xFF00, 0xFF0000)), std::pair(32, 1));
  EXPECT_EQ(layout(rgb_format(8, 0x1F, 0, 0)), std::pair(8, 0));
  EXPECT_EQ(layout(rgb_format(32, 0x3E0, 0x3E0, 0x1F)), std::pair(32, 0));
}

}  // namespace
