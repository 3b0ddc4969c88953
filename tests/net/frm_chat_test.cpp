#include "net/frm_chat.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include "platform/sound.h"
#include "platform/ui.h"
#include "support/temp_home.h"

namespace net {
namespace {

void Touch(const QString& path) {
  QDir().mkpath(QFileInfo(path).path());
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

QStringList Rows(const QListWidget& list) {
  QStringList rows;
  for (int i = 0; i < list.count(); ++i) rows << list.item(i)->text();
  return rows;
}

struct ChatWindowRig {
  ChatWindowRig() {
    user = home.Path() + "/User/";
    QDir().mkpath(user);
  }
  FrmChatParts Parts() { return {user, home.Path(), &ui, &sound, [this] { return settingUp; }}; }
  TempHome home;
  QString user;
  platform::FakeUi ui;
  platform::FakeSoundChannel sound;
  bool settingUp = false;
};

TEST(ChatWindow, SoundListDeletesOnlyAddedSoundsAndImportsIntoAFolderMadeForIt) {
  ChatWindowRig rig;
  const QString import = rig.home.Path() + "/Docs/applause.wav";
  Touch(import);
  {
    FrmChat chat(rig.Parts());
    EXPECT_EQ(Rows(*chat.LstWavs), (QStringList{kSelectSound, kAddSound}));  // no Sounds folder yet
    rig.ui.files.push_back(platform::ChosenFile{import, "applause.wav"});
    chat.LstWavs->show();
    chat.LstWavs_Click(1);  // "(add sound to list)"
  }
  EXPECT_TRUE(QFile::exists(rig.user + "Sounds/applause.wav"));
  Touch(rig.user + "Sounds/slap.wav");
  Touch(rig.user + "Sounds/Cheer.WAV");

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
  Touch(rig.user + "Icons/Wink.gif");
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

}  // namespace
}  // namespace net
