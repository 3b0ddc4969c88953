#include "play/window/frm_play.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <random>

#include "platform/ui.h"
#include "platform/wait.h"
#include "play/frm_play_rig.h"
#include "play/game/game_over.h"
#include "play/rules/rule_checks.h"
#include "play/table_builder.h"
#include "support/temp_home.h"
#include "table/drag_drop.h"
#include "table/table_rig.h"

using namespace table;
using play::FrmPlay;
using testing_support::Screen96;

namespace {

// The table window's neighbours, recording what it asks of them.
class FakeNeighbours : public testing_support::QuietNeighbours {
 public:
  void ShowLogo(bool show) override { logo.push_back(show); }
  void ShowPileCounts() override { ++pileCounts; }
  void ShowMatchPoints() override { ++matchPointShows; }
  void ShowMusicMenu() override { ++musicMenus; }
  bool MusicUnavailable() const override { return musicUnavailable; }
  bool IsMP3Playing() const override { return playing; }
  QString StopMP3() override {
    playing = false;
    return {};
  }
  void RequestStopMusic() override { stopMusic = true; }
  void KeyShortcut(int keyCode, int shift) override { keys.emplace_back(keyCode, shift); }
  bool MatchOn() const override { return matchOn; }
  int MatchPoints() const override { return matchPoints; }
  int MatchScore() const override { return 40; }
  int OppMatchScore() const override { return 70; }
  void SetMatchPoints(std::int16_t points) override { matchPoints = points; }
  void MainWindowMinimised() override { ++minimised; }

  std::vector<bool> logo;
  int pileCounts = 0, matchPointShows = 0, musicMenus = 0, minimised = 0;
  bool musicUnavailable = false, playing = true, stopMusic = false, matchOn = true;
  int matchPoints = 100;
  std::vector<std::pair<int, int>> keys;
};

class FrmPlayTest : public ::testing::Test, protected testing_support::TableRigOf<play::PlayState> {
 protected:
  explicit FrmPlayTest(platform::ScreenMetrics screen = Screen96(1280, 1024)) : screen_(screen) {
    settings.PlayerName = "Ann";
    settings.ScreenWidth = screen.WidthTwips();
    frmPlay = std::make_unique<FrmPlay>(Services(), state, net, screen, testing_support::Quietly(neighbours),
                                        [this] { return now; });
    testing_support::LayOutAsAtStartUp(*frmPlay);
  }

