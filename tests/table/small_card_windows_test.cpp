#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QCoreApplication>

#include "table/picture_box.h"
#include "table/pile_viewer.h"
#include "table/tableau_cards_window.h"

using namespace table;

namespace {

PileArrays TableauOf(int pile, int count) {
  PileArrays piles;
  piles.TableauCount[pile] = static_cast<std::int16_t>(count);
  for (int i = 1; i <= count; ++i) piles.Tableau[pile][i] = static_cast<CardCode>(14 - i);  // K down to ...
  return piles;
}

TableauPileGeometry At(int pileLeftPx, int formLeftTwips) {
  TableauPileGeometry g;
  g.PileLeft = pileLeftPx;
  g.PileTop = 200;
  g.FormLeft = formLeftTwips;
  g.FormTop = 1500;
  g.CaptionHeight = 23;
  g.TwipsPerPixel = 15;
  g.ScreenWidth = 1024 * 15;
  return g;
}

}  // namespace

TEST(TableauCardsWindow, LayoutOverlapsByDeckKind) {
  const TableauWindowLayout own = LayOutTableauWindow(true, false, 15);
  const TableauWindowLayout library = LayOutTableauWindow(false, false, 15);
  EXPECT_EQ(own.PictureLeft[2] - own.PictureLeft[1], 355);          // 1065 / 3
  EXPECT_EQ(library.PictureLeft[2] - library.PictureLeft[1], 710);  // 1065 / 1.5
  EXPECT_EQ(own.PictureLeft[13], 12 * 355);
  EXPECT_EQ(own.WindowWidth, 12 * 355 + 1065 + 100);
  EXPECT_EQ(own.WindowHeight, 1440);
  const TableauWindowLayout large = LayOutTableauWindow(true, true, 12);
  EXPECT_EQ(large.PictureWidth, 71 * 12);
  EXPECT_EQ(large.WindowHeight, 1190);
}

// Piles of 0, 1, 2 and 13 cards; the card under the top card always lies
// next to the pile, whichever side the window opens on.
TEST(TableauCardsWindow, PlacementAndCardsBySideAndSize) {
  const TableauWindowLayout layout = LayOutTableauWindow(true, false, 15);
  for (int count : {0, 1}) EXPECT_TRUE(PlaceTableauWindow(2, count, layout, At(300, 0)).Hide) << count;

  // Two cards: one picture with the bottom card, just wide enough.
  const auto two = PlaceTableauWindow(2, 2, layout, At(300, 0));
  ASSERT_FALSE(two.Hide);
  EXPECT_EQ(two.Shown, 1);
  EXPECT_EQ(two.Width, 1065 + 40);
  EXPECT_EQ(two.Top, (23 + 200 + 6) * 15 + 1500);
  EXPECT_TRUE(two.LeftSide);
  EXPECT_EQ(two.Left, 300 * 15 - two.Width + 80);
  EXPECT_EQ(TableauPictureCards(TableauOf(2, 2), 2, two)[1], 13);
  // A caption wider than the card widens the window; the card stays by the pile.
  TableauPileGeometry titled = At(300, 0);
  titled.CaptionWidth = 3000;
  const auto wide = PlaceTableauWindow(2, 2, layout, titled);
  EXPECT_EQ(wide.Width, 3000);
  EXPECT_EQ(wide.Left, 300 * 15 - 3000 + 80);
  EXPECT_EQ(wide.PicturesLeft, 3000 - two.Width);
  EXPECT_EQ(PlaceTableauWindow(2, 13, layout, titled).PicturesLeft, 0) << "twelve cards are wider than it";

  // Thirteen cards: twelve pictures. Pile 2 at the left screen edge opens to the right.
  const PileArrays full = TableauOf(2, 13);
  const auto right = PlaceTableauWindow(2, 13, layout, At(10, 0));
  EXPECT_EQ(right.Shown, 12);
  EXPECT_FALSE(right.LeftSide);
  EXPECT_EQ(right.Left, (71 + 10 + 6) * 15);
  const auto rightCards = TableauPictureCards(full, 2, right);
  EXPECT_EQ(rightCards[1], full.Tableau[2][12]);  // leftmost, nearest the pile
  EXPECT_EQ(rightCards[12], full.Tableau[2][1]);

  // Pile 7 near the right screen edge opens to the left.
  const PileArrays seven = TableauOf(7, 13);
  const auto left = PlaceTableauWindow(7, 13, layout, At(950, 0));
  EXPECT_TRUE(left.LeftSide);
  const auto leftCards = TableauPictureCards(seven, 7, left);
  EXPECT_EQ(leftCards[12], seven.Tableau[7][12]);  // rightmost, nearest the pile
  EXPECT_EQ(leftCards[1], seven.Tableau[7][1]);
  // With room on the right, pile 7 opens there.
  EXPECT_FALSE(PlaceTableauWindow(7, 13, layout, At(400, 0)).LeftSide);
}

