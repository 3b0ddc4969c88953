#pragma once
// The menus of the table window: the drawn menu bar with its drop-down
// panel and list window (menu_bar.cpp), the commands of the Game, Options,
// Internet and Help menus (menu_commands.cpp) and the keyboard shortcuts
// that reach the same commands (keyboard_shortcuts.cpp). One object holds
// the menu state and answers the table's menu hooks.

#include <QObject>
#include <QString>
#include <cstdint>

#include "media/music.h"
#include "platform/built_later.h"
#include "platform/system.h"
#include "play/faces/menu_windows.h"
#include "play/faces/network_play.h"
#include "play/faces/preferences_access.h"
#include "play/faces/score_access.h"
#include "play/faces/tutorial_hooks.h"
#include "play/game/human_turn.h"
#include "play/game/new_game.h"
#include "play/game/saved_games.h"
#include "play/records/player.h"
#include "play/records/score_records.h"
#include "play/window/frm_play.h"
#include "table/backgrounds.h"
#include "table/small_card_windows.h"

namespace platform {
class SoundChannel;
}
namespace media {
struct Folders;
}

namespace play {

class FrmPlay;

// Menu commands by number: the rows of each menu.
enum GameCommand : int {
  kCmdNewGame = 0,
  kCmdMatch = 1,
  kCmdPlayer = 2,
  kCmdSave = 4,
  kCmdRestore = 5,
  kCmdPreviousTurn = 7,
  kCmdRestart = 8,
  kCmdStalemate = 9,
  kCmdScores = 11,
  kCmdExit = 13,
};
enum OptionsCommand : int {
  kOptSpeed = 0,
  kOptSound = 1,
  kOptWhoGoesFirst = 2,
  kOptPreferences = 4,
  kOptStructure = 6,
  kOptBackground = 7,
  kOptAddRemoveBackground = 8,
};
enum InternetCommand : int {
  kNetConnect = 0,
  kNetScores = 1,
  kNetSave = 3,
  kNetSendSaved = 4,
  kNetBackup = 6,
  kNetRestart = 7,
  kNetStalemate = 8,
  kNetMatch = 10,
  kNetNewGame = 11,
};
enum HelpCommand : int {
  kHelpManual = 0,
  kHelpTutorial = 1,
  kHelpSampleGame = 2,
  kHelpStatusBar = 4,
  kHelpWebSite = 7,
  kHelpAbout = 8,
};
enum MenuId : int { kMenuGame = 1, kMenuOptions = 2, kMenuInternet = 3, kMenuHelp = 4, kMenuMusic = 5 };

// The hidden developer-view sequence, each with Ctrl and Shift held; the
// first and third keys are the same.
inline constexpr int kDevKeys[4] = {'M', 'D', 'M', 'V'};

// The panel's heading band and the headings, in pixels of the panel.
constexpr int kHeadingTop = 22, kHeadingBottom = 60;
constexpr int kHoverStripTop = 23, kHoverStripLeft = 10;

// The heading under a point of the panel: 1..4, 0 for none.
int HeadingAt(int x, int y);
// Where the list window of a heading opens, in twips of the screen.
int MenuListLeft(int heading, int mainLeftTwips, bool LargeFonts);
int MenuListTop(int panelHeightPixels, int CaptionHeight, int twipsPerPixel, int mainTopTwips, bool LargeFonts);

inline constexpr char kOnlineTitle[] = "Marrowdale Online";
inline constexpr char kWaitForTurnText[] = "Wait until it's your turn to access this Menu.";
inline constexpr char kMenuSoundFile[] = "~106.tmp";  // the panel comes up

// Previous Turn at the start of a game, here or at the other player's table.
inline constexpr char kPreviousTurnTitle[] = "Previous Turn";
inline constexpr char kNoPreviousTurnText[] = "No previous turn to backup to.";
// The tutorial was left for a command while its game still moved beneath it.
inline constexpr char kTutorialTitle[] = "Tutorial";
inline constexpr char kTutorialLeftText[] =
    "The tutorial is closed, and its game is now yours.\r\nChoose the command again once the cards have settled.";

// What the commands ask of the game in progress.
class MenuGame {
 public:
  virtual ~MenuGame() = default;
  virtual NewGameResult NewGame() = 0;
  virtual RestoreContext CurrentRestoreContext() const = 0;
  // Asks, and on Yes ends the game as a stalemate.
  virtual void DeclareStalemate() = 0;
};

// What the commands ask of the windows around the table.
class MenuHooks {
 public:
  virtual ~MenuHooks() = default;
  virtual void ShowSystemInfo() = 0;
  virtual void ShowHelp(const QString& command, const QString& keyword) = 0;
  virtual void OpenURL(const QString& address) = 0;
};

// The windows and the online parts the commands open and call, each the
// one that does the work.
struct MenuWindows {
  platform::BuiltLater<MenuDialogs> dialogs;                 // the menus' own windows
  platform::BuiltLater<TutorialWindow> tutorial;             // Help's Tutorial row, F7
  platform::BuiltLater<NetworkPlay> network;                 // the Internet menu's first row, F9
  platform::BuiltLater<OnlineRestoreCommand> onlineRestore;  // restoring, restarting or sending an online game
  GameOverNetwork& online;                                   // "EG" and "RS" to the peer
  platform::BuiltLater<ScoresWindow> scores;  // on a tab (1 match, 3 online): modal offline, modeless online
  platform::BuiltLater<PreferencesWindow> preferences;
};

struct MenuServices {
  SavedGameServices& saved;  // piles, turn, record files, match, view, busy guard, boxes, waits
  ScoreState& scores;
  ScoreStore& store;
  PlayerSettings& player;
  SampleGames& sample;
  FrmPlay& frmPlay;
  platform::SoundChannel& sound;
  const media::Folders& folders;
  int CaptionHeight = 22;  // the title bar's height in pixels
  int TwipsPerPixel = platform::kNormalTwipsPerPixel;
  bool LargeFonts = false;  // the desktop is not at 96 dots per inch
  const NetState& net;      // NetConnIndex (0 offline, 99 setting up), whether host, the peer's version
  media::Music& music;
  MenuGame& game;
  table::Backgrounds& backgrounds;  // the next one by key code (32 next, 38 back, 40 forward); adding and removing
  table::SmallCardWindows& cardWindows;
  PlayerChanges& playerChanges;
  MenuHooks& hooks;
  MenuWindows windows;
};

class MenuCommands : public QObject, public ShortcutKeys, public MenuPanel, public FrmPlayMenus {
 public:
  explicit MenuCommands(const MenuServices& services, QObject* parent = nullptr);
  ~MenuCommands() override;

