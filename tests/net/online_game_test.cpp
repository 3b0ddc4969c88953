#include "net/online_game.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "net/connection.h"
#include "net/game_lists.h"
#include "net/mirrored_piles.h"
#include "net/net_rig.h"
#include "play/move_rig.h"
#include "play/rules/table_search.h"
#include "support/temp_home.h"
#include "table/table_settings.h"

namespace net {
namespace {

using net_test::Mirrored;
using net_test::Peer;
using net_test::RunUntil;
using net_test::Side;
using net_test::When;

struct Player {
  Player(const QString& name, const QString& root, std::chrono::milliseconds callerLimit = kCallerHandshakeLimit)
      : side(name, root, nullptr, callerLimit), game(*side.conn, side.Parts(side.hooks), piles, rule) {}
  Side side;
  table::PileArrays piles;
  std::int16_t rule = table::kFirstPlayerCoinToss;
  OnlineGame game;
  testing_support::FakeSoundEffects sfx;
  testing_support::FakePlayHooks playHooks{side.state};
  play::NetState movesNet;  // what the moves read of the connection: offline unless a test says otherwise
  play::MoveServices moves{piles, side.state, side.view, sfx, side.wait, side.guard, playHooks, movesNet, 0.0f, {}};
};

using Table = net_test::TwoPlayers<Player>;

void Shuffle(table::PileArrays& p) {
  for (int pos = 1; pos <= 52; ++pos) {
    p.Reserve[0][pos] = static_cast<table::CardCode>((pos * 5) % 52 + 1);
    p.Reserve[1][pos] = static_cast<table::CardCode>((pos * 11) % 52 + 1);
  }
}

// The two sides' waits nest in one process, so each test runs one side's
// exchange and answers for the other by hand, as its program would.
TEST(OnlineGame, TheHostHandsItsDecksOverAndTellsWhoMovesFirst) {
  TempHome home;
  Table t(home.Path());
  Shuffle(t.host.piles);
  t.host.side.net.WhoGoesFirstText = "Hal won the toss.";
  // The coin notice plays the remote's own coin sound.
  QDir().mkpath(t.remote.side.folders.UserPath + "Sounds");
  QFile coin(t.remote.side.folders.UserPath + "Sounds/coin_flip.wav");
  ASSERT_TRUE(coin.open(QIODevice::WriteOnly));
  coin.close();
  Connection& remote = *t.remote.side.conn;
  std::optional<bool> started;
  bool told = false;
  QString decks;
  When start([&] { return t.Connected(); },
             [&] {
               started = t.host.game.HostGameStart();
               t.host.side.state.CurrentTurn = table::Turn::Local;
               t.host.game.WhoseTurn();
               told = true;
             });
  When deal([&] { return t.remote.side.net.NetMsgKind == kMsgGS; },
            [&] {
              remote.EndConnectionWait();  // as the Deal button ends the remote's connection wait
              remote.SendNetMessage("GS", 0);
            });
  When dk([&] { return t.remote.side.net.NetMsgKind == kMsgDK; },
          [&] {
            decks = remote.NetDataText();
            remote.SendNetMessage("DK", 0);
          });
  When tr([&] { return t.remote.side.net.NetMsgKind == kMsgTR; }, [&] { remote.SendNetMessage("TR", 0); });
  ASSERT_TRUE(RunUntil(
      [&] {
        const auto& played = t.remote.side.sound.played;
        return told && remote.frmChat() && !played.empty() && played.back().endsWith("Sounds/coin_flip.wav");
      },
      {&t.host.side, &t.remote.side}));
  EXPECT_TRUE(*started);
  EXPECT_EQ(t.host.side.BoxTexts(), QStringList());
  const auto read = ReadDeckList(decks, false);
  ASSERT_TRUE(read);
  for (int pos = 1; pos <= 52; ++pos) {
    ASSERT_EQ(read->decks[0][pos], t.host.piles.Reserve[1][pos]);
    ASSERT_EQ(read->decks[1][pos], t.host.piles.Reserve[0][pos]);
  }
  EXPECT_EQ(t.remote.side.state.CurrentTurn, table::Turn::Opponent);
  EXPECT_TRUE(remote.frmChat()->Log().contains("--: Hal won the toss."));
}

// Callers that connect and say nothing keep no fair caller out. Of more
// silent callers than one address may have greeted at once one is told the
// host is busy at once and the others are let go at the limit, without a
// word. A fair caller among later silent
// ones is answered with the host's name at once and takes the seat, those
// are told the host is busy, and the game then starts. Nobody sees a box.
TEST(OnlineGame, SilentCallersKeepNoFairCallerOutAndTheGameThenPlays) {
  TempHome home;
  constexpr std::chrono::milliseconds kLimit{1000};
  Player hal("Hal", home.Path(), kLimit);
  Player ann("Ann", home.Path());
  Side& host = hal.side;
  Side& remote = ann.side;
  Shuffle(hal.piles);
  host.Host();
  remote.Remote([&] { return host.Port(); });
  host.StartSetup();

  QElapsedTimer clock;
  clock.start();
  struct Silent {
    std::unique_ptr<Peer> peer;
    qint64 calledAt = -1;
    qint64 closedAt = -1;
  };
  std::vector<Silent> first(kMaxCallersPerAddress + 1);
  std::vector<Silent> later(2);
  const auto call = [&](std::vector<Silent>& group) {
    for (Silent& s : group) {
      s.peer = std::make_unique<Peer>();
      s.calledAt = clock.elapsed();
      s.peer->Connect(host.Port());
    }
  };
  const auto all = [](const std::vector<Silent>& group, auto what) {
    return std::all_of(group.begin(), group.end(), what);
  };
  const auto gone = [&](const std::vector<Silent>& group) {
    return all(group, [](const Silent& s) { return s.closedAt >= 0; });
  };
  qint64 fairCalledAt = -1;
  qint64 connectedAt = -1;
  QTimer probe;
  QObject::connect(&probe, &QTimer::timeout, [&] {
    for (auto* group : {&first, &later}) {
      for (Silent& s : *group) {
        if (s.peer && s.peer->closed && s.closedAt < 0) s.closedAt = clock.elapsed();
      }
    }
    if (connectedAt < 0 && host.conn->HandshakeDone() && remote.conn->HandshakeDone()) connectedAt = clock.elapsed();
  });
  probe.start(1);
  When callFirst([&] { return host.Listening(); }, [&] { call(first); });
  When callLater([&] { return gone(first); }, [&] { call(later); });
  When callFair([&] { return all(later, [](const Silent& s) { return s.peer && !s.peer->got.isEmpty(); }); },
                [&] {
                  fairCalledAt = clock.elapsed();
                  remote.StartSetup();
                });
  std::optional<bool> started;
  QString decks;
  When start([&] { return connectedAt >= 0; }, [&] { started = hal.game.HostGameStart(); });
  When deal([&] { return remote.net.NetMsgKind == kMsgGS; },
            [&] {
              remote.conn->EndConnectionWait();  // as the Deal button ends the remote's connection wait
              remote.conn->SendNetMessage("GS", 0);
            });
  When dk([&] { return remote.net.NetMsgKind == kMsgDK; },
          [&] {
            decks = remote.conn->NetDataText();
            remote.conn->SendNetMessage("DK", 0);
          });
  ASSERT_TRUE(RunUntil([&] { return started.has_value() && gone(later); }, {&host, &remote}));

  const QByteArray greeting = "IP  4. 0. 0^ 1\n";
  const QByteArray busy = "SY  1#MD: So you want to play with us? Sorry I'm busy!\nGO\n";
  int crowdedOut = 0;
  for (std::size_t i = 0; i < first.size(); ++i) {
    const qint64 lasted = first[i].closedAt - first[i].calledAt;
    if (first[i].peer->got == greeting + busy) {
      ++crowdedOut;
      EXPECT_LT(lasted, kLimit.count() / 2) << i;
      continue;
    }
    EXPECT_EQ(first[i].peer->got, greeting) << i;
    EXPECT_GE(lasted, kLimit.count()) << i;
    EXPECT_LT(lasted, kLimit.count() + 1000) << i;
  }
  EXPECT_EQ(crowdedOut, 1);
  EXPECT_LT(connectedAt - fairCalledAt, kLimit.count() / 2);
  for (const Silent& s : later) {
    EXPECT_EQ(s.peer->got, greeting + busy);
    EXPECT_LT(s.closedAt, s.calledAt + kLimit.count());
  }
  EXPECT_EQ(host.net.OpponentName, "Ann");
  EXPECT_EQ(remote.net.OpponentName, "Hal");
  EXPECT_EQ(host.conn->CallersInHandshake(), 0);
  ASSERT_TRUE(started.value());
  const auto read = ReadDeckList(decks, false);
  ASSERT_TRUE(read);
  for (int pos = 1; pos <= 52; ++pos) {
    ASSERT_EQ(read->decks[0][pos], hal.piles.Reserve[1][pos]);
    ASSERT_EQ(read->decks[1][pos], hal.piles.Reserve[0][pos]);
  }
  EXPECT_EQ(host.BoxTexts(), QStringList());
  EXPECT_EQ(remote.BoxTexts(), QStringList());
}

TEST(OnlineGame, TheRemoteTakesTheDecksMirroredAndAnswersTheTurnThatCameDuringItsDeal) {
  TempHome home;
  Table t(home.Path());
  Shuffle(t.host.piles);
  Connection& host = *t.host.side.conn;
  std::optional<bool> started;
  bool answered = false;
  When gs([&] { return t.Connected(); }, [&] { host.SendNetMessage("GS 0", play::kNetPeerSocket); });
  When deal([&] { return t.remote.side.net.NetMsgKind == kMsgGS; },
            [&] {
              started = t.remote.game.RemoteGameStart();
              t.remote.side.wait.WaitUntil([&] { return t.remote.side.net.NetMsgKind == kMsgTR; });
              t.remote.game.WhoseTurn();
              answered = true;
            });
  When dk([&] { return t.host.side.net.NetMsgKind == kMsgGS; },
          [&] { host.SendNetMessage(DkLine(BuildDeckList(t.host.piles, std::nullopt)), play::kNetPeerSocket); });
  When tr([&] { return t.host.side.net.NetMsgKind == kMsgDK; },
          [&] { host.SendNetMessage(TrLine(kHostFirst), play::kNetPeerSocket); });
  ASSERT_TRUE(
      RunUntil([&] { return answered && t.host.side.net.NetMsgKind == kMsgTR; }, {&t.host.side, &t.remote.side}));
  EXPECT_TRUE(*started);
  for (int pos = 1; pos <= 52; ++pos) {
    ASSERT_EQ(t.remote.piles.Reserve[0][pos], t.host.piles.Reserve[1][pos]);
    ASSERT_EQ(t.remote.piles.Reserve[1][pos], t.host.piles.Reserve[0][pos]);
  }
  EXPECT_EQ(t.remote.side.state.CurrentTurn, table::Turn::Opponent);
}

TEST(OnlineGame, AQuitDuringEitherSidesDeckWaitOrABadDeckDealsNothing) {
  for (const bool quit : {true, false}) {
    TempHome home;
    Table t(home.Path());
    std::optional<bool> remoteStarted;
    When gs([&] { return t.Connected(); }, [&] { t.host.side.conn->SendNetMessage("GS 0", play::kNetPeerSocket); });
    When deal([&] { return t.remote.side.net.NetMsgKind == kMsgGS; },
              [&] { remoteStarted = t.remote.game.RemoteGameStart(); });
    When end([&] { return t.host.side.net.NetMsgKind == kMsgGS; },
             [&] {
               if (quit) {
                 t.host.side.conn->SayGoodbye();
               } else {
                 table::PileArrays twice;
                 for (int pos = 1; pos <= 52; ++pos)
                   twice.Reserve[0][pos] = twice.Reserve[1][pos] = 1;  // no permutation
                 t.host.side.conn->SendNetMessage(DkLine(BuildDeckList(twice, std::nullopt)), play::kNetPeerSocket);
               }
             });
    ASSERT_TRUE(RunUntil([&] { return remoteStarted.has_value() && t.remote.side.net.NetConnIndex == 0; },
                         {&t.host.side, &t.remote.side}));
    EXPECT_FALSE(*remoteStarted) << quit;
    EXPECT_TRUE(t.remote.piles == table::PileArrays{}) << quit;
    EXPECT_EQ(t.remote.side.BoxTexts().contains(kViolationText), !quit);
  }
  // The host's wait for the remote's "DK": the remote leaves instead.
  TempHome home;
  Table t(home.Path());
  Shuffle(t.host.piles);
  std::optional<bool> hostStarted;
  When start([&] { return t.Connected(); }, [&] { hostStarted = t.host.game.HostGameStart(); });
  When gs([&] { return t.remote.side.net.NetMsgKind == kMsgGS; }, [&] { t.remote.side.conn->SendNetMessage("GS", 0); });
  When leave([&] { return t.remote.side.net.NetMsgKind == kMsgDK; }, [&] { t.remote.side.conn->SayGoodbye(); });
  ASSERT_TRUE(RunUntil([&] { return hostStarted.has_value(); }, {&t.host.side, &t.remote.side}));
  EXPECT_FALSE(*hostStarted);
  EXPECT_EQ(t.host.side.net.NetConnIndex, play::kNetOffline);
}

void Put(table::PileArrays::SidePile& pile, std::int16_t& count, std::initializer_list<table::CardCode> cards) {
  for (table::CardCode c : cards) pile[++count] = c;
}

// The host's turn as its move code sends it, card by card, each move
// answered by the remote's "PC" and the "WT"s; the remote replays it.
TEST(OnlineGame, ARemoteReplaysTheHostsTurnAndBothTablesAgree) {
  using table::PileControl;
  TempHome home;
  Table t(home.Path());
  table::PileArrays& hp = t.host.piles;
  Put(hp.Stock[0], hp.StockCount[0], {10, 11, 12});
  Put(hp.Reserve[0], hp.ReserveCount[0], {20, 21});
  Put(hp.Stock[1], hp.StockCount[1], {30, 31});
  Put(hp.Waste[1], hp.WasteCount[1], {13});  // the Queen of suit 1 from the Stock goes onto its King
  hp.Tableau[2][++hp.TableauCount[2]] = 40;
  hp.Tableau[5][++hp.TableauCount[5]] = 41;
  t.remote.piles = Mirrored(hp);
  t.host.movesNet.NetConnIndex = play::kNetPeerSocket;
  play::MoveServices& hm = t.host.moves;
  play::PlayState& hs = t.host.side.state;
  Connection& host = *t.host.side.conn;

  const auto play = [&](PileControl source, int index, auto place) {
    hs.MoveSource = source;
    hs.MoveSourceIndex = static_cast<std::int16_t>(index);
    hs.MoveCard =
        source == PileControl::picTableau ? hp.Tableau[index][hp.TableauCount[index]] : hp.Stock[0][hp.StockCount[0]];
    EXPECT_EQ(place(), play::MoveResult::Applied);
    EXPECT_EQ(play::RemoveFromSourcePile(hm, source, index), play::MoveResult::Applied);
    return t.host.playHooks.transmitted.back();
  };
  const std::vector<std::function<play::OnlineMove()>> turn = {
      [] {
        return play::OnlineMove{"picPlayer", 1, "picPlayer", 1};
      },  // the Stock turn
      [&] {
        return play(PileControl::picPlayer, 1, [&] { return play::PlaceOnSidePile(hm, 3, play::kOpponentOwner); });
      },
      [&] { return play(PileControl::picTableau, 2, [&] { return play::PlaceOnCenter(hm, 5); }); },
      [&] { return play(PileControl::picPlayer, 1, [&] { return play::PlaceOnSidePile(hm, 3, play::kLocalOwner); }); },
  };
  QStringList sent;
  std::size_t next = 0;
  std::int16_t awaited = kMsgWT;
  bool replayed = false;
  When start([&] { return t.Connected(); },
             [&] {
               // The connection's start cleared the turn.
               t.host.side.state.CurrentTurn = table::Turn::Local;
               t.remote.side.state.CurrentTurn = table::Turn::Opponent;
               t.remote.side.state.TurnCount = 4;
               t.remote.game.Opponent(t.remote.moves);
               replayed = true;
             });
  QTimer mover;
  QObject::connect(&mover, &QTimer::timeout, [&] {
    if (!start.Done() || (t.host.side.net.NetMsgKind != awaited && next > 0)) return;
    if (awaited == kMsgPC) {
      host.SendNetMessage("WT", play::kNetPeerSocket);
      awaited = kMsgWT;
    } else if (next < turn.size()) {
      sent << MoveLine(turn[next++](), host.TabOrders());
      host.SendNetMessage(sent.back(), play::kNetPeerSocket);
      awaited = kMsgPC;
    }
  });
  mover.start(5);
  ASSERT_TRUE(RunUntil([&] { return replayed; }, {&t.host.side, &t.remote.side}));
  EXPECT_EQ(sent, QStringList({"PC picPlayer#1#picPlayer#1", "PC picPlayer#1#picPlayer#3",
                               "PC picTableau#7#picCenter#5", "PC picPlayer#1#picOpponent#3"}));
  EXPECT_EQ(hp.CenterCount[5], 1);
  EXPECT_TRUE(t.remote.piles == Mirrored(hp));
  EXPECT_EQ(t.remote.side.state.CurrentTurn, table::Turn::Local);
  EXPECT_EQ(t.remote.side.state.TurnCount, 5);
  EXPECT_EQ(t.remote.side.view.Label(table::TableLabel::lblTurn), kOwnTurnText);
  EXPECT_EQ(t.remote.side.BoxTexts(), QStringList());
  // The card loaded onto the remote's Waste lost its rim after the pause.
  EXPECT_EQ(t.remote.side.view.cardFrameStyles[play::kWastePile], play::kFrameTransparent);
}

// A move no legitimate program sends ends the game before anything moves.
TEST(OnlineGame, AHostileMoveIsAViolationWithTheTableUnchanged) {
  // The last two break the pile rules: a Four onto an empty center pile, a
  // card onto the receiver's empty Waste.
  for (const char* line : {"PC picTableau#3#picCenter#1", "PC picTableau#2#picCenter#9", "PC picCenter#1#picTableau#1",
                           "PC picPlayer#1#picCenter#1", "PC picPlayer#1#picPlayer#3"}) {
    TempHome home;
    Table t(home.Path());
    table::PileArrays& rp = t.remote.piles;
    rp.Tableau[2][++rp.TableauCount[2]] = 40;
    Put(rp.Stock[1], rp.StockCount[1], {30});
    const table::PileArrays before = rp;
    bool returned = false;
    When start([&] { return t.Connected(); },
               [&] {
                 t.remote.side.state.CurrentTurn = table::Turn::Opponent;  // the connection's start cleared the turn
                 t.remote.game.Opponent(t.remote.moves);
                 returned = true;
               });
    When move([&] { return start.Done(); }, [&] { t.host.side.conn->SendNetMessage(line, play::kNetPeerSocket); });
    ASSERT_TRUE(
        RunUntil([&] { return returned && t.remote.side.net.NetConnIndex == 0; }, {&t.host.side, &t.remote.side}))
        << line;
    EXPECT_TRUE(rp == before) << line;
    EXPECT_TRUE(t.remote.side.BoxTexts().contains(kViolationText)) << line;
  }
}

}  // namespace
}  // namespace net
