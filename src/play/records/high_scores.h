#pragma once
// The twenty best games of "highscore.sav", best first: more points rank
// higher; on equal points the shorter game; on equal points and time the
// newer game.

#include <QString>
#include <array>
#include <cstdint>

#include "play/records/high_score_record.h"

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

// Why the twenty places cannot be a list the game wrote: a name with
// control characters, a date, points or game time out of range, a filled
// place after an empty one, or places out of rank order. Empty when the
// list is sound.
QString HighScoreDamage(const HighScoreList& list);

// The high-score file as read: a damaged file (HighScoreDamage) is never
// shown nor added to; it is moved aside, the way a damaged players file
// is, and the list starts empty. Whole places followed by a few bytes keep
// their places: the file as it was is copied aside and the bytes after the
// last whole place are taken off.
struct HighScoreFile {
  enum class State { Read, Missing, Damaged, Unreadable, ExtraBytes };
  State state = State::Missing;
  HighScoreList list{};   // the places; all empty unless Read or ExtraBytes
  QString reason;         // Damaged: what is wrong; Unreadable: the system's reason; ExtraBytes: what failed
  QString keptAside;      // Damaged: where the file now lies, ExtraBytes: its copy; empty when not made
  qint64 extraBytes = 0;  // the bytes after the last whole place
  // What the user is told: empty for Read and Missing.
  QString Text(const QString& path) const;
};
HighScoreFile ReadHighScoreFile(const QString& path);

enum class HighScoreResult { Entered, NotRanked, Failed };

inline constexpr char kScoreNotKeptText[] = "The score of this game could not be kept in the high scores.";

// Enters the game into the high-score file at path (created when missing):
// reads the twenty places, finds the new game's place by its Points and
// GameTime and writes the places that changed. *place gets the place, or
// kNotRanked. On a read failure the file is left as it was. A damaged file
// is kept aside and a new list begins with the game; a file with bytes
// after its last whole place keeps its places. *notice gets what the user
// is to be told of these, and of a score that could not be kept because the
// file cannot be read or opened (why, in the system's words).
HighScoreResult EnterHighScore(const QString& path, const HighScoreRecord& entry, int* place = nullptr,
                               platform::WriteFailures* failures = nullptr, QString* notice = nullptr);

}  // namespace play
