#include "play/game_program.h"

#include <QCoreApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <utility>

#include "media/html_help.h"
#include "platform/settings.h"
#include "platform/sound.h"
#include "platform/ui.h"
#include "platform/system.h"
#include "platform/vb.h"
#include "play/player_record.h"
#include "play/top_level_command.h"
#include "play/utilities.h"
#include "table/picture_box.h"
#include "table/table_pictures.h"

namespace play {

namespace {

// The deciding-card frame stands this far left of and above the pile.
constexpr int kCardFrameLeftOffset = 5;
constexpr int kCardFrameTopOffset = 4;

}  // namespace

void FillTableSettings(const PlayerSettings& player, table::TableSettings& table) {
  table.PlayerName = player.PlayerName;
  table.TextFontSize = player.TextFontSize;
  table.AnimSpeed = player.AnimSpeed;
  table.SoundOn = player.SoundOn;
  table.CardSoundSet = player.CardSoundSet;
  table.CardDeck = player.CardDeck;
  table.CardBack = player.CardBack;
  table.FontColor = player.FontColor;
  table.MatColor = player.MatColor;
  table.WoodPlaceHolders = player.WoodPlaceHolders;
  table.FirstPlayerRule = player.FirstPlayerRule;
  table.BackgroundFile = vb::TrimRecord(player.Player.BackgroundName);
}

Program::Program(ProgramParts parts)
    : folders_(std::move(parts.folders)),
      screen_(parts.screen),
      ui_(std::move(parts.ui)),
      sound_(std::move(parts.sound)),
      settingsStore_(std::move(parts.settingsStore)),
      writeFailures_(*ui_),
      random_(table::SeededRandom(parts.seed)),
      deckLibrary_(parts.cardDeckRoot.isEmpty() ? table::CardDeckLibrary::DefaultRoot() : parts.cardDeckRoot),
      deckSource_(deckLibrary_),
      sfx_(*sound_, folders_.DataPath, [this] {
        return table::SoundSettings{player_.SoundOn, player_.CardSoundSet};
      }) {
  tableSettings_.LargeFonts = screen_.logPixelsX != 96;
  tableSettings_.ScreenWidth = screen_.WidthTwips();

  for (platform::RecordFile* file : {&playersFile_, &saved_.SavedGamesFile, &saved_.MoveFile, &netFile_})
    file->ReportFailuresTo(&writeFailures_);
  netScores_.File = &netFile_;
  scoreStore_.Player = &player_.Player;
  scoreStore_.CurrentPlayer = &player_.CurrentPlayer;
  scoreStore_.PlayersFile = &playersFile_;
  scoreStore_.NetConnIndex = &net_.NetConnIndex;
  scoreStore_.Net = &netScores_;

  frmPlay_ = std::make_unique<FrmPlay>(
      table::CardTableServices{piles_, state_, tableSettings_, wait_, *ui_, &sfx_,
                               table::PicturesFolder(folders_.AppPath)},
      screen_);
  frmPlay_->SetNeighbours(this);
  if (auto* qtUi = dynamic_cast<platform::QtUi*>(ui_.get())) {
    qtUi->SetParent(frmPlay_.get());
    qtUi->SetWaitService(&wait_);
  }
  FrmPlay& view = *frmPlay_;

  moveServices_ = std::make_unique<MoveServices>(
      MoveServices{piles_, state_, view, sfx_, wait_, guard_, *this, player_.ThinkDelay, {}});
  onlineAnswers_.SetMoves(moveServices_.get());
  computer_ = std::make_unique<ComputerPlayer>(*moveServices_);
  humanTurn_ = std::make_unique<HumanTurn>(HumanTurnServices{*moveServices_, view, *computer_, *ui_, *sound_,
                                                             tableSettings_, folders_.DataPath, *this});
  savedServices_ = std::make_unique<SavedGameServices>(SavedGameServices{
      piles_, state_, saved_, MatchRefs{scores_.CurrentScores, scores_.MatchOn, scores_.MatchPoints},
      sample_.SampleGameNumber, view, guard_, *ui_, wait_, *this});
  gameOverServices_ = std::make_unique<GameOverServices>(GameOverServices{
      piles_, state_, scores_, scoreStore_, view, sfx_, *sound_, wait_, *ui_, guard_, player_.SoundOn,
      player_.PlayerName, folders_.AppPath, folders_.DataPath});
  gameOverServices_->network = &onlineAnswers_;
  gameOverServices_->writeFailures = &writeFailures_;
  newGameServices_ = std::make_unique<NewGameServices>(NewGameServices{
      table::DealServices{piles_, state_, view, sfx_, wait_, *ui_, *this}, *savedServices_, guard_,
      *settingsStore_, sample_, random_, folders_.AppPath, player_.PlayerName, player_.FirstPlayerRule, *this});
  newGameServices_->network = &onlineAnswers_;
  newGameServices_->StalemateDeclared = &scores_.StalemateDeclared;
  playerServices_ = std::make_unique<PlayerServices>(PlayerServices{
      playersFile_, folders_, state_, view, *this, *this, *this, tableSettings_.LargeFonts});
  backgrounds_ = std::make_unique<table::Backgrounds>(view, state_, tableSettings_, *ui_, folders_,
                                                      player_.CurrentStructure, screen_.TwipsPerPixel());
  gameOverServices_->structures = this;
  startUp_ = std::make_unique<StartUp>(StartUpServices{folders_, screen_, *ui_, wait_, *settingsStore_, state_,
                                                       player_, playersFile_, saved_, sample_, scores_,
                                                       *playerServices_, view, *backgrounds_, parts.commandLine});
  leaving_ = std::make_unique<Leaving>(LeavingServices{folders_, wait_, *ui_, *sound_, state_, player_, *this,
                                                       playersFile_, saved_, view, player_.SoundOn});
  // The session's end runs the same exit work as the close box, once.
  if (QCoreApplication* app = QCoreApplication::instance())
    QObject::connect(app, &QCoreApplication::aboutToQuit, this, [this] { leaving_->ExitLeft(); });

  helpBackend_ = std::move(parts.helpBackend);
  music_ = std::make_unique<media::Music>(
      media::MusicServices{folders_, wait_, *ui_, *settingsStore_, *sound_, [this] { return player_.SoundOn; },
                           kProgramTitle, [this] { FinishTopLevelCommand(); }},
      std::move(parts.musicPlayer));
  if (music_->MusicUnavailable()) view.ShowMusicUnavailable(media::MusicUnavailableText(music_->UnavailableCause()));
  musicHooks_ = std::make_unique<MusicHooks>(*music_, [this] { ShowHelp("Close"); });
  startUp_->SetMusic(musicHooks_.get());
  leaving_->SetMedia(musicHooks_.get());
  cardWindows_ = std::make_unique<table::SmallCardWindows>(view, tableSettings_, screen_.captionHeight,
                                                          screen_.TwipsPerPixel(),
                                                          static_cast<table::TableauWindowHooks*>(this));
  menus_ = std::make_unique<MenuCommands>(MenuServices{*savedServices_, scores_, scoreStore_, player_, sample_, view,
                                                       *sound_, folders_, screen_.captionHeight,
                                                       screen_.TwipsPerPixel(), tableSettings_.LargeFonts, *this});
  view.frmPic.SetOptions(this);
  menus_->SetWindows(this);

  QObject::connect(view.cmdDeal, &QPushButton::clicked, this, [this] { cmdDeal_Click(); });
  view.installEventFilter(this);
}

Program::~Program() {
  if (frmPlay_) frmPlay_->removeEventFilter(this);
}

bool Program::Start() {
  FrmPlay& view = *frmPlay_;
  view.SetFixedSizes();
  humanTurn_->Connect();
  menus_->Connect();
  if (startUp_->Run()) {
    // A close asked for during start-up's pauses is completed now.
    FinishTopLevelCommand();
    return true;
  }
  // Start-up stopped: nothing is stored, the temporary files go.
  leaving_->SetExitHandled();
  saved_.SavedGamesFile.Close();
  ClearTempMoves(saved_, false, folders_.DataPath, *ui_);
  playersFile_.Close();
  leaving_->CleanUpStuff();
  return false;
}

RestoreContext Program::CurrentRestoreContext() const {
  RestoreContext ctx;
  ctx.FirstPlayerRule = player_.FirstPlayerRule;
  ctx.PlayerName = player_.PlayerName;
  ctx.Online = Online();
  ctx.SampleGameMode = sample_.SampleGameMode;
  return ctx;
}

void Program::cmdDeal_Click() { play::cmdDeal_Click(*newGameServices_, CurrentRestoreContext()); }

NewGameResult Program::NewGame() {
  const NewGameResult result = play::NewGame(*newGameServices_);
  FinishTopLevelCommand();
  return result;
}

// ---- Closing ----

// A close asked for while a wait runs (a deal, the computer's turn, a
// pause) only sets Exiting: the running work stops, and the command that
// started it completes the close when it returns, here.
void Program::FinishTopLevelCommand() { play::FinishTopLevelCommand(wait_, state_, frmPlay_.get()); }

bool Program::eventFilter(QObject* watched, QEvent* event) {
  if (watched == frmPlay_.get() && event->type() == QEvent::Close) {
    if (!leaving_->CloseRequested()) {
      event->ignore();
      return true;
    }
    cardWindows_->UnloadAll();
  }
  return QObject::eventFilter(watched, event);
}

// ---- The deal, the moves and the records ----

std::int16_t Program::WhoGoesFirst(int FirstPlayerRule) {
  FirstPlayerPeople people;
  people.PlayerName = player_.PlayerName;
  people.Online = Online();
  people.OpponentName = net_.OpponentName;
  // The coin is drawn from the program's one generator, not from a copy of it.
  const FirstPlayerOutput out{*frmPlay_, sfx_, *this, [this](double seconds) { Pause(wait_, seconds); },
                              [this] { return random_(); }};
  return static_cast<std::int16_t>(
      play::WhoGoesFirst(FirstPlayerRule, piles_, state_, people, out, &net_.WhoGoesFirstText));
}

// Online only; network play tells the remote side whose turn it is.
void Program::WhoseTurn() {
  if (onlineAnswers_.Exchange() && net_.PeerPresent()) onlineAnswers_.Exchange()->WhoseTurn();
}

void Program::SaveGameRecord() { play::SaveGameRecord(*savedServices_); }

void Program::GameOver(int winner) {
  std::int16_t w = static_cast<std::int16_t>(winner);
  play::GameOver(*gameOverServices_, w);
}

void Program::ShowPileCounts() { play::ShowPileCounts(piles_, *frmPlay_); }

void Program::WriteMoveRecord(int record) {
  FillGameRecord(*savedServices_);
  const std::int16_t next = state_.TempMoveNumber;
  state_.TempMoveNumber = static_cast<std::int16_t>(record);
  play::WriteMoveRecord(*savedServices_);
  state_.TempMoveNumber = next;
}

bool Program::Online() const { return net_.NetConnIndex != kNetOffline; }

// Never asked offline; network play sends the move.
bool Program::Move_Transmit_PlayCard(const OnlineMove& move) {
  return onlineAnswers_.Exchange() && net_.PeerPresent() && onlineAnswers_.Exchange()->Move_Transmit_PlayCard(move);
}

// ---- The tutorial ----

void Program::SetTutorial(TutorialWindow* tutorial) {
  tutorial_ = tutorial;
  newGameServices_->tutorial = tutorial;
}

TutorialServices Program::TutorialParts() {
  return TutorialServices{state_, wait_, guard_, *ui_, *frmPlay_, folders_.AppPath,
                          tableSettings_.ScreenWidth, screen_.TwipsPerPixel(), tableSettings_.LargeFonts};
}

void Program::OpenTutorial() {
  if (tutorial_) tutorial_->OpenTutorial();
}

void Program::ShowHand() { backgrounds_->ShowHand(frmPlay_->picHand); }

void Program::EnableNextTip(bool enabled) {
  if (tutorial_) tutorial_->EnableNextTip(enabled);
}
void Program::ShowTutorialNext() {
  if (tutorial_) tutorial_->ShowTutorialNext();
}
void Program::TutorialStockTurned() {
  if (tutorial_) tutorial_->TutorialStockTurned();
}
void Program::HideTutorialHand() {
  if (tutorial_) tutorial_->HideTutorialHand();
}

void Program::ClearTable() { frmPlay_->ClearTable(); }
void Program::RedrawTable() { frmPlay_->RedrawTable(); }
void Program::CheckMatchComplete() { play::CheckMatchComplete(scores_, *frmPlay_); }
void Program::ShowMatchPoints(bool show) { play::ShowMatchPoints(*frmPlay_, show); }
void Program::ShowMatchPoints() { play::ShowMatchPoints(*frmPlay_, scores_.MatchOn); }
void Program::SaveScoreRec() { play::SaveScoreRec(scores_, scoreStore_); }

void Program::ComputerTurn() { computer_->ComputerTurn(); }

// ---- The player ----

void Program::ApplySettings(const PlayerSettings& settings) {
  FillTableSettings(settings, tableSettings_);
  moveServices_->ThinkDelay = settings.ThinkDelay;
  // The mat colour shows wherever no background picture is painted.
  frmPlay_->SetFormBackColor(tableSettings_.MatColor);
  frmPlay_->SetLabelColors();
}

void Program::ApplyPreferences() {
  const std::uint32_t matBefore = tableSettings_.MatColor;
  ApplySettings(player_);
  // The mat colour is painted into the table's picture: a new one shows
  // once the background is painted again.
  if (tableSettings_.MatColor != matBefore && backgrounds_->Listed()) backgrounds_->ShowBackground();
}

void Program::LoadBackgroundList(QString& BackgroundName) { backgrounds_->LoadBackgroundList(BackgroundName); }
int Program::BackgroundCount() const { return backgrounds_->BackgroundCount(); }
int Program::BackgroundIndex() const { return backgrounds_->BackgroundIndex(); }
void Program::SetBackgroundIndex(int index) { backgrounds_->SetBackgroundIndex(index); }
QString Program::BackgroundList(int index) const { return backgrounds_->BackgroundList(index); }

void Program::ClearTablePicture() {
  frmPlay_->FormPicture() = QImage();
  frmPlay_->SetFormBackColor(tableSettings_.MatColor);
}

void Program::ShowBackground() { backgrounds_->ShowBackground(); }
bool Program::BackgroundChosen() const { return backgrounds_->Listed(); }

int Program::CurrentStructure() const { return backgrounds_->CurrentStructure(); }
void Program::NextStructure(int value) { backgrounds_->NextStructure(value); }

void Program::SetEmptyPilePictures() { frmPlay_->SetEmptyPilePictures(); }

void Program::GetCardFaces(std::int16_t& deck) {
  table::ClsDLL cls(deckLibrary_.DecksQuantity() > 0 ? &deckSource_ : nullptr, frmPlay_->frmStdSm,
                    frmPlay_->frmPic);
  cls.GetCardFaces(deck);
}

void Program::GetCardBacks(std::int16_t& back) {
  table::ClsDLL cls(deckLibrary_.DecksQuantity() > 0 ? &deckSource_ : nullptr, frmPlay_->frmStdSm,
                    frmPlay_->frmPic);
  std::int16_t preview = 0;
  bool small = false;
  cls.GetCardBacks(back, nullptr, preview, small);
}

void Program::ShowDealButton() { frmPlay_->SetImageVisible(table::TableImage::cmdDeal, true); }

void Program::LoadScoreRec() { play::LoadScoreRec(scores_, scoreStore_); }
void Program::ResumeMatch() { play::ResumeMatch(scores_, *frmPlay_); }

void Program::CloseNetFile() {
  netFile_.Close();
  net_.NetFileOpen = false;
}
bool Program::OpenNetFile(const QString& path) {
  net_.NetFileOpen = netFile_.Open(path, kNetScoreRecordLength);
  return net_.NetFileOpen;
}
void Program::LoadNetPlayerList() {
  if (network_) network_->LoadNetPlayerList();
}

// ---- The menus ----

void Program::DeclareStalemate() { play::DeclareStalemate(*gameOverServices_); }

void Program::PlayerSettingsChanged() { ApplySettings(player_); }

void Program::WritePlayerRecord() {
  if (!IsPlayerRecordNumber(player_.CurrentPlayer)) return;
  if (!playersFile_.Write(player_.CurrentPlayer, player_.Player.Encode()) || !playersFile_.Flush())
    ui_->MsgBox(PlayerFileResultText(PlayerFileResult::WriteFailed), platform::vbExclamation, kProgramTitle);
}

void Program::SaveCurrentPlayer() {
  const PlayerFileResult result = play::SavePlayer(player_, *this, playersFile_);
  if (result == PlayerFileResult::WriteFailed)
    ui_->MsgBox(PlayerFileResultText(result), platform::vbExclamation, kProgramTitle);
}

PlayerFileResult Program::ChangePlayer(std::int16_t n) {
  if (!IsPlayerRecordNumber(n)) return PlayerFileResult::NoSuchPlayer;
  const std::int16_t previous = player_.CurrentPlayer;
  player_.CurrentPlayer = n;
  const PlayerFileResult result = LoadPlayer(n, player_, *playerServices_);
  if (result != PlayerFileResult::Ok) {
    player_.CurrentPlayer = previous;
    if (IsPlayerRecordNumber(previous)) LoadPlayer(previous, player_, *playerServices_);
    ui_->MsgBox(PlayerFileResultText(result), platform::vbExclamation, kProgramTitle);
    return result;
  }
  // The choice survives whatever ends this run; the window's placement in
  // the settings record stays as it is.
  SaveSettingsRecord(playersFile_, n, WindowShown::Minimized, {});
  return result;
}

void Program::ShowSystemInfo() {
  const int tpp = screen_.TwipsPerPixel();
  play::ShowSystemInfo(frmPlay_->width() * tpp, frmPlay_->height() * tpp,
                       AnimSpeedFields{player_.AnimSpeed, player_.Player.AnimSpeed}, state_.Message, *ui_);
}

void Program::ShowWindowSizes() {
  const table::FrmHold& hold = cardWindows_->MadeTableauCardsWindow();
  const int tpp = screen_.TwipsPerPixel();
  const table::PictureBox* first = hold.Picture8[1];
  const WindowSizes sizes{hold.frameGeometry().height() * tpp, hold.height() * tpp,
                          hold.frameGeometry().width() * tpp, first ? first->height() * tpp : 0};
  ui_->MsgBox(WindowSizeMessage(sizes), platform::vbOKOnly | platform::vbInformation, kProgramTitle);
}

void Program::OpenURL(const QString& address) {
  if (!urlOpener_) urlOpener_ = platform::CreateDesktopUrlOpener();
  play::OpenURL(address, *urlOpener_, *ui_);
}

void Program::ManageBackground(const QString& action) {
  backgrounds_->ManageBackground(action);
}

void Program::ShowScores(int tab) {
  if (scoresWindow_) scoresWindow_->ShowScores(tab);
}

void Program::ShowPreferences() {
  if (preferencesWindow_) preferencesWindow_->ShowPreferences();
}

void Program::SetupInternet() {
  if (network_) network_->SetupInternet();
}

void Program::ShowTutorial() { OpenTutorial(); }

void Program::SoundChosen(bool SoundOn, std::int16_t CardSoundSet) {
  player_.SoundOn = SoundOn;
  player_.CardSoundSet = CardSoundSet;
  ApplySettings(player_);
  SaveCurrentPlayer();
}

void Program::FirstPlayerChosen(std::int16_t FirstPlayerRule) {
  player_.FirstPlayerRule = FirstPlayerRule;
  ApplySettings(player_);
}

// ---- The window's neighbours ----

bool Program::TableauCardsWindowShown() const { return cardWindows_->TableauCardsWindowShown(); }
void Program::HideTableauCardsWindow() { cardWindows_->HideTableauCardsWindow(); }

void Program::ShowLogo(bool show) { backgrounds_->ShowLogo(show); }

// The music menu waits while it is open: a close asked for meanwhile is
// completed when it returns.
void Program::ShowMusicMenu() {
  music_->ShowMusicMenu();
  FinishTopLevelCommand();
}
bool Program::MusicUnavailable() const {
  return music_->MusicUnavailable() || startUp_->State().MusicUnavailable;
}
bool Program::IsMP3Playing() { return music_->IsMP3Playing(); }
void Program::StopMP3() { music_->StopMP3(); }
void Program::RequestStopMusic() { music_->RequestStopMusic(); }

void Program::ShowHelp(const QString& Action, const QString& Keyword) {
  play::ShowHelp(Action, Keyword, HelpObject, [this]() -> std::unique_ptr<media::HTMLHelp> {
    if (!helpBackend_) return nullptr;
    return std::make_unique<media::HTMLHelpWrapper>(*helpBackend_, *ui_, *settingsStore_, folders_.AppPath);
  }, folders_.AppPath);
}

void Program::KeyShortcut(int keyCode, int shift) { menus_->KeyShortcut(keyCode, shift); }

bool Program::MatchOn() const { return scores_.MatchOn; }
int Program::MatchPoints() const { return scores_.MatchPoints; }
int Program::MatchScore() const { return scores_.CurrentScores.MatchScore; }
int Program::OppMatchScore() const { return scores_.CurrentScores.OppMatchScore; }

void Program::SetMatchPoints(std::int16_t points) {
  scores_.MatchPoints = points;
  scores_.CurrentScores.MatchTarget = points;
  play::SaveScoreRec(scores_, scoreStore_);
}

// The menu list is not part of the program yet; the scores and tableau
// cards windows are unloaded, the tutorial and the chat window hide and
// come back with the table.
void Program::MainWindowMinimised() {
  if (scoresWindow_) scoresWindow_->UnloadScoresWindow();
  cardWindows_->UnloadTableauCardsWindow();
  if (tutorial_) tutorial_->MainWindowMinimised();
  if (network_) network_->FollowMainWindow(true);
}
void Program::MainWindowShown(Qt::WindowStates state) {
  if (tutorial_ && !state.testFlag(Qt::WindowMinimized)) tutorial_->MainWindowRestored();
  if (network_) network_->FollowMainWindow(state.testFlag(Qt::WindowMinimized));
}
void Program::UnloadMenuWindow() {
  if (menus_->Menu.MenuOpen) menus_->PanelHide();
}
bool Program::SplashOpen() const { return splash_ && splash_->IsOpen(); }

// Online play's opponent is not part of the program yet.
void Program::PanelHide() { menus_->PanelHide(); }
void Program::ViewCards(const QString& pileName, int index) { cardWindows_->ViewCards(pileName, index); }
void Program::ShowTableauPile(int pile) { cardWindows_->ShowTableauPile(pile); }
void Program::Opponent() { onlineAnswers_.Opponent(); }

ScoreAccess Program::ScoresAccess() {
  return ScoreAccess{playersFile_, player_,         scores_, scoreStore_, netScores_, net_.NetConnIndex,
                     net_.NetPlayerNames, *this, *frmPlay_, *ui_, wait_, folders_};
}

table::FrmPic& Program::Pictures() { return frmPlay_->frmPic; }
table::CardDeckSource* Program::DeckLibrary() { return deckLibrary_.DecksQuantity() > 0 ? &deckSource_ : nullptr; }
QImage Program::BuiltInFaceSheet() const { return frmPlay_->frmStdSm.BuiltIn(); }
bool Program::TileBackground(QImage& surface) {
  if (!backgrounds_->Listed() || backgrounds_->Picture().isNull()) return false;
  table::TileBackground(backgrounds_->Picture(), surface);
  return true;
}
void Program::NextBackground(int keyCode) { backgrounds_->NextBackground(keyCode); }

bool Program::SavePlayer() { return play::SavePlayer(player_, *this, playersFile_) == PlayerFileResult::Ok; }
void Program::RefreshEmptyPilePictures() { frmPlay_->RefreshEmptyPilePictures(); }

bool Program::TutorialMode() const { return state_.TutorialMode; }
void Program::TableauWindowClickedInTutorial() {
  EnableNextTip(true);
  frmPlay_->EnablePiles(false);
}

// The connection's save question at the end of an online game.
void Program::SaveGameFromMenu() {
  menus_->Commands.SavingNetGame = std::exchange(net_.SavingNetGame, false);
  menus_->SaveGame();
}
void Program::UnloadScoresWindow() {
  if (scoresWindow_) scoresWindow_->UnloadScoresWindow();
}
void Program::ShowHelpKeyword(const QString& keyword) { ShowHelp(QStringLiteral("Keyword"), keyword); }

NetPlayParts Program::NetParts() {
  return NetPlayParts{net_,         scores_,  scoreStore_, netScores_, state_,          *frmPlay_,
                      frmPlay_.get(), *ui_,   wait_,       *sound_,    guard_,          folders_,
                      player_.PlayerName, moveServices_->ThinkDelay, *this};
}

void Program::MoveCardFrameOver(table::PileControl pile, int index) {
  const table::PictureBox* box = frmPlay_->Pile(pile, index);
  QLabel* frame = frmPlay_->lblCardFrame[kDecidingFrame];
  if (!box || !frame) return;
  frame->move(box->x() - kCardFrameLeftOffset, box->y() - kCardFrameTopOffset);
}

}  // namespace play
