// The tutorial window on the real table: what a step's directive unlocks
// and points at, the deal and rules steps, the end, closing, a missing file
// and a narrow screen.
#include "dialogs/frm_tip.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "dialogs/started_program.h"
#include "dialogs/tutorial.h"
#include "play/window/menu_commands.h"
#include "table/busy_guard.h"

namespace dialogs {
namespace {

using table::PileControl;

class FrmTipTest : public ::testing::Test {
 protected:
  // A tutorial on its own folder, with these lines as its file (none: no file).
  void Open(const std::optional<QStringList>& lines, int screenWidth = 1280) {
    Prepare(lines, screenWidth);
    tutorial->OpenTutorial();
  }
  void Prepare(const std::optional<QStringList>& lines, int screenWidth = 1280) {
    rig = std::make_unique<ProgramRig>(screenWidth);
    ASSERT_TRUE(rig->ok);
    const QString app = rig->home.Path() + "/app/";
    ASSERT_TRUE(QDir().mkpath(app + "Data"));
    if (lines) {
      QFile f(app + "Data/tutorial.txt");
      ASSERT_TRUE(f.open(QIODevice::WriteOnly));
      f.write(lines->join("\r\n").toUtf8() + "\r\n");
    }
    play::TutorialServices s = rig->program->TutorialParts();
    s.AppPath = app;
    tutorial = std::make_unique<Tutorial>(s, nullptr);
    rig->joined.tutorial = tutorial.get();
    // The table's deferred relayout is done now, not in a step's pause.
    if (W().tmrResize.isActive()) W().tmrResize_Timer();
  }
  FrmTip* Tip() { return tutorial->frmTip(); }
  play::FrmPlay& W() { return rig->program->frmPlay(); }
  play::PlayState& St() { return const_cast<play::PlayState&>(rig->program->state()); }
  std::vector<bool> Unlocked() {
    std::vector<bool> v;
    for (int p = 1; p <= 3; ++p) v.push_back(W().picPlayer[p]->isEnabled());
    for (int t = 1; t <= 8; ++t) v.push_back(W().picTableau[t]->isEnabled());
    return v;
  }

