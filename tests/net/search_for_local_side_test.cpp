// The computer's search asked for the local side of a table: its moves come
// back named from the local side, and the table itself is left alone.

#include <gtest/gtest.h>

#include "net/search_for_local_side.h"
#include "play/table_builder.h"

namespace {

using net::SearchMove;
using table::PileControl;
using testing_support::Card;
using testing_support::TableBuilder;

play::PlayState LocalTurn() {
  play::PlayState st;
  st.CurrentTurn = table::Turn::Local;
  st.TurnCount = 2;
  return st;
}

TEST(SearchForLocalSide, FindsTheLocalSidesMovesNamedFromTheLocalSide) {
  // The local Reserve's Ace goes to the Center; the table stays as it was.
  TableBuilder aceUp;
  aceUp.FullTableau().Reserve(0, {Card(9, 3), Card(1, 2)}).Reserve(1, {Card(5, 4)});
  const table::PileArrays before = aceUp.piles();
  EXPECT_EQ(net::NextSearchMove(aceUp, LocalTurn()),
            (SearchMove{PileControl::picPlayer, 2, Card(1, 2), PileControl::picCenter, 1}));
  EXPECT_EQ(aceUp.piles(), before);

  // A card that fits only the opponent's Waste is loaded there: the
  // opponent's pile, as the local side sees it.
  TableBuilder load;
  load.FullTableau().Reserve(0, {Card(9, 3), Card(6, 1)}).Reserve(1, {Card(5, 4)}).Waste(1, {Card(7, 1)});
  EXPECT_EQ(net::NextSearchMove(load, LocalTurn()),
            (SearchMove{PileControl::picPlayer, 2, Card(6, 1), PileControl::picOpponent, 3}));
}

TEST(SearchForLocalSide, ObligedMovesComeInTheOrderTheRulesAskForThem) {
  // The Reserve's card that fits the Center goes there before it may fill
  // the space; a Tableau card for the Center comes last.
  TableBuilder space;
  space.FullTableau().Tableau(3, {}).Tableau(5, {Card(1, 4)}).Reserve(0, {Card(9, 3), Card(1, 2)});
  space.Stock(0, {Card(8, 1)});
  EXPECT_EQ(net::ObligedMoves(space, false),
            (std::vector<SearchMove>{{PileControl::picPlayer, 2, Card(1, 2), PileControl::picCenter, 1},
                                     {PileControl::picPlayer, 2, Card(1, 2), PileControl::picTableau, 3},
                                     {PileControl::picTableau, 5, Card(1, 4), PileControl::picCenter, 1}}));

  // With the Reserve empty, the turned-up Hand card fills the space.
  TableBuilder hand;
  hand.FullTableau().Tableau(6, {}).Stock(0, {Card(3, 3), Card(8, 1)});
  EXPECT_EQ(net::ObligedMoves(hand, true),
            (std::vector<SearchMove>{{PileControl::picPlayer, 1, Card(8, 1), PileControl::picTableau, 6}}));
  EXPECT_TRUE(net::ObligedMoves(hand, false).empty());
}

}  // namespace
