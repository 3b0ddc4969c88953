#pragma once
// Leaving the table: the one exit work, run once whichever way the program
// is closed (the close box, the Exit command, the session ending). Stores
// the player and the settings record with the window's placement, closes
// the record files, says good-bye to an online opponent, stops music and
// sounds, deletes the temporary files and closes every other window. Each
// step runs on its own: one that fails does not keep the next from running.

#include <QString>
#include <QStringList>
#include <QWidget>

#include "media/folders.h"
#include "platform/built_later.h"
#include "play/state/net_state.h"
#include "play/state/play_state.h"
#include "table/backgrounds.h"

namespace media {
class Music;
}

namespace platform {
class RecordFile;
class SoundChannel;
class UiService;
class WaitService;
}  // namespace platform

namespace table {
struct GameState;
}

namespace play {

class FrmPlay;
struct PlayerSettings;
struct SavedGames;
class TableWindows;

// The online good-bye; network play implements it.
class OnlineGoodbye {
 public:
  virtual ~OnlineGoodbye() = default;
  // Tells a connected peer that the player quit, flushes what was sent,
  // and ends the connection and the online state.
  virtual void SayGoodbye() = 0;
  // Closes the player's opponents file when it is open.
  virtual void CloseNetFile() = 0;
};

struct LeavingServices {
  const media::Folders& folders;
  platform::WaitService& wait;
  platform::UiService& ui;
  platform::SoundChannel& sound;
  PlayState& state;
  PlayerSettings& player;
  table::BackgroundChoice& backgrounds;  // the background in force, as the player's record stores it
  platform::RecordFile& playersFile;
  SavedGames& saved;
  FrmPlay& frmPlay;
  const bool& SoundOn;
  const NetState& net;
  platform::BuiltLater<OnlineGoodbye> online;
  media::Music& music;
  TableWindows& windows;  // the manual, closed
};

// What happened to each step of the exit work, for the user and for tests.
struct ExitReport {
  bool playerStored = false;
  bool settingsStored = false;
  QStringList leftBehind;  // temporary files that could not be deleted
};

class Leaving {
 public:
  explicit Leaving(LeavingServices services) : s_(services) {}

  // The table window's close request: false when it is refused for now (a
  // wait runs: the request only sets Exiting, and the command that started
  // the wait completes the close when it returns). Otherwise runs the exit
  // work, once, and answers true.
  bool CloseRequested();
  // The exit work; runs only the first time (ExitHandled afterwards).
  void ExitLeft();
  // Stops music and sounds, closes the help and every other top-level
  // window, then deletes the temporary files and the move file.
  void CleanUpStuff();
  // Marks the exit work as done without running it (a second copy).
  void SetExitHandled() { ExitHandled = true; }

  bool ExitHandled = false;
  ExitReport report;

 private:
  LeavingServices s_;
};

}  // namespace play