  std::unique_ptr<ProgramRig> rig;
  std::unique_ptr<Tutorial> tutorial;
};

TEST(RulesPanel, ListsTheLegalMovesLineByLine) {
  EXPECT_EQ(RulesPanelText(),
            "Legal Moves:\r\n\r\n  Center Foundation:\r\n  Built in SUIT and\r\n  ASCENDING (A234..)\r\n\r\n"
            "  Tableau Piles:\r\n  Built in Alternating Colors\r\n  and DESCENDING\r\n\r\n"
            "  To opponent's Reserve\r\n  and Waste:\r\n  Built in SUIT\r\n  and ASCENDING\r\n  or DESCENDING");
}

const QStringList kLines{"Welcome.~Click Next.", "Click Deal.", "The rules.", "Last step."};

TEST_F(FrmTipTest, DirectivesUnlockOnlyTheirPilesAndPointTheHands) {
  Open(kLines);
  FrmTip* tip = Tip();
  ASSERT_NE(tip, nullptr);
  EXPECT_EQ(tip->lblTipText->text(), "Welcome.\r\n\r\nClick Next.");
  St().CurrentTurn = table::Turn::Local;

  // The learner's Stock and Tableau pile 3, the hand above the Stock.
  tip->DisplayRules(true);
  EXPECT_EQ(tip->ReadEnableInfo("Turn your Hand.<P,1,T,3>"), "Turn your Hand.");
  std::vector<bool> only(11, false);
  only[0] = true;
  only[3 + 2] = true;
  EXPECT_EQ(Unlocked(), only);
  EXPECT_FALSE(W().MessagePanelShown()) << "pile 1 hides the rules panel";
  EXPECT_TRUE(W().picHand[0]->isVisible());
  EXPECT_EQ(W().picHand[0]->pos(), W().picPlayer[1]->pos() - QPoint(0, W().picHand[0]->height()));
  EXPECT_FALSE(tip->cmdNextTip[0]->isEnabled()) << "the learner must move";
  EXPECT_TRUE(St().TutorialContinue);

  // The up hand under the opponent's Reserve, 40 pixels in.
  tip->ReadEnableInfo("Load it.<P,2,O,2>");
  EXPECT_TRUE(W().picHand[1]->isVisible());
  EXPECT_EQ(W().picHand[1]->pos(), W().picOpponent[2]->pos() + QPoint(40, table::CardHeight));
  EXPECT_TRUE(W().picPlayer[2]->isEnabled());
  EXPECT_FALSE(W().picPlayer[1]->isEnabled());

  // A rules step: the panel, the game held, Next offered after the pause.
  EXPECT_EQ(tip->ReadEnableInfo("Read the rules.<R>"), "Read the rules.");
  EXPECT_TRUE(W().MessagePanelShown());
  EXPECT_EQ(W().lblMessage->text(), RulesPanelText());
  EXPECT_FALSE(St().TutorialContinue);
  EXPECT_TRUE(tip->cmdNextTip[0]->isEnabled());

  // Unreadable directives change no pile and never leave the learner stuck.
  tip->ReadEnableInfo("Move.<P,2>");
  const std::vector<bool> before = Unlocked();
  for (const char* bad : {"Bad.<P,x>", "Bad.<P,4>", "Bad.<T,9>", "Bad.<P,1,T,", "Bad.<P,1,O,7>", "Bad.<"}) {
    tip->cmdNextTip[0]->setEnabled(false);
    EXPECT_EQ(tip->ReadEnableInfo(bad), "Bad.") << bad;
    EXPECT_EQ(Unlocked(), before) << bad;
    EXPECT_TRUE(tip->cmdNextTip[0]->isEnabled()) << bad;
  }
}

TEST_F(FrmTipTest, StepTwoOffersTheDealStepThreeTheRulesAndTheLastStepStays) {
  Open(kLines);
  FrmTip* tip = Tip();
  ASSERT_NE(tip, nullptr);
  EXPECT_FALSE(W().cmdDeal->isVisible()) << "no deal while the welcome shows";

  tip->cmdNextTip[0]->click();
  EXPECT_EQ(tip->CurrentTip(), 2);
  EXPECT_TRUE(W().cmdDeal->isVisible());
  EXPECT_TRUE(W().picHand[0]->isVisible());
  EXPECT_EQ(W().picHand[0]->pos(), W().cmdDeal->pos() - QPoint(0, W().picHand[0]->height() + 10));
  EXPECT_FALSE(tip->cmdNextTip[0]->isVisible()) << "the learner goes on with Deal";

  tip->cmdNextTip_Click(0);
  EXPECT_EQ(tip->CurrentTip(), 3);
  EXPECT_TRUE(W().MessagePanelShown());
  EXPECT_EQ(St().Message, RulesPanelText());
  EXPECT_EQ(tip->lblTipText->text(), "The rules.");

  tip->cmdNextTip_Click(0);
  tip->cmdNextTip[0]->show();
  tip->cmdNextTip_Click(0);
  EXPECT_EQ(tip->CurrentTip(), 5);
  EXPECT_FALSE(tip->cmdNextTip[0]->isVisible());
  EXPECT_EQ(tip->lblTipText->text(), "Last step.") << "the last step stays on screen";
  EXPECT_NE(Tip(), nullptr);
}

TEST_F(FrmTipTest, ClosingAsksBeforeTheLastStepOnlyAndLetsEverythingGo) {
  Open(kLines);
  rig->ui->QueueAnswer(platform::vbNo);
  Tip()->cmdOK->click();
  ASSERT_NE(Tip(), nullptr) << "No keeps the tutorial";
  ASSERT_EQ(rig->ui->boxes.size(), 1u);
  EXPECT_EQ(rig->ui->boxes[0].text, kExitTutorialQuestion);
  EXPECT_EQ(rig->ui->boxes[0].title, play::kTutorialTitle);
  EXPECT_EQ(rig->ui->boxes[0].style & platform::vbDefaultButton2, platform::vbDefaultButton2) << "No is the default";

  Tip()->cmdOK->click();  // Yes
  EXPECT_EQ(Tip(), nullptr);
  ASSERT_EQ(rig->ui->boxes.size(), 3u);
  EXPECT_EQ(rig->ui->boxes[2].text, kTutorialAgainText);
  EXPECT_FALSE(rig->program->state().TutorialMode);
  EXPECT_TRUE(rig->program->state().TutorialContinue);
  EXPECT_FALSE(W().MessagePanelShown());
  EXPECT_FALSE(W().picHand[0]->isVisible());
  EXPECT_FALSE(W().cmdDeal->isHidden()) << "the emptied table offers its Deal button again";

  // Opened again, it starts afresh; on the last step it closes unasked.
  tutorial->OpenTutorial();
  ASSERT_NE(Tip(), nullptr);
  EXPECT_EQ(Tip()->CurrentTip(), 1);
  for (int i = 0; i < 3; ++i) Tip()->cmdNextTip_Click(0);
  EXPECT_EQ(Tip()->CurrentTip(), 4);
  Tip()->cmdOK->click();
  EXPECT_EQ(Tip(), nullptr);
  EXPECT_EQ(rig->ui->boxes.size(), 3u);
}

// Closing the table while the tutorial is open: the tutorial puts the logo
// back as it closes, and leaving does not pull the picture from under it,
// so the program ends without a box and without its temporary files.
TEST_F(FrmTipTest, ClosingTheTableWhileItIsOpenLeavesWithoutABox) {
  Open(kLines);
  ASSERT_NE(Tip(), nullptr);
  const QString data = rig->program->folders().DataPath;
  ASSERT_TRUE(QFile::exists(data + "logo.tmp"));
  const std::size_t boxes = rig->ui->boxes.size();
  W().close();
  for (std::size_t i = boxes; i < rig->ui->boxes.size(); ++i)
    ADD_FAILURE() << rig->ui->boxes[i].title.toStdString() << ": " << rig->ui->boxes[i].text.toStdString();
  EXPECT_EQ(Tip(), nullptr);
  EXPECT_EQ(QDir(data).entryList({"*.tmp"}, QDir::Files | QDir::Hidden), QStringList());
}

// Opened while a game is played, the tutorial asks before it takes the
// table; No leaves the game as it was.
TEST_F(FrmTipTest, OpenedDuringAGameItAsksFirst) {
  Prepare(kLines);
  W().cmdDeal->click();
  ASSERT_NE(St().CurrentTurn, table::Turn::None);
  ASSERT_FALSE(St().GameEnded);
  const int reserve = rig->program->piles().ReserveCount[0];
  ASSERT_GT(reserve, 0);
  rig->ui->boxes.clear();
  rig->ui->QueueAnswer(platform::vbNo);
  tutorial->OpenTutorial();
  EXPECT_EQ(Tip(), nullptr);
  ASSERT_EQ(rig->ui->boxes.size(), 1u);
  EXPECT_EQ(rig->ui->boxes[0].text, kTutorialEndsGameQuestion);
  EXPECT_EQ(rig->ui->boxes[0].buttons(), platform::vbYesNo);
  EXPECT_EQ(rig->ui->boxes[0].style & platform::vbDefaultButton2, platform::vbDefaultButton2);
  EXPECT_FALSE(St().TutorialMode);
  EXPECT_NE(St().CurrentTurn, table::Turn::None);
  EXPECT_EQ(rig->program->piles().ReserveCount[0], reserve);

  tutorial->OpenTutorial();  // Yes
  ASSERT_NE(Tip(), nullptr);
  EXPECT_TRUE(St().TutorialMode);
  EXPECT_EQ(rig->program->piles().ReserveCount[0], 0);
}

TEST_F(FrmTipTest, ClosingDuringItsOwnPauseIsSafe) {
  Open(kLines);
  platform::WaitService& wait = rig->program->wait();
  wait.SetTimeScale(1);
  QPointer<FrmTip> tip = Tip();
  // The close comes at the first event the step's pause runs, however late
  // a loaded machine runs it.
  std::function<void()> closeInThePause = [&] {
    if (wait.Depth() == 0) {
      QTimer::singleShot(0, closeInThePause);
      return;
    }
    tip->close();
  };
  QTimer::singleShot(0, closeInThePause);
  tip->cmdNextTip_Click(0);  // step 2 pauses half a second
  ASSERT_TRUE(tip);
  EXPECT_TRUE(tip->Closed());
  EXPECT_FALSE(rig->program->state().TutorialMode);
  EXPECT_TRUE(rig->program->state().TutorialContinue);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(tip) << "the window lets itself go once its handler has returned";
}

TEST_F(FrmTipTest, AMissingFileIsReportedAndLeavesNoTutorial) {
  Open(std::nullopt);
  EXPECT_EQ(Tip(), nullptr);
  ASSERT_EQ(rig->ui->boxes.size(), 1u);
  EXPECT_EQ(rig->ui->boxes[0].text, kTutorialMissingText);
  EXPECT_EQ(rig->ui->boxes[0].title, kTutorialMissingTitle);
  EXPECT_EQ(rig->ui->boxes[0].icon(), platform::vbCritical);
  EXPECT_FALSE(rig->program->state().TutorialMode);
  EXPECT_TRUE(rig->program->state().TutorialContinue);
}

TEST_F(FrmTipTest, TheWindowFitsTheScreenAndGrowsWithItsText) {
  Open(kLines, 1000);
  ASSERT_NE(Tip(), nullptr);
  EXPECT_EQ(Tip()->size(), QSize(3000 / 15, 4545 / 15));
  EXPECT_EQ(Tip()->lblTipText->x(), 25 / 15);
  EXPECT_EQ(Tip()->cmdNextTip[0]->x(), 1400 / 15);

  Open(kLines, 1280);
  FrmTip* tip = Tip();
  EXPECT_EQ(tip->height(), kTipLoadHeight / 15);
  EXPECT_EQ(tip->lblTipText->height(), (2385 + kTipLoadHeight - kTipDesignHeight) / 15);
  // Wider: the text and Next follow; too narrow for both buttons: nothing moves.
  tip->resize(tip->width() + 30, tip->height());
  tip->Form_Resize();
  EXPECT_EQ(tip->lblTipText->width(), 3360 / 15 + 30);
  const QRect next = tip->cmdNextTip[0]->geometry();
  tip->resize(100, tip->height());
  tip->Form_Resize();
  EXPECT_EQ(tip->cmdNextTip[0]->geometry(), next);
}

TEST_F(FrmTipTest, OpeningIsRefusedWhileTheTableIsBusyAndRaisesAnOpenWindow) {
  rig = std::make_unique<ProgramRig>();
  ASSERT_TRUE(rig->ok);
  table::BusyGuard busy;
  play::TutorialServices s = rig->program->TutorialParts();
  play::TutorialServices held{s.state,       s.wait,          busy,        s.ui, s.frmPlay, s.AppPath,
                              s.ScreenWidth, s.TwipsPerPixel, s.LargeFonts};
  Tutorial t(held, nullptr);
  {
    auto scope = busy.Enter(table::Activity::ComputerTurn);
    t.OpenTutorial();
    EXPECT_EQ(t.frmTip(), nullptr);
    EXPECT_FALSE(rig->program->state().TutorialMode);
  }
  t.OpenTutorial();
  FrmTip* first = t.frmTip();
  ASSERT_NE(first, nullptr);
  t.OpenTutorial();
  EXPECT_EQ(t.frmTip(), first) << "one window";
}

}  // namespace
}  // namespace dialogs
