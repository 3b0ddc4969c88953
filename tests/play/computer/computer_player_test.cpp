#include "play/computer/computer_player.h"

#include <QTimer>
#include <algorithm>
#include <gtest/gtest.h>

#include "play/move_rig.h"
#include "play/rules/rule_checks.h"
#include "play/table_builder.h"

namespace {

using play::TurnOutcome;
using table::PileControl;
using table::TableImage;
using table::TableLabel;
using testing_support::Card;
using testing_support::FakeTableView;
using testing_support::MoveRig;
using testing_support::TableBuilder;

using Slide = FakeTableView::Slide;
constexpr PileControl kOpp = PileControl::picOpponent;
constexpr PileControl kTab = PileControl::picTableau;
constexpr PileControl kCen = PileControl::picCenter;
constexpr PileControl kPlayer = PileControl::picPlayer;

// A table on which the computer finds nothing to do: Kings on every Tableau
// pile, a Reserve Ten of suit 4 and a Hand Nine of suit 2 that fit nowhere,
// and the human's Reserve and Waste empty.
TableBuilder Quiet() {
  TableBuilder b;
  b.FullTableau().Reserve(1, {Card(10, 4)}).Stock(1, {Card(7, 3), Card(9, 2)}).Stock(0, {Card(3, 3)});
  return b;
}

class ComputerTurn : public ::testing::Test {
 protected:
  ComputerTurn() {
    rig.state.CurrentTurn = table::Turn::Opponent;
    rig.state.TurnCount = 2;
  }
  void Table(const TableBuilder& b) { rig.piles = b.piles(); }
  play::TurnReport Turn() { return player.ComputerTurn(); }
  const std::vector<Slide>& slides() const { return rig.view.slides; }

