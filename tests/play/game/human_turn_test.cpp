#include "play/game/human_turn.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include "platform/sound.h"
#include "platform/ui.h"
#include "platform/wait.h"
#include "play/frm_play_rig.h"
#include "play/state/top_level_command.h"
#include "play/table_builder.h"
#include "play/window/frm_play.h"
#include "support/fake_sound_channel.h"
#include "support/temp_home.h"
#include "table/busy_guard.h"
#include "table/card_deck.h"
#include "table/mouse_events.h"
#include "table/table_rig.h"

using namespace table;
using play::HumanTurn;
using testing_support::DoubleClick;
using testing_support::DragTo;
using testing_support::MoveMouse;
using testing_support::Press;
using testing_support::Release;

namespace {

constexpr CardCode Card(int suit, int rank) { return static_cast<CardCode>((suit - 1) * 13 + rank); }

class FakePlayHooks : public play::PlayHooks {
 public:
  explicit FakePlayHooks(play::PlayState& state) : state_(state) {}
  void GameOver(int winner) override {
    gameOvers.push_back(winner);
    state_.GameEnded = true;
    state_.ComputerThinking = false;
    state_.CurrentTurn = table::Turn::None;
  }
  void ShowPileCounts() override { ++pileCounts; }
  void WriteMoveRecord(int record) override { moveRecords.push_back(record); }
  void SaveGameRecord() override { ++turnBackups; }
  bool Move_Transmit_PlayCard(const play::OnlineMove& move) override {
    sent.push_back(move);
    return true;
  }
  void EnableNextTip(bool) override {}

  std::vector<int> gameOvers, moveRecords;
  int pileCounts = 0, turnBackups = 0;
  std::vector<play::OnlineMove> sent;

 private:
  play::PlayState& state_;
};

class FakeNeighbours : public play::HumanTurnTutorial,
                       public play::OpponentTurn,
                       public play::MenuPanel,
                       public play::PileViewers {
 public:
  void PanelHide() override { ++panelHides; }
  void ViewCards(const QString& pile, int index) override { viewed.emplace_back(pile, index); }
  void ShowTableauPile(int pile) override { fanned.push_back(pile); }
  void TutorialStockTurned() override {}
  void HideTutorialHand() override {}
  void Opponent() override { ++opponentTurns; }

  int panelHides = 0, opponentTurns = 0;
  std::vector<std::pair<QString, int>> viewed;
  std::vector<int> fanned;
};

class HumanTurnTest : public ::testing::Test, protected testing_support::TableRigOf<play::PlayState> {
 protected:
  HumanTurnTest() {
    turn = std::make_unique<HumanTurn>(play::HumanTurnServices{
        moves, *frmPlay, computer, ui, channel, settings, "/data/", neighbours, neighbours, neighbours, neighbours});
    turn->Connect();
    SetUpTable();
  }

  // The local player's turn on a quiet table: no Ace within reach, no empty
  // Tableau pile, nothing of the player's that fits a Center foundation.
  void SetUpTable() {
    piles = testing_support::TableBuilder()
                .Tableau(1, {Card(2, 10), Card(1, 9)})
                .Tableau(2, {Card(2, 9)})
                .Tableau(3, {Card(1, 6)})
                .Tableau(4, {Card(4, 9), Card(3, 8)})
                .Tableau(5, {Card(4, 12)})
                .Tableau(6, {Card(4, 11)})
                .Tableau(7, {Card(3, 5)})
                .Tableau(8, {Card(3, 10)})
                .Reserve(0, {Card(3, 4), Card(2, 5)})
                .Stock(0, {Card(4, 6), Card(4, 8), Card(1, 12)})
                // The computer's piles hold enough that no turn of it ends the game.
                .Reserve(1, {Card(1, 2), Card(1, 3), Card(4, 4), Card(3, 7)})
                .Waste(1, {Card(1, 10)})
                .Stock(1, {Card(2, 12), Card(3, 12), Card(4, 2), Card(1, 13), Card(2, 13), Card(4, 13)})
                .piles();
    piles.ReserveFaceDown[0] = 0;
    piles.ReserveFaceDown[1] = 3;
    state.CurrentTurn = table::Turn::Local;
    state.TurnCount = 2;
    frmPlay->cmdDeal->hide();
    frmPlay->RedrawTable();
  }