  play::NetState net;
  FakeNeighbours neighbours;
  double now = 5000;
  platform::ScreenMetrics screen_;
  std::unique_ptr<FrmPlay> frmPlay;
};

// Both decks as a deal leaves them: 13 Reserve cards, one card on each of
// the side's four Tableau piles, the other 35 in the Stock.
void DealBothDecks(PileArrays& p) {
  std::mt19937 rng(2024);
  for (int side = 0; side < kSides; ++side) {
    std::vector<CardCode> deck(kDeckSize);
    for (int i = 0; i < kDeckSize; ++i) deck[i] = static_cast<CardCode>(i + 1);
    std::shuffle(deck.begin(), deck.end(), rng);
    int next = 0;
    p.ReserveCount[side] = 13;
    for (int i = 1; i <= 13; ++i) p.Reserve[side][i] = deck[next++];
    const int tableau[2][4] = {{8, 7, 6, 5}, {1, 2, 3, 4}};
    for (int t : tableau[side]) {
      p.TableauCount[t] = 1;
      p.Tableau[t][1] = deck[next++];
    }
    p.StockCount[side] = static_cast<std::int16_t>(kDeckSize - next);
    for (int i = 1; next < kDeckSize; ++i) p.Stock[side][i] = deck[next++];
  }
}

QImage Face(const FrmPlay& f, CardCode c) {
  return CutFace(f.frmStdSm.Sheet(), c).convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

}  // namespace

TEST_F(FrmPlayTest, FitsTheWindowAndPlacesTheTable) {
  // 1280 x 1024: an 18765 x 11550 twip window, the table 20 right and 57 up.
  EXPECT_EQ(frmPlay->size(), QSize(1251, 770));
  EXPECT_EQ(frmPlay->TableOffsetX(), 20);
  EXPECT_EQ(frmPlay->TableOffsetY(), 57);
  EXPECT_EQ(frmPlay->picOpponent[2]->pos(), QPoint(107, 63));
  EXPECT_EQ(frmPlay->picPlayer[2]->pos(), QPoint(740, 451));
  EXPECT_EQ(frmPlay->TableBottom(), 783 - 57);
  EXPECT_EQ(frmPlay->StatusBar1->Text(play::kPanelPlayer), "Ann");
  EXPECT_EQ(frmPlay->StatusBar1->geometry().bottom(), frmPlay->height() - 1);
  // The first panel takes the width the others leave.
  int total = 0;
  for (int i = 1; i <= frmPlay->StatusBar1->PanelCount(); ++i) total += frmPlay->StatusBar1->Width(i);
  EXPECT_EQ(total, frmPlay->width());
  EXPECT_EQ(frmPlay->MusicPanelLeft, frmPlay->StatusBar1->Left(play::kPanelMusic));
}

TEST_F(FrmPlayTest, DealsBothDecksOntoTheTable) {
  DealBothDecks(piles);
  frmPlay->LayOutPiles();
  frmPlay->RedrawTable();

  EXPECT_EQ(frmPlay->picPlayer[2]->Picture(), Face(*frmPlay, piles.Reserve[0][13]));
  EXPECT_EQ(frmPlay->picOpponent[2]->Picture(), Face(*frmPlay, piles.Reserve[1][13]));
  for (int t = 1; t <= 8; ++t) {
    EXPECT_EQ(frmPlay->picTableau[t]->Picture(), Face(*frmPlay, piles.Tableau[t][1])) << t;
    EXPECT_EQ(frmPlay->picTableau[t]->pos(), ArrangePilePlaces(20, 57).picTableau[t]);
    EXPECT_FALSE(frmPlay->picTableau[t]->isHidden());
  }
  EXPECT_EQ(frmPlay->picCenter[1]->Picture(), frmPlay->EmptyPic->convertToFormat(QImage::Format_ARGB32_Premultiplied));
  EXPECT_FALSE(frmPlay->picPlayer[1]->isHidden());
  EXPECT_EQ(frmPlay->lblPResCnt->text(), "13");
  EXPECT_EQ(frmPlay->lblOHandCnt->text(), "35");
  EXPECT_EQ(piles.ReserveFaceDown[0], 12);
  EXPECT_EQ(piles.ReserveFaceDown[1], 12);
  EXPECT_FALSE(frmPlay->Dealing);

  std::vector<int> expected(13, 3);
  expected.push_back(1);
  expected.insert(expected.end(), 4, 3);
  expected.insert(expected.end(), 13, 5);
  expected.push_back(1);
  expected.insert(expected.end(), 4, 3);
  EXPECT_EQ(sounds.effects, expected);

  frmPlay->StartClock();
  now += 125;
  frmPlay->Timer1_Timer();
  frmPlay->lblTurn->setText("Your turn");
  frmPlay->ImgTurn1->show();
  frmPlay->show();
  const QImage shot = frmPlay->grab().toImage();
  const QString path = QDir(MARROWDALE_BINARY_DIR).filePath("table-dealt.png");
  ASSERT_TRUE(shot.save(path));
  EXPECT_EQ(frmPlay->StatusBar1->Text(play::kPanelElapsed), "00:02:05");
}

TEST_F(FrmPlayTest, ThePlayerPausesTheClockOnlyInHisOwnTurn) {
  state.CurrentTurn = table::Turn::Opponent;
  frmPlay->StartClock();
  now += 30;
  frmPlay->PauseTiming();
  EXPECT_FALSE(frmPlay->clock.GamePaused);

  state.CurrentTurn = table::Turn::Local;
  frmPlay->PauseTiming();
  EXPECT_TRUE(frmPlay->clock.GamePaused);
  EXPECT_FALSE(frmPlay->fraPause->isHidden());
  EXPECT_FALSE(frmPlay->Timer1.isActive());
  now += 600;
  // A click on the Elapsed panel resumes.
  frmPlay->StatusBar1_PanelClick(play::kPanelElapsed);
  EXPECT_FALSE(frmPlay->clock.GamePaused);
  EXPECT_TRUE(frmPlay->fraPause->isHidden());
  EXPECT_EQ(frmPlay->ElapsedSeconds(), 30);

  net.NetConnIndex = play::kNetPeerSocket;
  frmPlay->PauseTiming();
  EXPECT_FALSE(frmPlay->clock.GamePaused);
}

TEST_F(FrmPlayTest, ClearingOrDealingEndsAPause) {
  state.CurrentTurn = table::Turn::Local;
  frmPlay->StartClock();
  frmPlay->PauseTiming();
  ASSERT_TRUE(frmPlay->clock.GamePaused);
  frmPlay->ClearTable();
  EXPECT_FALSE(frmPlay->clock.GamePaused);
  EXPECT_EQ(frmPlay->clock.PauseStartTime, 0);
  EXPECT_TRUE(frmPlay->fraPause->isHidden());
  EXPECT_TRUE(frmPlay->StatusBar1->Text(play::kPanelElapsed).isEmpty());

  state.CurrentTurn = table::Turn::Local;
  frmPlay->StartClock();
  frmPlay->PauseTiming();
  frmPlay->StartClockAt(3600);
  EXPECT_FALSE(frmPlay->clock.GamePaused);
  EXPECT_TRUE(frmPlay->fraPause->isHidden());
  EXPECT_EQ(frmPlay->StatusBar1->Text(play::kPanelElapsed), "01:00:00");
}

TEST_F(FrmPlayTest, MinimisingDuringTheOpponentsTurnDoesNotPauseOnRestore) {
  frmPlay->show();
  state.CurrentTurn = table::Turn::Opponent;
  frmPlay->StartClock();
  frmPlay->setWindowState(Qt::WindowMinimized);
  EXPECT_EQ(neighbours.minimised, 1);
  state.CurrentTurn = table::Turn::Local;  // the computer finished while the window was down
  frmPlay->setWindowState(Qt::WindowNoState);
  EXPECT_FALSE(frmPlay->clock.GamePaused);
  EXPECT_TRUE(frmPlay->Timer1.isActive());

  // In the player's own turn the minimise pauses and the restore resumes.
  frmPlay->setWindowState(Qt::WindowMinimized);
  EXPECT_TRUE(frmPlay->clock.GamePaused);
  EXPECT_TRUE(frmPlay->fraPause->isHidden());
  frmPlay->setWindowState(Qt::WindowNoState);
  EXPECT_FALSE(frmPlay->clock.GamePaused);
}

TEST_F(FrmPlayTest, RelayoutWaitsForTheDealToEnd) {
  frmPlay->show();
  frmPlay->resize(1600, 770);
  EXPECT_TRUE(frmPlay->tmrResize.isActive());
  frmPlay->Dealing = true;
  frmPlay->tmrResize_Timer();
  EXPECT_TRUE(frmPlay->tmrResize.isActive());
  EXPECT_EQ(frmPlay->TableOffsetX(), 20);
  frmPlay->Dealing = false;
  frmPlay->tmrResize_Timer();
  EXPECT_FALSE(frmPlay->tmrResize.isActive());
  // About (1600 * 15 - 18150) / 2 = 2925 twips, 195 pixels, and a little
  // more for the window frame.
  const auto w = frmPlay->WindowPlacementTwips();
  const int expected = ComputeTableArea(w.Width, w.Height, 15, 15).TableOffsetX;
  EXPECT_NEAR(expected, 195, 5);
  EXPECT_EQ(frmPlay->TableOffsetX(), expected);
  EXPECT_EQ(frmPlay->picOpponent[2]->x(), 87 + expected);
}

TEST_F(FrmPlayTest, RelayoutWaitsForEverySlideAndAPendingOneRunsBeforeTheDeal) {
  frmPlay->show();
  const int before = frmPlay->TableOffsetX();
  frmPlay->resize(1600, 770);
  ASSERT_TRUE(frmPlay->tmrResize.isActive());
  // The resize timer ticks while a card is on its way: a refused card
  // going home, then a move's slide.
  struct TickOnMove : QObject {
    bool eventFilter(QObject* o, QEvent* e) override {
      if (e->type() == QEvent::Move && static_cast<QWidget*>(o)->isVisible() && f->Dragging == 0) {
        f->tmrResize_Timer();
        offsets.push_back(f->TableOffsetX());
        waiting = waiting && f->tmrResize.isActive();
      }
      return false;
    }
    FrmPlay* f = nullptr;
    std::vector<int> offsets;
    bool waiting = true;
  } tick;
  tick.f = frmPlay.get();
  state.CurrentTurn = table::Turn::Local;
  frmPlay->DragStart(PileControl::picPlayer, 2, 5, 5);
  frmPlay->DragMove(PileControl::picPlayer, 2, 5, -195);
  ASSERT_LT(frmPlay->FindDropTarget(PileControl::picPlayer, 2), 0);
  frmPlay->picPlayer[2]->installEventFilter(&tick);
  frmPlay->picPlayer[1]->installEventFilter(&tick);
  EXPECT_EQ(frmPlay->DragDrop(PileControl::picPlayer, 2), DropOutcome::SlidBack);
  const std::size_t home = tick.offsets.size();
  EXPECT_GE(home, 2u);
  state.CurrentTurn = table::Turn::Opponent;
  settings.AnimSpeed = 270;
  frmPlay->picPlayer[1]->show();
  frmPlay->AnimateCard(PileControl::picPlayer, 1, 0, PileControl::picTableau, 8);
  EXPECT_GT(tick.offsets.size(), home + 5);
  EXPECT_TRUE(tick.waiting);
  EXPECT_EQ(tick.offsets, std::vector<int>(tick.offsets.size(), before));

  // The relayout still pending when a deal begins is done before its first
  // card moves, not between its slides.
  tick.offsets.clear();
  DealBothDecks(piles);
  frmPlay->LayOutPiles();
  const auto w = frmPlay->WindowPlacementTwips();
  const int laidOut = ComputeTableArea(w.Width, w.Height, 15, 15).TableOffsetX;
  ASSERT_NE(laidOut, before);
  ASSERT_FALSE(tick.offsets.empty());
  EXPECT_EQ(tick.offsets, std::vector<int>(tick.offsets.size(), laidOut));
  EXPECT_FALSE(frmPlay->tmrResize.isActive());
}

TEST_F(FrmPlayTest, SmallWindowsGrowToTheMinimumSize) {
  frmPlay->resize(400, 300);
  frmPlay->tmrResize_Timer();
  EXPECT_EQ(frmPlay->size(), QSize(919, 615));  // 13785 x 9225 twips
  EXPECT_EQ(frmPlay->TableOffsetY(), 75);
  EXPECT_GE(frmPlay->lblTurn->width(), 0);
}

TEST_F(FrmPlayTest, StatusBarPanels) {
  frmPlay->StatusBar1_PanelClick(play::kPanelUndo);
  EXPECT_EQ(neighbours.keys, (std::vector<std::pair<int, int>>{{8, 0}}));
  frmPlay->StatusBar1_PanelClick(play::kPanelMusic);
  EXPECT_FALSE(neighbours.playing);
  EXPECT_TRUE(neighbours.stopMusic);

  neighbours.musicUnavailable = true;
  frmPlay->ShowMusicUnavailable("No sound output here.");
  EXPECT_EQ(frmPlay->StatusBar1->Text(play::kPanelMusic), "No music");
  EXPECT_EQ(frmPlay->StatusBar1->ToolTip(play::kPanelMusic), "No sound output here.");
  frmPlay->StatusBar1_PanelClick(play::kPanelMusic);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].title, "Music Unavailable");
  EXPECT_EQ(ui.boxes[0].text, "No sound output here.");

  // A right click on the music panel opens the music menu; the click that
  // ends it is not a Music panel click.
  neighbours.stopMusic = false;
  neighbours.musicUnavailable = false;
  frmPlay->StatusBar1_MouseDown(Qt::RightButton, frmPlay->MusicPanelLeft + 2);
  EXPECT_EQ(neighbours.musicMenus, 1);
  frmPlay->StatusBar1_PanelClick(play::kPanelMusic);
  EXPECT_FALSE(neighbours.stopMusic);
}

