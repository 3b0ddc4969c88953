#pragma once
// The cards and the piles of the double solitaire. Each side plays its own
// 52-card deck; a card code names a card within one deck.

#include <array>
#include <cstdint>

namespace table {

using CardCode = std::int16_t;  // 1..52 a card, 0 no card (painted: a face-down card)

constexpr int kRanksPerSuit = 13;
constexpr int kSuitCount = 4;
constexpr int kDeckSize = kRanksPerSuit * kSuitCount;
constexpr int kSides = 2;                              // 0 the local player, 1 the opponent
constexpr int kSidePileCapacity = kSides * kDeckSize;  // Reserve, Stock and Waste positions 1..104
constexpr int kSharedPileCapacity = kRanksPerSuit;     // Tableau and Center positions 1..13
constexpr int kSharedPiles = 8;                        // Tableau and Center piles 1..8

// The pile arrays every part of the game reads and writes. Positions and
// pile numbers start at 1 (index 0 is never used), because the saved-game
// records store them that way. A pile with count n holds its cards at
// positions 1..n, bottom first.
struct PileArrays {
  using SidePile = std::array<CardCode, kSidePileCapacity + 1>;
  using SharedPile = std::array<CardCode, kSharedPileCapacity + 1>;

  std::array<SidePile, kSides> Reserve{};  // before the deal, 1..52 hold the side's deck
  std::array<SidePile, kSides> Stock{};    // the "Hand" cards
  std::array<SidePile, kSides> Waste{};
  std::array<std::int16_t, kSides> ReserveCount{};
  std::array<std::int16_t, kSides> StockCount{};
  std::array<std::int16_t, kSides> WasteCount{};
  std::array<SharedPile, kSharedPiles + 1> Tableau{};
  std::array<SharedPile, kSharedPiles + 1> Center{};
  std::array<std::int16_t, kSharedPiles + 1> TableauCount{};
  std::array<std::int16_t, kSharedPiles + 1> CenterCount{};
  std::array<std::int16_t, kSides> ReserveFaceDown{};  // face-down cards under the Reserve's top

  bool operator==(const PileArrays&) const = default;
};

}  // namespace table
