#include <gtest/gtest.h>

#include <QLineEdit>

#include "net/chat_lines.h"
#include "net/connection.h"
#include "net/net_rig.h"
#include "platform/system.h"
#include "support/temp_home.h"

namespace net {
namespace {

using net_test::Peer;
using net_test::RunUntil;
using net_test::Side;
using net_test::When;

struct RecordingOpener : platform::UrlOpener {
  bool Open(const QString& address) override {
    opened << address;
    return true;
  }
  QStringList opened;
};

QStringList Titles(const Side& side) {
  QStringList titles;
  for (const auto& b : side.ui.boxes) titles << b.title;
  return titles;
}

TEST(ChatWire, LinesBothWaysAndLinksOnlyWhenTheHostAgrees) {
  TempHome home;
  Side host("Hal", home.Path());
  RecordingOpener opener;
  host.conn->SetUrlOpener(&opener);
  host.Host();
  Peer peer;
  peer.onLine = [&](const QByteArray& line) {
    if (line.startsWith("IP ")) peer.Send("IP  4. 0. 0\n");
    if (line.startsWith("NM ")) peer.Send("NM Ann\n");
  };
  host.StartSetup();
  When connect([&] { return host.Listening(); }, [&] { peer.Connect(host.Port()); });
  host.ui.QueueAnswer(platform::vbNo);
  host.ui.QueueAnswer(platform::vbYes);
  When talk([&] { return host.conn->HandshakeDone(); }, [&] {
    // The second link comes while the first question is open: only logged.
    peer.Send("SY  3#Ann: hello\nSY  4#Ann: http://example.org/a\nSY  5#Ann: HTTPX:evil\n"
              "SY  6#Ann: https://example.org/c\n");
    host.conn->frmChat()->Text2->setText(" hi there ");
    host.conn->Command1_Click();
  });
  When again([&] { return host.ui.boxes.size() == 1; }, [&] { peer.Send("SY  7#Ann: https://example.org/b\n"); });
  QString log;
  When end([&] { return host.ui.boxes.size() == 2; }, [&] {
    log = host.conn->frmChat()->Log();
    host.conn->SayGoodbye();
  });
  ASSERT_TRUE(RunUntil([&] { return host.returned && peer.closed; }, {&host}));

  EXPECT_TRUE(peer.got.contains("NM Hal\nSY  1#Hal: hi there\nSY  2#Hal Quit!^\nGO\n")) << peer.got.toStdString();
  EXPECT_TRUE(log.contains("\r\nHal: hi there")) << log.toStdString();
  EXPECT_TRUE(log.contains("\r\nAnn: hello\r\nAnn: http://example.org/a\r\nAnn: HTTPX:evil\r\nAnn: https://example.org/c\r\nAnn: https://example.org/b"))
      << log.toStdString();
  EXPECT_EQ(Titles(host), (QStringList{kLinkTitle, kLinkTitle}));
  EXPECT_TRUE(host.ui.boxes[0].text.contains("http://example.org/a"));
  EXPECT_EQ(opener.opened, QStringList{"https://example.org/b"});
  EXPECT_EQ(host.sound.played.front(), host.folders.DataPath + kJoinSoundFile);
  EXPECT_EQ(host.sound.played.back(), host.folders.DataPath + kChatAlertSound);
}

// The host's quit line, its "GO" and its close: the remote, with a game on
// the table, is asked to save once.
TEST(ChatWire, TheHostsQuitAsksTheRemoteToSaveOnce) {
  TempHome home;
  Side remote("Ann", home.Path());
  QTcpServer server;
  ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
  remote.Remote([&] { return int(server.serverPort()); });
  Peer hostPeer;
  QObject::connect(&server, &QTcpServer::newConnection, [&] {
    hostPeer.Adopt(server.nextPendingConnection());
    hostPeer.Send("IP  4. 0. 0^ 1\n");
  });
  hostPeer.onLine = [&](const QByteArray& line) {
    if (line == "IP  4. 0. 0") hostPeer.Send("NM Bob\n");
    if (line == "NM Ann") {
      remote.state.CurrentTurn = 1;
      hostPeer.Send("SY  8#Bob Quit!^\nGO\n");
      hostPeer.Close();
    }
  };
  remote.StartSetup();
  ASSERT_TRUE(RunUntil([&] { return remote.returned && remote.net.NetConnIndex == play::kNetOffline; }, {&remote}));
  remote.wait.SetTimeScale(1);
  remote.wait.Pause(0.2);
  const QStringList boxes = remote.BoxTexts();
  EXPECT_EQ(boxes.count(kSaveAtEndText), 1);
  EXPECT_EQ(boxes.count(kDealerEndedText), 1);
  EXPECT_EQ(boxes.size(), 2);
}

}  // namespace
}  // namespace net
