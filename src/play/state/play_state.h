#pragma once
// The turn and the move in progress as the game keeps them: the table's
// part (what the card table reads too) and what only the game reads.

#include <cstdint>

#include "table/game_state.h"

namespace play {

struct PlayState : table::GameState {
  bool ComputerThinking = false;    // the computer's turn is running
  bool AbortComputerTurn = false;   // the player ended the game during the computer's turn
  std::int16_t TempMoveNumber = 1;  // next record of the move file
  bool IsDeveloperView = false;     // right clicks show a pile's cards
  bool TutorialContinue = false;    // the tutorial's go-on signal
  bool RuleMessageShown = false;    // a rule message stands on the message line until the next move
};

}  // namespace play
