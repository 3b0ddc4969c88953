#include "play/rules/table_search.h"

#include "table/card.h"

namespace play {

using table::CardRank;
using table::CardSuit;
using table::kSharedPiles;

namespace {

template <typename Pile, typename Count>
CardCode TopOf(const Pile& pile, Count count) {
  return pile.at(static_cast<std::size_t>(count));
}

bool IsSuit(int suit) { return suit >= 1 && suit <= table::kSuitCount; }

}  // namespace

CardCode TableauTop(const PileArrays& piles, int pile) {
  return TopOf(piles.Tableau.at(pile), piles.TableauCount.at(pile));
}
CardCode CenterTop(const PileArrays& piles, int pile) {
  return TopOf(piles.Center.at(pile), piles.CenterCount.at(pile));
}
CardCode ReserveTop(const PileArrays& piles, int side) {
  return TopOf(piles.Reserve.at(side), piles.ReserveCount.at(side));
}
CardCode StockTop(const PileArrays& piles, int side) { return TopOf(piles.Stock.at(side), piles.StockCount.at(side)); }
CardCode WasteTop(const PileArrays& piles, int side) { return TopOf(piles.Waste.at(side), piles.WasteCount.at(side)); }

std::optional<int> CheckCenter(const PileArrays& piles, int rank, int suit) {
  if (!IsSuit(suit) || rank < table::kAce) return std::nullopt;
  for (int p = 1; p <= kSharedPiles; ++p) {
    const CardCode top = CenterTop(piles, p);
    const int topSuit = CardSuit(top);
    if (CardRank(top) == rank - 1 && (topSuit == suit || topSuit == 0)) return p;
  }
  return std::nullopt;
}

std::optional<int> CheckTableau(const PileArrays& piles, int rank, int suit, int excluded) {
  for (int p = 1; p <= kSharedPiles; ++p) {
    if (p == excluded || piles.TableauCount.at(p) == 0) continue;
    const CardCode top = TableauTop(piles, p);
    if (table::SuitsAlternate(CardSuit(top), suit) && CardRank(top) == rank + 1) return p;
  }
  return std::nullopt;
}

std::optional<int> CheckTableauOpen(const PileArrays& piles) {
  for (int p = 1; p <= kSharedPiles; ++p) {
    if (piles.TableauCount.at(p) == 0) return p;
  }
  return std::nullopt;
}

std::optional<int> CheckPlayer(const PileArrays& piles, int rank, int suit, int pile) {
  CardCode top = 0;
  if (pile == kReservePile) {
    top = ReserveTop(piles, kLocalSide);
  } else if (pile == kWastePile) {
    top = WasteTop(piles, kLocalSide);
  } else {
    return std::nullopt;
  }
  // An empty pile (suit 0) never takes a card.
  if (!IsSuit(suit) || CardSuit(top) != suit) return std::nullopt;
  const int topRank = CardRank(top);
  if (rank == topRank + 1 || rank == topRank - 1) return pile;
  return std::nullopt;
}

std::optional<TableauCombine> CheckTableauSingleCombine(const PileArrays& piles) {
  std::optional<TableauCombine> best;
  int bestRank = 0;
  for (int p = 1; p <= kSharedPiles; ++p) {
    if (piles.TableauCount.at(p) != 1) continue;
    const CardCode card = TableauTop(piles, p);
    for (int q = 1; q <= kSharedPiles; ++q) {
      if (q == p || piles.TableauCount.at(q) == 0) continue;
      const CardCode top = TableauTop(piles, q);
      if (!table::ColoursAlternate(card, top) || CardRank(card) != CardRank(top) - 1) continue;
      if (!best || CardRank(top) > bestRank) {
        best = TableauCombine{p, q};
        bestRank = CardRank(top);
      }
    }
  }
  return best;
}

std::optional<TableauMove> MoveCheckTableau(const PileArrays& piles, TableauMoveMode mode, table::Turn currentTurn,
                                            const TableauMoveMemory& memory) {
  if (mode == TableauMoveMode::ToTableau) {
    if (const auto combine = CheckTableauSingleCombine(piles)) {
      return TableauMove{combine->pile, TableauTop(piles, combine->pile), combine->target};
    }
  }
  for (int p = 1; p <= kSharedPiles; ++p) {
    if (piles.TableauCount.at(p) == 0) continue;
    const CardCode card = TableauTop(piles, p);
    const int rank = CardRank(card);
    const int suit = CardSuit(card);
    if (mode == TableauMoveMode::ToCenter) {
      const auto foundation = CheckCenter(piles, rank, suit);
      if (!foundation) continue;
      int chosen = p;
      // The computer plays the twin of the other deck from the shorter pile,
      // which brings it nearer to emptying a Tableau space.
      if (currentTurn != table::Turn::Local && piles.TableauCount.at(p) != 1) {
        for (int j = 1; j <= kSharedPiles; ++j) {
          if (j != p && piles.TableauCount.at(j) > 0 && TableauTop(piles, j) == card &&
              piles.TableauCount.at(j) < piles.TableauCount.at(p)) {
            chosen = j;
            break;
          }
        }
      }
      return TableauMove{chosen, TableauTop(piles, chosen), *foundation};
    }
    const auto target = CheckTableau(piles, rank, suit, p);
    if (!target) continue;
    // A pile whose card of this rank has already moved away this turn would
    // only bounce the same card back and forth.
    if (memory.at(p) == rank) continue;
    return TableauMove{p, card, *target};
  }
  return std::nullopt;
}

bool CheckCenter(const PileArrays& piles, SearchFindings& findings, int rank, int suit) {
  const auto found = CheckCenter(piles, rank, suit);
  if (found) findings.CenterTarget = static_cast<std::int16_t>(*found);
  return found.has_value();
}

bool CheckTableau(const PileArrays& piles, SearchFindings& findings, int rank, int suit, int excluded) {
  const auto found = CheckTableau(piles, rank, suit, excluded);
  if (found) findings.TableauTarget = static_cast<std::int16_t>(*found);
  return found.has_value();
}

bool CheckTableauOpen(const PileArrays& piles, SearchFindings& findings) {
  const auto found = CheckTableauOpen(piles);
  if (found) findings.TableauTarget = static_cast<std::int16_t>(*found);
  return found.has_value();
}

bool CheckPlayer(const PileArrays& piles, SearchFindings& findings, int rank, int suit, int pile) {
  const auto found = CheckPlayer(piles, rank, suit, pile);
  if (found) findings.PlayerPileTarget = static_cast<std::int16_t>(*found);
  return found.has_value();
}

int CheckTableauSingleCombine(const PileArrays& piles, SearchFindings& findings) {
  const auto found = CheckTableauSingleCombine(piles);
  if (!found) return 0;
  findings.TableauTarget = static_cast<std::int16_t>(found->target);
  return found->pile;
}

bool MoveCheckTableau(const PileArrays& piles, GameState& state, SearchFindings& findings, TableauMoveMode mode) {
  const auto found = MoveCheckTableau(piles, mode, state.CurrentTurn, findings.TableauMoveMemory);
  if (!found) return false;
  state.MoveSource = table::PileControl::picTableau;
  state.MoveSourceIndex = static_cast<std::int16_t>(found->pile);
  state.MoveCard = found->card;
  if (mode == TableauMoveMode::ToCenter) {
    findings.CenterTarget = static_cast<std::int16_t>(found->target);
  } else {
    findings.TableauTarget = static_cast<std::int16_t>(found->target);
    findings.TableauMoveMemory.at(found->pile) = static_cast<std::int16_t>(CardRank(found->card));
  }
  return true;
}

}  // namespace play
