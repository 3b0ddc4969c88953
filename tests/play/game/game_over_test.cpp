#include "play/game/game_over.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include "platform/recordfile.h"
#include "platform/sound.h"
#include "platform/ui.h"
#include "platform/wait.h"
#include "play/game/match_panel.h"
#include "play/records/high_scores.h"
#include "support/fake_sound_channel.h"
#include "support/fake_ui.h"
#include "table/busy_guard.h"
#include "table/fake_sound_effects.h"
#include "table/fake_table_view.h"

namespace play {
namespace {

using table::TableLabel;

class FakeNetwork : public GameOverNetwork {
 public:
  explicit FakeNetwork(table::BusyGuard& guard) : guard_(guard) {}
  std::int16_t NetConnIndex() const override { return netConnIndex; }
  bool IsHost() const override { return host; }
  QString OpponentName() const override { return "Kestrel"; }
  void ExchangeStalemateReset() override { Note("RS"); }
  bool TransmitFinalMove() override {
    Note("transmit");
    return transmitSucceeds;
  }
  void AcknowledgeFinalMove() override {
    Note("PC");
    if (peerLostOnAcknowledge) netConnIndex = 0;
  }
  void AppendResultToChat(const QString& text) override {
    Note("chat");
    chat += text;
  }
  void SendEndGame(bool endMatch) override {
    Note(endMatch ? "EG endmatch" : "EG");
    stalemateWhenSent = stalemateFlag != nullptr && *stalemateFlag;
    if (onSendEndGame) onSendEndGame();
  }

  std::int16_t netConnIndex = 1;
  bool host = true;
  bool transmitSucceeds = true;
  bool peerLostOnAcknowledge = false;
  std::vector<QString> calls;
  QString chat;
  bool tableReplaceableDuringCalls = false;
  const bool* stalemateFlag = nullptr;
  bool stalemateWhenSent = false;
  std::function<void()> onSendEndGame;

 private:
  void Note(const QString& call) {
    calls.push_back(call);
    if (guard_.MayReplaceTable()) tableReplaceableDuringCalls = true;
  }
  table::BusyGuard& guard_;
};

class FakeStructures : public StructurePicture {
 public:
  int CurrentStructure() const override { return structure; }
  void NextStructure(int value) override {
    structure = value;
    shown.push_back(value);
  }
  int structure = 1000;
  std::vector<int> shown;
};

class GameOverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    wait.SetTimeScale(0);
    ASSERT_TRUE(players.Open(dir.filePath("players4.sav"), kPlayerRecordLength));
    for (int n = 1; n <= kPlayersFileRecords; ++n) {
      PlayerRecord p;
      p.Name = QString("Player %1").arg(n).leftJustified(kNameWidth);
      ASSERT_TRUE(players.Write(n, p.Encode()));
    }
    ASSERT_TRUE(players.Flush());
    CurrentPlayer = 1;
    Player = PlayerRecord::Decode(players.Read(1));
    store.Player = &Player;
    store.CurrentPlayer = &CurrentPlayer;
    store.PlayersFile = &players;
    store.NetConnIndex = &netConnIndex;

    state.CurrentTurn = table::Turn::Local;
    state.TurnCount = 14;
    view.clockRunning = true;
    view.elapsedSeconds = 754;
  }

  GameOverServices Services() {
    GameOverServices s{piles, state, scores, store,   view,       sfx,     sound,
                       wait,  ui,    guard,  SoundOn, PlayerName, "/app/", dir.path() + "/"};
    s.network = network.get();
    s.structures = &structures;
    s.now = [] { return QDateTime(QDate(2026, 12, 9), QTime(15, 30, 12)); };
    return s;
  }

  void GoOnline(std::int16_t index = 1) {
    network = std::make_unique<FakeNetwork>(guard);
    network->netConnIndex = index;
    netConnIndex = index;
    network->stalemateFlag = &scores.StalemateDeclared;
  }

  void SetSide(int side, int reserve, int stock, int waste) {
    piles.ReserveCount[static_cast<std::size_t>(side)] = static_cast<std::int16_t>(reserve);
    piles.StockCount[static_cast<std::size_t>(side)] = static_cast<std::int16_t>(stock);
    piles.WasteCount[static_cast<std::size_t>(side)] = static_cast<std::int16_t>(waste);
  }

