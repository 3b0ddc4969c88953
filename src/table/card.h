#pragma once
// Suit, rank and colour of a card code, the one helper every part of the
// game uses to read a card.

#include "table/piles.h"

namespace table {

constexpr int kAce = 1;
constexpr int kKing = kRanksPerSuit;

// Suits 1 and 4 are black, suits 2 and 3 red. No card has no colour.
enum class CardColour { None, Black, Red };

constexpr bool IsCard(CardCode card) { return card >= 1 && card <= kDeckSize; }

// 1..4, or 0 for no card. A code outside 1..52 (only a damaged record holds
// one) reads as no card rather than as a fifth suit.
constexpr int CardSuit(CardCode card) { return IsCard(card) ? (card - 1) / kRanksPerSuit + 1 : 0; }

// 1 (Ace) .. 13 (King), or 0 for no card.
constexpr int CardRank(CardCode card) {
  if (!IsCard(card)) return 0;
  const int rank = card % kRanksPerSuit;
  return rank == 0 ? kKing : rank;
}

constexpr CardColour SuitColour(int suit) {
  switch (suit) {
    case 1:
    case 4: return CardColour::Black;
    case 2:
    case 3: return CardColour::Red;
    default: return CardColour::None;
  }
}

constexpr CardColour CardColourOf(CardCode card) { return SuitColour(CardSuit(card)); }

// One suit black and the other red. An empty pile's top (suit 0) has no
// colour and so never alternates with anything.
constexpr bool SuitsAlternate(int suitA, int suitB) {
  const CardColour a = SuitColour(suitA);
  const CardColour b = SuitColour(suitB);
  return a != CardColour::None && b != CardColour::None && a != b;
}

constexpr bool ColoursAlternate(CardCode a, CardCode b) { return SuitsAlternate(CardSuit(a), CardSuit(b)); }

}  // namespace table