TEST_F(FrmPlayTest, GameOverControls) {
  frmPlay->StartClock();
  now += 42;
  frmPlay->SetImageVisible(TableImage::ImgTurn2, true);
  frmPlay->SetImageVisible(TableImage::cmdDone, false);
  frmPlay->SetImageVisible(TableImage::imgIcon, false);
  frmPlay->SetImageVisible(TableImage::cmdDeal, true);
  EXPECT_TRUE(frmPlay->cmdDone->isHidden());
  EXPECT_TRUE(frmPlay->imgIcon->isHidden());
  EXPECT_FALSE(frmPlay->cmdDeal->isHidden());
  EXPECT_FALSE(frmPlay->ImgTurn2->isHidden());

  frmPlay->SetLabelVisible(TableLabel::lblWAIT, false);
  EXPECT_TRUE(frmPlay->lblWAIT->isHidden());

  frmPlay->StopClock();
  now += 100;
  EXPECT_FALSE(frmPlay->Timer1.isActive());
  EXPECT_EQ(frmPlay->ElapsedSeconds(), 42);

  frmPlay->ShowLogo(true);
  EXPECT_EQ(neighbours.logo.back(), true);

  frmPlay->SetStatusPanelToolTip(play::kPanelMatch, "Match Points to reach");
  EXPECT_EQ(frmPlay->StatusBar1->ToolTip(play::kPanelMatch), "Match Points to reach");
  frmPlay->SetStatusPanelToolTip(play::kPanelMatch, "");
  EXPECT_EQ(frmPlay->StatusBar1->ToolTip(play::kPanelMatch), "");
}

