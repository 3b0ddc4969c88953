#pragma once
// The computer's move search asked on behalf of the local player: the table
// is copied with the two sides exchanged, so that the local player's piles
// are the computer's, and the computer's turn is run on the copy until it
// makes its first move. That move, named again from the local side, is what
// the search would play next. The real table is never touched.
//
// Only the scripted test run uses this: it plays the local side through the
// human's own move path, so that the moves travel as a player's do.

#include <optional>
#include <vector>

#include "play/state/play_state.h"
#include "table/game_state.h"
#include "table/piles.h"

namespace net {

struct SearchMove {
  table::PileControl source = table::PileControl::None;  // picPlayer (1 Stock, 2 Reserve) or picTableau
  int sourceIndex = 0;
  table::CardCode card = 0;
  table::PileControl target = table::PileControl::None;  // picCenter, picTableau or picOpponent (2, 3)
  int targetIndex = 0;
  bool operator==(const SearchMove&) const = default;
};

// The table with side 0 and side 1 exchanged; the shared piles stay.
table::PileArrays SidesExchanged(const table::PileArrays& piles);

// The first move the computer's search makes for the local side of this
// table, or nothing when it would only end the turn.
std::optional<SearchMove> NextSearchMove(const table::PileArrays& piles, const play::PlayState& state);

// The moves the rules oblige the local player to make before he may turn
// his Stock or end his turn, in the order they ask for them: a Reserve or
// turned-up Hand card that fits a Center foundation goes there, a space is
// filled from the Reserve (from the Hand once the Reserve is empty), a
// Tableau card that fits the Center goes there.
std::vector<SearchMove> ObligedMoves(const table::PileArrays& piles, bool handUp);

}  // namespace net
