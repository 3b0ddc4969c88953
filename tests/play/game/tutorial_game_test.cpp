// The tutorial's game comes into a saved-games file that lacks it, alone.
#include "play/game/tutorial_game.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "platform/recordfile.h"
#include "play/records/saved_game_record.h"
#include "support/temp_home.h"

namespace play {
namespace {

TEST(TutorialGame, RecordFifteenAloneIsCopiedFromTheSeedWhenMissing) {
  TempHome home;
  media::Folders folders;
  folders.AppPath = QString(MARROWDALE_SOURCE_DIR) + "/";
  folders.DataPath = home.Path() + "/data/";
  ASSERT_TRUE(QDir().mkpath(folders.DataPath));
  const QString user = folders.DataPath + kSavedGamesFileName;

  // No file at all: nothing to copy into (the seed copy puts the whole file).
  EXPECT_EQ(EnsureTutorialGame(folders), TutorialGameSeed::Failed);

  // A file of an older version: a saved game in slot 2, record 15 empty.
  SavedGameRecord slot;
  slot.CurrentTurn = table::Turn::Local;
  slot.Description = QStringLiteral("My game").leftJustified(30);
  {
    platform::RecordFile f;
    ASSERT_TRUE(f.Open(user, kSavedGameRecordLength));
    ASSERT_TRUE(f.Write(2, slot.Encode()));
  }
  EXPECT_EQ(EnsureTutorialGame(folders), TutorialGameSeed::Copied);

  platform::RecordFile seed, f;
  ASSERT_TRUE(seed.Open(folders.AppPath + kSeedSavedGamesFile, kSavedGameRecordLength, true));
  ASSERT_TRUE(f.Open(user, kSavedGameRecordLength));
  EXPECT_EQ(f.Read(kTutorialRecord), seed.Read(kTutorialRecord));
  EXPECT_EQ(SavedGameRecord::Decode(f.Read(2)), SavedGameRecord::Decode(slot.Encode()));
  EXPECT_EQ(f.RecordCount(), kTutorialRecord);
  f.Close();

  // Present now: the file is left as it is.
  const QByteArray before = [&] {
    QFile q(user);
    return q.open(QIODevice::ReadOnly) ? q.readAll() : QByteArray();
  }();
  EXPECT_EQ(EnsureTutorialGame(folders), TutorialGameSeed::Present);
  QFile q(user);
  ASSERT_TRUE(q.open(QIODevice::ReadOnly));
  EXPECT_EQ(q.readAll(), before);
}

}  // namespace
}  // namespace play
