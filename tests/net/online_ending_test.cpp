// The end of an online game: the final move, the stalemate and the ended
// match, with game over scoring for real on the sides that run it.

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTcpServer>

#include "net/connection.h"
#include "net/game_lists.h"
#include "net/mirrored_piles.h"
#include "net/net_rig.h"
#include "net/online_game.h"
#include "play/game/game_over.h"
#include "support/temp_home.h"
#include "table/fake_sound_effects.h"

namespace net {
namespace {

using net_test::Mirrored;
using net_test::Peer;
using net_test::RunUntil;
using net_test::ScriptedHost;
using net_test::Side;
using net_test::When;
using table::TableLabel;

// One side whose connection, move operations and game over are joined as
// the program joins them: a game over asks the online exchange.
struct Player : play::NetGameEnd, play::NetProgramHooks, play::PlayHooks {
  Player(const QString& name, const QString& root) : side(name, root) {
    side.conn = std::make_unique<Connection>(Parts());
    side.conn->SetListenAddress("127.0.0.1");
    game = std::make_unique<OnlineGame>(*side.conn, Parts(), piles, rule);
    answers = std::make_unique<play::OnlineStateAnswers>(side.net, *game, moves);
    over.network = answers.get();
  }
  play::NetPlayParts Parts() { return side.Parts(*this); }
  QString ChatLog() const { return side.conn->frmChat() ? side.conn->frmChat()->Log() : QString(); }
  bool SendEnabled() const { return side.conn->frmChat() && side.conn->frmChat()->Command1->isEnabled(); }

  // Game over, from the move code and the dispatcher.
  void GameOver(int winner) override {
    gameOvers.push_back(winner);
    auto w = static_cast<std::int16_t>(winner);
    play::GameOver(over, w);
  }
  void CheckMatchComplete() override {}
  void SaveGameFromMenu() override {}
  void ShowHelpKeyword(const QString&) override {}
  void ShowPileCounts() override {}
  void WriteMoveRecord(int) override {}
  void SaveGameRecord() override {}
  bool Move_Transmit_PlayCard(const play::OnlineMove& move) override { return game->Move_Transmit_PlayCard(move); }
  void EnableNextTip(bool) override {}

