#include "play/game_program.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QPushButton>
#include <utility>

#include "platform/settings.h"
#include "platform/sound.h"
#include "platform/ui.h"
#include "table/table_pictures.h"

namespace play {
namespace {

// A part the program builds after the one that is handed this getter.
template <class T, class Owner>
platform::BuiltLater<T> Later(const std::unique_ptr<Owner>& owner) {
  return platform::BuiltLater<T>([&owner]() -> T& { return *owner; });
}

}  // namespace

Program::Program(ProgramParts parts, const JoinedParts& joined)
    : folders_(std::move(parts.folders)),
      screen_(parts.screen),
      ui_(std::move(parts.ui)),
      sound_(std::move(parts.sound)),
      settingsStore_(std::move(parts.settingsStore)),
      writeFailures_(*ui_),
      random_(table::SeededRandom(parts.seed)),
      sfx_(*sound_, folders_.DataPath,
           [this] {
             return table::SoundSettings{player_.SoundOn, player_.CardSoundSet};
           }),
      joined_(joined) {
  tableSettings_.LargeFonts = screen_.LargeFonts();
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
      table::CardTableServices{.piles = piles_,
                               .state = state_,
                               .settings = tableSettings_,
                               .wait = wait_,
                               .ui = *ui_,
                               .sounds = &sfx_,
                               .picturesFolder = table::PicturesFolder(folders_.AppPath)},
      state_, net_, screen_,
      FrmPlayNeighbours{
          .counts = Later<table::TableNeighbours>(turns_),
          .tableauCards =
              platform::BuiltLater<table::TableauCards>([this]() -> table::TableauCards& { return cardWindows(); }),
          .pictures = platform::BuiltLater<table::BackgroundPainting>(
              [this]() -> table::BackgroundPainting& { return backgrounds(); }),
          .dropRules = Later<table::DropRules>(humanTurn_),
          .match = Later<FrmPlayMatch>(turns_),
          .music = platform::BuiltLater<media::MusicPanel>([this]() -> media::MusicPanel& { return music(); }),
          .menus = platform::BuiltLater<FrmPlayMenus>([this]() -> FrmPlayMenus& { return menus(); }),
          .frame = Later<FrmPlayFrame>(windows_),
          .splash = joined_.splash,
          .popupOptions = Later<table::PopupOptions>(playerInPlay_),
      });
  if (auto* qtUi = dynamic_cast<platform::QtUi*>(ui_.get())) {
    qtUi->SetParent(frmPlay_.get());
    qtUi->SetWaitService(&wait_);
  }
  FrmPlay& view = *frmPlay_;

  look_ = std::make_unique<TableLook>(view, state_, tableSettings_, *ui_, folders_, player_.CurrentStructure, screen_,
                                      joined_.tutorial, joined_.chat);
  turns_ = std::make_unique<TurnCycle>(TurnCycleParts{piles_,
                                                      state_,
                                                      view,
                                                      sfx_,
                                                      *sound_,
                                                      wait_,
                                                      *ui_,
                                                      guard_,
                                                      *settingsStore_,
                                                      random_,
                                                      folders_,
                                                      player_,
                                                      scores_,
                                                      scoreStore_,
                                                      saved_,
                                                      sample_,
                                                      net_,
                                                      writeFailures_,
                                                      *look_,
                                                      joined_.tutorial,
                                                      joined_.exchange});
  playerInPlay_ = std::make_unique<PlayerInPlay>(PlayerInPlayParts{
      player_, tableSettings_, state_, view, backgrounds(), cardWindows(), turns_->moves(), playersFile_, netFile_,
      scores_, scoreStore_, net_, folders_, screen_, *ui_, wait_, joined_.network, parts.cardDeckRoot});
  windows_ = std::make_unique<TableWindows>(TableWindowsParts{view,
                                                              state_,
                                                              wait_,
                                                              *ui_,
                                                              writeFailures_,
                                                              *sound_,
                                                              *settingsStore_,
                                                              folders_,
                                                              screen_,
                                                              tableSettings_,
                                                              player_,
                                                              scores_,
                                                              scoreStore_,
                                                              sample_,
                                                              net_,
                                                              turns_->online(),
                                                              *look_,
                                                              *turns_,
                                                              *playerInPlay_,
                                                              joined_,
                                                              std::move(parts.musicPlayer),
                                                              std::move(parts.helpBackend)});
  startUp_ = std::make_unique<StartUp>(
      StartUpServices{folders_, screen_, *ui_, writeFailures_, wait_, *settingsStore_, state_, player_, playersFile_,
                      saved_, sample_, scores_, playerInPlay_->services(), view, backgrounds(), parts.commandLine,
                      joined_.splash, windows_->music(), joined_.firstStart});
  leaving_ = std::make_unique<Leaving>(LeavingServices{folders_, wait_, *ui_, *sound_, state_, player_, backgrounds(),
                                                       playersFile_, saved_, view, player_.SoundOn, net_,
                                                       joined_.goodbye, windows_->music(), *windows_});
  // The session's end runs the same exit work as the close box, once.
  if (QCoreApplication* app = QCoreApplication::instance())
    QObject::connect(app, &QCoreApplication::aboutToQuit, this, [this] { leaving_->ExitLeft(); });

