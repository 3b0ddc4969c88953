#include "table/table_geometry.h"

#include <gtest/gtest.h>

using table::ArrangeControlPlaces;
using table::ArrangePilePlaces;

TEST(ArrangePiles, StandardTableAtZeroOffsets) {
  const auto p = ArrangePilePlaces(0, 0);
  EXPECT_EQ(p.picOpponent[2], QPoint(87, 120));
  EXPECT_EQ(p.picOpponent[3], QPoint(730, 120));
  EXPECT_EQ(p.picOpponent[1], QPoint(821, 120));
  const int rows[] = {150, 256, 362, 468};
  for (int r = 0; r < 4; ++r) {
    EXPECT_EQ(p.picTableau[1 + r], QPoint(239, rows[r]));
    EXPECT_EQ(p.picTableau[5 + r], QPoint(592, rows[r]));
    EXPECT_EQ(p.picCenter[1 + 2 * r], QPoint(370, rows[r]));
    EXPECT_EQ(p.picCenter[2 + 2 * r], QPoint(461, rows[r]));
  }
  EXPECT_EQ(p.picPlayer[1], QPoint(16, 508));
  EXPECT_EQ(p.picPlayer[3], QPoint(107, 508));
  EXPECT_EQ(p.picPlayer[2], QPoint(720, 508));
  EXPECT_EQ(p.lblCardFrame[1], QPoint(10, 503));
  EXPECT_EQ(p.lblCardFrame[3], QPoint(101, 503));
  EXPECT_EQ(p.lblCardFrame[2], QPoint(714, 503));
  EXPECT_EQ(p.lblCardFrame[4], QPoint(815, 115));
  EXPECT_EQ(p.lblCardFrame[5], QPoint(81, 115));
  EXPECT_EQ(p.lblCardFrame[6], QPoint(724, 115));
  EXPECT_EQ(p.cmdDone, QPoint(805, 527));
  EXPECT_EQ(p.TableBottom, 783);
  EXPECT_EQ(p.PileTop, 150);
}

TEST(ArrangePiles, OffsetsShiftEveryPile) {
  const auto base = ArrangePilePlaces(0, 0);
  const auto up = ArrangePilePlaces(0, 75);
  EXPECT_EQ(up.PileTop, 75);
  EXPECT_EQ(up.picOpponent[1].y(), 45);
  EXPECT_EQ(up.picPlayer[2].y(), 433);
  EXPECT_EQ(up.TableBottom, 708);
  const auto right = ArrangePilePlaces(100, 0);
  for (int i = 1; i <= 8; ++i) {
    EXPECT_EQ(right.picCenter[i], base.picCenter[i] + QPoint(100, 0));
    EXPECT_EQ(right.picTableau[i], base.picTableau[i] + QPoint(100, 0));
    EXPECT_EQ(up.picTableau[i], base.picTableau[i] - QPoint(0, 75));
  }
  for (int i = 1; i <= 3; ++i) {
    EXPECT_EQ(right.picPlayer[i], base.picPlayer[i] + QPoint(100, 0));
    EXPECT_EQ(right.picOpponent[i], base.picOpponent[i] + QPoint(100, 0));
  }
  EXPECT_EQ(right.picCenter[2].x() - right.picCenter[1].x(), 91);
}

