#include "table/sample_game_record.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "platform/recordfile.h"
#include "support/golden_bytes.h"

namespace table {
namespace {

SampleGameRecord KnownDeal() {
  SampleGameRecord r;
  for (int i = 1; i <= 52; ++i) {
    r.FirstDeck[i] = static_cast<CardCode>(53 - i);
    r.SecondDeck[i] = static_cast<CardCode>((i * 5) % 52 + 1);
  }
  return r;
}

TEST(SampleGameRecord, DecksSitAfterTheirUnusedIndexZero) {
  QByteArray b(212, '\0');
  for (int i = 1; i <= 52; ++i) {
    golden::Put16(b, 2 * i, static_cast<std::int16_t>(53 - i));
    golden::Put16(b, 106 + 2 * i, static_cast<std::int16_t>((i * 5) % 52 + 1));
  }
  EXPECT_EQ(KnownDeal().Encode(), b);
  EXPECT_EQ(SampleGameRecord::Decode(b), KnownDeal());
  EXPECT_EQ(SampleGameRecord::Decode(b).FirstDeck[1], 52);
  EXPECT_EQ(SampleGameRecord::Decode(b).SecondDeck[52], 5 * 52 % 52 + 1);
}

TEST(SampleGameRecord, RoundTripsAnyBytesIncludingIndexZero) {
  QByteArray bytes = golden::Patterned(kSampleGameRecordLength);
  golden::Put16(bytes, 0, -2);
  golden::Put16(bytes, 106, 777);
  const SampleGameRecord r = SampleGameRecord::Decode(bytes);
  EXPECT_EQ(r.FirstDeck[0], -2);
  EXPECT_EQ(r.SecondDeck[0], 777);
  EXPECT_EQ(r.Encode(), bytes);
}

TEST(SampleGameRecord, ShortInputIsTheZeroRecord) {
  EXPECT_EQ(SampleGameRecord::Decode(QByteArray()), SampleGameRecord{});
  EXPECT_EQ(SampleGameRecord::Decode(KnownDeal().Encode().left(211)), SampleGameRecord{});
  EXPECT_EQ(SampleGameRecord::Decode(QByteArray(212, '\0')), SampleGameRecord{});
}

TEST(SampleGameRecord, SampleFileRoundTripsThroughRecordFile) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath(kSampleGamesFileName);
  SampleGameRecord second = KnownDeal();
  std::swap(second.FirstDeck, second.SecondDeck);
  {
    platform::RecordFile file;
    ASSERT_TRUE(file.Open(path, kSampleGameRecordLength));
    ASSERT_TRUE(file.Write(1, KnownDeal().Encode()));
    ASSERT_TRUE(file.Write(2, second.Encode()));
  }
  platform::RecordFile file;
  ASSERT_TRUE(file.Open(path, kSampleGameRecordLength, true));
  EXPECT_EQ(file.RecordCount(), 2);
  EXPECT_EQ(SampleGameRecord::Decode(file.Read(1)), KnownDeal());
  EXPECT_EQ(SampleGameRecord::Decode(file.Read(2)), second);
  EXPECT_EQ(SampleGameRecord::Decode(file.Read(3)), SampleGameRecord{});
}

}  // namespace
}  // namespace table
