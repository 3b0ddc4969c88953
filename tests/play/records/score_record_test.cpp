#include "play/records/score_record.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/recordfile.h"
#include "platform/vb.h"
#include "support/golden_bytes.h"

namespace play {
namespace {

ScoreRec KnownOpponent() {
  ScoreRec r;
  r.SinglePlayed = 12;
  r.SingleWon = 7;
  r.BestWin = 214;
  r.BestLoss = 180;
  r.MatchesPlayed = 3;
  r.MatchesWon = 2;
  r.MatchTarget = 500;
  r.MatchInProgress = 1;
  r.MatchGames = 4;
  r.MatchWins = 3;
  r.OppMatchWins = 1;
  r.MatchScore = 421;
  r.OppMatchScore = -5;
  r.OpponentName = "Ren\u00e9e";
  r.AvatarFile = "owl.jpg";
  r.ExtraFlag = -1;
  r.GameTime = 0.0229166666666667;  // 0:33:00
  return r;
}

QByteArray KnownOpponentBytes() {
  QByteArray b(76, '\0');
  golden::Put16(b, 0, 12);
  golden::Put16(b, 2, 7);
  golden::Put16(b, 4, 214);
  golden::Put16(b, 6, 180);
  golden::Put16(b, 8, 3);
  golden::Put16(b, 10, 2);
  golden::Put16(b, 12, 500);
  golden::Put16(b, 14, 1);
  golden::Put16(b, 16, 4);
  golden::Put16(b, 18, 3);
  golden::Put16(b, 20, 1);
  golden::Put16(b, 22, 421);
  golden::Put16(b, 24, -5);
  golden::PutText(b, 26, 20,
                  QByteArray("Ren\xE9"
                             "e"));
  golden::PutText(b, 46, 20, "owl.jpg");
  golden::Put16(b, 66, -1);
  golden::PutF64(b, 68, 0.0229166666666667);
  return b;
}

TEST(ScoreRecord, EncodesEveryFieldAtItsOffset) { EXPECT_EQ(KnownOpponent().Encode(), KnownOpponentBytes()); }

TEST(ScoreRecord, DecodesEveryFieldKeepingTextAsStored) {
  ScoreRec r = ScoreRec::Decode(KnownOpponentBytes());
  EXPECT_EQ(r.OpponentName, QString("Ren\u00e9e").leftJustified(20, ' '));
  EXPECT_EQ(vb::TrimRecord(r.AvatarFile), "owl.jpg");
  ScoreRec expected = KnownOpponent();
  expected.OpponentName = expected.OpponentName.leftJustified(20, ' ');
  expected.AvatarFile = expected.AvatarFile.leftJustified(20, ' ');
  EXPECT_EQ(r, expected);
}

TEST(ScoreRecord, RoundTripsAnyBytes) {
  const QByteArray bytes = golden::Patterned(kScoreRecordLength);
  EXPECT_EQ(ScoreRec::Decode(bytes).Encode(), bytes);
  // Extra bytes beyond the record are ignored.
  EXPECT_EQ(ScoreRec::Decode(bytes + "tail").Encode(), bytes);
}

TEST(ScoreRecord, ShortOrZeroInputIsTheZeroRecordWithBlankNames) {
  EXPECT_EQ(ScoreRec::Decode(QByteArray()), ScoreRec{});
  EXPECT_EQ(ScoreRec::Decode(KnownOpponentBytes().left(75)), ScoreRec{});
  const QByteArray zeros(kScoreRecordLength, '\0');
  const ScoreRec zero = ScoreRec::Decode(zeros);
  EXPECT_EQ(zero, ScoreRec{});
  EXPECT_EQ(vb::TrimRecord(zero.OpponentName), "");
  EXPECT_EQ(vb::TrimRecord(zero.AvatarFile), "");
  EXPECT_EQ(ScoreRec{}.Encode(), zeros);
}

TEST(ScoreRecord, LongNamesAreCutToTheirField) {
  ScoreRec r;
  r.OpponentName = "An opponent with a very long name";
  r.AvatarFile = "";
  const QByteArray b = r.Encode();
  EXPECT_EQ(b.mid(26, 20), QByteArray("An opponent with a v"));
  EXPECT_EQ(b.mid(46, 20), QByteArray(20, ' '));
  EXPECT_EQ(b.size(), kScoreRecordLength);
}

// The opponents file of network play holds one score record per opponent.
TEST(ScoreRecord, OpponentsFileRoundTripsThroughRecordFile) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath("Ann.net");
  ScoreRec first = ScoreRec::Decode(KnownOpponentBytes());
  ScoreRec second = first;
  second.OpponentName = QString("Mo").leftJustified(20, ' ');
  second.MatchInProgress = 0;
  {
    platform::RecordFile file;
    ASSERT_TRUE(file.Open(path, kNetScoreRecordLength));
    ASSERT_TRUE(file.Write(1, first.Encode()));
    ASSERT_TRUE(file.Write(2, second.Encode()));
  }
  EXPECT_EQ(QFile(path).size(), 2 * kNetScoreRecordLength);
  platform::RecordFile file;
  ASSERT_TRUE(file.Open(path, kNetScoreRecordLength, true));
  EXPECT_EQ(ScoreRec::Decode(file.Read(1)), first);
  EXPECT_EQ(ScoreRec::Decode(file.Read(2)), second);
  // Past the end: an empty record, whose blank name ends the opponents list.
  const ScoreRec past = ScoreRec::Decode(file.Read(3));
  EXPECT_EQ(past, ScoreRec{});
  EXPECT_TRUE(vb::TrimRecord(past.OpponentName).isEmpty());
}

}  // namespace
}  // namespace play
