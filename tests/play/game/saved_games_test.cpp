#include "play/game/saved_games.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <optional>
#include <sys/wait.h>

#include "platform/ui.h"
#include "platform/vb.h"
#include "platform/wait.h"
#include "platform/write_failures.h"
#include "play/game/undo.h"
#include "play/rules/rule_checks.h"
#include "play/table_builder.h"
#include "support/child_process.h"
#include "support/fake_ui.h"
#include "support/test_files.h"
#include "table/busy_guard.h"
#include "table/deal.h"
#include "table/fake_table_view.h"

namespace play {
namespace {

using table::PileArrays;
using testing_support::DealtTable;
using testing_support::HandToWaste;

// Records what restoring asked of the rest of the game.
class FakeHooks : public SavedGameHooks {
 public:
  void ClearTable() override { ++clears; }
  void RedrawTable() override { ++redraws; }
  void ShowPileCounts() override { ++pileCounts; }
  void CheckMatchComplete() override { ++matchChecks; }
  void ShowMatchPoints(bool show) override { matchPanels.push_back(show); }
  void SaveScoreRec() override { ++scoreSaves; }
  table::Turn WhoGoesFirst(int rule) override {
    rules.push_back(rule);
    if (onWhoGoesFirst) onWhoGoesFirst();
    return firstPlayer;
  }
  void ShowTutorialNext() override {
    ++tutorialNext;
    if (onTutorialNext) onTutorialNext();
  }
  void ComputerTurn() override {
    ++computerTurns;
    if (onComputerTurn) onComputerTurn();
  }

  int clears = 0, redraws = 0, pileCounts = 0, matchChecks = 0, scoreSaves = 0, tutorialNext = 0, computerTurns = 0;
  std::vector<bool> matchPanels;
  std::vector<int> rules;
  table::Turn firstPlayer = table::Turn::Local;
  std::function<void()> onWhoGoesFirst, onTutorialNext, onComputerTurn;
};

class SavedGamesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    dataPath = dir.path() + "/";
    ASSERT_TRUE(OpenSavedGamesFile(saved, dataPath));
    ClearTempMoves(saved, true, dataPath, ui);
    ASSERT_TRUE(saved.MoveFile.IsOpen());
    wait.SetTimeScale(0.001);
    ctx.PlayerName = "Bob";
  }

  SavedGameRecord Stored(int recNo, GameFile file = GameFile::SavedGames) {
    return SavedGameRecord::Decode(saved.File(file).Read(recNo));
  }
  void Store(int recNo, const SavedGameRecord& rec, GameFile file = GameFile::SavedGames) {
    ASSERT_TRUE(saved.File(file).Write(recNo, rec.Encode()));
  }
  // The record FillGameRecord makes of a table with the given turn.
  SavedGameRecord RecordOf(const PileArrays& p, table::Turn turn) {
    SavedGameRecord r;
    play::PlayState st;
    st.CurrentTurn = turn;
    FillGameRecord(p, st, r, ScoreRec{}, false, 100, 0);
    return r;
  }
  RestoreResult Restore(int recNo, GameFile file = GameFile::SavedGames, bool restart = false) {
    return RestoreGame(s, ctx, recNo, file, restart, refusal);
  }

  QTemporaryDir dir;
  QString dataPath;
  PileArrays piles;
  play::PlayState state;
  SavedGames saved;
  ScoreRec scores;
  bool matchOn = false;
  std::int16_t matchPoints = 100;
  std::int16_t sampleGameNumber = 0;
  testing_support::FakeTableView view;
  table::BusyGuard guard;
  platform::FakeUi ui;
  platform::WaitService wait;
  FakeHooks hooks;
  SavedGameServices s{piles, state, saved, {scores, matchOn, matchPoints}, sampleGameNumber, view, guard,
                      ui,    wait,  hooks};
  RestoreContext ctx;
  Refusal refusal{"No game here.", "Restore"};
};

