#pragma once
// The twenty best games of "highscore.sav", best first: more points rank
// higher; on equal points the shorter game; on equal points and time the
// newer game.

#include <QString>
#include <array>
#include <cstdint>

#include "play/high_score_record.h"

namespace platform {
class WriteFailures;
}

namespace play {

// Places 1..20 at indexes 0..19.
using HighScoreList = std::array<HighScoreRecord, kHighScorePlaces>;

constexpr int kNotRanked = 0;

// A stored game time in whole seconds. The record keeps it as a date value,
// days with the time of day as fraction; a game over a day long counts in
// full. A value that is no usable duration counts as 0.
std::int64_t GameTimeSeconds(double gameTime);
// The date value stored for a game time of whole seconds (0 for negative).
double GameTimeFromSeconds(std::int64_t seconds);

// The place 1..20 a game of these points and game time takes, or
// kNotRanked when every entry ranks above it.
int HighScorePlace(const HighScoreList& list, std::int16_t points, std::int64_t seconds);

// Puts entry at place 1..20, moving the entries from there one place down;
// the 20th drops off the list.
void InsertHighScore(HighScoreList& list, int place, const HighScoreRecord& entry);

enum class HighScoreResult { Entered, NotRanked, Failed };

// Enters the game into the high-score file at path (created when missing):
// reads the twenty places, finds the new game's place by its Points and
// GameTime and writes the places that changed. *place gets the place, or
// kNotRanked. On a read failure the file is left as it was.
HighScoreResult EnterHighScore(const QString& path, const HighScoreRecord& entry, int* place = nullptr,
                               platform::WriteFailures* failures = nullptr);

}  // namespace play
