#include "play/game/new_game.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <functional>

#include "platform/settings.h"
#include "platform/ui.h"
#include "platform/wait.h"
#include "play/faces/network_play.h"
#include "play/move_rig.h"
#include "play/program_on_fakes.h"
#include "play/state/net_state.h"
#include "play/state/utilities.h"
#include "support/fake_ui.h"
#include "support/temp_home.h"
#include "table/busy_guard.h"
#include "table/fake_sound_effects.h"
#include "table/fake_table_view.h"

namespace play {
namespace {

using table::TableImage;
using table::TableLabel;

// The deal's, the records' and the new game's calls into the rest of the
// game, recorded.
class FakeGame : public table::DealHooks, public SavedGameHooks, public NewGameHooks {
 public:
  explicit FakeGame(play::PlayState& state) : state_(state) {}
  table::Turn WhoGoesFirst(int) override { return firstPlayer; }
  void WhoseTurn() override {}
  void SaveGameRecord() override { ++gameRecords; }
  void ClearTable() override {}
  void RedrawTable() override { ++redraws; }
  void ShowPileCounts() override {}
  void CheckMatchComplete() override {}
  void ShowMatchPoints(bool) override {}
  void SaveScoreRec() override {}
  void ShowTutorialNext() override { state_.TutorialContinue = true; }
  void ComputerTurn() override {
    ++computerTurns;
    thinkingDuringTurn = state_.ComputerThinking;
    abortSeenByTurn = state_.AbortComputerTurn;
    if (onComputerTurn) onComputerTurn();
  }
  void FinishTopLevelCommand() override { ++finishes; }

  table::Turn firstPlayer = table::Turn::Local;
  int gameRecords = 0, computerTurns = 0, finishes = 0, redraws = 0;
  bool thinkingDuringTurn = false, abortSeenByTurn = true;
  std::function<void()> onComputerTurn;

 private:
  play::PlayState& state_;
};

class FakeTutorial : public NewGameTutorial {
 public:
  void AppendTipText(const QString& text) override { tipText += text; }
  void HidePointingHand() override { handHidden = true; }
  QString tipText = "Click Deal.";
  bool handHidden = false;
};

class NewGameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(OpenSavedGamesFile(saved, home.Path() + "/"));
    ClearTempMoves(saved, true, home.Path() + "/", ui);
    wait.SetTimeScale(0);
  }

  void StoreTipNumber(const QString& text) { settings.SaveSetting("Brackwell", "Marrowdale4", "Tip Number", text); }
  QString TipNumber() const { return settings.GetSetting("Brackwell", "Marrowdale4", "Tip Number", "(none)"); }

  TempHome home;
  platform::IniSettingsStore settings{home.ConfigHome()};
  table::PileArrays piles;
  play::PlayState state;
  testing_support::FakeTableView view;
  testing_support::FakeSoundEffects sfx;
  platform::WaitService wait;
  platform::FakeUi ui;
  table::BusyGuard guard;
  SavedGames saved;
  ScoreRec scores;
  bool matchOn = false;
  std::int16_t matchPoints = 100;
  SampleGames sample;
  FakeGame game{state};
  FakeTutorial tutorial;
  table::RandomSource random = table::SeededRandom(11);
  QString playerName = "Ann";
  std::int16_t firstPlayerRule = 0;
  bool stalemateDeclared = false;
  NetState net;
  SavedGameServices savedServices{
      piles, state, saved, {scores, matchOn, matchPoints}, sample.SampleGameNumber, view, guard, ui, wait, game};
  NewGameServices s{table::DealServices{piles, state, view, sfx, wait, ui, game},
                    savedServices,
                    guard,
                    settings,
                    sample,
                    random,
                    QString(MARROWDALE_SOURCE_DIR) + "/",
                    playerName,
                    firstPlayerRule,
                    game,
                    net,
                    nullptr,
                    &tutorial,
                    &stalemateDeclared};
};

TEST_F(NewGameTest, HumanFirstDealsAndWritesTheFirstMoveRecord) {
  state.AbortComputerTurn = true;  // left over from the game before
  stalemateDeclared = true;
  const NewGameResult result = NewGame(s);

  EXPECT_EQ(result, NewGameResult::Started);
  EXPECT_EQ(state.CurrentTurn, table::Turn::Local);
  EXPECT_FALSE(state.GameEnded);
  EXPECT_FALSE(state.ComputerThinking);
  EXPECT_FALSE(state.AbortComputerTurn);
  EXPECT_FALSE(stalemateDeclared);
  EXPECT_EQ(state.TempMoveNumber, 1);
  EXPECT_TRUE(view.images[TableImage::ImgTurn1]);
  EXPECT_FALSE(view.images[TableImage::cmdDeal]);
  EXPECT_EQ(game.computerTurns, 0);
  // Move record 1 holds the dealt table.
  const SavedGameRecord first = SavedGameRecord::Decode(saved.MoveFile.Read(1));
  EXPECT_EQ(first.CurrentTurn, table::Turn::Local);
  EXPECT_EQ(sample.SampleGameNumber, 0);
}