TEST_F(FrmPlayTest, MatchPointsFromTheStatusBar) {
  const int x = frmPlay->MatchPanelLeft + 2;
  ui.QueueAnswer(platform::vbYes);
  ui.QueueInput(QString("1e300"));
  frmPlay->StatusBar1_MouseDown(Qt::RightButton, x);
  EXPECT_EQ(neighbours.matchPoints, 100);
  ui.QueueAnswer(platform::vbYes);
  ui.QueueInput(QString("61"));
  frmPlay->StatusBar1_MouseDown(Qt::RightButton, x);
  EXPECT_EQ(neighbours.matchPoints, 100);
  ui.QueueAnswer(platform::vbYes);
  ui.QueueInput(QString("150"));
  frmPlay->StatusBar1_MouseDown(Qt::RightButton, x);
  EXPECT_EQ(neighbours.matchPoints, 150);
  EXPECT_EQ(frmPlay->StatusBar1->Text(play::kPanelMatch), "Match:  150 pts");
  ASSERT_EQ(ui.prompts.size(), 3u);
  EXPECT_EQ(ui.prompts[2].prompt, "Enter Match Points:");
  EXPECT_EQ(ui.prompts[2].defaultText, "100");
  EXPECT_EQ(ui.boxes[0].text, "Change # of points to play to?");
  EXPECT_EQ(ui.boxes[0].title, "Reset Match Points");
  // The click that follows is not a panel click.
  frmPlay->StatusBar1_PanelClick(play::kPanelMatch);
  EXPECT_FALSE(frmPlay->IgnorePanelClick);

  ui.QueueAnswer(platform::vbNo);
  frmPlay->StatusBar1_MouseDown(Qt::RightButton, x);
  EXPECT_EQ(ui.prompts.size(), 3u);
  net.NetConnIndex = play::kNetPeerSocket;
  frmPlay->StatusBar1_MouseDown(Qt::RightButton, x);
  EXPECT_EQ(ui.boxes.size(), 4u);
}

