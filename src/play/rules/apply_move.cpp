#include "play/rules/apply_move.h"

#include <QtGlobal>

#include "platform/vb.h"
#include "platform/wait.h"
#include "play/rules/rule_checks.h"
#include "play/rules/table_search.h"
#include "table/card.h"
#include "table/deal.h"
#include "table/pile_ops.h"
#include "table/sound_effects.h"
#include "table/table_view.h"

namespace play {

using table::CardCode;
using table::PileControl;
using table::TableLabel;

namespace {

constexpr int kSilent = 0;  // PaintCard without a card sound

int SideOfTurn(const PlayState& state) { return state.CurrentTurn == table::Turn::Local ? kLocalSide : kOpponentSide; }

PileControl SideControl(int side) { return side == kLocalSide ? PileControl::picPlayer : PileControl::picOpponent; }

TableLabel HandLabel(int side) { return side == kLocalSide ? TableLabel::lblPHandCnt : TableLabel::lblOHandCnt; }
TableLabel ReserveLabel(int side) { return side == kLocalSide ? TableLabel::lblPResCnt : TableLabel::lblOResCnt; }
TableLabel WasteLabel(int side) { return side == kLocalSide ? TableLabel::lblPWasteCnt : TableLabel::lblOWasteCnt; }

// lblTabCnt shows a Tableau pile's count only from two cards up.
QString TableauCountText(int count) { return count > 1 ? vb::D(count) : QString(); }

bool LocalOnlineMove(const MoveServices& s) { return s.state.CurrentTurn == table::Turn::Local && s.net.Online(); }

MoveResult CheckPush(int count, int capacity, CardCode card) {
  if (count < 0 || count >= capacity) return MoveResult::PileFull;
  if (!table::IsCard(card)) return MoveResult::NoSuchCard;
  return MoveResult::Applied;
}

MoveResult Refuse(const char* operation, MoveResult result, int pile) {
  qCritical("%s refused for pile %d: %s", operation, pile, MoveResultText(result));
  return result;
}

// The tutorial holds the table until its Next button is pressed. A tutorial
// closed meanwhile leaves the table free for good.
void WaitForTutorial(MoveServices& s) {
  s.wait.WaitUntil([&s] { return s.state.TutorialContinue; });
  if (s.state.TutorialMode) s.state.TutorialContinue = false;
}

// The Stock lost its top card.
void AfterStockRemoved(MoveServices& s, PileControl source, int side, bool& gameOver) {
  auto& p = s.piles;
  const int count = p.StockCount[side];
  s.view.SetLabel(HandLabel(side), vb::D(count));
  if (count > 0) {
    s.view.PaintCard(source, kStockPile, 0, kSilent);
    s.state.StockTurned = false;
    return;
  }
  s.view.ShowEmpty(source, kStockPile);
  s.state.StockTurned = false;
  s.view.SetLabel(HandLabel(side), QString());
  if (p.WasteCount[side] == 0) {
    s.view.MoveSmokeTo(source, kStockPile);
    s.wait.Yield();
    s.view.BringToFront(source, kStockPile);
    if (p.ReserveCount[side] == 0) {
      s.view.EnablePiles(false);
      s.hooks.GameOver(side);
      gameOver = true;
    } else if (s.state.CurrentTurn == table::Turn::Local) {
      HandEmptyHint(s.view);
    } else {
      s.view.SetLabel(TableLabel::lblTurn, QString());
    }
  } else if (!s.net.Online() && side == kOpponentSide && s.state.MoveSourceIndex != kEndOfTurnDiscard) {
    s.wait.Pause(s.ThinkDelay);
    table::RecycleWaste(s.piles, s.state, s.view, s.sfx);
    s.wait.Pause(s.ThinkDelay / 2);
    TurnOpponentStock(s);
  }
}

// The Reserve lost its top card; the next one may have to be turned up.
void AfterReserveRemoved(MoveServices& s, PileControl source, int side, bool& gameOver) {
  auto& p = s.piles;
  const int count = p.ReserveCount[side];
  s.view.SetLabel(ReserveLabel(side), vb::D(count));
  if (count == 0) {
    s.view.ShowEmpty(source, kReservePile);
    s.view.BringToFront(source, kReservePile);
    s.wait.Pause(s.ThinkDelay / 2);
    s.view.SetLabel(ReserveLabel(side), QString());
    if (p.WasteCount[side] == 0 && p.StockCount[side] == 0) {
      s.view.EnablePiles(false);
      s.hooks.GameOver(side);
      gameOver = true;
    }
    return;
  }
  int effect = 0;
  if (p.ReserveFaceDown[side] == count) {
    s.view.PaintCard(source, kReservePile, 0, kSilent);
    s.view.BringToFront(source, kReservePile);
    --p.ReserveFaceDown[side];
    effect = kReserveTurnUpSound;
  }
  s.wait.Pause(kReserveTurnUpPause);
  s.view.PaintCard(source, kReservePile, table::TopCard(p, table::SidePile::Reserve, side), effect);
  s.view.BringToFront(source, kReservePile);
  s.wait.Pause(s.ThinkDelay / 2);
  s.view.SetLabel(ReserveLabel(side), vb::D(count));
}

void AfterTableauRemoved(MoveServices& s, int pile) {
  const int count = s.piles.TableauCount[pile];
  if (count == 0) {
    s.view.ShowEmpty(PileControl::picTableau, pile);
    s.view.SetTabCount(pile, QString());
    s.wait.Pause(s.ThinkDelay);
  } else {
    s.view.PaintCard(PileControl::picTableau, pile, table::TopCard(s.piles, table::SharedPile::Tableau, pile), kSilent);
    s.view.SetTabCount(pile, TableauCountText(count));
  }
}

}  // namespace

const char* MoveResultText(MoveResult result) {
  switch (result) {
    case MoveResult::Applied: return "applied";
    case MoveResult::NoSuchPile: return "no such pile";
    case MoveResult::PileFull: return "the pile is full";
    case MoveResult::NoSuchCard: return "not a card";
    case MoveResult::EmptySource: return "the source pile is empty";
    case MoveResult::NotASource: return "cards are never taken from that pile";
  }
  return "unknown";
}

QString PileControlName(PileControl pile) {
  switch (pile) {
    case PileControl::picPlayer: return QStringLiteral("picPlayer");
    case PileControl::picOpponent: return QStringLiteral("picOpponent");
    case PileControl::picTableau: return QStringLiteral("picTableau");
    case PileControl::picCenter: return QStringLiteral("picCenter");
    case PileControl::None: break;
  }
  return QString();
}

MoveResult PlaceOnCenter(MoveServices& s, int pile) {
  if (!table::IsValidSharedPile(pile)) return Refuse("PlaceOnCenter", MoveResult::NoSuchPile, pile);
  const MoveResult ok = CheckPush(s.piles.CenterCount[pile], table::kSharedPileCapacity, s.state.MoveCard);
  if (ok != MoveResult::Applied) return Refuse("PlaceOnCenter", ok, pile);
  auto busy = s.guard.Enter(table::Activity::Move);

  table::PushCard(s.piles, table::SharedPile::Center, pile, s.state.MoveCard);
  s.view.PaintCard(PileControl::picCenter, pile, s.state.MoveCard, kCenterSound);
  s.findings.TableauMoveMemory.fill(0);
  s.findings.CardPlaced = true;
  if (LocalOnlineMove(s)) {
    s.NetMove.MoveToPile = PileControlName(PileControl::picCenter);
    s.NetMove.MoveToIndex = static_cast<std::int16_t>(pile);
  }
  return MoveResult::Applied;
}

MoveResult PlaceOnTableau(MoveServices& s, int pile) {
  if (!table::IsValidSharedPile(pile)) return Refuse("PlaceOnTableau", MoveResult::NoSuchPile, pile);
  const MoveResult ok = CheckPush(s.piles.TableauCount[pile], table::kSharedPileCapacity, s.state.MoveCard);
  if (ok != MoveResult::Applied) return Refuse("PlaceOnTableau", ok, pile);
  auto busy = s.guard.Enter(table::Activity::Move);

  table::PushCard(s.piles, table::SharedPile::Tableau, pile, s.state.MoveCard);
  s.view.SetTabCount(pile, TableauCountText(s.piles.TableauCount[pile]));
  s.view.PaintCard(PileControl::picTableau, pile, s.state.MoveCard, kTableauSound);
  // The memory of Tableau-to-Tableau moves stays: it is what keeps the
  // computer from moving the same card back and forth.
  s.findings.CardPlaced = true;
  if (LocalOnlineMove(s)) {
    s.NetMove.MoveToPile = PileControlName(PileControl::picTableau);
    s.NetMove.MoveToIndex = static_cast<std::int16_t>(pile);
  }
  return MoveResult::Applied;
}

MoveResult PlaceOnSidePile(MoveServices& s, int pile, int owner) {
  if (pile != kReservePile && pile != kWastePile) return Refuse("PlaceOnSidePile", MoveResult::NoSuchPile, pile);
  const int side = owner == kLocalOwner ? kLocalSide : kOpponentSide;
  const bool waste = pile == kWastePile;
  auto& p = s.piles;
  const int before = waste ? p.WasteCount[side] : p.ReserveCount[side];
  const MoveResult ok = CheckPush(before, table::kSidePileCapacity, s.state.MoveCard);
  if (ok != MoveResult::Applied) return Refuse("PlaceOnSidePile", ok, pile);
  auto busy = s.guard.Enter(table::Activity::Move);

  // ReserveFaceDown stays: a loaded card lies face up on top.
  table::PushCard(p, waste ? table::SidePile::Waste : table::SidePile::Reserve, side, s.state.MoveCard);
  s.view.SetLabel(waste ? WasteLabel(side) : ReserveLabel(side), vb::D(before + 1));
  s.view.PaintCard(SideControl(side), pile, s.state.MoveCard, kTableauSound);
  if (side == kLocalSide && s.state.CurrentTurn != table::Turn::Local) {
    // The opponent loaded a card onto the local player's pile: mark it so
    // that the player sees what happened.
    s.view.SetCardFrameBackStyle(pile, kFrameOpaque);
    s.wait.Pause(kLoadedCardPause);
  }
  if (s.state.TutorialMode && s.state.CurrentTurn == table::Turn::Local)
    s.view.SetImageVisible(table::TableImage::picHand1, false);
  s.findings.TableauMoveMemory.fill(0);
  s.findings.CardPlaced = true;
  if (LocalOnlineMove(s)) {
    // The peer's table is mirrored: the local player's piles are its
    // opponent's.
    s.NetMove.MoveToPile = PileControlName(owner == kLocalOwner ? PileControl::picOpponent : PileControl::picPlayer);
    s.NetMove.MoveToIndex = static_cast<std::int16_t>(pile);
  }
  return MoveResult::Applied;
}

void TurnOpponentStock(MoveServices& s) {
  // An empty Stock has no card to turn; painting its position 0 would show a
  // card back that is not there.
  if (s.piles.StockCount[kOpponentSide] <= 0) return;
  s.view.PaintCard(PileControl::picOpponent, kStockPile, table::TopCard(s.piles, table::SidePile::Stock, kOpponentSide),
                   kStockTurnSound);
  s.wait.Pause(s.ThinkDelay);
  s.state.StockTurned = true;
  if (s.state.TutorialMode) {
    s.state.TutorialContinue = false;
    s.hooks.EnableNextTip(true);
    WaitForTutorial(s);
    if (s.state.TutorialMode) s.hooks.EnableNextTip(false);
  }
}

MoveResult RemoveFromSourcePile(MoveServices& s, PileControl source, int index) {
  const int side = SideOfTurn(s.state);
  auto& p = s.piles;

  // Find the pile and make sure it has a card before anything changes.
  enum class Kind { Stock, Reserve, Tableau } kind;
  if (source == PileControl::picPlayer || source == PileControl::picOpponent) {
    if (index < kStockPile || index > kWastePile) return Refuse("RemoveFromSourcePile", MoveResult::NoSuchPile, index);
    if (index == kWastePile) return Refuse("RemoveFromSourcePile", MoveResult::NotASource, index);
    kind = index == kStockPile ? Kind::Stock : Kind::Reserve;
    const int count =
        table::PileCount(p, kind == Kind::Stock ? table::SidePile::Stock : table::SidePile::Reserve, side);
    if (count < 0) return Refuse("RemoveFromSourcePile", MoveResult::NoSuchPile, index);
    if (count == 0) return MoveResult::EmptySource;
  } else if (source == PileControl::picTableau) {
    if (!table::IsValidSharedPile(index)) return Refuse("RemoveFromSourcePile", MoveResult::NoSuchPile, index);
    kind = Kind::Tableau;
    const int count = table::PileCount(p, table::SharedPile::Tableau, index);
    if (count < 0) return Refuse("RemoveFromSourcePile", MoveResult::NoSuchPile, index);
    if (count == 0) return MoveResult::EmptySource;
  } else {
    return Refuse("RemoveFromSourcePile", MoveResult::NotASource, index);
  }
  auto busy = s.guard.Enter(table::Activity::Move);

  if (LocalOnlineMove(s)) {
    s.NetMove.MoveFromPile = PileControlName(source);
    s.NetMove.MoveFromIndex = static_cast<std::int16_t>(index);
  }
  // The slide hid the opponent's source picture; the local player's caller
  // shows its own.
  if (side == kOpponentSide) s.view.SetPileVisible(source, index, true);

  bool gameOver = false;
  switch (kind) {
    case Kind::Stock:
      if (!table::PopCard(p, table::SidePile::Stock, side)) return MoveResult::EmptySource;
      AfterStockRemoved(s, source, side, gameOver);
      break;
    case Kind::Reserve: {
      const bool holdPiles = s.state.CurrentTurn == table::Turn::Local && !s.state.TutorialMode;
      if (holdPiles) s.view.EnablePiles(false);
      if (!table::PopCard(p, table::SidePile::Reserve, side)) return MoveResult::EmptySource;
      AfterReserveRemoved(s, source, side, gameOver);
      if (!gameOver && holdPiles && !s.net.Online()) s.view.EnablePiles(true);
      break;
    }
    case Kind::Tableau:
      if (!table::PopCard(p, table::SharedPile::Tableau, index)) return MoveResult::EmptySource;
      AfterTableauRemoved(s, index);
      break;
  }
  // Game over ends the move before it is sent, recorded or counted.
  if (gameOver) return MoveResult::Applied;

  s.wait.Yield();
  s.view.BringToFront(source, index);

  if (LocalOnlineMove(s)) {
    s.view.EnablePiles(false);
    if (!s.hooks.Move_Transmit_PlayCard(s.NetMove)) return MoveResult::Applied;
  }
  if (s.state.TutorialMode) {
    s.hooks.EnableNextTip(true);
    if (s.state.CurrentTurn == table::Turn::Local) s.view.EnablePiles(false);
    WaitForTutorial(s);
    if (s.state.TutorialMode && s.state.CurrentTurn == table::Turn::Opponent) s.hooks.EnableNextTip(false);
    s.hooks.ShowPileCounts();
    return MoveResult::Applied;
  }
  if (s.state.CurrentTurn == table::Turn::Local) {
    s.state.TempMoveNumber = vb::SaturatingAdd(s.state.TempMoveNumber, 1);
    s.hooks.WriteMoveRecord(s.state.TempMoveNumber);
  }
  s.hooks.ShowPileCounts();
  return MoveResult::Applied;
}

}  // namespace play
