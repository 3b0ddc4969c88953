#include "net/online_restore.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "net/connection.h"
#include "net/game_lists.h"
#include "net/mirrored_piles.h"
#include "net/net_rig.h"
#include "net/online_game.h"
#include "play/move_rig.h"
#include "play/records/saved_game_record.h"
#include "play/table_builder.h"
#include "support/temp_home.h"
#include "table/card.h"
#include "table/deal.h"

namespace net {
namespace {

using net_test::Mirrored;
using net_test::RunUntil;
using net_test::Side;
using net_test::When;

class FakeSavedHooks : public play::SavedGameHooks {
 public:
  void ClearTable() override {}
  void RedrawTable() override { ++redraws; }
  void ShowPileCounts() override {}
  void CheckMatchComplete() override {}
  void ShowMatchPoints(bool) override {}
  void SaveScoreRec() override {}
  table::Turn WhoGoesFirst(int) override { return table::Turn::Local; }
  void ShowTutorialNext() override {}
  void ComputerTurn() override {}
  int redraws = 0;
};

// One program's side of the hand-over: its connection, game exchange,
// record files and menu flags.
struct Player {
  Player(const QString& name, const QString& root)
      : side(name, root, nullptr, net::kCallerHandshakeLimit, net::Connection::Joins{{}, &restore}),
        game(*side.conn, Parts(), piles, rule),
        restore(*side.conn, game, OnlineRestoreParts{Parts(), savedServices, moves, commands, SoundOn, [this] {
                                                       return restoreFromSlot && restoreFromSlot();
                                                     }}) {
    saved.SavedGamesFile.Open(side.folders.DataPath + play::kSavedGamesFileName, play::kSavedGameRecordLength);
  }
  play::NetPlayParts Parts() { return side.Parts(side.hooks); }
  Side side;
  table::PileArrays piles;
  std::int16_t rule = 0;
  testing_support::FakeSoundEffects sfx;
  testing_support::FakePlayHooks playHooks{side.state};
  play::NetState movesNet;  // what the moves read of the connection: offline
  play::MoveServices moves{piles, side.state, side.view, sfx, side.wait, side.guard, playHooks, movesNet, 0.0f, {}};
  play::SavedGames saved;
  std::int16_t SampleGameNumber = 0;
  FakeSavedHooks savedHooks;
  play::SavedGameServices savedServices{piles,
                                        side.state,
                                        saved,
                                        {side.scores.CurrentScores, side.scores.MatchOn, side.scores.MatchPoints},
                                        SampleGameNumber,
                                        side.view,
                                        side.guard,
                                        side.ui,
                                        side.wait,
                                        savedHooks};
  play::CommandState commands;
  bool SoundOn = true;
  std::function<bool()> restoreFromSlot;
  OnlineGame game;
  OnlineRestore restore;
};

using Table = net_test::TwoPlayers<Player>;

// A dealt table for a seed, a few cards played from it.
table::PileArrays MidGame(std::uint32_t seed) {
  table::PileArrays p = testing_support::DealtTable(seed);
  testing_support::HandToWaste(p, 0);
  // An Ace of a Stock goes up to a Center pile by way of Tableau 3.
  for (int side = 0; side < table::kSides; ++side) {
    table::CardCode* stock = &p.Stock[side][1];
    table::CardCode* ace =
        std::find_if(stock, stock + p.StockCount[side], [](table::CardCode c) { return table::CardRank(c) == 1; });
    if (ace == stock + p.StockCount[side]) continue;
    std::swap(*ace, p.Tableau[3][p.TableauCount[3]]);
    break;
  }
  p.Center[2][++p.CenterCount[2]] = p.Tableau[3][p.TableauCount[3]];
  p.Tableau[3][p.TableauCount[3]--] = 0;
  return p;
}

void WriteRecord(Player& p, int recNo, const table::PileArrays& piles, table::Turn turn, const QString& description,
                 double seconds) {
  play::SavedGameRecord rec;
  rec.CurrentTurn = turn;
  rec.StorePiles(piles);
  for (int side = 0; side < table::kSides; ++side)
    rec.Tableau[0][play::kReserveFaceDownRow + side] = piles.ReserveFaceDown[side];
  if (description.startsWith("^^Match")) {
    const std::int16_t match[] = {150, 40, 60, 3, 1, 2};  // target, own, opponent's, games, own wins, opponent's
    for (int row = play::kMatchPointsRow; row <= play::kOppMatchWinsRow; ++row)
      rec.Tableau[0][row] = match[row - play::kMatchPointsRow];
  }
  rec.Description = description.leftJustified(play::SavedGameRecord::kDescriptionWidth, u' ');
  rec.ElapsedTime = seconds / play::kSecondsPerDay;
  ASSERT_TRUE(p.saved.SavedGamesFile.Write(recNo, rec.Encode()));
}

// The host restarts, backs up a turn or sends a saved online game: its
// table is rebuilt, "EG" is answered, the system line and "RC" go out, the
// remote rebuilds the same table mirrored and offers Deal; its "RC" answer
// gets the host's "RS", and the side whose turn it is plays on.
TEST(OnlineRestore, RestartBackUpAndASavedGameAreHandedOverWhole) {
  enum class Mode { Restart, BackUp, SavedGame };
  for (const Mode mode : {Mode::Restart, Mode::BackUp, Mode::SavedGame}) {
    SCOPED_TRACE(static_cast<int>(mode));
    TempHome home;
    Table t(home.Path());
    Player& host = t.host;
    Player& remote = t.remote;
    host.piles = MidGame(3);
    const table::PileArrays restored = MidGame(mode == Mode::Restart ? 5 : 9);
    // After a back-up the remote has the turn: the host replays it.
    const table::Turn hostTurn = mode == Mode::BackUp ? table::Turn::Opponent : table::Turn::Local;
    int record = play::kGameStartRecord;
    QString notice = kRestartedNotice;
    if (mode == Mode::Restart) {
      WriteRecord(host, record, restored, hostTurn, "", 330);
    } else if (mode == Mode::BackUp) {
      record = play::kEvenTurnBackupRecord;
      WriteRecord(host, record, restored, hostTurn, "", 330);
      notice = kBackedUpNotice;
    } else {
      record = 3;
      WriteRecord(host, record, restored, hostTurn, "^^Match NET 1/2/26_10:00Ann", 330);
      notice = QString(kSecureNotice) + "Match NET 1/2/26_10:00Ann";
      host.restoreFromSlot = [&] {
        // As the slot dialog marks a saved online game and the Game menu restores it.
        host.commands.NetSecureGame = true;
        play::RestoreContext ctx;
        ctx.Online = true;
        return play::RestoreGame(host.savedServices, ctx, record, play::GameFile::SavedGames, false, {}) ==
               play::RestoreResult::Restored;
      };
    }

    bool returned = false;
    When start([&] { return t.Connected(); },
               [&] {
                 t.GameStarted();
                 host.side.state.CurrentTurn = table::Turn::Local;
                 host.side.state.TurnCount = 3;
                 host.commands.NetRestartPending = mode == Mode::Restart;
                 host.commands.RestoringPreviousTurn = mode == Mode::BackUp;
                 host.saved.SaveSlot = static_cast<std::int16_t>(record);
                 host.restore.NetRestoreGame();
                 returned = true;
               });
    // The remote's Deal button answers "RC"; after "RS" the remote plays
    // its turn when it has one: its Hand card onto its Waste.
    Connection& rc = *remote.side.conn;
    std::optional<bool> mirroredAtResume;
    bool remotePilesLockedUntilDeal = false;
    When deal([&] { return remote.side.net.NetMsgKind == kMsgRC; },
              [&] {
                remotePilesLockedUntilDeal = !remote.side.view.pilesEnabled;
                rc.SendNetMessage("RC", 0);
              });
    // In the remote's turn that follows the hand-over the host's commands
    // may run, as in any other turn of the remote.
    std::optional<bool> hostFreeInRemotesTurn;
    When resume([&] { return remote.side.net.NetMsgKind == kMsgRS; },
                [&] {
                  mirroredAtResume = remote.piles == Mirrored(host.piles);
                  hostFreeInRemotesTurn = host.side.guard.MayReplaceTable();
                  if (hostTurn == table::Turn::Opponent) rc.SendNetMessage("PC picPlayer#1#picOpponent#3", 0);
                });
    When wt([&] { return remote.side.net.NetMsgKind == kMsgPC; }, [&] { rc.SendNetMessage("WT", 0); });
    ASSERT_TRUE(RunUntil([&] { return returned && resume.Done(); }, {&host.side, &remote.side}));

    EXPECT_EQ(mirroredAtResume, std::optional<bool>(true));
    if (hostTurn == table::Turn::Opponent) {
      EXPECT_EQ(hostFreeInRemotesTurn, std::optional<bool>(true));
    }
    EXPECT_TRUE(remotePilesLockedUntilDeal);
    EXPECT_EQ(remote.side.state.CurrentTurn,
              hostTurn == table::Turn::Local ? table::Turn::Opponent : table::Turn::Local);
    EXPECT_TRUE(remote.side.conn->frmChat()->Log().contains(QString(notice).mid(4))) << notice.toStdString();
    EXPECT_EQ(remote.side.view.Label(table::TableLabel::StatusMsg), kResumeText);
    EXPECT_TRUE(remote.side.view.images[table::TableImage::cmdDeal]);
    EXPECT_TRUE(remote.side.net.NetResyncBusy) << "until the Deal button";
    ASSERT_FALSE(remote.side.view.clockStartedAt.empty());
    EXPECT_EQ(remote.side.view.clockStartedAt.back(), 330.0);
    EXPECT_EQ(remote.side.scores.MatchOn, mode == Mode::SavedGame);
    if (mode == Mode::SavedGame) {
      EXPECT_EQ(remote.side.scores.CurrentScores.MatchTarget, 150);
      EXPECT_EQ(remote.side.scores.CurrentScores.MatchScore, 60);
      EXPECT_EQ(remote.side.scores.CurrentScores.OppMatchScore, 40);
    }

    EXPECT_FALSE(host.side.net.NetResyncBusy);
    EXPECT_FALSE(host.commands.NetRestartPending || host.commands.RestoringPreviousTurn || host.commands.NetSecureGame);
    EXPECT_EQ(host.side.state.CurrentTurn, table::Turn::Local);
    EXPECT_TRUE(host.side.view.pilesEnabled);
    if (hostTurn == table::Turn::Local) {
      EXPECT_TRUE(host.piles == restored);
    } else {
      // The remote's discard was replayed on the host's table.
      EXPECT_EQ(host.piles.WasteCount[1], restored.WasteCount[1] + 1);
      EXPECT_EQ(host.side.state.TurnCount, 4);
    }
    EXPECT_EQ(host.side.BoxTexts(), QStringList());
    EXPECT_EQ(remote.side.BoxTexts(), QStringList());
  }
}

// A cancelled slot dialog sends nothing, and the host's next New Game
// deals again; a table list no legitimate program sends ends the
// connection with the remote's table as it was.
TEST(OnlineRestore, ACancelledRestoreSendsNothingAndAHostileTableChangesNothing) {
  TempHome home;
  Table t(home.Path());
  Player& host = t.host;
  Player& remote = t.remote;
  remote.piles = MidGame(4);
  const table::PileArrays before = remote.piles;
  host.restoreFromSlot = [&] { return false; };
  std::int16_t kindBefore = -1;
  bool cancelled = false;
  When start([&] { return t.Connected(); },
             [&] {
               t.GameStarted();
               kindBefore = remote.side.net.NetMsgKind;
               host.restore.NetRestoreGame();
               cancelled = true;
               // Whatever the cancel had sent would arrive before this line.
               ++host.side.net.ChatSeq;
               host.side.conn->SendNetMessage(ChatLine(host.side.net.ChatSeq, "Hal: still here"), play::kNetPeerSocket);
             });
  ASSERT_TRUE(RunUntil(
      [&] {
        return cancelled && remote.side.conn->frmChat() && remote.side.conn->frmChat()->Log().contains("still here");
      },
      {&host.side, &remote.side}));
  EXPECT_EQ(remote.side.net.NetMsgKind, kindBefore);
  EXPECT_FALSE(host.side.net.NetResyncBusy);

  // A table with a card three times.
  RecoverTable bad;
  bad.piles = MidGame(6);
  bad.piles.Stock[1][1] = bad.piles.Stock[1][2];
  bad.CurrentTurn = table::Turn::Local;
  host.side.conn->SendNetMessage(RcLine(BuildRecoverList(bad, false, host.side.conn->TabOrders())),
                                 play::kNetPeerSocket);
  ASSERT_TRUE(RunUntil([&] { return remote.side.net.NetConnIndex == 0; }, {&host.side, &remote.side}));
  EXPECT_TRUE(remote.piles == before);
  EXPECT_TRUE(remote.side.view.clockStartedAt.empty());
  EXPECT_FALSE(remote.side.net.NetResyncBusy);
  EXPECT_TRUE(remote.side.BoxTexts().contains(kViolationText));
}

// Every card of both decks once, but laid out as no game can lay it: a
// King first on a Center pile. The remote refuses it as a broken list: the
// connection ends and its table stays as it was.
TEST(OnlineRestore, ATableNoGameCanReachIsRefusedAndChangesNothing) {
  TempHome home;
  Table t(home.Path());
  Player& remote = t.remote;
  remote.piles = MidGame(4);
  const table::PileArrays before = remote.piles;
  RecoverTable bad;
  bad.piles = MidGame(6);
  bad.CurrentTurn = table::Turn::Local;
  ASSERT_EQ(table::CardRank(bad.piles.Center[2][1]), table::kAce);
  table::CardCode* stock = &bad.piles.Stock[1][1];
  table::CardCode* king = std::find_if(stock, stock + bad.piles.StockCount[1],
                                       [](table::CardCode c) { return table::CardRank(c) == table::kKing; });
  ASSERT_NE(king, stock + bad.piles.StockCount[1]);
  std::swap(bad.piles.Center[2][1], *king);
  When send([&] { return t.Connected(); },
            [&] {
              t.GameStarted();
              t.host.side.conn->SendNetMessage(RcLine(BuildRecoverList(bad, false, t.host.side.conn->TabOrders())),
                                               play::kNetPeerSocket);
            });
  ASSERT_TRUE(RunUntil([&] { return send.Done() && remote.side.net.NetConnIndex == 0; }, {&t.host.side, &remote.side}));
  EXPECT_TRUE(remote.piles == before);
  EXPECT_TRUE(remote.side.view.clockStartedAt.empty());
  EXPECT_FALSE(remote.side.net.NetResyncBusy);
  EXPECT_EQ(remote.side.BoxTexts(), QStringList{kViolationText});
}

}  // namespace
}  // namespace net
