#pragma once
// Builds pile arrays for the rule and search tests, card by card, and the
// table a deal for a seed leaves.

#include <cstdint>
#include <initializer_list>

#include "table/deal.h"
#include "table/piles.h"

namespace testing_support {

// The card of that rank (1..13) and suit (1..4).
constexpr table::CardCode Card(int rank, int suit) { return static_cast<table::CardCode>((suit - 1) * 13 + rank); }

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

// A freshly dealt table for a seed: 13 Reserve cards with 12 face down, a
// card on every Tableau pile (Tableau 8 to 5 the local side's, 1 to 4 the
// opponent's), 35 Stock cards.
inline table::PileArrays DealtTable(std::uint32_t seed) {
  table::PileArrays p;
  table::ShuffleDecks(p, table::SeededRandom(seed));
  for (int side = 0; side < table::kSides; ++side) {
    int t = side == 0 ? 9 : 0;
    for (int i = 14; i <= 17; ++i) {
      t += side == 0 ? -1 : 1;
      p.Tableau[t][1] = p.Reserve[side][i];
      p.TableauCount[t] = 1;
      p.Reserve[side][i] = 0;
    }
    for (int i = 18; i <= 52; ++i) {
      p.Stock[side][i - 17] = p.Reserve[side][i];
      p.Reserve[side][i] = 0;
    }
    p.StockCount[side] = 35;
    p.ReserveCount[side] = 13;
    p.ReserveFaceDown[side] = 12;
  }
  return p;
}

// One move of that side: the Hand's top card onto its Waste.
inline void HandToWaste(table::PileArrays& p, int side) {
  const table::CardCode card = p.Stock[side][p.StockCount[side]];
  p.Stock[side][p.StockCount[side]--] = 0;
  p.Waste[side][++p.WasteCount[side]] = card;
}

}  // namespace testing_support
