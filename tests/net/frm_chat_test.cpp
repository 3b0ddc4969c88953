#include "net/frm_chat.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>

#include "net/opponents_file.h"
#include "platform/sound.h"
#include "platform/ui.h"
#include "play/frm_play_rig.h"
#include "play/records/players.h"
#include "play/window/frm_play.h"
#include "support/fake_sound_channel.h"
#include "support/fake_ui.h"
#include "support/temp_home.h"
#include "support/test_files.h"
#include "table/table_rig.h"

namespace net {
namespace {

QStringList Rows(const QListWidget& list) {
  QStringList rows;
  for (int i = 0; i < list.count(); ++i) rows << list.item(i)->text();
  return rows;
}

void SavePicture(const QString& path, QSize size, QColor colour) {
  QDir().mkpath(QFileInfo(path).path());
  QImage picture(size, QImage::Format_RGB32);
  picture.fill(colour);
  ASSERT_TRUE(picture.save(path, "JPG"));
}

platform::ScreenMetrics Screen(int width, int height) {
  platform::ScreenMetrics screen;
  screen.widthPixels = width;
  screen.heightPixels = height;
  return screen;
}

void Release(QWidget* widget, Qt::MouseButton button, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), widget->mapToGlobal(QPointF(5, 5)), button,
                      Qt::NoButton, modifiers);
  QCoreApplication::sendEvent(widget, &release);
}

struct ChatWindowRig {
  ChatWindowRig() {
    user = home.Path() + "/User/";
    QDir().mkpath(user);
  }
  FrmChatParts Parts() {
    FrmChatParts parts;
    parts.UserPath = user;
    parts.DocsPath = home.Path();
    parts.ui = &ui;
    parts.sound = &sound;
    parts.settingUp = [this] { return settingUp; };
    parts.AppPath = QStringLiteral(MARROWDALE_SOURCE_DIR "/");
    parts.DataPath = home.Path() + "/Data/";
    parts.screen = screen;
    parts.OpponentAvatar = &OpponentAvatar;
    parts.KeepAvatar = [this](const QString& name) { kept << name; };
    parts.ShowHelpKeyword = [this](const QString& keyword) { help << keyword; };
    return parts;
  }
  TempHome home;
  QString user;
  platform::FakeUi ui;
  platform::FakeSoundChannel sound;
  bool settingUp = false;
  platform::ScreenMetrics screen = Screen(800, 600);
  QString OpponentAvatar;
  QStringList kept;
  QStringList help;
};

TEST(ChatWindow, SoundListDeletesOnlyAddedSoundsAndImportsIntoAFolderMadeForIt) {
  ChatWindowRig rig;
  const QString import = rig.home.Path() + "/Docs/applause.wav";
  WriteFile(import);
  {
    FrmChat chat(rig.Parts());
    EXPECT_EQ(Rows(*chat.LstWavs), (QStringList{kSelectSound, kAddSound}));  // no Sounds folder yet
    rig.ui.files.push_back(platform::ChosenFile{import, "applause.wav"});
    chat.LstWavs->show();
    chat.LstWavs_Click(1);  // "(add sound to list)"
  }
  EXPECT_TRUE(QFile::exists(rig.user + "Sounds/applause.wav"));
  WriteFile(rig.user + "Sounds/slap.wav");
  WriteFile(rig.user + "Sounds/Cheer.WAV");

  FrmChat chat(rig.Parts());
  EXPECT_EQ(Rows(*chat.LstWavs), (QStringList{kSelectSound, "applause", "Cheer", "slap", kAddSound}));
  chat.LstWavs_Delete(3);
  EXPECT_EQ(rig.ui.boxes.back().text, kBuiltInSoundText);
  EXPECT_TRUE(QFile::exists(rig.user + "Sounds/slap.wav"));
  rig.ui.QueueAnswer(platform::vbNo);
  chat.LstWavs_Delete(2);
  EXPECT_TRUE(QFile::exists(rig.user + "Sounds/Cheer.WAV"));
  chat.LstWavs_Delete(2);  // Yes
  EXPECT_FALSE(QFile::exists(rig.user + "Sounds/Cheer.WAV"));
  EXPECT_EQ(Rows(*chat.LstWavs), (QStringList{kSelectSound, "applause", "slap", kAddSound}));

  // Choosing a sound sends it, and "slap" sends the slap.
  int sends = 0;
  QObject::connect(&chat, &FrmChat::sendClicked, [&] { ++sends; });
  chat.LstWavs->show();
  chat.LstWavs_Click(1);
  EXPECT_EQ(chat.Text2->text(), "WAV applause");
  chat.LstWavs->show();
  chat.LstWavs_Click(2);
  EXPECT_EQ(chat.Text2->text(), "<SLAP>");
  EXPECT_EQ(sends, 2);
  EXPECT_EQ(rig.sound.played.back(), rig.user + "Sounds/slap.wav");
}