  // Watches the table window's menu tab, panel, mouse and keys.
  void Connect();

  // The command handlers.
  void GameMenu(int n);
  void OptionsMenu(int row);
  void InternetMenu(int row);
  void HelpMenu(int row, int choice);
  void MenuPanelClick();

  void KeyShortcut(int KeyCode, int Shift) override;
  // The table window was shown again: an open list window goes.
  void UnloadMenuWindow() override;

  // The Game menu's Restore as the online hand-over runs it: true when a
  // saved game replaced the table.
  bool RestoreCommand();
  // The Game menu's Save when an online game ends: the game on the table is
  // offered for saving even while the wait that the end cut short unwinds.
  void SaveGame() { Save(); }

  // NetIsHost is 1 (only the connection knows; offline it is not).
  bool NetIsHost() const { return IsHost(); }
  // The list window's Add/Remove Background popup.
  void ManageBackground(const QString& action) { s_.backgrounds.ManageBackground(action); }
  // Online in the peer's turn the Options rows that change the table are
  // refused: the panel closes, the user is told, and true comes back.
  bool RefusedInPeersTurn();
  // A command that replaces the table or writes the records while the deal,
  // a turn, a move or a hand-over runs: refused, online with a word why.
  bool RefusedWhileBusy();
  // A command that deals, restores, restarts or ends a game leaves a running
  // tutorial first, asking. False when the user stays in it, or when the
  // tutorial's game still moves beneath the command and cannot be replaced
  // before it returns (the user is told; the game goes on as his).
  // endsComputerTurn: the command itself offers to end the computer's turn.
  bool LeftTutorial(bool endsComputerTurn = false);

  // The menu bar.
  void PanelHide() override;
  void picMenu_MouseMove();
  void Form_MouseMove(int X, int Y);
  void Form_MouseDown();
  void picPanel_MouseMove(int X, int Y);
  void picPanel_MouseDown(int X, int Y);

  MenuState Menu;
  CommandState Commands;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool ComputerMoving() const;
  bool Online() const { return s_.net.Online(); }
  bool IsHost() const { return s_.net.NetIsHost == kNetHost; }
  bool RemoteSide() const { return Online() && !IsHost(); }
  bool Busy() const;
  void StartOrEndMatch();
  void Save();
  void Restore();
  void PreviousTurn();
  void Restart();
  void Exit();
  void PlayMenuSound(const char* file);
  void ShowPanel();
  void ToggleStatusBar();
  void SwitchPlaceHolders();
  void DeveloperKey(int KeyCode);
  // The developer view's message of the tableau cards window's sizes.
  void ShowWindowSizes();

  MenuServices s_;
  int listGeneration_ = 0;  // counts the lists opened; a newer one supersedes an older click
  bool restored_ = false;   // the last Restore command replaced the table
};

}  // namespace play
