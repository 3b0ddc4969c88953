#include "table/card_slide.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QEvent>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <map>

#include "platform/ui.h"
#include "platform/wait.h"
#include "support/fake_ui.h"
#include "support/temp_home.h"
#include "table/card_table.h"
#include "table/drag_drop.h"

using table::PileControl;
using table::SlidePath;

TEST(SlidePath, SameSourceAndTargetStepsRightPastTheCentreLine) {
  const auto path = SlidePath({100, 200}, {100, 200}, 70);
  ASSERT_EQ(path.size(), 36u);
  EXPECT_EQ(path.front(), QPoint(101, 200));
  EXPECT_EQ(path.back(), QPoint(136, 200));
}

TEST(SlidePath, LeftwardsWithinHalfACardMakesNoStep) { EXPECT_TRUE(SlidePath({130, 200}, {100, 200}, 70).empty()); }

TEST(SlidePath, AcrossTheTableEndsPastTheTargetCentre) {
  // The deal: the player's Stock to Tableau 8.
  const auto path = SlidePath({16, 508}, {592, 468}, 70);
  // 576 across in steps of 8 (576 / 70 = 8.2): stops once past 592 + 35.5.
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(path.back().x(), 632);
  EXPECT_EQ(path.size(), 77u);
  EXPECT_EQ(path.back().y(), 468);  // the vertical correction reached the row
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

TEST(SlidePath, FollowsTheStepsInEveryDirection) {
  using Path = std::vector<QPoint>;
  // Left and up: steps of 50 and 12 (12.5 to the even), past the centre line
  // at 135.5 before the row is reached.
  EXPECT_EQ(SlidePath({300, 200}, {100, 150}, 4), (Path{{250, 188}, {200, 176}, {150, 164}, {100, 152}}));
  // Right and down: the row is reached first, the column then overshot.
  EXPECT_EQ(SlidePath({100, 100}, {400, 130}, 3), (Path{{200, 110}, {300, 120}, {400, 130}, {500, 130}}));
  // Up: ends on the target's top, drifting 4 a step into its column.
  EXPECT_EQ(SlidePath({500, 600}, {480, 100}, 5), (Path{{496, 500}, {492, 400}, {488, 300}, {484, 200}, {480, 100}}));
  // Down: a step of 0 across becomes 1, swinging about the column; stops
  // once within half a card of the target's top.
  EXPECT_EQ(SlidePath({300, 100}, {302, 400}, 6),
            (Path{{301, 150}, {302, 200}, {303, 250}, {302, 300}, {303, 350}, {302, 400}}));
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

namespace {

// The table shown, its waits at real pace, as a player sees the slides.
class RealPaceSlide : public ::testing::Test {
 protected:
  RealPaceSlide() {
    wait.SetTimeScale(1);
    table.resize(1210, 770);
    table.SetFixedSizes();
    table.SetEmptyPilePictures();
    table.ArrangePiles();
    table.ArrangeControls();
    table.show();
    state.CurrentTurn = table::Turn::Opponent;
  }

  // The places one picture is drawn at on its way: its moves while shown.
  struct Places : QObject {
    explicit Places(QWidget* w) { w->installEventFilter(this); }
    bool eventFilter(QObject* o, QEvent* e) override {
      if (e->type() == QEvent::Move && static_cast<QWidget*>(o)->isVisible())
        at.push_back(static_cast<QWidget*>(o)->pos());
      return false;
    }
    std::vector<QPoint> at;
  };

  // Counts the drawings of one picture.
  struct Paints : QObject {
    explicit Paints(QWidget* w) { w->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* e) override {
      count += e->type() == QEvent::Paint;
      return false;
    }
    int count = 0;
  };

  table::PileArrays piles;
  table::GameState state;
  table::TableSettings settings;
  platform::WaitService wait;
  platform::FakeUi ui;
  table::CardTable table{{piles, state, settings, wait, ui, nullptr, SourceFile("Data/pictures")}};
};

}  // namespace

TEST_F(RealPaceSlide, TakesItsSpeedsTimeAndDrawsOncePerFrame) {
  settings.AnimSpeed = 270;
  table::PictureBox* stock = table.picPlayer[1];
  const QPoint home = stock->pos();
  const double budget = table::SlideSeconds(settings.AnimSpeed);
  wait.Pause(0.05);  // the table drawn before the slide
  Paints paints(stock);
  QElapsedTimer clock;
  clock.start();
  table.AnimateCard(PileControl::picPlayer, 1, 0, PileControl::picTableau, 8);
  const double seconds = static_cast<double>(clock.nsecsElapsed()) * 1e-9;
  // Never quicker than its time; a busy machine draws fewer frames and
  // may stretch it, so the time has no upper bound here.
  EXPECT_GE(seconds, budget);
  // Once per frame (a drawing per step would be some 300), and at the start
  // where the card is raised and its cover shown beneath it.
  EXPECT_LE(paints.count, static_cast<int>(std::ceil(seconds * table::kSlideFramesPerSecond)) + 4);
  EXPECT_TRUE(stock->isHidden());
  EXPECT_EQ(stock->pos(), home);
}

TEST_F(RealPaceSlide, EveryFrameDrawsTheCardFurtherOnForTheTimeItsSpeedGives) {
  // A frame passes with each look at the window events: the frames are
  // counted, whatever the machine's load.
  wait.SetTimeScale(0);
  const double rate = table.screen() ? table.screen()->refreshRate() : 0.0;
  const double frame =
      1.0 / (rate >= 1.0 ? std::min(rate, table::kSlideFramesPerSecond) : table::kSlideFramesPerSecond);
  table::PictureBox* stock = table.picPlayer[1];
  const QPoint home = stock->pos();
  std::map<int, std::size_t> frames;
  for (int speed : {2, 270, 540}) {
    SCOPED_TRACE(speed);
    settings.AnimSpeed = static_cast<std::int16_t>(speed);
    const auto path = SlidePath(home, table.picTableau[8]->pos(), speed);
    stock->show();
    Places places(stock);
    table.AnimateCard(PileControl::picPlayer, 1, 0, PileControl::picTableau, 8);
    // The card goes forward along its path, never back, to the path's end;
    // then it is hidden at home.
    ASSERT_FALSE(places.at.empty());
    auto along = path.begin();
    for (QPoint p : places.at) {
      along = std::find(along, path.end(), p);
      ASSERT_NE(along, path.end()) << p.x() << "," << p.y();
      ++along;
    }
    EXPECT_EQ(places.at.back(), path.back());
    EXPECT_TRUE(stock->isHidden());
    EXPECT_EQ(stock->pos(), home);
    frames[speed] = places.at.size();
  }
  // The fastest goes there in one frame; the default is seen at a dozen
  // places in about a fifth of a second; the slowest takes twice as long.
  EXPECT_EQ(frames[2], 1u);
  EXPECT_GE(frames[270], 10u);
  EXPECT_GE(static_cast<double>(frames[270]) * frame, 0.18);
  EXPECT_LE(static_cast<double>(frames[270]) * frame, 0.25 + frame);
  EXPECT_GE(frames[540], 2 * frames[270] - 1);
  // Each setting of the speed scale slower than the one before, from near
  // nothing to twice the default.
  EXPECT_LE(table::SlideSeconds(2), 0.02);
  for (int speed = 3; speed <= 540; ++speed)
    ASSERT_GT(table::SlideSeconds(speed), table::SlideSeconds(speed - 1)) << speed;
  EXPECT_GE(table::SlideSeconds(540), 2 * table::SlideSeconds(270));
}

TEST_F(RealPaceSlide, ACloseEndsTheSlideAtOnce) {
  wait.SetTimeScale(0);
  settings.AnimSpeed = 540;
  const QPoint home = table.picPlayer[1]->pos();
  // The window is closed while the card is on its way.
  struct CloseOnMove : QObject {
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::Move && !asked) {
        asked = true;
        QTimer::singleShot(0, this, [this] { deferred = wait->RequestClose(); });
      }
      return false;
    }
    platform::WaitService* wait = nullptr;
    bool asked = false;
    bool deferred = false;
  } close;
  close.wait = &wait;
  table.picPlayer[1]->installEventFilter(&close);
  Places places(table.picPlayer[1]);
  table.AnimateCard(PileControl::picPlayer, 1, 0, PileControl::picTableau, 8);
  // The close only set Exiting, deferred to the handler that runs the slide.
  EXPECT_TRUE(close.deferred);
  EXPECT_TRUE(wait.Exiting());
  // Of some 25 frames, the one that saw the close was the last: the card
  // went to its end at once.
  ASSERT_LE(places.at.size(), 3u);
  EXPECT_EQ(places.at.back(), SlidePath(home, table.picTableau[8]->pos(), 540).back());
  EXPECT_TRUE(table.picPlayer[1]->isHidden());
  EXPECT_EQ(table.picPlayer[1]->pos(), home);
  EXPECT_FALSE(table.Animating());
}

