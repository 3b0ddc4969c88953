#include "table/drag_drop.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "table/card_deck.h"
#include "table/card_table.h"
#include "table/mouse_events.h"
#include "table/table_rig.h"

using namespace table;
using testing_support::DragTo;
using testing_support::MoveMouse;
using testing_support::Press;
using testing_support::Release;

namespace {

// Game play's side of the drop, as the table tests plug it in: always or
// never legal, and what the table asked.
class FakeDropRules : public DropRules {
 public:
  struct Ask {
    PileControl target;
    int index;
    CardCode top;
    bool operator==(const Ask&) const = default;
  };
  bool CheckDrop(PileControl target, int index, CardCode top) override {
    asked.push_back({target, index, top});
    return legal;
  }
  bool PlaceCard(PileControl target, int index) override {
    placed.emplace_back(target, index);
    return true;
  }
  void RemoveFromSourcePile(PileControl source, int index) override { removed.emplace_back(source, index); }

  bool legal = true;
  std::vector<Ask> asked;
  std::vector<std::pair<PileControl, int>> placed;
  std::vector<std::pair<PileControl, int>> removed;
};

class DragDropTest : public ::testing::Test, protected testing_support::TableRig {
 protected:
  DragDropTest() {
    testing_support::LayOutAtDesignSize(table);
    // A minimal stand-in for the game's mouse handlers: the pressed pile
    // is the move's source.
    for (PictureBox* box : Draggable()) {
      QObject::connect(box, &PictureBox::mouseDown, &table, [this](PictureBox* b, Qt::MouseButton, auto, QPoint at) {
        state.MoveSource = b->Array();
        state.MoveSourceIndex = static_cast<std::int16_t>(b->Index());
        table.DragStart(b->Array(), b->Index(), at.x(), at.y());
      });
      QObject::connect(box, &PictureBox::mouseMove, &table, [this](PictureBox* b, auto, auto, QPoint at) {
        if (table.Dragging == 1) table.DragMove(b->Array(), b->Index(), at.x(), at.y());
      });
      QObject::connect(box, &PictureBox::mouseUp, &table, [this](PictureBox* b, auto, auto, QPoint) {
        outcomes.push_back(table.DragDrop(b->Array(), b->Index()));
      });
    }
    piles.TableauCount[5] = 2;
    piles.Tableau[5][1] = 10;
    piles.Tableau[5][2] = 22;
  }

  std::vector<PictureBox*> Draggable() {
    std::vector<PictureBox*> boxes{table.picPlayer[1], table.picPlayer[2], table.picPlayer[3]};
    for (int i = 1; i <= 8; ++i) boxes.push_back(table.picTableau[i]);
    return boxes;
  }

  QImage Face(CardCode c) const {
    return CutFace(table.frmStdSm.Sheet(), c).convertToFormat(QImage::Format_ARGB32_Premultiplied);
  }
  QImage Back() const {
    return table.frmPic.FilePic[table::kCurrentBackPicture].convertToFormat(QImage::Format_ARGB32_Premultiplied);
  }
  QImage Empty() const { return table.EmptyPic->convertToFormat(QImage::Format_ARGB32_Premultiplied); }

  FakeDropRules rules;
  CardTable table{[this] {
    table::CardTableServices services = Services();
    services.dropRules = &rules;
    return services;
  }()};
  std::vector<DropOutcome> outcomes;
};

}  // namespace

TEST(DropGeometry, AThirdOfTheFullCardEitherWayHits) {
  const QPoint c(400, 300);
  for (int dx : {-23, 0, 23}) EXPECT_TRUE(OverlapsPlace(c + QPoint(dx, 0), c)) << dx;
  for (int dx : {-24, 24}) EXPECT_FALSE(OverlapsPlace(c + QPoint(dx, 0), c)) << dx;
  for (int dy : {-32, 32}) EXPECT_TRUE(OverlapsPlace(c + QPoint(0, dy), c)) << dy;
  for (int dy : {-33, 33}) EXPECT_FALSE(OverlapsPlace(c + QPoint(0, dy), c)) << dy;
}

TEST(DropGeometry, ARefusedCardSlidesHomeInSteps) {
  const QPoint home(100, 200);
  EXPECT_EQ(SlideBackPath({400, 200}, home),
            (std::vector<QPoint>{{400, 200}, {340, 200}, {280, 200}, {220, 200}, {160, 200}, {100, 200}}));
  EXPECT_EQ(SlideBackPath({130, 210}, home), (std::vector<QPoint>{{130, 210}, home}));
  // Along a diagonal the longer side sets the steps.
  const auto path = SlideBackPath({250, 50}, home);
  ASSERT_EQ(path.size(), 4u);
  EXPECT_EQ(path[1], QPoint(190, 110));
  EXPECT_EQ(path.back(), home);
}