TEST(ChatWindow, QuickChatTextsComeBackAndTheSizeToggleRestores) {
  ChatWindowRig rig;
  WriteFile(rig.user + "Icons/Wink.gif");
  {
    FrmChat chat(rig.Parts());
    EXPECT_EQ(chat.CmdChat[4]->toolTip(), kEmptyButtonTip);
    chat.CmdChat_RightClick(4);
    EXPECT_EQ(chat.txtbutton->text(), kButtonPrompt);
    chat.txtbutton->setText("Good game!");
    chat.txtbutton_Enter();
    chat.CmdChat_RightClick(20);
    chat.txtbutton->setText(QString(120, 'x'));
    chat.CmdChat_Click(20);  // the open editor is stored first
    EXPECT_EQ(chat.Text2->text(), QString(120, 'x'));
    EXPECT_EQ(Rows(*chat.LstIcons), (QStringList{kSelectIcon, "Wink"}));
  }
  EXPECT_EQ(QFile(rig.user + kChatSavFileName).size(), 2000);
  FrmChat chat(rig.Parts());
  EXPECT_EQ(chat.QuickChatTexts[4], "Good game!");
  EXPECT_EQ(chat.CmdChat[4]->toolTip(), "Good game!");
  EXPECT_EQ(chat.QuickChatTexts[20], QString(100, 'x'));
  chat.CmdChat_Click(4);
  EXPECT_EQ(chat.Text2->text(), "Good game!");

  chat.show();
  const QRect window = chat.geometry();
  const QRect log = chat.Text1->geometry();
  chat.cmdSize_Click();
  EXPECT_LT(chat.width(), window.width());
  chat.cmdSize_Click();
  EXPECT_EQ(chat.size(), window.size());
  EXPECT_EQ(chat.Text1->geometry(), log);
  chat.SetLog("MD: You are connected to Host: Hal\r\nHal: hello\r\nAnn: PIC <Wink> hi ;-)");
  chat.ShowBackground(QImage(), 0x00306000);  // the mat colour, 0x00BBGGRR
  EXPECT_EQ(chat.palette().color(QPalette::Window), QColor(0x00, 0x60, 0x30));
  chat.grab().save(QStringLiteral(MARROWDALE_BINARY_DIR) + "/chat_window.png");
}

// An imported picture lands in an Avatars folder made for it, under a name
// that fits the record; Ctrl with the left button shows the default for now
// and leaves the record alone; a click slaps.
TEST(ChatWindow, AvatarsImportUnderANameTheRecordKeepsAndCanBeSlapped) {
  ChatWindowRig rig;
  const QString longName = "my_opponents_portrait.jpg";  // 25 characters
  SavePicture(rig.home.Path() + "/Docs/" + longName, {60, 30}, Qt::blue);
  SavePicture(rig.home.Path() + "/More/" + longName, {30, 60}, Qt::red);
  WriteFile(rig.user + "Sounds/slap.wav");
  rig.OpponentAvatar = kDefaultAvatar;
  FrmChat chat(rig.Parts());
  EXPECT_TRUE(chat.ShownAvatar().isEmpty());  // the remote waits for the opponent's record

  rig.ui.files.push_back(platform::ChosenFile{rig.home.Path() + "/Docs/" + longName, longName});
  Release(chat.ImgAvatar, Qt::RightButton);
  ASSERT_EQ(rig.ui.fileRequests.size(), 1u);
  EXPECT_EQ(rig.ui.fileRequests[0].title, kAvatarTitle);
  EXPECT_EQ(rig.ui.fileRequests[0].initialFolder, rig.user + "Avatars");
  EXPECT_EQ(rig.OpponentAvatar, "my_opponents_por.jpg");
  EXPECT_EQ(rig.kept, QStringList{"my_opponents_por.jpg"});
  EXPECT_EQ(chat.ShownAvatar(), rig.user + "Avatars/my_opponents_por.jpg");
  EXPECT_NEAR(chat.ImgAvatar->width(), 2 * chat.ImgAvatar->height(), 1);
  EXPECT_TRUE(chat.rect().contains(chat.ImgAvatar->geometry()));

  // Another picture of that name does not replace the first.
  rig.ui.files.push_back(platform::ChosenFile{rig.home.Path() + "/More/" + longName, longName});
  chat.Add_Avatars();
  EXPECT_EQ(rig.OpponentAvatar, "my_opponents_p~1.jpg");
  EXPECT_EQ(QImage(rig.user + "Avatars/my_opponents_por.jpg").size(), QSize(60, 30));
  EXPECT_EQ(QImage(rig.user + "Avatars/my_opponents_p~1.jpg").size(), QSize(30, 60));

  Release(chat.ImgAvatar, Qt::LeftButton, Qt::ControlModifier);
  EXPECT_EQ(rig.OpponentAvatar, kDefaultAvatar);
  EXPECT_EQ(chat.ShownAvatar(), QString(MARROWDALE_SOURCE_DIR "/Data/Avatars/") + kDefaultAvatar);
  EXPECT_EQ(rig.kept, (QStringList{"my_opponents_por.jpg", "my_opponents_p~1.jpg"}));
  // A cancelled chooser keeps the default and stores nothing.
  chat.Add_Avatars();
  EXPECT_EQ(rig.kept.size(), 2);

  Release(chat.ImgAvatar, Qt::LeftButton);
  EXPECT_FALSE(chat.imgSlap->isHidden());
  EXPECT_EQ(rig.sound.played.back(), rig.user + "Sounds/slap.wav");
  Release(chat.imgSlap, Qt::LeftButton);
  EXPECT_TRUE(chat.imgSlap->isHidden());
  EXPECT_EQ(rig.sound.played.back(), rig.home.Path() + "/Data/" + kSlapGoneSound);
}

