// Two programs' connection objects in one process, chatting over
// 127.0.0.1: the lines on the wire, what each side shows, links, the
// host's quit, and the opponent's avatar kept for the next connection.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>

#include "net/chat_lines.h"
#include "net/connection.h"
#include "net/net_rig.h"
#include "platform/system.h"
#include "platform/vb.h"
#include "support/temp_home.h"
#include "support/test_files.h"

namespace net {
namespace {

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

// Stands between the remote and the host, passing the bytes on and keeping
// a copy of each direction.
class Relay : public QObject {
 public:
  explicit Relay(std::function<int()> hostPort) {
    server_.listen(QHostAddress::LocalHost, 0);
    connect(&server_, &QTcpServer::newConnection, this, [this, hostPort] {
      remote_ = server_.nextPendingConnection();
      host_ = new QTcpSocket(this);
      Pipe(remote_, host_, toHost);
      Pipe(host_, remote_, toRemote);
      host_->connectToHost(QHostAddress::LocalHost, static_cast<quint16>(hostPort()));
    });
  }
  int Port() const { return server_.serverPort(); }
  QByteArray toHost, toRemote;

 private:
  void Pipe(QTcpSocket* from, QTcpSocket* to, QByteArray& copy) {
    auto pass = [from, to, &copy] {
      const QByteArray bytes = from->readAll();
      copy += bytes;
      to->write(bytes);
    };
    connect(from, &QTcpSocket::readyRead, this, pass);
    connect(from, &QTcpSocket::disconnected, this, [pass, to] {
      pass();
      to->disconnectFromHost();
    });
  }
  QTcpServer server_;
  QTcpSocket* remote_ = nullptr;
  QTcpSocket* host_ = nullptr;
};

void Type(Side& side, const QString& text) {
  side.conn->frmChat()->Text2->setText(text);
  side.conn->Command1_Click();
}

void Release(QWidget* widget, Qt::MouseButton button, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), widget->mapToGlobal(QPointF(5, 5)), button,
                      Qt::NoButton, modifiers);
  QCoreApplication::sendEvent(widget, &release);
}

QString StoredAvatar(const Side& side) {
  QFile file(side.NetFilePath());
  if (!file.open(QIODevice::ReadOnly)) return "(no file)";
  return vb::TrimRecord(play::ScoreRec::Decode(file.read(play::kNetScoreRecordLength)).AvatarFile);
}

TEST(ChatWire, TwoProgramsChatBothWaysAndTheHostsQuitAsksTheRemoteToSaveOnce) {
  TempHome home;
  Side bob("Bob", home.Path());
  Side ann("Ann", home.Path());
  WriteFile(bob.folders.UserPath + "Sounds/slap.wav");
  WriteFile(bob.folders.UserPath + "Sounds/applause.wav");
  RecordingOpener opener;
  bob.conn->SetUrlOpener(&opener);
  Relay relay([&] { return bob.Port(); });
  bob.Host();
  ann.Remote([&] { return relay.Port(); });
  bob.StartSetup();
  When join([&] { return bob.Listening(); }, [&] { ann.StartSetup(); });
  bob.ui.QueueAnswer(platform::vbNo);
  bob.ui.QueueAnswer(platform::vbYes);
  When talk([&] { return bob.conn->HandshakeDone() && ann.conn->HandshakeDone(); },
            [&] {
              Type(bob, " hi there ");
              for (const char* line : {"<SLAP>", "WAV applause", "hello", "http://example.org/a", "HTTPX:evil"})
                Type(ann, line);
            });
  // A link that came while the first question was open would only be logged.
  When second([&] { return bob.ui.boxes.size() == 1; }, [&] { Type(ann, "https://example.org/b"); });
  QString bobLog, annLog;
  bool slapShown = false;
  When quit([&] { return bob.ui.boxes.size() == 2; },
            [&] {
              bobLog = bob.conn->frmChat()->Log();
              annLog = ann.conn->frmChat()->Log();
              slapShown = !bob.conn->frmChat()->imgSlap->isHidden();
              ann.state.CurrentTurn = table::Turn::Local;  // a game on the remote's table
              bob.conn->SayGoodbye();
            });
  ASSERT_TRUE(RunUntil([&] { return bob.returned && ann.returned; }, {&bob, &ann}));
  ann.wait.SetTimeScale(1);
  ann.wait.Pause(0.2);

  EXPECT_TRUE(
      relay.toHost.contains("SY  1#Ann: <SMACK>\nSY  2#Ann: WAV applause.wav\nSY  3#Ann: hello\n"
                            "SY  4#Ann: http://example.org/a\nSY  5#Ann: HTTPX:evil\n"))
      << relay.toHost.toStdString();
  EXPECT_TRUE(relay.toRemote.contains("NM Bob\nSY  1#Bob: hi there\n")) << relay.toRemote.toStdString();
  EXPECT_TRUE(relay.toRemote.endsWith("SY  2#Bob Quit!^\nGO\n")) << relay.toRemote.toStdString();

  EXPECT_TRUE(bobLog.contains("\r\nBob: hi there")) << bobLog.toStdString();
  EXPECT_TRUE(
      bobLog.endsWith("\r\nAnn: hello\r\nAnn: http://example.org/a\r\nAnn: HTTPX:evil\r\n"
                      "Ann: https://example.org/b"))
      << bobLog.toStdString();
  EXPECT_TRUE(annLog.contains("\r\nBob: hi there")) << annLog.toStdString();
  EXPECT_TRUE(annLog.contains("\r\nSent: You slapped your opponent! \r\nSent: WAV applause\r\nAnn: hello"))
      << annLog.toStdString();
  EXPECT_TRUE(slapShown);
  const QStringList played(bob.sound.played.begin(), bob.sound.played.end());
  EXPECT_TRUE(played.contains(bob.folders.UserPath + "Sounds/slap.wav"));
  EXPECT_TRUE(played.contains(bob.folders.UserPath + "Sounds/applause.wav"));

  ASSERT_EQ(bob.ui.boxes.size(), 2u);
  EXPECT_EQ(bob.ui.boxes[0].title, kLinkTitle);
  EXPECT_TRUE(bob.ui.boxes[0].text.contains("http://example.org/a"));
  EXPECT_TRUE(bob.ui.boxes[1].text.contains("https://example.org/b"));
  EXPECT_EQ(opener.opened, QStringList{"https://example.org/b"});

  // The quit line and the "GO" may be handled in either order: one save
  // question all the same.
  QStringList annBoxes = ann.BoxTexts();
  annBoxes.sort();
  EXPECT_EQ(annBoxes, (QStringList{kDealerEndedText, kSaveAtEndText}));
  EXPECT_EQ(ann.net.NetConnIndex, play::kNetOffline);
}

