// The tutorial followed from its first step to its last through the real
// table and tutorial window, offscreen, on the shipped "tutorial.txt" and
// the prepared game of the shipped saved-games file: every move a step asks
// for must be legal and possible on the piles it unlocks, the computer's
// turns must run through, and nothing may get stuck. This keeps the text
// and the prepared game in step.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/started_program.h"
#include "dialogs/tutorial.h"
#include "platform/key_translator.h"
#include "play/records/saved_game_record.h"
#include "play/rules/rule_checks.h"
#include "play/window/menu_commands.h"
#include "support/fake_ui.h"
#include "table/mouse_events.h"

namespace dialogs {
namespace {

using table::PileControl;

constexpr qint64 kStuckMs = 30000;  // an action not possible for this long: the tutorial is stuck

struct Action {
  enum Kind { Next, Deal, TurnStock, Drag, Close, CloseTable, NewGameKey } kind;
  int step = 0;      // the step shown when the action is taken
  QString mentions;  // what the step's text must name
  PileControl source = PileControl::None;
  int sourceIndex = 0;
  PileControl target = PileControl::None;
  int targetIndex = 0;  // 0: the first Center pile that takes the card
};

Action Next(int step, QString mentions = {}) { return {Action::Next, step, std::move(mentions)}; }
Action Move(int step, QString mentions, PileControl source, int sourceIndex, PileControl target, int targetIndex = 0) {
  return {Action::Drag, step, std::move(mentions), source, sourceIndex, target, targetIndex};
}

class TutorialWalkThrough : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(rig.ok);
    fakeUi = rig.ui;
    program = rig.program.get();
    tutorial = std::make_unique<Tutorial>(program->TutorialParts(), &program->backgrounds());
    rig.joined.tutorial = tutorial.get();
  }

  play::FrmPlay& W() { return program->frmPlay(); }
  const table::PileArrays& P() const { return program->piles(); }
  const play::PlayState& S() const { return program->state(); }

  table::CardCode Top(PileControl pile, int i) const {
    const auto top = [](const auto& cards, int count) { return count > 0 ? cards[count] : table::CardCode{0}; };
    switch (pile) {
      case PileControl::picCenter: return top(P().Center[i], P().CenterCount[i]);
      case PileControl::picTableau: return top(P().Tableau[i], P().TableauCount[i]);
      case PileControl::picPlayer:
        return i == 1   ? top(P().Stock[0], P().StockCount[0])
               : i == 2 ? top(P().Reserve[0], P().ReserveCount[0])
                        : top(P().Waste[0], P().WasteCount[0]);
      case PileControl::picOpponent:
        return i == 2 ? top(P().Reserve[1], P().ReserveCount[1]) : top(P().Waste[1], P().WasteCount[1]);
      default: return 0;
    }
  }
  bool Legal(const Action& a, int target) const {
    const table::CardCode card = Top(a.source, a.sourceIndex);
    return card != 0 &&
           play::CheckDrop(P(), play::Drop{a.source, a.sourceIndex, card, a.target, target, Top(a.target, target)})
               .Legal();
  }
  int TargetOf(const Action& a) const {
    if (a.targetIndex != 0) return a.targetIndex;
    for (int c = 1; c <= table::kSharedPiles; ++c)
      if (Legal(a, c)) return c;
    return 0;
  }

  int SourceCount(const Action& a) const {
    if (a.source == PileControl::picTableau) return P().TableauCount[a.sourceIndex];
    return a.sourceIndex == 1 ? P().StockCount[0] : P().ReserveCount[0];
  }

  // Whether the action can be taken now; why not, in `why`.
  bool Ready(const Action& a, std::string& why) {
    FrmTip* tip = tutorial->frmTip();
    if (!tip) {
      why = "the tutorial window is gone";
      return false;
    }
    if (tip->CurrentTip() != a.step) {
      why = "the window shows step " + std::to_string(tip->CurrentTip());
      return false;
    }
    switch (a.kind) {
      case Action::Next:
        why = "Next is not offered";
        return tip->cmdNextTip[0]->isVisible() && tip->cmdNextTip[0]->isEnabled();
      case Action::Deal: why = "the Deal button is not shown"; return W().cmdDeal->isVisible();
      case Action::TurnStock:
        why = "the Stock is locked or not the learner's to turn";
        return S().CurrentTurn == table::Turn::Local && W().picPlayer[1]->isEnabled() &&
               play::CanTurnStock(P(), table::Turn::Local).Legal();
      case Action::Drag: {
        if (S().CurrentTurn != table::Turn::Local || !W().Pile(a.source, a.sourceIndex)->isEnabled()) {
          why = "the pile to move from is locked";
          return false;
        }
        const int t = TargetOf(a);
        if (t == 0 || !Legal(a, t)) {
          why = "the move the step asks for is not legal";
          return false;
        }
        if (a.target == PileControl::picTableau && !W().picTableau[t]->isEnabled()) {
          why = "the Tableau pile to move to is locked";
          return false;
        }
        // A relayout still to come would move the piles under the drag.
        why = "the table is still to be laid out";
        return !W().tmrResize.isActive();
      }
      case Action::Close:
      case Action::NewGameKey: return true;
      case Action::CloseTable: why = "the game does not wait for Next"; return tip->cmdNextTip[0]->isEnabled();
    }
    return false;
  }