// The window opens beside the play window, sized for the screen, with every
// control inside it, the title in the player's label colour; the help badge
// opens the manual's chat page.
TEST(ChatWindow, OpensBesideThePlayWindowSizedForTheScreen) {
  // Beside the play window where the work area has room.
  EXPECT_EQ(ChatPlacement({100, 50, 800, 600}, {400, 300}, {0, 0, 1300, 1000}, {}).at, QPoint(900, 50));
  // Else the clear place nearest the play window's top-right corner, inside
  // the work area (below a panel here).
  const ChatPlace clear =
      ChatPlacement({0, 26, 1000, 700}, {300, 200}, {0, 26, 1024, 742}, {{{600, 26, 400, 300}}, {}});
  EXPECT_EQ(clear.at, QPoint(700, 326));
  EXPECT_TRUE(clear.Clear());
  // Nowhere clear: where it covers least of the piles, then of the lines.
  const ChatPlace least =
      ChatPlacement({0, 0, 1000, 700}, {300, 200}, {0, 0, 1000, 700}, {{{0, 0, 1000, 650}}, {{0, 600, 500, 100}}});
  EXPECT_EQ(least.at, QPoint(700, 500));
  EXPECT_EQ(least.pilesCovered, 300 * 150);
  EXPECT_EQ(least.linesCovered, 0);

  struct Case {
    int width, height;
    double factor;
  };
  int logAtDesign = 0;
  auto laidOut = [](const FrmChat& chat) {
    for (QWidget* w : chat.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
      if (w->isHidden()) continue;
      EXPECT_TRUE(chat.rect().contains(w->geometry())) << w->metaObject()->className();
    }
    EXPECT_LT(chat.Text1->geometry().right(), chat.ImgAvatar->x());
    EXPECT_LT(chat.ImgAvatar->geometry().bottom(), chat.CmdChat[5]->y());
  };
  for (const Case c : {Case{800, 600, 1.0}, Case{640, 480, 0.8}, Case{1024, 768, 1.28}, Case{1920, 1080, 1.44}}) {
    ChatWindowRig rig;
    rig.screen = Screen(c.width, c.height);
    FrmChatParts parts = rig.Parts();
    parts.FontColor = 0x0000FFFF;  // yellow, 0x00BBGGRR
    parts.showDefaultAvatar = true;
    FrmChat chat(parts);
    SCOPED_TRACE(c.width);
    EXPECT_NEAR(chat.width(), 330 * c.factor, 1);
    EXPECT_NEAR(chat.height(), 290 * c.factor, 1);
    laidOut(chat);
    // The avatar keeps its size when the window shrinks; the log makes room.
    chat.cmdSize_Click();
    laidOut(chat);
    chat.cmdSize_Click();
    EXPECT_EQ(chat.lblChat->palette().color(QPalette::WindowText), QColor(255, 255, 0));
    EXPECT_TRUE(chat.ShownAvatar().endsWith(kDefaultAvatar));
    if (c.factor == 1.0) logAtDesign = chat.Text1->width();
    // Between the two widths the window keeps its size and the log gives
    // up 200 twips.
    if (c.factor == 1.28) {
      EXPECT_NEAR(chat.Text1->width() / 1.28, logAtDesign + 200 / 15, 2);
    }
    if (c.factor == 1.44) {
      chat.SetLog(
          "MD: Bob has joined the game.\r\nBob: hello\r\nAnn: PIC <Wink> hi ;-)\r\nSent: You slapped your opponent! ");
      chat.AvatarSlap();
      chat.grab().save(QStringLiteral(MARROWDALE_BINARY_DIR) + "/chat_window_large.png");
    }
    Release(chat.imgHelp, Qt::LeftButton);
    EXPECT_EQ(rig.help, QStringList{kChatHelpKeyword});
  }
}

}  // namespace
}  // namespace net