TEST_F(DragDropTest, APressWithoutMovementChangesNothing) {
  PictureBox* pile = table.picTableau[5];
  const QPoint home = pile->pos();
  Press(pile, {30, 40});
  EXPECT_EQ(table.Dragging, 1);
  Release(pile, {30, 40});
  EXPECT_EQ(outcomes, std::vector<DropOutcome>{DropOutcome::Click});
  EXPECT_TRUE(rules.asked.empty());
  EXPECT_EQ(pile->pos(), home);
  EXPECT_EQ(table.Dragging, 0);
}

TEST_F(DragDropTest, TheCoverShowsWhatThePileWillShow) {
  PictureBox* cover = table.picSmoke[0];
  Press(table.picTableau[5], {5, 5});
  Release(table.picTableau[5], {5, 5});
  EXPECT_EQ(cover->Picture(), Face(10));
  EXPECT_EQ(cover->pos(), table.picTableau[5]->pos());
  EXPECT_FALSE(cover->isHidden());

  piles.StockCount[0] = 1;
  piles.Stock[0][1] = 7;
  Press(table.picPlayer[1], {5, 5});
  Release(table.picPlayer[1], {5, 5});
  EXPECT_EQ(cover->Picture(), Empty());
  piles.StockCount[0] = 2;
  Press(table.picPlayer[1], {5, 5});
  Release(table.picPlayer[1], {5, 5});
  EXPECT_EQ(cover->Picture(), Back());

  // The Reserve: a face-down card beneath shows its back, a loaded one its face.
  piles.ReserveCount[0] = 3;
  piles.Reserve[0][1] = 1;
  piles.Reserve[0][2] = 2;
  piles.Reserve[0][3] = 3;
  piles.ReserveFaceDown[0] = 2;
  Press(table.picPlayer[2], {5, 5});
  Release(table.picPlayer[2], {5, 5});
  EXPECT_EQ(cover->Picture(), Back());
  piles.ReserveFaceDown[0] = 1;
  Press(table.picPlayer[2], {5, 5});
  Release(table.picPlayer[2], {5, 5});
  EXPECT_EQ(cover->Picture(), Face(2));

  piles.WasteCount[0] = 2;
  piles.Waste[0][1] = 40;
  piles.Waste[0][2] = 41;
  Press(table.picPlayer[3], {5, 5});
  Release(table.picPlayer[3], {5, 5});
  EXPECT_EQ(cover->Picture(), Face(40));
}

TEST_F(DragDropTest, ALegalDropIsPlacedAndTakenFromItsSourceWithThePictureHome) {
  piles.CenterCount[3] = 1;
  piles.Center[3][1] = 21;
  PictureBox* pile = table.picTableau[5];
  const QPoint home = pile->pos();
  DragTo(pile, table.picCenter[3]->pos() + QPoint(20, -30));
  EXPECT_EQ(outcomes, std::vector<DropOutcome>{DropOutcome::Placed});
  EXPECT_EQ(rules.asked, (std::vector<FakeDropRules::Ask>{{PileControl::picCenter, 3, 21}}));
  EXPECT_EQ(rules.placed, (std::vector<std::pair<PileControl, int>>{{PileControl::picCenter, 3}}));
  EXPECT_EQ(rules.removed, (std::vector<std::pair<PileControl, int>>{{PileControl::picTableau, 5}}));
  EXPECT_EQ(pile->pos(), home);
  // Home beneath the cover until the source pile is repainted and raised.
  const auto& order = table.children();
  EXPECT_GT(order.indexOf(table.picSmoke[0]), order.indexOf(pile));
  EXPECT_EQ(table.DropTarget, PileControl::None);
  EXPECT_FALSE(state.EndTurnPending);
}

