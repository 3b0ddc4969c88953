#include "play/records/score_records.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/recordfile.h"
#include "play/game/match_panel.h"
#include "table/fake_table_view.h"

namespace play {
namespace {

// ---- Counting a game ----

TEST(AddGameResultTest, SingleWinCountsTheGameTheWinAndTheBestWin) {
  ScoreState s;
  s.CurrentScores.BestWin = 40;
  s.GamePoints = 52;
  AddGameResult(s, false, "Single");
  EXPECT_EQ(s.CurrentScores.SinglePlayed, 1);
  EXPECT_EQ(s.CurrentScores.SingleWon, 1);
  EXPECT_EQ(s.CurrentScores.BestWin, 52);
  EXPECT_EQ(s.CurrentScores.BestLoss, 0);

  s.GamePoints = 0;  // a win of 0 points keeps the best win
  AddGameResult(s, false, "Single");
  EXPECT_EQ(s.CurrentScores.SinglePlayed, 2);
  EXPECT_EQ(s.CurrentScores.SingleWon, 2);
  EXPECT_EQ(s.CurrentScores.BestWin, 52);
}

TEST(AddGameResultTest, SingleLossRaisesOnlyTheBestLoss) {
  ScoreState s;
  s.CurrentScores.GameTime = 0.5;
  s.GamePoints = 70;
  AddGameResult(s, true, "Single");
  AddGameResult(s, true, "Single");
  s.GamePoints = 35;
  AddGameResult(s, true, "Single");
  EXPECT_EQ(s.CurrentScores.SinglePlayed, 3);
  EXPECT_EQ(s.CurrentScores.SingleWon, 0);
  EXPECT_EQ(s.CurrentScores.BestLoss, 70);
  EXPECT_EQ(s.CurrentScores.GameTime, 0.5);  // single games leave the time alone
  EXPECT_EQ(s.CurrentScores.MatchGames, 0);
}

TEST(AddGameResultTest, MatchGamesAddPointsToTheWinnerUntilTheTarget) {
  ScoreState s;
  s.MatchPoints = 100;
  s.CurrentScores.GameTime = 0.25;
  s.GamePoints = 60;
  AddGameResult(s, false, "Match");
  EXPECT_EQ(s.CurrentScores.MatchGames, 1);
  EXPECT_EQ(s.CurrentScores.MatchScore, 60);
  EXPECT_EQ(s.CurrentScores.MatchWins, 1);
  EXPECT_EQ(s.CurrentScores.MatchInProgress, 1);
  EXPECT_EQ(s.CurrentScores.GameTime, 0.0);
  EXPECT_FALSE(s.MatchComplete);

  s.GamePoints = 45;
  AddGameResult(s, true, "Match");
  EXPECT_EQ(s.CurrentScores.OppMatchScore, 45);
  EXPECT_EQ(s.CurrentScores.OppMatchWins, 1);
  EXPECT_FALSE(s.MatchComplete);

  s.GamePoints = 40;  // 60 + 40 reaches 100 exactly
  AddGameResult(s, false, "Match");
  EXPECT_TRUE(s.MatchComplete);
  EXPECT_EQ(s.CurrentScores.MatchScore, 100);
  EXPECT_EQ(s.CurrentScores.MatchesWon, 1);
  EXPECT_EQ(s.CurrentScores.MatchesPlayed, 1);
  EXPECT_EQ(s.CurrentScores.MatchInProgress, 0);
  EXPECT_EQ(s.CurrentScores.MatchGames, 3);
  EXPECT_EQ(s.CurrentScores.SinglePlayed, 0);  // match games are not singles
}

TEST(AddGameResultTest, OpponentReachingTheTargetEndsTheMatchWithoutAWin) {
  ScoreState s;
  s.MatchPoints = 62;
  s.CurrentScores.OppMatchScore = 50;
  s.GamePoints = 30;
  AddGameResult(s, true, "Match");
  EXPECT_TRUE(s.MatchComplete);
  EXPECT_EQ(s.CurrentScores.MatchInProgress, 0);
  EXPECT_EQ(s.CurrentScores.MatchesPlayed, 1);
  EXPECT_EQ(s.CurrentScores.MatchesWon, 0);
}

TEST(AddGameResultTest, MatchPointsOutsideTheRangeAreNeverTheTarget) {
  // A zero target would end every match at its first game, a huge one never.
  for (std::int16_t bad : {std::int16_t{0}, std::int16_t{40}, std::int16_t{1001}, std::int16_t{-5}}) {
    ScoreState s;
    s.MatchPoints = bad;
    s.GamePoints = 52;
    AddGameResult(s, false, "Match");
    EXPECT_FALSE(s.MatchComplete) << bad;
    s.GamePoints = 48;  // 100, the default target
    AddGameResult(s, false, "Match");
    EXPECT_TRUE(s.MatchComplete) << bad;
  }
}

TEST(AddGameResultTest, CountersAndPointsSaturateAt32767) {
  ScoreState s;
  s.MatchPoints = 1000;
  s.CurrentScores.SinglePlayed = 32767;
  s.CurrentScores.SingleWon = 32767;
  s.CurrentScores.MatchGames = 32767;
  s.CurrentScores.MatchWins = 32767;
  s.CurrentScores.OppMatchWins = 32767;
  s.CurrentScores.MatchScore = 32700;
  s.CurrentScores.OppMatchScore = 32700;
  s.CurrentScores.MatchesPlayed = 32767;
  s.CurrentScores.MatchesWon = 32767;
  s.GamePoints = 238;
  AddGameResult(s, false, "Single");
  AddGameResult(s, false, "Match");
  s.MatchComplete = false;
  AddGameResult(s, true, "Match");
  const ScoreRec& r = s.CurrentScores;
  EXPECT_EQ(r.SinglePlayed, 32767);
  EXPECT_EQ(r.SingleWon, 32767);
  EXPECT_EQ(r.MatchGames, 32767);
  EXPECT_EQ(r.MatchWins, 32767);
  EXPECT_EQ(r.OppMatchWins, 32767);
  EXPECT_EQ(r.MatchScore, 32767);
  EXPECT_EQ(r.OppMatchScore, 32767);
  EXPECT_EQ(r.MatchesPlayed, 32767);
  EXPECT_EQ(r.MatchesWon, 32767);
}

// ---- Resetting ----

ScoreRec FullRecord() {
  ScoreRec r;
  r.SinglePlayed = 1;
  r.SingleWon = 2;
  r.BestWin = 3;
  r.BestLoss = 4;
  r.MatchesPlayed = 5;
  r.MatchesWon = 6;
  r.MatchTarget = 7;
  r.MatchInProgress = 1;
  r.MatchGames = 9;
  r.MatchWins = 10;
  r.OppMatchWins = 11;
  r.MatchScore = 12;
  r.OppMatchScore = 13;
  r.OpponentName = "Kestrel             ";
  r.AvatarFile = "owl.jpg             ";
  r.ExtraFlag = -1;
  r.GameTime = 0.75;
  return r;
}

TEST(ResetScoresTest, EachKindClearsItsOwnFields) {
  ScoreRec r = FullRecord();
  ResetScores(r, "Single", true, false);
  ScoreRec want = FullRecord();
  want.SinglePlayed = want.SingleWon = want.BestWin = want.BestLoss = 0;
  want.GameTime = 0;
  EXPECT_EQ(r, want);

  r = FullRecord();
  ResetScores(r, "Matches", true, false);
  want = FullRecord();
  want.MatchesPlayed = want.MatchesWon = want.MatchTarget = want.MatchInProgress = 0;
  EXPECT_EQ(r, want);

  r = FullRecord();
  ResetScores(r, "Current Match", true, false);
  want = FullRecord();
  want.MatchGames = want.MatchWins = want.OppMatchWins = want.MatchScore = want.OppMatchScore = 0;
  want.MatchInProgress = 0;
  EXPECT_EQ(r, want);
}

TEST(ResetScoresTest, CurrentMatchKeepsMatchInProgressWhileAMatchIsOn) {
  ScoreRec r = FullRecord();
  ResetScores(r, "Current Match", true, true);
  EXPECT_EQ(r.MatchInProgress, 1);
  EXPECT_EQ(r.MatchGames, 0);
}

TEST(ResetScoresTest, AllBlanksTheNamesUnlessKept) {
  ScoreRec r = FullRecord();
  ResetScores(r, "All", true, false);
  ScoreRec want;
  want.OpponentName = FullRecord().OpponentName;
  want.AvatarFile = FullRecord().AvatarFile;
  EXPECT_EQ(r, want);

  ResetScores(r, "All", false, false);
  EXPECT_EQ(r.OpponentName, QString(20, ' '));
  EXPECT_EQ(r.AvatarFile, QString(20, ' '));
}

TEST(ResetScoresTest, KindsAreComparedExactly) {
  ScoreRec r = FullRecord();
  ResetScores(r, "single", false, false);
  ResetScores(r, "ALL", false, false);
  ResetScores(r, "", false, false);
  EXPECT_EQ(r, FullRecord());
}

// ---- The match state ----

TEST(IsMatchRunningTest, NeedsGamesAndBothSidesBelowTheTarget) {
  ScoreRec r;
  r.MatchTarget = 100;
  EXPECT_FALSE(IsMatchRunning(r));
  r.MatchGames = 2;
  r.MatchScore = 60;
  r.OppMatchScore = 99;
  EXPECT_TRUE(IsMatchRunning(r));
  r.OppMatchScore = 100;
  EXPECT_FALSE(IsMatchRunning(r));
}

TEST(ResumeMatchTest, AnUnfinishedMatchIsSwitchedOnAndShown) {
  testing_support::FakeTableView view;
  ScoreState s;
  s.CurrentScores.MatchTarget = 250;
  s.CurrentScores.MatchInProgress = 1;
  s.CurrentScores.MatchGames = 3;
  ResumeMatch(s, view);
  EXPECT_TRUE(s.MatchOn);
  EXPECT_EQ(s.MatchPoints, 250);
  EXPECT_EQ(view.panels[4], "Match:  250 pts");
}

TEST(ResumeMatchTest, AFinishedMatchIsOffWithItsPanelsEmptied) {
  testing_support::FakeTableView view;
  view.panels[4] = "Match:  100 pts";
  ScoreState s;
  s.MatchOn = true;
  s.CurrentScores.MatchTarget = 300;
  ResumeMatch(s, view);
  EXPECT_FALSE(s.MatchOn);
  EXPECT_EQ(s.MatchPoints, 300);
  EXPECT_EQ(view.panels[4], "");
  EXPECT_EQ(view.statusBarSizings, 1);

  s.CurrentScores.MatchTarget = 0;  // a record that never saw a match
  ResumeMatch(s, view);
  EXPECT_EQ(s.MatchPoints, 100);
}

// ---- Loading and storing ----

class ScoreStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(players.Open(dir.filePath("players4.sav"), kPlayerRecordLength));
    for (int n = 1; n <= kPlayersFileRecords; ++n) {
      PlayerRecord p;
      p.Name = QString("Player %1").arg(n);
      p.Scores.SinglePlayed = static_cast<std::int16_t>(n);
      ASSERT_TRUE(players.Write(n, p.Encode()));
    }
    store.Player = &Player;
    store.CurrentPlayer = &CurrentPlayer;
    store.PlayersFile = &players;
    store.NetConnIndex = &NetConnIndex;
  }