  MoveRig rig;
  play::ComputerPlayer player{rig.services};
};

TEST_F(ComputerTurn, WithNoMoveTheHandCardIsDiscardedAndTheTurnHandedBack) {
  Table(Quiet());
  const play::TurnReport report = Turn();
  EXPECT_EQ(report.outcome, TurnOutcome::HandedBack);
  EXPECT_EQ(report.moves, 0);
  EXPECT_TRUE(slides().empty()) << "the discard is not animated";
  EXPECT_EQ(rig.piles.WasteCount[1], 1);
  EXPECT_EQ(rig.piles.Waste[1][1], Card(9, 2));
  EXPECT_EQ(rig.piles.StockCount[1], 1);
  EXPECT_EQ(rig.state.CurrentTurn, table::Turn::Local);
  EXPECT_EQ(rig.state.TurnCount, 3);
  EXPECT_FALSE(rig.state.ComputerThinking);
  EXPECT_EQ(rig.sfx.effects.back(), play::kYourTurnEffect);
  EXPECT_EQ(rig.view.Label(TableLabel::lblTurn), play::kYourTurnLine);
  EXPECT_TRUE(rig.view.images[TableImage::ImgTurn1]);
  EXPECT_FALSE(rig.view.images[TableImage::ImgTurn2]);
  EXPECT_EQ(rig.hooks.backups, 1);
  EXPECT_EQ(rig.hooks.moveRecords, std::vector<int>{1});
  EXPECT_EQ(rig.state.TempMoveNumber, 1);

  // A human without Hand or Waste cards is told to end his turn with Done.
  MoveRig empty;
  empty.piles = Quiet().Stock(0, {}).piles();
  empty.state.CurrentTurn = table::Turn::Opponent;
  play::ComputerPlayer(empty.services).ComputerTurn();
  EXPECT_EQ(empty.view.Label(TableLabel::lblTurn), play::kHandEmptyHint);
}

TEST_F(ComputerTurn, AnEmptyStockIsTurnedOverFromTheWasteFirst) {
  Table(Quiet().Stock(1, {}).Waste(1, {Card(9, 2), Card(7, 3)}));
  Turn();
  EXPECT_EQ(rig.sfx.effects.front(), 6) << "the recycle sound";
  // The Waste's top became the Stock's bottom; the new Hand card is discarded.
  EXPECT_EQ(rig.piles.StockCount[1], 1);
  EXPECT_EQ(rig.piles.Stock[1][1], Card(7, 3));
  EXPECT_EQ(rig.piles.WasteCount[1], 1);
  EXPECT_EQ(rig.piles.Waste[1][1], Card(9, 2));
}

TEST_F(ComputerTurn, OnItsFirstTurnTheTableauGoesToTheCenterBeforeTheReserve) {
  const TableBuilder table = Quiet().Tableau(3, {Card(2, 1), Card(1, 2)}).Reserve(1, {Card(10, 4), Card(1, 4)});
  Table(table);
  rig.state.TurnCount = 1;
  Turn();
  ASSERT_GE(slides().size(), 2u);
  EXPECT_EQ(slides()[0], (Slide{kTab, 3, Card(1, 2), kCen, 1}));
  EXPECT_EQ(slides()[1], (Slide{kOpp, 2, Card(1, 4), kCen, 2}));

  MoveRig later;
  later.piles = table.piles();
  later.state.CurrentTurn = table::Turn::Opponent;
  later.state.TurnCount = 2;
  play::ComputerPlayer(later.services).ComputerTurn();
  ASSERT_GE(later.view.slides.size(), 2u);
  EXPECT_EQ(later.view.slides[0], (Slide{kOpp, 2, Card(1, 4), kCen, 1}));
  EXPECT_EQ(later.view.slides[1], (Slide{kTab, 3, Card(1, 2), kCen, 2}));
}

TEST_F(ComputerTurn, EachReserveCardToTheCenterIsFollowedByOneTableauCard) {
  Table(Quiet().Tableau(1, {Card(1, 1)}).Tableau(2, {Card(2, 1)}).Reserve(1, {Card(5, 1), Card(2, 2), Card(1, 2)}));
  Turn();
  ASSERT_GE(slides().size(), 5u);
  EXPECT_EQ(slides()[0], (Slide{kOpp, 2, Card(1, 2), kCen, 1}));
  EXPECT_EQ(slides()[1], (Slide{kTab, 1, Card(1, 1), kCen, 2}));
  EXPECT_EQ(slides()[2], (Slide{kOpp, 2, Card(2, 2), kCen, 1}));
  EXPECT_EQ(slides()[3], (Slide{kTab, 2, Card(2, 1), kCen, 2}));
  // Only now, with nothing of it for the Center, the Reserve fills a space.
  EXPECT_EQ(slides()[4], (Slide{kOpp, 2, Card(5, 1), kTab, 1}));
}

TEST_F(ComputerTurn, AHandAceGoesToTheFirstEmptyFoundationAndTheNextHandCardFollows) {
  Table(Quiet().Center(1, {Card(1, 1)}).Stock(1, {Card(9, 3), Card(2, 2), Card(1, 2)}));
  Turn();
  ASSERT_GE(slides().size(), 2u);
  EXPECT_EQ(slides()[0], (Slide{kOpp, 1, Card(1, 2), kCen, 2}));
  EXPECT_EQ(slides()[1], (Slide{kOpp, 1, Card(2, 2), kCen, 2}));
  const FakeTableView::Paint turnedUp{kOpp, 1, Card(2, 2), play::kStockTurnSound};
  EXPECT_NE(std::find(rig.view.paints.begin(), rig.view.paints.end(), turnedUp), rig.view.paints.end());
}

TEST_F(ComputerTurn, OfTwoIdenticalTableauCardsForTheCenterTheShorterPileGives) {
  Table(Quiet().Center(1, {Card(1, 1)}).Tableau(2, {Card(3, 2), Card(2, 1)}).Tableau(5, {Card(2, 1)}));
  Turn();
  ASSERT_GE(slides().size(), 2u);
  EXPECT_EQ(slides()[0], (Slide{kTab, 5, Card(2, 1), kCen, 1}));
  EXPECT_EQ(slides()[1], (Slide{kOpp, 2, Card(10, 4), kTab, 5})) << "the space is filled from the Reserve";
}

TEST_F(ComputerTurn, AOneCardPileMergesBeforeTheHandCardPlaysToTheTableau) {
  Table(Quiet().Tableau(1, {Card(5, 2)}).Tableau(3, {Card(7, 2), Card(6, 4)}).Stock(1, {Card(7, 3), Card(5, 3)}));
  Turn();
  ASSERT_GE(slides().size(), 2u);
  EXPECT_EQ(slides()[0], (Slide{kTab, 1, Card(5, 2), kTab, 3}));
  EXPECT_EQ(slides()[1], (Slide{kOpp, 2, Card(10, 4), kTab, 1}));
}

TEST_F(ComputerTurn, TheHandCardGoesToTheTableauBeforeTheReserveCard) {
  Table(Quiet()
            .Tableau(3, {Card(7, 2), Card(6, 4)})
            .Tableau(5, {Card(7, 3), Card(6, 1)})
            .Stock(1, {Card(9, 2), Card(5, 3)})
            .Reserve(1, {Card(10, 4), Card(5, 2)}));
  Turn();
  ASSERT_GE(slides().size(), 2u);
  EXPECT_EQ(slides()[0], (Slide{kOpp, 1, Card(5, 3), kTab, 3}));
  EXPECT_EQ(slides()[1], (Slide{kOpp, 2, Card(5, 2), kTab, 5}));
}

TEST_F(ComputerTurn, ASpaceIsFilledFromTheReserveButNeverWithACardForTheCenter) {
  Table(Quiet().Tableau(4, {}).Reserve(1, {Card(10, 4), Card(1, 2)}));
  EXPECT_FALSE(player.FillTableau(1));
  EXPECT_TRUE(slides().empty());

  Turn();
  ASSERT_GE(slides().size(), 2u);
  EXPECT_EQ(slides()[0], (Slide{kOpp, 2, Card(1, 2), kCen, 1}));
  EXPECT_EQ(slides()[1], (Slide{kOpp, 2, Card(10, 4), kTab, 4}));
}

TEST_F(ComputerTurn, WithTheReserveEmptyTheHandCardIsTurnedUpAndFillsTheSpace) {
  Table(Quiet().Tableau(4, {}).Reserve(1, {}));
  rig.services.findings.TableauMoveMemory[2] = 6;
  EXPECT_TRUE(player.FillTableau(1));
  EXPECT_EQ(rig.view.paints.front(), (FakeTableView::Paint{kOpp, 1, Card(9, 2), play::kStockTurnSound}));
  ASSERT_EQ(slides().size(), 1u);
  EXPECT_EQ(slides()[0], (Slide{kOpp, 1, Card(9, 2), kTab, 4}));
  EXPECT_EQ(rig.services.findings.TableauMoveMemory[2], 0);
}

TEST_F(ComputerTurn, NothingFillsASpaceWhenStockAndReserveAreEmpty) {
  Table(Quiet().Tableau(4, {}).Reserve(1, {}).Stock(1, {}).Waste(1, {Card(4, 4)}));
  rig.state.StockTurned = false;
  EXPECT_FALSE(player.FillTableau(1));
  EXPECT_TRUE(slides().empty());
  EXPECT_FALSE(rig.services.findings.CardPlaced);

  // The turn with a space and nothing to fill it ends instead of looping.
  MoveRig bare;
  bare.piles = Quiet().Tableau(4, {}).Reserve(1, {}).Stock(1, {}).piles();
  bare.state.CurrentTurn = table::Turn::Opponent;
  const play::TurnReport report = play::ComputerPlayer(bare.services).ComputerTurn();
  EXPECT_EQ(report.outcome, TurnOutcome::HandedBack);
  EXPECT_EQ(report.passes, 1);
}

TEST_F(ComputerTurn, LoadsTheHumansWasteBeforeHisReserveAndTheHandCardBeforeTheReserve) {
  Table(Quiet()
            .Waste(0, {Card(8, 2)})
            .Reserve(0, {Card(8, 2)})
            .Stock(1, {Card(7, 3), Card(9, 2)})
            .Reserve(1, {Card(10, 4), Card(7, 2)}));
  Turn();
  ASSERT_GE(slides().size(), 2u);
  EXPECT_EQ(slides()[0], (Slide{kOpp, 1, Card(9, 2), kPlayer, 3}));
  EXPECT_EQ(slides()[1], (Slide{kOpp, 2, Card(7, 2), kPlayer, 2}));
  EXPECT_EQ(rig.view.cardFrameStyles.at(3), play::kFrameTransparent) << "the computer's own load is not left framed";
  EXPECT_EQ(rig.view.cardFrameStyles.at(2), play::kFrameTransparent);
  EXPECT_EQ(rig.piles.Waste[0][2], Card(9, 2));
  EXPECT_EQ(rig.piles.Reserve[0][2], Card(7, 2));
}

TEST_F(ComputerTurn, ATableauCardIsNotGivenAwayWhenTheCardUnderItCouldBePaidBack) {
  // The Seven of suit 2 fits the human's Waste, but the Eight of suit 1 under
  // it could then be loaded onto the computer's Reserve Nine of suit 1.
  const TableBuilder risky = Quiet()
                                 .Waste(0, {Card(8, 2)})
                                 .Reserve(0, {Card(3, 2)})
                                 .Tableau(2, {Card(8, 1), Card(7, 2)})
                                 .Reserve(1, {Card(9, 1)})
                                 .Stock(1, {Card(7, 3), Card(3, 3)});
  Table(risky);
  EXPECT_TRUE(player.CheckForPayBack(2, play::kHumanWaste));
  EXPECT_FALSE(player.MoveCheckTABtoPlayersCards());
  Turn();
  for (const Slide& s : slides()) EXPECT_NE(s.target, kPlayer);

  // The computer could put the exposed card on a foundation itself.
  MoveRig center;
  center.piles = TableBuilder(risky)
                     .Center(1, {Card(1, 1), Card(2, 1), Card(3, 1), Card(4, 1), Card(5, 1), Card(6, 1), Card(7, 1)})
                     .piles();
  center.state.CurrentTurn = table::Turn::Opponent;
  center.state.TurnCount = 2;
  play::ComputerPlayer(center.services).ComputerTurn();
  ASSERT_FALSE(center.view.slides.empty());
  EXPECT_EQ(center.view.slides[0], (Slide{kTab, 2, Card(7, 2), kPlayer, 3}));

  // Or load it onto the human's other pile; the target stays the Waste.
  MoveRig other;
  other.piles = TableBuilder(risky).Reserve(0, {Card(9, 1)}).piles();
  play::ComputerPlayer otherPlayer(other.services);
  other.services.findings.PlayerPileTarget = play::kHumanWaste;
  EXPECT_FALSE(otherPlayer.CheckForPayBack(2, play::kHumanWaste));
  EXPECT_EQ(other.services.findings.PlayerPileTarget, play::kHumanWaste);
}

TEST_F(ComputerTurn, TheShorterOfTwoPilesThatFitTheHumansPileGivesItsCard) {
  Table(Quiet()
            .Waste(0, {Card(8, 2)})
            .Tableau(2, {Card(10, 1), Card(9, 2)})
            .Tableau(6, {Card(9, 2)})
            .Stock(1, {Card(7, 3), Card(3, 3)}));
  Turn();
  ASSERT_GE(slides().size(), 2u);
  EXPECT_EQ(slides()[0], (Slide{kTab, 6, Card(9, 2), kPlayer, 3}));
  EXPECT_EQ(slides()[1], (Slide{kOpp, 2, Card(10, 4), kTab, 6}));
}

TEST_F(ComputerTurn, WithNothingElseATableauCardMovesOntoAnotherPileAndNotBackForever) {
  Table(Quiet().Tableau(2, {Card(8, 2), Card(7, 1), Card(6, 2)}).Tableau(5, {Card(8, 3), Card(7, 4)}));
  const play::TurnReport report = Turn();
  ASSERT_FALSE(slides().empty());
  EXPECT_EQ(slides()[0], (Slide{kTab, 2, Card(6, 2), kTab, 5}));
  EXPECT_EQ(report.outcome, TurnOutcome::HandedBack);
  EXPECT_LE(report.moves, 2);
}

TEST_F(ComputerTurn, EndingTheGameFromTheMenuClearsTheTableAtTheEndOfThePass) {
  Table(Quiet());
  rig.state.AbortComputerTurn = true;
  const play::TurnReport report = Turn();
  EXPECT_EQ(report.outcome, TurnOutcome::Aborted);
  EXPECT_FALSE(rig.state.AbortComputerTurn);
  EXPECT_EQ(rig.state.CurrentTurn, table::Turn::None);
  EXPECT_FALSE(rig.state.ComputerThinking);
  EXPECT_EQ(rig.view.tableClears, 1);
  EXPECT_TRUE(rig.view.images[TableImage::cmdDeal]);
  EXPECT_TRUE(rig.sfx.effects.empty()) << "the turn is not handed back";
}

TEST_F(ComputerTurn, TheWinningMoveEndsTheTurnAtOnce) {
  Table(Quiet().Reserve(1, {Card(1, 2)}).Stock(1, {}));
  const play::TurnReport report = Turn();
  EXPECT_EQ(report.outcome, TurnOutcome::GameEnded);
  EXPECT_EQ(slides().size(), 1u);
  EXPECT_EQ(rig.hooks.gameOvers, std::vector<int>{1});
  EXPECT_EQ(rig.state.TurnCount, 2);
  EXPECT_EQ(rig.hooks.backups, 0);
  EXPECT_TRUE(rig.sfx.effects.empty());
}

TEST_F(ComputerTurn, NothingIsPlayedInAnEndedGame) {
  Table(Quiet().Tableau(4, {Card(1, 2)}).Stock(1, {}).Waste(1, {Card(5, 4)}));
  rig.state.TurnCount = 1;
  rig.state.GameEnded = true;
  const table::PileArrays before = rig.piles;
  EXPECT_EQ(Turn().outcome, TurnOutcome::GameEnded);
  EXPECT_EQ(rig.piles, before);
  EXPECT_TRUE(rig.sfx.effects.empty());
}

TEST_F(ComputerTurn, AGameEndedDuringAMoveStopsEverySearchStepBeforeItsFill) {
  // Tableau to Center would fill the emptied pile afterwards.
  Table(Quiet().Tableau(4, {Card(1, 2)}));
  rig.hooks.afterMove = [this] { rig.state.GameEnded = true; };
  EXPECT_TRUE(player.CheckTableauToCenter());
  EXPECT_EQ(slides().size(), 1u);

  // So would a Tableau to Tableau merge.
  MoveRig merge;
  merge.piles = Quiet().Tableau(1, {Card(5, 2)}).Tableau(3, {Card(7, 2), Card(6, 4)}).piles();
  merge.state.CurrentTurn = table::Turn::Opponent;
  merge.hooks.afterMove = [&merge] { merge.state.GameEnded = true; };
  EXPECT_TRUE(play::ComputerPlayer(merge.services).MoveCheckTABtoTAB());
  EXPECT_EQ(merge.view.slides.size(), 1u);

  // And the whole turn returns after that one move.
  MoveRig turn;
  turn.piles = Quiet().Tableau(4, {Card(1, 2)}).piles();
  turn.state.CurrentTurn = table::Turn::Opponent;
  turn.hooks.afterMove = [&turn] { turn.state.GameEnded = true; };
  EXPECT_EQ(play::ComputerPlayer(turn.services).ComputerTurn().outcome, TurnOutcome::GameEnded);
  EXPECT_EQ(turn.view.slides.size(), 1u);
}

TEST_F(ComputerTurn, ClosingTheWindowDuringAPauseEndsTheTurn) {
  Table(Quiet().Tableau(4, {Card(1, 2)}));
  rig.services.ThinkDelay = 0.05f;
  QTimer::singleShot(0, [this] { rig.wait.SetExiting(true); });
  const play::TurnReport report = Turn();
  EXPECT_EQ(report.outcome, TurnOutcome::Exiting);
  EXPECT_TRUE(slides().empty());
  EXPECT_TRUE(rig.sfx.effects.empty());

  // Inside FillTableau: closing while the Hand card is turned up fills nothing.
  MoveRig fill;
  fill.piles = Quiet().Tableau(4, {}).Reserve(1, {}).piles();
  fill.state.CurrentTurn = table::Turn::Opponent;
  fill.services.ThinkDelay = 0.05f;
  QTimer::singleShot(0, [&fill] { fill.wait.SetExiting(true); });
  EXPECT_FALSE(play::ComputerPlayer(fill.services).FillTableau(1));
  EXPECT_TRUE(fill.view.slides.empty());
}

TEST_F(ComputerTurn, ATurnThatWouldNeverEndIsHandedBackAfterTheMoveCap) {
  // Undoing every move behind the computer's back keeps the same move on
  // offer for ever.
  Table(Quiet().Reserve(1, {Card(10, 4), Card(1, 2)}));
  const table::PileArrays start = rig.piles;
  rig.hooks.afterMove = [this, &start] { rig.piles = start; };
  const play::TurnReport report = Turn();
  EXPECT_EQ(report.outcome, TurnOutcome::MoveCapReached);
  EXPECT_EQ(report.moves, play::kMaxMovesPerTurn);
  EXPECT_EQ(rig.state.CurrentTurn, table::Turn::Local);
}

TEST_F(ComputerTurn, TableReplacingCommandsAreRefusedWhileTheTurnPauses) {
  Table(Quiet().Tableau(4, {Card(1, 2)}));
  rig.services.ThinkDelay = 0.05f;
  std::vector<bool> mayReplace;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] { mayReplace.push_back(rig.guard.MayReplaceTable()); });
  poll.start(0);
  Turn();
  poll.stop();
  ASSERT_FALSE(mayReplace.empty());
  for (bool may : mayReplace) EXPECT_FALSE(may);
  EXPECT_TRUE(rig.guard.MayReplaceTable());
}

}  // namespace
