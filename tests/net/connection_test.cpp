#include "net/connection.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTimer>
#include <algorithm>
#include <chrono>

#include "net/chat_lines.h"
#include "net/net_rig.h"
#include "platform/vb.h"
#include "support/temp_home.h"
#include "support/test_files.h"

namespace net {
namespace {

using net_test::Peer;
using net_test::RunUntil;
using net_test::ScriptedHost;
using net_test::Side;
using net_test::When;

// A host "Hal" and a scripted remote "Ann" that answers the handshake.
struct HostAndPeer {
  explicit HostAndPeer(const QString& root) : host("Hal", root) {
    host.Host();
    peer.onLine = [this](const QByteArray& line) {
      if (line.startsWith("IP ")) peer.Send("IP  4. 0. 0\n");
      if (line.startsWith("NM ")) peer.Send(answerToName);
    };
    host.StartSetup();
  }
  bool Greeted() { return host.conn->HandshakeDone(); }

  Side host;
  Peer peer;
  QByteArray answerToName = "NM Ann\n";
  When connect{[this] { return host.Listening(); }, [this] { peer.Connect(host.Port()); }};
};

TEST(Connection, HostGreetsThePeerAndEndsFromTheMenu) {
  TempHome home;
  HostAndPeer rig(home.Path());
  Side& host = rig.host;
  When end([&] { return rig.Greeted(); },
           [&] {
             EXPECT_EQ(host.view.Label(table::TableLabel::StatusMsg), kStartPromptText);
             EXPECT_EQ(host.net.OpponentName, "Ann");
             EXPECT_EQ(host.ThinkDelay, kOnlineThinkDelay);
             host.conn->SetupInternet();  // the menu again: Yes ends it
           });
  ASSERT_TRUE(RunUntil([&] { return host.returned && rig.peer.closed; }, {&host}));

  EXPECT_EQ(rig.peer.got, QByteArray("IP  4. 0. 0^ 1\nNM Hal\nSY  1#Hal Quit!^\nGO\n"));
  EXPECT_EQ(host.BoxTexts(), QStringList{kEndConnectionText});
  EXPECT_EQ(host.net.NetConnIndex, play::kNetOffline);
  EXPECT_EQ(host.net.NetIsHost, play::kNetRemote);
  EXPECT_EQ(host.ThinkDelay, 0.5f);
  EXPECT_EQ(host.view.Label(table::TableLabel::lblMessage), kNewGameText);
  EXPECT_EQ(host.view.panels[1], "Hal");
  EXPECT_EQ(host.sound.played.size(), 1u);  // the join sound
  EXPECT_EQ(host.conn->frmChat(), nullptr);
  // The first opponent is record 1 of a new file, fully reset.
  const QByteArray file = FileBytes(host.NetFilePath());
  ASSERT_EQ(file.size(), play::kNetScoreRecordLength);
  const play::ScoreRec rec = play::ScoreRec::Decode(file);
  EXPECT_EQ(vb::TrimRecord(rec.OpponentName), "Ann");
  EXPECT_EQ(rec.SinglePlayed, 0);
}

TEST(Connection, RemoteAnswersAStalemateInsideItsWait) {
  TempHome home;
  Side remote("Ann", home.Path());
  ScriptedHost scripted;
  ASSERT_TRUE(scripted.Listen());
  remote.Remote([&] { return scripted.Port(); });
  Peer& hostPeer = scripted.peer;
  std::vector<int> gameOversAtRS;
  scripted.onLine = [&](const QByteArray& line) {
    if (line == "NM Ann") hostPeer.Send("EG STALEMATE\n");
    if (line == "EG") {
      gameOversAtRS = remote.hooks.gameOvers;
      hostPeer.Send("RS\n");
    }
    if (line == "RS") hostPeer.Send("GO\n");
  };
  remote.StartSetup();
  ASSERT_TRUE(RunUntil([&] { return remote.returned; }, {&remote}));

  EXPECT_EQ(hostPeer.got, QByteArray("IP  4. 0. 0\nNM Ann\nEG\nRS\n"));
  // Game over ran before the host's "RS" came, and "RS" went back after it.
  EXPECT_EQ(gameOversAtRS, std::vector<int>{play::kNobodyWins});
  EXPECT_TRUE(remote.scores.StalemateDeclared);
  EXPECT_EQ(remote.BoxTexts(), QStringList{kDealerEndedText});
  EXPECT_EQ(remote.net.NetConnIndex, play::kNetOffline);
  EXPECT_EQ(remote.net.HostName, play::kDefaultHostName);
}

// A hostile host floods the remote that joined it, then closes. Whatever it
// sends, no reaction runs inside another's wait, so the waits stay shallow,
// and the close is acted on however much is still waiting: the remote goes
// offline by itself with lines of the flood still unhandled, which it drops;
// a flood past the bound is a violation. One box in every case.
TEST(Connection, AHostsFloodNeitherNestsWaitsNorOutlastsItsClose) {
  constexpr int kCloseBoundMs = 10000;
  const auto times = [](const QByteArray& line, int n) { return line.repeated(n); };
  const QByteArray chat = "SY  7#Hal: hello there, how is the weather at your place?\n";
  const struct {
    const char* what;
    QByteArray lines;
    const char* box;
  } floods[] = {
      {"quit notices", times("SY  5#x Quit!^\n", 60000), kDealerEndedText},
      {"stalemates", times("EG STALEMATE\nWT\n", 5000), nullptr},
      {"chat lines", times(chat, 15000), kDealerEndedText},
      {"7 MB of chat", times(chat, 120000), kFloodText},
  };
  for (const auto& flood : floods) {
    TempHome home;
    Side remote("Ann", home.Path());
    ScriptedHost scripted;
    ASSERT_TRUE(scripted.Listen());
    remote.Remote([&] { return scripted.Port(); });
    Peer& hostPeer = scripted.peer;
    bool flooded = false;
    scripted.onLine = [&](const QByteArray& line) {
      if (line != "NM Ann") return;
      hostPeer.Send(flood.lines);
      hostPeer.Close();
      flooded = true;
    };
    bool offline = false;
    bool outlasted = false;  // still online when the bound after the close ran out
    int deepest = 0;
    int handled = 0;          // the flood's lines the remote took up
    int handledOffline = -1;  // ... when it went offline
    remote.conn->SetLineTap([&](bool sent, const QString&) {
      if (!sent && flooded) ++handled;
    });
    // A remote still online this long after the close is not acting on it:
    // its waits are released so the check ends.
    QTimer afterClose;
    afterClose.setSingleShot(true);
    QObject::connect(&afterClose, &QTimer::timeout, [&] {
      if (offline) return;
      outlasted = true;
      remote.wait.SetExiting(true);
    });
    QTimer probe;  // runs inside every wait too
    QObject::connect(&probe, &QTimer::timeout, [&] {
      deepest = std::max(deepest, remote.wait.Depth());
      if (hostPeer.closed && !afterClose.isActive() && !outlasted && !offline) afterClose.start(kCloseBoundMs);
      if (flooded && !offline && remote.net.NetConnIndex == play::kNetOffline) {
        offline = true;
        handledOffline = handled;
      }
    });
    probe.start(1);
    remote.StartSetup();
    ASSERT_TRUE(RunUntil([&] { return remote.returned && hostPeer.closed && (offline || outlasted); }, {&remote},
                         30000 + kCloseBoundMs))
        << flood.what;
    // The set-up's wait, a reaction's wait and a box's.
    EXPECT_LE(deepest, 3) << flood.what;
    EXPECT_FALSE(outlasted) << flood.what << ": still online " << kCloseBoundMs << " ms after the host closed";
    EXPECT_TRUE(offline) << flood.what;
    // Offline before all of it was handled: the rest was dropped, not
    // worked through first, however long that would take.
    EXPECT_LT(handledOffline, flood.lines.count('\n')) << flood.what;
    ASSERT_EQ(remote.BoxTexts().size(), 1) << flood.what;
    if (flood.box) {
      EXPECT_EQ(remote.BoxTexts()[0], flood.box) << flood.what;
    }
  }
}

TEST(Connection, APeerLeavingBeforeItsNameLeavesTheOpponentsFileAlone) {
  TempHome home;
  HostAndPeer rig(home.Path());
  Side& host = rig.host;
  // Hal has met Bob before.
  QDir().mkpath(host.folders.UserPath + "Net");
  {
    platform::RecordFile f;
    ASSERT_TRUE(f.Open(host.NetFilePath(), play::kNetScoreRecordLength));
    play::ScoreRec bob;
    bob.OpponentName = "Bob";
    bob.SingleWon = 3;
    ASSERT_TRUE(f.Write(1, bob.Encode()));
  }
  ASSERT_TRUE(host.netFile.Open(host.NetFilePath(), play::kNetScoreRecordLength));
  host.net.NetFileOpen = true;
  host.conn->LoadNetPlayerList();
  const QByteArray before = FileBytes(host.NetFilePath());
  rig.peer.onLine = [&](const QByteArray& line) {
    if (line.startsWith("IP ")) {
      rig.peer.Send("IP  4. 0. 0\n");
      rig.peer.Close();
    }
  };
  // The caller never joined: the host listens on until its player ends it.
  const auto callerGone = [&] {
    return rig.peer.closed && host.conn->Winsock1(play::kNetPeerSocket).State() == platform::sckClosed;
  };
  bool listenedOn = false;
  When end(callerGone, [&] {
    listenedOn = host.Listening();
    host.conn->SetupInternet();
  });
  ASSERT_TRUE(RunUntil([&] { return host.returned; }, {&host}));
  host.netFile.Close();
  EXPECT_EQ(FileBytes(host.NetFilePath()), before);
  EXPECT_TRUE(listenedOn);
  EXPECT_EQ(host.net.NetConnIndex, play::kNetOffline);
  EXPECT_EQ(host.BoxTexts(), QStringList{kEndConnectionText});
}

TEST(Connection, EachHostileLineClosesTheConnectionWithOneBox) {
  const QByteArray hostile[] = {
      "PC picPlayer1#picOpponent#3\n",    "GS 99999\n", "TR  7\n", "IP  4. 0. 0\n", "WT 12\n", "SY no number\n",
      QByteArray(kMaxLineBytes + 1, 'x'),
  };
  for (const QByteArray& line : hostile) {
    TempHome home;
    HostAndPeer rig(home.Path());
    When send([&] { return rig.Greeted(); }, [&] { rig.peer.Send(line); });
    ASSERT_TRUE(RunUntil([&] { return rig.host.returned && rig.peer.closed; }, {&rig.host})) << line.left(30).data();
    EXPECT_EQ(rig.host.BoxTexts(), QStringList{kViolationText}) << line.left(30).data();
    EXPECT_TRUE(rig.peer.got.endsWith("NM Hal\nGO\n")) << line.left(30).data();
    EXPECT_EQ(rig.host.net.NetConnIndex, play::kNetOffline);
  }
  // Before the names, only the handshake counts: a caller that breaks it is
  // told "GO" and let go without a box, and the host listens on.
  TempHome home;
  HostAndPeer early(home.Path());
  early.peer.onLine = [&](const QByteArray& line) {
    if (line.startsWith("IP ")) early.peer.Send("RS\n");
  };
  bool listenedOn = false;
  When end([&] { return early.peer.closed; },
           [&] {
             listenedOn = early.host.Listening() && early.host.net.NetConnIndex == play::kNetConnSettingUp;
             early.host.conn->SetupInternet();
           });
  ASSERT_TRUE(RunUntil([&] { return early.host.returned; }, {&early.host}));
  EXPECT_TRUE(listenedOn);
  EXPECT_EQ(early.host.BoxTexts(), QStringList{kEndConnectionText});
  EXPECT_EQ(early.peer.got, QByteArray("IP  4. 0. 0^ 1\nGO\n"));
}

TEST(Connection, QuitThenCloseAsksToSaveOnceWithoutAnErrorBox) {
  TempHome home;
  HostAndPeer rig(home.Path());
  Side& host = rig.host;
  host.ui.QueueAnswer(platform::vbNo);
  When quit([&] { return rig.Greeted(); },
            [&] {
              host.state.CurrentTurn = table::Turn::Local;  // a game on the table
              rig.peer.Send("GO\n");
              rig.peer.Close();
            });
  ASSERT_TRUE(RunUntil([&] { return host.returned; }, {&host}));
  // Let the close that followed arrive too.
  host.wait.Pause(0.2);
  host.wait.SetTimeScale(1);
  host.wait.Pause(0.2);
  EXPECT_EQ(host.BoxTexts(), QStringList{kSaveAtEndText});
  EXPECT_EQ(host.view.Label(table::TableLabel::lblTurn), "");
  EXPECT_EQ(host.net.NetConnIndex, play::kNetOffline);
}

TEST(Connection, AClosedPortFailsTheRemoteOnce) {
  TempHome home;
  Side remote("Ann", home.Path());
  int port = 0;
  {
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    port = probe.serverPort();
  }
  remote.Remote([port] { return port; });
  remote.StartSetup();
  ASSERT_TRUE(RunUntil([&] { return remote.returned; }, {&remote}));
  const QStringList boxes = remote.BoxTexts();
  ASSERT_EQ(boxes.size(), 3);
  EXPECT_TRUE(boxes[0].startsWith("The HOST is not listening!"));
  EXPECT_TRUE(boxes[1].startsWith("Restart Marrowdale to connect correctly.\r\nError  10061"));
  EXPECT_EQ(boxes[2], kConnectionFailedText);
  EXPECT_EQ(remote.net.NetConnIndex, play::kNetOffline);
  EXPECT_EQ(remote.net.NetIsHost, play::kNetRemote);
  EXPECT_EQ(remote.ThinkDelay, 0.5f);
}

TEST(Connection, ATakenPortIsExplainedOnce) {
  TempHome home;
  QTcpServer taken;
  ASSERT_TRUE(taken.listen(QHostAddress::LocalHost, 0));
  Side host("Hal", home.Path());
  host.Host(taken.serverPort());
  host.StartSetup();
  ASSERT_TRUE(RunUntil([&] { return host.returned; }, {&host}));
  const QStringList boxes = host.BoxTexts();
  ASSERT_EQ(boxes.size(), 3);
  EXPECT_TRUE(boxes[0].startsWith("Here's the problem:\r\nError  10048\r\n"));
  EXPECT_EQ(boxes[1], kPortInUseText);
  EXPECT_EQ(boxes[2], kConnectionFailedText);
  EXPECT_EQ(host.net.NetConnIndex, play::kNetOffline);
  EXPECT_EQ(host.ThinkDelay, 0.5f);
}

// A third caller is refused and the host's player reads of it in the chat
// window; nothing waits for the player, so the opponent's next line is taken
// at once, even while some box of the host's is open.
TEST(Connection, TwoProgramsConnectAThirdIsRefusedWithoutHoldingTheirLinesAndEitherEnds) {
  TempHome home;
  Side host("Hal", home.Path());
  Side remote("Ann", home.Path());
  host.Host();
  remote.Remote([&] { return host.Port(); });
  host.StartSetup();
  When join([&] { return host.Listening(); }, [&] { remote.StartSetup(); });
  const auto hostLog = [&] { return host.conn->frmChat() ? host.conn->frmChat()->Log() : QString(); };
  const auto lineShown = [&] { return hostLog().contains("Ann: your move"); };
  host.ui.keepOpen = [&](const QString&) { return !lineShown() && !host.wait.Exiting(); };
  Peer third;
  When call([&] { return host.conn->HandshakeDone() && remote.conn->HandshakeDone(); },
            [&] { third.Connect(host.Port()); });
  QString noted;
  When next([&] { return third.closed; },
            [&] {
              noted = hostLog();
              remote.conn->SendNetMessage("SY  2#Ann: your move", 0);
            });
  When end(lineShown, [&] {
    EXPECT_EQ(third.got, QByteArray("SY  1#MD: So you want to play with us? Sorry I'm busy!\nGO\n"));
    EXPECT_EQ(host.net.NetConnIndex, play::kNetPeerSocket);
    EXPECT_EQ(host.net.OpponentName, "Ann");
    EXPECT_EQ(remote.net.OpponentName, "Hal");
    EXPECT_EQ(remote.view.panels[1], "Ann vs Hal");
    remote.conn->SetupInternet();  // the remote ends it
  });
  ASSERT_TRUE(RunUntil([&] { return host.returned && remote.returned; }, {&host, &remote}));
  EXPECT_TRUE(noted.endsWith(QString("\r\n") + kRefusedCallerText)) << noted.toStdString();
  EXPECT_EQ(host.BoxTexts(), QStringList{QString("Ann") + kQuitText});
  EXPECT_EQ(remote.BoxTexts(), QStringList{kEndConnectionText});
  EXPECT_EQ(host.net.NetConnIndex, play::kNetOffline);
  EXPECT_EQ(remote.net.NetConnIndex, play::kNetOffline);
  EXPECT_EQ(vb::TrimRecord(play::ScoreRec::Decode(FileBytes(remote.NetFilePath())).OpponentName), "Hal");
}

// Callers that connect and say nothing hold no seat: each is greeted, and
// of those from one address a few at a time; the others are told the host
// is busy to make room for the newest, the rest are let go at the limit
// without a word, and no box is shown. A fair caller after them takes the seat, and
// every caller after it, however many call at once, is told the host is
// busy, in one note of the chat window at once and the rest counted later.
TEST(Connection, ASilentCallerIsDroppedAtTheLimitAndEveryOtherCallerIsAnswered) {
  TempHome home;
  Side host("Hal", home.Path(), nullptr, std::chrono::milliseconds(300));
  const auto answered = [](const std::vector<std::unique_ptr<Peer>>& peers) {
    return peers.size() == 20 && std::all_of(peers.begin(), peers.end(), [](const auto& p) { return p->closed; });
  };
  std::vector<std::unique_ptr<Peer>> crowd;
  std::vector<std::unique_ptr<Peer>> late;
  host.Host();
  host.StartSetup();
  Peer silent;
  When call([&] { return host.Listening(); }, [&] { silent.Connect(host.Port()); });
  const auto callTwenty = [&](std::vector<std::unique_ptr<Peer>>& peers) {
    for (int i = 0; i < 20; ++i) {
      peers.push_back(std::make_unique<Peer>());
      peers.back()->Connect(host.Port());
    }
  };
  When crowdCalls([&] { return !silent.got.isEmpty(); }, [&] { callTwenty(crowd); });
  int mostGreeted = 0;
  QTimer probe;
  QObject::connect(&probe, &QTimer::timeout,
                   [&] { mostGreeted = std::max(mostGreeted, host.conn->CallersInHandshake()); });
  probe.start(1);
  Peer fair;
  fair.onLine = [&](const QByteArray& line) {
    if (line.startsWith("IP ")) fair.Send("IP  4. 0. 0\n");
    if (line.startsWith("NM ")) fair.Send("NM Ann\n");
  };
  When next([&] { return silent.closed && answered(crowd); }, [&] { fair.Connect(host.Port()); });
  When lateCalls([&] { return host.conn->HandshakeDone(); }, [&] { callTwenty(late); });
  QString log;
  When end([&] { return answered(late); },
           [&] {
             log = host.conn->frmChat()->Log();
             host.conn->SetupInternet();
           });
  ASSERT_TRUE(RunUntil([&] { return host.returned && answered(late); }, {&host}));

  const QByteArray greeting = "IP  4. 0. 0^ 1\n";
  const QByteArray busy = "SY  1#MD: So you want to play with us? Sorry I'm busy!\nGO\n";
  int crowdedOut = silent.got == greeting + busy;
  for (const auto& p : crowd) crowdedOut += p->got == greeting + busy;
  EXPECT_GE(crowdedOut, 1);
  EXPECT_TRUE(silent.got == greeting || silent.got == greeting + busy) << silent.got.toStdString();
  for (const auto& p : crowd) EXPECT_TRUE(p->got == greeting || p->got == greeting + busy) << p->got.toStdString();
  EXPECT_EQ(mostGreeted, kMaxCallersPerAddress);
  for (const auto& p : late)
    EXPECT_EQ(p->got, QByteArray("SY  1#MD: So you want to play with us? Sorry I'm busy!\nGO\n"));
  EXPECT_TRUE(fair.got.startsWith("IP  4. 0. 0^ 1\nNM Hal\n")) << fair.got.toStdString();
  EXPECT_EQ(host.net.NetConnIndex, play::kNetOffline);
  EXPECT_EQ(host.net.OpponentName, "Ann");
  // The first late caller is noted at once, the others wait to be counted;
  // nothing was said of the silent ones, and no box asked anything.
  EXPECT_EQ(log.count(kRefusedCallerText), 1) << log.toStdString();
  EXPECT_FALSE(log.contains("new opponents")) << log.toStdString();
  EXPECT_EQ(host.BoxTexts(), QStringList{kEndConnectionText});
}

// A caller on its way to the seat is not crowded out: neither one that has
// answered with its version by any number of silent newcomers, nor one
// still silent by the calls of another address, nor by fewer than half as
// many callers as are greeted at once coming after it.
TEST(Connection, NoCrowdOfSilentCallersPutsOutOneThatAnsweredOrOneFromElsewhere) {
  TempHome home;
  // Nobody runs out of time here.
  Side host("Hal", home.Path(), nullptr, std::chrono::minutes(2));
  host.Host();
  host.StartSetup();
  const QByteArray greeting = "IP  4. 0. 0^ 1\n";
  const QByteArray busy = "SY  1#MD: So you want to play with us? Sorry I'm busy!\nGO\n";
  using Peers = std::vector<std::unique_ptr<Peer>>;
  const auto count = [](const Peers& peers, const std::function<bool(const Peer&)>& what) {
    return std::count_if(peers.begin(), peers.end(), [&](const auto& p) { return what(*p); });
  };
  const auto greeted = [](const Peer& p) { return p.got.startsWith("IP "); };
  // The calls go out a few dozen at a time, each batch once the last is
  // answered, as the system queues only so many calls unaccepted.
  QTimer caller;
  std::function<void()> nextBatch;
  const auto call = [&](Peers& peers, int n, const std::function<QString(int)>& from) {
    nextBatch = [&peers, n, from, &host, &count, &greeted] {
      if (count(peers, greeted) < qsizetype(peers.size())) return;
      for (int i = 0; i < 25 && int(peers.size()) < n; ++i) {
        peers.push_back(std::make_unique<Peer>());
        peers.back()->Connect(host.Port(), from(int(peers.size()) - 1));
      }
    };
    nextBatch();
  };
  QObject::connect(&caller, &QTimer::timeout, [&] {
    if (nextBatch) nextBatch();
  });
  caller.start(5);
  Peer answered;  // holds its name back until told
  answered.onLine = [&](const QByteArray& line) {
    if (line.startsWith("IP ")) answered.Send("IP  4. 0. 0\n");
  };
  Peer elsewhere;  // says nothing
  When first([&] { return host.Listening(); },
             [&] {
               answered.Connect(host.Port(), "127.0.0.1");
               elsewhere.Connect(host.Port(), "127.0.0.2");
             });
  // A hundred calls from one address, then as many as are greeted at once,
  // each from an address of its own.
  Peers oneAddress, manyAddresses;
  bool answeredStayed = false;
  When crowd1([&] { return answered.got.contains("NM Hal\n") && elsewhere.got == greeting; },
              [&] { call(oneAddress, 100, [](int) { return QStringLiteral("127.0.0.3"); }); });
  const auto settled = [&](const Peers& peers, std::size_t n) {
    return peers.size() == n && count(peers, greeted) == qsizetype(n);
  };
  bool elsewhereStayed = false;
  int greetedAfterOneAddress = 0;
  When crowd2(
      [&] {
        return settled(oneAddress, 100) &&
               count(oneAddress, [&](const Peer& p) { return p.closed; }) == 100 - kMaxCallersPerAddress;
      },
      [&] {
        elsewhereStayed = !elsewhere.closed && elsewhere.got == greeting;
        greetedAfterOneAddress = host.conn->CallersInHandshake();
        call(manyAddresses, kMaxCallersInHandshake,
             [](int i) { return QString("127.0.%1.%2").arg(1 + i / 200).arg(10 + i % 200); });
      });
  int greetedAfterManyAddresses = 0;
  Peer late;  // silent, with the handshakes full
  When lateCall(
      [&] {
        return settled(manyAddresses, kMaxCallersInHandshake) &&
               host.conn->CallersInHandshake() == kMaxCallersInHandshake;
      },
      [&] {
        greetedAfterManyAddresses = host.conn->CallersInHandshake();
        late.Connect(host.Port(), "127.0.0.4");
      });
  Peers newer;
  constexpr int kNewer = kMaxCallersInHandshake / 2 - 1;
  When newerCall(
      [&] { return late.got == greeting; },
      [&] { call(newer, kNewer, [](int i) { return QString("127.0.%1.%2").arg(5 + i / 200).arg(10 + i % 200); }); });
  bool lateStayed = false;
  When name([&] { return settled(newer, kNewer); },
            [&] {
              lateStayed = !late.closed && late.got == greeting;
              answeredStayed = !answered.closed;
              answered.Send("NM Ann\n");
            });
  When end([&] { return host.conn->HandshakeDone(); }, [&] { host.conn->SetupInternet(); });
  ASSERT_TRUE(RunUntil([&] { return host.returned; }, {&host}, 30000));

  EXPECT_TRUE(elsewhereStayed);
  EXPECT_EQ(greetedAfterOneAddress, 2 + kMaxCallersPerAddress);
  EXPECT_EQ(greetedAfterManyAddresses, kMaxCallersInHandshake);
  EXPECT_TRUE(answeredStayed);
  EXPECT_TRUE(lateStayed);
  EXPECT_TRUE(answered.got.startsWith(greeting + "NM Hal\n")) << answered.got.toStdString();
  EXPECT_EQ(host.net.OpponentName, "Ann");
  // Everyone else heard the host was busy, sooner or later.
  ASSERT_TRUE(RunUntil(
      [&] {
        return elsewhere.closed && late.closed && count(oneAddress, [](const Peer& p) { return !p.closed; }) == 0 &&
               count(manyAddresses, [](const Peer& p) { return !p.closed; }) == 0 &&
               count(newer, [](const Peer& p) { return !p.closed; }) == 0;
      },
      {&host}, 30000));
  EXPECT_EQ(elsewhere.got, greeting + busy);
  EXPECT_EQ(count(oneAddress, [&](const Peer& p) { return p.got == greeting + busy; }), 100);
  EXPECT_EQ(count(manyAddresses, [&](const Peer& p) { return p.got == greeting + busy; }), kMaxCallersInHandshake);
  EXPECT_EQ(late.got, greeting + busy);
  EXPECT_EQ(count(newer, [&](const Peer& p) { return p.got == greeting + busy; }), kNewer);
  EXPECT_EQ(host.BoxTexts(), QStringList{kEndConnectionText});
}

// A caller that hangs up before it has given its name never joined, whether
// it said nothing, half the handshake or quit: the host drops it without a
// word, well inside the handshake's limit, and listens on, and a fair caller
// after it is answered.
TEST(Connection, ACallerThatHangsUpInTheHandshakeIsDroppedAndTheHostListensOn) {
  TempHome home;
  Side host("Hal", home.Path());
  host.conn = std::make_unique<Connection>(host.Parts(host.hooks));
  host.conn->SetListenAddress("127.0.0.1");
  host.Host();
  host.StartSetup();
  const QByteArray hangUps[] = {"", "IP  4. 0. 0\n", "IP  4. 0. 0\nSY  1#Ann Quit!^\nGO\n"};
  std::vector<std::unique_ptr<Peer>> callers;
  bool listenedOn = true;
  Peer fair;
  fair.onLine = [&](const QByteArray& line) {
    if (line.startsWith("IP ")) fair.Send("IP  4. 0. 0\n");
    if (line.startsWith("NM ")) fair.Send("NM Ann\n");
  };
  const auto callerGone = [&] {
    return callers.back()->closed && host.conn->Winsock1(play::kNetPeerSocket).State() == platform::sckClosed;
  };
  QTimer next;
  QObject::connect(&next, &QTimer::timeout, [&] {
    if (callers.empty() ? !host.Listening() : !callerGone()) return;
    if (!callers.empty())
      listenedOn = listenedOn && host.Listening() && host.net.NetConnIndex == play::kNetConnSettingUp;
    if (callers.size() == std::size(hangUps)) {
      next.stop();
      fair.Connect(host.Port());
      return;
    }
    callers.push_back(std::make_unique<Peer>());
    Peer* caller = callers.back().get();
    caller->onLine = [caller, say = hangUps[callers.size() - 1]](const QByteArray& line) {
      if (!line.startsWith("IP ")) return;
      if (!say.isEmpty()) caller->Send(say);
      caller->Close();
    };
    caller->Connect(host.Port());
  });
  next.start(5);
  When end([&] { return host.conn->HandshakeDone(); }, [&] { host.conn->SetupInternet(); });
  ASSERT_TRUE(RunUntil([&] { return host.returned; }, {&host}));

  EXPECT_TRUE(listenedOn);
  ASSERT_EQ(callers.size(), std::size(hangUps));
  for (const auto& caller : callers) EXPECT_TRUE(caller->got.startsWith("IP  4. 0. 0^ 1\n"));
  EXPECT_TRUE(fair.got.startsWith("IP  4. 0. 0^ 1\nNM Hal\n")) << fair.got.toStdString();
  EXPECT_EQ(host.net.OpponentName, "Ann");
  EXPECT_EQ(host.BoxTexts(), QStringList{kEndConnectionText});
  EXPECT_EQ(host.net.NetConnIndex, play::kNetOffline);
}

// A host that takes the call and says nothing is given up at the limit:
// the joining side says so and goes offline by itself.
TEST(Connection, ASilentHostIsGivenUpAtTheLimit) {
  TempHome home;
  Side remote("Ann", home.Path());
  remote.conn = std::make_unique<Connection>(remote.Parts(remote.hooks), nullptr, std::chrono::milliseconds(300));
  QTcpServer silent;
  ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
  remote.Remote([&] { return int(silent.serverPort()); });
  remote.StartSetup();
  ASSERT_TRUE(RunUntil([&] { return remote.returned; }, {&remote}));
  EXPECT_EQ(remote.BoxTexts(), (QStringList{kHostSilentText, kConnectionFailedText}));
  EXPECT_EQ(remote.net.NetConnIndex, play::kNetOffline);
  EXPECT_EQ(remote.net.NetIsHost, play::kNetRemote);
  EXPECT_EQ(remote.ThinkDelay, 0.5f);
  EXPECT_EQ(remote.conn->frmChat(), nullptr);
}

// A host that greeted the joiner and then takes another caller, or makes
// room for newer ones, tells it so: the joining player reads that the host
// is busy and may be tried again, and is offline, asked nothing more.
TEST(Connection, AJoinerLetGoAfterItsGreetingIsToldTheHostIsBusy) {
  // Right after the greeting, after the joiner's version, after its name.
  for (const char* after : {"", "IP  4. 0. 0", "NM Ann"}) {
    TempHome home;
    Side remote("Ann", home.Path());
    ScriptedHost scripted;
    ASSERT_TRUE(scripted.Listen());
    remote.Remote([&] { return scripted.Port(); });
    const auto refuse = [&] {
      scripted.peer.Send("SY  1#MD: So you want to play with us? Sorry I'm busy!\nGO\n");
      scripted.peer.Close();
    };
    QObject::connect(&scripted.server, &QTcpServer::newConnection, [&] {
      if (!*after) refuse();
    });
    scripted.onLine = [&](const QByteArray& line) {
      if (*after && line == after) refuse();
    };
    remote.StartSetup();
    ASSERT_TRUE(RunUntil([&] { return remote.returned; }, {&remote})) << after;
    EXPECT_EQ(remote.BoxTexts(), QStringList{kBusyRefusedText}) << after;
    EXPECT_EQ(remote.net.NetConnIndex, play::kNetOffline);
    EXPECT_EQ(remote.conn->frmChat(), nullptr);
  }
}

// A host's flood of slaps plays a few and logs the rest as they came; a
// flood of links asks one question.
TEST(Connection, APeersSlapsPlayAFewAndItsLinksAskOnce) {
  TempHome home;
  Side remote("Ann", home.Path());
  QDir().mkpath(remote.folders.UserPath + "Sounds");
  QFile slap(remote.folders.UserPath + "Sounds/slap.wav");
  ASSERT_TRUE(slap.open(QIODevice::WriteOnly));
  slap.close();
  ScriptedHost scripted;
  ASSERT_TRUE(scripted.Listen());
  remote.Remote([&] { return scripted.Port(); });
  constexpr int kSlaps = 40, kLinks = 20;
  scripted.onLine = [&](const QByteArray& line) {
    if (line != "NM Ann") return;
    QByteArray flood;
    for (int i = 1; i <= kSlaps; ++i) flood += "SY " + QByteArray::number(i) + "#Hal: <SMACK>\n";
    for (int i = 1; i <= kLinks; ++i)
      flood += "SY " + QByteArray::number(i) + "#Hal: http://example.org/" + QByteArray::number(i) + "\n";
    scripted.peer.Send(flood + "SY  99#Hal: done\n");
  };
  remote.ui.QueueAnswer(platform::vbNo);  // the link is not opened
  QString log;
  When end([&] { return remote.conn->frmChat() && remote.conn->frmChat()->Log().endsWith("Hal: done"); },
           [&] {
             log = remote.conn->frmChat()->Log();
             remote.conn->SetupInternet();
           });
  remote.StartSetup();
  ASSERT_TRUE(RunUntil([&] { return remote.returned && end.Done(); }, {&remote}));

  // Each slap either played or shows in the log.
  const qsizetype played =
      std::count(remote.sound.played.begin(), remote.sound.played.end(), remote.folders.UserPath + "Sounds/slap.wav");
  EXPECT_GE(played, 1);
  EXPECT_LT(played, kSlaps);
  EXPECT_EQ(played + log.count("\r\nHal: <SMACK>"), kSlaps) << log.toStdString();
  EXPECT_TRUE(log.contains("\r\nHal: http://example.org/20\r\nHal: done"));
  QStringList boxes = remote.BoxTexts();
  EXPECT_EQ(boxes.removeAll(kEndConnectionText), 1);
  ASSERT_EQ(boxes.size(), 1);
  EXPECT_EQ(boxes[0], "Hal: sent a web link:\r\n\r\nhttp://example.org/1\r\n\r\nOpen it in your browser?");
}

}  // namespace
}  // namespace net