  humanTurn_ = std::make_unique<HumanTurn>(HumanTurnServices{turns_->moves(), view, turns_->computer(), *ui_, *sound_,
                                                             tableSettings_, folders_.DataPath, menus(), cardWindows(),
                                                             joined_.tutorial, turns_->online()});

  QObject::connect(view.cmdDeal, &QPushButton::clicked, this, [this] { turns_->cmdDeal_Click(); });
  view.installEventFilter(this);
}

Program::~Program() {
  if (frmPlay_) frmPlay_->removeEventFilter(this);
}

bool Program::Start() {
  FrmPlay& view = *frmPlay_;
  view.SetFixedSizes();
  humanTurn_->Connect();
  menus().Connect();
  if (startUp_->Run()) {
    // A close asked for during start-up's pauses is completed now.
    turns_->FinishTopLevelCommand();
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

// A close asked for while a wait runs (a deal, the computer's turn, a
// pause) only sets Exiting: the running work stops, and the command that
// started it completes the close when it returns (FinishTopLevelCommand).
bool Program::eventFilter(QObject* watched, QEvent* event) {
  if (watched == frmPlay_.get() && event->type() == QEvent::Close) {
    if (!leaving_->CloseRequested()) {
      event->ignore();
      return true;
    }
    cardWindows().UnloadAll();
  }
  return QObject::eventFilter(watched, event);
}

NetPlayParts Program::NetParts() {
  return NetPlayParts{net_,
                      scores_,
                      scoreStore_,
                      netScores_,
                      state_,
                      *frmPlay_,
                      frmPlay_.get(),
                      *ui_,
                      wait_,
                      *sound_,
                      guard_,
                      folders_,
                      player_.PlayerName,
                      moveServices().ThinkDelay,
                      *turns_,
                      *windows_,
                      joined_.scoresWindow};
}

TutorialServices Program::TutorialParts() {
  return TutorialServices{state_,
                          wait_,
                          guard_,
                          *ui_,
                          *frmPlay_,
                          folders_.AppPath,
                          tableSettings_.ScreenWidth,
                          screen_.TwipsPerPixel(),
                          tableSettings_.LargeFonts};
}

ScoreAccess Program::ScoresAccess() {
  return ScoreAccess{playersFile_,        player_,        scores_,   scoreStore_, netScores_, net_.NetConnIndex,
                     net_.NetPlayerNames, *playerInPlay_, *frmPlay_, *ui_,        wait_,      folders_};
}

MenuWindowParts Program::MenuWindowsParts() {
  return MenuWindowParts{*frmPlay_, *ui_,   wait_,   *sound_, folders_, player_, *playerInPlay_, playersFile_,
                         scores_,   saved_, sample_, net_,    state_,   menus(), music()};
}

}  // namespace play