  Side side;
  table::PileArrays piles;
  std::int16_t rule = 0;
  bool SoundOn = false;
  testing_support::FakeSoundEffects sfx;
  play::MoveServices moves{piles, side.state, side.view, sfx, side.wait, side.guard, *this, side.net, 0.0f, {}};
  play::GameOverServices over{
      piles,     side.state, side.scores, side.store, side.view,       sfx,       side.sound,
      side.wait, side.ui,    side.guard,  SoundOn,    side.PlayerName, QString(), side.folders.DataPath,
      nullptr};
  std::unique_ptr<OnlineGame> game;
  std::unique_ptr<play::OnlineStateAnswers> answers;  // built on the game, as the program builds it
  std::vector<int> gameOvers;
};

using Table = net_test::TwoPlayers<Player>;

// The host plays its last card. Game over sends the move and waits; the
// remote's replay, started inside that wait, ends its own game over with the
// "PC" alone. Neither waits for a "WT", or the run would not end.
TEST(OnlineEnding, TheGameEndingMoveIsAnsweredWithoutWTAndEachSideScoresItOnce) {
  using table::PileControl;
  TempHome home;
  Table t(home.Path());
  table::PileArrays& hp = t.host.piles;
  hp.Reserve[0][++hp.ReserveCount[0]] = 1;
  hp.Stock[1][++hp.StockCount[1]] = 30;
  hp.Reserve[1][++hp.ReserveCount[1]] = 31;
  hp.Tableau[2][++hp.TableauCount[2]] = 40;
  t.remote.piles = Mirrored(hp);
  bool hostDone = false;
  bool remoteDone = false;
  When move([&] { return t.Connected(); },
            [&] {
              // The connection's start cleared the turn.
              t.host.side.state.CurrentTurn = table::Turn::Local;
              t.remote.side.state.CurrentTurn = table::Turn::Opponent;
              play::PlayState& hs = t.host.side.state;
              hs.MoveSource = PileControl::picPlayer;
              hs.MoveSourceIndex = 2;
              hs.MoveCard = 1;
              EXPECT_EQ(play::PlaceOnCenter(t.host.moves, 3), play::MoveResult::Applied);
              EXPECT_EQ(play::RemoveFromSourcePile(t.host.moves, PileControl::picPlayer, 2), play::MoveResult::Applied);
              hostDone = true;
            });
  When replay([&] { return t.remote.side.net.NetMsgKind == kMsgPC; },
              [&] {
                t.remote.game->Opponent(t.remote.moves);
                remoteDone = true;
              });
  ASSERT_TRUE(RunUntil([&] { return hostDone && remoteDone; }, {&t.host.side, &t.remote.side}));

  EXPECT_EQ(t.host.side.net.NetMsgKind, kMsgPC);
  EXPECT_EQ(t.remote.side.net.MoveFromPile + t.remote.side.net.MoveToPile, "picPlayerpicCenter");
  EXPECT_EQ(t.host.gameOvers, std::vector<int>{play::kLocalSideWins});
  EXPECT_EQ(t.remote.gameOvers, std::vector<int>{play::kOpponentWins});
  EXPECT_TRUE(t.remote.piles == Mirrored(hp));
  for (Player* p : {&t.host, &t.remote}) {
    EXPECT_TRUE(p->side.state.GameEnded);
    EXPECT_EQ(p->side.state.CurrentTurn, table::Turn::None);
    EXPECT_EQ(p->side.scores.GamePoints, 30 + 1 + 2);
    EXPECT_TRUE(p->SendEnabled());
    EXPECT_EQ(p->side.net.NetConnIndex, play::kNetPeerSocket);
    EXPECT_EQ(p->side.BoxTexts(), QStringList());
  }
  EXPECT_EQ(t.host.side.view.Label(TableLabel::lblTurn), "You WON!");
  EXPECT_EQ(t.remote.side.view.Label(TableLabel::lblTurn), "Hal is the WINNER!");
  EXPECT_TRUE(t.host.ChatLog().contains("\r\nMD: Your score is:\r\n30 points for the win"));
  EXPECT_TRUE(t.remote.ChatLog().contains("\r\nMD: Your opponent's score is:"));
}

// The mover's half of a turn, the remote answering as its program would:
// the Send button is off while each move is on its way.
TEST(OnlineEnding, TheMoverWaitsForPCThenWTWithTheSendButtonOff) {
  TempHome home;
  Table t(home.Path());
  t.host.piles.Stock[0][++t.host.piles.StockCount[0]] = 10;
  t.host.piles.Stock[1][++t.host.piles.StockCount[1]] = 30;
  Connection& remote = *t.remote.side.conn;
  std::vector<bool> sendEnabledInTransit;
  std::vector<bool> waitShownInTransit;
  std::optional<bool> delivered;
  When move([&] { return t.Connected(); },
            [&] {
              t.host.side.state.CurrentTurn = table::Turn::Local;
              t.host.side.view.EnablePiles(false);  // as the move code leaves them
              delivered = t.host.game->Move_Transmit_PlayCard({"picPlayer", 1, "picPlayer", 1});
            });
  When pc([&] { return t.remote.side.net.NetMsgKind == kMsgPC; },
          [&] {
            sendEnabledInTransit.push_back(t.host.SendEnabled());
            waitShownInTransit.push_back(t.host.side.view.labelsVisible[TableLabel::lblWAIT]);
            remote.SendNetMessage("PC", 0);
          });
  When wt([&] { return t.remote.side.net.NetMsgKind == kMsgWT; },
          [&] {
            sendEnabledInTransit.push_back(t.host.SendEnabled());
            remote.SendNetMessage("WT", 0);
          });
  ASSERT_TRUE(RunUntil([&] { return delivered.has_value(); }, {&t.host.side, &t.remote.side}));

  EXPECT_TRUE(*delivered);
  EXPECT_EQ(t.remote.side.net.MoveFromPile + t.remote.side.net.MoveToPile, "picPlayerpicPlayer");
  EXPECT_EQ(sendEnabledInTransit, std::vector<bool>({false, false}));
  EXPECT_EQ(waitShownInTransit, std::vector<bool>{true});
  EXPECT_TRUE(t.host.SendEnabled());
  EXPECT_FALSE(t.host.side.view.labelsVisible[TableLabel::lblWAIT]);
  EXPECT_TRUE(t.host.side.view.pilesEnabled);
}

// A host on its own and a remote played by a bare socket that answers the
// handshake and then the host's end.
struct HostAndPeer {
  explicit HostAndPeer(const QString& root) : host("Hal", root) {
    host.side.Host();
    peer.onLine = [this](const QByteArray& line) {
      if (line.startsWith("IP ")) peer.Send("IP  4. 0. 0\n");
      if (line.startsWith("NM ")) peer.Send("NM Ann\n");
      if (line.startsWith("EG ")) peer.Send("EG\n");
      if (line == "RS") {
        gameEndedAtRS = host.side.state.GameEnded;
        peer.Send("RS\n");
      }
      if (!line.startsWith("IP ") && !line.startsWith("NM ")) got << QString::fromLatin1(line);
    };
    host.side.StartSetup();
  }
  Player host;
  Peer peer;
  QStringList got;
  std::optional<bool> gameEndedAtRS;
  When connect{[this] { return host.side.Listening(); }, [this] { peer.Connect(host.side.Port()); }};
};

// The host declares a stalemate or ends the match: "EG" out and back, then
// "RS" out and back, and only then is the host's game over done.
TEST(OnlineEnding, TheHostsEndGoesOutAsEGAndIsConfirmedWithRS) {
  for (const bool stalemate : {true, false}) {
    TempHome home;
    HostAndPeer rig(home.Path());
    Player& host = rig.host;
    bool ended = false;
    When end([&] { return host.side.conn->HandshakeDone(); },
             [&] {
               host.side.conn->EndConnectionWait();  // as a game's start ends the set-up's wait
               host.side.state.CurrentTurn = table::Turn::Local;
               if (stalemate) {
                 play::DeclareStalemate(host.over);  // the question is answered Yes
               } else {
                 // The Game menu's End Match, as the menus ask the online answers.
                 host.answers->SendEndGame(true);
                 host.answers->ExchangeStalemateReset();
               }
               ended = true;
             });
    ASSERT_TRUE(RunUntil([&] { return ended; }, {&host.side})) << stalemate;

    EXPECT_EQ(rig.got, QStringList({stalemate ? "EG STALEMATE" : "EG ENDMATCH", "RS"}));
    EXPECT_EQ(host.side.net.NetMsgKind, kMsgRS);
    if (stalemate) {
      EXPECT_EQ(rig.gameEndedAtRS, false);
      EXPECT_TRUE(host.side.state.GameEnded);
      EXPECT_FALSE(host.side.scores.StalemateDeclared);
      EXPECT_TRUE(host.ChatLog().contains("\r\nMD: *Host declared STALEMATE* \r\nYour points: "));
      EXPECT_TRUE(host.SendEnabled());
    }
  }
}

// The remote answers the host's "EG", waits for "RS" and answers it; a
// stalemate's game over, which waits for that "RS" itself, runs once.
TEST(OnlineEnding, TheRemoteConfirmsTheHostsEndOnceItsGameOverHasRun) {
  for (const QByteArray word : {"STALEMATE", "ENDMATCH"}) {
    TempHome home;
    Player remote("Ann", home.Path());
    ScriptedHost scripted;
    ASSERT_TRUE(scripted.Listen());
    remote.side.Remote([&] { return scripted.Port(); });
    Peer& hostPeer = scripted.peer;
    remote.side.scores.MatchOn = true;
    QStringList got;
    QString chatAtRS;
    scripted.onLine = [&](const QByteArray& line) {
      if (line == "IP  4. 0. 0") return;  // answered by the scripted host
      if (line == "NM Ann") {
        remote.side.conn->EndConnectionWait();                  // as a game's start ends the set-up's wait
        remote.side.state.CurrentTurn = table::Turn::Opponent;  // the host's turn of a game on the table
        hostPeer.Send("EG " + word + "\n");
        return;
      }
      got << QString::fromLatin1(line);
      if (line == "EG") hostPeer.Send("RS\n");
      if (line == "RS") chatAtRS = remote.ChatLog();
    };
    remote.side.StartSetup();
    ASSERT_TRUE(RunUntil([&] { return got.size() == 2; }, {&remote.side})) << word.constData();

    EXPECT_EQ(got, QStringList({"EG", "RS"}));
    EXPECT_EQ(remote.side.BoxTexts(), QStringList());
    EXPECT_TRUE(remote.side.state.GameEnded);
    if (word == "STALEMATE") {
      EXPECT_EQ(remote.gameOvers, std::vector<int>{play::kNobodyWins});
      EXPECT_TRUE(chatAtRS.contains("\r\nMD: *Host declared STALEMATE* "));
    } else {
      EXPECT_EQ(remote.gameOvers, std::vector<int>());
      EXPECT_FALSE(remote.side.scores.MatchOn);
      EXPECT_EQ(remote.side.view.Label(TableLabel::lblTurn), "Host has ENDED this MATCH");
    }
  }
}

}  // namespace
}  // namespace net
