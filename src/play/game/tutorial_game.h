#pragma once
// The tutorial's prepared game, record 15 of the saved-games file. It ships
// in the seed saved-games file; a user's file made before the tutorial came
// gets that one record copied in, and nothing else of it changes.

#include "media/folders.h"

namespace play {

inline constexpr char kSeedSavedGamesFile[] = "Data/seed/backup4.sav";

enum class TutorialGameSeed {
  Present,  // the user's file holds a tutorial game already
  Copied,   // record 15 was copied in from the seed
  NoSeed,   // the seed holds no readable tutorial game
  Failed,   // the user's file could not be opened or written
};

// Copies record 15 from the shipped seed when the user's saved-games file
// (already in place) holds no readable tutorial game there.
TutorialGameSeed EnsureTutorialGame(const media::Folders& folders);

}  // namespace play