  std::int16_t Run(std::int16_t winner) {
    GameOverServices s = Services();
    GameOver(s, winner);
    return winner;
  }

  QString HighScorePath() const { return dir.filePath("highscore.sav"); }
  HighScoreRecord HighScore(int place) const {
    platform::RecordFile f;
    if (!f.Open(HighScorePath(), kHighScoreRecordLength, true)) return {};
    return HighScoreRecord::Decode(f.Read(place));
  }
  PlayerRecord OnDisk(int n) const {
    platform::RecordFile f;
    if (!f.Open(dir.filePath("players4.sav"), kPlayerRecordLength, true)) return {};
    return PlayerRecord::Decode(f.Read(n));
  }

  QTemporaryDir dir;
  table::PileArrays piles;
  play::PlayState state;
  ScoreState scores;
  platform::RecordFile players;
  PlayerRecord Player;
  std::int16_t CurrentPlayer = 0;
  std::int16_t netConnIndex = 0;
  ScoreStore store;
  testing_support::FakeTableView view;
  testing_support::FakeSoundEffects sfx;
  platform::FakeSoundChannel sound;
  platform::WaitService wait;
  platform::FakeUi ui;
  table::BusyGuard guard;
  bool SoundOn = true;
  QString PlayerName = "Ann";
  std::unique_ptr<FakeNetwork> network;
  FakeStructures structures;
};

// ---- Scoring and the announcement ----

TEST_F(GameOverTest, LocalWinScoresThirtyPlusTheLosersCards) {
  SetSide(0, 0, 0, 0);
  SetSide(1, 5, 10, 2);
  EXPECT_EQ(Run(kLocalSideWins), kLocalSideWins);

  EXPECT_EQ(scores.GamePoints, 52);
  EXPECT_EQ(view.Label(TableLabel::lblTurn), "You WON!");
  EXPECT_EQ(view.Label(TableLabel::lblMessage),
            "Your score is:\r\n"
            "30 points for the win\r\n"
            " 12 pts for your opponent's Stock/Waste\r\n"
            " 10 pts for your opponent's Reserve\r\n"
            "\r\n"
            "Total Score:  52");
  EXPECT_EQ(state.Message, view.Label(TableLabel::lblMessage));
  EXPECT_EQ(view.panels[2], " 0");
  EXPECT_EQ(view.panels[3], " 17");
}

TEST_F(GameOverTest, OpponentWinNamesTheComputerAndCountsTheLocalCards) {
  SetSide(0, 1, 3, 4);
  EXPECT_EQ(Run(kOpponentWins), kOpponentWins);
  EXPECT_EQ(scores.GamePoints, 39);
  EXPECT_EQ(view.Label(TableLabel::lblTurn), "I'm the WINNER!");
  EXPECT_EQ(view.Label(TableLabel::lblMessage),
            "Your opponent's score is:\r\n"
            "30 points for the win\r\n"
            " 7 pts for your Stock/Waste\r\n"
            " 2 pts for your Reserve\r\n"
            "\r\n"
            "Total Score:  39");
}

TEST_F(GameOverTest, AWinPlaysTheWinSoundAndShowsItsStructureForAWhile) {
  structures.structure = 1003;
  SetSide(1, 0, 1, 0);
  Run(kLocalSideWins);
  EXPECT_EQ(sound.played, std::vector<QString>{"/app/Data/win.wav"});
  EXPECT_TRUE(sfx.effects.empty());
  EXPECT_EQ(structures.shown, (std::vector<int>{1002, 1003}));
}

TEST_F(GameOverTest, ALossPlaysEffectNine) {
  Run(kOpponentWins);
  EXPECT_EQ(sfx.effects, std::vector<int>{9});
  EXPECT_TRUE(sound.played.empty());
  EXPECT_TRUE(structures.shown.empty());
}

TEST_F(GameOverTest, WithSoundsOffNothingPlaysButTheWinStructureStillShows) {
  SoundOn = false;
  Run(kLocalSideWins);
  Run(kOpponentWins);
  EXPECT_TRUE(sound.played.empty());
  EXPECT_TRUE(sfx.effects.empty());
  EXPECT_EQ(structures.shown, (std::vector<int>{1002, 1000}));
}

