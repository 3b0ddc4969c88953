#include "play/game/undo.h"

#include "play/records/saved_game_record.h"

namespace play {

void UndoMove(SavedGameServices& s, const RestoreContext& ctx) {
  SavedGames& sv = s.saved;
  PlayState& st = s.state;
  if (sv.MoveFileUnavailable) {
    // The user was told at start-up that there is no undo in this run.
    sv.UndoTurnRequested = false;
    sv.UndoMoveRequested = false;
    return;
  }
  const Refusal refusal{QString::fromLatin1(kNothingToUndoText), QString::fromLatin1(kUndoTitle)};
  if (sv.UndoTurnRequested) {
    sv.SaveSlot = static_cast<std::int16_t>(st.TurnCount % 2 != 0 ? kOddTurnBackupRecord : kEvenTurnBackupRecord);
    const RestoreResult result = RestoreGame(s, ctx, sv.SaveSlot, GameFile::SavedGames, false, refusal);
    sv.UndoTurnRequested = false;
    if (result == RestoreResult::Restored) StartMoveRecords(s);
  } else if (sv.UndoMoveRequested && st.TempMoveNumber > kFirstMoveRecord) {
    sv.SaveSlot = static_cast<std::int16_t>(st.TempMoveNumber - 1);
    const RestoreResult result = RestoreGame(s, ctx, sv.SaveSlot, GameFile::Moves, false, refusal);
    sv.UndoMoveRequested = false;
    // The next move overwrites the record that was left.
    if (result == RestoreResult::Restored) st.TempMoveNumber = sv.SaveSlot;
  } else {
    sv.UndoMoveRequested = false;
  }
}

void UndoLastMove(SavedGameServices& s, const RestoreContext& ctx) {
  s.saved.UndoMoveRequested = true;
  UndoMove(s, ctx);
}

void UndoThisTurn(SavedGameServices& s, const RestoreContext& ctx) {
  s.saved.UndoTurnRequested = true;
  UndoMove(s, ctx);
}

}  // namespace play
