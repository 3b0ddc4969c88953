// What the saved-game slots, the match set-up and the speed window work
// out, apart from their windows.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "dialogs/frm_save.h"
#include "dialogs/small_dialogs.h"
#include "platform/recordfile.h"
#include "play/records/saved_game_record.h"

namespace dialogs {
namespace {

TEST(SavedGameSlots, SlotsShowTheirDescriptionsAndShortFilesEndEmpty) {
  QTemporaryDir dir;
  platform::RecordFile file;
  ASSERT_TRUE(file.Open(dir.filePath("backup4.sav"), play::kSavedGameRecordLength));
  play::SavedGameRecord rec;
  rec.CurrentTurn = table::Turn::Local;
  rec.Description = QString("Match 1/2/26_10:00").leftJustified(30, u' ');
  ASSERT_TRUE(file.Write(2, rec.Encode()));
  rec.Description = QString("^^NET 1/2/26_11:00Bo").leftJustified(30, u' ');
  ASSERT_TRUE(file.Write(3, rec.Encode()));
  rec.CurrentTurn = table::Turn::None;  // deleted: blank description, no game
  rec.Description = QString(30, u' ');
  ASSERT_TRUE(file.Write(4, rec.Encode()));
  // The file ends after record 4.

  const auto save = LoadSlots(false, file);
  EXPECT_EQ(save[1].Text, "game  1");
  EXPECT_EQ(save[2].Text, "Match 1/2/26_10:00");
  EXPECT_EQ(save[3].Text, "NET 1/2/26_11:00Bo");
  EXPECT_EQ(save[4].Text, "");
  EXPECT_EQ(save[9].Text, "game  9");
  const auto restore = LoadSlots(true, file);
  EXPECT_FALSE(restore[1].Enabled);
  EXPECT_TRUE(restore[2].Enabled);
  EXPECT_EQ(restore[3].Text, "NET 1/2/26_11:00Bo");
  EXPECT_FALSE(restore[4].Enabled);
  for (int n = 5; n <= 10; ++n) {
    SCOPED_TRACE(n);
    EXPECT_FALSE(restore[n].Enabled) << "past the end of the file a slot is empty";
    EXPECT_TRUE(restore[n].Text.isEmpty());
  }
}

TEST(SavedGameSlots, TheDescriptionHandedOverCarriesTheRightMarks) {
  EXPECT_EQ(FinalDescription("  ", 3, false, false, false), "saved game 3");
  EXPECT_EQ(FinalDescription("", 3, true, false, false), "Match saved game 3");
  EXPECT_EQ(FinalDescription("my game", 4, true, false, false), "Match my game");
  EXPECT_EQ(FinalDescription("Matchless", 4, true, false, false), "Matchless");
  EXPECT_EQ(FinalDescription("Big Match", 4, true, false, false), "Match Big Match");
  EXPECT_EQ(FinalDescription("^^fake", 5, false, false, false), "fake") << "a typed online mark is dropped";
  EXPECT_EQ(FinalDescription("net", 5, true, true, true), "^^Match net");
  EXPECT_EQ(FinalDescription("net", 5, false, true, false), "net") << "NET SAVE while the peer is gone";

  DescriptionContext c;
  const QDateTime at(QDate(2026, 2, 1), QTime(10, 5));
  const QLocale locale;
  const QString stamp =
      locale.toString(at.date(), QLocale::ShortFormat) + "_" + locale.toString(at.time(), QLocale::ShortFormat);
  EXPECT_EQ(DefaultDescription(c, at), stamp);
  c.MatchOn = true;
  EXPECT_EQ(DefaultDescription(c, at), "Match " + stamp);
  c.SavingNetGame = true;
  c.OtherPlayer = "Bo";
  EXPECT_EQ(DefaultDescription(c, at), "Match NET " + stamp + "Bo");
  c.SampleGameMode = true;
  c.SampleGameNumber = 7;
  EXPECT_EQ(DefaultDescription(c, at), "Sample Game Number 7");
}

TEST(MatchSetUp, PointsOutsideTheRangeAreRefused) {
  const struct {
    const char* text;
    MatchPointsCheck check;
    std::optional<std::int16_t> stored;
  } cases[] = {
      {"62", MatchPointsCheck::Accepted, 62},      {" 1000", MatchPointsCheck::Accepted, 1000},
      {"61", MatchPointsCheck::TooLow, 61},        {"", MatchPointsCheck::TooLow, 0},
      {"1001", MatchPointsCheck::TooHigh, 1001},   {"123456", MatchPointsCheck::TooHigh, std::nullopt},
      {"150abc", MatchPointsCheck::Accepted, 150},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const MatchPointsResult r = CheckMatchPoints(c.text);
    EXPECT_EQ(r.check, c.check);
    EXPECT_EQ(r.stored, c.stored);
  }
}

TEST(SpeedSettings, AnimationPositionsAndSpeedsAgree) {
  const std::int16_t table[] = {2,   10,  20,  45,  70,  95,  120, 150, 180, 210, 240,
                                270, 300, 330, 360, 390, 420, 450, 480, 510, 540};
  for (int position = 0; position <= 20; ++position) {
    SCOPED_TRACE(position);
    EXPECT_EQ(AnimSpeedForPosition(position), table[position]);
    EXPECT_EQ(PositionForAnimSpeed(table[position]), position);
    if (table[position] > 2) {
      EXPECT_EQ(PositionForAnimSpeed(table[position] - 1), position - 1);
    }
  }
  EXPECT_EQ(PositionForAnimSpeed(0), 0);
  EXPECT_EQ(PositionForAnimSpeed(9999), 20);
  EXPECT_EQ(PositionForAnimSpeed(-5), -1);
  EXPECT_EQ(ThinkLevelName(6), "light");
  EXPECT_EQ(ThinkLevelName(0), "");
  EXPECT_EQ(AboutVersionText(4, 0, 0), "Version  4. 0. 0\r\n");
}

}  // namespace
}  // namespace dialogs
