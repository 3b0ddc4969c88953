// The players file as installed: the program refuses to start without it.

#include <gtest/gtest.h>

#include <QFile>

#include "platform/recordfile.h"
#include "platform/vb.h"
#include "play/records/player_record.h"
#include "support/temp_home.h"
#include "table/card_deck.h"

namespace play {
namespace {

bool IsBoolean(std::int16_t v) { return v == vb::True || v == vb::False; }

TEST(SeedPlayersFile, HoldsBlankPlayersNoLastPlayerAndAValidTemplate) {
  const QString path = SourceFile("Data/seed/players4.sav");
  ASSERT_TRUE(QFile::exists(path));
  EXPECT_EQ(QFile(path).size(), kPlayersFileRecords * kPlayerRecordLength);
  platform::RecordFile file;
  ASSERT_TRUE(file.Open(path, kPlayerRecordLength, true));
  ASSERT_EQ(file.RecordCount(), 12);

  for (int n = kFirstPlayerRecord; n <= kLastPlayerRecord; ++n)
    EXPECT_EQ(vb::TrimRecord(PlayerRecord::Decode(file.Read(n)).Name), "") << "record " << n;

  const PlayerRecord settings = PlayerRecord::Decode(file.Read(kSettingsRecord));
  EXPECT_EQ(settings.LastPlayer(), kNoLastPlayer);
  EXPECT_TRUE(settings.WindowState() == kWindowStateNormal || settings.WindowState() == kWindowStateMaximized);

  const PlayerRecord t = PlayerRecord::Decode(file.Read(kTemplateRecord));
  EXPECT_EQ(vb::TrimRecord(t.Name), "");
  EXPECT_GE(t.TextFontSize, 0);
  EXPECT_FALSE(vb::TrimRecord(t.BackgroundName).isEmpty());
  EXPECT_GE(t.CurrentStructure, kFirstStructure);
  EXPECT_LE(t.CurrentStructure, kLastStructure);
  EXPECT_GE(t.ThinkLevel, kMinThinkLevel);
  EXPECT_LE(t.ThinkLevel, kMaxThinkLevel);
  EXPECT_GE(t.AnimSpeed, kMinAnimSpeed);
  EXPECT_LE(t.AnimSpeed, kMaxAnimSpeed);
  EXPECT_EQ(t.SoundOn, vb::True);
  EXPECT_TRUE(IsBoolean(t.NoIntroMusic));
  EXPECT_TRUE(IsBoolean(t.WoodPlaceHolders));
  EXPECT_EQ(t.CardSoundSet, kCardSoundWood);
  EXPECT_EQ(t.CardDeck, table::kBuiltInDeck);
  EXPECT_EQ(t.CardBack, table::kOwnBack);
  EXPECT_GE(t.FirstPlayerRule, kFirstPlayerLowestCard);
  EXPECT_LE(t.FirstPlayerRule, kFirstPlayerCoinToss);
  EXPECT_EQ(t.FontColor & ~0x00FFFFFF, 0);
  EXPECT_EQ(t.MatColor & ~0x00FFFFFF, 0);
  EXPECT_NE(t.FontColor, t.MatColor);
  // A new player starts with no games, no match and no opponent.
  EXPECT_EQ(t.Scores.SinglePlayed, 0);
  EXPECT_EQ(t.Scores.MatchInProgress, 0);
  EXPECT_EQ(t.Scores.MatchGames, 0);
  EXPECT_EQ(vb::TrimRecord(t.Scores.OpponentName), "");
}

}  // namespace
}  // namespace play