TEST_F(SavedGamesTest, SavedSlotRestoresTheIdenticalTableAndBecomesTheGameStart) {
  const PileArrays start = DealtTable(7);
  PileArrays mid = start;
  for (int i = 0; i < 5; ++i) HandToWaste(mid, 0);
  mid.ReserveFaceDown = {9, 11};
  piles = mid;
  state.CurrentTurn = table::Turn::Local;
  view.elapsedSeconds = 330;  // 0:05:30
  FillGameRecord(s);
  EXPECT_DOUBLE_EQ(saved.GameRec.ElapsedTime, 330.0 / 86400.0);
  Store(3, saved.GameRec);
  Store(SlotStartRecord(3), RecordOf(start, table::Turn::Local));

  piles = DealtTable(99);
  state.CurrentTurn = table::Turn::Opponent;
  ASSERT_EQ(Restore(3), RestoreResult::Restored);

  EXPECT_EQ(piles, mid);
  EXPECT_EQ(state.CurrentTurn, table::Turn::Local);
  EXPECT_FALSE(state.GameEnded);
  EXPECT_EQ(hooks.clears, 1);
  EXPECT_EQ(hooks.redraws, 1);
  EXPECT_EQ(view.clockStartedAt, std::vector<double>{330.0});
  EXPECT_FALSE(view.images[table::TableImage::cmdDeal]);
  EXPECT_EQ(saved.SavedGamesFile.Read(kGameStartRecord), saved.SavedGamesFile.Read(SlotStartRecord(3)));
  // Both backups and the first move record hold the restored table.
  for (int rec : {kEvenTurnBackupRecord, kOddTurnBackupRecord}) {
    PileArrays back;
    ASSERT_TRUE(Stored(rec).LoadPiles(back));
    back.ReserveFaceDown = mid.ReserveFaceDown;
    EXPECT_EQ(back, mid) << rec;
  }
  EXPECT_EQ(state.TempMoveNumber, 1);
  EXPECT_EQ(Stored(1, GameFile::Moves).Encode(), Stored(kOddTurnBackupRecord).Encode());
  EXPECT_EQ(hooks.computerTurns, 0);
}

TEST_F(SavedGamesTest, TurnStartBackupsFollowTheParityOfTheTurnCount) {
  piles = DealtTable(1);
  state.CurrentTurn = table::Turn::Local;
  state.TurnCount = 0;
  SaveGameRecord(s);
  const QByteArray dealt = saved.SavedGamesFile.Read(kOddTurnBackupRecord);
  for (int rec : {kEvenTurnBackupRecord, kGameStartRecord, kLatestTurnRecord})
    EXPECT_EQ(saved.SavedGamesFile.Read(rec), dealt) << rec;

  HandToWaste(piles, 0);
  state.TurnCount = 3;
  SaveGameRecord(s);
  EXPECT_EQ(saved.SaveSlot, kOddTurnBackupRecord);
  const QByteArray odd = saved.SavedGamesFile.Read(kOddTurnBackupRecord);
  EXPECT_NE(odd, dealt);
  EXPECT_EQ(saved.SavedGamesFile.Read(kLatestTurnRecord), odd);
  EXPECT_EQ(saved.SavedGamesFile.Read(kEvenTurnBackupRecord), dealt);
  EXPECT_EQ(saved.SavedGamesFile.Read(kGameStartRecord), dealt);

  HandToWaste(piles, 0);
  state.TurnCount = 4;
  SaveGameRecord(s);
  EXPECT_EQ(saved.SaveSlot, kEvenTurnBackupRecord);
  EXPECT_EQ(saved.SavedGamesFile.Read(kOddTurnBackupRecord), odd);
  EXPECT_EQ(saved.SavedGamesFile.Read(kEvenTurnBackupRecord), saved.SavedGamesFile.Read(kLatestTurnRecord));

  EXPECT_EQ(PreviousTurnBackupRecord(0), kOddTurnBackupRecord);
  EXPECT_EQ(PreviousTurnBackupRecord(3), kEvenTurnBackupRecord);
  EXPECT_EQ(PreviousTurnBackupRecord(4), kOddTurnBackupRecord);
}

// Plays n moves of the human's turn the way the move code records them.
std::vector<PileArrays> PlayMoves(SavedGameServices& s, int n) {
  std::vector<PileArrays> after{s.piles};
  for (int i = 0; i < n; ++i) {
    HandToWaste(s.piles, 0);
    RecordMove(s);
    after.push_back(s.piles);
  }
  return after;
}

