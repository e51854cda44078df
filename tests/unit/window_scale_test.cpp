// The whole-number window scale: the DPI's factor, the fit to the work area,
// and mouse positions between window and screen pixels.
#include <gtest/gtest.h>

#include <climits>

#include "gfx/drivers/window_scale.h"

namespace {

// A 320 x 200 screen in a window whose frame adds 16 x 39 pixels.
ScaleFit fit_in(int area_width, int area_height) { return ScaleFit{320, 200, 16, 39, area_width, area_height}; }

TEST(WindowScaleTest, DpiGivesTheFactorRoundedDownFromOneToEight) {
  const struct {
    int dpi, scale;
  } cases[] = {{INT_MIN, 1}, {0, 1}, {95, 1}, {96, 1}, {144, 1}, {191, 1}, {192, 2},
               {288, 3},     {767, 7}, {768, 8}, {960, 8}, {INT_MAX, 8}};
  for (const auto& c : cases) EXPECT_EQ(scale_for_dpi(c.dpi), c.scale) << "dpi " << c.dpi;
}

TEST(WindowScaleTest, TheFactorIsLoweredUntilTheFramedWindowFitsTheWorkArea) {
  const struct {
    int scale;
    ScaleFit fit;
    int expected;
  } cases[] = {
      {8, fit_in(1920, 1040), 5},   // 1616 x 1039: the height decides
      {8, fit_in(1616, 1039), 5},   // exactly the work area still fits
      {8, fit_in(1615, 1039), 4},   // one pixel short in width
      {8, fit_in(1616, 1038), 4},   // one pixel short in height
      {2, fit_in(3840, 2100), 2},   // room for more is no reason to grow
      {3, fit_in(300, 100), 1},     // not even unscaled fits: stays at 1
      {0, fit_in(3840, 2100), 1},   // no factor asked: 1
      {12, fit_in(9999, 9999), 8},  // never past the largest factor
      // Sums near the int limit must not wrap round into a fit.
      {4, ScaleFit{INT_MAX / 2, 200, 16, 39, INT_MAX, INT_MAX}, 1},
      {4, ScaleFit{320, 200, INT_MAX, 39, INT_MAX, INT_MAX}, 1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(scale_fitting_area(c.scale, c.fit), c.expected)
        << "scale " << c.scale << " in " << c.fit.area_width << "x" << c.fit.area_height;
}

TEST(WindowScaleTest, AutoFollowsTheDpiAndFitsWhileAnExplicitFactorIsKept) {
  EXPECT_EQ(resolve_window_scale(kWindowScaleAuto, 96, fit_in(1024, 768)), 1);
  EXPECT_EQ(resolve_window_scale(kWindowScaleAuto, 192, fit_in(1024, 768)), 2);
  EXPECT_EQ(resolve_window_scale(kWindowScaleAuto, 384, fit_in(1280, 1024)), 3);
  EXPECT_EQ(resolve_window_scale(3, 96, fit_in(1024, 768)), 3);
  EXPECT_EQ(resolve_window_scale(8, 192, fit_in(640, 480)), 8);  // the user's word beats the fit
  EXPECT_EQ(resolve_window_scale(1, 384, fit_in(4000, 4000)), 1);
}

TEST(WindowScaleTest, MousePositionsMapBetweenWindowAndScreenPixels) {
  const struct {
    int window, scale, screen;
  } to_screen[] = {{0, 2, 0},   {1, 2, 0},   {2, 2, 1},       {639, 2, 319}, {959, 3, 319},
                   {-1, 2, -1}, {-2, 2, -1}, {-3, 2, -2},     {7, 1, 7},     {7, 0, 7},
                   {7, -3, 7},  {INT_MIN, 8, INT_MIN / 8}, {INT_MIN + 1, 8, INT_MIN / 8}};
  for (const auto& c : to_screen)
    EXPECT_EQ(window_to_screen_pixel(c.window, c.scale), c.screen) << c.window << " at " << c.scale;

  const struct {
    int screen, scale, window;
  } to_window[] = {{0, 2, 1},     {319, 2, 639},         {319, 3, 958},
                   {5, 1, 5},     {5, 0, 5},             {INT_MAX, 8, INT_MAX},
                   {INT_MIN, 8, INT_MIN}};
  for (const auto& c : to_window)
    EXPECT_EQ(screen_to_window_pixel(c.screen, c.scale), c.window) << c.screen << " at " << c.scale;
  // Every screen pixel's middle maps back onto it.
  for (int scale = 1; scale <= kMaxWindowScale; ++scale)
    for (int x = -3; x < 3; ++x) EXPECT_EQ(window_to_screen_pixel(screen_to_window_pixel(x, scale), scale), x);
}

TEST(WindowScaleTest, ARequestOutsideAutoAndOneToEightIsRefusedAndLeavesTheLastOne) {
  ASSERT_EQ(set_window_scale_request(3), 0);
  for (int bad : {-1, 9, INT_MIN, INT_MAX}) {
    EXPECT_EQ(set_window_scale_request(bad), -1) << bad;
    EXPECT_EQ(window_scale_request(), 3);
  }
  for (int good : {kMaxWindowScale, kMinWindowScale, kWindowScaleAuto}) {
    EXPECT_EQ(set_window_scale_request(good), 0);
    EXPECT_EQ(window_scale_request(), good);
  }
}

}  // namespace
