#include "table/card.h"

#include <gtest/gtest.h>

namespace {

using table::CardColour;
using table::CardColourOf;
using table::CardRank;
using table::CardSuit;
using table::ColoursAlternate;

TEST(Card, KingsAndAcesOfEverySuit) {
  for (table::CardCode king : {13, 26, 39, 52}) EXPECT_EQ(CardRank(king), 13) << king;
  for (table::CardCode ace : {1, 14, 27, 40}) EXPECT_EQ(CardRank(ace), 1) << ace;
  EXPECT_EQ(CardSuit(13), 1);
  EXPECT_EQ(CardSuit(14), 2);
  EXPECT_EQ(CardSuit(52), 4);
}

TEST(Card, NoCardHasNoSuitRankOrColour) {
  // 0 is an empty pile's top; the others only come from damaged records.
  for (table::CardCode none : {0, -1, 53, 104}) {
    EXPECT_EQ(CardSuit(none), 0) << none;
    EXPECT_EQ(CardRank(none), 0) << none;
    EXPECT_EQ(CardColourOf(none), CardColour::None) << none;
  }
}

TEST(Card, SuitsOneAndFourShareAColourTwoAndThreeTheOther) {
  EXPECT_EQ(CardColourOf(1), CardColourOf(40));
  EXPECT_EQ(CardColourOf(14), CardColourOf(27));
  EXPECT_NE(CardColourOf(1), CardColourOf(14));
  EXPECT_TRUE(ColoursAlternate(5, 18));
  EXPECT_TRUE(ColoursAlternate(31, 44));
  EXPECT_FALSE(ColoursAlternate(5, 44));
  EXPECT_FALSE(ColoursAlternate(18, 31));
}

TEST(Card, AnEmptyTopNeverAlternatesWithAnything) {
  for (table::CardCode card = 0; card <= 52; ++card) {
    EXPECT_FALSE(ColoursAlternate(0, card)) << card;
    EXPECT_FALSE(ColoursAlternate(card, 0)) << card;
  }
}

}  // namespace