  std::unique_ptr<play::FrmPlay> MakeTable() {
    // The turn, built after the table, answers its drops.
    play::FrmPlayNeighbours around = testing_support::Quietly(quiet);
    around.dropRules = platform::BuiltLater<table::DropRules>([this]() -> table::DropRules& { return *turn; });
    auto table = std::make_unique<play::FrmPlay>(Services(), state, net, testing_support::Screen96(1280, 1024),
                                                 std::move(around));
    testing_support::LayOutAsAtStartUp(*table);
    return table;
  }

  // Shows the table and lets the relayout that showing it asks for happen
  // first, so that it never moves a pile in the middle of a test's drag.
  void ShowTable() {
    frmPlay->show();
    wait.WaitUntil([this] { return !frmPlay->tmrResize.isActive(); });
  }

  QString Message() const { return frmPlay->lblMessage->text(); }
  QImage Face(CardCode c) const {
    return CutFace(frmPlay->frmStdSm.Sheet(), c).convertToFormat(QImage::Format_ARGB32_Premultiplied);
  }
  void Click(QWidget* w) {
    Press(w, {10, 10});
    Release(w, {10, 10});
  }

  platform::FakeSoundChannel channel;
  BusyGuard guard;
  play::NetState net;
  FakePlayHooks hooks{state};
  FakeNeighbours neighbours;
  testing_support::QuietNeighbours quiet;
  std::unique_ptr<play::FrmPlay> frmPlay = MakeTable();
  play::MoveServices moves{piles, state, *frmPlay, sounds, wait, guard, hooks, net, 0, {}};
  play::ComputerPlayer computer{moves};
  std::unique_ptr<HumanTurn> turn;
};

}  // namespace

// Runs `action` at the first pass of the event loop at which `ready` holds:
// the check is posted again at every pass, so it waits for the state the
// test needs, however slow the machine.
void WhenReady(QObject* context, std::function<bool()> ready, std::function<void()> action) {
  QMetaObject::invokeMethod(
      context,
      [context, ready, action] {
        if (ready()) {
          action();
        } else {
          WhenReady(context, ready, action);
        }
      },
      Qt::QueuedConnection);
}

// Pushes a card onto a Tableau pile and shows it.
void AddToTableau(PileArrays& piles, play::FrmPlay& table, int pile, CardCode card) {
  piles.Tableau[pile][++piles.TableauCount[pile]] = card;
  table.PaintCard(PileControl::picTableau, pile, card, 0);
}