  PlayerRecord OnDisk(int n) { return PlayerRecord::Decode(players.Read(n)); }

  QTemporaryDir dir;
  platform::RecordFile players;
  PlayerRecord Player;
  std::int16_t CurrentPlayer = 0;
  std::int16_t NetConnIndex = 0;
  ScoreStore store;
  ScoreState scores;
};

TEST_F(ScoreStoreTest, SavedScoresAreInThePlayerInMemoryAndOnDisk) {
  CurrentPlayer = 3;
  ASSERT_EQ(LoadScoreRec(scores, store), StoreResult::Stored);
  EXPECT_EQ(scores.CurrentScores.SinglePlayed, 3);
  Player.SoundOn = -1;  // a setting changed in memory goes with the record

  scores.GamePoints = 44;
  AddGameResult(scores, false, "Single");
  ASSERT_EQ(SaveScoreRec(scores, store), StoreResult::Stored);
  EXPECT_EQ(Player.Scores, scores.CurrentScores);
  EXPECT_EQ(OnDisk(3), Player);

  // A later save of the player from memory keeps the new result.
  ASSERT_TRUE(players.Write(3, Player.Encode()));
  EXPECT_EQ(OnDisk(3).Scores.SingleWon, 1);
  EXPECT_EQ(OnDisk(3).Scores.BestWin, 44);
  // No other record was touched.
  EXPECT_EQ(OnDisk(2).Scores.SinglePlayed, 2);
  EXPECT_EQ(OnDisk(4).Scores.SinglePlayed, 4);
}