// A picture with a 25-character name, chosen for the opponent, is kept in
// his record under a name that fits and shows again at the next connection;
// Ctrl with the left button shows the default and leaves the record as it
// was.
TEST(ChatWire, TheOpponentsAvatarShowsAgainAtTheNextConnection) {
  TempHome home;
  Side bob("Bob", home.Path());
  Side ann("Ann", home.Path());
  bob.folders.AppPath = QStringLiteral(MARROWDALE_SOURCE_DIR "/");
  const QString picture = home.Path() + "/Pictures/my_opponents_portrait.jpg";
  QDir().mkpath(home.Path() + "/Pictures");
  QImage face(40, 50, QImage::Format_RGB32);
  face.fill(Qt::darkCyan);
  ASSERT_TRUE(face.save(picture, "JPG"));
  bob.ui.files.push_back(platform::ChosenFile{picture, "my_opponents_portrait.jpg"});
  const QString defaultAvatar = QStringLiteral(MARROWDALE_SOURCE_DIR "/Data/Avatars/~MD^.jpg");
  const QString kept = bob.folders.UserPath + "Avatars/my_opponents_por.jpg";
  bob.Host();
  ann.Remote([&] { return bob.Port(); });

  QStringList shown;  // what the host's window showed, step by step
  QStringList stored;
  auto connectAndThen = [&](std::function<void()> then) {
    bob.returned = ann.returned = false;
    bob.StartSetup();
    When join([&] { return bob.Listening(); }, [&] { ann.StartSetup(); });
    When act([&] { return bob.conn->HandshakeDone() && ann.conn->HandshakeDone(); },
             [&] {
               then();
               ann.conn->SetupInternet();  // the remote ends it
             });
    return RunUntil([&] { return bob.returned && ann.returned; }, {&bob, &ann});
  };
  ASSERT_TRUE(connectAndThen([&] {
    FrmChat* chat = bob.conn->frmChat();
    shown << chat->ShownAvatar();
    Release(chat->ImgAvatar, Qt::RightButton);
    shown << chat->ShownAvatar();
    stored << StoredAvatar(bob);
    Release(chat->ImgAvatar, Qt::LeftButton, Qt::ControlModifier);
    shown << chat->ShownAvatar();
    stored << StoredAvatar(bob);
  }));
  ASSERT_TRUE(connectAndThen([&] { shown << bob.conn->frmChat()->ShownAvatar(); }));

  EXPECT_EQ(shown, (QStringList{defaultAvatar, kept, defaultAvatar, kept}));
  EXPECT_EQ(stored, (QStringList{"my_opponents_por.jpg", "my_opponents_por.jpg"}));
  EXPECT_EQ(QImage(kept).size(), QSize(40, 50));
}

}  // namespace
}  // namespace net
