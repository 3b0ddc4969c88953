// A fresh start puts the shipped chat sounds, emoticons and quick-chat texts
// where the chat looks for them, and never replaces the player's own files;
// the default avatar and the window's pictures ship beside the program.

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>

#include "media/folders.h"
#include "net/chat_lines.h"
#include "net/opponents_file.h"
#include "net/quick_chat_record.h"
#include "support/temp_home.h"

namespace net {
namespace {

TEST(ChatAssets, AFreshStartGetsThemAndTheOwnFilesStay) {
  TempHome home;
  std::optional<media::Folders> f = media::SetUpFolders(QString(MARROWDALE_SOURCE_DIR) + "/");
  ASSERT_TRUE(f.has_value());
  ASSERT_TRUE(QDir().mkpath(f->UserPath + kSoundsFolder));
  {
    QFile own(f->UserPath + kSoundsFolder + "/slap.wav");
    ASSERT_TRUE(own.open(QIODevice::WriteOnly));
    own.write("my own slap");
  }
  const media::SeedCopy copy = media::CopySeedFiles(*f);
  ASSERT_TRUE(copy.ok()) << copy.failed.join(", ").toStdString();
  EXPECT_FALSE(copy.copied.contains("User/Sounds/slap.wav"));
  EXPECT_TRUE(copy.copied.contains("User/Chat.sav"));

  QFile slap(ResolveSound(f->UserPath, "slap.wav"));
  ASSERT_TRUE(slap.open(QIODevice::ReadOnly));
  EXPECT_EQ(slap.readAll(), "my own slap");
  for (const char* sound : {"cash_register.wav", "coin_flip.wav", "applause.wav"}) {
    QFile wav(ResolveSound(f->UserPath, sound));
    ASSERT_TRUE(wav.open(QIODevice::ReadOnly)) << sound;
    EXPECT_TRUE(wav.read(12).startsWith("RIFF")) << sound;
  }
  for (const char* icon : {"Wink", "Angry", "Grinning", "Embarrassed", "Mischievous", "Sad", "Begging", "Crying"}) {
    const QImage face(ResolveIcon(f->UserPath, QString(icon) + ".gif"));
    EXPECT_FALSE(face.isNull()) << icon;
  }
  EXPECT_FALSE(QImage(f->AppPath + "Data/" + kAvatarsFolder + kDefaultAvatar).isNull());
  for (const char* picture :
       {"chat-slap", "chat-cursor-avatar", "chat-cursor-slap", "chat-pin-in", "chat-pin-out", "chat-help"})
    EXPECT_FALSE(QImage(f->AppPath + "Data/pictures/" + picture + ".png").isNull()) << picture;

  QFile chat(f->UserPath + kChatSavFileName);
  ASSERT_TRUE(chat.open(QIODevice::ReadOnly));
  const QByteArray records = chat.readAll();
  ASSERT_EQ(records.size(), kQuickChatButtons * kChatSavRecordLength);
  EXPECT_EQ(ChatSavRecord::Decode(records.left(kChatSavRecordLength)).Text, "Hello!");
  for (int i = 0; i < kQuickChatButtons; ++i)
    EXPECT_FALSE(ChatSavRecord::Decode(records.mid(i * kChatSavRecordLength)).Text.isEmpty()) << i;

  // A second start copies nothing.
  EXPECT_TRUE(media::CopySeedFiles(*f).copied.isEmpty());
}

}  // namespace
}  // namespace net
