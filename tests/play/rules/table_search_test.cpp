#include "play/rules/table_search.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "play/table_builder.h"

namespace {

using play::CheckCenter;
using play::CheckPlayer;
using play::CheckTableau;
using play::CheckTableauOpen;
using play::CheckTableauSingleCombine;
using play::MoveCheckTableau;
using play::TableauMove;
using play::TableauMoveMode;
using table::PileControl;
using testing_support::Card;
using testing_support::TableBuilder;

constexpr table::Turn kHuman = table::Turn::Local;
constexpr table::Turn kComputer = table::Turn::Opponent;

TEST(CheckCenter, AceGoesToTheFirstEmptyFoundation) {
  TableBuilder t;
  t.Center(1, {Card(1, 1)}).Center(2, {Card(1, 2), Card(2, 2)});
  EXPECT_EQ(CheckCenter(t, 1, 4), 3);
}

TEST(CheckCenter, TwoGoesOnItsOwnAceEvenPastAnEmptyFoundation) {
  TableBuilder t;
  t.Center(4, {Card(1, 2)}).Center(6, {Card(1, 3)});
  EXPECT_EQ(CheckCenter(t, 2, 3), 6);
}

TEST(CheckCenter, NothingTakesACardWithoutItsLowerNeighbour) {
  TableBuilder t;
  t.Center(1, {Card(1, 3)}).Center(2, {Card(3, 3)});
  EXPECT_EQ(CheckCenter(t, 3, 3), std::nullopt);  // needs the Two
  EXPECT_EQ(CheckCenter(t, 2, 1), std::nullopt);  // wrong suit
  EXPECT_EQ(CheckCenter(t, 0, 0), std::nullopt);  // no card at all
}

TEST(CheckCenter, FullTableOfFoundations) {
  TableBuilder t;
  for (int p = 1; p <= 8; ++p) {
    const int suit = (p - 1) % 4 + 1;
    t.Center(p,
             {Card(1, suit), Card(2, suit), Card(3, suit), Card(4, suit), Card(5, suit), Card(6, suit), Card(7, suit),
              Card(8, suit), Card(9, suit), Card(10, suit), Card(11, suit), Card(12, suit), Card(13, suit)});
  }
  EXPECT_EQ(CheckCenter(t, 1, 1), std::nullopt);
  EXPECT_EQ(CheckCenter(t, 13, 2), std::nullopt);
}

TEST(CheckTableau, TakesTheOtherColourOneRankHigher) {
  TableBuilder t;
  t.Tableau(2, {Card(6, 1)}).Tableau(5, {Card(6, 4)}).Tableau(7, {Card(6, 2)});
  EXPECT_EQ(CheckTableau(t, 5, 2, 0), 2);  // red on black
  EXPECT_EQ(CheckTableau(t, 5, 3, 2), 5);  // pile 2 excluded
  EXPECT_EQ(CheckTableau(t, 5, 1, 0), 7);  // black on red
  EXPECT_EQ(CheckTableau(t, 5, 3, 0), 2);
  EXPECT_EQ(CheckTableau(t, 4, 2, 0), std::nullopt);
}

TEST(CheckTableau, NeverOffersAnEmptyOrTheExcludedPile) {
  TableBuilder t;
  t.Tableau(3, {Card(8, 2)});
  EXPECT_EQ(CheckTableau(t, 7, 1, 3), std::nullopt);
  // A King would need a rank 14; an empty pile's top has neither rank nor colour.
  EXPECT_EQ(CheckTableau(t, 13, 1, 0), std::nullopt);
  EXPECT_EQ(CheckTableau(t, 0, 0, 0), std::nullopt);
}

// A Tableau pile built down from a King to an Ace holds its full 13 cards.
TEST(CheckTableau, FullPileTakesNothingAndOffersItsAce) {
  TableBuilder t;
  t.FullTableau().Tableau(5, {Card(13, 1), Card(12, 2), Card(11, 1), Card(10, 2), Card(9, 1), Card(8, 2), Card(7, 1),
                              Card(6, 2), Card(5, 1), Card(4, 2), Card(3, 1), Card(2, 2), Card(1, 1)});
  ASSERT_EQ(t.piles().TableauCount[5], table::kSharedPileCapacity);
  EXPECT_EQ(play::TableauTop(t, 5), Card(1, 1));
  for (int suit = 1; suit <= 4; ++suit) {
    for (int rank = 1; rank <= 13; ++rank) {
      EXPECT_NE(CheckTableau(t, rank, suit, 0), std::optional<int>(5)) << rank << "/" << suit;
    }
  }
  const play::TableauMoveMemory memory{};
  EXPECT_EQ(MoveCheckTableau(t, TableauMoveMode::ToCenter, kHuman, memory), (TableauMove{5, Card(1, 1), 1}));
}

TEST(PileTops, CountBeyondThePileIsABoundsError) {
  table::PileArrays piles;
  piles.TableauCount[2] = table::kSharedPileCapacity + 1;
  EXPECT_THROW(play::TableauTop(piles, 2), std::out_of_range);
  EXPECT_THROW(play::CenterTop(piles, 9), std::out_of_range);
}

TEST(CheckTableauOpen, FirstEmptyPileOrNone) {
  TableBuilder t;
  t.FullTableau();
  EXPECT_EQ(CheckTableauOpen(t), std::nullopt);
  t.Tableau(6, {}).Tableau(4, {});
  EXPECT_EQ(CheckTableauOpen(t), 4);
}

TEST(CheckPlayer, WasteTakesTheSameSuitOneUpOrDown) {
  TableBuilder t;
  t.Waste(0, {Card(3, 1), Card(7, 2)});
  EXPECT_EQ(CheckPlayer(t, 6, 2, play::kWastePile), play::kWastePile);
  EXPECT_EQ(CheckPlayer(t, 8, 2, play::kWastePile), play::kWastePile);
  EXPECT_EQ(CheckPlayer(t, 7, 2, play::kWastePile), std::nullopt);
  EXPECT_EQ(CheckPlayer(t, 6, 1, play::kWastePile), std::nullopt);
  EXPECT_EQ(CheckPlayer(t, 8, 3, play::kWastePile), std::nullopt);
  EXPECT_EQ(CheckPlayer(t, 5, 2, play::kWastePile), std::nullopt);
}

TEST(CheckPlayer, EmptyPilesAndOtherPilesTakeNothing) {
  TableBuilder t;
  t.Waste(0, {Card(7, 2)});
  EXPECT_EQ(CheckPlayer(t, 1, 1, play::kReservePile), std::nullopt);  // empty Reserve
  EXPECT_EQ(CheckPlayer(t, 6, 2, play::kStockPile), std::nullopt);
  t.Reserve(0, {Card(2, 4)});
  EXPECT_EQ(CheckPlayer(t, 1, 4, play::kReservePile), play::kReservePile);
  EXPECT_EQ(CheckPlayer(t, 3, 4, play::kReservePile), play::kReservePile);
  t.Waste(0, {});
  EXPECT_EQ(CheckPlayer(t, 1, 1, play::kWastePile), std::nullopt);
}

TEST(CheckTableauSingleCombine, MergeOntoTheHighestTopWins) {
  TableBuilder t;
  t.Tableau(1, {Card(4, 1)})  // onto the Five of pile 2
      .Tableau(2, {Card(9, 3), Card(5, 2)})
      .Tableau(3, {Card(9, 2)})  // onto the Ten of pile 4
      .Tableau(4, {Card(13, 1), Card(10, 1)});
  EXPECT_EQ(CheckTableauSingleCombine(t), (play::TableauCombine{3, 4}));
}

TEST(CheckTableauSingleCombine, TieTakesTheLowestPileThenTheLowestTarget) {
  TableBuilder t;
  t.Tableau(2, {Card(7, 1)}).Tableau(3, {Card(12, 2), Card(8, 2)}).Tableau(5, {Card(7, 4)}).Tableau(6, {Card(8, 3)});
  EXPECT_EQ(CheckTableauSingleCombine(t), (play::TableauCombine{2, 3}));
}

TEST(CheckTableauSingleCombine, OnlyOneCardPilesMove) {
  TableBuilder t;
  t.Tableau(1, {Card(9, 1), Card(4, 1)}).Tableau(2, {Card(5, 2)});
  EXPECT_EQ(CheckTableauSingleCombine(t), std::nullopt);
  play::SearchFindings findings;
  findings.TableauTarget = 7;
  EXPECT_EQ(CheckTableauSingleCombine(t, findings), 0);
  EXPECT_EQ(findings.TableauTarget, 7);
}

TEST(MoveCheckTableau, ToCenterOnTheHumansTurnTakesTheFirstPile) {
  TableBuilder t;
  t.Center(3, {Card(1, 2)}).Tableau(2, {Card(9, 1), Card(8, 3), Card(2, 2)}).Tableau(6, {Card(2, 2)});
  const play::TableauMoveMemory memory{};
  EXPECT_EQ(MoveCheckTableau(t, TableauMoveMode::ToCenter, kHuman, memory), (TableauMove{2, Card(2, 2), 3}));
}

TEST(MoveCheckTableau, ToCenterTheComputerTakesTheTwinFromTheShorterPile) {
  TableBuilder t;
  t.Center(3, {Card(1, 2)})
      .Tableau(2, {Card(9, 1), Card(8, 3), Card(2, 2)})
      .Tableau(4, {Card(5, 1), Card(2, 2)})
      .Tableau(6, {Card(2, 2)});
  const play::TableauMoveMemory memory{};
  EXPECT_EQ(MoveCheckTableau(t, TableauMoveMode::ToCenter, kComputer, memory), (TableauMove{4, Card(2, 2), 3}));
  // A one-card pile is taken as it is.
  t.Tableau(2, {Card(2, 2)});
  EXPECT_EQ(MoveCheckTableau(t, TableauMoveMode::ToCenter, kComputer, memory)->pile, 2);
}

TEST(MoveCheckTableau, ToTableauPrefersMergingAOneCardPile) {
  TableBuilder t;
  t.Tableau(1, {Card(11, 1), Card(6, 2)})  // onto the Seven of pile 3
      .Tableau(3, {Card(7, 1)})
      .Tableau(5, {Card(4, 3)})  // a one-card pile onto the Five of pile 8
      .Tableau(8, {Card(12, 3), Card(5, 4)});
  table::GameState state;
  play::SearchFindings findings;
  ASSERT_TRUE(MoveCheckTableau(t, state, findings, TableauMoveMode::ToTableau));
  EXPECT_EQ(state.MoveSource, PileControl::picTableau);
  EXPECT_EQ(state.MoveSourceIndex, 5);
  EXPECT_EQ(state.MoveCard, Card(4, 3));
  EXPECT_EQ(findings.TableauTarget, 8);
  EXPECT_EQ(findings.TableauMoveMemory[5], 4);
}

TEST(MoveCheckTableau, ToTableauSkipsAPileThatAlreadyMovedThatRank) {
  TableBuilder t;
  t.Tableau(1, {Card(11, 1), Card(6, 2)}).Tableau(2, {Card(10, 4), Card(6, 3)}).Tableau(3, {Card(13, 2), Card(7, 1)});
  table::GameState state;
  play::SearchFindings findings;
  findings.TableauMoveMemory[1] = 6;
  ASSERT_TRUE(MoveCheckTableau(t, state, findings, TableauMoveMode::ToTableau));
  EXPECT_EQ(state.MoveSourceIndex, 2);
  EXPECT_EQ(findings.TableauTarget, 3);
  EXPECT_EQ(findings.TableauMoveMemory[2], 6);
  EXPECT_EQ(findings.TableauMoveMemory[1], 6);
  // With both piles remembered nothing moves, and nothing is changed.
  state.MoveSourceIndex = 0;
  EXPECT_FALSE(MoveCheckTableau(t, state, findings, TableauMoveMode::ToTableau));
  EXPECT_EQ(state.MoveSourceIndex, 0);
}

// A search that finds nothing leaves every shared output as it was.
struct UnchangedCase {
  const char* name;
  bool (*search)(const table::PileArrays&, table::GameState&, play::SearchFindings&);
};

void PrintTo(const UnchangedCase& c, std::ostream* os) { *os << c.name; }

class SearchFailureLeavesTargets : public ::testing::TestWithParam<UnchangedCase> {};

TEST_P(SearchFailureLeavesTargets, OutputsUntouched) {
  TableBuilder t;
  t.FullTableau().Center(1, {Card(1, 1)}).Waste(0, {Card(9, 3)});
  table::GameState state;
  play::SearchFindings findings;
  findings.CenterTarget = 5;
  findings.TableauTarget = 6;
  findings.PlayerPileTarget = 3;
  state.MoveSource = PileControl::picPlayer;
  state.MoveSourceIndex = 2;
  state.MoveCard = Card(4, 4);
  findings.TableauMoveMemory[3] = 9;
  EXPECT_FALSE(GetParam().search(t, state, findings));
  EXPECT_EQ(findings.CenterTarget, 5);
  EXPECT_EQ(findings.TableauTarget, 6);
  EXPECT_EQ(findings.PlayerPileTarget, 3);
  EXPECT_EQ(state.MoveSource, PileControl::picPlayer);
  EXPECT_EQ(state.MoveSourceIndex, 2);
  EXPECT_EQ(state.MoveCard, Card(4, 4));
  EXPECT_EQ(findings.TableauMoveMemory[3], 9);
}

INSTANTIATE_TEST_SUITE_P(
    Wrappers, SearchFailureLeavesTargets,
    ::testing::Values(
        UnchangedCase{"CheckCenter", [](const table::PileArrays& p, table::GameState&,
                                        play::SearchFindings& f) { return CheckCenter(p, f, 3, 1); }},
        UnchangedCase{"CheckTableau", [](const table::PileArrays& p, table::GameState&,
                                         play::SearchFindings& f) { return CheckTableau(p, f, 5, 1, 0); }},
        UnchangedCase{"CheckTableauOpen", [](const table::PileArrays& p, table::GameState&,
                                             play::SearchFindings& f) { return CheckTableauOpen(p, f); }},
        UnchangedCase{"CheckPlayer", [](const table::PileArrays& p, table::GameState&,
                                        play::SearchFindings& f) { return CheckPlayer(p, f, 8, 1, play::kWastePile); }},
        UnchangedCase{"CheckTableauSingleCombine",
                      [](const table::PileArrays& p, table::GameState&, play::SearchFindings& f) {
                        return CheckTableauSingleCombine(p, f) != 0;
                      }},
        UnchangedCase{"MoveCheckTableauToCenter",
                      [](const table::PileArrays& p, table::GameState& s, play::SearchFindings& f) {
                        return MoveCheckTableau(p, s, f, TableauMoveMode::ToCenter);
                      }},
        UnchangedCase{"MoveCheckTableauToTableau",
                      [](const table::PileArrays& p, table::GameState& s, play::SearchFindings& f) {
                        return MoveCheckTableau(p, s, f, TableauMoveMode::ToTableau);
                      }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SearchWrappers, SetTheirTargetWhenTheyFindOne) {
  TableBuilder t;
  t.Center(2, {Card(1, 3)}).Tableau(4, {Card(9, 2)}).Waste(0, {Card(6, 4)});
  play::SearchFindings findings;
  EXPECT_TRUE(CheckCenter(t, findings, 2, 3));
  EXPECT_EQ(findings.CenterTarget, 2);
  EXPECT_TRUE(CheckTableau(t, findings, 8, 1, 0));
  EXPECT_EQ(findings.TableauTarget, 4);
  EXPECT_TRUE(CheckTableauOpen(t, findings));
  EXPECT_EQ(findings.TableauTarget, 1);
  EXPECT_TRUE(CheckPlayer(t, findings, 5, 4, play::kWastePile));
  EXPECT_EQ(findings.PlayerPileTarget, play::kWastePile);
}

}  // namespace