TEST_F(SavedGamesTest, BackspaceTakesBackOneMoveAtATimeWithoutTouchingTheBackups) {
  piles = DealtTable(3);
  state.CurrentTurn = table::Turn::Local;
  state.TurnCount = 0;
  SaveGameRecord(s);
  state.TurnCount = 1;
  StartMoveRecords(s);
  const auto tables = PlayMoves(s, 3);
  ASSERT_EQ(state.TempMoveNumber, 4);
  const QByteArray even = saved.SavedGamesFile.Read(kEvenTurnBackupRecord);
  const QByteArray odd = saved.SavedGamesFile.Read(kOddTurnBackupRecord);

  for (int expected = 2; expected >= 0; --expected) {
    saved.UndoMoveRequested = true;
    UndoMove(s, ctx);
    EXPECT_FALSE(saved.UndoMoveRequested);
    EXPECT_EQ(piles, tables[expected]);
    EXPECT_EQ(state.TempMoveNumber, expected + 1);
  }
  const int clears = hooks.clears;
  saved.UndoMoveRequested = true;
  UndoMove(s, ctx);
  EXPECT_FALSE(saved.UndoMoveRequested);
  EXPECT_EQ(hooks.clears, clears);
  EXPECT_EQ(piles, tables[0]);
  EXPECT_EQ(saved.SavedGamesFile.Read(kEvenTurnBackupRecord), even);
  EXPECT_EQ(saved.SavedGamesFile.Read(kOddTurnBackupRecord), odd);
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(SavedGamesTest, DeleteGoesBackToTheStartOfTheTurnAndRestartsTheMoveFile) {
  piles = DealtTable(4);
  state.CurrentTurn = table::Turn::Local;
  state.TurnCount = 0;
  SaveGameRecord(s);
  state.TurnCount = 1;
  StartMoveRecords(s);
  const auto tables = PlayMoves(s, 2);

  saved.UndoTurnRequested = true;
  UndoMove(s, ctx);
  EXPECT_FALSE(saved.UndoTurnRequested);
  EXPECT_EQ(saved.SaveSlot, kOddTurnBackupRecord);
  EXPECT_EQ(piles, tables[0]);
  EXPECT_EQ(state.TempMoveNumber, 1);
  EXPECT_EQ(state.TurnCount, 1);
  EXPECT_EQ(Stored(1, GameFile::Moves).Encode(), saved.GameRec.Encode());
  PileArrays first;
  ASSERT_TRUE(Stored(1, GameFile::Moves).LoadPiles(first));
  first.ReserveFaceDown = piles.ReserveFaceDown;
  EXPECT_EQ(first, tables[0]);

  // On an even turn the other backup is the start of the turn.
  PileArrays evenStart = DealtTable(5);
  Store(kEvenTurnBackupRecord, RecordOf(evenStart, table::Turn::Local));
  state.TurnCount = 4;
  saved.UndoTurnRequested = true;
  UndoMove(s, ctx);
  EXPECT_EQ(piles, evenStart);
}

TEST_F(SavedGamesTest, MoveRecordThirteenIsNotAGameStart) {
  piles = DealtTable(6);
  state.CurrentTurn = table::Turn::Local;
  state.TurnCount = 5;
  StartMoveRecords(s);
  const auto tables = PlayMoves(s, 13);
  ASSERT_EQ(state.TempMoveNumber, 14);
  saved.UndoMoveRequested = true;
  UndoMove(s, ctx);
  EXPECT_EQ(piles, tables[12]);
  EXPECT_EQ(state.TurnCount, 5);
  EXPECT_TRUE(hooks.rules.empty());
}

TEST_F(SavedGamesTest, OutsideAMatchTheRecordDropsTheMatchSoAnEndedMatchStaysEnded) {
  piles = DealtTable(8);
  state.CurrentTurn = table::Turn::Local;
  matchOn = true;
  matchPoints = 150;
  scores.MatchScore = 40;
  scores.OppMatchScore = 55;
  scores.MatchGames = 3;
  scores.MatchWins = 1;
  scores.OppMatchWins = 2;
  FillGameRecord(s);
  EXPECT_EQ(saved.GameRec.Description.trimmed(), "Match");
  EXPECT_EQ(saved.GameRec.Tableau[0][kMatchPointsRow], 150);
  EXPECT_EQ(saved.GameRec.Tableau[0][kOppMatchWinsRow], 2);

  // The match ends; the record variable still carries the match.
  matchOn = false;
  state.TurnCount = 2;
  SaveGameRecord(s);
  const SavedGameRecord backup = Stored(kEvenTurnBackupRecord);
  EXPECT_EQ(backup.Description, QString(30, ' '));
  for (int row = kMatchPointsRow; row <= kOppMatchWinsRow; ++row) EXPECT_EQ(backup.Tableau[0][row], 0) << row;

  ASSERT_EQ(Restore(kEvenTurnBackupRecord), RestoreResult::Restored);
  EXPECT_FALSE(matchOn);
  EXPECT_EQ(hooks.matchChecks, 0);

  // An online game keeps its mark.
  saved.GameRec.Description = "^^Match Sunday game" + QString(11, ' ');
  FillGameRecord(s);
  EXPECT_EQ(saved.GameRec.Description, ("^^Sunday game" + QString(30, ' ')).left(30));
}

TEST_F(SavedGamesTest, MatchDescriptionsTurnTheMatchOnOnlyWithATargetAMatchCanHave) {
  SavedGameRecord rec = RecordOf(DealtTable(9), table::Turn::Local);
  rec.Description = "^^Match";
  rec.Tableau[0][kMatchPointsRow] = 200;
  rec.Tableau[0][kMatchScoreRow] = 61;
  rec.Tableau[0][kOppMatchScoreRow] = 70;
  rec.Tableau[0][kMatchGamesRow] = 4;
  rec.Tableau[0][kMatchWinsRow] = 2;
  rec.Tableau[0][kOppMatchWinsRow] = 2;
  Store(4, rec);
  ASSERT_EQ(Restore(4), RestoreResult::Restored);
  EXPECT_TRUE(matchOn);
  EXPECT_EQ(scores.MatchTarget, 200);
  EXPECT_EQ(scores.MatchScore, 61);
  EXPECT_EQ(scores.OppMatchScore, 70);
  EXPECT_EQ(scores.MatchInProgress, 1);
  EXPECT_EQ(scores.MatchGames, 4);
  EXPECT_EQ(scores.MatchWins, 2);
  EXPECT_EQ(scores.OppMatchWins, 2);
  EXPECT_EQ(hooks.matchChecks, 1);
  EXPECT_EQ(hooks.scoreSaves, 1);

  // "Match" over cells that hold no match leaves the running match alone.
  rec.Description = "Match";
  rec.Tableau[0][kMatchPointsRow] = 0;
  rec.Tableau[0][kMatchScoreRow] = 999;
  Store(5, rec);
  ASSERT_EQ(Restore(5), RestoreResult::Restored);
  EXPECT_TRUE(matchOn);
  EXPECT_EQ(scores.MatchScore, 61);
  EXPECT_EQ(hooks.matchChecks, 1);
  EXPECT_EQ(hooks.scoreSaves, 1);
  matchOn = false;
  rec.Tableau[0][kMatchPointsRow] = 1001;
  Store(5, rec);
  ASSERT_EQ(Restore(5), RestoreResult::Restored);
  EXPECT_FALSE(matchOn);
  EXPECT_EQ(hooks.scoreSaves, 1);

  // A record without a match ends the running one.
  matchOn = true;
  Store(6, RecordOf(DealtTable(10), table::Turn::Local));
  ASSERT_EQ(Restore(6), RestoreResult::Restored);
  EXPECT_FALSE(matchOn);
  EXPECT_EQ(scores.MatchInProgress, 0);
  EXPECT_EQ(hooks.matchPanels, std::vector<bool>{false});
  EXPECT_EQ(hooks.scoreSaves, 2);
}

TEST_F(SavedGamesTest, RestartWritesTheBackupsAfterWhoGoesFirstHasDecided) {
  Store(kGameStartRecord, RecordOf(DealtTable(11), table::Turn::Local));
  state.TurnCount = 7;
  ctx.FirstPlayerRule = 1;
  hooks.firstPlayer = table::Turn::Opponent;
  state.Message = "I have the higher card.";
  table::Turn turnSeenByComputer = table::Turn::None;
  hooks.onComputerTurn = [&] { turnSeenByComputer = Stored(kOddTurnBackupRecord).CurrentTurn; };
  ASSERT_EQ(Restore(kGameStartRecord, GameFile::SavedGames, true), RestoreResult::Restored);
  EXPECT_EQ(hooks.rules, std::vector<int>{1});
  EXPECT_EQ(state.TurnCount, 1);
  EXPECT_EQ(view.labels[table::TableLabel::lblMessage], "I have the higher card.");
  EXPECT_EQ(Stored(kEvenTurnBackupRecord).CurrentTurn, table::Turn::Opponent);
  EXPECT_EQ(turnSeenByComputer, table::Turn::Opponent);
  EXPECT_EQ(Stored(1, GameFile::Moves).CurrentTurn, table::Turn::Opponent);
  EXPECT_EQ(hooks.computerTurns, 1);
}

TEST_F(SavedGamesTest, RestartWithTheCoinTossAsksAndNoSwapsWhoBegins) {
  Store(kGameStartRecord, RecordOf(DealtTable(12), table::Turn::Opponent));
  ctx.FirstPlayerRule = 2;
  ui.QueueAnswer(platform::vbNo);
  ASSERT_EQ(Restore(kGameStartRecord, GameFile::SavedGames, true), RestoreResult::Restored);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, kCoinTossQuestion);
  EXPECT_EQ(ui.boxes[0].title, kRestartTitle);
  EXPECT_EQ(ui.boxes[0].buttons(), platform::vbYesNo);
  EXPECT_TRUE(hooks.rules.empty());
  EXPECT_EQ(state.CurrentTurn, table::Turn::Local);
  EXPECT_EQ(Stored(kOddTurnBackupRecord).CurrentTurn, table::Turn::Local);
  EXPECT_EQ(hooks.computerTurns, 0);
}