TEST_F(DragDropTest, EachKindOfTargetIsAskedWithItsTopCard) {
  piles.TableauCount[2] = 1;
  piles.Tableau[2][1] = 36;
  piles.ReserveCount[1] = 2;
  piles.Reserve[1][2] = 44;
  piles.WasteCount[1] = 1;
  piles.Waste[1][1] = 45;
  piles.WasteCount[0] = 1;
  piles.Waste[0][1] = 12;
  const std::vector<std::tuple<PictureBox*, PileControl, int, CardCode>> targets{
      {table.picCenter[8], PileControl::picCenter, 8, 0},      {table.picTableau[2], PileControl::picTableau, 2, 36},
      {table.picTableau[7], PileControl::picTableau, 7, 0},    {table.picOpponent[2], PileControl::picOpponent, 2, 44},
      {table.picOpponent[3], PileControl::picOpponent, 3, 45}, {table.picPlayer[3], PileControl::picPlayer, 3, 12},
  };
  for (const auto& [box, control, index, top] : targets) {
    rules.asked.clear();
    DragTo(table.picTableau[5], box->pos() + QPoint(-15, 25));
    EXPECT_EQ(rules.asked, (std::vector<FakeDropRules::Ask>{{control, index, top}}))
        << box->objectName().toStdString() << index;
  }
  // The opponent's Stock and the player's Stock and Reserve are no targets.
  rules.asked.clear();
  for (PictureBox* box : {table.picOpponent[1], table.picPlayer[2]}) DragTo(table.picTableau[5], box->pos());
  EXPECT_TRUE(rules.asked.empty());
}

TEST_F(DragDropTest, TheHandCardOnTheOwnWasteEndsTheTurn) {
  piles.StockCount[0] = 3;
  DragTo(table.picPlayer[1], table.picPlayer[3]->pos());
  EXPECT_EQ(rules.placed, (std::vector<std::pair<PileControl, int>>{{PileControl::picPlayer, 3}}));
  EXPECT_EQ(rules.removed, (std::vector<std::pair<PileControl, int>>{{PileControl::picPlayer, 1}}));
  EXPECT_TRUE(state.EndTurnPending);
}

TEST_F(DragDropTest, ACenterPileWinsOverATableauPileBothWithinReach) {
  table.picTableau[6]->move(table.picCenter[4]->pos() + QPoint(0, 40));
  DragTo(table.picTableau[5], table.picCenter[4]->pos() + QPoint(0, 20));
  ASSERT_EQ(rules.asked.size(), 1u);
  EXPECT_EQ(rules.asked[0].target, PileControl::picCenter);
  EXPECT_EQ(rules.asked[0].index, 4);
}

TEST_F(DragDropTest, APictureOverItsOwnPlaceFindsNoTarget) {
  PictureBox* tableau = table.picTableau[5];
  const QPoint home = tableau->pos();
  DragTo(tableau, home + QPoint(10, 10));
  EXPECT_TRUE(rules.asked.empty());
  EXPECT_EQ(tableau->pos(), home);
  EXPECT_EQ(outcomes.back(), DropOutcome::SlidBack);

  PictureBox* waste = table.picPlayer[3];
  DragTo(waste, waste->pos() + QPoint(5, 5));
  EXPECT_TRUE(rules.asked.empty());
  EXPECT_EQ(outcomes.back(), DropOutcome::SlidBack);
}

TEST_F(DragDropTest, ARefusedDropSlidesHomeAndChangesNothing) {
  rules.legal = false;
  PictureBox* pile = table.picTableau[5];
  const QPoint home = pile->pos();
  DragTo(pile, table.picOpponent[3]->pos());
  EXPECT_EQ(outcomes, std::vector<DropOutcome>{DropOutcome::SlidBack});
  EXPECT_EQ(rules.asked.size(), 1u);
  EXPECT_TRUE(rules.placed.empty());
  EXPECT_TRUE(rules.removed.empty());
  EXPECT_EQ(pile->pos(), home);
  // The hit test's choice stands on this path.
  EXPECT_EQ(table.DropTarget, PileControl::picOpponent);

  DragTo(table.picPlayer[1], table.picPlayer[3]->pos());
  EXPECT_FALSE(state.EndTurnPending);
}

TEST_F(DragDropTest, TheTutorialRefusesADisabledTableauPileWithoutAsking) {
  state.TutorialMode = true;
  table.picTableau[3]->setEnabled(false);
  DragTo(table.picTableau[5], table.picTableau[3]->pos());
  EXPECT_TRUE(rules.asked.empty());
  EXPECT_EQ(outcomes.back(), DropOutcome::SlidBack);
  table.picTableau[3]->setEnabled(true);
  DragTo(table.picTableau[5], table.picTableau[3]->pos());
  EXPECT_EQ(rules.asked.size(), 1u);
}
