#include "net/line_protocol.h"

#include <gtest/gtest.h>

namespace net {
namespace {

const QString kVersion = NetVersionText(4, 0, 0);

TEST(LineProtocol, LinesOnTheWireAndBack) {
  EXPECT_EQ(kVersion, " 4. 0. 0");
  EXPECT_EQ(IpLine(kVersion, 1), "IP  4. 0. 0^ 1");
  EXPECT_EQ(IpAnswer(kVersion), "IP  4. 0. 0");
  EXPECT_EQ(NmLine("Ann"), "NM Ann");
  EXPECT_EQ(GsLine(0), "GS 0");
  EXPECT_EQ(GsLine(150), "GS 150");
  EXPECT_EQ(TrLine(2), "TR  2");
  EXPECT_EQ(PcLine(kPicPlayer, 1, kPicOpponent, 3), "PC picPlayer#1#picOpponent#3");
  EXPECT_EQ(EgLine(kEndStalemate), "EG STALEMATE");
  EXPECT_EQ(EgLine(QString()), "EG");
  EXPECT_EQ(ChatLine(7, "Ann: hi"), "SY  7#Ann: hi");
  // A payload never breaks the line.
  EXPECT_EQ(Line(NmLine("Ann\r\nGO")), QByteArray("NM Ann  GO\n"));

  QString deck;
  for (int i = 1; i <= kDeckFields; ++i) AppendNetNumber(deck, (i - 1) % 52 + 1);
  const QString dk = DkLine(deck);
  EXPECT_TRUE(dk.startsWith("DK # 1# 2#"));

  // Each side reads the other's half of every exchange.
  NetMessage ip = ParseNetLine(IpLine(kVersion, 1), false);
  EXPECT_EQ(ip.kind, kMsgIP);
  EXPECT_EQ(ip.version, "40");
  EXPECT_EQ(ParseNetLine(IpAnswer(kVersion), true).kind, kMsgIP);
  NetMessage nm = ParseNetLine("NM Ann", true);
  EXPECT_EQ(nm.kind, kMsgNM);
  EXPECT_EQ(nm.text, "Ann");
  EXPECT_EQ(ParseNetLine(GsLine(0), false).value, 0);
  EXPECT_EQ(ParseNetLine(GsLine(150), false).value, 150);
  EXPECT_EQ(ParseNetLine("GS", true).kind, kMsgGS);
  NetMessage d = ParseNetLine(dk, false);
  EXPECT_EQ(d.kind, kMsgDK);
  EXPECT_TRUE(d.text.startsWith("# 1#"));
  std::int16_t pos = 0;
  EXPECT_EQ(NextNetNumber(d.text, pos), 1);
  EXPECT_EQ(NextNetNumber(d.text, pos), 2);
  EXPECT_EQ(ParseNetLine(TrLine(2), false).value, 2);
  NetMessage pc = ParseNetLine(PcLine(kPicTableau, 8, kPicCenter, 1), true);
  EXPECT_EQ(pc.kind, kMsgPC);
  EXPECT_EQ(pc.fromPile, kPicTableau);
  EXPECT_EQ(pc.fromIndex, 8);
  EXPECT_EQ(pc.toPile, kPicCenter);
  EXPECT_EQ(pc.toIndex, 1);
  NetMessage ack = ParseNetLine("PC", false);
  EXPECT_EQ(ack.kind, kMsgPC);
  EXPECT_FALSE(ack.hasMove);
  EXPECT_EQ(ParseNetLine("WT", true).kind, kMsgWT);
  EXPECT_EQ(ParseNetLine("RC 3# 12# 40#", false).text, "3# 12# 40#");
  EXPECT_EQ(ParseNetLine("RS", true).kind, kMsgRS);
  EXPECT_EQ(ParseNetLine("EG ENDMATCH", false).text, "ENDMATCH");
  EXPECT_EQ(ParseNetLine("EG", true).kind, kMsgEG);
  EXPECT_EQ(ParseNetLine("GO", false).kind, kMsgGO);
  EXPECT_TRUE(ParseNetLine(ChatLine(1, "x"), true).chat);
  // A tag this program does not know is ignored, not refused.
  const NetMessage unknown = ParseNetLine("ZZ whatever", true);
  EXPECT_EQ(unknown.kind, kMsgNone);
  EXPECT_FALSE(unknown.violation);
}

TEST(LineProtocol, HostileLinesAreViolations) {
  struct Case {
    const char* line;
    bool host;
  };
  const Case cases[] = {
      {"PC picPlayer1#picOpponent#3", true},     // no "#" after the pile
      {"PC picPlayer#9#picOpponent#3", true},    // index past 8
      {"PC picHand#1#picOpponent#3", false},     // no such pile
      {"PC picPlayer#1#picOpponent#3#4", true},  // a field too many
      {"GS 99999", false},                       // past 16 bits
      {"GS 61", false},                          // below the match range
      {"GS 1001", false},
      {"GS -5", false},
      {"TR  7", false},
      {"TR 1", false},    // the digit without its blank
      {"NM  \t ", true},  // no name left
      {"GOX", true},
      {"GO now", false},
      {"IP 4.0.0", false},
      {"IP  4. 0. 0", false},    // the host's line carries its socket
      {"IP  4. 0. 0^ 1", true},  // the remote's answer does not
      {"IP  99999. 0. 0", true},
      {"DK # 1# 2#", false},  // not a deck
      {"DK", false},
      {"DK # 1#", true},  // the host only gets the answer
      {"EG WHATEVER", false},
      {"EG STALEMATE", true},  // only the host announces
      {"RC 1#x#", false},
      {"WT 12", true},
  };
  for (const Case& c : cases) EXPECT_TRUE(ParseNetLine(c.line, c.host).violation) << c.line;
}

TEST(LineProtocol, VersionDigitsAndTableauOrders) {
  EXPECT_EQ(PeerVersionDigits("IP  4. 1. 0^ 1"), "41");
  EXPECT_EQ(PeerVersionDigits("IP  3. 9. 2"), "39");

  TabOrder current;
  GetTabOrder("40", true, current);
  for (int i = 1; i <= 8; ++i) EXPECT_EQ(current.Out[i], 9 - i);
  GetTabOrder("41", false, current);
  for (int i = 1; i <= 8; ++i) EXPECT_EQ(current.Out[i], 9 - i);

  TabOrder host;
  GetTabOrder("39", true, host);
  EXPECT_EQ(host.Out, (std::array<std::int16_t, 9>{0, 5, 6, 7, 8, 4, 3, 2, 1}));
  // What the host sends as pile n comes back as n.
  for (int i = 1; i <= 8; ++i) EXPECT_EQ(host.In[host.Out[i]], i);
  TabOrder remote;
  GetTabOrder("39", false, remote);
  EXPECT_EQ(remote.Out, (std::array<std::int16_t, 9>{0, 1, 2, 3, 4, 8, 7, 6, 5}));
  EXPECT_EQ(remote.In, remote.Out);
}

TEST(LineProtocol, NamesAreCleanedAndCut) {
  EXPECT_EQ(CleanPeerName("  Ann\x01\x7f "), "Ann");
  EXPECT_EQ(CleanPeerName(QString(30, 'x')), QString(20, 'x'));
  EXPECT_EQ(CleanPeerName("\t\r"), "");
  // Cut to 20 first, so blanks at the cut do not stay.
  EXPECT_EQ(CleanPeerName(QString(19, 'a') + "  b"), QString(19, 'a'));
}

TEST(LineSplitter, CutsLinesInOrderAcrossPieces) {
  LineSplitter s;
  QByteArray line;
  ASSERT_TRUE(s.Append("NM A"));
  EXPECT_FALSE(s.TakeLine(line));  // a piece without its line feed waits
  ASSERT_TRUE(s.Append("nn\nGO\nPC"));
  ASSERT_TRUE(s.TakeLine(line));
  EXPECT_EQ(line, "NM Ann");
  ASSERT_TRUE(s.TakeLine(line));
  EXPECT_EQ(line, "GO");
  EXPECT_FALSE(s.TakeLine(line));  // the unfinished tail stays
  ASSERT_TRUE(s.Append("\r\nWT\n"));
  ASSERT_TRUE(s.TakeLine(line));
  EXPECT_EQ(line, "PC");  // CR LF is accepted
  ASSERT_TRUE(s.TakeLine(line));
  EXPECT_EQ(line, "WT");
  EXPECT_TRUE(s.Empty());

  // Each socket has its own buffer.
  LineSplitter a, b;
  ASSERT_TRUE(a.Append("NM "));
  ASSERT_TRUE(b.Append("GO\n"));
  EXPECT_FALSE(a.HasLine());
  EXPECT_TRUE(b.HasLine());
}

TEST(LineSplitter, ALineOver16KiBIsRefused) {
  LineSplitter fits;
  EXPECT_TRUE(fits.Append(QByteArray(kMaxLineBytes, 'x') + "\n"));
  LineSplitter tail;
  EXPECT_TRUE(tail.Append(QByteArray(kMaxLineBytes, 'x')));
  EXPECT_FALSE(tail.Append("y"));  // the tail grew past the limit
  EXPECT_TRUE(tail.Overflowed());
  LineSplitter inside;
  EXPECT_FALSE(inside.Append("GO\n" + QByteArray(kMaxLineBytes + 1, 'x') + "\nGO\n"));
}

}  // namespace
}  // namespace net
