#pragma once
// One side of an online game without its window: the connection object
// with the state it is given, a recording table view, scripted boxes and
// a folder of its own; and a scripted peer on a bare socket. Every run is
// held by a watchdog that releases all waits.

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include "media/folders.h"
#include "net/connection.h"
#include "platform/recordfile.h"
#include "platform/sound.h"
#include "platform/ui.h"
#include "platform/wait.h"
#include "platform/winsock.h"
#include "play/faces/network_play.h"
#include "play/records/player_record.h"
#include "play/records/score_records.h"
#include "play/state/net_state.h"
#include "support/fake_sound_channel.h"
#include "support/fake_ui.h"
#include "table/busy_guard.h"
#include "table/fake_table_view.h"
#include "table/game_state.h"

namespace net_test {

struct RecordingHooks : play::NetGameEnd, play::NetProgramHooks, play::ScoresWindow {
  std::vector<int> gameOvers;
  int saves = 0;
  void GameOver(int winner) override { gameOvers.push_back(winner); }
  void CheckMatchComplete() override {}
  void SaveGameFromMenu() override { ++saves; }
  void ShowScores(int) override {}
  bool ScoresOpen() const override { return false; }
  void UnloadScoresWindow() override {}
  void ShowHelpKeyword(const QString&) override {}
};

// Boxes that, like real modal boxes, let the events run while they are
// open, so that what arrives meanwhile is seen.
class ModalFakeUi : public platform::FakeUi {
 public:
  int MsgBox(const QString& text, int style, const QString& title) override {
    QEventLoop loop;
    QTimer::singleShot(30, &loop, &QEventLoop::quit);
    loop.exec();
    // A box the player leaves open for a while.
    while (keepOpen && keepOpen(text)) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    return FakeUi::MsgBox(text, style, title);
  }
  std::function<bool(const QString& text)> keepOpen;
};

struct Side {
  // mainWindow: the window a deferred close closes; none by default.
  // callerLimit: how long a caller of this side as host may take.
  // joins: what the program would join to the connection; none by default.
  Side(const QString& name, const QString& root, QWidget* mainWindow = nullptr,
       std::chrono::milliseconds callerLimit = net::kCallerHandshakeLimit, net::Connection::Joins joins = {})
      : PlayerName(name) {
    folders.UserPath = root + "/" + name + "/User/";
    folders.DataPath = root + "/" + name + "/Data/";
    QDir().mkpath(folders.UserPath);
    QDir().mkpath(folders.DataPath);
    netScores.File = &netFile;
    store.Player = &player;
    store.CurrentPlayer = &currentPlayer;
    store.PlayersFile = &playersFile;
    store.NetConnIndex = &net.NetConnIndex;
    store.Net = &netScores;
    wait.SetTimeScale(0);
    conn = std::make_unique<net::Connection>(Parts(hooks, mainWindow), nullptr, net::kHandshakeLimit, callerLimit,
                                             std::move(joins));
    conn->SetListenAddress("127.0.0.1");
  }
  // What this side's program hands network play, with the given hooks
  // (the game's end and the windows', both answered by one object); the
  // scores window is this side's recording one.
  template <class Hooks>
  play::NetPlayParts Parts(Hooks& programHooks, QWidget* mainWindow = nullptr) {
    return {net,   scores, store,   netScores,  state,      view,         mainWindow,   ui,   wait,
            sound, guard,  folders, PlayerName, ThinkDelay, programHooks, programHooks, hooks};
  }
  void Host(int port = 0) {
    conn->SetConnectDialog([port] { return net::ConnectChoice{true, true, QString(), port}; });
  }
  void Remote(std::function<int()> port) {
    conn->SetConnectDialog([port] { return net::ConnectChoice{true, false, "127.0.0.1", port()}; });
  }
  // SetupInternet from the event loop; returned tells when it came back.
  void StartSetup() {
    QTimer::singleShot(0, conn.get(), [this] {
      conn->SetupInternet();
      returned = true;
    });
  }
  bool Listening() { return conn->Winsock1(0).State() == platform::sckListening; }
  int Port() { return conn->Winsock1(0).LocalPort(); }
  QStringList BoxTexts() const {
    QStringList texts;
    for (const auto& b : ui.boxes) texts << b.text;
    return texts;
  }
  QString NetFilePath() const { return folders.UserPath + "Net/" + PlayerName + ".net"; }

