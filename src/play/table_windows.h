#pragma once
// The menus and the windows around the table: it builds the menu commands,
// the music and the manual, and answers what the menus, the table window's
// frame and network play ask of the manual, the system and the windows that
// follow the main window. The menus are handed the joined windows
// themselves.

#include <QString>
#include <memory>

#include "media/folders.h"
#include "media/help_backend.h"
#include "media/help_viewer.h"
#include "media/mp3_playback.h"
#include "media/music.h"
#include "platform/settings.h"
#include "platform/system.h"
#include "platform/wait.h"
#include "play/faces/menu_windows.h"
#include "play/faces/network_play.h"
#include "play/joined_parts.h"
#include "play/records/player.h"
#include "play/records/score_records.h"
#include "play/state/play_state.h"
#include "play/window/frm_play.h"
#include "play/window/menu_commands.h"

namespace play {

class PlayerInPlay;
class TableLook;
class TurnCycle;

// What the menus and the windows work on, all owned by the program.
struct TableWindowsParts {
  FrmPlay& view;
  PlayState& state;
  platform::WaitService& wait;
  platform::UiService& ui;
  platform::WriteFailures& writeFailures;
  platform::SoundChannel& sound;
  platform::SettingsStore& settingsStore;
  const media::Folders& folders;
  const platform::ScreenMetrics& screen;
  const table::TableSettings& tableSettings;
  PlayerSettings& player;
  ScoreState& scores;
  ScoreStore& scoreStore;
  SampleGames& sample;
  NetState& net;
  OnlineStateAnswers& online;
  TableLook& look;
  TurnCycle& turns;
  PlayerInPlay& playerInPlay;
  const JoinedParts& joined;                        // the windows the menus open; those that follow the table
  std::unique_ptr<media::MusicPlayer> musicPlayer;  // null: no music
  std::unique_ptr<media::HelpBackend> helpBackend;  // null: no help window
};

class TableWindows : public MenuHooks, public FrmPlayFrame, public NetProgramHooks {
 public:
  explicit TableWindows(TableWindowsParts parts);
  ~TableWindows() override;
  TableWindows(const TableWindows&) = delete;
  TableWindows& operator=(const TableWindows&) = delete;

  MenuCommands& menus() { return *menus_; }
  media::Music& music() { return *music_; }

  // MenuHooks
  void ShowSystemInfo() override;
  // The manual: "Contents", "Keyword" with a keyword, or "Close".
  void ShowHelp(const QString& Action, const QString& Keyword = {}) override;
  void OpenURL(const QString& address) override;
  // FrmPlayFrame
  void MainWindowMinimised() override;
  void MainWindowShown(Qt::WindowStates state) override;
  // NetProgramHooks
  void SaveGameFromMenu() override;
  void ShowHelpKeyword(const QString& keyword) override { ShowHelp(QStringLiteral("Keyword"), keyword); }

 private:
  // The status bar says why there is no music.
  void ShowMusicUnavailable();
  TableWindowsParts p_;
  std::unique_ptr<MenuCommands> menus_;
  std::unique_ptr<media::Music> music_;
  std::unique_ptr<media::HelpBackend> helpBackend_;
  std::unique_ptr<media::HTMLHelp> HelpObject;  // made on first use, released on "Close"
  std::unique_ptr<platform::UrlOpener> urlOpener_;
};

}  // namespace play
