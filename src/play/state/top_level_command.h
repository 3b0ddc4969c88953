#pragma once
// Every command the user starts from the top of the event loop (a button, a
// key, a menu row, a mouse event on the table) may run long: a computer or
// online turn, a deal, game over. A close request that arrives meanwhile
// only sets Exiting and is deferred; whichever command returns last to the
// top level completes it. Each top-level entry point ends with
// FinishTopLevelCommand, or holds a TopLevelCommand for its whole run.

#include "play/state/play_state.h"
#include <QPointer>
#include <QWidget>

namespace platform {
class WaitService;
}
namespace table {
struct GameState;
}

namespace play {

// Called as a top-level command returns. Inside a wait (an outer command is
// still running) it does nothing: that command finishes the job. Otherwise,
// when the program is exiting, the computer is no longer thinking, and a
// deferred close request is completed by closing the main window. True when
// the window was closed.
bool FinishTopLevelCommand(platform::WaitService& wait, PlayState& state, QWidget* mainWindow);

// Calls FinishTopLevelCommand when the command's scope ends, whichever way
// it returns.
class TopLevelCommand {
 public:
  TopLevelCommand(platform::WaitService& wait, PlayState& state, QWidget* mainWindow)
      : wait_(wait), state_(state), mainWindow_(mainWindow) {}
  ~TopLevelCommand() { FinishTopLevelCommand(wait_, state_, mainWindow_); }
  TopLevelCommand(const TopLevelCommand&) = delete;
  TopLevelCommand& operator=(const TopLevelCommand&) = delete;

 private:
  platform::WaitService& wait_;
  PlayState& state_;
  QPointer<QWidget> mainWindow_;
};

}  // namespace play