TEST_F(SavedGamesTest, RecordsThatHoldNoSaneGameAreRefusedAndTheTableStays) {
  piles = DealtTable(13);
  state.CurrentTurn = table::Turn::Local;
  state.TurnCount = 3;
  const PileArrays before = piles;

  SavedGameRecord bad = RecordOf(DealtTable(14), table::Turn::Local);
  bad.StockCount[1] = 105;
  Store(2, bad);
  bad = RecordOf(DealtTable(14), table::Turn::Local);
  bad.Tableau[4][1] = 53;
  Store(3, bad);
  bad = RecordOf(DealtTable(14), static_cast<table::Turn>(7));
  Store(4, bad);
  // Cards no game can have inside the counts: a blank card, a third ace.
  bad = RecordOf(DealtTable(14), table::Turn::Local);
  bad.Stock[0][1] = 0;
  Store(5, bad);
  bad = RecordOf(DealtTable(14), table::Turn::Local);
  bad.Waste[1][1] = bad.Stock[0][1];
  bad.Waste[1][2] = bad.Stock[0][1];
  bad.WasteCount[1] = 2;
  Store(6, bad);

  EXPECT_EQ(Restore(9), RestoreResult::Empty);  // never written
  for (int damaged : {2, 3, 4, 5, 6}) EXPECT_EQ(Restore(damaged), RestoreResult::Damaged) << damaged;
  ASSERT_EQ(ui.boxes.size(), 6u);
  EXPECT_EQ(ui.boxes[0].text, refusal.text);
  for (const auto& box : ui.boxes) EXPECT_EQ(box.title, refusal.title);
  for (std::size_t i = 1; i < ui.boxes.size(); ++i) {
    EXPECT_TRUE(ui.boxes[i].text.contains("is damaged")) << ui.boxes[i].text.toStdString();
    EXPECT_TRUE(ui.boxes[i].text.contains(saved.SavedGamesFile.Path()));
  }
  EXPECT_EQ(piles, before);
  EXPECT_EQ(state.CurrentTurn, table::Turn::Local);
  EXPECT_EQ(hooks.clears, 0);
  EXPECT_TRUE(Stored(kEvenTurnBackupRecord) == SavedGameRecord{});
  EXPECT_TRUE(view.clockStartedAt.empty());

  saved.GameRec = bad;
  saved.GameRec.CurrentTurn = table::Turn::Opponent;
  saved.GameRec.WasteCount[0] = -1;
  EXPECT_FALSE(LoadGameRecord(s, false).has_value());
  EXPECT_EQ(piles, before);
  EXPECT_EQ(state.CurrentTurn, table::Turn::Local);
}

