// Reading the tutorial's steps and its file.
#include "dialogs/tutorial_steps.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <vector>

#include "dialogs/frm_tip.h"
#include "table/table_geometry.h"
#include "table/window_fitting.h"

namespace dialogs {
namespace {

TEST(TutorialSteps, DirectivesAreReadByPosition) {
  struct Case {
    const char* line;
    TutorialStep step;
  };
  const TipTarget stock{TipPile::Player, 1};
  const TipTarget reserve{TipPile::Player, 2};
  const Case cases[] = {
      {"Plain text, whole.", {"Plain text, whole.", TipKind::Plain, {}, {}}},
      {"One.~Two.", {"One.\r\n\r\nTwo.", TipKind::Plain, {}, {}}},
      {"", {"", TipKind::Plain, {}, {}}},
      {"Turn it.<P,1,T,3>", {"Turn it.", TipKind::Piles, stock, TipTarget{TipPile::Tableau, 3}}},
      {"Load.<P,2,O,2>", {"Load.", TipKind::Piles, reserve, TipTarget{TipPile::Opponent, 2}}},
      {"No second.<P,2>", {"No second.", TipKind::Piles, reserve, std::nullopt}},
      {"Other second.<P,2,X,5>", {"Other second.", TipKind::Piles, reserve, std::nullopt}},
      {"Tableau.<T,8>", {"Tableau.", TipKind::Piles, TipTarget{TipPile::Tableau, 8}, std::nullopt}},
      {"Rules.<R>", {"Rules.", TipKind::Rules, {}, {}}},
      {"Rules.<X,9,T,1>", {"Rules.", TipKind::Rules, {}, {}}},
      // Unreadable: a missing letter or digit, or a pile the table lacks.
      {"Bad.<", {"Bad.", TipKind::Malformed, {}, {}}},
      {"Bad.<P", {"Bad.", TipKind::Malformed, {}, {}}},
      {"Bad.<P,x>", {"Bad.", TipKind::Malformed, {}, {}}},
      {"Bad.<P,0>", {"Bad.", TipKind::Malformed, {}, {}}},
      {"Bad.<P,4>", {"Bad.", TipKind::Malformed, {}, {}}},
      {"Bad.<T,9>", {"Bad.", TipKind::Malformed, {}, {}}},
      {"Bad.<P,1,T,", {"Bad.", TipKind::Malformed, {}, {}}},
      {"Bad.<P,1,T,9>", {"Bad.", TipKind::Malformed, {}, {}}},
      {"Bad.<P,1,O,4>", {"Bad.", TipKind::Malformed, {}, {}}},
  };
  for (const Case& c : cases) EXPECT_EQ(ReadTutorialStep(QString::fromLatin1(c.line)), c.step) << c.line;
}

TEST(TutorialSteps, TheFileKeepsEveryLineButAFinalBreak) {
  QTemporaryDir dir;
  const auto write = [&](const char* name, const QByteArray& bytes) {
    QFile f(dir.filePath(name));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return f.fileName();
  };
  EXPECT_EQ(ReadTutorialFile(write("crlf.txt", "\xEF\xBB\xBFOne\r\n\r\nThree \xC3\xA9\r\n")),
            QStringList({"One", "", QString::fromUtf8("Three \xC3\xA9")}));
  EXPECT_EQ(ReadTutorialFile(write("lf.txt", "One\nTwo")), QStringList({"One", "Two"}));
  EXPECT_EQ(ReadTutorialFile(write("empty.txt", "")), QStringList());
  EXPECT_EQ(ReadTutorialFile(dir.filePath("missing.txt")), std::nullopt);
  EXPECT_EQ(ReadTutorialFile(QString()), std::nullopt);
}

}  // namespace
}  // namespace dialogs

namespace dialogs {
namespace {

TEST(TutorialWindowPlace, StaysUnlessItCoversWhatMustStayFreeThenMovesToTheNearestClearPlace) {
  const QRect screen(0, 0, 1024, 768);
  const QSize window(200, 300);
  const QRect titleBar(0, 0, 1024, 24), pile(600, 400, 71, 150);
  EXPECT_EQ(TutorialWindowPlace({100, 100}, window, screen, {titleBar, pile}), QPoint(100, 100));
  const QPoint moved = TutorialWindowPlace({560, 300}, window, screen, {titleBar, pile});
  EXPECT_FALSE(QRect(moved, window).intersects(pile));
  EXPECT_TRUE(screen.contains(QRect(moved, window)));
  EXPECT_EQ(moved, QPoint(672, 300)) << "the nearest clear place, just right of the pile";
  EXPECT_EQ(TutorialWindowPlace({900, 0}, window, screen, {titleBar}), QPoint(824, 24))
      << "on the screen, under the title bar";
}

}  // namespace
}  // namespace dialogs

