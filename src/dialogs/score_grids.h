#pragma once
// The scores window's tables as plain values: the column format strings,
// and one row builder per table over the records read from the players
// file, the opponents file and the high-score file. The builders take the
// records as arguments and keep nothing, so the window never borrows the
// player in play or the score record in force as a read buffer.

#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "play/records/high_score_record.h"
#include "play/records/player_record.h"
#include "play/records/score_record.h"

namespace platform {
class RecordFile;
}

namespace dialogs {

enum class CellAlign { Left, Center, Right };

struct GridColumn {
  QString heading;  // as written in the format, blanks included
  CellAlign align = CellAlign::Left;
  int widthChars = 0;  // the heading's length sets the column's width
  int valueChars = 0;  // the longest text the column may hold (a name's 20); 0: what it holds
  bool operator==(const GridColumn&) const = default;
};

// "|" separates columns; a leading "<" left-aligns a column, "^" centres
// it, ">" right-aligns it; the blanks inside a heading set its width.
std::vector<GridColumn> ParseGridFormat(const QString& format);

// Cell colours, 0x00BBGGRR.
constexpr std::uint32_t kRunningMatchColor = 0xC0FFFF;  // pale yellow
constexpr std::uint32_t kEndedMatchColor = 0xC6FDCB;    // pale green
constexpr std::uint32_t kNoMatchColor = 0xFFFFFF;
constexpr std::uint32_t kHighScoreRowColor = 0xFFFFC0;  // pale cyan, every place but the best

struct GridCell {
  QString text;
  CellAlign align = CellAlign::Left;
  std::optional<std::uint32_t> backColor;  // none: the grid's own colour
  bool heading = false;                    // a second heading row, in the button-face colour
  bool operator==(const GridCell&) const = default;
};

struct GridContent {
  std::vector<GridColumn> columns;          // row 0, the headings (bold)
  std::vector<std::vector<GridCell>> rows;  // rows 1.., as many cells as columns
  std::vector<int> widthsTwips;             // fixed column widths; empty or 0: as the heading sets
  const GridCell& Cell(int row, int col) const { return rows.at(row - 1).at(col); }
};

inline constexpr char kScoresFormat[] =
    "<Player Name           |^Games Played |^    Losses |^      Wins    |^  Points     ";
inline constexpr char kMatchesFormat[] = "<Player Name           |^ # Matches |^ Losses |^     Wins";
inline constexpr char kMatchFormat[] = "<Name           |^Games Played |^      Wins    |^  Points     |^  Match pt.";
inline constexpr char kNetScoresFormat[] =
    "<Net Players           |^Single Games|^    Losses |^      Wins    |^  Points     ";
inline constexpr char kHighFormat[] =
    "    |Date                | Player Name             |^Total Points |^Time        ";

using PlayerRecords = std::array<play::PlayerRecord, play::kMaxPlayers>;  // records 1..10

// Single games of every named player; rows are record numbers, a record
// without a name leaves its row empty.
GridContent PrintNamesRows(const PlayerRecords& records);
GridContent PrintMatchesRows(const PlayerRecords& records);
// The last or ongoing match of the player's record.
GridContent PrintMatchRows(const play::PlayerRecord& current);
QString MatchLabelText(const play::PlayerRecord& current);
// The match-point cells' colour for a record.
std::uint32_t MatchCellColor(const play::ScoreRec& rec);
// Against one opponent: the player's row and the opponent's mirrored row,
// then the match counts under a second heading.
GridContent PrintNetNamesRows(const QString& PlayerName, const play::ScoreRec& opponent);
GridContent PrintNetMatchRows(const QString& PlayerName, const play::ScoreRec& opponent);
// The twenty places in file order; a place whose date is 0 shows its rank only.
GridContent HighStuffRows(const std::vector<play::HighScoreRecord>& records);

// Records 1..10 of the players file; nothing when one cannot be read.
std::optional<PlayerRecords> ReadPlayerRecords(const platform::RecordFile& players);

}  // namespace dialogs