// A file cut inside the game start reads its tail as zeros: the record is
// refused as damaged, by name, for a restart as for an undo, and the table
// stays; the records before the cut still restore.
TEST_F(SavedGamesTest, ACutSavedGamesFileRestartsNothingAndSaysItIsDamaged) {
  piles = DealtTable(13);
  state.CurrentTurn = table::Turn::Local;
  state.TurnCount = 3;
  const PileArrays before = piles;
  for (int recNo = kEvenTurnBackupRecord; recNo <= kGameStartRecord; ++recNo)
    Store(recNo, RecordOf(DealtTable(30 + recNo), table::Turn::Local));
  const QString path = saved.SavedGamesFile.Path();
  saved.SavedGamesFile.Close();
  {
    QFile f(path);
    ASSERT_TRUE(f.resize(qint64(kGameStartRecord - 1) * kSavedGameRecordLength + 1000));
  }
  ASSERT_TRUE(OpenSavedGamesFile(saved, dataPath));

  EXPECT_EQ(Restore(kGameStartRecord, GameFile::SavedGames, true), RestoreResult::Damaged);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_TRUE(ui.boxes[0].text.contains("record 13 of the file\r\n" + path + "\r\nis damaged"))
      << ui.boxes[0].text.toStdString();
  EXPECT_EQ(piles, before);
  EXPECT_EQ(hooks.clears, 0);
  EXPECT_EQ(state.TurnCount, 3);

  ASSERT_EQ(Restore(kOddTurnBackupRecord), RestoreResult::Restored);
  table::PileArrays expected = DealtTable(30 + kOddTurnBackupRecord);
  EXPECT_EQ(piles.Stock, expected.Stock);
}

