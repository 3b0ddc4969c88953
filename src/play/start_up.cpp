#include "play/start_up.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <chrono>
#include <thread>

#include "media/embedded_files.h"
#include "media/music.h"
#include "media/music_list_file.h"
#include "media/png_painting.h"
#include "platform/recordfile.h"
#include "platform/settings.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "platform/vb.h"
#include "platform/version.h"
#include "platform/wait.h"
#include "platform/write_failures.h"
#include "play/game/game_over.h"
#include "play/game/new_game.h"
#include "play/game/saved_games.h"
#include "play/game/tutorial_game.h"
#include "play/records/high_score_record.h"
#include "play/records/player.h"
#include "play/records/players.h"
#include "play/records/saved_game_record.h"
#include "play/records/score_records.h"
#include "play/state/utilities.h"
#include "play/window/frm_play.h"
#include "table/backgrounds.h"
#include "table/card_deck.h"
#include "table/game_state.h"
#include "table/table_settings.h"

namespace play {

namespace {

constexpr char kSeedPlayersFile[] = "Data/seed/players4.sav";

QString PlayersPath(const media::Folders& f) { return f.DataPath + QString::fromLatin1(kPlayersFileName); }

bool InRange(std::int16_t v, std::int16_t low, std::int16_t high) { return v >= low && v <= high; }
bool IsBoolean(std::int16_t v) { return v == 0 || v == -1; }

// Why a record read from the players file cannot be a player's, the
// settings record's or the template's: a name with control characters, or
// settings none of which lies in its range (noise, not a player). Empty
// when the record is sound; values merely out of range are mended on load.
QString GarbledRecord(const PlayerRecord& r, int n) {
  for (const QChar ch : vb::TrimRecord(r.Name))
    if (!ch.isPrint()) return "record " + QString::number(n) + " holds a name with control characters";
  if (n == kSettingsRecord) return {};
  const bool anyInRange =
      r.TextFontSize == 0 || InRange(r.TextFontSize, kMinTextFontSize, kMaxTextFontSize) ||
      InRange(r.CurrentStructure, kFirstStructure, kLastStructure) ||
      InRange(r.ThinkLevel, kMinThinkLevel, kMaxThinkLevel) || InRange(r.AnimSpeed, kMinAnimSpeed, kMaxAnimSpeed) ||
      IsBoolean(r.SoundOn) || IsBoolean(r.NoIntroMusic) || IsBoolean(r.WoodPlaceHolders) ||
      InRange(r.CardSoundSet, kCardSoundWood, table::kNoCardSounds) || r.CardDeck >= table::kBuiltInDeck ||
      r.CardBack >= table::kOwnBack || InRange(r.FirstPlayerRule, kFirstPlayerLowestCard, kFirstPlayerCoinToss);
  return anyInRange ? QString() : "record " + QString::number(n) + " holds no setting in its range";
}

// The first garbled record of the file's bytes, as GarbledRecord says it.
QString GarbledRecords(const QByteArray& bytes) {
  for (int n = 1; n <= kPlayersFileRecords; ++n) {
    const QString why = GarbledRecord(PlayerRecord::Decode(bytes.mid((n - 1) * kPlayerRecordLength)), n);
    if (!why.isEmpty()) return why;
  }
  return {};
}

// Every record of the players file reads whole and sound, but bytes that
// make no record follow the last one (a copy or a write cut short): the
// players are kept, the file as it was is copied aside for the user, and
// once the copy is safe the extra bytes are taken off, so that the next
// start finds a whole file.
PlayersFileCheck CutExtraBytes(const QString& path, qint64 size) {
  PlayersFileCheck check;
  const qint64 extra = size % kPlayerRecordLength;
  check.message = "The players file " + path + " was damaged (" + QString::number(extra) +
                  (extra == 1 ? " byte" : " bytes") + " after its last record).\r\n\r\nThe players in it are kept.";
  const QString aside = platform::AsideName(path);
  if (const QString copyProblem = platform::CopyWholeFile(path, aside); !copyProblem.isEmpty()) {
    check.message += " It could not be copied aside, so it stays as it is: " + copyProblem;
    return check;
  }
  check.keptAside = aside;
  check.message += " A copy of it as it was is kept as " + aside;
  QFile file(path);
  if (file.resize(size - extra))
    check.message += ", and the extra bytes were taken off.";
  else
    check.message += "; the extra bytes could not be taken off: " + file.errorString();
  return check;
}

}  // namespace

bool DeveloperViewSwitch(const QString& commandLine) {
  return commandLine.left(6).toUpper() == QLatin1String(kDeveloperViewSwitch);
}

QString ScreenWarning(int ScreenWidthTwips, bool LargeFonts) {
  if (ScreenWidthTwips >= kMinimumScreenWidthTwips) return {};
  QString text = kSmallScreenText;
  if (LargeFonts) text += kLargeFontsText;
  return text;
}

namespace {
// How long a start waits for a copy that is ending: 2 s.
constexpr int kEndingCopyChecks = 40;
constexpr std::chrono::milliseconds kEndingCopyPause{50};
}  // namespace

Preflight PrepareStart(const QString& programFolder) {
  Preflight p;
  p.folders = media::SetUpFolders(programFolder);
  if (!p.folders) {
    p.result = Preflight::Result::NoFolders;
    return p;
  }
  // The lock comes first: a second copy must not write a single file.
  p.lock = std::make_unique<platform::InstanceLock>(p.folders->DataPath);
  bool locked = p.lock->TryLock();
  // A copy that is closing holds the lock a little longer (leaving gives
  // its sounds a moment to end): a start right after its close waits for it.
  for (int i = 0; !locked && p.lock->HeldByLiveCopy() && i < kEndingCopyChecks; ++i) {
    std::this_thread::sleep_for(kEndingCopyPause);
    locked = p.lock->TryLock();
  }
  if (!locked) {
    if (p.lock->HeldByLiveCopy()) {
      p.result = Preflight::Result::AlreadyRunning;
      p.folder = p.lock->Folder();
      p.holderPid = p.lock->HolderPid();
      p.holderHost = p.lock->HolderHost();
    } else {
      p.result = Preflight::Result::LockFailed;
      p.folder = p.lock->ProblemFolder();
      (p.lock->FolderProblem() ? p.reason : p.problem) = p.lock->Problem();
    }
    p.lock.reset();
    return p;
  }
  // Only the copy that holds the lock may take away what a write left.
  media::RemoveStaleTemporaries(*p.folders,
                                {QString::fromLatin1(kPlayersFileName), QString::fromLatin1(kSavedGamesFileName),
                                 QString::fromLatin1(kHighScoreFileName)});
  const media::SeedCopy seed = media::CopySeedFiles(*p.folders);
  if (!seed.ok()) {
    p.result = Preflight::Result::SeedFailed;
    p.problem = seed.failed.join(", ");
    p.folder = seed.folder;
    p.reason = seed.reason;
    return p;
  }
  // A saved-games file made before the tutorial came gets its game.
  EnsureTutorialGame(*p.folders);
  return p;
}

QString PreflightText(const Preflight& p) {
  switch (p.result) {
    case Preflight::Result::Ok: return {};
    case Preflight::Result::AlreadyRunning:
      // A copy on another machine that shares the folder holds the lock.
      if (!p.holderHost.isEmpty() && p.holderHost != platform::ThisHostName())
        return QString(kAlreadyRunningText) + " It runs on the computer \"" + p.holderHost +
               "\", which shares the game's folder " + p.folder + ". Leave the game there first.";
      return QString(kAlreadyRunningText) +
             " Look for its window on the desktop or in the task bar; a system monitor lists it as marrowdale" +
             (p.holderPid > 0 ? ", process " + QString::number(p.holderPid) : QString()) + ".";
    case Preflight::Result::LockFailed:
      if (!p.problem.isEmpty()) return QString(kUnableToStartText) + "\r\n\r\n" + p.problem;
      return QString(kUnableToStartText) + "\r\n\r\nNothing can be written in the folder " + p.folder + ": " + p.reason;
    case Preflight::Result::NoFolders:
      return QString(kUnableToStartText) + "\r\n\r\nThere is no folder for the game's files (HOME is not set).";
    case Preflight::Result::SeedFailed:
      return QString(kUnableToStartText) + "\r\n\r\nThese files could not be put in place: " + p.problem +
             (p.reason.isEmpty() ? QString() : "\r\n\r\n" + p.folder + ": " + p.reason);
  }
  return {};
}

QString WritableProblem(const QString& path) {
  QFile f(path);
  if (f.open(QIODevice::ReadWrite)) return {};
  return "Cannot open " + path + " for writing: " + f.errorString();
}

PlayersFileCheck CheckPlayersFile(const media::Folders& folders) {
  PlayersFileCheck check;
  const QString path = PlayersPath(folders);
  const qint64 size = QFileInfo(path).size();
  const qint64 whole = qint64(kPlayerRecordLength) * kPlayersFileRecords;
  QString reason;
  if (size >= whole) {
    QFile file(path);
    // A file that cannot be read is reported when it is opened.
    if (!file.open(QIODevice::ReadOnly)) return check;
    reason = GarbledRecords(file.read(whole));
    if (reason.isEmpty()) {
      file.close();
      return size % kPlayerRecordLength == 0 ? check : CutExtraBytes(path, size);
    }
  } else {
    reason = size == 0 ? "it is empty" : "it does not hold its " + QString::number(kPlayersFileRecords) + " records";
  }

  // A file that cannot hold its records, or holds noise, is never played
  // on: it is kept aside for the user and a fresh one is made from the seed.
  QString moveProblem;
  check.keptAside = platform::KeepAside(path, &moveProblem);
  if (check.keptAside.isEmpty()) {
    check.ok = false;
    check.message = QString(kUnableToStartText) + "\r\n\r\nThe players file " + path + " is damaged (" + reason +
                    ") and could not be moved aside: " + moveProblem;
    return check;
  }
  const QString copyProblem = platform::CopyWholeFile(folders.AppPath + kSeedPlayersFile, path);
  const bool copied = copyProblem.isEmpty();
  if (copied) QFile::setPermissions(path, QFile::permissions(path) | QFile::WriteOwner);
  check.ok = copied;
  check.message = "The players file " + path + " was damaged (" + reason + ").\r\n\r\nIt was kept as " +
                  check.keptAside +
                  (copied ? QString(", and a new players file was made.")
                          : ", and no new players file could be made: " + copyProblem);
  return check;
}

void StartUp::Tell(const QString& text, int style, const QString& title) {
  if (!s_.wait.Exiting()) s_.ui.MsgBox(text, style, title);
}

void StartUp::TellFailure(const QString& text) { Tell(text, platform::vbCritical, platform::kProgramTitle); }

bool StartUp::OpenPlayersFile() {
  const QString path = PlayersPath(s_.folders);
  if (!QFileInfo::exists(path)) {
    TellFailure(kFilesMissingText);
    return false;
  }
  const PlayersFileCheck check = CheckPlayersFile(s_.folders);
  if (!check.message.isEmpty())
    Tell(check.message, check.ok ? platform::vbExclamation : platform::vbCritical, platform::kProgramTitle);
  if (!check.ok) return false;
  if (const QString problem = WritableProblem(path); !problem.isEmpty()) {
    TellFailure(QString(kUnableToStartText) + "\r\n\r\n" + problem);
    return false;
  }
  if (!s_.playersFile.Open(path, kPlayerRecordLength)) {
    TellFailure(QString(kUnableToStartText) + "\r\n\r\n" + WritableProblem(path));
    return false;
  }
  return true;
}

bool StartUp::Run() {
  const platform::WriteFailures::OneBoxPerCause oneBox(s_.writeFailures);
  s_.state.IsDeveloperView = DeveloperViewSwitch(s_.commandLine);
  if (const QFileInfo players(PlayersPath(s_.folders)); !players.exists()) {
    // A link left pointing nowhere is named with what it points to.
    if (players.isSymLink())
      TellFailure(QString(kUnableToStartText) + "\r\n\r\nThe players file " + players.filePath() + " is a link to " +
                  players.symLinkTarget() + ", which does not exist. Remove the link or put the file back.");
    else
      TellFailure(kFilesMissingText);
    return false;
  }
  if (!QFileInfo::exists(s_.folders.AppPath + kWinSoundFile)) {
    TellFailure(kFilesMissingOrCorruptText);
    return false;
  }
  if (!OpenPlayersFile()) return false;

  const std::optional<PlayerRecord> settingsRecord = ReadSettingsRecord(s_.playersFile);
  s_.player.CurrentPlayer = settingsRecord ? LastPlayerOf(*settingsRecord) : std::int16_t{0};
  st_.NoIntroMusic = false;
  if (s_.player.CurrentPlayer != 0) {
    const QByteArray bytes = s_.playersFile.Read(s_.player.CurrentPlayer);
    if (bytes.size() >= kPlayerRecordLength) st_.NoIntroMusic = PlayerRecord::Decode(bytes).NoIntroMusic != 0;
  }

  QStringList unwritten;
  if (const media::FileProblem problem = media::ExtractPngResources(s_.folders.DataPath, &unwritten);
      !problem.ok() && !s_.wait.Exiting())
    s_.writeFailures.WriteFailed(problem.path, problem.reason);
  // A picture that could not be written is told of once, here, not again
  // as missing where it is shown.
  for (const QString& file : unwritten) s_.backgrounds.PictureReports().AlreadyTold(file);

  s_.state.StartingUp = true;
  s_.splash->Show();
  s_.wait.Pause(kSplashPauseSeconds);
  if (!st_.NoIntroMusic && !s_.wait.Exiting()) {
    // Without a media backend at all the music stays off for the run; a
    // file that cannot play is the music's to report.
    if (s_.music.MusicUnavailable()) {
      st_.NoIntroMusic = true;
      st_.MusicUnavailable = true;
    } else {
      s_.music.PlayMP3(s_.folders.AppPath + media::kIntroFile);
    }
  }
  s_.wait.Pause(kIntroPauseSeconds);

  st_.LargeFonts = s_.screen.LargeFonts();
  if (const QString warning = ScreenWarning(s_.screen.WidthTwips(), st_.LargeFonts); !warning.isEmpty())
    Tell(warning, platform::vbCritical, platform::kProgramTitle);

  s_.frmPlay.FitMainWindow();
  // A termination signal heard in the pauses or a box ends start-up before
  // the table is shown; nothing is stored.
  const bool doorOpen = !s_.wait.Exiting() && OpenDoor();
  if (!doorOpen || s_.wait.Exiting()) {
    s_.splash->Unload();
    return false;
  }

  s_.frmPlay.RedrawTable();
  s_.frmPlay.ClearTable();
  s_.backgrounds.ShowStartLogo = true;
  s_.state.StartingUp = false;
  s_.frmPlay.ArrangeControls();
  s_.frmPlay.LayoutTable();
  if (st_.WindowMaximized)
    s_.frmPlay.showMaximized();
  else
    s_.frmPlay.show();
  s_.frmPlay.RefitWhenFramed([this] {
    // A first start keeps the placement the fit gave, frame included.
    if (st_.FirstStart) FirstStartPlacement();
  });
  s_.splash->Unload();
  if (s_.wait.Exiting()) return true;

  if (st_.FirstStart) {
    s_.music.CreateDefaultMusicList();
    s_.music.LoadMusicList();
    s_.firstStart->ShowPlayerWindow();
    if (!s_.wait.Exiting()) s_.firstStart->ShowTutorial();
  }
  if (s_.state.TutorialMode) s_.frmPlay.SetImageVisible(table::TableImage::cmdDeal, false);
  return true;
}

void StartUp::FirstStartPlacement() {
  if (!s_.playersFile.IsOpen() || s_.frmPlay.isMaximized()) return;
  const table::WindowTwips w = s_.frmPlay.WindowPlacementTwips();
  SaveSettingsRecord(
      s_.playersFile, s_.player.CurrentPlayer, WindowShown::Normal,
      WindowPlacement{std::int32_t(w.Height), std::int32_t(w.Width), std::int32_t(w.Top), std::int32_t(w.Left)});
}

void StartUp::PlaceWindow() {
  const std::optional<PlayerRecord> record = ReadSettingsRecord(s_.playersFile);
  if (!record) return;
  table::StoredPlacement stored{record->WindowState(), record->WindowHeight(), record->WindowWidth(),
                                record->WindowTop(), record->WindowLeft()};
  // A placement that no longer fits the screen is replaced by the fit and
  // stored at once.
  if (!s_.frmPlay.RestoreWindowPlacement(stored))
    SaveSettingsRecord(s_.playersFile, s_.player.CurrentPlayer, WindowShown::Normal,
                       WindowPlacement{stored.WindowHeight, stored.WindowWidth, stored.WindowTop, stored.WindowLeft});
  st_.WindowMaximized = s_.frmPlay.WindowMaximized;
}

bool StartUp::OpenDoor() {
  if (s_.player.CurrentPlayer != 0) PlaceWindow();
  s_.frmPlay.SetFixedSizes();

  if (const media::FileProblem problem = media::SetUpSounds(s_.folders.DataPath); !problem.ok())
    if (!s_.wait.Exiting()) s_.writeFailures.WriteFailed(problem.path, problem.reason);
  if (s_.wait.Exiting()) return false;

  s_.music.LoadMusicList();

  // A last player whose record cannot be read, or whose name is blank, is
  // no player: the template stands in until a player is chosen.
  if (s_.player.CurrentPlayer != 0 &&
      (LoadPlayer(s_.player.CurrentPlayer, s_.player, s_.playerServices) != PlayerFileResult::Ok ||
       s_.player.PlayerName.isEmpty())) {
    s_.player.CurrentPlayer = 0;
    s_.scores = ScoreState{};  // no score record of a player who is not there
  }
  st_.FirstStart = s_.player.CurrentPlayer == 0;
  if (st_.FirstStart) {
    s_.frmPlay.FitMainWindow();
    FirstStartPlacement();
    if (LoadPlayer(kTemplateRecord, s_.player, s_.playerServices) != PlayerFileResult::Ok) {
      TellFailure(kFilesMissingText);
      return false;
    }
    // The template keeps the animation speed found for this machine.
    std::int16_t tableSpeed = s_.player.AnimSpeed;
    std::int16_t recordSpeed = s_.player.Player.AnimSpeed;
    GetCpuMHz(true, AnimSpeedFields{tableSpeed, recordSpeed});
    s_.player.AnimSpeed = tableSpeed;
    s_.player.Player.AnimSpeed = recordSpeed;
    s_.playerServices.table.ApplySettings(s_.player);
    SaveTemplate(s_.player, s_.playersFile);
  }

  s_.frmPlay.ClearTable();
  s_.sample.SampleGameNumber = static_cast<std::int16_t>(std::clamp<long long>(
      s_.settingsStore.GetNumber(platform::kSettingsApp, platform::kSettingsSection, kSampleSettingKey, 0), 0,
      kLastSampleGame));
  if (!OpenSavedGamesFile(s_.saved, s_.folders.DataPath)) {
    TellFailure(QString(kUnableToStartText) + "\r\n\r\n" +
                WritableProblem(s_.folders.DataPath + QString::fromLatin1(kSavedGamesFileName)));
    return false;
  }
  s_.state.GameEnded = true;
  ClearTempMoves(s_.saved, true, s_.folders.DataPath, s_.ui);
  return true;
}

}  // namespace play
