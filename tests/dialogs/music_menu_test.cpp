// The music list opened from the "Music" panel, offscreen in the whole
// program with a scripted player.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "dialogs/frm_menu.h"
#include "dialogs/menu_dialogs.h"
#include "dialogs/menu_program.h"
#include "dialogs/music_menu.h"
#include "platform/system.h"

namespace dialogs {
namespace {

using testing_support::MenuProgram;

class MusicMenuTest : public MenuProgram {
 protected:
  void Join() {
    dialogs = std::make_unique<Dialogs>(program->MenuWindowsParts());
    windows.dialogs = dialogs.get();
    musicMenu = std::make_unique<MusicListMenu>(program->music(), M().Menu, W(), *dialogs);
    windows.musicMenu = musicMenu.get();
  }
  void TearDown() override {
    windows.musicMenu = nullptr;
    musicMenu.reset();
    dialogs.reset();
  }
  void RightClickMusicPanel() { W().StatusBar1_MouseDown(Qt::RightButton, W().MusicPanelLeft + 2); }
  QStringList RowTexts() const {
    QStringList texts;
    for (const MenuListRow& row : dialogs->ListWindow()->Rows()) texts << row.Text;
    return texts;
  }
  void Press(int row, Qt::MouseButton button = Qt::LeftButton) {
    FrmMenu* list = dialogs->ListWindow();
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(list->isVisible());
    list->List1_MouseDown(button, list->List1->visualItemRect(list->List1->item(row)).center());
  }
  QString Song(const QString& name) {
    QDir().mkpath(home.Path() + "/songs");
    const QString path = home.Path() + "/songs/" + name;
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("song");
    return path;
  }
  std::unique_ptr<Dialogs> dialogs;
  std::unique_ptr<MusicListMenu> musicMenu;
};

TEST_F(MusicMenuTest, RowsPlayTheListOrOneSongAndARemovalRebuildsThem) {
  withMusic = true;
  Make();
  Join();
  ASSERT_TRUE(program->Start());
  media::Music& music = program->music();
  ASSERT_FALSE(music.MusicUnavailable());
  const QString one = Song("one.mp3"), two = Song("two.mp3"), three = Song("three.mp3");
  music.state().PlayList = {one, two, three};

  Soon([this] {
    EXPECT_EQ(RowTexts().mid(4), (QStringList{"one.mp3", "two.mp3", "three.mp3"}));
    EXPECT_TRUE(RowTexts()[1].startsWith("Play All"));
    Press(1);
  });
  RightClickMusicPanel();
  EXPECT_FALSE(M().Menu.MenuOpen);
  EXPECT_EQ(dialogs->ListWindow(), nullptr);
  EXPECT_TRUE(music.ListPlaying()) << "Play All started the list";
  EXPECT_EQ(fakePlayer->opened, one);

  // A right click on a song offers its removal; the list is rebuilt from
  // what is left and stays open, and a song row plays that song alone.
  Soon([this, three] {
    popupChoice = [this] { W().frmPic.RemoveSongRequested = true; };
    Press(5, Qt::RightButton);
    EXPECT_TRUE(M().Menu.MenuOpen);
    EXPECT_EQ(RowTexts().mid(4), (QStringList{"one.mp3", "three.mp3"}));
    Press(5);
  });
  RightClickMusicPanel();
  EXPECT_EQ(music.state().PlayList, (QStringList{one, three}));
  EXPECT_EQ(fakePlayer->opened, three);
  EXPECT_EQ(music.state().CurrentSong, 2);
}

TEST(MusicMenuPlace, CentredRightOfThePanelAboveTheStatusBarAndOnTheScreen) {
  const int tpp = platform::ScreenTwipsPerPixel();
  const QRect screen(0, 0, 1366, 768);
  const QSize menu(240, 300);
  EXPECT_EQ(MusicMenuPlace(600, 740, menu, screen), QPoint(600 - 120 + 200 / tpp, 740 - 300 - 100 / tpp));
  EXPECT_EQ(MusicMenuPlace(1300, 740, menu, screen).x(), 1366 - 240) << "kept inside the right edge";
  EXPECT_EQ(MusicMenuPlace(20, 740, menu, screen).x(), 0);
  EXPECT_EQ(MusicMenuPlace(600, 200, menu, screen).y(), 0) << "kept below the top";
}

TEST_F(MusicMenuTest, WithoutAnAudioOutputARightClickOpensNothing) {
  Join();
  ASSERT_TRUE(program->Start());
  ASSERT_TRUE(program->music().MusicUnavailable());
  RightClickMusicPanel();
  EXPECT_FALSE(M().Menu.MenuOpen);
  EXPECT_EQ(dialogs->ListWindow(), nullptr);
}

}  // namespace
}  // namespace dialogs