// Saving in a slot writes the slot and its game start together; where the
// file cannot grow to take the start, neither lands and the file keeps
// every byte it had.
TEST_F(SavedGamesTest, ASaveThatCannotGrowTheFileLeavesItAsItWas) {
  Store(kGameStartRecord, RecordOf(DealtTable(40), table::Turn::Local));
  const SavedGameRecord game = RecordOf(DealtTable(41), table::Turn::Opponent);
  ASSERT_TRUE(SaveInSlot(saved, 2, game, "Tuesday"));
  EXPECT_EQ(vb::TrimRecord(Stored(2).Description), "Tuesday");
  EXPECT_EQ(Stored(2).Stock, game.Stock);
  EXPECT_EQ(Stored(SlotStartRecord(2)).Stock, RecordOf(DealtTable(40), table::Turn::Local).Stock);
  EXPECT_EQ(vb::TrimRecord(Stored(SlotStartRecord(2)).Description), "Tuesday");

  const QString path = saved.SavedGamesFile.Path();
  const QByteArray before = FileBytes(path);
  ASSERT_EQ(before.size(), qint64(SlotStartRecord(2)) * kSavedGameRecordLength);
  // Slot 5's start (record 25) lies past what the file may grow to.
  const int status = testing_support::InChildUnderFileSizeLimit(rlim_t(before.size() + 100), [&] {
    SavedGames other;
    if (!OpenSavedGamesFile(other, dataPath)) return 1;
    const bool savedIt = SaveInSlot(other, 5, game, "Wednesday");
    return !savedIt && other.SavedGamesFile.LastError() == "File too large" ? 0 : 2;
  });
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(FileBytes(path), before);
  EXPECT_EQ(QDir(dataPath).entryList(QDir::Files | QDir::Hidden), (QStringList{"backup4.sav", "~tempmoves.sav"}));
}

// A deal whose start and backups cannot be written (a full disk, a file
// size limit) leaves the file as it was and tells the user once, in the
// deal's own box rather than as a bare failed write.
TEST_F(SavedGamesTest, ADealThatCannotBeBackedUpLeavesTheFileAsItWasAndSaysSoOnce) {
  piles = DealtTable(50);
  state.CurrentTurn = table::Turn::Local;
  state.TurnCount = 0;
  SaveGameRecord(s);
  const QString path = saved.SavedGamesFile.Path();
  const QByteArray before = FileBytes(path);
  ASSERT_EQ(before.size(), qint64(kLatestTurnRecord) * kSavedGameRecordLength);

  // The new file written beside the old one may not reach its size.
  const int status = testing_support::InChildUnderFileSizeLimit(rlim_t(before.size() / 2), [&] {
    platform::FakeUi childUi;
    platform::WriteFailures failures(childUi);
    saved.SavedGamesFile.ReportFailuresTo(&failures);
    SavedGameServices other{piles,   state, saved, {scores, matchOn, matchPoints}, sampleGameNumber, view, guard,
                            childUi, wait,  hooks};
    piles = DealtTable(51);
    state.TurnCount = 0;
    SaveGameRecord(other);
    if (childUi.boxes.size() != 1) return 4;
    const platform::FakeUi::Box& box = childUi.boxes[0];
    if (box.text != NewGameBackupFailedText(path, "File too large") || box.title != "New Game" ||
        box.icon() != platform::vbExclamation)
      return 5;
    // What was not written is not told of again as a bare failed write.
    state.TurnCount = 0;
    SaveGameRecord(other);
    if (childUi.boxes.size() != 2) return 10 + int(childUi.boxes.size());
    return childUi.boxes[1].text == childUi.boxes[0].text ? 0 : 6;
  });
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(FileBytes(path), before);
  EXPECT_EQ(QDir(dataPath).entryList(QDir::Files | QDir::Hidden), (QStringList{"backup4.sav", "~tempmoves.sav"}));
  const QString text = NewGameBackupFailedText(path, "No space left on device");
  EXPECT_TRUE(text.startsWith("The new game could not be backed up.\r\n\r\n" + path + "\r\nNo space left on device"))
      << text.toStdString();
}

