#include "net/online_game.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "net/connection.h"
#include "net/game_lists.h"
#include "net/net_rig.h"
#include "support/temp_home.h"

namespace net {
namespace {

using net_test::RunUntil;
using net_test::Side;
using net_test::When;

struct Player {
  Player(const QString& name, const QString& root)
      : side(name, root),
        game(*side.conn,
             play::NetPlayParts{side.net, side.scores, side.store, side.netScores, side.state, side.view, nullptr,
                                side.ui, side.wait, side.sound, side.guard, side.folders, side.PlayerName,
                                side.ThinkDelay, side.hooks},
             piles, rule) {}
  Side side;
  table::PileArrays piles;
  std::int16_t rule = kCoinTossRule;
  OnlineGame game;
};

// Host "Hal" and remote "Ann" connected over 127.0.0.1.
struct Table {
  explicit Table(const QString& root) : host("Hal", root), remote("Ann", root) {
    host.side.Host();
    remote.side.Remote([this] { return host.side.Port(); });
    host.side.StartSetup();
  }
  bool Connected() { return host.side.conn->HandshakeDone() && remote.side.conn->HandshakeDone(); }
  Player host;
  Player remote;
  When join{[this] { return host.side.Listening(); }, [this] { remote.side.StartSetup(); }};
};

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
  When start([&] { return t.Connected(); }, [&] {
    started = t.host.game.HostGameStart();
    t.host.side.state.CurrentTurn = 1;
    t.host.game.WhoseTurn();
    told = true;
  });
  When deal([&] { return t.remote.side.net.NetMsgKind == kMsgGS; }, [&] {
    remote.NetWaitDone = true;  // as the Deal button ends the remote's connection wait
    remote.SendNetMessage("GS", 0);
  });
  When dk([&] { return t.remote.side.net.NetMsgKind == kMsgDK; }, [&] {
    decks = remote.NetDataText;
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
  EXPECT_EQ(t.remote.side.state.CurrentTurn, 2);
  EXPECT_TRUE(remote.frmChat()->Log().contains("--: Hal won the toss."));
}

TEST(OnlineGame, TheRemoteTakesTheDecksMirroredAndAnswersTheTurnThatCameDuringItsDeal) {
  TempHome home;
  Table t(home.Path());
  Shuffle(t.host.piles);
  Connection& host = *t.host.side.conn;
  std::optional<bool> started;
  bool answered = false;
  When gs([&] { return t.Connected(); }, [&] { host.SendNetMessage("GS 0", play::kNetPeerSocket); });
  When deal([&] { return t.remote.side.net.NetMsgKind == kMsgGS; }, [&] {
    started = t.remote.game.RemoteGameStart();
    t.remote.side.wait.WaitUntil([&] { return t.remote.side.net.NetMsgKind == kMsgTR; });
    t.remote.game.WhoseTurn();
    answered = true;
  });
  When dk([&] { return t.host.side.net.NetMsgKind == kMsgGS; }, [&] {
    host.SendNetMessage(DkLine(BuildDeckList(t.host.piles, std::nullopt)), play::kNetPeerSocket);
  });
  When tr([&] { return t.host.side.net.NetMsgKind == kMsgDK; },
          [&] { host.SendNetMessage(TrLine(kHostFirst), play::kNetPeerSocket); });
  ASSERT_TRUE(RunUntil([&] { return answered && t.host.side.net.NetMsgKind == kMsgTR; },
                       {&t.host.side, &t.remote.side}));
  EXPECT_TRUE(*started);
  for (int pos = 1; pos <= 52; ++pos) {
    ASSERT_EQ(t.remote.piles.Reserve[0][pos], t.host.piles.Reserve[1][pos]);
    ASSERT_EQ(t.remote.piles.Reserve[1][pos], t.host.piles.Reserve[0][pos]);
  }
  EXPECT_EQ(t.remote.side.state.CurrentTurn, 2);
}

TEST(OnlineGame, AQuitDuringTheDeckWaitOrABadDeckDealsNothing) {
  for (const bool quit : {true, false}) {
    TempHome home;
    Table t(home.Path());
    std::optional<bool> remoteStarted;
    When gs([&] { return t.Connected(); }, [&] { t.host.side.conn->SendNetMessage("GS 0", play::kNetPeerSocket); });
    When deal([&] { return t.remote.side.net.NetMsgKind == kMsgGS; },
              [&] { remoteStarted = t.remote.game.RemoteGameStart(); });
    When end([&] { return t.host.side.net.NetMsgKind == kMsgGS; }, [&] {
      if (quit) {
        t.host.side.conn->SayGoodbye();
      } else {
        table::PileArrays twice;
        for (int pos = 1; pos <= 52; ++pos) twice.Reserve[0][pos] = twice.Reserve[1][pos] = 1;  // no permutation
        t.host.side.conn->SendNetMessage(DkLine(BuildDeckList(twice, std::nullopt)), play::kNetPeerSocket);
      }
    });
    ASSERT_TRUE(RunUntil([&] { return remoteStarted.has_value() && t.remote.side.net.NetConnIndex == 0; },
                         {&t.host.side, &t.remote.side}));
    EXPECT_FALSE(*remoteStarted) << quit;
    EXPECT_TRUE(t.remote.piles == table::PileArrays{}) << quit;
    EXPECT_EQ(t.remote.side.BoxTexts().contains(kViolationText), !quit);
  }
}

}  // namespace
}  // namespace net