TEST_F(GameOverTest, StalemateWonOnTheCountGivesTheDifference) {
  SetSide(0, 2, 3, 4);  // 11
  SetSide(1, 1, 8, 6);  // 16
  scores.StalemateDeclared = true;
  EXPECT_EQ(Run(kNobodyWins), kLocalSideWins);
  EXPECT_EQ(scores.GamePoints, 5);
  EXPECT_EQ(view.Label(TableLabel::lblTurn), "You WON!\r\n- STALEMATE Declared -");
  EXPECT_EQ(view.Label(TableLabel::lblMessage),
            "Your points: 11\r\n"
            "Opponent's: 16\r\n"
            "16 - 11 =\r\n"
            "Stalemate points awarded:\r\n"
            "Total Score:  5");
  EXPECT_TRUE(sound.played.empty());
  EXPECT_TRUE(sfx.effects.empty());
  EXPECT_TRUE(structures.shown.empty());
  EXPECT_FALSE(scores.StalemateDeclared);
  EXPECT_EQ(scores.CurrentScores.SingleWon, 1);
  EXPECT_EQ(HighScore(1).Points, 5);
}

TEST_F(GameOverTest, EqualStalemateCountsScoreNothing) {
  SetSide(0, 1, 2, 3);  // 7
  SetSide(1, 2, 1, 2);  // 7
  scores.StalemateDeclared = true;
  scores.MatchOn = true;
  scores.GamePoints = 44;
  const ScoreRec before = scores.CurrentScores;
  EXPECT_EQ(Run(kNobodyWins), kNobodyWins);
  EXPECT_EQ(scores.GamePoints, 0);
  EXPECT_EQ(view.Label(TableLabel::lblTurn), "NOBODY is the WINNER!\r\n- STALEMATE Declared -");
  EXPECT_EQ(view.Label(TableLabel::lblMessage),
            "Your points: 7\r\n"
            "Opponent's: 7\r\n"
            "7 - 7 =\r\n"
            "Stalemate points awarded:\r\n"
            "Total Score:  0\r\n"
            "Nobody won this Stalemate. Points were equal.");
  EXPECT_EQ(scores.CurrentScores, before);
  EXPECT_EQ(OnDisk(1).Scores, ScoreRec{});
  EXPECT_FALSE(QFile::exists(HighScorePath()));
  EXPECT_TRUE(sound.played.empty());
  EXPECT_TRUE(sfx.effects.empty());
  EXPECT_TRUE(scores.MatchOn);
  EXPECT_TRUE(state.GameEnded);
}

// ---- The table afterwards ----

TEST_F(GameOverTest, TheTableEndsTheGame) {
  state.ComputerThinking = true;
  state.AbortComputerTurn = true;
  view.images[table::TableImage::cmdDeal] = false;
  view.images[table::TableImage::ImgTurn2] = true;
  view.cardFrameStyles[3] = 1;  // the computer's last load, onto the player's Waste
  Run(kOpponentWins);
  EXPECT_EQ(state.CurrentTurn, table::Turn::None);
  EXPECT_EQ(state.TurnCount, 0);
  EXPECT_TRUE(state.GameEnded);
  EXPECT_FALSE(state.ComputerThinking);
  EXPECT_FALSE(state.AbortComputerTurn);
  EXPECT_FALSE(view.clockRunning);
  EXPECT_FALSE(view.pilesEnabled);
  EXPECT_TRUE(view.logoShown);
  EXPECT_TRUE(view.images[table::TableImage::cmdDeal]);
  EXPECT_FALSE(view.images[table::TableImage::cmdDone]);
  EXPECT_FALSE(view.images[table::TableImage::imgIcon]);
  EXPECT_FALSE(view.labelsVisible[TableLabel::lblWAIT]);
  EXPECT_FALSE(view.images[table::TableImage::ImgTurn2]) << "no turn marker under the logo";
  EXPECT_EQ(view.cardFrameStyles[3], 0) << "the rim of the last load goes";
  EXPECT_TRUE(guard.MayReplaceTable());
}