TEST_F(NewGameTest, ComputerFirstPlaysItsTurnAndEmptiesAnUntouchedFirstPlayerMessage) {
  game.firstPlayer = table::Turn::Opponent;
  state.AbortComputerTurn = true;
  game.onComputerTurn = [&] { state.CurrentTurn = table::Turn::Local; };
  view.SetLabel(TableLabel::lblMessage, "I go first.");
  EXPECT_EQ(NewGame(s), NewGameResult::Started);
  EXPECT_EQ(game.computerTurns, 1);
  EXPECT_TRUE(game.thinkingDuringTurn);
  EXPECT_FALSE(game.abortSeenByTurn);
  EXPECT_FALSE(state.ComputerThinking);
  EXPECT_TRUE(view.images[TableImage::ImgTurn1]);
  EXPECT_EQ(view.Label(TableLabel::lblMessage), "");

  // A message written during the turn stays.
  game.onComputerTurn = [&] {
    state.CurrentTurn = table::Turn::Local;
    view.SetLabel(TableLabel::lblMessage, "Game over soon.");
  };
  EXPECT_EQ(NewGame(s), NewGameResult::Started);
  EXPECT_EQ(view.Label(TableLabel::lblMessage), "Game over soon.");
}

TEST_F(NewGameTest, ACloseDuringTheComputersFirstTurnStopsAndTheDealButtonCompletesIt) {
  game.firstPlayer = table::Turn::Opponent;
  game.onComputerTurn = [&] { wait.SetExiting(true); };
  cmdDeal_Click(s, RestoreContext{});
  EXPECT_EQ(game.computerTurns, 1);
  EXPECT_FALSE(state.ComputerThinking);
  EXPECT_EQ(game.finishes, 1);

  // Called from elsewhere, NewGame itself leaves the menus free again.
  wait.SetExiting(false);
  game.onComputerTurn = [&] { wait.SetExiting(true); };
  EXPECT_EQ(NewGame(s), NewGameResult::Exiting);
  EXPECT_FALSE(state.ComputerThinking);
}

// An online start whose exchange never completes.
class BrokenExchange : public NewGameNetwork {
 public:
  bool IsHost() const override { return host; }
  table::DealOpening Opening() const override {
    return {host ? table::FirstMoveDecider::HereTold : table::FirstMoveDecider::There, false, "Hal"};
  }
  bool TakeResyncBusy() override { return handedOver; }
  bool HostGameStart() override { return Fail(); }
  bool RemoteGameStart() override { return handedOver || Fail(); }
  void Opponent() override {}
  bool host = true;
  bool handedOver = false;       // the host's whole table arrived instead of decks
  std::function<void()> onFail;  // what the connection does before the start fails

 private:
  bool Fail() {
    if (onFail) onFail();
    return false;
  }
};

TEST_F(NewGameTest, AnOnlineStartThatDidNotCompleteDealsNothing) {
  BrokenExchange network;
  s.network = &network;
  net.NetConnIndex = kNetPeerSocket;
  for (const bool host : {true, false}) {
    network.host = host;
    piles = table::PileArrays{};
    sample.SampleGameMode = true;  // asked for before going online: not dealt
    EXPECT_EQ(NewGame(s), NewGameResult::Stopped) << host;
    EXPECT_FALSE(sample.SampleGameMode);
    EXPECT_EQ(TipNumber(), "(none)");
    EXPECT_EQ(state.CurrentTurn, table::Turn::None);
    EXPECT_TRUE(state.GameEnded);
    EXPECT_EQ(piles.TableauCount, (std::array<std::int16_t, 9>{}));
    EXPECT_EQ(piles.StockCount, (std::array<std::int16_t, 2>{}));
    EXPECT_EQ(game.gameRecords, 0);
  }
  // The peer left during the host's exchange: its end has laid out the
  // table and the next step, which stay; the shuffled decks go.
  network.host = true;
  network.onFail = [&] {
    net.NetConnIndex = kNetOffline;
    view.SetLabel(TableLabel::lblMessage, "Select NEW from the Game Menu to start a new game.");
  };
  const int clears = view.tableClears;
  EXPECT_EQ(NewGame(s), NewGameResult::Stopped);
  EXPECT_EQ(view.tableClears, clears + 1);  // the clear before the shuffle
  EXPECT_EQ(view.Label(TableLabel::lblMessage), "Select NEW from the Game Menu to start a new game.");
  EXPECT_TRUE(piles == table::PileArrays{});
  s.network = nullptr;  // the fixture outlives this exchange
}

