#include "play/game/saved_games.h"

#include <QFile>
#include <cmath>

#include <unistd.h>

#include "platform/ui.h"
#include "platform/vb.h"
#include "platform/version.h"
#include "platform/wait.h"
#include "platform/write_failures.h"
#include "play/rules/rule_checks.h"
#include "play/state/utilities.h"
#include "table/busy_guard.h"
#include "table/table_settings.h"
#include "table/table_view.h"

namespace play {

namespace {

constexpr int kFirstStatusPanel = 1;

QString FixedDescription(const QString& text) {
  return text.left(SavedGameRecord::kDescriptionWidth)
      .leftJustified(SavedGameRecord::kDescriptionWidth, QLatin1Char(' '));
}

// The description without a leading "Match" marker (and the blank after
// it); an online "^^" in front stays.
QString WithoutMatchMarker(const QString& description) {
  const QString online = QString::fromLatin1(kOnlineSavePrefix);
  const QString match = QString::fromLatin1(kMatchPrefix);
  QString prefix;
  QString rest = description;
  if (rest.startsWith(online)) {
    prefix = online;
    rest = rest.mid(online.size());
  }
  if (!rest.startsWith(match)) return description;
  rest = rest.mid(match.size());
  if (rest.startsWith(QLatin1Char(' '))) rest = rest.mid(1);
  return FixedDescription(prefix + rest);
}

bool IsMatchDescription(const QString& description) {
  QString rest = description;
  if (rest.startsWith(QLatin1String(kOnlineSavePrefix))) rest = rest.mid(2);
  return rest.startsWith(QLatin1String(kMatchPrefix));
}

std::int16_t& MatchCell(SavedGameRecord& rec, int row) { return rec.Tableau[0][row]; }
std::int16_t MatchCell(const SavedGameRecord& rec, int row) { return rec.Tableau[0][row]; }

// Face-down cards under a Reserve's top card as stored: 0 (a record
// without the value) and anything that cannot be true of the pile give
// every card but the top face down.
std::int16_t RestoredFaceDown(std::int16_t stored, std::int16_t count) {
  if (stored >= 1 && stored <= count) return stored;
  return static_cast<std::int16_t>(count - 1);
}

void WriteRecord(platform::RecordFile& file, int recNo, const SavedGameRecord& rec) { file.Write(recNo, rec.Encode()); }

}  // namespace

QString DamagedRecordText(const QString& path, int recNo, const QString& damage) {
  return QStringLiteral("The game cannot be restored: record ") + QString::number(recNo) +
         QStringLiteral(" of the file\r\n") + path + QStringLiteral("\r\nis damaged (") + damage +
         QStringLiteral(").\r\n\r\nThe table stays as it was.");
}

namespace {

void ShowRefusal(platform::UiService& ui, const Refusal& refusal) {
  ui.MsgBox(refusal.text, refusal.style, refusal.title);
}

bool IsSaveSlot(int recNo) { return recNo >= kFirstSaveSlot && recNo <= kLastSaveSlot; }

}  // namespace

bool OpenSavedGamesFile(SavedGames& saved, const QString& DataPath) {
  return saved.SavedGamesFile.Open(DataPath + QString::fromLatin1(kSavedGamesFileName), kSavedGameRecordLength);
}

void FillGameRecord(const table::PileArrays& piles, const PlayState& state, SavedGameRecord& GameRec,
                    const ScoreRec& CurrentScores, bool MatchOn, std::int16_t MatchPoints,
                    std::int64_t elapsedSeconds) {
  GameRec.CurrentTurn = state.CurrentTurn;
  GameRec.StorePiles(piles);
  for (int side = 0; side < table::kSides; ++side)
    GameRec.Tableau[0][kReserveFaceDownRow + side] = piles.ReserveFaceDown[side];
  if (MatchOn) {
    MatchCell(GameRec, kMatchPointsRow) = MatchPoints;
    MatchCell(GameRec, kMatchScoreRow) = CurrentScores.MatchScore;
    MatchCell(GameRec, kOppMatchScoreRow) = CurrentScores.OppMatchScore;
    MatchCell(GameRec, kMatchGamesRow) = CurrentScores.MatchGames;
    MatchCell(GameRec, kMatchWinsRow) = CurrentScores.MatchWins;
    MatchCell(GameRec, kOppMatchWinsRow) = CurrentScores.OppMatchWins;
    GameRec.Description = FixedDescription(QString::fromLatin1(kMatchDescription));
  } else {
    // The record variable carries the last record read; an ended match in
    // it must not come back when this record is restored.
    for (int row = kMatchPointsRow; row <= kOppMatchWinsRow; ++row) MatchCell(GameRec, row) = 0;
    GameRec.Description = WithoutMatchMarker(GameRec.Description);
  }
  GameRec.ElapsedTime = elapsedSeconds > 0 ? static_cast<double>(elapsedSeconds) / kSecondsPerDay : 0.0;
}

void FillGameRecord(SavedGameServices& s) {
  FillGameRecord(s.piles, s.state, s.saved.GameRec, s.match.CurrentScores, s.match.MatchOn, s.match.MatchPoints,
                 s.view.ElapsedSeconds());
}

int TurnStartBackupRecord(std::int16_t TurnCount) {
  if (TurnCount == 0 || TurnCount % 2 != 0) return kOddTurnBackupRecord;
  return kEvenTurnBackupRecord;
}

int PreviousTurnBackupRecord(std::int16_t TurnCount) {
  return TurnCount % 2 != 0 ? kEvenTurnBackupRecord : kOddTurnBackupRecord;
}

void SaveGameRecord(SavedGameServices& s) {
  SavedGames& sv = s.saved;
  sv.SaveSlot = static_cast<std::int16_t>(TurnStartBackupRecord(s.state.TurnCount));
  FillGameRecord(s);
  const QByteArray record = sv.GameRec.Encode();
  if (s.state.TurnCount == 0) {
    // A new game's start and backups land together: a restart after a kill
    // must never find the game before's start beside this game's backups.
    bool written = false;
    {
      // One failure, one box: this one, which says what it means.
      const platform::RecordFile::Unreported unreported(sv.SavedGamesFile);
      written = sv.SavedGamesFile.WriteTogether({{sv.SaveSlot, record},
                                                 {kLatestTurnRecord, record},
                                                 {kEvenTurnBackupRecord, record},
                                                 {kGameStartRecord, record}});
    }
    if (!written)
      s.ui.MsgBox(NewGameBackupFailedText(sv.SavedGamesFile.Path(), sv.SavedGamesFile.LastError()),
                  platform::vbOKOnly | platform::vbExclamation, QString::fromLatin1(kNewGameBackupTitle));
    return;
  }
  sv.SavedGamesFile.Write(sv.SaveSlot, record);
  sv.SavedGamesFile.Write(kLatestTurnRecord, record);
}

double StoredClockSeconds(const SavedGameRecord& rec) {
  const double days = rec.ElapsedTime;
  if (!std::isfinite(days) || days < 0 || days > kLongestStoredClockDays) return 0.0;
  return std::round(days * kSecondsPerDay);
}

std::int16_t TrailingNumber(const QString& description) {
  int start = description.size();
  while (start > 0 && description[start - 1].isDigit() && description[start - 1].unicode() < 128) --start;
  std::int16_t n = 0;
  for (int i = start; i < description.size(); ++i)
    n = vb::Clamp16(static_cast<long long>(n) * 10 + (description[i].unicode() - '0'));
  return n;
}

std::optional<double> LoadGameRecord(SavedGameServices& s, bool Online) {
  const SavedGameRecord& r = s.saved.GameRec;
  if (!r.LoadPiles(s.piles)) return std::nullopt;
  s.state.CurrentTurn = r.CurrentTurn;
  for (int side = 0; side < table::kSides; ++side)
    s.piles.ReserveFaceDown[side] =
        RestoredFaceDown(r.Tableau[0][kReserveFaceDownRow + side], s.piles.ReserveCount[side]);

  const double clock = StoredClockSeconds(r);
  ScoreRec& scores = s.match.CurrentScores;
  if (Online) scores.GameTime = clock / kSecondsPerDay;

  if (IsMatchDescription(r.Description)) {
    const std::int16_t target = MatchCell(r, kMatchPointsRow);
    // A match description over cells that hold no match (a target outside
    // the range a match can have) says nothing about the match.
    if (target >= kLowestMatchTarget && target <= kHighestMatchTarget) {
      scores.MatchTarget = target;
      scores.MatchScore = MatchCell(r, kMatchScoreRow);
      scores.OppMatchScore = MatchCell(r, kOppMatchScoreRow);
      scores.MatchInProgress = 1;
      scores.MatchGames = MatchCell(r, kMatchGamesRow);
      scores.MatchWins = MatchCell(r, kMatchWinsRow);
      scores.OppMatchWins = MatchCell(r, kOppMatchWinsRow);
      s.match.MatchOn = true;
      s.hooks.CheckMatchComplete();
      s.hooks.SaveScoreRec();
    }
  } else if (s.match.MatchOn) {
    scores.MatchInProgress = 0;
    s.match.MatchOn = false;
    s.hooks.ShowMatchPoints(false);
    s.hooks.SaveScoreRec();
  }
  return clock;
}

void WriteMoveRecord(SavedGameServices& s, std::int16_t record) {
  SavedGames& sv = s.saved;
  if (sv.MoveFileUnavailable || !sv.MoveFile.IsOpen()) return;
  WriteRecord(sv.MoveFile, record, sv.GameRec);
}

void RecordMove(SavedGameServices& s) {
  s.state.TempMoveNumber = vb::SaturatingAdd(s.state.TempMoveNumber, 1);
  FillGameRecord(s);
  WriteMoveRecord(s, s.state.TempMoveNumber);
}

void StartMoveRecords(SavedGameServices& s) {
  s.state.TempMoveNumber = kFirstMoveRecord;
  FillGameRecord(s);
  WriteMoveRecord(s, s.state.TempMoveNumber);
}

RestoreResult RestoreGame(SavedGameServices& s, const RestoreContext& ctx, int recNo, GameFile fileNo, bool restart,
                          const Refusal& refusal) {
  if (!s.guard.MayReplaceTable()) return RestoreResult::Busy;
  // The restore pauses, waits for the tutorial and plays the computer's
  // turn; no other command may replace the table meanwhile.
  auto busy = s.guard.Enter(table::Activity::Restore);

  SavedGames& sv = s.saved;
  platform::RecordFile& file = sv.File(fileNo);
  // Judge the record, read whole, before anything on the table changes.
  const QByteArray bytes = file.Read(recNo);
  const SavedGameRecord rec = SavedGameRecord::Decode(bytes);
  QString damage;
  if (bytes.size() != kSavedGameRecordLength)
    damage = QStringLiteral("it cannot be read");
  else if (file.IsCut(recNo))
    damage = QStringLiteral("the file ends inside it");
  else if (rec.CurrentTurn == table::Turn::None) {
    ShowRefusal(s.ui, refusal);
    return RestoreResult::Empty;
  } else if (rec.CurrentTurn != table::Turn::Local && rec.CurrentTurn != table::Turn::Opponent)
    damage = QStringLiteral("its turn is neither player's");
  else if (!rec.PilesAreSane())
    damage = QStringLiteral("its piles hold cards no game can have");
  if (!damage.isEmpty()) {
    s.ui.MsgBox(DamagedRecordText(file.Path(), recNo, damage), platform::vbOKOnly | platform::vbExclamation,
                refusal.title);
    return RestoreResult::Damaged;
  }

  PlayState& st = s.state;
  s.hooks.ClearTable();
  if (ctx.Online) s.view.EnablePiles(false);
  s.view.SetImageVisible(table::TableImage::cmdDeal, false);
  sv.GameRec = rec;
  const double clock = LoadGameRecord(s, ctx.Online).value_or(0.0);
  s.hooks.ShowPileCounts();
  if (!st.TutorialMode) s.hooks.RedrawTable();

  if (restart && ctx.FirstPlayerRule == table::kFirstPlayerCoinToss &&
      s.ui.MsgBox(QString::fromLatin1(kCoinTossQuestion), platform::vbYesNo, QString::fromLatin1(kRestartTitle)) ==
          platform::vbNo)
    st.CurrentTurn = st.CurrentTurn == table::Turn::Local ? table::Turn::Opponent : table::Turn::Local;
  st.GameEnded = false;

  const bool undoing = sv.UndoTurnRequested || sv.UndoMoveRequested;
  // Only the saved-games file holds game starts: move record 13 is just the
  // twelfth move of a turn.
  const bool gameStart = fileNo == GameFile::SavedGames && recNo == kGameStartRecord;

  if (ctx.SampleGameMode || s.SampleGameNumber != 0) {
    if (!gameStart && !undoing && !ctx.RestoringPreviousTurn) {
      const QString description = vb::TrimRecord(rec.Description);
      s.view.SetStatusPanel(kFirstStatusPanel, ctx.PlayerName + QStringLiteral("   ") + description);
      s.SampleGameNumber = TrailingNumber(description);
    } else {
      s.view.SetStatusPanel(kFirstStatusPanel,
                            ctx.PlayerName + QString::fromLatin1(kSampleGamePanel) + vb::Str(s.SampleGameNumber));
    }
  }
  if (gameStart) st.TurnCount = 1;

  if (fileNo == GameFile::SavedGames && IsSaveSlot(recNo)) {
    // Restart Current Game starts the restored game from its own deal.
    const QByteArray start = file.Read(SlotStartRecord(recNo));
    if (!start.isEmpty()) file.Write(kGameStartRecord, start);
  }

  if (!st.TutorialMode) s.view.StartClockAt(clock);

  // Both turn-start backups hold the restored table, so no undo reaches
  // behind it. They are written once the first player is settled.
  auto writeBackups = [&] {
    if (undoing) return;
    sv.GameRec.CurrentTurn = st.CurrentTurn;
    WriteRecord(file, kEvenTurnBackupRecord, sv.GameRec);
    WriteRecord(file, kOddTurnBackupRecord, sv.GameRec);
  };

  if (ctx.Online) {
    // The online code hands the table to the peer and resumes the turn.
    writeBackups();
    return RestoreResult::Restored;
  }

  ShowTurnStatus(st, false, s.view);
  if (gameStart && ctx.FirstPlayerRule != table::kFirstPlayerCoinToss) {
    st.CurrentTurn = s.hooks.WhoGoesFirst(ctx.FirstPlayerRule);
    s.view.SetLabel(table::TableLabel::lblMessage, st.Message);
    if (st.CurrentTurn == table::Turn::Opponent) Pause(s.wait, 2.0);
  }

  writeBackups();
  if (!sv.UndoMoveRequested) StartMoveRecords(s);

  if (st.CurrentTurn == table::Turn::Opponent) {
    if (st.TutorialMode) {
      WriteRecord(file, kGameStartRecord, sv.GameRec);
      st.TurnCount = 1;
      s.view.LayOutPiles();
      s.hooks.ShowTutorialNext();
      s.wait.WaitUntil([&st] { return st.TutorialContinue; });
      if (st.TutorialMode) st.TutorialContinue = false;
      s.view.StartClockAt(clock);
    }
    if (s.wait.Exiting()) return RestoreResult::Restored;
    s.hooks.ComputerTurn();
  } else if (s.piles.StockCount[0] == 0 && s.piles.WasteCount[0] == 0) {
    HandEmptyHint(s.view);
  }
  return RestoreResult::Restored;
}

QString NewGameBackupFailedText(const QString& path, const QString& reason) {
  return QStringLiteral("The new game could not be backed up.\r\n\r\n") + path + QStringLiteral("\r\n") +
         platform::SystemReason(reason) +
         QStringLiteral(
             "\r\n\r\nYou can play it, but until a new game's backups can be written, Restart "
             "Current Game and Previous Turn may bring back the game before it. Nothing already in "
             "the file was lost.");
}

QString MoveFileUnavailableText(const QString& path, const QString& reason) {
  return QStringLiteral("The move file ") + path + QStringLiteral(" could not be opened: ") +
         (reason.isEmpty() ? QStringLiteral("the system gave no reason") : reason) + QStringLiteral(".\r\n\r\n") +
         QString::fromLatin1(kMoveFileUnavailableText);
}

bool SaveInSlot(SavedGames& sv, int slot, const SavedGameRecord& game, const QString& description) {
  if (slot < kFirstSaveSlot || slot > kLastSaveSlot) return false;
  SavedGameRecord saved = game;
  saved.Description = FixedDescription(description);
  SavedGameRecord start = SavedGameRecord::Decode(sv.SavedGamesFile.Read(kGameStartRecord));
  start.Description = saved.Description;
  // The slot and its game's start land together or not at all: a slot
  // without its start would restore a game that cannot be restarted.
  const bool ok = sv.SavedGamesFile.WriteTogether({{slot, saved.Encode()}, {SlotStartRecord(slot), start.Encode()}});
  sv.GameRec = start;
  return ok;
}

void ClearTempMoves(SavedGames& saved, bool open, const QString& DataPath, platform::UiService& ui) {
  if (!open) {
    saved.MoveFile.Close();
    return;
  }
  const QString path = DataPath + QString::fromLatin1(kMoveFileName);
  // The program's own working file is made anew: whatever has its name (a
  // link planted there, a hard link to another file) goes, and what it
  // points to keeps its bytes.
  saved.MoveFile.Close();
  ::unlink(QFile::encodeName(path).constData());
  const bool opened = saved.MoveFile.Open(path, kSavedGameRecordLength);
  saved.MoveFileUnavailable = !opened;
  if (!opened && !saved.MoveFileWarned) {
    saved.MoveFileWarned = true;
    ui.MsgBox(MoveFileUnavailableText(path, saved.MoveFile.LastError()), platform::vbOKOnly | platform::vbExclamation,
              QString::fromLatin1(platform::kProgramTitle));
  }
}

}  // namespace play