TEST_F(HumanTurnTest, DragsCardsToEachKindOfPileAndEndsTheTurnOnTheOwnWaste) {
  AddToTableau(piles, *frmPlay, 7, Card(1, 1));
  // A Tableau Ace to an empty Center foundation.
  DragTo(frmPlay->picTableau[7], frmPlay->picCenter[2]->pos());
  EXPECT_EQ(piles.CenterCount[2], 1);
  EXPECT_EQ(piles.Center[2][1], Card(1, 1));
  EXPECT_EQ(piles.TableauCount[7], 1);
  EXPECT_EQ(frmPlay->picCenter[2]->Picture(), Face(Card(1, 1)));
  EXPECT_EQ(frmPlay->picTableau[7]->Picture(), Face(Card(3, 5)));

  // The Reserve card onto a Tableau pile, down in alternating colours.
  const QPoint reserveHome = frmPlay->picPlayer[2]->pos();
  DragTo(frmPlay->picPlayer[2], frmPlay->picTableau[3]->pos() + QPoint(12, -20));
  EXPECT_EQ(piles.TableauCount[3], 2);
  EXPECT_EQ(piles.Tableau[3][2], Card(2, 5));
  EXPECT_EQ(piles.ReserveCount[0], 1);
  EXPECT_EQ(frmPlay->lblPResCnt->text(), "1");
  EXPECT_EQ(frmPlay->picPlayer[2]->pos(), reserveHome);
  EXPECT_EQ(frmPlay->picPlayer[2]->Picture(), Face(Card(3, 4)));

  // Tableau cards onto the opponent's Reserve and Waste, in suit and sequence.
  DragTo(frmPlay->picTableau[4], frmPlay->picOpponent[2]->pos());
  EXPECT_EQ(piles.ReserveCount[1], 5);
  EXPECT_EQ(piles.Reserve[1][5], Card(3, 8));
  DragTo(frmPlay->picTableau[1], frmPlay->picOpponent[3]->pos());
  EXPECT_EQ(piles.WasteCount[1], 2);
  EXPECT_EQ(piles.Waste[1][2], Card(1, 9));
  EXPECT_EQ(Message(), "");
  EXPECT_EQ(hooks.moveRecords, (std::vector<int>{2, 3, 4, 5}));

  // The first press turns the Hand card up; dragging it onto the own Waste
  // ends the turn, the computer plays and hands the turn back.
  Click(frmPlay->picPlayer[1]);
  ASSERT_TRUE(state.StockTurned);
  DragTo(frmPlay->picPlayer[1], frmPlay->picPlayer[3]->pos());
  EXPECT_GE(piles.WasteCount[0], 1);  // the computer may load cards on it
  EXPECT_EQ(piles.Waste[0][1], Card(1, 12));
  EXPECT_EQ(piles.StockCount[0], 2);
  EXPECT_FALSE(state.EndTurnPending);
  EXPECT_EQ(state.CurrentTurn, table::Turn::Local);
  EXPECT_EQ(state.TurnCount, 3);
  EXPECT_EQ(hooks.turnBackups, 1);
  EXPECT_FALSE(state.ComputerThinking);
  EXPECT_FALSE(guard.IsRunning(Activity::Move));
  EXPECT_EQ(frmPlay->lblTurn->text(), "Your turn");
  EXPECT_FALSE(frmPlay->ImgTurn1->isHidden());
}

TEST_F(HumanTurnTest, ARefusedDropSlidesHomeWithItsMessage) {
  const PileArrays before = piles;
  PictureBox* queen = frmPlay->picTableau[5];
  const QPoint home = queen->pos();
  DragTo(queen, frmPlay->picTableau[2]->pos());
  EXPECT_EQ(queen->pos(), home);
  EXPECT_EQ(piles, before);
  EXPECT_EQ(Message(), "That card cannot be played there.\r\nTableau piles are built down in alternating colors.");
  EXPECT_EQ(channel.played, std::vector<QString>{"/data/~109.tmp"});
  EXPECT_TRUE(hooks.moveRecords.empty());

  // The next press on a pile clears the message.
  Click(frmPlay->picTableau[5]);
  EXPECT_EQ(Message(), "");
}

TEST_F(HumanTurnTest, TheFirstPressTurnsTheStockCardTheSecondDragsIt) {
  PictureBox* stock = frmPlay->picPlayer[1];
  const QPoint home = stock->pos();
  Press(stock, {10, 10});
  EXPECT_TRUE(state.StockTurned);
  EXPECT_EQ(stock->Picture(), Face(Card(1, 12)));
  EXPECT_EQ(frmPlay->Dragging, 0);
  MoveMouse(stock, {200, 10});
  Release(stock, {200, 10});
  EXPECT_EQ(stock->pos(), home);
  EXPECT_EQ(piles.StockCount[0], 3);

  Press(stock, {10, 10});
  EXPECT_EQ(frmPlay->Dragging, 1);
  EXPECT_EQ(state.MoveCard, Card(1, 12));
  MoveMouse(stock, {70, 30});
  EXPECT_EQ(stock->pos(), home + QPoint(60, 20));
  Release(stock, {10, 10});
  EXPECT_EQ(stock->pos(), home);  // no pile there: back home
  EXPECT_EQ(ui.beeps, 0);
}