TEST_F(GameOverTest, CommandsThatReplaceTheTableAreRefusedWhileItsPausesRun) {
  bool replaceable = true;
  bool ran = false;
  QTimer::singleShot(0, [&] {
    ran = true;
    replaceable = guard.MayReplaceTable();
  });
  Run(kLocalSideWins);
  ASSERT_TRUE(ran);
  EXPECT_FALSE(replaceable);
}

// ---- Counting the game ----

TEST_F(GameOverTest, TheScoreIsStoredThroughThePlayerRecordInMemory) {
  SetSide(1, 5, 10, 2);
  Player.SoundOn = -1;
  Run(kLocalSideWins);
  EXPECT_EQ(scores.CurrentScores.SinglePlayed, 1);
  EXPECT_EQ(scores.CurrentScores.SingleWon, 1);
  EXPECT_EQ(scores.CurrentScores.BestWin, 52);
  EXPECT_EQ(Player.Scores, scores.CurrentScores);
  EXPECT_EQ(OnDisk(1), Player);
  EXPECT_EQ(OnDisk(2).Scores, ScoreRec{});
}

TEST_F(GameOverTest, WithoutAPlayerTheStoreIsSkippedAndTheHighScoreStillEntered) {
  CurrentPlayer = 0;
  SetSide(1, 0, 0, 1);
  Run(kLocalSideWins);
  for (int n = 1; n <= kPlayersFileRecords; ++n) EXPECT_EQ(OnDisk(n).Scores, ScoreRec{}) << n;
  EXPECT_EQ(HighScore(1).Points, 31);
}

TEST_F(GameOverTest, TheHighScoreEntryCarriesTheDayTheWinnerAndTheClock) {
  view.elapsedSeconds = 90061;  // over a day
  SetSide(1, 1, 1, 1);
  Run(kLocalSideWins);
  const HighScoreRecord e = HighScore(1);
  EXPECT_EQ(e.PlayedOn, static_cast<double>(QDate(1899, 12, 30).daysTo(QDate(2026, 12, 9))));
  EXPECT_EQ(e.WinnerName, QString("Ann").leftJustified(20));
  EXPECT_EQ(e.Points, 34);
  EXPECT_EQ(GameTimeSeconds(e.GameTime), 90061);

  view.elapsedSeconds = 60;
  Run(kOpponentWins);  // 30 points, goes below
  EXPECT_EQ(HighScore(2).WinnerName, QString("Marrowdale").leftJustified(20));
  EXPECT_EQ(GameTimeSeconds(HighScore(2).GameTime), 60);
}

// ---- Matches ----

TEST_F(GameOverTest, TheGameThatReachesTheMatchPointsCompletesTheMatch) {
  scores.MatchOn = true;
  scores.MatchPoints = 100;
  scores.CurrentScores.MatchTarget = 100;
  scores.CurrentScores.MatchInProgress = 1;
  scores.CurrentScores.MatchGames = 2;
  scores.CurrentScores.MatchWins = 1;
  scores.CurrentScores.OppMatchWins = 1;
  scores.CurrentScores.MatchScore = 70;
  scores.CurrentScores.OppMatchScore = 40;
  SetSide(1, 0, 0, 0);
  Run(kLocalSideWins);  // 30 points: 100
  EXPECT_EQ(view.Label(TableLabel::lblTurn), "Match Complete!!!\r\nYou're the winner!");
  EXPECT_FALSE(scores.MatchOn);
  EXPECT_FALSE(scores.MatchComplete);
  EXPECT_EQ(view.panels[4], "* MATCH COMPLETE! *  100 pts");
  EXPECT_EQ(view.panels[5], " 3 (2 / 1)");
  EXPECT_EQ(view.panels[6], " 100");
  EXPECT_EQ(view.panels[7], " 40");
  EXPECT_EQ(scores.CurrentScores.MatchesWon, 1);
  EXPECT_EQ(scores.CurrentScores.MatchInProgress, 0);
  EXPECT_EQ(scores.CurrentScores.SinglePlayed, 0);
  EXPECT_EQ(OnDisk(1).Scores, scores.CurrentScores);
}

