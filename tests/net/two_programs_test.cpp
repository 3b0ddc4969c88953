// Two real copies of the program play an online game over 127.0.0.1, each
// headless with a home of its own, driven by a command script: connect,
// deal, moves and the end of a turn both ways, a chat line each way, quit.
// Both traces of the lines on the wire, both tables and both opponents
// files must tell the same story.

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QThread>
#include <map>
#include <string>

#include "media/folders.h"
#include "net/connection.h"
#include "net/script_driver.h"
#include "platform/recordfile.h"
#include "play/records/player_record.h"
#include "play/records/players.h"
#include "play/records/score_record.h"

namespace {

constexpr int kHardTimeoutMs = 60000;

QString ReadText(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

bool WriteText(const QString& path, const QString& text) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text.toUtf8()) == text.toUtf8().size();
}

// One copy of the program: its own home, data and config folders, and a
// player of the given name already made.
struct Copy {
  Copy(const QString& root, const QString& player) : name(player), dir(root + "/" + player) {
    for (const char* sub : {"home", "share", "config", "runtime"}) QDir().mkpath(dir + "/" + sub);
    QFile::setPermissions(dir + "/runtime", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  }

  QProcessEnvironment Environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", dir + "/home");
    env.insert("XDG_DATA_HOME", dir + "/share");
    env.insert("XDG_CONFIG_HOME", dir + "/config");
    env.insert("XDG_RUNTIME_DIR", dir + "/runtime");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert(net::kTestScriptVariable, dir + "/script.txt");
    return env;
  }

  // The folders the program will use, found by the folders module under
  // this copy's data home; the shipped seed put in place and the player
  // made in it, quick to slide cards, as the last player.
  bool MakePlayer() {
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", (dir + "/share").toLocal8Bit());
    const auto found = media::SetUpFolders(QFileInfo(MARROWDALE_EXECUTABLE).absolutePath() + "/");
    qputenv("XDG_DATA_HOME", saved);
    if (!found || !media::CopySeedFiles(*found).ok()) return false;
    folders = *found;
    platform::RecordFile players;
    if (!players.Open(folders.DataPath + play::kPlayersFileName, play::kPlayerRecordLength)) return false;
    play::PlayerRecord rec = play::PlayerRecord::Decode(players.Read(play::kTemplateRecord));
    rec.Name = name.leftJustified(play::kNameWidth, u' ');
    rec.AnimSpeed = play::kMinAnimSpeed;
    rec.SoundOn = 0;
    rec.NoIntroMusic = -1;
    const bool ok = players.Write(play::kFirstPlayerRecord, rec.Encode()) && players.Flush() &&
                    play::SaveSettingsRecord(players, play::kFirstPlayerRecord, play::WindowShown::Normal, {}) ==
                        play::PlayerFileResult::Ok;
    players.Close();
    return ok;
  }

  void Start(const QString& script) {
    ASSERT_TRUE(WriteText(dir + "/script.txt", script));
    process.setProcessEnvironment(Environment());
    process.setWorkingDirectory(dir + "/home");
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(MARROWDALE_EXECUTABLE, {});
    ASSERT_TRUE(process.waitForStarted(10000));
  }

  QString TracePath() const { return dir + "/trace.txt"; }
  QString TablePath() const { return dir + "/table.txt"; }
  QString Trace() const { return ReadText(TracePath()); }

  // The names in this player's opponents file.
  QStringList Opponents() const {
    platform::RecordFile file;
    QStringList names;
    if (!file.Open(folders.UserPath + play::kNetFolderName + "/" + name + ".net", play::kNetScoreRecordLength, true))
      return names;
    for (int n = 1; n <= file.RecordCount(); ++n) names << play::ScoreRec::Decode(file.Read(n)).OpponentName.trimmed();
    return names;
  }

  QString name;
  QString dir;
  media::Folders folders;
  QProcess process;
};

// The game lines of a trace in order, each "> LINE" (sent) or "< LINE"
// (received); chat lines apart.
struct Wire {
  QStringList game;  // in order, both ways
  QStringList sent;  // every line sent, chat included
  QStringList received;
  QStringList chatIn;
};

