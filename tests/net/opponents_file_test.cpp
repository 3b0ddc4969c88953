#include "net/opponents_file.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QRadioButton>

#include "net/frm_connect.h"
#include "net/line_protocol.h"
#include "net/net_rig.h"
#include "platform/vb.h"
#include "support/fake_ui.h"
#include "support/temp_home.h"

namespace net {
namespace {

using net_test::Side;

struct Opponents {
  explicit Opponents(const QString& root) : side("Hal", root) { side.net.NetConnIndex = play::kNetPeerSocket; }
  OpponentsFile File() {
    return OpponentsFile{side.net, side.netScores, side.scores, side.store, side.folders, side.PlayerName};
  }
  OpponentRecord Meet(const QString& name) {
    side.net.OpponentName = CleanPeerName(name);
    QString avatar;
    OpponentsFile f = File();
    return OpenNetPlayerFile(f, avatar, side.view);
  }
  QString NameOf(int n) { return vb::TrimRecord(play::ScoreRec::Decode(side.netFile.Read(n)).OpponentName); }
  Side side;
};

TEST(OpponentsFile, OpponentsAreFoundAndAddedOnce) {
  TempHome home;
  Opponents o(home.Path());
  EXPECT_EQ(o.Meet("Ann"), OpponentRecord::InFile);
  EXPECT_TRUE(o.side.net.NetFileOpen);
  EXPECT_EQ(o.side.netScores.NetScoreRecNo, 1);
  EXPECT_EQ(o.side.netFile.RecordCount(), 1);
  EXPECT_EQ(vb::TrimRecord(o.side.scores.CurrentScores.OpponentName), "Ann");

  o.side.scores.CurrentScores.SingleWon = 4;
  play::SaveScoreRec(o.side.scores, o.side.store);
  o.Meet("Bob");
  EXPECT_EQ(o.side.netScores.NetScoreRecNo, 2);
  // Letter case aside, Ann is met again; her score comes back.
  o.Meet("ANN");
  EXPECT_EQ(o.side.netScores.NetScoreRecNo, 1);
  EXPECT_EQ(o.side.scores.CurrentScores.SingleWon, 4);
  EXPECT_EQ(o.NameOf(1), "Ann");

  // A long name is cut before it is compared, so it is one opponent.
  const QString longName(30, 'z');
  o.Meet(longName);
  o.Meet(longName);
  EXPECT_EQ(o.side.netFile.RecordCount(), 3);
  EXPECT_EQ(o.side.net.NetPlayerNames, (QStringList{"Ann", "Bob", QString(20, 'z')}));
}

TEST(OpponentsFile, ABlankRecordEndsTheList) {
  TempHome home;
  Opponents o(home.Path());
  o.Meet("Ann");
  o.Meet("Bob");
  o.Meet("Cy");
  play::ScoreRec blank;
  ASSERT_TRUE(o.side.netFile.Write(2, blank.Encode()));
  OpponentsFile f = o.File();
  LoadNetPlayerList(f);
  EXPECT_EQ(o.side.net.NetPlayerNames, QStringList{"Ann"});
  // The next new opponent takes the place after the list.
  o.Meet("Dee");
  EXPECT_EQ(o.NameOf(2), "Dee");
  EXPECT_EQ(o.NameOf(3), "Cy");
}

TEST(OpponentsFile, WithoutAFileTheScoresStayInMemory) {
  TempHome home;
  Opponents o(home.Path());
  o.side.folders.UserPath = home.Path() + "/missing/folder/";  // Net cannot be made
  o.side.scores.CurrentScores.SingleWon = 9;                   // the player's own record
  EXPECT_EQ(o.Meet("Ann"), OpponentRecord::InMemory);
  EXPECT_EQ(o.side.netScores.NetScoreRecNo, 0);
  EXPECT_EQ(o.side.scores.CurrentScores.SingleWon, 0);
  EXPECT_EQ(vb::TrimRecord(o.side.scores.CurrentScores.OpponentName), "Ann");
}

TEST(ConnectionDialog, AddressAndPortChecks) {
  EXPECT_EQ(CheckHostAddress(kExampleAddress), AddressCheck::NotValid);  // 21 characters
  EXPECT_EQ(CheckHostAddress("   "), AddressCheck::NotValid);
  EXPECT_EQ(CheckHostAddress("1.2.3.4"), AddressCheck::Ok);
  EXPECT_EQ(CheckHostAddress(" 192.168.100.200 "), AddressCheck::Ok);  // 15 after trimming
  EXPECT_EQ(CheckHostAddress("192.168.100.2000"), AddressCheck::NotValid);
  EXPECT_EQ(CheckHostAddress("1.2.3"), AddressCheck::NotDotted);
  EXPECT_EQ(CheckHostAddress(".1.2.3"), AddressCheck::NotDotted);  // a leading dot does not count
  EXPECT_EQ(CheckHostAddress("1..2.3"), AddressCheck::Ok);

  EXPECT_EQ(ParsePort("1001"), 1001);
  EXPECT_EQ(ParsePort(" 65535 "), 65535);
  EXPECT_EQ(ParsePort("65536"), 0);
  EXPECT_EQ(ParsePort("0"), 0);
  EXPECT_EQ(ParsePort("1001abc"), 0);
  EXPECT_EQ(ParsePort("-5"), 0);
  EXPECT_EQ(ParsePort(""), 0);

  EXPECT_EQ(HostAddressLog({"10.0.0.2", "192.168.1.9"}),
            "Give your opponent one of these addresses. Behind a router, give the router's Internet address "
            "instead; the router must pass the port on to this computer.\r\n\r\nHOST IP ADDRESS:\r\n10.0.0.2"
            "\r\n192.168.1.9");
}

TEST(ConnectionDialog, ConfirmsOnlyWhatPassesTheChecks) {
  platform::FakeUi ui;
  FrmConnect dialog("Ann", ui, nullptr, nullptr);
  dialog.Option2->click();
  dialog.cmdConnect_Click();  // the example text, unchanged
  dialog.Text2->setText("1.2.3");
  dialog.cmdConnect_Click();
  dialog.Text2->setText("127.0.0.1");
  dialog.Text3->setText("99999");
  dialog.cmdConnect_Click();
  ASSERT_EQ(ui.boxes.size(), 3u);
  EXPECT_EQ(ui.boxes[0].title, kLanGameTitle);
  EXPECT_EQ(ui.boxes[1].title, kAddressDotsTitle);
  EXPECT_EQ(ui.boxes[2].text, kPortText);
  EXPECT_FALSE(dialog.Choice().confirmed);
  dialog.Text3->setText("2001");
  dialog.cmdConnect_Click();
  EXPECT_TRUE(dialog.Choice().confirmed);
  EXPECT_FALSE(dialog.Choice().host);
  EXPECT_EQ(dialog.Choice().hostIP, "127.0.0.1");
  EXPECT_EQ(dialog.Choice().port, 2001);
}

}  // namespace
}  // namespace net
