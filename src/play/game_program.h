#pragma once
// The running program: the one owner of the game's state (the piles, the
// turn, the player, the scores, the record files, the busy guard, the wait
// service, the sounds) and of the table window, and the place where the
// parts of the game are joined: it answers the hooks each part declares by
// calling the procedures of the others.

#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>

#include "media/folders.h"
#include "media/help_backend.h"
#include "media/help_viewer.h"
#include "media/mp3_playback.h"
#include "media/music.h"
#include "platform/recordfile.h"
#include "platform/system.h"
#include "platform/wait.h"
#include "platform/write_failures.h"
#include "play/apply_move.h"
#include "play/computer_player.h"
#include "play/frm_play.h"
#include "play/game_over.h"
#include "play/human_turn.h"
#include "play/music_hooks.h"
#include "play/leaving.h"
#include "play/menu_commands.h"
#include "play/net_state.h"
#include "play/new_game.h"
#include "play/player.h"
#include "play/preferences_access.h"
#include "play/players.h"
#include "play/saved_games.h"
#include "play/score_access.h"
#include "play/score_records.h"
#include "play/start_up.h"
#include "play/tutorial_hooks.h"
#include "play/who_goes_first.h"
#include "table/backgrounds.h"
#include "table/busy_guard.h"
#include "table/card_deck.h"
#include "table/card_deck_library.h"
#include "table/deal.h"
#include "table/game_state.h"
#include "table/piles.h"
#include "table/small_card_windows.h"
#include "table/sound_effects_player.h"
#include "table/table_settings.h"

namespace platform {
class SettingsStore;
class SoundChannel;
class UiService;
}  // namespace platform