Wire ReadWire(const QString& trace) {
  Wire w;
  for (const QString& line : trace.split('\n')) {
    const bool out = line.startsWith("> ");
    if (!out && !line.startsWith("< ")) continue;
    const QString text = line.mid(2);
    (out ? w.sent : w.received) << text;
    if (text.startsWith("SY")) {
      if (!out) w.chatIn << text;
    } else {
      w.game << line;
    }
  }
  return w;
}

// Each move a side makes is answered by a bare "PC"; when a "WT" follows
// from the mover, the peer answers with its own. Counts the moves sent and
// the turns this side ended.
struct MoveCount {
  int moves = 0;
  int turnsEnded = 0;
};
MoveCount CheckExchanges(const QStringList& game, const QString& side) {
  MoveCount count;
  for (int i = 0; i < game.size(); ++i) {
    if (!game[i].startsWith("> PC ")) continue;
    ++count.moves;
    if (game[i].endsWith("#picOpponent#3")) ++count.turnsEnded;
    EXPECT_EQ(game.value(i + 1), "< PC") << side.toStdString() << ": move " << game[i].toStdString() << " not answered";
    if (game.value(i + 2) == "> WT") {
      EXPECT_EQ(game.value(i + 3), "< WT") << side.toStdString() << ": WT after " << game[i].toStdString();
    }
  }
  // The "WT"s come in pairs: as many sent as received.
  EXPECT_EQ(game.count("> WT"), game.count("< WT")) << side.toStdString();
  return count;
}

// A dumped table as pile name -> contents ("turn" -> whose turn and the
// turn count).
using Table = std::map<std::string, std::string>;
Table ReadTable(const QString& text) {
  Table piles;
  for (const QString& line : text.split('\n', Qt::SkipEmptyParts)) {
    const QStringList words = line.split(' ');
    const int nameWords = line.startsWith("side ") ? 3 : line.startsWith("turn ") ? 1 : 2;
    piles[words.mid(0, nameWords).join(' ').toStdString()] = words.mid(nameWords).join(' ').toStdString();
  }
  return piles;
}

// The other program's view of a table: sides exchanged, Tableau pile i seen
// as 9 - i, the turn 1 and 2 swapped.
Table Mirrored(const Table& t) {
  Table m;
  for (const auto& [key, value] : t) {
    QStringList name = QString::fromStdString(key).split(' ');
    QStringList v = QString::fromStdString(value).split(' ');
    if (name[0] == "side") name[1] = name[1] == "0" ? "1" : "0";
    if (name[0] == "tableau") name[1] = QString::number(9 - name[1].toInt());
    if (name[0] == "turn") v[0] = v[0] == "1" ? "2" : v[0] == "2" ? "1" : v[0];
    m[name.join(' ').toStdString()] = v.join(' ').toStdString();
  }
  return m;
}

int FreePort() {
  QTcpServer probe;
  if (!probe.listen(QHostAddress::LocalHost, 0)) return 0;
  return probe.serverPort();
}

void Finish(Copy& a, Copy& b, QElapsedTimer& clock) {
  while (clock.elapsed() < kHardTimeoutMs &&
         (a.process.state() != QProcess::NotRunning || b.process.state() != QProcess::NotRunning)) {
    a.process.waitForFinished(50);
    b.process.waitForFinished(50);
  }
  for (Copy* c : {&a, &b}) {
    if (c->process.state() == QProcess::NotRunning) continue;
    c->process.kill();
    c->process.waitForFinished(5000);
    ADD_FAILURE() << c->name.toStdString() << " still ran after " << kHardTimeoutMs / 1000 << " s; its trace:\n"
                  << c->Trace().toStdString();
  }
}