TEST_F(RealPaceSlide, ARefusedCardOnItsWayHomeIsASlideNoPressInterrupts) {
  wait.SetTimeScale(0);
  state.CurrentTurn = table::Turn::Local;
  table::PictureBox* reserve = table.picPlayer[2];
  table::PictureBox* other = table.picTableau[3];
  const QPoint home = reserve->pos();
  const QPoint otherHome = other->pos();
  // While the card is on its way home the player presses a Tableau pile.
  struct PressOnMove : QObject {
    bool eventFilter(QObject* o, QEvent* e) override {
      if (e->type() == QEvent::Move && static_cast<QWidget*>(o)->isVisible() && t->Dragging == 0 &&
          static_cast<QWidget*>(o)->pos() != home) {
        ++looks;
        animating = animating && t->Animating();
        t->DragStart(PileControl::picTableau, 3, 5, 5);
        started = started || t->Dragging != 0 || t->picSmoke[0]->pos() == t->picTableau[3]->pos();
      }
      return false;
    }
    table::CardTable* t = nullptr;
    QPoint home;
    int looks = 0;
    bool animating = true;
    bool started = false;
  } press;
  press.t = &table;
  press.home = home;
  table.DragStart(PileControl::picPlayer, 2, 5, 5);
  table.DragMove(PileControl::picPlayer, 2, 305, -245);
  const QPoint released = reserve->pos();
  ASSERT_NE(released, home);
  reserve->installEventFilter(&press);
  EXPECT_EQ(table.DragDrop(PileControl::picPlayer, 2), table::DropOutcome::SlidBack);
  EXPECT_GE(press.looks, 2);
  EXPECT_TRUE(press.animating) << "a relayout would run under the card";
  EXPECT_FALSE(press.started) << "the pressed pile was picked up";
  EXPECT_EQ(other->pos(), otherHome);
  EXPECT_EQ(reserve->pos(), home);
  EXPECT_FALSE(table.Animating());
}