TEST_F(GameOverTest, TheOpponentCompletingTheMatchIsAnnounced) {
  scores.MatchOn = true;
  scores.MatchPoints = 62;
  scores.CurrentScores.MatchTarget = 62;
  scores.CurrentScores.OppMatchScore = 40;
  Run(kOpponentWins);
  EXPECT_EQ(view.Label(TableLabel::lblTurn), "Match Complete!!!\r\nYour Opponent is the winner!");
  EXPECT_FALSE(scores.MatchOn);
  EXPECT_EQ(scores.CurrentScores.MatchesWon, 0);
  EXPECT_EQ(scores.CurrentScores.MatchesPlayed, 1);
}

TEST_F(GameOverTest, AMatchGameShortOfTheTargetKeepsTheMatchOn) {
  scores.MatchOn = true;
  scores.MatchPoints = 500;
  scores.CurrentScores.MatchTarget = 500;
  Run(kLocalSideWins);
  EXPECT_EQ(view.Label(TableLabel::lblTurn), "You WON!");
  EXPECT_TRUE(scores.MatchOn);
  EXPECT_EQ(view.panels[4], "Match:  500 pts");
  EXPECT_EQ(view.panels[5], " 1 (1 / 0)");
  EXPECT_EQ(scores.CurrentScores.MatchInProgress, 1);
}

TEST(MatchPanelsTest, ATargetOutsideTheRangeShowsAndBecomesOneHundred) {
  testing_support::FakeTableView view;
  ScoreState scores;
  scores.MatchPoints = 40;
  scores.CurrentScores.MatchTarget = 40;
  scores.CurrentScores.MatchGames = 7;
  scores.CurrentScores.MatchWins = 4;
  scores.CurrentScores.OppMatchWins = 3;
  scores.CurrentScores.MatchScore = 85;
  scores.CurrentScores.OppMatchScore = 61;
  CheckMatchComplete(scores, view);
  EXPECT_EQ(view.panels[4], "Match:  100 pts");
  EXPECT_EQ(view.panels[5], " 7 (4 / 3)");
  EXPECT_EQ(view.panels[6], " 85");
  EXPECT_EQ(view.panels[7], " 61");
  EXPECT_EQ(scores.MatchPoints, 100);
  EXPECT_EQ(scores.CurrentScores.MatchTarget, 100);
  EXPECT_EQ(view.statusBarSizings, 1);
  EXPECT_EQ(view.panelToolTips[4], "Match Points to reach");
  EXPECT_EQ(view.panelToolTips[5], "Games played this Match (Player Wins/Opponent Wins)");
  EXPECT_EQ(view.panelToolTips[6], "Your Match Points");
  EXPECT_EQ(view.panelToolTips[7], "Opponent's Match Points");

  ShowMatchPoints(view, false);
  for (int panel = 4; panel <= 7; ++panel) {
    EXPECT_EQ(view.panels[panel], "") << panel;
    EXPECT_EQ(view.panelToolTips[panel], "") << panel;
  }
}

TEST(PileCountsTest, EachSidesCardsLeftWithALeadingBlank) {
  testing_support::FakeTableView view;
  table::PileArrays piles;
  piles.ReserveCount = {13, 2};
  piles.StockCount = {30, 0};
  piles.WasteCount = {5, 0};
  ShowPileCounts(piles, view);
  EXPECT_EQ(view.panels[2], " 48");
  EXPECT_EQ(view.panels[3], " 2");
}

// ---- Online ----

TEST_F(GameOverTest, OnlineTheFinalLocalMoveIsSentBeforeScoring) {
  GoOnline();
  SetSide(1, 1, 0, 0);
  Run(kLocalSideWins);
  EXPECT_EQ(network->calls, (std::vector<QString>{"transmit", "chat"}));
  EXPECT_FALSE(network->tableReplaceableDuringCalls);
  EXPECT_EQ(network->chat,
            "\r\nMD: Your score is:\r\n30 points for the win\r\n 0 pts for your opponent's Stock/Waste\r\n"
            " 2 pts for your opponent's Reserve\r\n\r\nTotal Score:  32");
  EXPECT_FALSE(view.images[table::TableImage::cmdDeal]);
  EXPECT_EQ(HighScore(1).WinnerName, QString("Ann").leftJustified(20));
}