TEST_F(HumanTurnTest, AnEmptyStockTakesTheWasteBack) {
  piles.StockCount[0] = 0;
  piles.WasteCount[0] = 2;
  piles.Waste[0][1] = Card(4, 3);
  piles.Waste[0][2] = Card(4, 4);
  Click(frmPlay->picPlayer[1]);
  EXPECT_EQ(piles.StockCount[0], 2);
  EXPECT_EQ(piles.WasteCount[0], 0);
  EXPECT_EQ(piles.Stock[0][2], Card(4, 3));
  EXPECT_FALSE(state.StockTurned);
}

TEST_F(HumanTurnTest, TheStopRulesHoldTheStockCard) {
  piles.TableauCount[6] = 0;  // an empty Tableau pile with Reserve cards left
  Click(frmPlay->picPlayer[1]);
  EXPECT_FALSE(state.StockTurned);
  EXPECT_EQ(Message(), "STOP! You must fill an empty Tableau with your Reserve card before playing your Stock card!");
  EXPECT_EQ(frmPlay->picPlayer[1]->Picture(),
            frmPlay->frmPic.FilePic[table::kCurrentBackPicture].convertToFormat(QImage::Format_ARGB32_Premultiplied));
}

TEST_F(HumanTurnTest, ADoubleClickNeverPlaysAFaceDownStockCard) {
  // The Hand card is an Ace, and so is a Tableau top: that Ace must go to
  // the Center before the Stock card may be turned.
  piles.Stock[0][3] = Card(2, 1);
  AddToTableau(piles, *frmPlay, 7, Card(1, 1));
  Press(frmPlay->picPlayer[1], {10, 10});
  Release(frmPlay->picPlayer[1], {10, 10});
  DoubleClick(frmPlay->picPlayer[1], {10, 10});
  Release(frmPlay->picPlayer[1], {10, 10});
  EXPECT_FALSE(state.StockTurned);
  EXPECT_EQ(piles.StockCount[0], 3);
  for (int i = 1; i <= 8; ++i) EXPECT_EQ(piles.CenterCount[i], 0) << i;
  EXPECT_EQ(Message(),
            "STOP! Tableau cards that can be played to the Center, must be moved there before turning over your "
            "Stock card!");

  // With the Tableau Ace played, the double click turns the Ace up and plays it.
  DoubleClick(frmPlay->picTableau[7], {10, 10});
  EXPECT_EQ(piles.CenterCount[1], 1);
  Press(frmPlay->picPlayer[1], {10, 10});
  Release(frmPlay->picPlayer[1], {10, 10});
  ASSERT_TRUE(state.StockTurned);
  DoubleClick(frmPlay->picPlayer[1], {10, 10});
  Release(frmPlay->picPlayer[1], {10, 10});
  EXPECT_EQ(piles.CenterCount[2], 1);
  EXPECT_EQ(piles.Center[2][1], Card(2, 1));
  EXPECT_EQ(piles.StockCount[0], 2);
  EXPECT_FALSE(frmPlay->picPlayer[1]->isHidden());
}

TEST_F(HumanTurnTest, ADoubleClickSendsTheCardToTheFirstFoundationThatTakesIt) {
  piles.CenterCount[1] = 1;
  piles.Center[1][1] = Card(4, 1);
  piles.Reserve[0][2] = Card(2, 1);  // a Reserve Ace
  DoubleClick(frmPlay->picPlayer[2], {10, 10});
  EXPECT_EQ(piles.CenterCount[2], 1);
  EXPECT_EQ(piles.Center[2][1], Card(2, 1));
  EXPECT_EQ(piles.ReserveCount[0], 1);
  EXPECT_FALSE(frmPlay->picPlayer[2]->isHidden());

  DoubleClick(frmPlay->picTableau[5], {10, 10});
  EXPECT_EQ(Message(), "That card cannot be played to the Center.");
  EXPECT_EQ(piles.TableauCount[5], 1);
}

