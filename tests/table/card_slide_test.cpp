#include "table/card_slide.h"

#include <gtest/gtest.h>

using table::SlidePath;

TEST(SlidePath, SameSourceAndTargetStepsRightPastTheCentreLine) {
  const auto path = SlidePath({100, 200}, {100, 200}, 70);
  ASSERT_EQ(path.size(), 36u);
  EXPECT_EQ(path.front(), QPoint(101, 200));
  EXPECT_EQ(path.back(), QPoint(136, 200));
}

TEST(SlidePath, LeftwardsWithinHalfACardMakesNoStep) {
  EXPECT_TRUE(SlidePath({130, 200}, {100, 200}, 70).empty());
}

TEST(SlidePath, AcrossTheTableEndsPastTheTargetCentre) {
  // The deal: the player's Stock to Tableau 8.
  const auto path = SlidePath({16, 508}, {592, 468}, 70);
  // 576 across in steps of 8 (576 / 70 = 8.2): stops once past 592 + 35.5.
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(path.back().x(), 632);
  EXPECT_EQ(path.size(), 77u);
  EXPECT_EQ(path.back().y(), 468);   // the vertical correction reached the row
  EXPECT_GT(path[path.size() - 2].x(), 592);
}

TEST(SlidePath, VerticalSlidesEndAtOrAboveTheTarget) {
  const auto up = SlidePath({300, 508}, {300, 150}, 10);
  ASSERT_FALSE(up.empty());
  EXPECT_LE(up.back().y(), 150);
  EXPECT_GT(up[up.size() - 2].y(), 150);
  const auto down = SlidePath({300, 150}, {303, 508}, 10);
  ASSERT_FALSE(down.empty());
  EXPECT_GE(down.back().y(), 508 - 48);
  EXPECT_LT(down[down.size() - 2].y(), 508 - 48);
  // Once the card stands in the target column it swings stepX to either side.
  ASSERT_EQ(down.size(), 9u);
  EXPECT_EQ(down[2].x(), 303);
  EXPECT_EQ(down[3].x(), 304);
  EXPECT_EQ(down[4].x(), 303);
}

TEST(SlidePath, SpeedIsTheNumberOfSteps) {
  // 50-pixel steps up to 1050, past the target's centre line at 1035.5.
  EXPECT_EQ(SlidePath({0, 0}, {1000, 0}, 20).size(), 21u);
  EXPECT_EQ(SlidePath({0, 0}, {1000, 0}, 2).size(), 3u);
}

TEST(SlidePath, SpeedBelowOneCountsAsOne) {
  for (int speed : {0, -5}) {
    const auto path = SlidePath({0, 0}, {500, 100}, speed);
    ASSERT_EQ(path.size(), 2u);
    EXPECT_EQ(path[0], QPoint(500, 100));
    EXPECT_EQ(path[1], QPoint(1000, 100));
  }
}

TEST(InterpolatePoint, EndsAndHalves) {
  std::int16_t x = 0, y = 0;
  table::InterpolatePoint(10, 20, 110, 220, 0.0f, x, y);
  EXPECT_EQ(x, 10);
  EXPECT_EQ(y, 20);
  table::InterpolatePoint(10, 20, 110, 220, 1.0f, x, y);
  EXPECT_EQ(x, 110);
  EXPECT_EQ(y, 220);
  table::InterpolatePoint(0, 0, 3, -3, 0.5f, x, y);
  EXPECT_EQ(x, 2);
  EXPECT_EQ(y, -1);
}
