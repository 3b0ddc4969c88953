#pragma once
// The game record in use: copying the table into the one record variable
// and back, the turn-start backups and game starts of the saved-games file,
// the move file that lets the human take back the moves of his turn, and
// restoring a game from either file.

#include <QString>
#include <cstdint>
#include <optional>

#include "platform/recordfile.h"
#include "platform/ui.h"
#include "play/records/saved_game_record.h"
#include "play/records/score_record.h"
#include "play/state/play_state.h"
#include "table/game_state.h"
#include "table/piles.h"

namespace platform {
class WaitService;
}  // namespace platform

namespace table {
class BusyGuard;
class TableView;
}  // namespace table

namespace play {

// The two record files, by the numbers the rest of the program knows them by.
enum class GameFile : int {
  SavedGames = 4,  // "backup4.sav": slots, backups, game starts
  Moves = 9,       // "~tempmoves.sav": the moves of the human's turn
};

// The stored game clock is a time of day; a value from a file outside a
// sane range (or not a number) reads as zero.
constexpr double kSecondsPerDay = 86400.0;
constexpr double kLongestStoredClockDays = 100.0;

inline constexpr char kMatchDescription[] = "Match ";
inline constexpr char kCoinTossQuestion[] =
    "Do you want the same player who won the original coin toss to go first again?";
inline constexpr char kRestartTitle[] = "Restarting Current Game";
inline constexpr char kSampleGamePanel[] = "   Sample Game Number";
inline constexpr char kMoveFileUnavailableText[] =
    "You can play on, but moves cannot be undone until Marrowdale is started again.";
inline constexpr char kNewGameBackupTitle[] = "New Game";
// The box about a new game whose start and backups could not be written:
// the file, the system's reason and what it means for the game.
QString NewGameBackupFailedText(const QString& path, const QString& reason);
// The box about a move file that cannot be opened: the file, the system's
// reason and what it means for the game.
QString MoveFileUnavailableText(const QString& path, const QString& reason);
// The box about a damaged record: the file, the record and what is wrong.
QString DamagedRecordText(const QString& path, int recNo, const QString& damage);

// The record state of the program: the one record variable, the open
// record files and the undo requests.
struct SavedGames {
  SavedGameRecord GameRec;              // the record variable; Description and unwritten cells carry over
  std::int16_t SaveSlot = 0;            // record of the next read or write a caller chose
  bool UndoMoveRequested = false;       // Backspace: take back one move
  bool UndoTurnRequested = false;       // Delete: back to the start of the turn
  platform::RecordFile SavedGamesFile;  // file number 4, open for the whole run
  platform::RecordFile MoveFile;        // file number 9, open from start-up until the table is left
  bool MoveFileUnavailable = false;     // the move file could not be opened: no undo this run
  bool MoveFileWarned = false;          // the user was told so