TEST_F(GameOverTest, OnlineAFinalMoveThePeerNeverTookScoresNothing) {
  GoOnline();
  network->transmitSucceeds = false;
  scores.GamePoints = 12;
  Run(kLocalSideWins);
  EXPECT_EQ(network->calls, std::vector<QString>{"transmit"});
  EXPECT_EQ(scores.GamePoints, 12);
  EXPECT_EQ(scores.CurrentScores, ScoreRec{});
  EXPECT_FALSE(state.GameEnded);
  EXPECT_EQ(state.CurrentTurn, table::Turn::Local);
  EXPECT_FALSE(QFile::exists(HighScorePath()));
  EXPECT_TRUE(guard.MayReplaceTable());
}

TEST_F(GameOverTest, OnlineThePeersWinningMoveIsAcknowledgedAndItsNameShown) {
  GoOnline();
  state.CurrentTurn = table::Turn::Opponent;
  Run(kOpponentWins);
  EXPECT_EQ(network->calls.front(), "PC");
  EXPECT_EQ(view.Label(TableLabel::lblTurn), "Kestrel is the WINNER!");
  EXPECT_EQ(HighScore(1).WinnerName, QString("Kestrel").leftJustified(20));
}

TEST_F(GameOverTest, APeerLostDuringTheEndStillWinsByNameAndTheTableGoesOffline) {
  GoOnline();
  network->peerLostOnAcknowledge = true;
  state.CurrentTurn = table::Turn::Opponent;
  Run(kOpponentWins);
  EXPECT_EQ(network->calls, std::vector<QString>{"PC"});
  EXPECT_EQ(view.Label(TableLabel::lblTurn), "Kestrel is the WINNER!");
  EXPECT_EQ(HighScore(1).WinnerName, QString("Kestrel").leftJustified(20));
  EXPECT_TRUE(view.images[table::TableImage::cmdDeal]);
  // The opponent's record may no longer be the one in force: not counted.
  EXPECT_EQ(scores.CurrentScores, ScoreRec{});
  EXPECT_EQ(OnDisk(1).Scores, ScoreRec{});
  EXPECT_TRUE(state.GameEnded);
}

TEST_F(GameOverTest, OnlineStalemateExchangesTheResetAndTellsTheChat) {
  GoOnline();
  SetSide(0, 0, 2, 0);
  SetSide(1, 0, 5, 0);
  scores.StalemateDeclared = true;
  Run(kNobodyWins);
  EXPECT_EQ(network->calls.front(), "RS");
  EXPECT_TRUE(network->chat.startsWith("\r\nMD: *Host declared STALEMATE* \r\nYour points: 2\r\n"));
  EXPECT_TRUE(view.Label(TableLabel::lblMessage).startsWith("Your points: 2\r\n"));
}

TEST_F(GameOverTest, OnlineTheOpponentsRecordIsStoredOrSkipped) {
  GoOnline();
  platform::RecordFile netFile;
  ASSERT_TRUE(netFile.Open(dir.filePath("Ann.net"), kNetScoreRecordLength));
  ScoreRec kestrel;
  kestrel.OpponentName = QString("Kestrel").leftJustified(20);
  ASSERT_TRUE(netFile.Write(1, kestrel.Encode()));
  NetScoreFile net;
  net.File = &netFile;
  net.NetScoreRecNo = 1;
  store.Net = &net;
  scores.CurrentScores = kestrel;

  Run(kLocalSideWins);
  EXPECT_EQ(ScoreRec::Decode(netFile.Read(1)).SingleWon, 1);
  EXPECT_EQ(OnDisk(1).Scores, ScoreRec{});

  // No opponent's record: nothing stored, the high score still entered.
  net.NetScoreRecNo = 0;
  state.CurrentTurn = table::Turn::Local;
  Run(kLocalSideWins);
  EXPECT_EQ(ScoreRec::Decode(netFile.Read(1)).SingleWon, 1);
  EXPECT_EQ(HighScore(2).Points, 30);
}

// ---- Declaring a stalemate ----