TEST_F(HumanTurnTest, ReleasingAPressOnAnEmptyOwnPileBeeps) {
  ASSERT_EQ(piles.WasteCount[0], 0);
  Click(frmPlay->picPlayer[3]);
  EXPECT_EQ(ui.beeps, 1);
  // A card picked up and let go, or the Stock turned, is no beep.
  Click(frmPlay->picPlayer[2]);
  Click(frmPlay->picPlayer[1]);
  EXPECT_EQ(ui.beeps, 1);
}

TEST_F(HumanTurnTest, EveryPressInTheOpponentsTurnIsRefused) {
  state.CurrentTurn = table::Turn::Opponent;
  AddToTableau(piles, *frmPlay, 7, Card(1, 1));
  const PileArrays before = piles;
  DragTo(frmPlay->picTableau[7], frmPlay->picCenter[1]->pos());
  EXPECT_EQ(Message(), "It's NOT your turn!");
  frmPlay->lblMessage->clear();
  Click(frmPlay->picPlayer[2]);
  EXPECT_EQ(Message(), "It's NOT your turn!");
  DoubleClick(frmPlay->picTableau[7], {10, 10});
  EXPECT_EQ(piles, before);
  EXPECT_EQ(frmPlay->Dragging, 0);
}

TEST_F(HumanTurnTest, TheDoneButtonHandsTheTurnToTheComputerAndBack) {
  frmPlay->cmdDone->show();
  frmPlay->cmdDone->click();
  EXPECT_EQ(state.CurrentTurn, table::Turn::Local);
  EXPECT_EQ(state.TurnCount, 3);
  EXPECT_EQ(hooks.turnBackups, 1);
  EXPECT_TRUE(frmPlay->cmdDone->isHidden());
  EXPECT_EQ(frmPlay->cmdDone->text(), "End Turn");
  EXPECT_FALSE(state.ComputerThinking);
  // The computer's Hand card went to its Waste.
  EXPECT_GE(piles.WasteCount[1], 2);
  EXPECT_LE(piles.StockCount[1], 5);

  // Once the game is over the button ends nothing.
  state.GameEnded = true;
  frmPlay->cmdDone->click();
  EXPECT_EQ(state.TurnCount, 3);
}

TEST_F(HumanTurnTest, OnlineTheTurnAndTheStockTurnGoToThePeer) {
  net.NetConnIndex = play::kNetPeerSocket;
  Click(frmPlay->picPlayer[1]);
  turn->cmdDone_Click();
  ASSERT_EQ(hooks.sent.size(), 2u);
  EXPECT_EQ(hooks.sent[0], (play::OnlineMove{"picPlayer", 1, "picPlayer", 1}));
  EXPECT_EQ(hooks.sent[1], (play::OnlineMove{"picPlayer", 1, "picOpponent", 3}));
  EXPECT_EQ(neighbours.opponentTurns, 1);
  EXPECT_EQ(hooks.turnBackups, 0);  // no computer turn
}

TEST_F(HumanTurnTest, AClosingWindowDuringTheComputersTurnClosesWhenTheDoneButtonReturns) {
  ShowTable();
  WhenReady(
      frmPlay.get(), [this] { return state.ComputerThinking; }, [this] { EXPECT_TRUE(wait.RequestClose()); });
  frmPlay->cmdDone->click();
  EXPECT_TRUE(wait.Exiting());
  EXPECT_FALSE(wait.CloseRequested());
  EXPECT_FALSE(state.ComputerThinking);
  EXPECT_FALSE(frmPlay->isVisible());
}