  platform::RecordFile& File(GameFile file) { return file == GameFile::Moves ? MoveFile : SavedGamesFile; }
};

// The match state shared with the score code.
struct MatchRefs {
  ScoreRec& CurrentScores;    // the score record in force
  bool& MatchOn;              // a match is in progress
  std::int16_t& MatchPoints;  // points the match is played to
};

// What the restore reads of the rest of the program when it is called.
struct RestoreContext {
  int FirstPlayerRule = 0;             // 0 lowest Reserve card, 1 highest, 2 coin toss
  QString PlayerName;                  // the local player, for the first status panel
  bool Online = false;                 // NetConnIndex not 0
  bool SampleGameMode = false;         // a sample game is being dealt
  bool RestoringPreviousTurn = false;  // the Previous Turn command is restoring
};

// Procedures of the rest of the game that saving and restoring call. The
// table window, the score code, the rules and the computer player implement
// them; the program wires them at start-up.
class SavedGameHooks {
 public:
  virtual ~SavedGameHooks() = default;
  // Empties the piles and the table's pictures, labels and turn state.
  virtual void ClearTable() = 0;
  // Paints every pile from the pile arrays.
  virtual void RedrawTable() = 0;
  // Brings the cards-left counters up to date.
  virtual void ShowPileCounts() = 0;
  // Takes MatchPoints from the score record's target and shows the match panels.
  virtual void CheckMatchComplete() = 0;
  // Shows or empties the match panels.
  virtual void ShowMatchPoints(bool show) = 0;
  // Writes the score record in force back to its file.
  virtual void SaveScoreRec() = 0;
  // Decides which side moves first by the rule, puts the announcement into
  // Message and returns Turn::Local or Turn::Opponent.
  virtual table::Turn WhoGoesFirst(int FirstPlayerRule) = 0;
  // Shows and enables the tutorial's Next button (cmdNextTip(0)).
  virtual void ShowTutorialNext() = 0;
  // Plays the computer's turn.
  virtual void ComputerTurn() = 0;
};

// What the record operations work on and talk to.
struct SavedGameServices {
  table::PileArrays& piles;
  PlayState& state;
  SavedGames& saved;
  MatchRefs match;
  std::int16_t& SampleGameNumber;  // the sample game on the table, 0 none
  table::TableView& view;
  table::BusyGuard& guard;
  platform::UiService& ui;
  platform::WaitService& wait;
  SavedGameHooks& hooks;
};

// Opens DataPath + "backup4.sav" as the saved-games file for the run.
bool OpenSavedGamesFile(SavedGames& saved, const QString& DataPath);

// Copies the table into GameRec: the turn, every pile, the face-down
// Reserve cards, the match values while a match runs, and the game clock.
// Outside a match the match cells are zeroed and a leading "Match" marker
// is dropped from the carried description (an "^^" stays), so an ended
// match never comes back through a backup.
void FillGameRecord(const table::PileArrays& piles, const PlayState& state, SavedGameRecord& GameRec,
                    const ScoreRec& CurrentScores, bool MatchOn, std::int16_t MatchPoints, std::int64_t elapsedSeconds);
void FillGameRecord(SavedGameServices& s);

// The turn-start backup TurnCount picks: 12 at the deal and on odd turns,
// 11 on even turns.
int TurnStartBackupRecord(std::int16_t TurnCount);
// The backup Previous Turn goes back to: 11 on odd turns, 12 on even ones
// (0 included).
int PreviousTurnBackupRecord(std::int16_t TurnCount);

// Fills GameRec and writes it as the turn-start backup of this turn and as
// record 14; at the deal (TurnCount 0) also as records 11 and 13. The
// deal's four land together or not at all; when they cannot be written the
// user is told once, in a box of its own (NewGameBackupFailedText), and
// the file keeps every byte it had.
void SaveGameRecord(SavedGameServices& s);

// Copies GameRec back into the piles, the turn and the match; returns the
// game clock it held, in seconds. A record with a match description whose
// stored target lies outside 62..1000 leaves the match state as it is.
// Nothing, with nothing changed, when GameRec's counts or cards are out of
// range.
std::optional<double> LoadGameRecord(SavedGameServices& s, bool Online);

// The clock a record holds, in seconds; zero for a value out of range.
double StoredClockSeconds(const SavedGameRecord& rec);
// The sample game a description names: its trailing number, 0 without one.
std::int16_t TrailingNumber(const QString& description);

// Writes GameRec as that record of the move file (nothing while the move
// file is unavailable).
void WriteMoveRecord(SavedGameServices& s, std::int16_t record);
// After a move of the human: TempMoveNumber goes up by one and the table is
// written as that move record.
void RecordMove(SavedGameServices& s);
// A new turn of the human begins: TempMoveNumber := 1 and the table is
// written as move record 1.
void StartMoveRecords(SavedGameServices& s);

// Saves the game of `game` in save slot `slot` (1..10) under the
// description, with the game's start (record 13) as the slot's start
// record. Both land together or the file stays as it was (false; the
// failure is reported through the file's WriteFailures). GameRec becomes
// the start record written, as the game's record variable carries it on.
bool SaveInSlot(SavedGames& sv, int slot, const SavedGameRecord& game, const QString& description);

// Shown when a record holds no game. A damaged record (cut short, or
// holding what no game can) is refused with DamagedRecordText instead.
struct Refusal {
  QString text;
  QString title;
  int style = platform::vbOKOnly | platform::vbInformation;
};

enum class RestoreResult {
  Restored,
  Busy,     // another action is replacing or changing the table; nothing was done
  Empty,    // the record holds no game (CurrentTurn None); refused, table untouched
  Damaged,  // the record is cut short or unreadable, or its turn or piles are no game's; refused, table untouched
};

// Rebuilds the table from record recNo of the file and resumes play: the
// computer's turn when it is to move, else the human's. A record that holds
// no game is refused with the caller's message, a damaged one with
// DamagedRecordText; both leave the table as it was. While the busy guard says the table may not be
// replaced the restore does nothing (so a caller must not hold a guard
// scope of its own around it); while it runs, including its pauses, the
// tutorial's wait and the computer's turn it starts, the guard refuses
// every other command that would replace the table. Only record 13 of the
// saved-games file is a game start (restart decides who begins again).
RestoreResult RestoreGame(SavedGameServices& s, const RestoreContext& ctx, int recNo, GameFile fileNo, bool restart,
                          const Refusal& refusal);

// The online game's table hand-over, which network play builds: the host
// restores a saved game, restarts the game or backs up a turn, and the new
// table goes to the peer whole.
class OnlineRestoreCommand {
 public:
  virtual ~OnlineRestoreCommand() = default;
  virtual void NetRestoreGame() = 0;
};

// True opens DataPath + "~tempmoves.sav" as the move file, False closes it.
// A failed open is retried once; when it still fails the game goes on
// without undo for the run and the user is told once.
void ClearTempMoves(SavedGames& saved, bool open, const QString& DataPath, platform::UiService& ui);

}  // namespace play
