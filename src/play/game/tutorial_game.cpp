#include "play/game/tutorial_game.h"

#include "platform/recordfile.h"
#include "play/records/saved_game_record.h"

namespace play {

namespace {

bool HoldsTutorialGame(const QByteArray& bytes) {
  if (bytes.size() < kSavedGameRecordLength) return false;
  const SavedGameRecord rec = SavedGameRecord::Decode(bytes);
  return (rec.CurrentTurn == table::Turn::Local || rec.CurrentTurn == table::Turn::Opponent) && rec.PilesAreSane();
}

}  // namespace

TutorialGameSeed EnsureTutorialGame(const media::Folders& folders) {
  const QString userPath = folders.DataPath + QString::fromLatin1(kSavedGamesFileName);
  if (!media::FileExists(userPath)) return TutorialGameSeed::Failed;
  platform::RecordFile user;
  if (!user.Open(userPath, kSavedGameRecordLength)) return TutorialGameSeed::Failed;
  if (HoldsTutorialGame(user.Read(kTutorialRecord))) return TutorialGameSeed::Present;

  platform::RecordFile seed;
  if (!seed.Open(folders.AppPath + QString::fromLatin1(kSeedSavedGamesFile), kSavedGameRecordLength,
                 /*readOnly=*/true))
    return TutorialGameSeed::NoSeed;
  const QByteArray game = seed.Read(kTutorialRecord);
  if (!HoldsTutorialGame(game)) return TutorialGameSeed::NoSeed;
  return user.Write(kTutorialRecord, game) && user.Flush() ? TutorialGameSeed::Copied : TutorialGameSeed::Failed;
}

}  // namespace play
