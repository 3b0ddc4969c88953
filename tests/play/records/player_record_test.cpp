#include "play/records/player_record.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/recordfile.h"
#include "platform/vb.h"
#include "support/golden_bytes.h"

namespace play {
namespace {

PlayerRecord KnownPlayer() {
  PlayerRecord r;
  r.Name = "Jos\u00e9";
  r.TextFontSize = 14;
  r.BackgroundName = "Slate.jpg";
  r.CurrentStructure = 1003;
  r.ThinkLevel = 5;
  r.AnimSpeed = 270;
  r.SoundOn = vb::True;
  r.NoIntroMusic = vb::False;
  r.CardSoundSet = kCardSoundMetallic;
  r.CardDeck = 4;
  r.CardBack = 2;
  r.FontColor = 0x00FFFF00;
  r.MatColor = 0x00336600;
  r.Reserved86 = QByteArray("\x01\x02\x03\x04", 4);
  r.WoodPlaceHolders = vb::True;
  r.Reserved92 = QByteArray("\xA0\xB0\xC0\xD0\xE0\xF0", 6);
  r.FirstPlayerRule = kFirstPlayerCoinToss;
  r.Scores.SinglePlayed = 31;
  r.Scores.BestWin = 260;
  r.Scores.MatchGames = 2;
  r.Scores.OppMatchScore = 77;
  r.Scores.OpponentName = "";
  r.Scores.AvatarFile = "";
  r.Scores.GameTime = 0.25;
  return r;
}

QByteArray KnownPlayerBytes() {
  QByteArray b(176, '\0');
  golden::PutText(b, 0, 20, QByteArray("Jos\xE9"));
  golden::Put16(b, 20, 14);
  golden::PutText(b, 22, 40, "Slate.jpg");
  golden::Put16(b, 62, 1003);
  golden::Put16(b, 64, 5);
  golden::Put16(b, 66, 270);
  golden::Put16(b, 68, -1);
  golden::Put16(b, 70, 0);
  golden::Put16(b, 72, 1);
  golden::Put16(b, 74, 4);
  golden::Put16(b, 76, 2);
  golden::Put32(b, 78, 0x00FFFF00);
  golden::Put32(b, 82, 0x00336600);
  golden::PutBytes(b, 86, QByteArray("\x01\x02\x03\x04", 4));
  golden::Put16(b, 90, -1);
  golden::PutBytes(b, 92, QByteArray("\xA0\xB0\xC0\xD0\xE0\xF0", 6));
  golden::Put16(b, 98, 2);
  golden::Put16(b, 100, 31);   // SinglePlayed
  golden::Put16(b, 104, 260);  // BestWin
  golden::Put16(b, 116, 2);    // MatchGames
  golden::Put16(b, 124, 77);   // OppMatchScore
  golden::PutText(b, 126, 20, "");
  golden::PutText(b, 146, 20, "");
  golden::PutF64(b, 168, 0.25);
  return b;
}

TEST(PlayerRecord, EncodesEveryFieldAtItsOffset) { EXPECT_EQ(KnownPlayer().Encode(), KnownPlayerBytes()); }

TEST(PlayerRecord, DecodesEveryFieldWithTheNestedScores) {
  const PlayerRecord r = PlayerRecord::Decode(KnownPlayerBytes());
  EXPECT_EQ(r.Name, QString("Jos\u00e9").leftJustified(20, ' '));
  EXPECT_EQ(vb::TrimRecord(r.BackgroundName), "Slate.jpg");
  EXPECT_EQ(r.Reserved86, QByteArray("\x01\x02\x03\x04", 4));
  EXPECT_EQ(r.Reserved92, QByteArray("\xA0\xB0\xC0\xD0\xE0\xF0", 6));
  EXPECT_EQ(r.Scores, ScoreRec::Decode(KnownPlayerBytes().mid(100)));
  EXPECT_EQ(r.Encode(), KnownPlayerBytes());
}

TEST(PlayerRecord, RoundTripsAnyBytesIncludingReserved) {
  const QByteArray bytes = golden::Patterned(kPlayerRecordLength);
  const PlayerRecord r = PlayerRecord::Decode(bytes);
  EXPECT_EQ(r.Encode(), bytes);
  EXPECT_EQ(PlayerRecord::Decode(r.Encode()), r);

  // Text fields keep every byte, also those Windows-1252 leaves undefined.
  QByteArray high = bytes;
  for (int i = 0; i < 20; ++i) high[i] = static_cast<char>(0x80 + i);
  for (int i = 0; i < 40; ++i) high[22 + i] = static_cast<char>(i < 8 ? i : 0xD8 + i);
  EXPECT_EQ(PlayerRecord::Decode(high).Encode(), high);
}

TEST(PlayerRecord, ShortOrZeroInputIsTheZeroRecord) {
  EXPECT_EQ(PlayerRecord::Decode(QByteArray()), PlayerRecord{});
  EXPECT_EQ(PlayerRecord::Decode(KnownPlayerBytes().left(175)), PlayerRecord{});
  const QByteArray zeros(kPlayerRecordLength, '\0');
  const PlayerRecord zero = PlayerRecord::Decode(zeros);
  EXPECT_EQ(zero, PlayerRecord{});
  EXPECT_EQ(vb::TrimRecord(zero.Name), "");  // a never-written record holds no player
  EXPECT_EQ(vb::TrimRecord(zero.BackgroundName), "");
  EXPECT_EQ(PlayerRecord{}.Encode(), zeros);
}

TEST(PlayerRecord, TextIsCutOrBlankPaddedInWindows1252) {
  PlayerRecord r;
  r.Name = "Fran\u00e7oise-Ang\u00e9lique Dupont";
  r.BackgroundName = "None";
  const QByteArray b = r.Encode();
  EXPECT_EQ(b.mid(0, 20), QByteArray("Fran\xE7oise-Ang\xE9lique "));
  EXPECT_EQ(b.mid(22, 40), QByteArray("None").leftJustified(40, ' '));
  EXPECT_EQ(b.size(), kPlayerRecordLength);
}

// Record 11 reuses ThinkLevel as LastPlayer and five score integers as the
// window placement; changing them must leave every other byte as read.
TEST(PlayerRecord, SettingsRecordFieldsChangeOnlyTheirOwnBytes) {
  const QByteArray read = golden::Patterned(kPlayerRecordLength);
  PlayerRecord settings = PlayerRecord::Decode(read);
  settings.SetLastPlayer(7);
  settings.SetWindowState(kWindowStateMaximized);
  settings.SetWindowHeight(9000);
  settings.SetWindowWidth(12000);
  settings.SetWindowTop(-60);
  settings.SetWindowLeft(1500);
  QByteArray expected = read;
  golden::Put16(expected, 64, 7);
  golden::Put16(expected, 116, 2);
  golden::Put16(expected, 118, 9000);
  golden::Put16(expected, 120, 12000);
  golden::Put16(expected, 122, -60);
  golden::Put16(expected, 124, 1500);
  EXPECT_EQ(settings.Encode(), expected);
  const PlayerRecord back = PlayerRecord::Decode(expected);
  EXPECT_EQ(back.LastPlayer(), 7);
  EXPECT_EQ(back.WindowState(), kWindowStateMaximized);
  EXPECT_EQ(back.WindowHeight(), 9000);
  EXPECT_EQ(back.WindowWidth(), 12000);
  EXPECT_EQ(back.WindowTop(), -60);
  EXPECT_EQ(back.WindowLeft(), 1500);
}

TEST(PlayerRecord, PlayersFileRoundTripsThroughRecordFile) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath(kPlayersFileName);
  PlayerRecord settings;
  settings.SetLastPlayer(3);
  const PlayerRecord player = PlayerRecord::Decode(KnownPlayerBytes());
  {
    platform::RecordFile file;
    ASSERT_TRUE(file.Open(path, kPlayerRecordLength));
    ASSERT_TRUE(file.Write(3, player.Encode()));
    ASSERT_TRUE(file.Write(kSettingsRecord, settings.Encode()));
  }
  EXPECT_EQ(QFile(path).size(), kSettingsRecord * kPlayerRecordLength);
  platform::RecordFile file;
  ASSERT_TRUE(file.Open(path, kPlayerRecordLength, true));
  EXPECT_EQ(PlayerRecord::Decode(file.Read(3)), player);
  EXPECT_EQ(PlayerRecord::Decode(file.Read(kSettingsRecord)).LastPlayer(), 3);
  // Records skipped over and records past the end hold no player.
  EXPECT_EQ(PlayerRecord::Decode(file.Read(1)), PlayerRecord{});
  EXPECT_EQ(PlayerRecord::Decode(file.Read(kTemplateRecord)), PlayerRecord{});
}

}  // namespace
}  // namespace play