  QString PlayerName;
  media::Folders folders;
  play::NetState net;
  play::ScoreState scores;
  play::PlayerRecord player;
  std::int16_t currentPlayer = 0;
  platform::RecordFile playersFile;
  platform::RecordFile netFile;
  play::NetScoreFile netScores;
  play::ScoreStore store;
  play::PlayState state;
  testing_support::FakeTableView view;
  ModalFakeUi ui;
  platform::WaitService wait;
  platform::FakeSoundChannel sound;
  table::BusyGuard guard;
  float ThinkDelay = 0.5f;
  RecordingHooks hooks;
  std::unique_ptr<net::Connection> conn;
  bool returned = false;
};

// Runs events until done holds; the watchdog ends every wait of the sides
// and gives up after ten seconds.
inline bool RunUntil(const std::function<bool()>& done, std::vector<Side*> sides, int ms = 10000) {
  bool fired = false;
  QTimer watchdog;
  watchdog.setSingleShot(true);
  QObject::connect(&watchdog, &QTimer::timeout, [&] {
    fired = true;
    for (Side* s : sides) s->wait.SetExiting(true);
  });
  watchdog.start(ms);
  QTimer poll;
  poll.start(5);
  while (!done() && !fired) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  return done() && !fired;
}

// Runs the action once, from the event loop, when the condition holds.
class When : public QObject {
 public:
  When(std::function<bool()> condition, std::function<void()> action)
      : condition_(std::move(condition)), action_(std::move(action)) {
    connect(&timer_, &QTimer::timeout, this, [this] {
      if (done_ || !condition_()) return;
      done_ = true;
      timer_.stop();
      action_();
    });
    timer_.start(5);
  }
  bool Done() const { return done_; }

 private:
  std::function<bool()> condition_;
  std::function<void()> action_;
  QTimer timer_;
  bool done_ = false;
};

// Host "Hal" and remote "Ann", each a player holding a Side, connected over
// 127.0.0.1 once the events run.
template <class Player>
struct TwoPlayers {
  explicit TwoPlayers(const QString& root) : host("Hal", root), remote("Ann", root) {
    host.side.Host();
    remote.side.Remote([this] { return host.side.Port(); });
    host.side.StartSetup();
  }
  bool Connected() { return host.side.conn->HandshakeDone() && remote.side.conn->HandshakeDone(); }
  // A game was started earlier: both connection set-ups have ended their waits.
  void GameStarted() {
    host.side.conn->EndConnectionWait();
    remote.side.conn->EndConnectionWait();
  }
  Player host;
  Player remote;
  When join{[this] { return host.side.Listening(); }, [this] { remote.side.StartSetup(); }};
};

// A peer on a bare socket: records every byte it gets and answers lines
// from a script.
class Peer : public QObject {
 public:
  explicit Peer(QTcpSocket* socket = nullptr) { Adopt(socket ? socket : new QTcpSocket(this)); }
  void Adopt(QTcpSocket* socket) {
    socket_ = socket;
    socket_->setParent(this);
    connect(socket_, &QTcpSocket::readyRead, this, [this] {
      const QByteArray bytes = socket_->readAll();
      got += bytes;
      pending_ += bytes;
      for (qsizetype end; (end = pending_.indexOf('\n')) >= 0;) {
        const QByteArray line = pending_.left(end);
        pending_.remove(0, end + 1);
        if (onLine) onLine(line);
      }
    });
    connect(socket_, &QTcpSocket::disconnected, this, [this] { closed = true; });
  }
  // from: the loopback address it calls from (any 127.x.y.z stands for
  // another computer); the system's choice when empty.
  void Connect(int port, const QString& from = QString()) {
    if (!from.isEmpty()) socket_->bind(QHostAddress(from));
    socket_->connectToHost("127.0.0.1", static_cast<quint16>(port));
  }
  void Send(const QByteArray& bytes) {
    socket_->write(bytes);
    socket_->flush();
  }
  void Close() { socket_->disconnectFromHost(); }
  bool Connected() const { return socket_->state() == QAbstractSocket::ConnectedState; }

  QByteArray got;
  bool closed = false;
  std::function<void(const QByteArray&)> onLine;

 private:
  QTcpSocket* socket_ = nullptr;
  QByteArray pending_;
};

// A host "Hal" on a bare socket for a remote side to join: it does the
// handshake ("IP" out, the caller's "IP" answered with "NM Hal") and hands
// every line the caller sends to `onLine`.
struct ScriptedHost {
  ScriptedHost() {
    QObject::connect(&server, &QTcpServer::newConnection, [this] {
      peer.Adopt(server.nextPendingConnection());
      peer.Send("IP  4. 0. 0^ 1\n");
    });
    peer.onLine = [this](const QByteArray& line) {
      if (line == "IP  4. 0. 0") peer.Send("NM Hal\n");
      if (onLine) onLine(line);
    };
  }
  bool Listen() { return server.listen(QHostAddress::LocalHost, 0); }
  int Port() const { return int(server.serverPort()); }

  QTcpServer server;
  Peer peer;
  std::function<void(const QByteArray&)> onLine;
};

}  // namespace net_test
