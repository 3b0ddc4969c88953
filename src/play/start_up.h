#pragma once
// Start-up: from the program's first line to the table shown and waiting
// for a deal. Refuses a second running copy before anything is written,
// checks and opens the players file, writes the embedded pictures and
// sounds out as files, shows the splash window and the intro music, fits
// and places the window, loads the last player and opens the game files.

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

#include "media/folders.h"
#include "platform/built_later.h"
#include "platform/system.h"
#include "play/faces/start_up_windows.h"
#include "play/state/play_state.h"

namespace media {
class Music;
}

namespace platform {
class InstanceLock;
class RecordFile;
class SettingsStore;
class UiService;
class WaitService;
class WriteFailures;
}  // namespace platform

namespace table {
class Backgrounds;
struct GameState;
}  // namespace table

namespace play {

class FrmPlay;
struct PlayerSettings;
struct PlayerServices;
struct SampleGames;
struct SavedGames;
struct ScoreState;

// Why the program could not start.
inline constexpr char kFilesMissingText[] = "Unable to start Marrowdale!\r\n\r\nFiles are missing.";
inline constexpr char kAlreadyRunningText[] = "The game is already running.";
inline constexpr char kUnableToStartText[] = "Unable to start Marrowdale!";
inline constexpr char kFilesMissingOrCorruptText[] = "Unable to start Marrowdale!\r\n\r\nFiles are missing or corrupt.";
inline constexpr char kSmallScreenText[] =
    "Marrowdale was designed for a minimum 1024x768 screen resolution.\r\n"
    "The game will not display properly on your monitor.";
inline constexpr char kLargeFontsText[] =
    "\r\n\r\nYour desktop shows its text larger than normal, which leaves the game too little room on the "
    "screen.\r\nTo make room, lower the scaling or the font size in your desktop's display settings.";
inline constexpr char kDeveloperViewSwitch[] = "/KOVRA";
inline constexpr int kMinimumScreenWidthTwips = 13980;
inline constexpr double kSplashPauseSeconds = 0.1;
inline constexpr double kIntroPauseSeconds = 0.5;

// True when the command line's first six characters, upper-cased, are "/KOVRA".
bool DeveloperViewSwitch(const QString& commandLine);

// The small-screen warning for the screen, or empty when none is due.
QString ScreenWarning(int ScreenWidthTwips, bool LargeFonts);

// What happens before the program's window exists: the single-copy lock
// first, then the seed files copied into the per-user folders. Nothing is
// written when another copy runs.
struct Preflight {
  enum class Result { Ok, AlreadyRunning, LockFailed, NoFolders, SeedFailed };
  Result result = Result::Ok;
  std::optional<media::Folders> folders;
  std::unique_ptr<platform::InstanceLock> lock;  // held for the run
  QString problem;                               // what failed, for the message
  QString folder;                                // where it failed (LockFailed, SeedFailed)
  QString reason;                                // the system's reason, when known
  qint64 holderPid = 0;                          // AlreadyRunning: the running copy's process, 0 unknown
  QString holderHost;                            // and its machine, empty unknown
};
Preflight PrepareStart(const QString& programFolder);
// The message for a failed preflight, empty for Ok.
QString PreflightText(const Preflight& p);

// The players file checked before it is played on: a file that is empty,
// shorter than its records or holds noise is put aside under a new name and
// a fresh one made from the seed. A file whose records are all whole and
// sound but followed by bytes that make no record keeps its players: a
// copy of it goes aside and the extra bytes are taken off. The text tells
// the user what happened (empty when nothing did); false when no usable
// file could be had.
struct PlayersFileCheck {
  bool ok = true;
  QString message;    // what the user is told
  QString keptAside;  // where the damaged file, or the copy of it, now lies
};
PlayersFileCheck CheckPlayersFile(const media::Folders& folders);

// "Cannot open <file> for writing: <reason>" when the file exists but can
// not be opened for reading and writing; empty when it can.
QString WritableProblem(const QString& path);

// What start-up found out.
struct StartUpState {
  bool NoIntroMusic = false;      // the last player's option; False on a first start
  bool MusicUnavailable = false;  // no media backend: no music for the run
  bool LargeFonts = false;        // the desktop is not at 96 dots per inch
  bool WindowMaximized = false;   // the stored placement said maximised
  bool FirstStart = false;        // no player was stored
};

struct StartUpServices {
  media::Folders& folders;
  platform::ScreenMetrics screen;
  platform::UiService& ui;
  platform::WriteFailures& writeFailures;  // the start's failed writes are told here, one box per cause
  platform::WaitService& wait;
  platform::SettingsStore& settingsStore;
  PlayState& state;
  PlayerSettings& player;
  platform::RecordFile& playersFile;
  SavedGames& saved;
  SampleGames& sample;
  ScoreState& scores;
  const PlayerServices& playerServices;
  FrmPlay& frmPlay;
  table::Backgrounds& backgrounds;
  QString commandLine;  // the arguments after the program's name, joined by blanks
  platform::BuiltLater<SplashWindow> splash;
  media::Music& music;  // the intro music and the play list
  platform::BuiltLater<FirstStartWindows> firstStart;
};

class StartUp {
 public:
  explicit StartUp(StartUpServices services) : s_(std::move(services)) {}

  // The table window's load: true when the table is up; false, after
  // telling the user, when the program must end. Leaving begun before the
  // table is shown (a termination signal) ends it too, quietly, with no
  // table shown.
  bool Run();
  // Restores the placement, writes the sounds, loads the play list and the
  // player, opens the saved-games and move files. False when a file the
  // game cannot run without failed (the user was told), or leaving began.
  bool OpenDoor();

  const StartUpState& State() const { return st_; }
  StartUpState& State() { return st_; }

 private:
  bool OpenPlayersFile();
  void PlaceWindow();
  void FirstStartPlacement();
  void TellFailure(const QString& text);
  // A box of start-up; none opens once leaving has begun.
  void Tell(const QString& text, int style, const QString& title);

  StartUpServices s_;
  StartUpState st_;
};

}  // namespace play
