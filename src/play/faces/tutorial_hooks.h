#pragma once
// What the game play asks of the tutorial window (frmTip), and what the
// tutorial is given of the running program. Player dialogs implement the
// window; main.cpp joins it to the program.

#include <QString>

#include "platform/system.h"
#include "play/game/human_turn.h"
#include "play/game/new_game.h"
#include "play/state/play_state.h"
#include "table/backgrounds.h"

namespace platform {
class UiService;
class WaitService;
}  // namespace platform

namespace table {
class BusyGuard;
struct GameState;
}  // namespace table

namespace play {

class FrmPlay;

// The two hand pictures of the table, picHand(0) pointing down and
// picHand(1) pointing up (ShowHand); the backgrounds paint them.
using HandPictures = table::HandPictures;

class TutorialWindow : public NewGameTutorial, public HumanTurnTutorial {
 public:
  // Opens the tutorial (Help's "Tutorial" row, F7, a first start), or raises
  // it when it is open. Refused without a word while a deal, a computer
  // turn, game over, a restore or a move is running.
  virtual void OpenTutorial() = 0;
  // A command that deals, restores, restarts or ends a game leaves a running
  // tutorial first, asking as its Close Tutorial button does. True when no
  // tutorial runs any more.
  virtual bool LeaveTutorial() = 0;
  // The Next button cmdNextTip(0) enabled or disabled.
  virtual void EnableNextTip(bool enabled) = 0;
  // The Next button shown and enabled.
  virtual void ShowTutorialNext() = 0;
  // The table was minimised: the tutorial hides; shown again: it comes back.
  virtual void MainWindowMinimised() = 0;
  virtual void MainWindowRestored() = 0;
};

// What the tutorial is given of the running program.
struct TutorialServices {
  PlayState& state;               // TutorialMode, TutorialContinue, CurrentTurn, Message
  platform::WaitService& wait;    // Pause
  const table::BusyGuard& guard;  // opening is refused while the table is busy
  platform::UiService& ui;
  FrmPlay& frmPlay;
  QString AppPath;      // the program's folder, ending in "/"
  int ScreenWidth = 0;  // twips
  int TwipsPerPixel = platform::kNormalTwipsPerPixel;
  bool LargeFonts = false;
};

}  // namespace play