TEST_F(NewGameTest, TheRemotesDealResumesAHandedOverTableAsItStands) {
  ASSERT_EQ(NewGame(s), NewGameResult::Started);
  BrokenExchange network;
  network.host = false;
  network.handedOver = true;
  s.network = &network;
  net.NetConnIndex = kNetPeerSocket;
  const table::PileArrays before = piles;
  sfx.effects.clear();
  EXPECT_EQ(NewGame(s), NewGameResult::Started);
  EXPECT_EQ(piles, before);
  EXPECT_EQ(game.redraws, 1);
  EXPECT_EQ(sfx.effects, std::vector<int>{kHandOverEffect});
  EXPECT_EQ(view.Label(TableLabel::lblTurn), kYourTurnText);
  EXPECT_TRUE(view.images[TableImage::ImgTurn1]);
  s.network = nullptr;
}

// Only the host decides who moves first; a remote shows the coin toss itself
// only when the host's program is older than the one that shows it for both.
TEST(OnlineStateAnswers, TheOpeningOfTheDealFollowsTheConnection) {
  NetState net;
  testing_support::JoinedFakes noPeer;  // never asked: only the state answers
  testing_support::MoveRig moves;
  OnlineStateAnswers answers{net, noPeer, moves.services};
  EXPECT_EQ(answers.Opening().decider, table::FirstMoveDecider::Alone);
  EXPECT_FALSE(answers.Opening().AnnounceCoinTossHere);

  net.NetConnIndex = kNetPeerSocket;
  net.OpponentName = "Ann";
  net.NetPeerInfo[1].Version = "39";
  net.NetIsHost = kNetHost;
  EXPECT_EQ(answers.Opening().decider, table::FirstMoveDecider::HereTold);
  EXPECT_FALSE(answers.Opening().AnnounceCoinTossHere);

  net.NetIsHost = kNetRemote;
  const table::DealOpening older = answers.Opening();
  EXPECT_EQ(older.decider, table::FirstMoveDecider::There);
  EXPECT_TRUE(older.AnnounceCoinTossHere);
  EXPECT_EQ(older.OpponentName, "Ann");
  net.NetPeerInfo[1].Version = "40";
  EXPECT_FALSE(answers.Opening().AnnounceCoinTossHere);
}

TEST_F(NewGameTest, RefusedWhileAnotherActionChangesTheTable) {
  for (table::Activity busy : {table::Activity::Deal, table::Activity::ComputerTurn, table::Activity::GameOver,
                               table::Activity::Move, table::Activity::Restore}) {
    auto scope = guard.Enter(busy);
    view.images[TableImage::cmdDeal] = true;
    state.CurrentTurn = table::Turn::Local;
    const table::PileArrays before = piles;
    EXPECT_EQ(NewGame(s), NewGameResult::Busy);
    cmdDeal_Click(s, RestoreContext{});
    EXPECT_TRUE(view.images[TableImage::cmdDeal]) << "the Deal button stays for a later click";
    EXPECT_EQ(state.CurrentTurn, table::Turn::Local);
    EXPECT_EQ(piles, before);
    EXPECT_EQ(view.tableClears, 0);
  }
  // The deal itself holds the guard: a second deal from inside it is refused.
  NewGameResult nested = NewGameResult::Started;
  game.firstPlayer = table::Turn::Opponent;
  game.onComputerTurn = [&] { nested = NewGame(s); };
  EXPECT_EQ(NewGame(s), NewGameResult::Started);
  EXPECT_EQ(nested, NewGameResult::Busy);
}

TEST_F(NewGameTest, SampleGamesAreDealtInTurnAndRemembered) {
  StoreTipNumber("4");
  sample.SampleGameMode = true;
  EXPECT_EQ(NewGame(s), NewGameResult::Started);
  EXPECT_TRUE(ui.prompts.empty());
  EXPECT_TRUE(ui.boxes.empty());
  EXPECT_EQ(sample.SampleGameNumber, 5);
  EXPECT_EQ(TipNumber(), "5");
  EXPECT_EQ(view.panels[1], "Ann   Sample Game Number 5");
  EXPECT_FALSE(sample.SampleGameMode);
  // The same numbered game deals the same table again.
  const table::PileArrays dealt = piles;
  StoreTipNumber("4");
  sample.SampleGameMode = true;
  NewGame(s);
  EXPECT_EQ(piles, dealt);

  // The sample mode lasts one deal.
  EXPECT_EQ(NewGame(s), NewGameResult::Started);
  EXPECT_EQ(sample.SampleGameNumber, 0);
  EXPECT_EQ(TipNumber(), "5");

  // Reversed decks are named on the panel.
  sample.SampleGameMode = true;
  sample.SampleDealReversed = true;
  EXPECT_EQ(NewGame(s), NewGameResult::Started);
  EXPECT_EQ(view.panels[1], "Ann   Sample Game Number 6 REVERSED");
}

