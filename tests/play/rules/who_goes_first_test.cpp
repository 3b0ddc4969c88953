#include "play/rules/who_goes_first.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "play/table_builder.h"
#include "table/card.h"
#include "table/fake_sound_effects.h"
#include "table/fake_table_view.h"

namespace {

using play::FirstPlayerPeople;
using table::PileControl;
using testing_support::Card;

// The compared cards as the deal leaves them: Reserve tops at position 13,
// the opponent's houses on Tableau 1..4 and the local player's on 8..5.
struct Deal {
  table::CardCode opponentReserve;
  table::CardCode localReserve;
  std::array<table::CardCode, 4> opponentHouses;
  std::array<table::CardCode, 4> localHouses;

  table::PileArrays Piles() const {
    table::PileArrays piles;
    piles.Reserve[1][13] = opponentReserve;
    piles.Reserve[0][13] = localReserve;
    piles.ReserveCount = {13, 13};
    for (int house = 1; house <= 4; ++house) {
      piles.Tableau[house][1] = opponentHouses[house - 1];
      piles.Tableau[9 - house][1] = localHouses[house - 1];
      piles.TableauCount[house] = 1;
      piles.TableauCount[9 - house] = 1;
    }
    return piles;
  }
};

// Every pair equal in rank, suits differing.
Deal AllEqual() {
  return {Card(7, 1),
          Card(7, 2),
          {Card(2, 3), Card(9, 4), Card(11, 1), Card(4, 2)},
          {Card(2, 1), Card(9, 2), Card(11, 3), Card(4, 4)}};
}

class FakeMarker : public play::DecidingCardMarker {
 public:
  void MoveCardFrameOver(PileControl pile, int index) override { marks.emplace_back(pile, index); }
  std::vector<std::pair<PileControl, int>> marks;
};

class WhoGoesFirst : public ::testing::Test {
 protected:
  table::Turn Run(int rule, const Deal& deal, const FirstPlayerPeople& people = {}) {
    const table::PileArrays piles = deal.Piles();
    return play::WhoGoesFirst(rule, piles, state, people, Output(), &remoteText);
  }
  play::FirstPlayerOutput Output() {
    return {view, effects, marker, [this](double s) { pauses.push_back(s); },
            [this] {
              ++draws;
              return coin;
            }};
  }
  QString Message() const { return state.Message; }