namespace {

struct TutorialHooks : TableauWindowHooks {
  bool tutorial = false;
  int clicks = 0;
  bool TutorialMode() const override { return tutorial; }
  void TableauWindowClickedInTutorial() override { ++clicks; }
};

}  // namespace

TEST(TableauCardsWindow, WindowFillsHidesAndClosesOnlyForTheProgram) {
  TutorialHooks hooks;
  std::vector<std::pair<int, CardCode>> painted;
  FrmHold hold(
      LayOutTableauWindow(false, false, 15), 15,
      [&](PictureBox* box, CardCode c) { painted.emplace_back(box->Index(), c); }, &hooks);
  const PileArrays piles = TableauOf(3, 4);
  hold.ShowTableauPile(piles, 3, At(500, 0));
  EXPECT_TRUE(hold.isVisible());
  EXPECT_TRUE(hold.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  ASSERT_EQ(painted.size(), 3u);
  EXPECT_TRUE(hold.Picture8[3]->isVisible());
  EXPECT_FALSE(hold.Picture8[4]->isVisible());
  // The user's close only hides; a right click shows it again at once.
  QCloseEvent close;
  QCoreApplication::sendEvent(&hold, &close);
  EXPECT_FALSE(close.isAccepted());
  EXPECT_FALSE(hold.isVisible());
  hold.ShowTableauPile(piles, 3, At(500, 0));
  EXPECT_TRUE(hold.isVisible());
  // An empty pile hides it.
  hold.ShowTableauPile(PileArrays{}, 3, At(500, 0));
  EXPECT_FALSE(hold.isVisible());
  // A click hides it; in the tutorial it also hands on to the tutorial.
  hold.ShowTableauPile(piles, 3, At(500, 0));
  emit hold.Picture8[1]->mouseDown(hold.Picture8[1], Qt::LeftButton, {}, {});
  EXPECT_FALSE(hold.isVisible());
  EXPECT_EQ(hooks.clicks, 0);
  hooks.tutorial = true;
  hold.ShowTableauPile(piles, 3, At(500, 0));
  emit hold.Picture8[2]->mouseDown(hold.Picture8[2], Qt::LeftButton, {}, {});
  EXPECT_EQ(hooks.clicks, 1);
  // The program's own close really closes it.
  hold.show();
  hold.Unload();
  EXPECT_FALSE(hold.isVisible());
}

TEST(PileViewer, TopSevenCardsFromTheTopDown) {
  PileArrays piles;
  piles.StockCount[1] = 35;
  for (int i = 1; i <= 35; ++i) piles.Stock[1][i] = static_cast<CardCode>(i);
  const auto stock = ViewedCards(piles, "picOpponent", 1);
  EXPECT_EQ(stock, (std::vector<CardCode>{35, 34, 33, 32, 31, 30, 29}));
  EXPECT_TRUE(ViewedCards(piles, "picPlayer", 1).empty());
  EXPECT_TRUE(ViewedCards(piles, "picCenter", 1).empty());
  EXPECT_TRUE(ViewedCards(piles, "picTableau", 9).empty());

  std::vector<CardCode> painted;
  FrmView view(15, [&](PictureBox*, CardCode c) { painted.push_back(c); });
  view.ViewCards(piles, "picOpponent", 1);
  EXPECT_EQ(painted.size(), 7u);
  EXPECT_EQ(view.Shown[7], 29);
  view.ViewCards(piles, "picPlayer", 2);  // an empty pile leaves every picture empty
  EXPECT_EQ(view.Shown[1], 0);
  EXPECT_TRUE(view.picView[1]->Picture().isNull());
}
