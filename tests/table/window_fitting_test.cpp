#include "table/window_fitting.h"

#include <gtest/gtest.h>

using namespace table;

namespace {

ScreenTwips Screen(int wPixels, int hPixels) { return {wPixels * 15, hPixels * 15, 15, 15, false}; }

TableOffsets Offsets(const WindowTwips& w) { return ComputeTableArea(w.Width, w.Height, 15, 15); }

}  // namespace

TEST(FitMainWindow, LargeScreenIsCentredAtMostTwentyThousandWide) {
  const auto w = FitMainWindow(Screen(1600, 1200));
  EXPECT_EQ(w, (WindowTwips{2000, 2797.5, 20000, 12405}));
  EXPECT_EQ(Offsets(w), (TableOffsets{62, 0}));
}

TEST(FitMainWindow, ScreenOfExactlyNineteenThousandTwoHundred) {
  const auto w = FitMainWindow(Screen(1280, 1024));
  EXPECT_EQ(w, (WindowTwips{217.5, 1905, 18765, 11550}));
  EXPECT_EQ(Offsets(w), (TableOffsets{20, 57}));
}

TEST(FitMainWindow, SmallScreenFillsItFromTheCorner) {
  const auto w = FitMainWindow(Screen(1024, 768));
  EXPECT_EQ(w, (WindowTwips{0, 0, 15360, 11120}));
  EXPECT_EQ(Offsets(w), (TableOffsets{0, 75}));
}

TEST(FitMainWindow, VeryLargeScreensComputeWithoutOverflow) {
  // 3840 x 2160 pixels: 57600 x 32400 twips, beyond any 16-bit value.
  const auto w = FitMainWindow(Screen(3840, 2160));
  EXPECT_EQ(w, (WindowTwips{18800, 9997.5, 20000, 12405}));
  const auto stored = SaveWindowPlacement(w);
  EXPECT_EQ(stored, (StoredPlacement{0, 12405, 20000, 9998, 18800}));
  EXPECT_TRUE(PlacementFits(stored, Screen(3840, 2160), MinimumFormSize(false)));
  // A wide window far right: the table shift is computed in 32 bits.
  EXPECT_EQ(ComputeTableArea(57600, 32400, 15, 15), (TableOffsets{1315, 0}));
}

TEST(SaveWindowPlacement, ClampsIntoTheSixteenBitFields) {
  // A window on a second monitor right of a 2560-pixel one.
  const auto s = SaveWindowPlacement({40000.5, -100, 20000, 12405});
  EXPECT_EQ(s.WindowLeft, 32767);
  EXPECT_EQ(s.WindowTop, -100);
  EXPECT_FALSE(PlacementFits(s, Screen(1920, 1080), MinimumFormSize(false)));
  // Halves go to the even neighbour.
  EXPECT_EQ(SaveWindowPlacement({217.5, 2797.5, 0, 0}).WindowLeft, 218);
  EXPECT_EQ(SaveWindowPlacement({217.5, 2796.5, 0, 0}).WindowTop, 2796);
}

TEST(PlacementFits, RefusesWhatNoLongerFits) {
  const auto screen = Screen(1280, 1024);  // 19200 x 15360
  const auto min = MinimumFormSize(false);
  const StoredPlacement good{0, 11550, 18765, 1905, 218};
  EXPECT_TRUE(PlacementFits(good, screen, min));
  auto s = good;
  s.WindowTop = 7680;  // at the middle of the screen
  EXPECT_FALSE(PlacementFits(s, screen, min));
  s = good;
  s.WindowLeft = 500;  // right edge past the screen's
  EXPECT_FALSE(PlacementFits(s, screen, min));
  s = good;
  s.WindowHeight = 9224;
  EXPECT_FALSE(PlacementFits(s, screen, min));
  EXPECT_TRUE(PlacementFits(s, screen, MinimumFormSize(true)));
  s = good;
  s.WindowWidth = 13784;
  EXPECT_FALSE(PlacementFits(s, screen, min));
}

TEST(ComputeTableArea, SmallestWindow) {
  const auto min = MinimumFormSize(false);
  EXPECT_EQ(ComputeTableArea(min.MinFormWidth, min.MinFormHeight, 15, 15), (TableOffsets{0, 75}));
  EXPECT_EQ(ComputeTableArea(18150, 12405 - 150, 15, 15), (TableOffsets{0, 10}));
}
