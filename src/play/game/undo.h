#pragma once
// Undo: Backspace takes back the local player's last move, Delete goes back
// to the start of the turn. Each restores the table from the records the
// game keeps as it goes: the move file (one record a move) and the two
// turn-start backups in the saved-games file.

#include "play/game/saved_games.h"

namespace play {

inline constexpr char kNothingToUndoText[] = "There is nothing to undo.";
inline constexpr char kUndoTitle[] = "Undo";

// Acts on UndoTurnRequested (back to the start of this turn) or
// UndoMoveRequested (take back the last move) and clears them.
void UndoMove(SavedGameServices& s, const RestoreContext& ctx);

// Backspace: the last move taken back.
void UndoLastMove(SavedGameServices& s, const RestoreContext& ctx);
// Delete: back to the start of this turn.
void UndoThisTurn(SavedGameServices& s, const RestoreContext& ctx);

}  // namespace play
