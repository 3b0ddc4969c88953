// Reading the tutorial's steps and its file.
#include "dialogs/tutorial_steps.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

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
  EXPECT_EQ(TutorialWindowPlace({900, 0}, window, screen, {titleBar}), QPoint(824, 24)) << "on the screen, under the title bar";
}

}  // namespace
}  // namespace dialogs
