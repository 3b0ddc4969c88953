#include "table/pile_ops.h"

#include <gtest/gtest.h>

using namespace table;

TEST(PileOps, PushPopAndTopFollowTheCount) {
  PileArrays p;
  EXPECT_EQ(TopCard(p, SidePile::Waste, 1), 0);
  ASSERT_TRUE(PushCard(p, SidePile::Waste, 1, 7));
  ASSERT_TRUE(PushCard(p, SidePile::Waste, 1, 9));
  EXPECT_EQ(p.WasteCount[1], 2);
  EXPECT_EQ(p.Waste[1][1], 7);
  EXPECT_EQ(TopCard(p, SidePile::Waste, 1), 9);
  EXPECT_EQ(CardAt(p, SidePile::Waste, 1, 1), 7);
  EXPECT_EQ(CardAt(p, SidePile::Waste, 1, 3), 0) << "above the top";
  EXPECT_EQ(CardAt(p, SidePile::Waste, 1, 0), 0);
  EXPECT_EQ(PopCard(p, SidePile::Waste, 1), std::optional<CardCode>(9));
  EXPECT_EQ(p.Waste[1][2], 0) << "a popped position is cleared";
  EXPECT_EQ(PileCount(p, SidePile::Waste, 1), 1);

  ASSERT_TRUE(PushCard(p, SharedPile::Center, 8, 1));
  EXPECT_EQ(TopCard(p, SharedPile::Center, 8), 1);
  EXPECT_EQ(CardAt(p, SharedPile::Center, 8, 1), 1);
  EXPECT_EQ(CardAt(p, SharedPile::Center, 9, 1), 0);
  EXPECT_EQ(p.CenterCount[8], 1);
}

TEST(PileOps, RefusesToPassCapacityAndLeavesThePileAlone) {
  PileArrays p;
  for (int i = 0; i < kSharedPileCapacity; ++i) ASSERT_TRUE(PushCard(p, SharedPile::Tableau, 3, 13 - i % 13));
  const PileArrays before = p;
  EXPECT_FALSE(PushCard(p, SharedPile::Tableau, 3, 1));
  EXPECT_EQ(p, before);

  for (int i = 0; i < kSidePileCapacity; ++i) ASSERT_TRUE(PushCard(p, SidePile::Stock, 0, 1 + i % 52));
  const PileArrays full = p;
  EXPECT_FALSE(PushCard(p, SidePile::Stock, 0, 5));
  EXPECT_EQ(p, full);
  EXPECT_EQ(p.StockCount[0], 104);
}

TEST(PileOps, RefusesEmptyPilesMissingPilesAndImpossibleCards) {
  PileArrays p;
  EXPECT_EQ(PopCard(p, SidePile::Reserve, 0), std::nullopt);
  EXPECT_EQ(PopCard(p, SharedPile::Center, 1), std::nullopt);
  EXPECT_FALSE(PushCard(p, SidePile::Reserve, 2, 5)) << "side 2 does not exist";
  EXPECT_FALSE(PushCard(p, SidePile::Reserve, -1, 5));
  EXPECT_FALSE(PushCard(p, SharedPile::Tableau, 0, 5)) << "pile 0 is never used";
  EXPECT_FALSE(PushCard(p, SharedPile::Tableau, 9, 5));
  EXPECT_FALSE(PushCard(p, SharedPile::Tableau, 1, 0));
  EXPECT_FALSE(PushCard(p, SharedPile::Tableau, 1, 53));
  EXPECT_EQ(TopCard(p, SharedPile::Tableau, 9), 0);
  EXPECT_EQ(PileArrays{}, p);

  // A count damaged outside its range makes every position suspect.
  p.TableauCount[2] = 14;
  EXPECT_EQ(PileCount(p, SharedPile::Tableau, 2), -1);
  EXPECT_EQ(TopCard(p, SharedPile::Tableau, 2), 0);
  EXPECT_FALSE(PushCard(p, SharedPile::Tableau, 2, 4));
  EXPECT_EQ(PopCard(p, SharedPile::Tableau, 2), std::nullopt);
  p.WasteCount[0] = -1;
  EXPECT_EQ(PopCard(p, SidePile::Waste, 0), std::nullopt);
}