TEST_F(SavedGamesTest, FaceDownReserveCardsComeBackAndAStoredZeroMeansAllButTheTop) {
  SavedGameRecord rec = RecordOf(DealtTable(15), table::Turn::Local);
  rec.ReserveCount[0] = 5;
  for (int pos = 6; pos <= 13; ++pos) rec.Reserve[0][pos] = 0;
  rec.ReserveCount[1] = 0;
  for (int pos = 1; pos <= 13; ++pos) rec.Reserve[1][pos] = 0;
  rec.Tableau[0][0] = 0;
  rec.Tableau[0][1] = 0;
  Store(1, rec);
  ASSERT_EQ(Restore(1), RestoreResult::Restored);
  EXPECT_EQ(piles.ReserveFaceDown[0], 4);
  EXPECT_EQ(piles.ReserveFaceDown[1], -1);

  rec.Tableau[0][0] = 2;
  rec.Tableau[0][1] = 300;  // more than the pile holds
  Store(1, rec);
  ASSERT_EQ(Restore(1), RestoreResult::Restored);
  EXPECT_EQ(piles.ReserveFaceDown[0], 2);
  EXPECT_EQ(piles.ReserveFaceDown[1], -1);
}

TEST_F(SavedGamesTest, SampleGameNumberIsTheWholeTrailingNumberOfTheDescription) {
  EXPECT_EQ(TrailingNumber("Sample Game 10"), 10);
  EXPECT_EQ(TrailingNumber("Sample Game 7"), 7);
  EXPECT_EQ(TrailingNumber("Saturday"), 0);
  EXPECT_EQ(TrailingNumber(""), 0);
  EXPECT_EQ(TrailingNumber("99999999999999999999"), 32767);

  SavedGameRecord rec = RecordOf(DealtTable(16), table::Turn::Local);
  rec.Description = "Sample Game 10";
  Store(2, rec);
  sampleGameNumber = 3;
  ASSERT_EQ(Restore(2), RestoreResult::Restored);
  EXPECT_EQ(sampleGameNumber, 10);
  EXPECT_EQ(view.panels[1], "Bob   Sample Game 10");

  Store(kGameStartRecord, rec);
  ASSERT_EQ(Restore(kGameStartRecord, GameFile::SavedGames, true), RestoreResult::Restored);
  EXPECT_EQ(view.panels[1], "Bob   Sample Game Number 10");
}

TEST_F(SavedGamesTest, NoOtherCommandReplacesTheTableWhileARestoreRuns) {
  Store(kGameStartRecord, RecordOf(DealtTable(17), table::Turn::Local));
  Store(4, RecordOf(DealtTable(18), table::Turn::Local));
  hooks.firstPlayer = table::Turn::Opponent;
  std::optional<RestoreResult> during;
  // A command handled inside the restore's pause; one still queued when the
  // test ends goes with its context.
  QObject commands;
  hooks.onWhoGoesFirst = [&] { QTimer::singleShot(0, &commands, [&] { during = Restore(4); }); };
  bool mayReplaceInComputerTurn = true;
  hooks.onComputerTurn = [&] { mayReplaceInComputerTurn = guard.MayReplaceTable(); };
  ASSERT_EQ(Restore(kGameStartRecord, GameFile::SavedGames, true), RestoreResult::Restored);
  ASSERT_TRUE(during.has_value());
  EXPECT_EQ(*during, RestoreResult::Busy);
  EXPECT_FALSE(mayReplaceInComputerTurn);
  EXPECT_EQ(hooks.clears, 1);
  EXPECT_TRUE(guard.MayReplaceTable());

  // A move in progress refuses the restore silently.
  auto move = guard.Enter(table::Activity::Move);
  EXPECT_EQ(Restore(4), RestoreResult::Busy);
  EXPECT_TRUE(ui.boxes.empty());
  EXPECT_EQ(hooks.clears, 1);
}