TEST(TwoPrograms, PlayTurnsBothWaysChatAndQuitOverLoopback) {
  QTemporaryDir root;
  ASSERT_TRUE(root.isValid());
  Copy host(root.path(), "Ann");
  Copy remote(root.path(), "Bob");
  ASSERT_TRUE(host.MakePlayer());
  ASSERT_TRUE(remote.MakePlayer());
  const int port = FreePort();
  ASSERT_GT(port, 1023);
  const QString p = QString::number(port);

  // Whoever moves first, each side ends two turns. Then the one who moved
  // second waits for the other's third turn; both tell they are settled,
  // write their tables, and the host quits.
  const QString settle =
      "play 8\n"
      "end\n"
      "play 8\n"
      "end &\n"
      "wait turns-ended 2\n";
  host.Start("trace " + host.TracePath() +
             "\n"
             "answer end this Marrowdale Online Game yes\n"
             "host " +
             p +
             " 127.0.0.1 &\n"
             "wait listening\n"
             "wait connected\n"
             "newgame\n" +
             settle +
             "chat Ann is settled\n"
             "wait chat Bob is settled\n"
             "dump " +
             host.TablePath() +
             "\n"
             "wait chat Bob has the table\n"
             "quit\n"
             "exit\n");
  QElapsedTimer clock;
  clock.start();
  while (!host.Trace().contains("# waited for listening") && host.process.state() == QProcess::Running &&
         clock.elapsed() < kHardTimeoutMs)
    QThread::msleep(50);
  remote.Start("trace " + remote.TracePath() +
               "\n"
               "connect 127.0.0.1 " +
               p +
               " &\n"
               "wait deal-button\n"
               "deal\n" +
               settle +
               "chat Bob is settled\n"
               "wait chat Ann is settled\n"
               "dump " +
               remote.TablePath() +
               "\n"
               "chat Bob has the table\n"
               "wait offline\n"
               "exit\n");
  Finish(host, remote, clock);

  for (Copy* c : {&host, &remote}) {
    const QString output = QString::fromLocal8Bit(c->process.readAll());
    EXPECT_EQ(c->process.exitStatus(), QProcess::NormalExit) << c->name.toStdString();
    EXPECT_EQ(c->process.exitCode(), 0) << c->name.toStdString() << ":\n"
                                        << c->Trace().toStdString() << output.toStdString();
    // Neither side found the other's lines unusable, nor refused a move.
    EXPECT_FALSE(c->Trace().contains(net::kViolationText)) << c->name.toStdString();
    EXPECT_FALSE(output.contains("refused for pile")) << c->name.toStdString() << ":\n" << output.toStdString();
  }

  // What one sent, the other received, in order.
  const Wire h = ReadWire(host.Trace());
  const Wire r = ReadWire(remote.Trace());
  EXPECT_EQ(h.sent, r.received);
  EXPECT_EQ(r.sent, h.received);
  const MoveCount hostMoves = CheckExchanges(h.game, "host");
  const MoveCount remoteMoves = CheckExchanges(r.game, "remote");
  EXPECT_GE(hostMoves.turnsEnded, 2);
  EXPECT_GE(remoteMoves.turnsEnded, 2);
  EXPECT_GT(hostMoves.moves, hostMoves.turnsEnded);
  EXPECT_GT(remoteMoves.moves, remoteMoves.turnsEnded);
  EXPECT_EQ(r.chatIn.filter("Ann: Ann is settled").size(), 1) << r.chatIn.join('\n').toStdString();
  EXPECT_EQ(h.chatIn.filter("Bob: Bob is settled").size(), 1) << h.chatIn.join('\n').toStdString();

  const Table hostTable = ReadTable(ReadText(host.TablePath()));
  const Table remoteTable = ReadTable(ReadText(remote.TablePath()));
  ASSERT_EQ(hostTable.size(), 1 + 6 + 16);
  EXPECT_EQ(Mirrored(hostTable), remoteTable);

  EXPECT_TRUE(host.Opponents().contains("Bob")) << host.Opponents().join(',').toStdString();
  EXPECT_TRUE(remote.Opponents().contains("Ann")) << remote.Opponents().join(',').toStdString();
  if (::testing::Test::HasFailure()) {
    for (Copy* c : {&host, &remote})
      ADD_FAILURE() << c->name.toStdString() << "'s trace:\n" << c->Trace().toStdString();
  }
}

}  // namespace