namespace dialogs {
namespace {

// On the screens learners have, the tutorial window at each of its first
// steps keeps in sight what the step's text speaks of: the piles it names,
// the Deal button, the rules panel, the turn marker, and the learner's
// Reserve throughout.
TEST(TutorialWindowPlace, KeepsWhatEachStepSpeaksOfInSightAt1024And1366) {
  struct Screen {
    QRect screen, frame;
    int titleBar;
    QSize window;  // the tutorial window with its title bar
  };
  const Screen screens[] = {
      {{0, 0, 1024, 768}, {0, 0, 1024, 742}, 18, {kNarrowTipWidth / 15, kCrampedTipHeight / 15 + 20}},
      {{0, 0, 1366, 768}, {16, 0, 1334, 742}, 18, {kTipDesignWidth / 15, kTipLoadHeight / 15 + 20}}};
  for (const Screen& s : screens) {
    SCOPED_TRACE(s.screen.width());
    const table::TableOffsets offsets = table::ComputeTableArea(s.frame.width() * 15, s.frame.height() * 15, 15, 15);
    const table::PilePlaces p = table::ArrangePilePlaces(offsets.TableOffsetX, offsets.TableOffsetY);
    const table::ControlPlaces c =
        table::ArrangeControlPlaces(p, {}, {offsets.TableOffsetX, false, 15 * s.screen.width()});
    const QPoint client = s.frame.topLeft() + QPoint(0, s.titleBar);
    const auto card = [&](QPoint at) { return QRect(at + client, QSize(table::CardWidth, table::CardHeight)); };
    const QRect learnerReserve = card(p.picPlayer[2]), computerHand = card(p.picOpponent[1]),
                computerReserve = card(p.picOpponent[2]), computerWaste = card(p.picOpponent[3]);
    const QRect deal(c.cmdDeal + client, table::kDealButtonSize), turnMarker(c.ImgTurn1 + client, QSize(72, 84));
    const QRect rulesPanel(c.lblMessage.topLeft() + client, QSize(c.lblMessage.width(), 240));
    const QSize hand(29, 55);
    std::vector<QRect> centers, sides;
    for (int i = 1; i <= 8; ++i) centers.push_back(card(p.picCenter[i]));
    for (int i = 1; i <= 3; ++i) {
      sides.push_back(card(p.picPlayer[i]));
      sides.push_back(card(p.picOpponent[i]));
    }

    struct Step {
      std::vector<QRect> hands, marks, tableau;  // shown, and the Tableau piles unlocked
      std::vector<QRect> named;
    };
    const QRect handOverReserve(p.picPlayer[2] + client - QPoint(0, hand.height()), hand);
    std::vector<QRect> allTableau;
    for (int i = 1; i <= 8; ++i) allTableau.push_back(card(p.picTableau[i]));
    const Step steps[] = {
        {{}, {}, allTableau, sides},
        {{QRect(deal.topLeft() - QPoint(0, hand.height() + 10), hand)}, {deal}, allTableau, {deal, learnerReserve}},
        {{}, {turnMarker, rulesPanel}, {}, {rulesPanel, computerReserve, learnerReserve}},
        {{}, {turnMarker, rulesPanel}, {}, {computerHand, turnMarker, learnerReserve}},
        {{}, {turnMarker, rulesPanel}, {}, {computerHand, computerWaste, turnMarker, learnerReserve}},
        {{handOverReserve}, {turnMarker, rulesPanel}, {}, {learnerReserve}},
        {{handOverReserve}, {turnMarker, rulesPanel}, {card(p.picTableau[3])}, {learnerReserve, card(p.picTableau[3])}},
        {{handOverReserve}, {turnMarker}, {}, {learnerReserve, computerReserve}},
    };
    int number = 0;
    for (const Step& step : steps) {
      SCOPED_TRACE(++number);
      TutorialSights sights;
      sights.pointedAt.emplace_back(s.frame.left(), s.frame.top(), s.frame.width(), s.titleBar);
      for (const QRect& h : step.hands) sights.pointedAt.push_back(PointedAt(h, true));
      sights.sidePiles = sides;
      sights.marks = step.marks;
      sights.sharedPiles = centers;
      sights.sharedPiles.insert(sights.sharedPiles.end(), step.tableau.begin(), step.tableau.end());
      // From beside the table, where the window opens, or from wherever the
      // learner may have dragged it.
      for (const QPoint wanted : {QPoint(s.screen.right() + 1 - s.window.width(), computerHand.bottom() + 1),
                                  s.screen.center(), learnerReserve.topLeft()}) {
        const QRect window(TutorialWindowPlace(wanted, s.window, s.screen, sights), s.window);
        EXPECT_TRUE(s.screen.contains(window));
        for (const QRect& named : step.named) EXPECT_FALSE(window.intersects(named)) << "covers what the step names";
        for (const QRect& center : centers) EXPECT_FALSE(window.intersects(center));
      }
    }
  }
}

}  // namespace
}  // namespace dialogs
