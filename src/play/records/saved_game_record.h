#pragma once
// The saved-game record: the whole table of one moment of a game. Records of
// the saved-games file "backup4.sav" (save slots, turn-start backups, game
// starts) and of the move file "~tempmoves.sav" (one per move of the
// human's turn).

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>

#include "play/records/score_record.h"
#include "table/game_state.h"
#include "table/piles.h"

namespace play {

constexpr int kSavedGameRecordLength = 1852;
inline constexpr char kSavedGamesFileName[] = "backup4.sav";
inline constexpr char kMoveFileName[] = "~tempmoves.sav";

// Record numbers of the saved-games file.
constexpr int kFirstSaveSlot = 1;
constexpr int kLastSaveSlot = 10;
constexpr int kSaveSlots = kLastSaveSlot - kFirstSaveSlot + 1;
constexpr int kEvenTurnBackupRecord = 11;  // turn start while TurnCount is even and not 0; the deal writes it too
constexpr int kOddTurnBackupRecord = 12;   // turn start while TurnCount is odd, and the deal (TurnCount 0)
constexpr int kGameStartRecord = 13;       // start position of the game on the table
constexpr int kLatestTurnRecord = 14;      // the latest turn start
constexpr int kTutorialRecord = 15;        // the tutorial's game, shipped, never written
constexpr int kSlotStartOffset = 20;       // slot n's game start is record n + 20
constexpr int SlotStartRecord(int slot) { return slot + kSlotStartOffset; }

// Move file: record 1 the start of the human's turn, n + 1 after his n-th move.
constexpr int kFirstMoveRecord = 1;

// Rows of the Tableau pile-0 column, which holds no cards but extra values.
constexpr int kReserveFaceDownRow = 0;  // + side: face-down cards under each Reserve's top
constexpr int kMatchPointsRow = 2;      // the rows below hold values only while a match runs
constexpr int kMatchScoreRow = 3;
constexpr int kOppMatchScoreRow = 4;
constexpr int kMatchGamesRow = 5;
constexpr int kMatchWinsRow = 6;
constexpr int kOppMatchWinsRow = 7;

// Description prefixes.
inline constexpr char kOnlineSavePrefix[] = "^^";
inline constexpr char kMatchPrefix[] = "Match";

struct SavedGameRecord {
  using SidePiles = std::array<table::PileArrays::SidePile, table::kSides>;
  using SharedPiles = std::array<table::PileArrays::SharedPile, table::kSharedPiles + 1>;
  using SideCounts = std::array<std::int16_t, table::kSides>;
  using SharedCounts = std::array<std::int16_t, table::kSharedPiles + 1>;

  // Disk offsets. The card arrays are stored with the first index running
  // fastest: side piles (side, position) at base + 2 * (side + 2 * position),
  // shared piles (pile, position) at base + 2 * (pile + 9 * position).
  static constexpr int kCurrentTurnOffset = 0;
  static constexpr int kReserveCountOffset = 2;
  static constexpr int kStockCountOffset = 6;
  static constexpr int kWasteCountOffset = 10;
  static constexpr int kTableauCountOffset = 14;
  static constexpr int kCenterCountOffset = 32;
  static constexpr int kReserveOffset = 50;
  static constexpr int kStockOffset = 470;
  static constexpr int kWasteOffset = 890;
  static constexpr int kTableauOffset = 1310;
  static constexpr int kCenterOffset = 1562;
  static constexpr int kDescriptionOffset = 1814;
  static constexpr int kDescriptionWidth = 30;
  static constexpr int kElapsedTimeOffset = 1844;

  static constexpr int SideCellOffset(int base, int side, int position) {
    return base + 2 * (side + table::kSides * position);
  }
  static constexpr int SharedCellOffset(int base, int pile, int position) {
    return base + 2 * (pile + (table::kSharedPiles + 1) * position);
  }

  // Every cell is kept, also those the game never fills (index 0, the
  // pile-0 columns), so a record read and written again gives the same bytes.
  table::Turn CurrentTurn = table::Turn::None;  // as stored; None an empty record, outside 0..2 a damaged one
  SideCounts ReserveCount{};                    // by side: 0 the local player of the program that wrote it
  SideCounts StockCount{};
  SideCounts WasteCount{};
  SharedCounts TableauCount{};  // piles 1..8
  SharedCounts CenterCount{};
  SidePiles Reserve{};  // [side][position], positions 1..104
  SidePiles Stock{};
  SidePiles Waste{};
  SharedPiles Tableau{};  // [pile][position]; pile 0 holds the extra values (rows above)
  SharedPiles Center{};
  QString Description = NulText(kDescriptionWidth);  // as stored (30 characters)
  double ElapsedTime = 0.0;                          // OLE date: the game clock as a time of day

  // The first kSavedGameRecordLength bytes; a shorter input gives the zero
  // record SavedGameRecord{}.
  static SavedGameRecord Decode(const QByteArray& bytes);
  // Exactly kSavedGameRecordLength bytes.
  QByteArray Encode() const;

  // The cards and counts of the table: every count of piles that exist and
  // positions 1..104 of the side piles and 1..13 of Tableau and Center piles
  // 1..8. Cells that hold no cards (index 0, the pile-0 columns) and
  // ReserveFaceDown are left to the caller.
  void StorePiles(const table::PileArrays& piles);
  // Copies the same cells back into the pile arrays. A record whose piles
  // are not sane (below) would send the game past its arrays or onto a
  // table no game can reach: then nothing is copied and the result is false.
  bool LoadPiles(table::PileArrays& piles) const;
  // Every count lies within its pile's capacity, every cell holds a card
  // code (0..52), and the cards inside the counts could come from a game:
  // none is blank (0), none appears more than twice (once a deck), and
  // there are no more than the 104 cards of both decks.
  bool PilesAreSane() const;

  bool operator==(const SavedGameRecord&) const = default;
};

}  // namespace play