  // The table with the tutorial window where it stands beside it, for a
  // person to look at: MARROWDALE_SCREENSHOT is where the pictures go, the
  // step's number added to it.
  void Screenshot(FrmTip* tip, int step) {
    const QString prefix = qEnvironmentVariable("MARROWDALE_SCREENSHOT");
    if (prefix.isEmpty()) return;
    const QString path = prefix + QString::number(step) + ".png";
    QImage shot(W().width() + tip->width() + 20, std::max(W().height(), tip->height()), QImage::Format_RGB32);
    shot.fill(Qt::gray);
    QPainter painter(&shot);
    painter.drawPixmap(0, 0, W().grab());
    const QPoint at = tip->pos() - W().pos();
    painter.drawPixmap(std::clamp(at.x(), 0, shot.width() - tip->width()),
                       std::clamp(at.y(), 0, shot.height() - tip->height()), tip->grab());
    painter.end();
    shot.save(path);
  }

  void Perform(const Action& a) {
    FrmTip* tip = tutorial->frmTip();
    if ((a.step == 4 && a.kind == Action::Next) || (a.step == 8 && a.kind == Action::Drag)) Screenshot(tip, a.step);
    if (!a.mentions.isEmpty() && !tip->lblTipText->text().contains(a.mentions))
      faults.push_back("step " + std::to_string(a.step) + " does not name " + a.mentions.toStdString());
    switch (a.kind) {
      case Action::Next:
        nextAt.push_back(tip->cmdNextTip[0]->mapToGlobal(QPoint(0, 0)));
        tip->cmdNextTip[0]->click();
        break;
      case Action::Deal: W().cmdDeal->click(); break;
      case Action::TurnStock:
        testing_support::Press(W().picPlayer[1], {10, 10});
        testing_support::Release(W().picPlayer[1], {10, 10});
        break;
      case Action::Drag: {
        // The drop that ends the turn returns only after the computer's
        // turn; the card is seen to leave its pile.
        const int before = SourceCount(a);
        testing_support::DragTo(W().Pile(a.source, a.sourceIndex), W().Pile(a.target, TargetOf(a))->pos());
        if (SourceCount(a) != before - 1)
          faults.push_back("step " + std::to_string(a.step) + ": the card did not move");
        break;
      }
      case Action::Close: tip->cmdOK->click(); break;
      case Action::NewGameKey: program->menus().KeyShortcut(platform::kVkF2, 0); break;
      case Action::CloseTable:
        closedInComputerTurn = program->guard().IsRunning(table::Activity::ComputerTurn);
        W().close();
        break;
    }
  }

  // Takes the actions one after the other from the event loop, as a person
  // would: an action may leave the game waiting inside it for the next one.
  void Run(const std::vector<Action>& script) {
    QEventLoop loop;
    size_t next = 0;
    // Card slides run in real time: an action may wait a while for one,
    // but not for ever.
    QElapsedTimer waiting;
    waiting.start();
    std::function<void()> tick = [&] {
      if (next == script.size() || !faults.empty()) {
        // On a fault the game may still wait deep inside an action: let
        // every wait go so that the test ends.
        if (!faults.empty()) program->wait().SetExiting(true);
        loop.quit();
        return;
      }
      const Action& a = script[next];
      std::string why;
      if (!Ready(a, why)) {
        if (waiting.elapsed() > kStuckMs) {
          faults.push_back("stuck before action " + std::to_string(next) + " (step " + std::to_string(a.step) +
                           "): " + why);
          program->wait().SetExiting(true);
          loop.quit();
          return;
        }
        QTimer::singleShot(1, tick);
        return;
      }
      waiting.restart();
      if (qEnvironmentVariableIsSet("TUTORIAL_TRACE")) fprintf(stderr, "action %zu step %d\n", next, a.step);
      ++next;
      // A timer, not a posted call: it also fires in the waits the action
      // may start, however deep.
      QTimer::singleShot(1, tick);
      Perform(a);
    };
    QTimer::singleShot(1, tick);
    loop.exec();
  }

