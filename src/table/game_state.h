#pragma once
// The turn and the move in progress, shared by the card table, the rules,
// the computer player, the records, the menus and the keys. The card table
// reads it too, so it lives beside the pile arrays; what only the game reads
// is play's (play::PlayState). Exiting is the wait service's
// (platform::WaitService::Exiting).

#include <QString>
#include <cstdint>

#include "table/piles.h"

namespace table {

// The pile control arrays of the table window; the game play names a move's
// piles by them.
enum class PileControl : std::int16_t { None = 0, picPlayer, picOpponent, picTableau, picCenter };

// Whose turn it is. The numbers are the ones the saved-game records store,
// so they never change.
enum class Turn : std::int16_t {
  None = 0,      // no game on the table
  Local = 1,     // the player at this program
  Opponent = 2,  // the computer or the other player
};

// A turn as records and lines carry it.
constexpr std::int16_t TurnCode(Turn turn) { return static_cast<std::int16_t>(turn); }

struct GameState {
  Turn CurrentTurn = Turn::None;               // whose turn it is; None when no game is on the table
  std::int16_t TurnCount = 0;                  // turns played; its parity picks the one-turn backup
  bool StockTurned = false;                    // the mover's Stock top was turned up this turn
  bool EndTurnPending = false;                 // the Hand card was dropped on the own Waste
  bool GameEnded = false;                      // the game on the table is over
  bool StartingUp = false;                     // from the splash window's load to the end of start-up
  QString Message;                             // text for the message line
  PileControl MoveSource = PileControl::None;  // pile control of the move being made
  std::int16_t MoveSourceIndex = 0;            // its index (1..8, or 1..3 for a side)
  CardCode MoveCard = 0;                       // the card being moved
  bool TutorialMode = false;                   // the tutorial window is open
};

}  // namespace table
