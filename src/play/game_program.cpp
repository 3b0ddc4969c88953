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
  turns_ = std::make_unique<TurnCycle>(TurnCycleParts{.piles = piles_,
                                                      .state = state_,
                                                      .view = view,
                                                      .sfx = sfx_,
                                                      .sound = *sound_,
                                                      .wait = wait_,
                                                      .ui = *ui_,
                                                      .guard = guard_,
                                                      .settings = *settingsStore_,
                                                      .random = random_,
                                                      .folders = folders_,
                                                      .player = player_,
                                                      .scores = scores_,
                                                      .scoreStore = scoreStore_,
                                                      .saved = saved_,
                                                      .sample = sample_,
                                                      .net = net_,
                                                      .writeFailures = writeFailures_,
                                                      .look = *look_,
                                                      .tutorial = joined_.tutorial,
                                                      .exchange = joined_.exchange});
  playerInPlay_ = std::make_unique<PlayerInPlay>(PlayerInPlayParts{.player = player_,
                                                                   .tableSettings = tableSettings_,
                                                                   .state = state_,
                                                                   .view = view,
                                                                   .backgrounds = backgrounds(),
                                                                   .cardWindows = cardWindows(),
                                                                   .moves = turns_->moves(),
                                                                   .playersFile = playersFile_,
                                                                   .netFile = netFile_,
                                                                   .scores = scores_,
                                                                   .scoreStore = scoreStore_,
                                                                   .net = net_,
                                                                   .folders = folders_,
                                                                   .screen = screen_,
                                                                   .ui = *ui_,
                                                                   .wait = wait_,
                                                                   .network = joined_.network,
                                                                   .cardDeckRoot = parts.cardDeckRoot});
  windows_ = std::make_unique<TableWindows>(TableWindowsParts{.view = view,
                                                              .state = state_,
                                                              .wait = wait_,
                                                              .ui = *ui_,
                                                              .writeFailures = writeFailures_,
                                                              .sound = *sound_,
                                                              .settingsStore = *settingsStore_,
                                                              .folders = folders_,
                                                              .screen = screen_,
                                                              .tableSettings = tableSettings_,
                                                              .player = player_,
                                                              .scores = scores_,
                                                              .scoreStore = scoreStore_,
                                                              .sample = sample_,
                                                              .net = net_,
                                                              .online = turns_->online(),
                                                              .look = *look_,
                                                              .turns = *turns_,
                                                              .playerInPlay = *playerInPlay_,
                                                              .joined = joined_,
                                                              .musicPlayer = std::move(parts.musicPlayer),
                                                              .helpBackend = std::move(parts.helpBackend)});
  startUp_ = std::make_unique<StartUp>(StartUpServices{.folders = folders_,
                                                       .screen = screen_,
                                                       .ui = *ui_,
                                                       .writeFailures = writeFailures_,
                                                       .wait = wait_,
                                                       .settingsStore = *settingsStore_,
                                                       .state = state_,
                                                       .player = player_,
                                                       .playersFile = playersFile_,
                                                       .saved = saved_,
                                                       .sample = sample_,
                                                       .scores = scores_,
                                                       .playerServices = playerInPlay_->services(),
                                                       .frmPlay = view,
                                                       .backgrounds = backgrounds(),
                                                       .commandLine = parts.commandLine,
                                                       .splash = joined_.splash,
                                                       .music = windows_->music(),
                                                       .firstStart = joined_.firstStart});
  leaving_ = std::make_unique<Leaving>(LeavingServices{.folders = folders_,
                                                       .wait = wait_,
                                                       .ui = *ui_,
                                                       .sound = *sound_,
                                                       .state = state_,
                                                       .player = player_,
                                                       .backgrounds = backgrounds(),
                                                       .playersFile = playersFile_,
                                                       .saved = saved_,
                                                       .frmPlay = view,
                                                       .SoundOn = player_.SoundOn,
                                                       .net = net_,
                                                       .online = joined_.goodbye,
                                                       .music = windows_->music(),
                                                       .windows = *windows_});
  // The session's end runs the same exit work as the close box, once.
  if (QCoreApplication* app = QCoreApplication::instance())
    QObject::connect(app, &QCoreApplication::aboutToQuit, this, [this] { leaving_->ExitLeft(); });

  humanTurn_ = std::make_unique<HumanTurn>(HumanTurnServices{.moves = turns_->moves(),
                                                             .table = view,
                                                             .computer = turns_->computer(),
                                                             .ui = *ui_,
                                                             .channel = *sound_,
                                                             .settings = tableSettings_,
                                                             .DataPath = folders_.DataPath,
                                                             .panel = menus(),
                                                             .viewers = cardWindows(),
                                                             .tutorial = joined_.tutorial,
                                                             .opponent = turns_->online()});

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
  return NetPlayParts{.net = net_,
                      .scores = scores_,
                      .scoreStore = scoreStore_,
                      .netScores = netScores_,
                      .state = state_,
                      .view = *frmPlay_,
                      .mainWindow = frmPlay_.get(),
                      .ui = *ui_,
                      .wait = wait_,
                      .sound = *sound_,
                      .guard = guard_,
                      .folders = folders_,
                      .PlayerName = player_.PlayerName,
                      .ThinkDelay = moveServices().ThinkDelay,
                      .game = *turns_,
                      .hooks = *windows_,
                      .scoresWindow = joined_.scoresWindow};
}

TutorialServices Program::TutorialParts() {
  return TutorialServices{.state = state_,
                          .wait = wait_,
                          .guard = guard_,
                          .ui = *ui_,
                          .frmPlay = *frmPlay_,
                          .AppPath = folders_.AppPath,
                          .ScreenWidth = tableSettings_.ScreenWidth,
                          .TwipsPerPixel = screen_.TwipsPerPixel(),
                          .LargeFonts = tableSettings_.LargeFonts};
}

ScoreAccess Program::ScoresAccess() {
  return ScoreAccess{.players = playersFile_,
                     .player = player_,
                     .scores = scores_,
                     .store = scoreStore_,
                     .net = netScores_,
                     .NetConnIndex = net_.NetConnIndex,
                     .NetPlayerNames = net_.NetPlayerNames,
                     .netFile = *playerInPlay_,
                     .view = *frmPlay_,
                     .ui = *ui_,
                     .wait = wait_,
                     .folders = folders_};
}

MenuWindowParts Program::MenuWindowsParts() {
  return MenuWindowParts{.table = *frmPlay_,
                         .ui = *ui_,
                         .wait = wait_,
                         .sound = *sound_,
                         .folders = folders_,
                         .player = player_,
                         .playerChanges = *playerInPlay_,
                         .playersFile = playersFile_,
                         .scores = scores_,
                         .saved = saved_,
                         .sample = sample_,
                         .net = net_,
                         .state = state_,
                         .menus = menus(),
                         .music = music()};
}

}  // namespace play