  testing_support::FakeTableView view;
  testing_support::FakeSoundEffects effects;
  FakeMarker marker;
  play::PlayState state;
  std::vector<double> pauses;
  double coin = 0.0;
  int draws = 0;
  QString remoteText;
};

const Deal kLocalAce{Card(9, 3),
                     Card(1, 2),
                     {Card(5, 1), Card(6, 1), Card(7, 1), Card(8, 1)},
                     {Card(5, 2), Card(6, 2), Card(7, 2), Card(8, 2)}};

TEST_F(WhoGoesFirst, LowestReserveCardGoesFirst) {
  EXPECT_EQ(Run(0, kLocalAce), table::Turn::Local);
  EXPECT_EQ(Message(), QStringLiteral("Your Reserve card is LOWEST\r\n\r\nYou go first."));
  EXPECT_TRUE(marker.marks.empty());
  EXPECT_TRUE(pauses.empty());
  EXPECT_TRUE(effects.effects.empty());
  EXPECT_EQ(draws, 0);
  EXPECT_TRUE(remoteText.isEmpty());
}

TEST_F(WhoGoesFirst, HighestReserveCardGoesFirstAndIsMarked) {
  EXPECT_EQ(Run(1, kLocalAce), table::Turn::Opponent);
  EXPECT_EQ(Message(), QStringLiteral("My Reserve card is HIGHEST\r\n\r\nI go first."));
  EXPECT_EQ(marker.marks, (std::vector<std::pair<PileControl, int>>{{PileControl::picOpponent, 2}}));
  EXPECT_EQ(view.cardFrames.at(0), true);
  EXPECT_EQ(pauses, std::vector<double>{0.5});
}

// Equal ranks pass the decision on to the next pair, suits never count.
struct HouseCase {
  int house;
  const char* message;
};

void PrintTo(const HouseCase& c, std::ostream* os) { *os << "House" << c.house; }

class TiesWalkTheHouses : public WhoGoesFirst, public ::testing::WithParamInterface<HouseCase> {};

TEST_P(TiesWalkTheHouses, DecidingHouseIsNamedAndMarked) {
  Deal deal = AllEqual();
  const int house = GetParam().house;
  // The opponent's card of this house is one rank lower than the local one.
  deal.opponentHouses[house - 1] = Card(table::CardRank(deal.localHouses[house - 1]) - 1, 1);
  EXPECT_EQ(Run(0, deal), table::Turn::Opponent);
  EXPECT_EQ(Message(), QString::fromUtf8(GetParam().message));
  EXPECT_EQ(marker.marks, (std::vector<std::pair<PileControl, int>>{{PileControl::picTableau, house}}));
  EXPECT_EQ(pauses, std::vector<double>{1.0});
  EXPECT_TRUE(effects.effects.empty());
}

INSTANTIATE_TEST_SUITE_P(Houses, TiesWalkTheHouses,
                         ::testing::Values(HouseCase{1, "My 1st House card is LOWEST\r\n\r\nI go first."},
                                           HouseCase{2, "My 2nd House card is LOWEST\r\n\r\nI go first."},
                                           HouseCase{3, "My 3rd House card is LOWEST\r\n\r\nI go first."},
                                           HouseCase{4, "My 4th House card is LOWEST\r\n\r\nI go first."}),
                         [](const auto& info) { return "House" + std::to_string(info.param.house); });

TEST_F(WhoGoesFirst, LaterHousesDoNotCountOnceOneDecides) {
  Deal deal = AllEqual();
  deal.localHouses[1] = Card(13, 1);     // 2nd House: local higher
  deal.opponentHouses[2] = Card(13, 2);  // 3rd House: opponent higher
  EXPECT_EQ(Run(1, deal), table::Turn::Local);
  EXPECT_EQ(Message(), QStringLiteral("Your 2nd House card is HIGHEST\r\n\r\nYou go first."));
}

TEST_F(WhoGoesFirst, FiveEqualPairsTossACoin) {
  coin = 0.2;
  EXPECT_EQ(Run(0, AllEqual()), table::Turn::Local);
  EXPECT_EQ(Message(), QStringLiteral("Amazing! All cards are equal. We'll have to toss a coin.\r\n"
                                      "You won the toss.\r\n\r\nYou go first."));
  EXPECT_EQ(effects.effects, std::vector<int>{11});
  EXPECT_EQ(draws, 1);
}

TEST_F(WhoGoesFirst, AForcedTossWonByTheComputerShowsNoMarker) {
  coin = 0.7;
  EXPECT_EQ(Run(1, AllEqual()), table::Turn::Opponent);
  EXPECT_EQ(Message(), QStringLiteral("Amazing! All cards are equal. We'll have to toss a coin.\r\n"
                                      "I won the toss.\r\n\r\nI go first."));
  EXPECT_TRUE(marker.marks.empty());
  EXPECT_TRUE(pauses.empty());
}

TEST_F(WhoGoesFirst, CoinTossComparesNothingAndPlaysNothing) {
  coin = 0.49;
  EXPECT_EQ(Run(2, kLocalAce), table::Turn::Local);
  EXPECT_EQ(Message(), QStringLiteral("You won the toss.\r\n\r\nYou go first."));
  coin = 0.5;
  EXPECT_EQ(Run(2, kLocalAce), table::Turn::Opponent);
  EXPECT_EQ(Message(), QStringLiteral("I won the toss.\r\n\r\nI go first."));
  EXPECT_EQ(draws, 2);
  EXPECT_TRUE(effects.effects.empty());
  EXPECT_TRUE(marker.marks.empty());
}

TEST_F(WhoGoesFirst, DamagedRuleReadsAsLowest) {
  for (int damaged : {3, -1, 99}) {
    EXPECT_EQ(Run(damaged, kLocalAce), table::Turn::Local);
    EXPECT_EQ(Message(), QStringLiteral("Your Reserve card is LOWEST\r\n\r\nYou go first."));
  }
  EXPECT_EQ(draws, 0);
}

const FirstPlayerPeople kOnline{true, QStringLiteral("Kim"), QStringLiteral("Pat")};

TEST_F(WhoGoesFirst, OnlineOpponentFirstByAHouse) {
  Deal deal = AllEqual();
  deal.opponentHouses[0] = Card(1, 4);
  EXPECT_EQ(Run(0, deal, kOnline), table::Turn::Opponent);
  EXPECT_EQ(Message(), QStringLiteral("Pat's 1st House card is LOWEST\r\n\r\nPat goes first."));
  EXPECT_EQ(remoteText, QStringLiteral("Your 1st House card is LOWEST - You go first."));
}

TEST_F(WhoGoesFirst, OnlineLocalPlayerFirst) {
  EXPECT_EQ(Run(0, kLocalAce, kOnline), table::Turn::Local);
  EXPECT_EQ(Message(), QStringLiteral("Your Reserve card is LOWEST\r\n\r\nYou go first."));
  EXPECT_EQ(remoteText, QStringLiteral("Kim's Reserve card is LOWEST -Kim goes first."));
}

TEST_F(WhoGoesFirst, OnlineCoinToss) {
  coin = 0.9;
  EXPECT_EQ(Run(2, kLocalAce, kOnline), table::Turn::Opponent);
  EXPECT_EQ(Message(), QStringLiteral("Pat won the toss.\r\n\r\nPat goes first."));
  EXPECT_EQ(remoteText, QStringLiteral("You won the toss. - You go first."));
  coin = 0.1;
  EXPECT_EQ(Run(2, kLocalAce, kOnline), table::Turn::Local);
  EXPECT_EQ(Message(), QStringLiteral("You won the toss.\r\n\r\nYou go first."));
  EXPECT_EQ(remoteText, QStringLiteral("Kim won the toss. -Kim goes first."));
}

}  // namespace
