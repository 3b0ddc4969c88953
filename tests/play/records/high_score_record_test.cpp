#include "play/records/high_score_record.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/recordfile.h"
#include "platform/vb.h"
#include "support/golden_bytes.h"

namespace play {
namespace {

TEST(HighScoreRecord, EncodesAndDecodesEveryFieldAtItsOffset) {
  HighScoreRecord r;
  r.PlayedOn = 45366.0;  // 2024-03-15
  r.WinnerName = "Ma\u00eblle";
  r.Points = 312;
  r.GameTime = 0.0229166666666667;

  QByteArray b(38, '\0');
  golden::PutF64(b, 0, 45366.0);
  golden::PutText(b, 8, 20, QByteArray("Ma\xEBlle"));
  golden::Put16(b, 28, 312);
  golden::PutF64(b, 30, 0.0229166666666667);
  EXPECT_EQ(r.Encode(), b);

  const HighScoreRecord back = HighScoreRecord::Decode(b);
  EXPECT_EQ(back.WinnerName, QString("Ma\u00eblle").leftJustified(20, ' '));
  EXPECT_EQ(back.Points, 312);
  EXPECT_EQ(back.PlayedOn, 45366.0);
  EXPECT_EQ(back.GameTime, 0.0229166666666667);
}

TEST(HighScoreRecord, RoundTripsAnyBytes) {
  const QByteArray bytes = golden::Patterned(kHighScoreRecordLength);
  EXPECT_EQ(HighScoreRecord::Decode(bytes).Encode(), bytes);
}

TEST(HighScoreRecord, ShortOrZeroInputHoldsNoGame) {
  EXPECT_EQ(HighScoreRecord::Decode(QByteArray(37, '\x7F')), HighScoreRecord{});
  const HighScoreRecord zero = HighScoreRecord::Decode(QByteArray(38, '\0'));
  EXPECT_EQ(zero, HighScoreRecord{});
  EXPECT_EQ(zero.Points, 0);
  EXPECT_EQ(vb::TrimRecord(zero.WinnerName), "");
  EXPECT_EQ(HighScoreRecord{}.Encode(), QByteArray(38, '\0'));
}

TEST(HighScoreRecord, WinnerNameIsCutToTwentyCharacters) {
  HighScoreRecord r;
  r.WinnerName = "Bartholomew Fitzgerald-Smythe";
  EXPECT_EQ(r.Encode().mid(8, 20), QByteArray("Bartholomew Fitzgera"));
}

TEST(HighScoreRecord, RankingRoundTripsThroughRecordFile) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath(kHighScoreFileName);
  HighScoreRecord best;
  best.PlayedOn = 45000.0;
  best.WinnerName = QString("Marrowdale").leftJustified(20, ' ');
  best.Points = 400;
  {
    platform::RecordFile file;
    ASSERT_TRUE(file.Open(path, kHighScoreRecordLength));
    ASSERT_TRUE(file.Write(1, best.Encode()));
  }
  platform::RecordFile file;
  ASSERT_TRUE(file.Open(path, kHighScoreRecordLength, true));
  EXPECT_EQ(file.RecordCount(), 1);
  EXPECT_EQ(HighScoreRecord::Decode(file.Read(1)), best);
  // Places past the end hold no game: 0 points.
  EXPECT_EQ(HighScoreRecord::Decode(file.Read(kHighScorePlaces)), HighScoreRecord{});
}

}  // namespace
}  // namespace play