TEST_F(HumanTurnTest, AClosingWindowDuringTheComputersTurnClosesWhenTheDropReturns) {
  ShowTable();
  Click(frmPlay->picPlayer[1]);
  bool closedDuringTheTurn = false;
  WhenReady(
      frmPlay.get(), [this] { return state.ComputerThinking; }, [&] { closedDuringTheTurn = wait.RequestClose(); });
  DragTo(frmPlay->picPlayer[1], frmPlay->picPlayer[3]->pos());
  EXPECT_TRUE(closedDuringTheTurn);
  EXPECT_EQ(state.CurrentTurn, table::Turn::Opponent);  // the turn did not come back: the program is leaving
  EXPECT_FALSE(state.ComputerThinking);
  EXPECT_FALSE(frmPlay->isVisible());
}

TEST(TopLevelCommand, InsideAWaitTheOuterCommandFinishes) {
  platform::WaitService wait;
  play::PlayState state;
  QWidget window;
  window.show();
  state.ComputerThinking = true;
  bool closedInside = true;
  wait.WaitUntil([&] {
    wait.RequestClose();
    closedInside = play::FinishTopLevelCommand(wait, state, &window);
    return true;
  });
  EXPECT_FALSE(closedInside);
  EXPECT_TRUE(state.ComputerThinking);
  EXPECT_TRUE(window.isVisible());
  EXPECT_TRUE(play::FinishTopLevelCommand(wait, state, &window));
  EXPECT_FALSE(state.ComputerThinking);
  EXPECT_FALSE(window.isVisible());
  EXPECT_FALSE(play::FinishTopLevelCommand(wait, state, &window));  // only once
}

TEST(TopLevelCommand, ACloseWhileAMessageBoxIsOpenCompletesWhenTheBoxReturns) {
  platform::WaitService wait;
  play::PlayState state;
  QWidget window;
  window.show();
  platform::QtUi ui(&window);
  ui.SetWaitService(&wait);
  bool deferred = false;
  bool shownMeanwhile = false;
  WhenReady(
      &window, [] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr; },
      [&] {
        deferred = wait.RequestClose();
        play::FinishTopLevelCommand(wait, state, &window);  // a command returning inside the box's wait
        shownMeanwhile = window.isVisible();
        qobject_cast<QMessageBox*>(QApplication::activeModalWidget())->buttons().front()->click();
      });
  {
    play::TopLevelCommand command(wait, state, &window);
    EXPECT_EQ(ui.MsgBox("Change # of points to play to?", platform::vbOKOnly, "Marrowdale"), platform::vbOK);
    EXPECT_TRUE(window.isVisible());
  }
  EXPECT_TRUE(deferred);
  EXPECT_TRUE(shownMeanwhile);
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(wait.Depth(), 0);
}

TEST_F(HumanTurnTest, RightClicksFanATableauPileOrListAPilesCards) {
  Press(frmPlay->picTableau[4], {10, 10}, Qt::RightButton);
  Release(frmPlay->picTableau[4], {10, 10}, Qt::RightButton);
  EXPECT_EQ(neighbours.fanned, std::vector<int>{4});
  EXPECT_EQ(frmPlay->Dragging, 0);

  // Pile contents only in the developer view.
  Press(frmPlay->picOpponent[2], {10, 10}, Qt::RightButton);
  Press(frmPlay->picPlayer[2], {10, 10}, Qt::RightButton);
  EXPECT_TRUE(neighbours.viewed.empty());
  state.IsDeveloperView = true;
  Press(frmPlay->picOpponent[2], {10, 10}, Qt::RightButton);
  Press(frmPlay->picPlayer[3], {10, 10}, Qt::RightButton);
  EXPECT_EQ(neighbours.viewed, (std::vector<std::pair<QString, int>>{{"picOpponent", 2}, {"picPlayer", 3}}));
}