TEST_F(FrmPlayTest, StoredPlacementIsRestoredOrReplaced) {
  StoredPlacement good{0, 11550, 18765, 1905, 218};
  EXPECT_TRUE(frmPlay->RestoreWindowPlacement(good));
  StoredPlacement low{0, 11550, 18765, 7680, 218};
  EXPECT_FALSE(frmPlay->RestoreWindowPlacement(low));
  // The fitted window, as whole pixels: left 217.5 twips stands at pixel 15.
  EXPECT_EQ(low, (StoredPlacement{0, 11550, 18765, 1905, 225}));
  StoredPlacement maximised{2, 0, 0, 0, 0};
  EXPECT_TRUE(frmPlay->RestoreWindowPlacement(maximised));
  EXPECT_TRUE(frmPlay->WindowMaximized);
}

namespace {

class LargeScreenTest : public FrmPlayTest {
 protected:
  LargeScreenTest() : FrmPlayTest(Screen96(3840, 2160)) {}
};

}  // namespace

TEST_F(FrmPlayTest, TheScoreAndTheRuleMessagesFitTheMessageLineAtTheDefaultSize) {
  ASSERT_EQ(settings.TextFontSize, 13);
  frmPlay->RedrawTable();
  QLabel* line = frmPlay->lblMessage;
  const QFontMetrics metrics(line->font());
  const int width = line->contentsRect().width();

  // The opponent wins with 26 cards left in the player's Stock and Waste:
  // every line of the score stays one line.
  PileArrays left;
  left.StockCount[0] = 20;
  left.WasteCount[0] = 6;
  left.ReserveCount[0] = 4;
  const QString score = play::ScoreGame(left, 1, false, false, QString()).message;
  for (const QString& text : score.split("\r\n"))
    EXPECT_LE(metrics.horizontalAdvance(text), width) << text.toStdString();

  // Every rule message, with its heading, fits the line's box.
  for (int r = 0; r <= static_cast<int>(play::RuleReason::NotToCenter); ++r) {
    const auto reason = static_cast<play::RuleReason>(r);
    QString text = play::RuleText(reason);
    if (play::HasWrongPlaceHeading(reason)) text = play::kWrongPlaceHeading + "\n" + text;
    const QRect needed = metrics.boundingRect(QRect(0, 0, width, 10000), Qt::TextWordWrap, text);
    EXPECT_LE(needed.height(), line->contentsRect().height()) << text.toStdString();
  }
}