TEST_F(ScoreStoreTest, WithoutAPlayerNothingIsReadOrWritten) {
  ASSERT_TRUE(players.Flush());
  const QByteArray before = [&] {
    QFile f(players.Path());
    f.open(QIODevice::ReadOnly);
    return f.readAll();
  }();
  scores.CurrentScores.SinglePlayed = 9;
  for (std::int16_t bad : {std::int16_t{0}, std::int16_t{-1}, std::int16_t{11}, std::int16_t{12}}) {
    CurrentPlayer = bad;
    EXPECT_EQ(SaveScoreRec(scores, store), StoreResult::Skipped) << bad;
    EXPECT_EQ(LoadScoreRec(scores, store), StoreResult::Skipped) << bad;
  }
  EXPECT_EQ(scores.CurrentScores.SinglePlayed, 9);
  players.Flush();
  QFile f(players.Path());
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), before);
}

TEST_F(ScoreStoreTest, OnlineTheOpponentsRecordIsStoredAndTheOwnLeftAlone) {
  platform::RecordFile netFile;
  ASSERT_TRUE(netFile.Open(dir.filePath("Player 1.net"), kNetScoreRecordLength));
  ScoreRec first;
  first.OpponentName = QString("Heron").leftJustified(20);
  ScoreRec second;
  second.OpponentName = QString("Kestrel").leftJustified(20);
  second.SinglePlayed = 5;
  ASSERT_TRUE(netFile.Write(1, first.Encode()));
  ASSERT_TRUE(netFile.Write(2, second.Encode()));
  NetScoreFile net;
  net.File = &netFile;
  net.NetScoreRecNo = 2;
  store.Net = &net;
  CurrentPlayer = 1;
  NetConnIndex = 1;

  ASSERT_EQ(LoadScoreRec(scores, store), StoreResult::Stored);
  EXPECT_EQ(scores.CurrentScores.SinglePlayed, 5);
  scores.GamePoints = 31;
  AddGameResult(scores, true, "Single");
  ASSERT_EQ(SaveScoreRec(scores, store), StoreResult::Stored);
  EXPECT_EQ(net.NetScoreRec, scores.CurrentScores);
  EXPECT_EQ(ScoreRec::Decode(netFile.Read(2)), scores.CurrentScores);
  EXPECT_EQ(ScoreRec::Decode(netFile.Read(1)), first);
  EXPECT_EQ(OnDisk(1).Scores.SinglePlayed, 1);

  // No opponent's record, or no open file: nothing stored.
  net.NetScoreRecNo = 0;
  EXPECT_EQ(SaveScoreRec(scores, store), StoreResult::Skipped);
  net.NetScoreRecNo = 2;
  netFile.Close();
  EXPECT_EQ(SaveScoreRec(scores, store), StoreResult::Skipped);
  store.Net = nullptr;
  EXPECT_EQ(SaveScoreRec(scores, store), StoreResult::Skipped);
}

TEST_F(ScoreStoreTest, WhileAConnectionIsBeingSetUpTheOwnRecordIsInForce) {
  CurrentPlayer = 2;
  NetConnIndex = kNetConnSettingUp;
  scores.CurrentScores.SingleWon = 7;
  ASSERT_EQ(SaveScoreRec(scores, store), StoreResult::Stored);
  EXPECT_EQ(OnDisk(2).Scores.SingleWon, 7);
}

}  // namespace
}  // namespace play