TEST_F(HumanTurnTest, PressesWhileACardSlidesHomeLeaveEveryPileInItsPlace) {
  std::vector<QPoint> places;
  for (int i = 1; i <= 8; ++i) places.push_back(frmPlay->picTableau[i]->pos());
  for (int i = 1; i <= 3; ++i) places.push_back(frmPlay->picPlayer[i]->pos());
  PictureBox* queen = frmPlay->picTableau[5];
  const QPoint home = queen->pos();
  // Once the refused queen is on her way home, the player grabs her, and
  // the Tableau pile she was dropped on, and a card of his own.
  bool pressed = false;
  WhenReady(
      frmPlay.get(), [&] { return frmPlay->Dragging == 0 && queen->pos() != home; },
      [&] {
        pressed = true;
        Press(queen, {10, 10});
        Press(frmPlay->picTableau[2], {10, 10});
        Press(frmPlay->picPlayer[2], {10, 10});
        DoubleClick(frmPlay->picPlayer[2], {10, 10});
      });
  DragTo(queen, frmPlay->picTableau[2]->pos());
  ASSERT_TRUE(pressed);
  // ... and lets go somewhere else once the slide is over.
  for (PictureBox* box : {queen, frmPlay->picTableau[2], frmPlay->picPlayer[2]}) {
    MoveMouse(box, {150, 90});
    Release(box, {150, 90});
  }
  std::vector<QPoint> after;
  for (int i = 1; i <= 8; ++i) after.push_back(frmPlay->picTableau[i]->pos());
  for (int i = 1; i <= 3; ++i) after.push_back(frmPlay->picPlayer[i]->pos());
  EXPECT_EQ(after, places);
  EXPECT_EQ(frmPlay->Dragging, 0);
  EXPECT_EQ(piles.ReserveCount[0], 2);
  EXPECT_EQ(Message(), "That card cannot be played there.\r\nTableau piles are built down in alternating colors.");
}

TEST_F(HumanTurnTest, ADoubleClickOnTheEmptyReserveSaysThatNothingGoesToTheCenter) {
  piles.ReserveCount[0] = 0;
  frmPlay->RedrawTable();
  DoubleClick(frmPlay->picPlayer[2], {10, 10});
  EXPECT_EQ(Message(), "That card cannot be played to the Center.");
  // An empty Tableau pile is no pile to play from: nothing is said.
  frmPlay->lblMessage->clear();
  piles.TableauCount[6] = 0;
  DoubleClick(frmPlay->picTableau[6], {10, 10});
  EXPECT_EQ(Message(), "");
}

TEST_F(HumanTurnTest, ACardTheComputerLoadsOntoTheWasteShowsARedRimUntilTheTableIsLaidOut) {
  ShowTable();
  QLabel* frame = frmPlay->lblCardFrame[3];
  // A point of the rim: inside the frame label, left of the pile picture.
  const QPoint rim = frame->pos() + QPoint(2, frame->height() / 2);
  ASSERT_LT(rim.x(), frmPlay->picPlayer[3]->x());
  const auto rimColor = [&] { return frmPlay->grab().toImage().pixelColor(rim); };
  const QColor red(192, 0, 0);
  ASSERT_NE(rimColor(), red);

  state.CurrentTurn = table::Turn::Opponent;
  state.MoveSource = PileControl::picOpponent;
  state.MoveSourceIndex = 1;
  state.MoveCard = Card(2, 2);
  QColor duringThePause;
  WhenReady(
      frmPlay.get(), [] { return true; }, [&] { duringThePause = rimColor(); });
  ASSERT_EQ(play::PlaceOnSidePile(moves, 3, play::kLocalOwner), play::MoveResult::Applied);
  EXPECT_EQ(duringThePause, red);
  EXPECT_EQ(rimColor(), red);
  frmPlay->LayoutTable();
  EXPECT_NE(rimColor(), red);
}