class SmallScreenTest : public FrmPlayTest {
 protected:
  SmallScreenTest() : FrmPlayTest(Screen96(1024, 768)) {}
};

TEST_F(SmallScreenTest, TheCountersStayInsideTheWindowWithAMargin) {
  ASSERT_EQ(frmPlay->TableOffsetX(), 0);
  DealBothDecks(piles);
  for (int side = 0; side < kSides; ++side) testing_support::HandToWaste(piles, side);
  frmPlay->RedrawTable();
  // At the fitted size and at the smallest the window may take.
  for (const QSize size : {frmPlay->size(), QSize(1, 1)}) {
    frmPlay->resize(size);
    frmPlay->tmrResize_Timer();
    for (QLabel* count : {frmPlay->lblPHandCnt, frmPlay->lblPWasteCnt, frmPlay->lblPResCnt, frmPlay->lblOHandCnt,
                          frmPlay->lblOWasteCnt, frmPlay->lblOResCnt}) {
      ASSERT_FALSE(count->text().isEmpty()) << count->objectName().toStdString();
      const QRect drawn = count->geometry();
      EXPECT_GE(drawn.left(), frmPlay->lblMessage->x()) << count->objectName().toStdString();
      EXPECT_LE(drawn.right(), frmPlay->width() - frmPlay->lblMessage->x()) << count->objectName().toStdString();
    }
  }
}

TEST_F(LargeScreenTest, FitsA3840PixelScreen) {
  // 20000 x 12405 twips come to whole pixels: 19995 twips wide, so the
  // table moves 922 twips, 61 pixels, right.
  EXPECT_EQ(frmPlay->size(), QSize(1333, 827));
  EXPECT_EQ(frmPlay->TableOffsetX(), 61);
  EXPECT_EQ(frmPlay->TableOffsetY(), 0);
  const auto stored = frmPlay->SaveWindowPlacement();
  EXPECT_EQ(stored.WindowWidth, 19995);
  EXPECT_EQ(stored.WindowLeft, 18795);  // beyond no 16-bit limit here, but computed in 32 bits
  EXPECT_EQ(stored.WindowTop, 10005);
}

namespace {

// 1366 x 768 with a 26-pixel panel along the top: the work area starts
// below it.
platform::ScreenMetrics ScreenWithTopPanel() {
  platform::ScreenMetrics s = Screen96(1366, 768);
  s.availTop = 26;
  s.availHeight = 768 - 26;
  return s;
}

class WorkAreaTest : public FrmPlayTest {
 protected:
  WorkAreaTest() : FrmPlayTest(ScreenWithTopPanel()) {}
};

}  // namespace

TEST_F(WorkAreaTest, TheWindowIsFittedAndRestoredInsideTheWorkArea) {
  const QRect work(0, 26, 1366, 742);
  const auto inside = [&](const char* what) {
    const auto w = frmPlay->WindowPlacementTwips();
    const QRect frame(int(w.Left / 15), int(w.Top / 15), int(w.Width / 15), int(w.Height / 15));
    EXPECT_TRUE(work.contains(frame)) << what << ": " << frame.x() << "," << frame.y() << " " << frame.width() << "x"
                                      << frame.height();
  };
  inside("fitted");
  EXPECT_GE(frmPlay->height(), 700) << "the window takes the work area's height";
  // A placement kept from a screen without the panel reaches under it: it is
  // replaced by the fitted one.
  StoredPlacement underPanel{0, 11520, 20000, 0, 240};
  EXPECT_FALSE(frmPlay->RestoreWindowPlacement(underPanel));
  inside("restored");
  StoredPlacement clear{0, 10000, 19000, 26 * 15, 240};
  EXPECT_TRUE(frmPlay->RestoreWindowPlacement(clear));
  inside("kept");
}
