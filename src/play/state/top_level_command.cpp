#include "play/state/top_level_command.h"

#include "platform/wait.h"
#include "table/game_state.h"

namespace play {

bool FinishTopLevelCommand(platform::WaitService& wait, PlayState& state, QWidget* mainWindow) {
  if (wait.Depth() > 0) return false;
  if (wait.Exiting()) state.ComputerThinking = false;
  if (!wait.CloseRequested()) return false;
  wait.ClearCloseRequest();
  if (mainWindow) mainWindow->close();
  return true;
}

}  // namespace play
