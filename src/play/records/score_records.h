#pragma once
// The score record in force and its operations: loading and storing it,
// counting a finished game, resetting a category, resuming a stored match.
// They belong with the player dialogs, but game over fills them and the game
// play may not depend on the dialogs, so they live here.

#include <QString>
#include <cstdint>

#include "play/records/player_record.h"
#include "play/records/score_record.h"
#include "play/state/connection_index.h"

namespace platform {
class RecordFile;
}

namespace table {
class TableView;
}

namespace play {

// Points a match is played to: the match dialog's range, and the target
// taken instead of a stored value outside it.

struct ScoreState {
  ScoreRec CurrentScores;                          // the record in force: own offline, the opponent's online
  std::int16_t MatchPoints = kDefaultMatchTarget;  // points the running match is played to
  bool MatchOn = false;                            // a match is in progress
  bool MatchComplete = false;                      // a side reached MatchPoints; cleared by game over
  std::int16_t GamePoints = 0;                     // points of the game just scored
  bool StalemateDeclared = false;                  // the game is being ended as a stalemate
};

// The player's opponents file ("Net/<player>.net"), owned by network play:
// one ScoreRec per opponent met online.
struct NetScoreFile {
  platform::RecordFile* File = nullptr;  // the open file; null or closed when there is none
  std::int16_t NetScoreRecNo = 0;        // the current opponent's record; 0 none
  ScoreRec NetScoreRec{};                // the buffer that record is read and written through
};

// Where the score record in force is kept. The fields point at state owned
// elsewhere: the current player's record and the players file (the player
// module) and the connection and opponents file (network play). A null
// pointer means that part is not there, and what needs it is skipped.
struct ScoreStore {
  PlayerRecord* Player = nullptr;               // the current player's record in memory
  const std::int16_t* CurrentPlayer = nullptr;  // its record number 1..10; 0 none chosen
  platform::RecordFile* PlayersFile = nullptr;  // "players4.sav", kept open
  const std::int16_t* NetConnIndex = nullptr;   // 0 offline, 99 setting up, else online
  NetScoreFile* Net = nullptr;                  // the opponents file

  // Connected to a peer (neither offline nor still setting up): the score
  // record in force is the opponent's.
  bool PeerPresent() const;
};

enum class StoreResult {
  Stored,
  Skipped,  // no player chosen, or online without an opponent's record
  Failed,   // the file could not be read or written
};

// The match target to use: MatchPoints when inside 62..1000, else 100.
std::int16_t ValidMatchPoints(std::int16_t points);

// Makes CurrentScores the current player's own record (read from the players
// file into Player) or, online, the current opponent's record. When there is
// no record to read or the read fails, nothing changes.
StoreResult LoadScoreRec(ScoreState& scores, ScoreStore& store);

// Writes CurrentScores back: offline into Player's score block and the whole
// Player as its record, so that memory and file agree; online as the
// opponent's record of the opponents file.
StoreResult SaveScoreRec(const ScoreState& scores, ScoreStore& store);

// Clears one category of the record: "Single", "Matches", "Current Match"
// (MatchInProgress only while no match is on) or "All" (names blanked unless
// keepNames). Kinds are compared exactly; any other changes nothing.
void ResetScores(ScoreRec& rec, const QString& kind, bool keepNames, bool MatchOn);

// Counts the game just scored (GamePoints) on CurrentScores. lost: the
// local player lost. Kind "Single" or "Match"; any other changes nothing.
void AddGameResult(ScoreState& scores, bool lost, const QString& kind);

// A match has been played in and neither side has reached its target.
bool IsMatchRunning(const ScoreRec& rec);

}  // namespace play
