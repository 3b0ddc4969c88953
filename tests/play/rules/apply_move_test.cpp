#include "play/rules/apply_move.h"

#include <QTimer>
#include <gtest/gtest.h>

#include "play/move_rig.h"
#include "play/rules/rule_checks.h"
#include "play/table_builder.h"

namespace {

using play::MoveResult;
using table::PileControl;
using table::TableImage;
using table::TableLabel;
using testing_support::Card;
using testing_support::FakeTableView;
using testing_support::MoveRig;
using testing_support::TableBuilder;

using Paint = FakeTableView::Paint;

class ApplyMove : public ::testing::Test {
 protected:
  void Move(PileControl source, int index, table::CardCode card) {
    rig.state.MoveSource = source;
    rig.state.MoveSourceIndex = static_cast<std::int16_t>(index);
    rig.state.MoveCard = card;
  }
  MoveRig rig;
};

TEST_F(ApplyMove, PlaceOnCenterPushesPaintsAndForgetsTableauMoves) {
  rig.piles = TableBuilder().Center(4, {Card(1, 2)}).piles();
  rig.state.CurrentTurn = table::Turn::Opponent;
  rig.services.findings.TableauMoveMemory[3] = 7;
  Move(PileControl::picTableau, 3, Card(2, 2));

  EXPECT_EQ(play::PlaceOnCenter(rig.services, 4), MoveResult::Applied);
  EXPECT_EQ(rig.piles.CenterCount[4], 2);
  EXPECT_EQ(rig.piles.Center[4][2], Card(2, 2));
  ASSERT_EQ(rig.view.paints.size(), 1u);
  EXPECT_EQ(rig.view.paints[0], (Paint{PileControl::picCenter, 4, Card(2, 2), play::kCenterSound}));
  EXPECT_EQ(rig.services.findings.TableauMoveMemory[3], 0);
  EXPECT_TRUE(rig.services.findings.CardPlaced);
  EXPECT_TRUE(rig.services.NetMove.MoveToPile.isEmpty()) << "only the local player's online moves are named";
}

TEST_F(ApplyMove, PlaceOnTableauCountsFromTwoCardsAndKeepsTheMoveMemory) {
  rig.state.CurrentTurn = table::Turn::Local;
  rig.services.findings.TableauMoveMemory[2] = 5;
  rig.net.NetConnIndex = play::kNetPeerSocket;
  Move(PileControl::picPlayer, 2, Card(9, 1));
  EXPECT_EQ(play::PlaceOnTableau(rig.services, 6), MoveResult::Applied);
  EXPECT_EQ(rig.view.tabCounts[6], "");
  Move(PileControl::picPlayer, 2, Card(8, 2));
  EXPECT_EQ(play::PlaceOnTableau(rig.services, 6), MoveResult::Applied);
  EXPECT_EQ(rig.view.tabCounts[6], "2");
  EXPECT_EQ(rig.piles.TableauCount[6], 2);
  EXPECT_EQ(rig.piles.Tableau[6][2], Card(8, 2));
  EXPECT_EQ(rig.view.paints.back(), (Paint{PileControl::picTableau, 6, Card(8, 2), play::kTableauSound}));
  EXPECT_EQ(rig.services.findings.TableauMoveMemory[2], 5);
  EXPECT_EQ(rig.services.NetMove.MoveToPile, "picTableau");
  EXPECT_EQ(rig.services.NetMove.MoveToIndex, 6);
}

TEST_F(ApplyMove, CardLoadedByTheOpponentIsFramedAndShownAMoment) {
  rig.piles = TableBuilder().Waste(0, {Card(7, 2)}).Reserve(0, {Card(3, 1), Card(4, 1)}).piles();
  rig.piles.ReserveFaceDown[0] = 1;
  rig.state.CurrentTurn = table::Turn::Opponent;
  rig.services.findings.TableauMoveMemory[1] = 4;
  Move(PileControl::picOpponent, 1, Card(8, 2));

  EXPECT_EQ(play::PlaceOnSidePile(rig.services, 3, play::kLocalOwner), MoveResult::Applied);
  EXPECT_EQ(rig.piles.WasteCount[0], 2);
  EXPECT_EQ(rig.piles.Waste[0][2], Card(8, 2));
  EXPECT_EQ(rig.view.Label(TableLabel::lblPWasteCnt), "2");
  EXPECT_EQ(rig.view.paints.back(), (Paint{PileControl::picPlayer, 3, Card(8, 2), play::kTableauSound}));
  EXPECT_EQ(rig.view.cardFrameStyles[3], play::kFrameOpaque);
  EXPECT_EQ(rig.services.findings.TableauMoveMemory[1], 0);

  // The local player loading the opponent's Reserve: no frame, and the
  // face-down count stays because the loaded card lies face up on top.
  rig.view.cardFrameStyles.clear();
  rig.state.CurrentTurn = table::Turn::Local;
  rig.net.NetConnIndex = play::kNetPeerSocket;
  rig.piles.Reserve[1][1] = Card(1, 3);
  rig.piles.Reserve[1][2] = Card(5, 4);
  rig.piles.ReserveCount[1] = 2;
  rig.piles.ReserveFaceDown[1] = 1;
  Move(PileControl::picPlayer, 2, Card(6, 4));
  EXPECT_EQ(play::PlaceOnSidePile(rig.services, 2, play::kOpponentOwner), MoveResult::Applied);
  EXPECT_EQ(rig.piles.ReserveCount[1], 3);
  EXPECT_EQ(rig.piles.ReserveFaceDown[1], 1);
  EXPECT_EQ(rig.view.Label(TableLabel::lblOResCnt), "3");
  EXPECT_TRUE(rig.view.cardFrameStyles.empty());
  // The peer's table is mirrored: its own piles are "picPlayer" there.
  EXPECT_EQ(rig.services.NetMove.MoveToPile, "picPlayer");
  EXPECT_EQ(rig.services.NetMove.MoveToIndex, 2);
}

TEST_F(ApplyMove, PlaceRefusesBadPilesFullPilesAndNonCardsWithoutChangingAnything) {
  TableBuilder full;
  full.Tableau(2, {Card(13, 1), Card(12, 2), Card(11, 1), Card(10, 2), Card(9, 1), Card(8, 2), Card(7, 1), Card(6, 2),
                   Card(5, 1), Card(4, 2), Card(3, 1), Card(2, 2), Card(1, 1)});
  rig.piles = full.piles();
  rig.state.CurrentTurn = table::Turn::Opponent;
  const table::PileArrays before = rig.piles;
  Move(PileControl::picOpponent, 2, Card(5, 3));

  EXPECT_EQ(play::PlaceOnTableau(rig.services, 0), MoveResult::NoSuchPile);
  EXPECT_EQ(play::PlaceOnTableau(rig.services, 9), MoveResult::NoSuchPile);
  EXPECT_EQ(play::PlaceOnCenter(rig.services, -1), MoveResult::NoSuchPile);
  EXPECT_EQ(play::PlaceOnSidePile(rig.services, 1, play::kLocalOwner), MoveResult::NoSuchPile);
  EXPECT_EQ(play::PlaceOnTableau(rig.services, 2), MoveResult::PileFull);
  for (table::CardCode bad : {0, 53, -1}) {
    rig.state.MoveCard = bad;
    EXPECT_EQ(play::PlaceOnCenter(rig.services, 1), MoveResult::NoSuchCard) << bad;
    EXPECT_EQ(play::PlaceOnSidePile(rig.services, 3, play::kOpponentOwner), MoveResult::NoSuchCard) << bad;
  }
  rig.piles.WasteCount[1] = table::kSidePileCapacity;
  rig.state.MoveCard = Card(5, 3);
  EXPECT_EQ(play::PlaceOnSidePile(rig.services, 3, play::kOpponentOwner), MoveResult::PileFull);
  rig.piles.WasteCount[1] = 0;

  EXPECT_EQ(rig.piles, before);
  EXPECT_TRUE(rig.view.paints.empty());
  EXPECT_FALSE(rig.services.findings.CardPlaced);
}

TEST_F(ApplyMove, RemovingFromAnEmptyOrNonSourcePileDoesNothing) {
  rig.piles = TableBuilder().Center(1, {Card(1, 1)}).Waste(0, {Card(4, 4)}).piles();
  rig.state.CurrentTurn = table::Turn::Local;
  const table::PileArrays before = rig.piles;
  EXPECT_EQ(play::RemoveFromSourcePile(rig.services, PileControl::picPlayer, 1), MoveResult::EmptySource);
  EXPECT_EQ(play::RemoveFromSourcePile(rig.services, PileControl::picPlayer, 2), MoveResult::EmptySource);
  EXPECT_EQ(play::RemoveFromSourcePile(rig.services, PileControl::picTableau, 5), MoveResult::EmptySource);
  EXPECT_EQ(play::RemoveFromSourcePile(rig.services, PileControl::picPlayer, 3), MoveResult::NotASource);
  EXPECT_EQ(play::RemoveFromSourcePile(rig.services, PileControl::picCenter, 1), MoveResult::NotASource);
  EXPECT_EQ(play::RemoveFromSourcePile(rig.services, PileControl::picTableau, 9), MoveResult::NoSuchPile);
  EXPECT_EQ(play::RemoveFromSourcePile(rig.services, PileControl::picOpponent, 4), MoveResult::NoSuchPile);
  EXPECT_EQ(rig.piles, before);
  EXPECT_TRUE(rig.view.paints.empty());
  EXPECT_TRUE(rig.hooks.moveRecords.empty());
  EXPECT_EQ(rig.hooks.pileCounts, 0);
}

TEST_F(ApplyMove, TableauReducedToOneCardHidesItsCountAndToNoneShowsTheEmptyPile) {
  rig.piles = TableBuilder().Tableau(3, {Card(9, 1), Card(8, 2)}).piles();
  rig.state.CurrentTurn = table::Turn::Opponent;
  EXPECT_EQ(play::RemoveFromSourcePile(rig.services, PileControl::picTableau, 3), MoveResult::Applied);
  EXPECT_EQ(rig.piles.TableauCount[3], 1);
  EXPECT_EQ(rig.piles.Tableau[3][2], 0);
  EXPECT_EQ(rig.view.tabCounts[3], "");
  EXPECT_EQ(rig.view.paints.back(), (Paint{PileControl::picTableau, 3, Card(9, 1), 0}));
  EXPECT_TRUE(rig.view.pileVisible[std::make_pair(PileControl::picTableau, 3)])
      << "the slide hid the computer's source";

  EXPECT_EQ(play::RemoveFromSourcePile(rig.services, PileControl::picTableau, 3), MoveResult::Applied);
  EXPECT_EQ(rig.piles.TableauCount[3], 0);
  ASSERT_FALSE(rig.view.empties.empty());
  EXPECT_EQ(rig.view.empties.back(), std::make_pair(PileControl::picTableau, 3));
  EXPECT_EQ(rig.hooks.pileCounts, 2);
  EXPECT_TRUE(rig.hooks.moveRecords.empty()) << "the computer's moves are not recorded";
}

TEST_F(ApplyMove, ReserveTurnsItsNextCardUpWhenItLiesFaceDown) {
  rig.piles = TableBuilder().Reserve(0, {Card(2, 1), Card(7, 3), Card(5, 2)}).Stock(0, {Card(9, 4)}).piles();
  rig.piles.ReserveFaceDown[0] = 2;
  rig.state.CurrentTurn = table::Turn::Local;
  rig.state.TempMoveNumber = 4;

  EXPECT_EQ(play::RemoveFromSourcePile(rig.services, PileControl::picPlayer, 2), MoveResult::Applied);
  EXPECT_EQ(rig.piles.ReserveCount[0], 2);
  EXPECT_EQ(rig.piles.ReserveFaceDown[0], 1);
  const std::vector<Paint> turnUp{{PileControl::picPlayer, 2, 0, 0},
                                  {PileControl::picPlayer, 2, Card(7, 3), play::kReserveTurnUpSound}};
  EXPECT_EQ(rig.view.paints, turnUp);
  EXPECT_EQ(rig.view.Label(TableLabel::lblPResCnt), "2");
  EXPECT_TRUE(rig.view.pilesEnabled) << "the piles come back after the turn-up offline";
  EXPECT_EQ(rig.hooks.moveRecords, std::vector<int>{5});
  EXPECT_EQ(rig.state.TempMoveNumber, 5);
  EXPECT_EQ(rig.hooks.pileCounts, 1);

  // A card the opponent loaded lies face up: the one under it shows at once.
  rig.view.paints.clear();
  rig.piles.Reserve[0][3] = Card(8, 3);
  rig.piles.ReserveCount[0] = 3;
  rig.piles.ReserveFaceDown[0] = 1;
  EXPECT_EQ(play::RemoveFromSourcePile(rig.services, PileControl::picPlayer, 2), MoveResult::Applied);
  EXPECT_EQ(rig.piles.ReserveFaceDown[0], 1);
  EXPECT_EQ(rig.view.paints, (std::vector<Paint>{{PileControl::picPlayer, 2, Card(7, 3), 0}}));
}

TEST_F(ApplyMove, EmptyingTheLastPileEndsTheGameBeforeAnythingIsSentRecordedOrCounted) {
  rig.piles = TableBuilder().Reserve(0, {Card(1, 1)}).piles();
  rig.state.CurrentTurn = table::Turn::Local;
  rig.net.NetConnIndex = play::kNetPeerSocket;
  EXPECT_EQ(play::RemoveFromSourcePile(rig.services, PileControl::picPlayer, 2), MoveResult::Applied);
  EXPECT_EQ(rig.hooks.gameOvers, std::vector<int>{0});
  EXPECT_FALSE(rig.view.pilesEnabled);
  EXPECT_TRUE(rig.hooks.transmitted.empty());
  EXPECT_TRUE(rig.hooks.moveRecords.empty());
  EXPECT_EQ(rig.hooks.pileCounts, 0);

  // The computer wins with its last Stock card.
  MoveRig computer;
  computer.piles = TableBuilder().Stock(1, {Card(1, 4)}).piles();
  computer.state.CurrentTurn = table::Turn::Opponent;
  EXPECT_EQ(play::RemoveFromSourcePile(computer.services, PileControl::picOpponent, 1), MoveResult::Applied);
  EXPECT_EQ(computer.hooks.gameOvers, std::vector<int>{1});
  EXPECT_EQ(computer.view.smokeMoves.size(), 1u);
}

TEST_F(ApplyMove, LastHandCardWithReserveLeftHintsTheLocalPlayerAndClearsTheComputersTurnLine) {
  rig.piles = TableBuilder().Stock(0, {Card(3, 3)}).Reserve(0, {Card(9, 1)}).piles();
  rig.state.CurrentTurn = table::Turn::Local;
  rig.state.StockTurned = true;
  EXPECT_EQ(play::RemoveFromSourcePile(rig.services, PileControl::picPlayer, 1), MoveResult::Applied);
  EXPECT_EQ(rig.view.Label(TableLabel::lblTurn), play::kHandEmptyHint);
  EXPECT_TRUE(rig.view.images[TableImage::cmdDone]);
  EXPECT_EQ(rig.view.Label(TableLabel::lblPHandCnt), "");
  EXPECT_FALSE(rig.state.StockTurned);
  EXPECT_TRUE(rig.hooks.gameOvers.empty());

  MoveRig computer;
  computer.piles = TableBuilder().Stock(1, {Card(3, 3)}).Reserve(1, {Card(9, 1)}).piles();
  computer.state.CurrentTurn = table::Turn::Opponent;
  computer.view.SetLabel(TableLabel::lblTurn, "My turn");
  EXPECT_EQ(play::RemoveFromSourcePile(computer.services, PileControl::picOpponent, 1), MoveResult::Applied);
  EXPECT_EQ(computer.view.Label(TableLabel::lblTurn), "");
}

TEST_F(ApplyMove, ComputersLastStockCardTurnsItsWasteOverUnlessItIsTheEndOfTurnDiscard) {
  rig.piles = TableBuilder().Stock(1, {Card(4, 4)}).Waste(1, {Card(10, 2), Card(11, 3)}).piles();
  rig.state.CurrentTurn = table::Turn::Opponent;
  rig.state.MoveSourceIndex = 1;
  EXPECT_EQ(play::RemoveFromSourcePile(rig.services, PileControl::picOpponent, 1), MoveResult::Applied);
  EXPECT_EQ(rig.piles.WasteCount[1], 0);
  ASSERT_EQ(rig.piles.StockCount[1], 2);
  EXPECT_EQ(rig.piles.Stock[1][2], Card(10, 2)) << "the bottom Waste card is the new Stock top";
  EXPECT_EQ(rig.view.paints.back(), (Paint{PileControl::picOpponent, 1, Card(10, 2), play::kStockTurnSound}));
  EXPECT_TRUE(rig.state.StockTurned);

  MoveRig discard;
  discard.piles = TableBuilder().Stock(1, {Card(4, 4)}).Waste(1, {Card(10, 2)}).piles();
  discard.state.CurrentTurn = table::Turn::Opponent;
  discard.state.MoveSourceIndex = play::kEndOfTurnDiscard;
  EXPECT_EQ(play::RemoveFromSourcePile(discard.services, PileControl::picOpponent, 1), MoveResult::Applied);
  EXPECT_EQ(discard.piles.StockCount[1], 0);
  EXPECT_EQ(discard.piles.WasteCount[1], 1);
}

TEST_F(ApplyMove, OnlineLocalMoveIsSentAndALostPeerStopsTheRecord) {
  rig.piles = TableBuilder().Tableau(5, {Card(9, 1), Card(8, 2)}).piles();
  rig.state.CurrentTurn = table::Turn::Local;
  rig.net.NetConnIndex = play::kNetPeerSocket;
  Move(PileControl::picTableau, 5, Card(8, 2));
  ASSERT_EQ(play::PlaceOnCenter(rig.services, 2), MoveResult::Applied);
  rig.hooks.peerStays = false;
  EXPECT_EQ(play::RemoveFromSourcePile(rig.services, PileControl::picTableau, 5), MoveResult::Applied);
  ASSERT_EQ(rig.hooks.transmitted.size(), 1u);
  EXPECT_EQ(rig.hooks.transmitted[0].MoveFromPile, "picTableau");
  EXPECT_EQ(rig.hooks.transmitted[0].MoveFromIndex, 5);
  EXPECT_EQ(rig.hooks.transmitted[0].MoveToPile, "picCenter");
  EXPECT_EQ(rig.hooks.transmitted[0].MoveToIndex, 2);
  EXPECT_FALSE(rig.view.pilesEnabled);
  EXPECT_TRUE(rig.hooks.moveRecords.empty());
  EXPECT_EQ(rig.hooks.pileCounts, 0);
}

TEST_F(ApplyMove, TutorialHoldsTheTableUntilItsNextButtonAndRecordsNothing) {
  rig.piles = TableBuilder().Tableau(1, {Card(9, 1), Card(8, 2)}).piles();
  rig.state.CurrentTurn = table::Turn::Local;
  rig.state.TutorialMode = true;
  // The learner presses Next once the button is offered.
  bool released = false;
  QTimer next;
  QObject::connect(&next, &QTimer::timeout, [&] {
    if (rig.hooks.nextTip.empty() || released) return;
    released = true;
    rig.state.TutorialContinue = true;
    rig.wait.Wake();
  });
  next.start(0);
  EXPECT_EQ(play::RemoveFromSourcePile(rig.services, PileControl::picTableau, 1), MoveResult::Applied);
  EXPECT_TRUE(released);
  EXPECT_FALSE(rig.state.TutorialContinue);
  EXPECT_EQ(rig.hooks.nextTip, std::vector<bool>{true});
  EXPECT_FALSE(rig.view.pilesEnabled);
  EXPECT_TRUE(rig.hooks.moveRecords.empty());
  EXPECT_EQ(rig.hooks.pileCounts, 1);
}

TEST_F(ApplyMove, TableReplacingCommandsAreRefusedWhileAMoveWaits) {
  rig.piles = TableBuilder().Reserve(0, {Card(2, 1), Card(5, 2)}).piles();
  rig.piles.ReserveFaceDown[0] = 1;
  rig.state.CurrentTurn = table::Turn::Local;
  bool mayReplace = true;
  QTimer::singleShot(0, [&] { mayReplace = rig.guard.MayReplaceTable(); });
  EXPECT_EQ(play::RemoveFromSourcePile(rig.services, PileControl::picPlayer, 2), MoveResult::Applied);
  EXPECT_FALSE(mayReplace);
  EXPECT_TRUE(rig.guard.MayReplaceTable());
}

}  // namespace