  // MARROWDALE_TEST_SCREEN set: the program on the screen the test runs on
  // (a 1024 x 768 one, say), else on a wide one.
  static platform::ScreenMetrics Screen() {
    return qEnvironmentVariableIsSet("MARROWDALE_TEST_SCREEN") ? platform::ReadScreenMetrics()
                                                               : testing_support::WideScreen(1280);
  }

  ProgramRig rig{Screen()};
  platform::FakeUi* fakeUi = nullptr;
  play::Program* program = nullptr;
  std::unique_ptr<Tutorial> tutorial;
  std::vector<std::string> faults;
  std::vector<QPoint> nextAt;  // where Next stood, on the screen, at each press
  bool closedInComputerTurn = false;
};

TEST_F(TutorialWalkThrough, TheLearnerIsLedThroughThePreparedGameToTheLastStep) {
  tutorial->OpenTutorial();
  ASSERT_NE(tutorial->frmTip(), nullptr);
  EXPECT_TRUE(S().TutorialMode);
  const int steps = tutorial->frmTip()->StepCount();

  using PC = PileControl;
  const std::vector<Action> script{
      Next(1),
      {Action::Deal, 2, "Deal"},
      Next(2),                     // the deal is laid out
      Next(3, "Ace of Clubs"),     // the computer's Ace to the Center
      Next(4, "Hand card"),        // it turns its Stock card
      Next(5, "Queen of Hearts"),  // and discards it
      Move(6, "Ace of Hearts", PC::picPlayer, 2, PC::picCenter),
      Next(6),
      Move(7, "7 of Spades", PC::picPlayer, 2, PC::picTableau, 3),
      Next(7),
      Move(8, "5 of Clubs", PC::picPlayer, 2, PC::picOpponent, 2),
      Next(8),
      {Action::TurnStock, 9, "Hand"},
      Next(9),
      Move(10, "2 of Hearts", PC::picPlayer, 1, PC::picCenter),
      Next(10),
      {Action::TurnStock, 11, "Hand"},
      Next(11),
      Move(12, "King of Spades", PC::picPlayer, 1, PC::picPlayer, 3),
      Next(12),  // the turn passes to the computer
      Next(13, "Hand card"),
      Next(14, "2 of Clubs"),
      Next(15, "next Hand card"),
      Next(16, "Queen of Spades"),
      Next(17, "next Hand card"),
      Next(18, "9 of Hearts"),
      {Action::Close, 19, "Close Tutorial"},
  };
  Run(script);
  for (const std::string& f : faults) ADD_FAILURE() << f;
  EXPECT_EQ(steps, 19) << "the script follows every step of tutorial.txt";
  // Next stays under the learner's pointer from step to step, on a screen
  // the table fits.
  ASSERT_FALSE(nextAt.empty());
  if (qEnvironmentVariableIsSet("MARROWDALE_TEST_SCREEN")) {
    for (std::size_t i = 1; i < nextAt.size(); ++i)
      EXPECT_EQ(nextAt[i], nextAt[0]) << "Next moved before press " << i + 1;
  }

  // The computer's second turn ran to its end and the learner is to move.
  EXPECT_EQ(S().CurrentTurn, table::Turn::Local);
  EXPECT_EQ(S().TurnCount, 3);
  EXPECT_FALSE(S().ComputerThinking);
  EXPECT_TRUE(program->guard().MayReplaceTable());
  EXPECT_EQ(Top(PC::picPlayer, 3), 51) << "the computer loaded the Queen of Spades onto the learner's Waste";

  // Closed on the last step without a question, everything let go.
  EXPECT_EQ(tutorial->frmTip(), nullptr);
  EXPECT_TRUE(fakeUi->boxes.empty());
  EXPECT_FALSE(S().TutorialMode);
  EXPECT_TRUE(S().TutorialContinue);
  EXPECT_FALSE(W().picHand[0]->isVisible());
  EXPECT_FALSE(W().picHand[1]->isVisible());
  EXPECT_FALSE(W().MessagePanelShown());
  for (int p = 1; p <= 3; ++p) EXPECT_TRUE(W().picPlayer[p]->isEnabled());
}

}  // namespace
}  // namespace dialogs