namespace net {
namespace {

// The table at 1024 x 768 as the program lays it out, text at its largest
// or at the default, and the chat window opened over it.
class ChatOverTable : public ::testing::TestWithParam<int>, protected testing_support::TableRigOf<play::PlayState> {
 protected:
  ChatOverTable() {
    settings.TextFontSize = static_cast<std::int16_t>(GetParam());
    settings.ScreenWidth = screen.WidthTwips();
    table = std::make_unique<play::FrmPlay>(Services(), state, net, screen, testing_support::Quietly(quiet));
    testing_support::LayOutAsAtStartUp(*table);
  }
  platform::ScreenMetrics screen = testing_support::Screen96(1024, 768);
  play::NetState net;
  testing_support::QuietNeighbours quiet;
  std::unique_ptr<play::FrmPlay> table;
};

TEST_P(ChatOverTable, OpensCoveringNoPileOrControlAt1024x768) {
  ChatWindowRig rig;
  FrmChatParts parts = rig.Parts();
  parts.screen = screen;
  const auto inSight = [this] {
    const play::FrmPlay::InSight sights = table->PlacesInSight();
    return ChatSights{sights.piles, sights.lines};
  };
  parts.tableInSight = inSight;
  parts.linesAside = [this, &inSight](bool aside) {
    table->SetLinesBelowPiles(aside);
    return inSight();
  };
  FrmChat chat(parts, table.get());
  const QRect placed = chat.frameGeometry();
  EXPECT_TRUE(QRect(0, 0, 1024, 768).contains(placed));
  const auto onScreen = [](const QWidget* w) { return QRect(w->mapToGlobal(QPoint(0, 0)), w->size()); };
  // Every message line and turn marker in sight, inside the table and off
  // its piles and controls.
  const std::vector<QRect> piles = inSight().piles;
  for (const QWidget* line : {static_cast<QWidget*>(table->lblMessage), static_cast<QWidget*>(table->lblTurn),
                              static_cast<QWidget*>(table->StatusMsg), static_cast<QWidget*>(table->lblWAIT),
                              static_cast<QWidget*>(table->ImgTurn1)}) {
    const QRect at = onScreen(line);
    EXPECT_FALSE(placed.intersects(at)) << line->objectName().toStdString();
    EXPECT_TRUE(onScreen(table.get()).contains(at)) << line->objectName().toStdString();
    for (const QRect& pile : piles) EXPECT_FALSE(pile.intersects(at)) << line->objectName().toStdString();
  }
  for (int i = 1; i <= 8; ++i) {
    EXPECT_FALSE(placed.intersects(onScreen(table->picTableau[i]))) << "Tableau " << i;
    EXPECT_FALSE(placed.intersects(onScreen(table->picCenter[i]))) << "Center " << i;
  }
  for (int i = 1; i <= 3; ++i) {
    EXPECT_FALSE(placed.intersects(onScreen(table->picPlayer[i]))) << "player's pile " << i;
    EXPECT_FALSE(placed.intersects(onScreen(table->picOpponent[i]))) << "opponent's pile " << i;
  }
  for (const QWidget* control : {static_cast<QWidget*>(table->cmdDeal), static_cast<QWidget*>(table->cmdDone),
                                 static_cast<QWidget*>(table->StatusBar1), static_cast<QWidget*>(table->picMenu)})
    EXPECT_FALSE(placed.intersects(onScreen(control))) << control->objectName().toStdString();

  // Moved by the player, the next window opens where he put it.
  chat.move(placed.topLeft() + QPoint(-40, -30));
  ASSERT_TRUE(chat.MovedTo());
  parts.place = chat.MovedTo();
  FrmChat next(parts, table.get());
  EXPECT_EQ(next.pos(), placed.topLeft() + QPoint(-40, -30));
}

INSTANTIATE_TEST_SUITE_P(TextSizes, ChatOverTable, ::testing::Values(13, play::kMaxTextFontSize));

}  // namespace
}  // namespace net
