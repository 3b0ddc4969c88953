#include "play/computer/computer_player.h"

#include <QtGlobal>
#include <algorithm>

#include "platform/vb.h"
#include "platform/wait.h"
#include "play/rules/rule_checks.h"
#include "play/rules/table_search.h"
#include "table/deal.h"
#include "table/sound_effects.h"
#include "table/table_view.h"

namespace play {

using table::PileControl;

void PassTurnToPlayer(MoveServices& s) {
  PlayState& st = s.state;
  st.CurrentTurn = table::Turn::Local;
  st.TurnCount = vb::SaturatingAdd(st.TurnCount, 1);
  s.hooks.SaveGameRecord();
  st.TempMoveNumber = 1;
  s.hooks.WriteMoveRecord(st.TempMoveNumber);
  s.view.SetImageVisible(table::TableImage::ImgTurn1, true);
  s.view.SetImageVisible(table::TableImage::ImgTurn2, false);
  s.sfx.PlaySfx(kYourTurnEffect);
}

bool ComputerPlayer::Stopped() const { return s_.state.GameEnded || s_.wait.Exiting(); }

void ComputerPlayer::Pause(double seconds) { s_.wait.Pause(seconds); }

bool ComputerPlayer::MakeMove(PileControl target, int index) {
  if (movesThisTurn_ >= kMaxMovesPerTurn) {
    if (movesThisTurn_ == kMaxMovesPerTurn) {
      qWarning("computer turn handed back after %d moves", kMaxMovesPerTurn);
      ++movesThisTurn_;  // warn once
    }
    return false;
  }
  auto busy = s_.guard.Enter(table::Activity::Move);
  auto& st = s_.state;
  s_.view.AnimateCard(st.MoveSource, st.MoveSourceIndex, st.MoveCard, target, index);
  MoveResult placed = MoveResult::NoSuchPile;
  switch (target) {
    case PileControl::picCenter: placed = PlaceOnCenter(s_, index); break;
    case PileControl::picTableau: placed = PlaceOnTableau(s_, index); break;
    case PileControl::picPlayer: placed = PlaceOnSidePile(s_, index, kLocalOwner); break;
    default: break;
  }
  if (placed != MoveResult::Applied) {
    // The card stays where it was; show its picture again.
    s_.view.SetPileVisible(st.MoveSource, st.MoveSourceIndex, true);
    return false;
  }
  ++movesThisTurn_;
  RemoveFromSourcePile(s_, st.MoveSource, st.MoveSourceIndex);
  return true;
}

TurnReport ComputerPlayer::ComputerTurn() {
  auto busy = s_.guard.Enter(table::Activity::ComputerTurn);
  auto& st = s_.state;
  const auto& p = s_.piles;
  movesThisTurn_ = 0;
  TurnReport report;
  auto finish = [&](TurnOutcome outcome) {
    report.outcome = outcome;
    report.moves = std::min(movesThisTurn_, kMaxMovesPerTurn);
    return report;
  };
  auto stopped = [&] { return finish(st.GameEnded ? TurnOutcome::GameEnded : TurnOutcome::Exiting); };
  // An ended game has no turn to play.
  if (Stopped()) return stopped();

  st.TempMoveNumber = 0;
  st.ComputerThinking = true;
  s_.view.SetImageVisible(table::TableImage::ImgTurn2, true);
  s_.view.SetLabel(table::TableLabel::lblTurn, kMyTurnLine);
  st.StockTurned = false;
  if (p.StockCount[kOpponentSide] == 0 && p.WasteCount[kOpponentSide] > 0)
    table::RecycleWaste(s_.piles, st, s_.view, s_.sfx);
  Pause(s_.ThinkDelay);
  s_.findings.TableauMoveMemory.fill(0);
  s_.view.SetCardFrameVisible(0, false);

  // On its first turn the computer clears what the deal put within reach of
  // the Center before anything else.
  const bool firstTurn = st.TurnCount == 1;
  if (firstTurn) {
    while (CheckTableauToCenter()) {
      if (Stopped()) return stopped();
    }
  }

  for (;;) {
    if (Stopped()) return stopped();
    ++report.passes;
    s_.findings.CardPlaced = false;

    // Reserve to the Center, each such move followed by one Tableau card to
    // the Center.
    if (p.ReserveCount[kOpponentSide] > 0) {
      for (;;) {
        bool moved = false;
        if (MoveCheckReserve(CheckMode::Center)) {
          Pause(s_.ThinkDelay);
          moved = MakeMove(PileControl::picCenter, s_.findings.CenterTarget);
          if (Stopped()) return stopped();
          if (moved) {
            CheckTableauToCenter();
            if (Stopped()) return stopped();
          }
        }
        if (firstTurn && CheckTableauOpen(p)) {
          if (FillTableau(1)) moved = true;
          if (Stopped()) return stopped();
        }
        if (!moved) break;
      }
    }

    // The Hand card and the Reserve to the Center, then the Tableau.
    for (;;) {
      if (Stopped()) return stopped();
      bool centerMoveFound = false;
      while (p.StockCount[kOpponentSide] > 0) {
        if (!st.StockTurned) {
          TurnOpponentStock(s_);
          if (Stopped()) return stopped();
        }
        if (!MoveCheckHand(CheckMode::Center)) break;
        Pause(s_.ThinkDelay);
        if (!MakeMove(PileControl::picCenter, s_.findings.CenterTarget)) break;
        if (Stopped()) return stopped();
        Pause(s_.ThinkDelay);
        centerMoveFound = true;
      }
      if (p.ReserveCount[kOpponentSide] > 0) {
        while (MoveCheckReserve(CheckMode::Center)) {
          Pause(s_.ThinkDelay);
          if (!MakeMove(PileControl::picCenter, s_.findings.CenterTarget)) break;
          if (Stopped()) return stopped();
          centerMoveFound = true;
        }
      }
      if (!centerMoveFound) {
        centerMoveFound = CheckTableauToCenter();
        if (Stopped()) return stopped();
      }
      if (centerMoveFound) continue;

      if (CombineSingleTableau()) {
        if (Stopped()) return stopped();
        continue;
      }
      if (MoveCheckHand(CheckMode::Tableau)) {
        Pause(s_.ThinkDelay);
        if (MakeMove(PileControl::picTableau, s_.findings.TableauTarget)) {
          if (Stopped()) return stopped();
          Pause(s_.ThinkDelay);
          continue;
        }
      }
      break;
    }

    // The Reserve onto the Tableau, then perhaps a Tableau move that the
    // new Reserve top cannot make use of anyway.
    if (p.ReserveCount[kOpponentSide] > 0 && MoveCheckReserve(CheckMode::Tableau)) {
      Pause(s_.ThinkDelay);
      if (MakeMove(PileControl::picTableau, s_.findings.TableauTarget)) {
        if (Stopped()) return stopped();
        if (p.ReserveCount[kOpponentSide] > 0 && !MoveCheckReserve(CheckMode::Center)) {
          MoveCheckTABtoTAB();
          if (Stopped()) return stopped();
        }
      }
    }

    if (!s_.findings.CardPlaced) {
      CombineSingleTableau();
      if (Stopped()) return stopped();
    }

    // Load the human's piles: from the computer's own cards first, then
    // from the Tableau.
    if (!s_.findings.CardPlaced && MoveCheckToPlayersCards()) {
      const int humanPile = s_.findings.PlayerPileTarget;
      Pause(s_.ThinkDelay);
      if (MakeMove(PileControl::picPlayer, humanPile)) {
        if (Stopped()) return stopped();
        s_.view.SetCardFrameBackStyle(humanPile, kFrameTransparent);
      }
    }
    if (!s_.findings.CardPlaced && MoveCheckTABtoPlayersCards()) {
      const int humanPile = s_.findings.PlayerPileTarget;
      Pause(s_.ThinkDelay);
      if (MakeMove(PileControl::picPlayer, humanPile)) {
        if (Stopped()) return stopped();
        FillTableau(1);
        if (Stopped()) return stopped();
        s_.view.SetCardFrameBackStyle(humanPile, kFrameTransparent);
      }
    }
    if (!s_.findings.CardPlaced) {
      MoveCheckTABtoTAB();
      if (Stopped()) return stopped();
    }

    if (st.AbortComputerTurn) {
      st.AbortComputerTurn = false;
      st.CurrentTurn = table::Turn::None;
      st.ComputerThinking = false;
      s_.view.ClearTable();
      s_.view.SetImageVisible(table::TableImage::cmdDeal, true);
      return finish(TurnOutcome::Aborted);
    }
    if (s_.findings.CardPlaced) continue;
    if (CheckTableauOpen(p) && FillTableau(1)) continue;
    break;
  }

  const bool capReached = movesThisTurn_ >= kMaxMovesPerTurn;
  if (!st.TutorialMode) s_.view.SetLabel(table::TableLabel::lblMessage, QString());
  CompEndTurn();
  if (s_.wait.Exiting()) return finish(TurnOutcome::Exiting);
  s_.view.SetLabel(table::TableLabel::lblTurn, kYourTurnLine);
  if (p.StockCount[kLocalSide] == 0 && p.WasteCount[kLocalSide] == 0) HandEmptyHint(s_.view);
  return finish(capReached ? TurnOutcome::MoveCapReached : TurnOutcome::HandedBack);
}

void ComputerPlayer::CompEndTurn() {
  auto& st = s_.state;
  if (s_.piles.StockCount[kOpponentSide] > 0) {
    // The Hand card goes to the computer's own Waste without a slide.
    st.MoveSource = PileControl::picOpponent;
    st.MoveCard = StockTop(s_.piles, kOpponentSide);
    st.MoveSourceIndex = kEndOfTurnDiscard;
    if (PlaceOnSidePile(s_, kWastePile, kOpponentOwner) == MoveResult::Applied)
      RemoveFromSourcePile(s_, PileControl::picOpponent, kStockPile);
  }
  if (s_.wait.Exiting()) return;
  Pause(kEndTurnPause);
  PassTurnToPlayer(s_);
  st.ComputerThinking = false;
}

}  // namespace play