namespace dialogs {
namespace {

TEST_F(TutorialWalkThrough, ClosingTheTableDuringAStepReleasesItAndCloses) {
  tutorial->OpenTutorial();
  // The table is closed while the computer's first move waits for Next.
  Run({Next(1), {Action::Deal, 2, "Deal"}, Next(2), Next(3), {Action::CloseTable, 4, {}}});
  for (const std::string& f : faults) ADD_FAILURE() << f;
  EXPECT_TRUE(closedInComputerTurn);
  EXPECT_TRUE(program->wait().Exiting());
  EXPECT_FALSE(W().isVisible());
  EXPECT_TRUE(program->guard().MayReplaceTable()) << "the play code unwound";
  EXPECT_FALSE(S().ComputerThinking);
  EXPECT_EQ(tutorial->frmTip(), nullptr) << "the tutorial closes with the table";
  EXPECT_FALSE(S().TutorialMode);
}

}  // namespace
}  // namespace dialogs

namespace dialogs {
namespace {

// The table after a game was dealt from it: the learner's turn, every pile
// of his open, nothing running beneath.
void ExpectPlayable(play::Program& program) {
  EXPECT_EQ(program.state().CurrentTurn, table::Turn::Local);
  EXPECT_FALSE(program.state().TutorialMode);
  EXPECT_FALSE(program.state().AbortComputerTurn);
  EXPECT_TRUE(program.guard().MayReplaceTable());
  for (int p = 1; p <= 3; ++p) EXPECT_TRUE(program.frmPlay().picPlayer[p]->isEnabled()) << "player pile " << p;
}

TEST_F(TutorialWalkThrough, NewGameBeforeItsGameLeavesTheTutorialOnlyWhenTheUserAgrees) {
  tutorial->OpenTutorial();
  ASSERT_NE(tutorial->frmTip(), nullptr);
  // Game -> New Game, answered No: the tutorial stays on its first step
  // and nothing is dealt under it.
  fakeUi->answers.push_back(platform::vbNo);
  program->menus().GameMenu(play::kCmdNewGame);
  ASSERT_FALSE(fakeUi->boxes.empty());
  EXPECT_EQ(fakeUi->boxes.back().text, kExitTutorialQuestion);
  ASSERT_NE(tutorial->frmTip(), nullptr);
  EXPECT_EQ(tutorial->frmTip()->CurrentTip(), 1);
  EXPECT_EQ(S().CurrentTurn, table::Turn::None);

  // F2, answered Yes: the tutorial closes and the game is dealt.
  program->menus().KeyShortcut(platform::kVkF2, 0);
  EXPECT_EQ(tutorial->frmTip(), nullptr);
  ExpectPlayable(*program);
  const int dealt = P().ReserveCount[0] + P().StockCount[0] + P().WasteCount[0];
  EXPECT_GT(dealt, 0);
}

TEST_F(TutorialWalkThrough, NewGameWhileTheComputerWaitsForNextEndsThatGameAndTheNextDealPlays) {
  tutorial->OpenTutorial();
  // F2 while the computer's first move waits for Next: Yes to leaving the
  // tutorial, Yes to ending the game.
  Run({Next(1), {Action::Deal, 2, "Deal"}, Next(2), Next(3), {Action::NewGameKey, 4, {}}});
  for (const std::string& f : faults) ADD_FAILURE() << f;
  ASSERT_GE(fakeUi->boxes.size(), 2u);
  EXPECT_EQ(fakeUi->boxes.front().text, kExitTutorialQuestion);
  EXPECT_EQ(fakeUi->boxes.back().text, "End this game?");
  EXPECT_EQ(tutorial->frmTip(), nullptr);
  EXPECT_EQ(S().CurrentTurn, table::Turn::None) << "the tutorial's game ended";
  EXPECT_FALSE(S().AbortComputerTurn);
  EXPECT_TRUE(program->guard().MayReplaceTable());
  ASSERT_TRUE(W().cmdDeal->isVisible());

  W().cmdDeal->click();
  ExpectPlayable(*program);
  // And F2 deals again at once.
  const auto reserve = P().Reserve;
  fakeUi->boxes.clear();
  program->menus().KeyShortcut(platform::kVkF2, 0);
  EXPECT_TRUE(fakeUi->boxes.empty());
  ExpectPlayable(*program);
  EXPECT_NE(P().Reserve, reserve) << "a new game was dealt";
}

}  // namespace
}  // namespace dialogs