namespace play {

// The table variables as the card table reads them, from the player in
// play. The player's settings are the truth; the table's are a copy.
void FillTableSettings(const PlayerSettings& player, table::TableSettings& table);

// What the desktop gives the program. Tests put fakes in.
struct ProgramParts {
  media::Folders folders;
  platform::ScreenMetrics screen;
  std::unique_ptr<platform::UiService> ui;
  std::unique_ptr<platform::SoundChannel> sound;
  std::unique_ptr<platform::SettingsStore> settingsStore;
  std::uint32_t seed = 0;              // the random generator's seed, taken once
  QString cardDeckRoot;                // the card-deck library's folder; empty: the system's
  QString commandLine;                 // the arguments after the program's name, joined by blanks
  std::unique_ptr<media::MusicPlayer> musicPlayer;  // null: no music
  std::unique_ptr<media::HelpBackend> helpBackend;  // null: no help window
};


class Program : public QObject,
                private table::DealHooks,
                private PlayHooks,
                private SavedGameHooks,
                private PlayerTable,
                private PlayerScores,
                private PlayerNetFile,
                private FrmPlayNeighbours,
                private DecidingCardMarker,
                private HumanTurnNeighbours,
                private NewGameHooks,
                private StructurePicture,
                private MenuHooks,
                private table::PopupOptions,
                private CommandWindows,
                private table::TableauWindowHooks,
                private PreferencesTable,
                private TableBackgrounds,
                private NetProgramHooks,
                private HandPictures {
 public:
  explicit Program(ProgramParts parts);
  ~Program() override;
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Start-up: opens the players file and loads the last player (the
  // template on a first start), writes the pictures and sounds out, opens
  // the saved-games and move files and shows the empty table. False, after
  // telling the user, when the program must end.
  bool Start();

  // The neighbours start-up and leaving call; each may stay unset.
  void SetSplash(SplashWindow* splash) { startUp_->SetSplash(splash); splash_ = splash; }
  void SetStartUpMusic(StartUpMusic* music) { startUp_->SetMusic(music); }
  void SetFirstStartWindows(FirstStartWindows* windows) { startUp_->SetFirstStartWindows(windows); }
  void SetOnlineGoodbye(OnlineGoodbye* online) { leaving_->SetOnline(online); }
  void SetLeavingMedia(LeavingMedia* media) { leaving_->SetMedia(media); }
  // The list-style menu that shows the music rows.
  void SetMusicMenu(media::MusicMenu* menu) { music_->SetMenu(menu); }
  void SetChatBackground(table::ChatBackground* chat) { backgrounds_->SetChat(chat); }

  // The Deal button.
  void cmdDeal_Click();
  // Starts a new game (menus, tutorial and scores window call this).
  NewGameResult NewGame() override;
  // The end of a top-level command (a button, a pile event, a menu
  // command): a close requested while it ran is completed now.
  void FinishTopLevelCommand() override;

  // What network play is given of the program, and network play itself,
  // joined before Start.
  NetPlayParts NetParts();
  void SetNetworkPlay(NetworkPlay* network) { network_ = network; }
  void SetOnlineExchange(OnlineExchange* exchange) { onlineAnswers_.SetExchange(exchange); }
  void SetOnlineRestore(OnlineRestoreCommand* restore) { onlineRestore_ = restore; }
  SavedGameServices& savedServices() { return *savedServices_; }
  table::PileArrays& pilesForNetwork() { return piles_; }
  const std::int16_t& FirstPlayerRule() const { return player_.FirstPlayerRule; }
  const NetState& net() const { return net_; }
  // The tutorial window, joined by main; null leaves the program without one.
  void SetTutorial(TutorialWindow* tutorial);
  TutorialWindow* tutorial() const { return tutorial_; }
  // What the tutorial is given of the program; its hands are painted by
  // the table's backgrounds.
  TutorialServices TutorialParts();
  HandPictures& Hands() { return *this; }
  // Opens the tutorial (Help's "Tutorial" row, F7, a first start).
  void OpenTutorial();

  FrmPlay& frmPlay() { return *frmPlay_; }
  platform::WaitService& wait() { return wait_; }
  const table::PileArrays& piles() const { return piles_; }
  const table::GameState& state() const { return state_; }
  const PlayerSettings& player() const { return player_; }
  const table::TableSettings& tableSettings() const { return tableSettings_; }
  const table::BusyGuard& guard() const { return guard_; }
  SampleGames& sample() { return sample_; }
  const media::Folders& folders() const { return folders_; }
  MoveServices& moveServices() { return *moveServices_; }
  HumanTurn& humanTurn() { return *humanTurn_; }
  MenuCommands& menus() { return *menus_; }

  // What the menus' dialogs work on.
  platform::UiService& ui() { return *ui_; }
  platform::SoundChannel& sound() { return *sound_; }
  table::GameState& gameState() { return state_; }
  PlayerSettings& playerSettings() { return player_; }
  ScoreState& scores() { return scores_; }
  SavedGames& savedGames() { return saved_; }
  platform::RecordFile& playersFile() { return playersFile_; }
  const platform::ScreenMetrics& screen() const { return screen_; }
  std::int16_t NetConnIndex() const override { return net_.NetConnIndex; }
  // The player's settings changed: the table's copy is refilled.
  void PlayerSettingsChanged() override;
  // Player is written as record CurrentPlayer, as it stands.
  void WritePlayerRecord() override;
  // The player in play is written to his record (SavePlayer).
  void SaveCurrentPlayer();
  // Record n (1..10) becomes the player in play, and the settings record
  // names him for the next start.
  PlayerFileResult ChangePlayer(std::int16_t n);
  table::Backgrounds& backgrounds() { return *backgrounds_; }
  StartUp& startUp() { return *startUp_; }
  Leaving& leaving() { return *leaving_; }
  // The intro, the play list, the music menu's rows and the clean-up.
  media::Music& music() { return *music_; }
  // The manual: "Contents", "Keyword" with a keyword, or "Close".
  void ShowHelp(const QString& Action, const QString& Keyword = {}) override;

  // What the scores window works on, and the window itself (main.cpp wires it).
  ScoreAccess ScoresAccess();
  void SetScoresWindow(ScoresWindow* window) { scoresWindow_ = window; }
  ScoresWindow* scoresWindow() const { return scoresWindow_; }
  // What the Preferences dialog works on.
  PreferencesTable& Preferences() { return *this; }
  void SetPreferencesWindow(PreferencesWindow* window) { preferencesWindow_ = window; }
  PreferencesWindow* preferencesWindow() const { return preferencesWindow_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:

  // table::DealHooks, SavedGameHooks
  std::int16_t WhoGoesFirst(int FirstPlayerRule) override;
  void WhoseTurn() override;
  void SaveGameRecord() override;
  // PlayHooks
  void GameOver(int winner) override;
  void ShowPileCounts() override;
  void WriteMoveRecord(int record) override;
  bool Online() const override;
  bool Move_Transmit_PlayCard(const OnlineMove& move) override;
  void EnableNextTip(bool enabled) override;
  // SavedGameHooks
  void ClearTable() override;
  void RedrawTable() override;
  void CheckMatchComplete() override;
  void ShowMatchPoints(bool show) override;
  void SaveScoreRec() override;
  void ShowTutorialNext() override;
  void ComputerTurn() override;
  // PlayerTable
  void ApplySettings(const PlayerSettings& settings) override;
  void LoadBackgroundList(QString& BackgroundName) override;
  int BackgroundCount() const override;
  int BackgroundIndex() const override;
  void SetBackgroundIndex(int index) override;
  QString BackgroundList(int index) const override;
  void ClearTablePicture() override;
  void ShowBackground() override;
  void SetEmptyPilePictures() override;
  void GetCardFaces(std::int16_t& deck) override;
  void GetCardBacks(std::int16_t& back) override;
  void ShowDealButton() override;
  // MenuHooks
  RestoreContext CurrentRestoreContext() const override;
  void DeclareStalemate() override;
  void ShowSystemInfo() override;
  void ShowWindowSizes() override;
  void OpenURL(const QString& address) override;
  void ManageBackground(const QString& action) override;
  void ShowScores(int tab) override;
  void ShowPreferences() override;
  // CommandWindows: the windows of network play and the tutorial
  void SetupInternet() override;
  void NetRestoreGame() override {
    if (onlineRestore_) onlineRestore_->NetRestoreGame();
  }
  void ShowTutorial() override;
  void SendEndGame(bool endMatch) override { onlineAnswers_.SendEndGame(endMatch); }
  void ExchangeReset() override { onlineAnswers_.ExchangeReset(); }
  bool NetIsHost() const override { return net_.NetIsHost == 1; }
  QString PeerVersion() const override { return net_.NetPeerInfo[1].Version; }
  // table::PopupOptions
  void SoundChosen(bool SoundOn, std::int16_t CardSoundSet) override;
  void FirstPlayerChosen(std::int16_t FirstPlayerRule) override;
  // PlayerScores
  void LoadScoreRec() override;
  void ResumeMatch() override;
  // PlayerNetFile
  void CloseNetFile() override;
  bool OpenNetFile(const QString& path) override;
  void LoadNetPlayerList() override;
  // FrmPlayNeighbours
  bool TableauCardsWindowShown() const override;
  void HideTableauCardsWindow() override;
  void ShowLogo(bool show) override;
  void ShowMatchPoints() override;
  void ShowMusicMenu() override;
  bool MusicUnavailable() const override;
  bool IsMP3Playing() override;
  void StopMP3() override;
  void RequestStopMusic() override;
  void KeyShortcut(int keyCode, int shift) override;
  bool MatchOn() const override;
  int MatchPoints() const override;
  int MatchScore() const override;
  int OppMatchScore() const override;
  void SetMatchPoints(std::int16_t points) override;
  // StructurePicture
  int CurrentStructure() const override;
  void NextStructure(int value) override;
  void MainWindowMinimised() override;
  void MainWindowShown(Qt::WindowStates state) override;
  void UnloadMenuWindow() override;
  bool SplashOpen() const override;
  bool BackgroundChosen() const override;
  // DecidingCardMarker
  void MoveCardFrameOver(table::PileControl pile, int index) override;
  // HumanTurnNeighbours
  void PanelHide() override;
  void ViewCards(const QString& pileName, int index) override;
  void ShowTableauPile(int pile) override;
  void TutorialStockTurned() override;
  void HideTutorialHand() override;
  // HandPictures
  void ShowHand() override;
  void Opponent() override;
  // TableauWindowHooks
  bool TutorialMode() const override;
  void TableauWindowClickedInTutorial() override;
  // PreferencesTable
  PlayerSettings& Settings() override { return player_; }
  const table::TableSettings& Table() const override { return tableSettings_; }
  table::FrmPic& Pictures() override;
  platform::UiService& Ui() override { return *ui_; }
  platform::WaitService& Wait() override { return wait_; }
  table::CardDeckSource* DeckLibrary() override;
  QImage BuiltInFaceSheet() const override;
  int ColorBits() const override { return screen_.colorBits; }
  TableBackgrounds* Backgrounds() override { return this; }
  // TableBackgrounds
  bool TileBackground(QImage& surface) override;
  void NextBackground(int keyCode) override;
  void ApplyPreferences() override;
  void SetCardBackColor(std::uint32_t bgr) override { tableSettings_.CardBackColor = bgr; }
  bool SavePlayer() override;
  void RefreshEmptyPilePictures() override;
  void UnloadTableauCardsWindow() override { cardWindows_->UnloadTableauCardsWindow(); }
  // NetProgramHooks
  void SaveGameFromMenu() override;
  void UnloadScoresWindow() override;
  void ShowHelpKeyword(const QString& keyword) override;

  // What the desktop gives.
  media::Folders folders_;
  platform::ScreenMetrics screen_;
  std::unique_ptr<platform::UiService> ui_;
  std::unique_ptr<platform::SoundChannel> sound_;
  std::unique_ptr<platform::SettingsStore> settingsStore_;
  platform::WriteFailures writeFailures_;  // every record file tells the user here when a write fails

  // The game's state.
  table::RandomSource random_;             // the one generator, seeded once
  platform::WaitService wait_;             // every wait of the program; Exiting
  table::BusyGuard guard_;                 // commands that replace the table ask here
  table::PileArrays piles_;                // the cards on the table
  table::GameState state_;                 // the turn and the move in progress
  PlayerSettings player_;                  // the player in play and his settings
  table::TableSettings tableSettings_;     // the copy the card table draws with
  ScoreState scores_;                      // the score record in force and the match
  NetState net_;                           // what the game reads of the connection
  OnlineStateAnswers onlineAnswers_{net_};  // game over's and the new game's questions about it
  NetworkPlay* network_ = nullptr;         // network play; null until joined
  OnlineRestoreCommand* onlineRestore_ = nullptr;  // the online table hand-over; null until joined
  platform::RecordFile netFile_;           // the player's opponents file, when he has one
  NetScoreFile netScores_;                 // its current record
  ScoreStore scoreStore_;                  // where the score record in force is kept
  SavedGames saved_;                       // the game record and the saved-games and move files
  SampleGames sample_;                     // the numbered sample games
  platform::RecordFile playersFile_;       // "players4.sav", open for the run

  // The card pictures and sounds.
  table::CardDeckLibrary deckLibrary_;
  table::LibraryDeckSource deckSource_;
  table::SoundEffectsPlayer sfx_;

  // The window and the services the game's procedures are given.
  std::unique_ptr<FrmPlay> frmPlay_;
  std::unique_ptr<MoveServices> moveServices_;
  std::unique_ptr<ComputerPlayer> computer_;
  std::unique_ptr<HumanTurn> humanTurn_;
  std::unique_ptr<SavedGameServices> savedServices_;
  std::unique_ptr<GameOverServices> gameOverServices_;
  std::unique_ptr<NewGameServices> newGameServices_;
  std::unique_ptr<PlayerServices> playerServices_;
  std::unique_ptr<table::Backgrounds> backgrounds_;
  std::unique_ptr<StartUp> startUp_;
  std::unique_ptr<Leaving> leaving_;
  SplashWindow* splash_ = nullptr;
  std::unique_ptr<MenuCommands> menus_;
  std::unique_ptr<platform::UrlOpener> urlOpener_;

  // The music and the manual.
  std::unique_ptr<media::Music> music_;
  std::unique_ptr<media::HelpBackend> helpBackend_;
  std::unique_ptr<media::HTMLHelp> HelpObject;  // made on first use, released on "Close"
  std::unique_ptr<MusicHooks> musicHooks_;       // start-up's and leaving's way to them
  std::unique_ptr<table::SmallCardWindows> cardWindows_;  // the tableau cards window and the pile viewer
  ScoresWindow* scoresWindow_ = nullptr;                  // none until main.cpp wires the dialogs
  PreferencesWindow* preferencesWindow_ = nullptr;        // none until main.cpp wires the dialogs
  TutorialWindow* tutorial_ = nullptr;           // the tutorial window's owner; null: none joined
};

}  // namespace play