TEST_F(NewGameTest, AfterTheTenthSampleGameTheFirstComesAgainWithANote) {
  StoreTipNumber("10");
  sample.SampleGameMode = true;
  NewGame(s);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].title, "Sample Games");
  EXPECT_EQ(ui.boxes[0].icon(), platform::vbInformation);
  EXPECT_TRUE(ui.boxes[0].text.startsWith("How are you doing so far? You've played 10 different games.\r\n\r\n"));
  EXPECT_EQ(sample.SampleGameNumber, 1);
  EXPECT_EQ(TipNumber(), "1");
}

TEST_F(NewGameTest, AStoredCounterThatIsNoSampleGameStartsFromTheFirst) {
  for (const QString stored : {"", "junk", "-7", "0"}) {
    StoreTipNumber(stored);
    ui.boxes.clear();
    EXPECT_EQ(NextSampleGameNumber(settings, ui, false), 1) << stored.toStdString();
    EXPECT_TRUE(ui.boxes.empty());
  }
  StoreTipNumber("32767");
  EXPECT_EQ(NextSampleGameNumber(settings, ui, false), 1);
  EXPECT_EQ(ui.boxes.size(), 1u);
}

TEST_F(NewGameTest, TheDeveloperChoosesTheSampleGameOrKeepsTheProposedOne) {
  StoreTipNumber("2");
  ui.QueueInput(std::nullopt);  // Cancel
  ui.QueueInput(QString("seven"));
  ui.QueueInput(QString("0"));
  ui.QueueInput(QString(" 7 "));
  ui.QueueInput(QString("12"));
  EXPECT_EQ(NextSampleGameNumber(settings, ui, true), 3);
  EXPECT_EQ(NextSampleGameNumber(settings, ui, true), 3);
  EXPECT_EQ(NextSampleGameNumber(settings, ui, true), 3);
  EXPECT_EQ(NextSampleGameNumber(settings, ui, true), 7);
  EXPECT_TRUE(ui.boxes.empty());
  EXPECT_EQ(NextSampleGameNumber(settings, ui, true), 1);
  EXPECT_EQ(ui.boxes.size(), 1u);
  ASSERT_EQ(ui.prompts.size(), 5u);
  EXPECT_EQ(ui.prompts[0].prompt, "Choose Sample Game");
  EXPECT_EQ(ui.prompts[0].title, "Sample Game");
  EXPECT_EQ(ui.prompts[0].defaultText, "3");
}

TEST_F(NewGameTest, AMissingSampleGameIsShuffledInsteadAndNotRemembered) {
  // A sample file with no such game: the user is told and the decks are
  // shuffled, so the game is still dealt.
  s.AppPath = home.Path() + "/nowhere/";
  sample.SampleGameMode = true;
  EXPECT_EQ(NewGame(s), NewGameResult::Started);
  EXPECT_EQ(sample.SampleGameNumber, 0);
  EXPECT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(TipNumber(), "(none)");
}

TEST_F(NewGameTest, TheTutorialsDealLaysOutItsPreparedGame) {
  // The tutorial's game as record 15.
  table::PileArrays prepared;
  table::ShuffleDecks(prepared, table::SeededRandom(3));
  play::PlayState dealtState;
  {
    table::DealServices d{prepared, dealtState, view, sfx, wait, ui, game};
    ASSERT_EQ(table::DealNewGame(d, 0, {}), table::DealResult::Dealt);
  }
  SavedGameRecord rec;
  FillGameRecord(prepared, dealtState, rec, ScoreRec{}, false, 100, 0);
  ASSERT_TRUE(saved.SavedGamesFile.Write(kTutorialRecord, rec.Encode()));

  state.TutorialMode = true;
  state.TutorialContinue = true;
  cmdDeal_Click(s, RestoreContext{});
  EXPECT_EQ(tutorial.tipText,
            "Click Deal.\r\n\r\n\r\n\r\nAfter the deal is complete, click the Next button below to continue.");
  EXPECT_TRUE(tutorial.handHidden);
  EXPECT_EQ(piles.Reserve, prepared.Reserve);
  EXPECT_EQ(piles.Stock, prepared.Stock);
  EXPECT_FALSE(view.images[TableImage::cmdDeal]);
  EXPECT_EQ(game.finishes, 0);
}

}  // namespace
}  // namespace play
