#pragma once
// Builds pile arrays for the rule and search tests, card by card.

#include <initializer_list>

#include "table/piles.h"

namespace testing_support {

// The card of that rank (1..13) and suit (1..4).
constexpr table::CardCode Card(int rank, int suit) {
  return static_cast<table::CardCode>((suit - 1) * 13 + rank);
}

class TableBuilder {
 public:
  TableBuilder& Tableau(int pile, std::initializer_list<table::CardCode> cards) {
    Fill(piles_.Tableau.at(pile), piles_.TableauCount.at(pile), cards);
    return *this;
  }
  TableBuilder& Center(int pile, std::initializer_list<table::CardCode> cards) {
    Fill(piles_.Center.at(pile), piles_.CenterCount.at(pile), cards);
    return *this;
  }
  TableBuilder& Reserve(int side, std::initializer_list<table::CardCode> cards) {
    Fill(piles_.Reserve.at(side), piles_.ReserveCount.at(side), cards);
    return *this;
  }
  TableBuilder& Stock(int side, std::initializer_list<table::CardCode> cards) {
    Fill(piles_.Stock.at(side), piles_.StockCount.at(side), cards);
    return *this;
  }
  TableBuilder& Waste(int side, std::initializer_list<table::CardCode> cards) {
    Fill(piles_.Waste.at(side), piles_.WasteCount.at(side), cards);
    return *this;
  }
  // Every Tableau pile holds one card that fits nowhere in the tests
  // (Kings), so that no STOP rule about empty spaces applies.
  TableBuilder& FullTableau() {
    for (int p = 1; p <= table::kSharedPiles; ++p) Tableau(p, {Card(13, (p - 1) % 4 + 1)});
    return *this;
  }
  const table::PileArrays& piles() const { return piles_; }
  operator const table::PileArrays&() const { return piles_; }

 private:
  template <typename Pile>
  static void Fill(Pile& pile, std::int16_t& count, std::initializer_list<table::CardCode> cards) {
    pile.fill(0);
    int position = 0;
    for (table::CardCode card : cards) pile.at(++position) = card;
    count = static_cast<std::int16_t>(position);
  }

  table::PileArrays piles_;
};

}  // namespace testing_support
