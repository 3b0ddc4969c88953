// The computer's search: small steps that look for one kind of move, and
// those that also make it (filling a space, Tableau to Center, Tableau to
// Tableau, merging a one-card pile).
#include "play/computer/computer_player.h"

#include <cstdlib>

#include "play/rules/table_search.h"
#include "table/card.h"
#include "table/pile_ops.h"

namespace play {

using table::CardCode;
using table::CardRank;
using table::CardSuit;
using table::PileControl;

namespace {

// Suit alike and rank one apart: the cards a side may load onto each other.
bool InSuitSequence(CardCode a, CardCode b) {
  return table::IsCard(a) && table::IsCard(b) && CardSuit(a) == CardSuit(b) && std::abs(CardRank(a) - CardRank(b)) == 1;
}

}  // namespace

bool ComputerPlayer::MoveCheckReserve(CheckMode mode) {
  const auto& p = s_.piles;
  if (p.ReserveCount[kOpponentSide] <= 0) return false;
  const CardCode card = ReserveTop(p, kOpponentSide);
  const bool found = mode == CheckMode::Center ? CheckCenter(p, s_.findings, CardRank(card), CardSuit(card))
                                               : CheckTableau(p, s_.findings, CardRank(card), CardSuit(card), 0);
  if (found) {
    s_.state.MoveSource = PileControl::picOpponent;
    s_.state.MoveSourceIndex = kReservePile;
    s_.state.MoveCard = card;
  }
  return found;
}

bool ComputerPlayer::MoveCheckHand(CheckMode mode) {
  const auto& p = s_.piles;
  if (p.StockCount[kOpponentSide] <= 0) return false;
  const CardCode card = StockTop(p, kOpponentSide);
  const bool found = mode == CheckMode::Center ? CheckCenter(p, s_.findings, CardRank(card), CardSuit(card))
                                               : CheckTableau(p, s_.findings, CardRank(card), CardSuit(card), 0);
  if (found) {
    s_.state.MoveSource = PileControl::picOpponent;
    s_.state.MoveSourceIndex = kStockPile;
    s_.state.MoveCard = card;
  }
  return found;
}

bool ComputerPlayer::MoveCheckToPlayersCards() {
  const auto& p = s_.piles;
  for (const int source : {kStockPile, kReservePile}) {
    if (source == kStockPile && p.StockCount[kOpponentSide] <= 0) continue;
    const CardCode card = source == kStockPile ? StockTop(p, kOpponentSide) : ReserveTop(p, kOpponentSide);
    for (const int humanPile : {kHumanWaste, kHumanReserve}) {
      if (CheckPlayer(p, s_.findings, CardRank(card), CardSuit(card), humanPile)) {
        s_.state.MoveSource = PileControl::picOpponent;
        s_.state.MoveSourceIndex = static_cast<std::int16_t>(source);
        s_.state.MoveCard = card;
        return true;
      }
    }
  }
  return false;
}

bool ComputerPlayer::CheckForPayBack(int pile, int humanPile) {
  const auto& p = s_.piles;
  if (!table::IsValidSharedPile(pile)) return false;
  const int count = p.TableauCount[pile];
  if (count < 2 || count > table::kSharedPileCapacity) return false;
  // The card the move would uncover.
  const CardCode exposed = p.Tableau[pile][count - 1];
  const bool risk =
      InSuitSequence(exposed, StockTop(p, kOpponentSide)) || InSuitSequence(exposed, ReserveTop(p, kOpponentSide));
  if (!risk) return false;

  // No risk when the computer can get rid of the exposed card itself.
  const int rank = CardRank(exposed);
  const int suit = CardSuit(exposed);
  const int otherHumanPile = humanPile == kHumanReserve ? kHumanWaste : kHumanReserve;
  if (CheckPlayer(p, rank, suit, otherHumanPile)) {
    s_.findings.PlayerPileTarget = static_cast<std::int16_t>(humanPile);
    return false;
  }
  if (CheckCenter(p, rank, suit)) return false;
  if (count == 2 && CheckTableau(p, rank, suit, pile)) return false;
  return true;
}

bool ComputerPlayer::MoveCheckTABtoPlayersCards() {
  const auto& p = s_.piles;
  auto fits = [&p](int pile, int humanPile) {
    const CardCode top = TableauTop(p, pile);
    return CheckPlayer(p, CardRank(top), CardSuit(top), humanPile).has_value();
  };
  for (const int humanPile : {kHumanWaste, kHumanReserve}) {
    for (int pile = 1; pile <= table::kSharedPiles; ++pile) {
      const int count = p.TableauCount[pile];
      if (count == 0 || !fits(pile, humanPile)) continue;
      if (count > 1 && CheckForPayBack(pile, humanPile)) continue;
      int chosen = pile;
      if (count > 1) {
        // A shorter pile with a card that fits as well is nearer to giving
        // the computer an empty space.
        for (int j = 1; j <= table::kSharedPiles; ++j) {
          const int other = p.TableauCount[j];
          if (j == pile || other == 0 || other >= count) continue;
          if (fits(j, humanPile) && !CheckForPayBack(j, humanPile)) {
            chosen = j;
            break;
          }
        }
      }
      s_.state.MoveSource = PileControl::picTableau;
      s_.state.MoveSourceIndex = static_cast<std::int16_t>(chosen);
      s_.state.MoveCard = TableauTop(p, chosen);
      s_.findings.PlayerPileTarget = static_cast<std::int16_t>(humanPile);
      return true;
    }
  }
  return false;
}

bool ComputerPlayer::FillTableau(int side) {
  if (!table::IsValidSide(side)) return false;
  auto& st = s_.state;
  CardCode card = 0;
  int source = 0;
  if (s_.piles.ReserveCount[side] > 0) {
    // A Reserve card that can go to the Center goes there, not into a space.
    if (MoveCheckReserve(CheckMode::Center)) return false;
    if (CheckTableauOpen(s_.piles, s_.findings)) {
      card = ReserveTop(s_.piles, kOpponentSide);
      source = kReservePile;
    }
  } else {
    if (!st.StockTurned) {
      TurnOpponentStock(s_);
      if (Stopped()) return false;
    }
    if (MoveCheckHand(CheckMode::Center)) return false;
    if (CheckTableauOpen(s_.piles, s_.findings)) {
      card = StockTop(s_.piles, kOpponentSide);
      source = kStockPile;
    }
  }
  // An empty Stock leaves no card to fill with.
  if (card == 0) return false;
  st.MoveSource = PileControl::picOpponent;
  st.MoveSourceIndex = static_cast<std::int16_t>(source);
  st.MoveCard = card;
  if (!MakeMove(PileControl::picTableau, s_.findings.TableauTarget)) return false;
  s_.findings.TableauMoveMemory.fill(0);
  if (Stopped()) return true;
  Pause(s_.ThinkDelay);
  return true;
}

bool ComputerPlayer::MoveCheckTABtoTAB() {
  if (!MoveCheckTableau(s_.piles, s_.state, s_.findings, TableauMoveMode::ToTableau)) return false;
  if (!MakeMove(PileControl::picTableau, s_.findings.TableauTarget)) return false;
  if (Stopped()) return true;
  Pause(s_.ThinkDelay);
  FillTableau(1);
  return true;
}

bool ComputerPlayer::CheckTableauToCenter() {
  if (!MoveCheckTableau(s_.piles, s_.state, s_.findings, TableauMoveMode::ToCenter)) return false;
  if (!MakeMove(PileControl::picCenter, s_.findings.CenterTarget)) return false;
  if (Stopped()) return true;
  Pause(s_.ThinkDelay);
  FillTableau(1);
  return true;
}

bool ComputerPlayer::CombineSingleTableau() {
  auto& st = s_.state;
  const int pile = CheckTableauSingleCombine(s_.piles, s_.findings);
  if (pile == 0) return false;
  st.MoveSource = PileControl::picTableau;
  st.MoveSourceIndex = static_cast<std::int16_t>(pile);
  st.MoveCard = TableauTop(s_.piles, pile);
  if (!MakeMove(PileControl::picTableau, s_.findings.TableauTarget)) return false;
  if (Stopped()) return true;
  Pause(s_.ThinkDelay);
  FillTableau(1);
  return true;
}

}  // namespace play