TEST(ArrangeControls, StandardPlaces) {
  const auto piles = ArrangePilePlaces(0, 0);
  table::ControlSizes sizes;
  sizes.tabCountWidth.fill(20);
  const auto c = ArrangeControlPlaces(piles, sizes, {0, false, 15360});
  EXPECT_EQ(c.ImgTurn1, QPoint(730, 362));
  EXPECT_EQ(c.ImgTurn2, QPoint(730, 362));
  EXPECT_EQ(c.cmdDeal, QPoint(16, 446));
  EXPECT_EQ(c.lblMessage.topLeft(), QPoint(10, 240));
  EXPECT_EQ(c.lblMessage.width(), 178);
  // It ends above the Deal button, which stands in the same margin.
  EXPECT_EQ(c.lblMessage.bottom() + 1, c.cmdDeal.y() - table::kMessageAboveDealGap);
  EXPECT_EQ(c.lblTurn, QPoint(724, 244));
  EXPECT_EQ(c.StatusMsg, QPoint(724, 284));
  EXPECT_EQ(c.StatusMsgFontSize, 12);
  const int tops[] = {226, 332, 438, 544};
  for (int r = 0; r < 4; ++r) {
    EXPECT_EQ(c.lblTabCnt[1 + r], QPoint(239 - 20 - 7, tops[r]));
    EXPECT_EQ(c.lblTabCnt[5 + r], QPoint(592 + 71 + 5, tops[r]));
  }
  EXPECT_EQ(c.imglblTableauL, QPoint(239, 573));
  EXPECT_EQ(c.imglblTableauR, QPoint(592, 573));
  EXPECT_EQ(c.imglblCenters, QPoint(413, 573));
  EXPECT_EQ(c.fraPause.topLeft(), QPoint(87, 120));
  EXPECT_EQ(c.picMenu, QPoint(14, 116));
  EXPECT_EQ(c.LogoLeft, 732);
  EXPECT_EQ(c.LogoTop, 304);
  EXPECT_EQ(c.lblOHandCnt, QPoint(876, 223));
  EXPECT_EQ(c.lblOWasteCnt, QPoint(785, 223));
  EXPECT_EQ(c.lblOResCnt, QPoint(55, 211));
  EXPECT_EQ(c.lblPHandCnt, QPoint(10, 611));  // kept off the window's edge, as the message line
  EXPECT_EQ(c.lblPWasteCnt, QPoint(91, 611));
  EXPECT_EQ(c.lblPResCnt, QPoint(795, 503));
}

TEST(ArrangeControls, MessageLineFollowsTheOffset) {
  const auto c = ArrangeControlPlaces(ArrangePilePlaces(40, 0), {}, {40, false, 24000});
  EXPECT_EQ(c.lblMessage.left(), 40);
  EXPECT_EQ(c.lblMessage.width(), 178);
}

TEST(ArrangeControls, NarrowScreenAndLargeFonts) {
  const auto piles = ArrangePilePlaces(0, 0);
  const auto wide = ArrangeControlPlaces(piles, {}, {0, false, 12015});
  const auto narrow = ArrangeControlPlaces(piles, {}, {0, true, 12000});
  EXPECT_EQ(wide.StatusMsg.x() - narrow.StatusMsg.x(), 15);
  EXPECT_EQ(narrow.StatusMsgFontSize, 10);
}

TEST(ArrangeControls, NamePlatesCentredEvenWhenWider) {
  table::ControlSizes sizes;
  sizes.plateReserve = {125, 22};
  const auto piles = ArrangePilePlaces(0, 0);
  const auto c = ArrangeControlPlaces(piles, sizes, {});
  // Frame 5 spans 81..166; the plate sticks out 20 pixels on each side.
  EXPECT_EQ(c.imgOReserve, QPoint(61, 115 - 22));
  EXPECT_EQ(c.imgPReserve.x(), 714 - 20);
  EXPECT_EQ(c.imgOStock.y(), 115 - 22);
}

TEST(ArrangeControls, PauseCoverKeepsItsSizeAndCentresItsText) {
  table::ControlSizes sizes;
  sizes.pauseLabelWidth = 217;
  sizes.pauseLabelHeight = 32;
  const auto at0 = ArrangeControlPlaces(ArrangePilePlaces(0, 0), sizes, {});
  EXPECT_EQ(at0.fraPause, QRect(87, 120, 817, 532));
  const auto shifted = ArrangeControlPlaces(ArrangePilePlaces(300, 75), sizes, {300, false, 57600});
  EXPECT_EQ(shifted.fraPause.size(), QSize(817, 532));
  EXPECT_EQ(shifted.fraPause.topLeft(), QPoint(387, 45));
  EXPECT_EQ(at0.lblPause, QPoint(300, 250));
  // The text lies wholly inside the cover.
  EXPECT_LE(at0.lblPause.x() + sizes.pauseLabelWidth, at0.fraPause.width());
}

TEST(ArrangeControls, WidthsNeverNegativeOnANarrowWindow) {
  table::ControlSizes sizes;
  sizes.clientWidth = 300;
  const auto c = ArrangeControlPlaces(ArrangePilePlaces(0, 0), sizes, {});
  EXPECT_EQ(c.lblTurnWidth, 0);
  EXPECT_GE(c.lblMessage.width(), 0);
  EXPECT_GE(c.lblMessage.height(), 0);
  sizes.clientWidth = 1210;
  // The turn line ends short of the table's right border.
  EXPECT_EQ(ArrangeControlPlaces(ArrangePilePlaces(0, 0), sizes, {}).lblTurnWidth, 1210 - 30 - 724);
}
