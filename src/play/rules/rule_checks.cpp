#include "play/rules/rule_checks.h"

#include "play/rules/table_search.h"
#include "table/card.h"

namespace play {

using table::CardRank;
using table::CardSuit;
using table::PileArrays;
using table::PileControl;

namespace {

const QString kCrLf = QStringLiteral("\r\n");

RuleVerdict Accept() { return {}; }
RuleVerdict Refuse(RuleReason reason) { return {reason}; }

bool ReserveTopFitsCenter(const PileArrays& piles) {
  const table::CardCode top = ReserveTop(piles, kLocalSide);
  return piles.ReserveCount.at(kLocalSide) > 0 && CheckCenter(piles, CardRank(top), CardSuit(top)).has_value();
}

}  // namespace

RuleVerdict CheckTarget(const Drop& drop) {
  const int rank = CardRank(drop.card);
  const int suit = CardSuit(drop.card);
  const int topRank = CardRank(drop.targetTop);
  const int topSuit = CardSuit(drop.targetTop);
  switch (drop.target) {
    case PileControl::picCenter:
      if (drop.targetTop == 0 && rank == table::kAce) return Accept();
      if (topSuit != 0 && suit == topSuit && rank == topRank + 1) return Accept();
      return Refuse(RuleReason::CenterSequence);
    case PileControl::picTableau:
      if (drop.targetTop == 0) return Accept();
      if (table::SuitsAlternate(suit, topSuit) && rank == topRank - 1) return Accept();
      return Refuse(RuleReason::TableauColours);
    case PileControl::picOpponent:
      if (drop.targetIndex != kReservePile && drop.targetIndex != kWastePile) {
        return Refuse(RuleReason::WrongPlace);
      }
      // An empty opponent pile has no suit and so never takes a card.
      if (topSuit != 0 && suit == topSuit && (rank == topRank - 1 || rank == topRank + 1)) {
        return Accept();
      }
      return Refuse(RuleReason::OpponentSequence);
    case PileControl::picPlayer: return Refuse(RuleReason::WrongPlace);
    case PileControl::None: break;
  }
  return Accept();
}

QString RuleText(RuleReason reason) {
  switch (reason) {
    case RuleReason::WrongPlace: return {};
    case RuleReason::CenterSequence: return QStringLiteral("Center piles are built up in sequence and suit.");
    case RuleReason::TableauColours: return QStringLiteral("Tableau piles are built down in alternating colors.");
    case RuleReason::OpponentSequence:
    case RuleReason::OpponentSequenceToo:
      return QStringLiteral(
          "Cards played to your opponent's Reserve or Wastepile must be in suit and up or down "
          "sequence.");
    case RuleReason::OwnReserve: return QStringLiteral("You can't play a card to your own Reserve pile.");
    case RuleReason::WasteIsDead:
      return QStringLiteral("Once a card has been placed on your Wastepile, you cannot play it.");
    case RuleReason::FillTableauBeforeStock:
      return QStringLiteral(
          "STOP! You must fill an empty Tableau with your Reserve card before playing your Stock "
          "card!");
    case RuleReason::ReserveToCenterBeforeStock:
      return QStringLiteral(
          "STOP! Your Reserve card is playable to the Center Foundation. You must play your "
          "Reserve card there before turning over your Stock card!");
    case RuleReason::TableauToCenterBeforeStock:
      return QStringLiteral(
          "STOP! Tableau cards that can be played to the Center, must be moved there before "
          "turning over your Stock card!");
    case RuleReason::FillTableauBeforeEndTurn:
      return QStringLiteral("STOP! You must fill empty Tableau spaces before ending your turn!");
    case RuleReason::HandCardToCenter:
      return QStringLiteral(
          "STOP! Your hand Stock card is playable to the Center Foundation. You must play your "
          "Stock card there!");
    case RuleReason::TableauToCenterBeforeEndTurn:
      return QStringLiteral(
          "STOP! Tableau cards that can be played to the Center, must be moved there before "
          "ending your turn!");
    case RuleReason::ReserveToCenterNow:
      return QStringLiteral(
          "STOP! Your Reserve card is playable to the Center Foundation. You must play that card "
          "there immediately!");
    case RuleReason::NotToCenter: return QStringLiteral("That card cannot be played to the Center.");
  }
  return {};
}

bool HasWrongPlaceHeading(RuleReason reason) {
  return static_cast<int>(reason) < static_cast<int>(RuleReason::WasteIsDead);
}

RuleVerdict CheckDrop(const PileArrays& piles, const Drop& drop) {
  // No card in hand is never a move.
  if (!table::IsCard(drop.card)) return Refuse(RuleReason::WrongPlace);

  const bool fromOwnReserve = drop.source == PileControl::picPlayer && drop.sourceIndex == kReservePile;
  if (!fromOwnReserve && ReserveTopFitsCenter(piles)) return Refuse(RuleReason::ReserveToCenterNow);

  if (drop.source == PileControl::picPlayer) {
    const int rank = CardRank(drop.card);
    const int suit = CardSuit(drop.card);
    const bool toCenter = drop.target == PileControl::picCenter;
    switch (drop.sourceIndex) {
      case kStockPile:
        if (piles.ReserveCount.at(kLocalSide) > 0 && CheckTableauOpen(piles)) {
          return Refuse(RuleReason::FillTableauBeforeStock);
        }
        if (!toCenter && CheckCenter(piles, rank, suit)) return Refuse(RuleReason::HandCardToCenter);
        if (drop.target == PileControl::picPlayer && drop.targetIndex == kWastePile) {
          // The Hand card onto one's own Waste ends the turn.
          if (CheckTableauOpen(piles)) return Refuse(RuleReason::FillTableauBeforeEndTurn);
          return Accept();
        }
        break;
      case kWastePile: return Refuse(RuleReason::WasteIsDead);
      case kReservePile:
        if (!toCenter && CheckCenter(piles, rank, suit)) {
          return Refuse(RuleReason::ReserveToCenterNow);
        }
        if (drop.target == PileControl::picPlayer) {
          if (drop.targetIndex == kReservePile) return Refuse(RuleReason::OwnReserve);
          if (drop.targetIndex == kWastePile) return Refuse(RuleReason::WrongPlace);
        }
        break;
      default: break;
    }
  }
  return CheckTarget(drop);
}

RuleVerdict CanTurnStock(const PileArrays& piles, table::Turn currentTurn) {
  if (piles.ReserveCount.at(kLocalSide) == 0) return Accept();
  if (CheckTableauOpen(piles)) return Refuse(RuleReason::FillTableauBeforeStock);
  if (ReserveTopFitsCenter(piles)) return Refuse(RuleReason::ReserveToCenterBeforeStock);
  const TableauMoveMemory noMemory{};
  if (MoveCheckTableau(piles, TableauMoveMode::ToCenter, currentTurn, noMemory)) {
    return Refuse(RuleReason::TableauToCenterBeforeStock);
  }
  return Accept();
}

void IllegalMove(RuleReason reason, PlayState& state, const RuleMessageOutput& out) {
  if (out.Online) {
    state.RuleMessageShown = true;
    out.view.SetImageVisible(table::TableImage::imgIcon, false);
  }
  // The line is built from the reason alone: whatever text an earlier
  // announcement left in Message must not trail behind a rule message.
  QString caption;
  QString text;
  if (state.CurrentTurn != table::Turn::Opponent) {
    if (HasWrongPlaceHeading(reason)) caption = kWrongPlaceHeading + kCrLf;
    text = RuleText(reason);
  } else {
    text = kNotYourTurn;
    out.effects.PlaySfx(kNotYourTurnEffect);
  }
  if (out.SoundOn) out.channel.Play(out.DataPath + kErrorSoundFile);
  out.view.SetLabel(table::TableLabel::lblMessage, caption + text);
  state.Message.clear();
}

bool CheckDrop(const PileArrays& piles, const Drop& drop, PlayState& state, const RuleMessageOutput& out) {
  const RuleVerdict verdict = CheckDrop(piles, drop);
  if (verdict.refusal) IllegalMove(*verdict.refusal, state, out);
  return verdict.Legal();
}

bool CanTurnStock(const PileArrays& piles, PlayState& state, const RuleMessageOutput& out) {
  const RuleVerdict verdict = CanTurnStock(piles, state.CurrentTurn);
  if (verdict.refusal) IllegalMove(*verdict.refusal, state, out);
  return verdict.Legal();
}

void HandEmptyHint(table::TableView& view) {
  view.SetLabel(table::TableLabel::lblTurn, kHandEmptyHint);
  view.SetImageVisible(table::TableImage::cmdDone, true);
}

}  // namespace play
