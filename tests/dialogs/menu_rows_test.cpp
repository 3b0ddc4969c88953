#include "dialogs/menu_rows.h"

#include <gtest/gtest.h>

namespace dialogs {
namespace {

QStringList Texts(const std::vector<MenuListRow>& rows) {
  QStringList texts;
  for (const MenuListRow& r : rows) texts << (r.Separator ? QString("-") : r.Text);
  return texts;
}

std::vector<int> Commands(const std::vector<MenuListRow>& rows) {
  std::vector<int> numbers;
  for (const MenuListRow& r : rows) numbers.push_back(r.Command);
  return numbers;
}

TEST(MenuRows, EachMenuHoldsItsRowsForTheState) {
  MenuRowState s;
  EXPECT_EQ(Texts(BuildMenuRows(1, s)),
            QStringList({"New Game\tF2", "Start Match\tF3", "Change/New Player\tCtrl+P", "-", "Save\tCtrl+S",
                         "Restore\tCtrl+R", "-", "Previous Turn\tF4", "Restart Current Game\tCtrl+F2",
                         "Declare Stalemate\tCtrl+X", "-", "Scores and Stats\tF8", "-", "Exit\tF12"}));
  EXPECT_EQ(Commands(BuildMenuRows(1, s)), std::vector<int>({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
  s.MatchOn = true;
  EXPECT_EQ(BuildMenuRows(1, s)[1].Text, "End Match\tF3");

  EXPECT_EQ(Texts(BuildMenuRows(2, s)), QStringList({"Speed\tF5", "Sound", "Who Goes First", "-", "Preferences\tF6",
                                                     "-", "Structure    (CTRL+Up/Down arrows)",
                                                     "Background   (Up/Down arrows)", "Add/Remove Background"}));

  // Internet: offline, a host waiting for a caller, connected remote and host.
  const struct {
    std::int16_t conn;
    bool host;
    int rows;
    const char* first;
  } internet[] = {{0, false, 3, "Start Internet Game\tF9"},
                  {99, true, 3, "Host - END Internet Game\tF9"},
                  {1, false, 4, "Remote - END Internet Game\tF9"},
                  {1, true, 12, "Host - END Internet Game\tF9"}};
  for (const auto& c : internet) {
    SCOPED_TRACE(c.rows);
    s.NetConnIndex = c.conn;
    s.NetIsHost = c.host;
    const auto rows = BuildMenuRows(3, s);
    ASSERT_EQ(static_cast<int>(rows.size()), c.rows);
    EXPECT_EQ(rows[0].Text, c.first);
    EXPECT_TRUE(rows[2].Separator);
    for (int i = 0; i < c.rows; ++i) EXPECT_EQ(rows[i].Command, i);
  }
  EXPECT_EQ(BuildMenuRows(3, s)[4].Text, "SEND Saved Game\tCtrl+R");
  EXPECT_EQ(BuildMenuRows(3, s)[7].Text, "Restart Current Game\tCtrl+F2");
  EXPECT_EQ(BuildMenuRows(3, s)[8].Text, "Declare Stalemate\tCtrl+X");
  EXPECT_EQ(BuildMenuRows(3, s)[10].Text, "End Match\tF3");

  const auto help = BuildMenuRows(4, s);
  EXPECT_EQ(Commands(help), std::vector<int>({0, 1, 2, 3, 4, 5, 7, 8}));
  EXPECT_EQ(help[1].Text, "Tutorial\tF7");
  EXPECT_EQ(help[4].Text, "Hide Status Bar\tCtrl+F8");
  EXPECT_EQ(help[6].Text, "Visit the Internet Site");
  s.StatusBarVisible = false;
  EXPECT_EQ(BuildMenuRows(4, s)[4].Text, "Show Status Bar\tCtrl+F8");

  EXPECT_EQ(SeparatorText(), QString(21, QChar(0x2014)));
  EXPECT_TRUE(BuildMenuRows(6, s).empty());
  EXPECT_EQ(MenuTabStop(3), 110);
  EXPECT_EQ(MenuExtraWidth(4), 300);
}

TEST(MenuRows, MusicRowsFollowThePlayList) {
  MenuRowState s;
  EXPECT_EQ(Texts(BuildMenuRows(5, s)), QStringList({"Add Song to Play List", "-"}));
  s.Songs = {"intro.mp3"};
  EXPECT_EQ(Texts(BuildMenuRows(5, s)), QStringList({"Add Song to Play List", "-", "intro.mp3"}));
  EXPECT_EQ(SongOfRow(2, 1), 1);
  EXPECT_EQ(SongOfRow(1, 1), 0);
  s.Songs = {"a.mp3", "b.mp3", "c.mp3"};
  EXPECT_EQ(Texts(BuildMenuRows(5, s)),
            QStringList({"Add Song to Play List", "Play All", "Next Song", "-", "a.mp3", "b.mp3", "c.mp3"}));
  EXPECT_EQ(SongOfRow(5, 3), 2);
  EXPECT_EQ(SongOfRow(3, 3), 0);
  EXPECT_EQ(SongOfRow(7, 3), 0);
  EXPECT_EQ(MenuBottomMargin(5, 3), 600);
  EXPECT_EQ(MenuBottomMargin(5, 1), 750);
  // After a removal the rows are built again from the songs that are left.
  s.Songs = {"a.mp3", "c.mp3"};
  EXPECT_EQ(Texts(BuildMenuRows(5, s)),
            QStringList({"Add Song to Play List", "Play All", "Next Song", "-", "a.mp3", "c.mp3"}));
}

}  // namespace
}  // namespace dialogs