TEST_F(GameOverTest, DeclaringWithoutAGameIsRefused) {
  state.CurrentTurn = table::Turn::None;
  GameOverServices s = Services();
  DeclareStalemate(s);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, "There isn't an ongoing game.");
  EXPECT_EQ(ui.boxes[0].title, "Stalemate");
  EXPECT_EQ(ui.boxes[0].icon(), platform::vbExclamation);
  EXPECT_FALSE(state.GameEnded);
}

TEST_F(GameOverTest, AnsweringNoLeavesTheGameOn) {
  ui.QueueAnswer(platform::vbNo);
  GameOverServices s = Services();
  DeclareStalemate(s);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, "Did you want to end this game\r\nand declare a Stalemate?");
  EXPECT_EQ(ui.boxes[0].title, "- STALEMATE -");
  EXPECT_EQ(ui.boxes[0].buttons(), platform::vbYesNo);
  EXPECT_FALSE(scores.StalemateDeclared);
  EXPECT_FALSE(state.GameEnded);
  EXPECT_EQ(state.CurrentTurn, table::Turn::Local);
}

// Ends the game on the table while the question is open, as the peer's
// final move or its end of the game could.
class GameEndingUi : public platform::FakeUi {
 public:
  explicit GameEndingUi(play::PlayState& state) : state_(state) {}
  int MsgBox(const QString& text, int style, const QString& title) override {
    state_.CurrentTurn = table::Turn::None;
    return FakeUi::MsgBox(text, style, title);
  }

 private:
  play::PlayState& state_;
};

TEST_F(GameOverTest, AGameThatEndedWhileTheQuestionWasOpenIsNotEndedAgain) {
  GameEndingUi endingUi(state);
  GameOverServices s = Services();
  GameOverServices withUi{s.piles, s.state,  s.scores, s.store,   s.view,       s.sfx,     s.sound,
                          s.wait,  endingUi, s.guard,  s.SoundOn, s.PlayerName, s.AppPath, s.DataPath};
  DeclareStalemate(withUi);
  EXPECT_EQ(endingUi.boxes.size(), 1u);
  EXPECT_FALSE(scores.StalemateDeclared);
  EXPECT_FALSE(state.GameEnded);
  EXPECT_FALSE(QFile::exists(HighScorePath()));
}

TEST_F(GameOverTest, AnsweringYesEndsTheGameByTheCount) {
  SetSide(0, 0, 1, 0);
  SetSide(1, 3, 0, 0);
  ui.QueueAnswer(platform::vbYes);
  GameOverServices s = Services();
  DeclareStalemate(s);
  EXPECT_TRUE(state.GameEnded);
  EXPECT_EQ(scores.GamePoints, 5);
  EXPECT_EQ(view.Label(TableLabel::lblTurn), "You WON!\r\n- STALEMATE Declared -");
  EXPECT_FALSE(scores.StalemateDeclared);
}

TEST_F(GameOverTest, TheHostTellsThePeerBeforeEndingTheGame) {
  GoOnline();
  GameOverServices s = Services();
  DeclareStalemate(s);
  ASSERT_GE(network->calls.size(), 2u);
  EXPECT_EQ(network->calls[0], "EG");
  EXPECT_TRUE(network->stalemateWhenSent);
  EXPECT_EQ(network->calls[1], "RS");

  GoOnline();
  network->host = false;
  state.CurrentTurn = table::Turn::Local;
  state.GameEnded = false;
  GameOverServices remote = Services();
  DeclareStalemate(remote);
  EXPECT_EQ(network->calls.front(), "RS");

  // The peer leaves while the host waits for its answer: the connection's
  // end has cleared the table, and no game is ended on it.
  GoOnline();
  state.CurrentTurn = table::Turn::Local;
  state.GameEnded = false;
  network->onSendEndGame = [this] {
    network->netConnIndex = 0;
    state.CurrentTurn = table::Turn::None;
  };
  view.SetLabel(TableLabel::lblTurn, "Kestrel quit the game.");
  GameOverServices left = Services();
  DeclareStalemate(left);
  EXPECT_EQ(network->calls, std::vector<QString>{"EG"});
  EXPECT_FALSE(state.GameEnded);
  EXPECT_FALSE(scores.StalemateDeclared);
  EXPECT_EQ(view.Label(TableLabel::lblTurn), "Kestrel quit the game.");
}

}  // namespace
}  // namespace play
