#pragma once
// The table window's status bar panels, as the game writes them.

namespace play {

// The panels, numbered from 1.
enum StatusPanel : int {
  kPanelPlayer = 1,  // the player's name
  kPanelPlayerCards = 2,
  kPanelOpponentCards = 3,
  kPanelMatch = 4,  // "Match: " + points + " pts"
  kPanelMatchGames = 5,
  kPanelMatchScorePlayer = 6,
  kPanelMatchScoreOpp = 7,
  kPanelUndo = 8,
  kPanelMusic = 9,
  kPanelElapsed = 10,  // the clock
  kPanelFree = 11,
  kPanelCount = 11,
};

}  // namespace play
