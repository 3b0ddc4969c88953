#include "play/records/high_scores.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <limits>

#include "platform/recordfile.h"

namespace play {
namespace {

HighScoreRecord Entry(std::int16_t points, std::int64_t seconds, const QString& name = "Ann") {
  HighScoreRecord r;
  r.PlayedOn = 46000;
  r.WinnerName = name.leftJustified(HighScoreRecord::kWinnerNameWidth);
  r.Points = points;
  r.GameTime = GameTimeFromSeconds(seconds);
  return r;
}

// Twenty entries of 200, 190, ..., 10 points, each 10 minutes long.
HighScoreList FullList() {
  HighScoreList list;
  for (int i = 0; i < kHighScorePlaces; ++i) {
    list[static_cast<std::size_t>(i)] = Entry(static_cast<std::int16_t>(200 - 10 * i), 600, QString("P%1").arg(i + 1));
  }
  return list;
}

TEST(GameTimeTest, StoredTimesReadAsWholeSecondsOfADuration) {
  EXPECT_EQ(GameTimeSeconds(0.0), 0);
  EXPECT_EQ(GameTimeSeconds(GameTimeFromSeconds(754)), 754);
  // 12:34:56 stored as a time of day.
  EXPECT_EQ(GameTimeSeconds((12 * 3600 + 34 * 60 + 56) / 86400.0), 45296);
  // A game over a day long counts in full.
  EXPECT_EQ(GameTimeSeconds(1.5), 129600);
  EXPECT_EQ(GameTimeSeconds(GameTimeFromSeconds(90061)), 90061);
}

TEST(GameTimeTest, ValuesThatAreNoDurationCountAsZero) {
  EXPECT_EQ(GameTimeSeconds(-0.25), 0);
  EXPECT_EQ(GameTimeSeconds(std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_EQ(GameTimeSeconds(std::numeric_limits<double>::infinity()), 0);
  EXPECT_EQ(GameTimeSeconds(1e300), 0);
  EXPECT_EQ(GameTimeFromSeconds(-5), 0.0);
}

TEST(HighScorePlaceTest, MorePointsRankHigherAndTiesGoByTheShorterTime) {
  const HighScoreList list = FullList();  // 3rd place: 180 points in 600 s
  EXPECT_EQ(HighScorePlace(list, 250, 9999), 1);
  EXPECT_EQ(HighScorePlace(list, 185, 1), 3);
  // Same points as the 3rd: a longer game goes after it, an equal or shorter
  // one takes its place.
  EXPECT_EQ(HighScorePlace(list, 180, 601), 4);
  EXPECT_EQ(HighScorePlace(list, 180, 600), 3);
  EXPECT_EQ(HighScorePlace(list, 180, 599), 3);
  // Times are compared in whole seconds, not as stored fractions.
  HighScoreList rounded = list;
  rounded[2].GameTime = 600.4 / 86400.0;
  EXPECT_EQ(HighScorePlace(rounded, 180, 600), 3);
}

TEST(HighScorePlaceTest, AGameBelowAllTwentyDoesNotEnter) {
  const HighScoreList list = FullList();  // the 20th has 10 points
  EXPECT_EQ(HighScorePlace(list, 9, 0), kNotRanked);
  EXPECT_EQ(HighScorePlace(list, 10, 601), kNotRanked);
  EXPECT_EQ(HighScorePlace(list, 10, 600), 20);
}

TEST(HighScorePlaceTest, EmptyPlacesTakeAnyGame) {
  HighScoreList list{};
  EXPECT_EQ(HighScorePlace(list, 1, 100000), 1);
  list[0] = Entry(52, 300);
  EXPECT_EQ(HighScorePlace(list, 31, 300), 2);
}

class HighScoreFileTest : public ::testing::Test {
 protected:
  QString Path() const { return dir.filePath("highscore.sav"); }
  QByteArray Bytes() const {
    QFile f(Path());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  HighScoreList Read() const {
    platform::RecordFile f;
    HighScoreList list;
    if (!f.Open(Path(), kHighScoreRecordLength, true)) return list;
    for (int i = 1; i <= kHighScorePlaces; ++i) {
      list[static_cast<std::size_t>(i - 1)] = HighScoreRecord::Decode(f.Read(i));
    }
    return list;
  }
  void Write(const HighScoreList& list) {
    platform::RecordFile f;
    ASSERT_TRUE(f.Open(Path(), kHighScoreRecordLength));
    for (int i = 1; i <= kHighScorePlaces; ++i) {
      ASSERT_TRUE(f.Write(i, list[static_cast<std::size_t>(i - 1)].Encode()));
    }
  }
  QTemporaryDir dir;
};

TEST_F(HighScoreFileTest, TheFirstGameCreatesTheFileAndTakesPlaceOne) {
  int place = -1;
  EXPECT_EQ(EnterHighScore(Path(), Entry(52, 754), &place), HighScoreResult::Entered);
  EXPECT_EQ(place, 1);
  const HighScoreList list = Read();
  EXPECT_EQ(list[0], Entry(52, 754));
  EXPECT_EQ(list[1], HighScoreRecord{});
  EXPECT_EQ(Bytes().size(), kHighScorePlaces * kHighScoreRecordLength);
}

TEST_F(HighScoreFileTest, AShortFileReadsItsMissingPlacesAsEmpty) {
  HighScoreList two{};
  two[0] = Entry(90, 100);
  two[1] = Entry(40, 100);
  {
    platform::RecordFile f;
    ASSERT_TRUE(f.Open(Path(), kHighScoreRecordLength));
    ASSERT_TRUE(f.Write(1, two[0].Encode()));
    ASSERT_TRUE(f.Write(2, two[1].Encode()));
  }
  int place = 0;
  EXPECT_EQ(EnterHighScore(Path(), Entry(35, 100), &place), HighScoreResult::Entered);
  EXPECT_EQ(place, 3);
  EXPECT_EQ(Read()[2], Entry(35, 100));
}

TEST_F(HighScoreFileTest, ATieWithTheThirdMovesItDownAndDropsTheTwentieth) {
  Write(FullList());
  int place = 0;
  EXPECT_EQ(EnterHighScore(Path(), Entry(180, 600, "New"), &place), HighScoreResult::Entered);
  EXPECT_EQ(place, 3);
  const HighScoreList after = Read();
  const HighScoreList before = FullList();
  EXPECT_EQ(after[0], before[0]);
  EXPECT_EQ(after[1], before[1]);
  EXPECT_EQ(after[2], Entry(180, 600, "New"));
  for (int i = 3; i < kHighScorePlaces; ++i) {
    EXPECT_EQ(after[static_cast<std::size_t>(i)], before[static_cast<std::size_t>(i - 1)]) << i;
  }
  EXPECT_EQ(Bytes().size(), kHighScorePlaces * kHighScoreRecordLength);
}

TEST_F(HighScoreFileTest, AGameBelowTheListLeavesTheFileUnchanged) {
  Write(FullList());
  const QByteArray before = Bytes();
  int place = -1;
  EXPECT_EQ(EnterHighScore(Path(), Entry(9, 10), &place), HighScoreResult::NotRanked);
  EXPECT_EQ(place, kNotRanked);
  EXPECT_EQ(Bytes(), before);
}

TEST_F(HighScoreFileTest, RecordsPastTheTwentiethAreLeftAlone) {
  Write(FullList());
  {
    platform::RecordFile f;
    ASSERT_TRUE(f.Open(Path(), kHighScoreRecordLength));
    ASSERT_TRUE(f.Write(21, Entry(500, 1, "Extra").Encode()));
  }
  EXPECT_EQ(EnterHighScore(Path(), Entry(300, 1)), HighScoreResult::Entered);
  platform::RecordFile f;
  ASSERT_TRUE(f.Open(Path(), kHighScoreRecordLength, true));
  EXPECT_EQ(HighScoreRecord::Decode(f.Read(21)), Entry(500, 1, "Extra"));
  EXPECT_EQ(HighScoreRecord::Decode(f.Read(1)), Entry(300, 1));
}

// Noise is no list: it is kept aside whole, the user is told where, the
// list shown is empty and the next game begins a new file. Each way a list
// can be noise is found on its own.
TEST_F(HighScoreFileTest, ANoiseFileIsKeptAsideAndTheListBeginsAnew) {
  EXPECT_EQ(HighScoreDamage(FullList()), QString());
  EXPECT_EQ(HighScoreDamage(HighScoreList{}), QString());
  struct Spoilt {
    const char* what;
    void (*spoil)(HighScoreList&);
  };
  const Spoilt cases[] = {
      {"control characters", [](HighScoreList& l) { l[3].WinnerName[1] = QChar(0x07); }},
      {"no date", [](HighScoreList& l) { l[0].PlayedOn = 1.0e300; }},
      {"points", [](HighScoreList& l) { l[19].Points = -5; }},
      {"no game time", [](HighScoreList& l) { l[7].GameTime = -1.0; }},
      {"ranks above", [](HighScoreList& l) { std::swap(l[4], l[5]); }},
      {"follows an empty place", [](HighScoreList& l) { l[10] = HighScoreRecord{}; }},
  };
  for (const Spoilt& c : cases) {
    HighScoreList list = FullList();
    c.spoil(list);
    EXPECT_TRUE(HighScoreDamage(list).contains(c.what)) << c.what << ": " << HighScoreDamage(list).toStdString();
  }

  QByteArray noise(kHighScorePlaces * kHighScoreRecordLength, '\0');
  std::uint32_t x = 12345;
  for (char& b : noise) b = static_cast<char>((x = x * 1103515245u + 12345u) >> 24);
  const auto plant = [&] {
    QFile f(Path());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(noise);
  };
  plant();
  const HighScoreFile read = ReadHighScoreFile(Path());
  EXPECT_EQ(read.state, HighScoreFile::State::Damaged);
  EXPECT_EQ(read.list, HighScoreList{});
  EXPECT_FALSE(QFile::exists(Path()));
  ASSERT_FALSE(read.keptAside.isEmpty());
  QFile aside(read.keptAside);
  ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
  EXPECT_EQ(aside.readAll(), noise);
  const QString text = read.Text(Path());
  EXPECT_TRUE(text.contains(Path() + "\r\nwas damaged (")) << text.toStdString();
  EXPECT_TRUE(text.contains(read.keptAside));
  // Gone is gone: the next read finds no file, and nothing to tell.
  EXPECT_EQ(ReadHighScoreFile(Path()).state, HighScoreFile::State::Missing);

  plant();
  QString notice;
  int place = 0;
  EXPECT_EQ(EnterHighScore(Path(), Entry(52, 754), &place, nullptr, &notice), HighScoreResult::Entered);
  EXPECT_EQ(place, 1);
  EXPECT_TRUE(notice.contains("was damaged")) << notice.toStdString();
  HighScoreList fresh{};
  fresh[0] = Entry(52, 754);
  EXPECT_EQ(Read(), fresh);
  EXPECT_EQ(ReadHighScoreFile(Path()).state, HighScoreFile::State::Read);
}

// Three whole places and five bytes more: the places stay through two game
// overs, the file as it was is kept aside once, and the file becomes whole.
TEST_F(HighScoreFileTest, BytesAfterTheLastWholePlaceKeepThePlacesThroughTwoGameOvers) {
  const HighScoreList full = FullList();
  HighScoreList three{};
  QByteArray bytes;
  for (std::size_t i = 0; i < 3; ++i) {
    three[i] = full[i];
    bytes += full[i].Encode();
  }
  bytes += QByteArray("\x01\x02\x03\x04\x05", 5);
  {
    QFile f(Path());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }

  QString notice;
  int place = 0;
  EXPECT_EQ(EnterHighScore(Path(), Entry(50, 600, "Four"), &place, nullptr, &notice), HighScoreResult::Entered);
  EXPECT_EQ(place, 4);
  EXPECT_TRUE(notice.contains("5 bytes after its last place")) << notice.toStdString();
  const QStringList aside = QDir(dir.path()).entryList({"highscore.sav.damaged-*"}, QDir::Files);
  ASSERT_EQ(aside.size(), 1);
  QFile kept(dir.filePath(aside[0]));
  ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
  EXPECT_EQ(kept.readAll(), bytes);

  notice.clear();
  EXPECT_EQ(EnterHighScore(Path(), Entry(190, 600, "Two"), &place, nullptr, &notice), HighScoreResult::Entered);
  EXPECT_EQ(place, 2);
  EXPECT_EQ(notice, QString());
  HighScoreList expected{};
  expected[0] = full[0];
  expected[1] = Entry(190, 600, "Two");
  expected[2] = full[1];
  expected[3] = full[2];
  expected[4] = Entry(50, 600, "Four");
  EXPECT_EQ(Read(), expected);
  EXPECT_EQ(ReadHighScoreFile(Path()).state, HighScoreFile::State::Read);
  EXPECT_EQ(QDir(dir.path()).entryList({"highscore.sav.damaged-*"}, QDir::Files).size(), 1);
}

}  // namespace
}  // namespace play
