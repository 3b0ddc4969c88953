#pragma once
// The windows the menus and keys open. Play declares them; the dialogs and
// the other parts of the program implement them and main.cpp joins them.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

#include "play/records/players.h"
#include "play/state/play_state.h"

namespace media {
class Music;
struct Folders;
}  // namespace media
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
class MenuCommands;
struct NetState;
struct PlayerSettings;
struct SampleGames;
struct SavedGames;
struct ScoreState;

// The drop-down menu state the table's menu bar and the list window share.
struct MenuState {
  bool MenuOpen = false;        // the list window is shown; the panel click waits while it is
  std::int16_t MenuNumber = 0;  // 1 Game, 2 Options, 3 Internet, 4 Help, 5 Music; 0 after the command ran
  std::int16_t MenuRow = 0;     // the chosen row's command number; 0 after the command ran
};

// What the commands hand each other.
struct CommandState {
  int DevKeyStep = 0;                  // progress through the developer-view key sequence
  bool RestoringPreviousTurn = false;  // a backup to the previous turn is being restored
  bool SavingNetGame = false;          // the save dialog saves an online game
  bool NetRestartPending = false;      // a restart of the online game was asked for
  bool NetSecureGame = false;          // a saved online game is being restored online
};

// What the save and restore dialog hands back.
struct SaveChoice {
  bool Cancelled = true;       // left without a choice
  std::int16_t Slot = 0;       // the slot chosen, 1..10 or the previous turn's
  QString Description;         // save mode: the description to store with the game
  bool NetSecureGame = false;  // restore mode: the slot clicked last holds an online game restorable online
};

// What the player's windows change of the player in play.
class PlayerChanges {
 public:
  virtual ~PlayerChanges() = default;
  // The player's settings changed: the table's copy is refilled.
  virtual void PlayerSettingsChanged() = 0;
  // Player is written as record CurrentPlayer, as it stands.
  virtual void WritePlayerRecord() = 0;
  // The player in play is written to his record.
  virtual void SaveCurrentPlayer() = 0;
  // Record n (1..10) becomes the player in play.
  virtual PlayerFileResult ChangePlayer(std::int16_t n) = 0;
};

// The parts of the program the menus' windows work on; each window takes
// from these only what it uses.
struct MenuWindowParts {
  FrmPlay& table;  // the table window: the windows' owner, place and pictures
  platform::UiService& ui;
  platform::WaitService& wait;
  platform::SoundChannel& sound;
  const media::Folders& folders;
  PlayerSettings& player;             // the player in play and his settings
  PlayerChanges& playerChanges;       // applying, writing and changing the player
  platform::RecordFile& playersFile;  // "players4.sav"
  ScoreState& scores;                 // the match
  SavedGames& saved;                  // the saved-games file
  const SampleGames& sample;
  const NetState& net;
  const PlayState& state;
  MenuCommands& menus;  // the menus' own state and the commands the lists run
  media::Music& music;
};

// What the list window tells the one who opened it.
struct ListAnswers {
  std::function<void(int command)> chosen;  // a row was chosen (its command number); the list closes next
  std::function<void()> closed;             // the list closed, with a choice or without
};

// The windows of the menus themselves (the dialogs implement them).
class MenuDialogs {
 public:
  virtual ~MenuDialogs() = default;
  // The player window, modal: it loads the player chosen or added.
  virtual void ShowPlayerWindow() = 0;
  // The list window: filled with a menu's rows (songs for the Music menu),
  // placed (twips of the screen), shown modeless, unloaded. It answers
  // through answers.
  virtual void LoadList(int MenuId, const QStringList& songs, ListAnswers answers) = 0;
  virtual void ShowList(int leftTwips, int topTwips) = 0;
  virtual void UnloadList() = 0;
  // The save and restore dialog: 0 save, any other value restore.
  // savingNetGame: the game saved is an online one.
  virtual SaveChoice ShowSaveDialog(int mode, bool savingNetGame) = 0;
  // The match dialog: sets MatchPoints and MatchOn. False when it was
  // left without starting a match.
  virtual bool ShowMatchDialog() = 0;
  virtual void ShowSpeedWindow() = 0;
  virtual void ShowAboutWindow() = 0;
};

}  // namespace play