TEST_F(SavedGamesTest, TutorialGameWaitsForNextBeforeTheComputerPlays) {
  state.TutorialMode = true;
  SavedGameRecord rec = RecordOf(DealtTable(19), table::Turn::Opponent);
  rec.ElapsedTime = 0;
  Store(kTutorialRecord, rec);
  hooks.onTutorialNext = [&] {
    EXPECT_EQ(view.layouts, 1);
    EXPECT_TRUE(view.clockStartedAt.empty());
    QTimer::singleShot(0, [&] {
      state.TutorialContinue = true;
      wait.Wake();
    });
  };
  ASSERT_EQ(Restore(kTutorialRecord), RestoreResult::Restored);
  EXPECT_EQ(hooks.redraws, 0);
  EXPECT_EQ(hooks.tutorialNext, 1);
  EXPECT_FALSE(state.TutorialContinue);
  EXPECT_EQ(state.TurnCount, 1);
  EXPECT_EQ(view.clockStartedAt, std::vector<double>{0.0});
  EXPECT_EQ(hooks.computerTurns, 1);
  PileArrays start;
  ASSERT_TRUE(Stored(kGameStartRecord).LoadPiles(start));
  start.ReserveFaceDown = piles.ReserveFaceDown;
  EXPECT_EQ(start, piles);
}

TEST_F(SavedGamesTest, OnlineRestoreStopsBeforeTheTurnAndKeepsTheClockForTheScore) {
  ctx.Online = true;
  SavedGameRecord rec = RecordOf(DealtTable(20), table::Turn::Opponent);
  rec.ElapsedTime = 600.0 / 86400.0;
  Store(kEvenTurnBackupRecord, rec);
  ASSERT_EQ(Restore(kEvenTurnBackupRecord), RestoreResult::Restored);
  EXPECT_FALSE(view.pilesEnabled);
  EXPECT_DOUBLE_EQ(scores.GameTime, 600.0 / 86400.0);
  EXPECT_EQ(hooks.computerTurns, 0);
  EXPECT_EQ(Stored(1, GameFile::Moves), SavedGameRecord{});
  EXPECT_EQ(Stored(kOddTurnBackupRecord).Encode(), rec.Encode());
}

TEST_F(SavedGamesTest, WithoutAMoveFileTheGameGoesOnWithoutUndoAndTheUserIsToldOnce) {
  SavedGames other;
  const QString noFolder = dataPath + "missing/";
  ClearTempMoves(other, true, noFolder, ui);
  ClearTempMoves(other, true, noFolder, ui);
  EXPECT_TRUE(other.MoveFileUnavailable);
  ASSERT_EQ(ui.boxes.size(), 1u);
  // The box names the file and the system's reason.
  EXPECT_EQ(ui.boxes[0].text, MoveFileUnavailableText(noFolder + "~tempmoves.sav", "No such file or directory"));
  EXPECT_TRUE(ui.boxes[0].text.endsWith(kMoveFileUnavailableText));

  ClearTempMoves(saved, false, dataPath, ui);
  ClearTempMoves(saved, true, noFolder, ui);
  piles = DealtTable(21);
  state.CurrentTurn = table::Turn::Local;
  StartMoveRecords(s);
  PlayMoves(s, 2);
  const PileArrays now = piles;
  saved.UndoMoveRequested = true;
  UndoMove(s, ctx);
  saved.UndoTurnRequested = true;
  UndoMove(s, ctx);
  EXPECT_FALSE(saved.UndoMoveRequested);
  EXPECT_FALSE(saved.UndoTurnRequested);
  EXPECT_EQ(piles, now);
  EXPECT_EQ(hooks.clears, 0);

  // The move file opens again in a folder that exists.
  ClearTempMoves(saved, true, dataPath, ui);
  EXPECT_FALSE(saved.MoveFileUnavailable);
  EXPECT_TRUE(saved.MoveFile.IsOpen());
}

}  // namespace
}  // namespace play
