#pragma once
// The table search: where a card can go, read from the pile arrays as they
// stand. Both the rule checks of the local player and the computer's move
// search ask these questions.
//
// Each search comes twice under its one name: a plain function over the
// pile arrays that returns what it found, and a wrapper that also leaves
// the finding in the move's SearchFindings (CenterTarget, TableauTarget,
// PlayerPileTarget) or the shared game state (the move variables) for the
// code that reads it there.
// A wrapper writes its outputs only when it finds something: a caller that
// found a target and then runs another search (the double click finds
// CenterTarget, then the drop check searches again) keeps its target.

#include <array>
#include <cstdint>
#include <optional>

#include "table/game_state.h"
#include "table/piles.h"

namespace play {

using table::CardCode;
using table::GameState;
using table::PileArrays;

constexpr int kLocalSide = 0;
constexpr int kOpponentSide = 1;
// Indexes of a side's pile controls.
constexpr int kStockPile = 1;  // the Hand
constexpr int kReservePile = 2;
constexpr int kWastePile = 3;

// Top cards; 0 for an empty pile. Pile numbers and counts are bounds checked.
CardCode TableauTop(const PileArrays& piles, int pile);
CardCode CenterTop(const PileArrays& piles, int pile);
CardCode ReserveTop(const PileArrays& piles, int side);
CardCode StockTop(const PileArrays& piles, int side);
CardCode WasteTop(const PileArrays& piles, int side);

// First Center foundation 1..8 that takes a card of this rank and suit: an
// Ace the first empty one, any other card the first topped by its suit's
// next lower rank.
std::optional<int> CheckCenter(const PileArrays& piles, int rank, int suit);
// First non-empty Tableau pile 1..8 other than `excluded` whose top is of
// the other colour and one rank higher.
std::optional<int> CheckTableau(const PileArrays& piles, int rank, int suit, int excluded);
// First empty Tableau pile 1..8.
std::optional<int> CheckTableauOpen(const PileArrays& piles);
// Does the card load onto the local player's Reserve (pile 2) or Waste
// (pile 3): same suit, one rank up or down from its top. Returns the pile.
std::optional<int> CheckPlayer(const PileArrays& piles, int rank, int suit, int pile);

struct TableauCombine {
  int pile = 0;    // the one-card Tableau pile to move
  int target = 0;  // the Tableau pile it goes onto
  bool operator==(const TableauCombine&) const = default;
};
// The one-card Tableau pile that merges onto another pile: of all fitting
// pairs the one onto the highest-ranked top, the lowest pile then the lowest
// target on a tie.
std::optional<TableauCombine> CheckTableauSingleCombine(const PileArrays& piles);

enum class TableauMoveMode { ToCenter = 1, ToTableau = 2 };

struct TableauMove {
  int pile = 0;       // the source Tableau pile
  CardCode card = 0;  // its top card
  int target = 0;     // the Center foundation (ToCenter) or Tableau pile (ToTableau)
  bool operator==(const TableauMove&) const = default;
};
// Per source Tableau pile, the rank of the card last moved away from it.
using TableauMoveMemory = std::array<std::int16_t, table::kSharedPiles + 1>;

// What the searches found for the move that follows them; the computer
// player reads it between its steps. One per game, beside the move.
struct SearchFindings {
  std::int16_t CenterTarget = 0;                                          // Center foundation 1..8
  std::int16_t TableauTarget = 0;                                         // Tableau pile 1..8
  std::int16_t PlayerPileTarget = 0;                                      // the human's pile: 2 Reserve, 3 Waste
  std::array<std::int16_t, table::kSharedPiles + 1> TableauMoveMemory{};  // rank last moved away, per source pile
  bool CardPlaced = false;  // a card was put on a pile since the computer last cleared it
};
// Chooses a Tableau top card to move to the Center or onto another Tableau
// pile. `currentTurn` Local (the local player) takes the first fitting pile in
// order; the computer prefers the shorter pile of two identical cards. A
// move onto the Tableau skips a pile whose memory holds the card's rank.
std::optional<TableauMove> MoveCheckTableau(const PileArrays& piles, TableauMoveMode mode, table::Turn currentTurn,
                                            const TableauMoveMemory& memory);

// The wrappers: on success they set their outputs and return true (or the
// pile); on failure they change nothing.
bool CheckCenter(const PileArrays& piles, SearchFindings& findings, int rank, int suit);
bool CheckTableau(const PileArrays& piles, SearchFindings& findings, int rank, int suit, int excluded);
bool CheckTableauOpen(const PileArrays& piles, SearchFindings& findings);
bool CheckPlayer(const PileArrays& piles, SearchFindings& findings, int rank, int suit, int pile);
// Returns the one-card pile (0 none) and sets TableauTarget to its target.
int CheckTableauSingleCombine(const PileArrays& piles, SearchFindings& findings);
// Sets MoveSource (picTableau), MoveSourceIndex, MoveCard, the target
// (CenterTarget or TableauTarget) and, onto the Tableau, the moved pile's
// TableauMoveMemory.
bool MoveCheckTableau(const PileArrays& piles, GameState& state, SearchFindings& findings, TableauMoveMode mode);

}  // namespace play
