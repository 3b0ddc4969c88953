#include "play/game/human_turn.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <utility>

#include "platform/ui.h"
#include "platform/wait.h"
#include "play/rules/table_search.h"
#include "play/state/top_level_command.h"
#include "table/card.h"
#include "table/deal.h"
#include "table/table_view.h"

namespace play {

using table::CardCode;
using table::PileControl;
using table::TableImage;
using table::TableLabel;

HumanTurn::HumanTurn(const HumanTurnServices& services, QObject* parent) : QObject(parent), s_(services) {}

HumanTurn::~HumanTurn() = default;

void HumanTurn::Connect() {
  auto& t = s_.table;
  for (int i = 1; i <= 3; ++i) {
    table::PictureBox* box = t.picPlayer[i];
    if (!box) continue;
    connect(box, &table::PictureBox::mouseDown, this,
            [this, i](table::PictureBox*, Qt::MouseButton b, Qt::KeyboardModifiers, QPoint at) {
              picPlayer_MouseDown(i, b, at.x(), at.y());
            });
    connect(box, &table::PictureBox::mouseMove, this,
            [this, i](table::PictureBox*, Qt::MouseButtons, Qt::KeyboardModifiers, QPoint at) {
              picPlayer_MouseMove(i, at.x(), at.y());
            });
    connect(box, &table::PictureBox::mouseUp, this,
            [this, i](table::PictureBox*, Qt::MouseButton, Qt::KeyboardModifiers, QPoint) { picPlayer_MouseUp(i); });
    connect(box, &table::PictureBox::dblClick, this, [this, i](table::PictureBox*) { picPlayer_DblClick(i); });
  }
  for (int i = 1; i <= table::kSharedPiles; ++i) {
    table::PictureBox* box = t.picTableau[i];
    if (!box) continue;
    connect(box, &table::PictureBox::mouseDown, this,
            [this, i](table::PictureBox*, Qt::MouseButton b, Qt::KeyboardModifiers, QPoint at) {
              picTableau_MouseDown(i, b, at.x(), at.y());
            });
    connect(box, &table::PictureBox::mouseMove, this,
            [this, i](table::PictureBox*, Qt::MouseButtons, Qt::KeyboardModifiers, QPoint at) {
              picTableau_MouseMove(i, at.x(), at.y());
            });
    connect(box, &table::PictureBox::mouseUp, this,
            [this, i](table::PictureBox*, Qt::MouseButton, Qt::KeyboardModifiers, QPoint) { picTableau_MouseUp(i); });
    connect(box, &table::PictureBox::dblClick, this, [this, i](table::PictureBox*) { picTableau_DblClick(i); });
  }
  for (int i = 1; i <= 3; ++i) {
    if (!t.picOpponent[i]) continue;
    connect(t.picOpponent[i], &table::PictureBox::mouseDown, this,
            [this, i](table::PictureBox*, Qt::MouseButton b, Qt::KeyboardModifiers, QPoint) {
              picOpponent_MouseDown(i, b);
            });
  }
  connect(t.picLogo, &table::PictureBox::mouseDown, this, [this] { s_.panel.PanelHide(); });
  for (QLabel* label : {t.lblMessage, t.lblTurn, t.imgIcon}) label->installEventFilter(this);
  connect(t.cmdDone, &QPushButton::clicked, this, [this] { cmdDone_Click(); });
}

bool HumanTurn::eventFilter(QObject* watched, QEvent* event) {
  const auto& t = s_.table;
  if (event->type() == QEvent::MouseButtonPress) {
    if (watched == t.lblMessage || watched == t.lblTurn) s_.panel.PanelHide();
  } else if (event->type() == QEvent::MouseButtonRelease && watched == t.imgIcon) {
    t.imgIcon->hide();
  }
  return QObject::eventFilter(watched, event);
}

// ---- Helpers ----

bool HumanTurn::NotYourTurn() const {
  return s_.table.cmdDeal->isHidden() && s_.moves.state.CurrentTurn == table::Turn::Opponent;
}

// A card still travels (home after a refused drop, or to a foundation):
// a press now would pick it up in mid-flight, or take another card while
// the drop is being judged.
bool HumanTurn::MoveUnderway() const { return s_.moves.guard.IsRunning(table::Activity::Move); }

RuleMessageOutput HumanTurn::RuleOutput() const {
  return {s_.moves.view, s_.moves.sfx, s_.channel, s_.settings.SoundOn, s_.DataPath, s_.moves.net.Online()};
}

void HumanTurn::Illegal(RuleReason reason) { IllegalMove(reason, s_.moves.state, RuleOutput()); }

void HumanTurn::ClearMessageAfterPress() {
  auto& st = s_.moves.state;
  if ((!st.TutorialMode && !s_.moves.net.Online()) || st.RuleMessageShown)
    s_.moves.view.SetLabel(TableLabel::lblMessage, QString());
  st.RuleMessageShown = false;
}

// ---- The player's own piles ----

void HumanTurn::picPlayer_MouseDown(int Index, Qt::MouseButton Button, int X, int Y) {
  TopLevelCommand command(s_.moves.wait, s_.moves.state, s_.table.window());
  auto& st = s_.moves.state;
  pressedEmptyPile_ = false;
  s_.panel.PanelHide();
  if (Button == Qt::RightButton && st.IsDeveloperView) {
    s_.viewers.ViewCards(PileControlName(PileControl::picPlayer), Index);
    return;
  }
  if (st.CurrentTurn == table::Turn::None) return;
  if (NotYourTurn()) {
    Illegal(RuleReason::WrongPlace);
    return;
  }
  if (MoveUnderway()) return;
  auto busy = s_.moves.guard.Enter(table::Activity::Move);
  if (s_.table.Dragging == 0) s_.table.DragStart(PileControl::picPlayer, Index, X, Y);
  s_.moves.view.SetLabel(TableLabel::lblTurn, QString());
  ClearMessageAfterPress();

  const auto& p = s_.moves.piles;
  if (Index == kStockPile) {
    if (!CanTurnStock(p, st, RuleOutput())) {
      s_.table.Dragging = 0;
      return;
    }
    if (!st.StockTurned) {
      TurnStock();
      return;
    }
  }
  st.MoveSource = PileControl::picPlayer;
  st.MoveSourceIndex = static_cast<std::int16_t>(Index);
  st.MoveCard = Index == kStockPile     ? StockTop(p, kLocalSide)
                : Index == kReservePile ? ReserveTop(p, kLocalSide)
                                        : WasteTop(p, kLocalSide);
  if (st.MoveCard == 0) {
    s_.table.Dragging = 0;
    pressedEmptyPile_ = true;
  }
}

void HumanTurn::TurnStock() {
  auto& st = s_.moves.state;
  auto& view = s_.moves.view;
  if (s_.moves.piles.StockCount[kLocalSide] > 0) {
    view.PaintCard(PileControl::picPlayer, kStockPile, StockTop(s_.moves.piles, kLocalSide), kStockTurnSound);
    st.StockTurned = true;
  } else {
    table::RecycleWaste(s_.moves.piles, st, view, s_.moves.sfx);
  }
  s_.table.Dragging = 0;
  if (st.TutorialMode) {
    s_.tutorial->TutorialStockTurned();
    view.EnablePiles(false);
  }
  if (s_.moves.net.Online()) {
    view.EnablePiles(false);
    const QString player = PileControlName(PileControl::picPlayer);
    s_.moves.hooks.Move_Transmit_PlayCard({player, kStockPile, player, kStockPile});
  }
}

void HumanTurn::picPlayer_MouseMove(int Index, int X, int Y) {
  TopLevelCommand command(s_.moves.wait, s_.moves.state, s_.table.window());
  if (s_.moves.state.CurrentTurn == table::Turn::Opponent || s_.table.Dragging != 1) return;
  s_.table.DragMove(PileControl::picPlayer, Index, X, Y);
  s_.moves.wait.Yield();
}

void HumanTurn::picPlayer_MouseUp(int Index) {
  TopLevelCommand command(s_.moves.wait, s_.moves.state, s_.table.window());
  auto& st = s_.moves.state;
  const bool pressedEmpty = std::exchange(pressedEmptyPile_, false);
  if (NotYourTurn()) {
    Illegal(RuleReason::WrongPlace);
    return;
  }
  if (st.TutorialMode) s_.tutorial->HideTutorialHand();
  {
    auto busy = s_.moves.guard.Enter(table::Activity::Move);
    if (s_.table.Dragging == 1 && st.MoveCard != 0) {
      s_.table.DragDrop(PileControl::picPlayer, Index);
    } else if (pressedEmpty) {
      // Nothing was picked up: the pile is empty.
      s_.ui.Beep();
    }
  }
  if (st.EndTurnPending) EndTurnAfterDrop();
}

void HumanTurn::EndTurnAfterDrop() {
  auto& st = s_.moves.state;
  st.EndTurnPending = false;
  st.StockTurned = false;
  if (st.GameEnded) return;
  st.CurrentTurn = table::Turn::Opponent;
  s_.moves.view.SetImageVisible(TableImage::ImgTurn1, false);
  if (st.TutorialMode) s_.moves.wait.WaitUntil([&st] { return st.TutorialContinue; });
  OpponentTurn();
}

void HumanTurn::OpponentTurn() {
  // A closing window starts no turn; the close completes as the command returns.
  if (s_.moves.wait.Exiting()) return;
  if (s_.moves.net.Online()) {
    s_.opponent.Opponent();
  } else {
    s_.computer.ComputerTurn();
  }
}

void HumanTurn::picPlayer_DblClick(int Index) {
  TopLevelCommand command(s_.moves.wait, s_.moves.state, s_.table.window());
  pressedEmptyPile_ = false;
  if (Index == kWastePile) return;
  // Only a Hand card the player has seen is played: a face-down Stock card
  // would otherwise skip the rules that must be met before it is turned.
  if (Index == kStockPile && !s_.moves.state.StockTurned) return;
  AutoPlayToCenter(PileControl::picPlayer, Index);
}

void HumanTurn::picTableau_DblClick(int Index) {
  TopLevelCommand command(s_.moves.wait, s_.moves.state, s_.table.window());
  AutoPlayToCenter(PileControl::picTableau, Index);
}

void HumanTurn::AutoPlayToCenter(PileControl pile, int Index) {
  auto& st = s_.moves.state;
  const auto& p = s_.moves.piles;
  if (st.CurrentTurn != table::Turn::Local || MoveUnderway()) return;
  const CardCode card = pile == PileControl::picTableau ? TableauTop(p, Index)
                        : Index == kStockPile           ? StockTop(p, kLocalSide)
                                                        : ReserveTop(p, kLocalSide);
  if (card == 0) {
    // An empty own pile has no card a foundation takes; an empty Tableau
    // pile is no pile to play from at all.
    if (pile == PileControl::picPlayer) Illegal(RuleReason::NotToCenter);
    return;
  }
  table::PictureBox* box = s_.table.Pile(pile, Index);
  if (!box) return;

  auto busy = s_.moves.guard.Enter(table::Activity::Move);
  s_.table.DragStart(pile, Index, box->x(), box->y());
  s_.table.Dragging = 0;
  st.MoveSource = pile;
  st.MoveSourceIndex = static_cast<std::int16_t>(Index);
  st.MoveCard = card;
  if (!play::CheckCenter(p, s_.moves.findings, table::CardRank(card), table::CardSuit(card))) {
    Illegal(RuleReason::NotToCenter);
    return;
  }
  const int target = s_.moves.findings.CenterTarget;
  const Drop drop{pile, Index, card, PileControl::picCenter, target, CenterTop(p, target)};
  if (!play::CheckDrop(p, drop, st, RuleOutput())) return;

  s_.moves.view.AnimateCard(pile, Index, card, PileControl::picCenter, target);
  if (PlaceOnCenter(s_.moves, target) == MoveResult::Applied) play::RemoveFromSourcePile(s_.moves, pile, Index);
  s_.moves.view.SetPileVisible(pile, Index, true);
  s_.moves.view.BringToFront(pile, Index);
}

// ---- The Tableau piles ----

void HumanTurn::picTableau_MouseDown(int Index, Qt::MouseButton Button, int X, int Y) {
  TopLevelCommand command(s_.moves.wait, s_.moves.state, s_.table.window());
  auto& st = s_.moves.state;
  s_.panel.PanelHide();
  if (Button == Qt::RightButton) {
    s_.viewers.ShowTableauPile(Index);
    return;
  }
  // The refused drop's message stays while its card slides home.
  if (MoveUnderway() && !NotYourTurn()) return;
  ClearMessageAfterPress();
  if (NotYourTurn()) {
    Illegal(RuleReason::WrongPlace);
    return;
  }
  // After a game over the cards stay on the table but are not played.
  if (st.CurrentTurn == table::Turn::None) return;
  const CardCode top = TableauTop(s_.moves.piles, Index);
  if (top == 0) return;
  if (s_.table.Dragging == 0) s_.table.DragStart(PileControl::picTableau, Index, X, Y);
  st.MoveSource = PileControl::picTableau;
  st.MoveSourceIndex = static_cast<std::int16_t>(Index);
  st.MoveCard = top;
}

void HumanTurn::picTableau_MouseMove(int Index, int X, int Y) {
  TopLevelCommand command(s_.moves.wait, s_.moves.state, s_.table.window());
  if (s_.table.Dragging != 1) return;
  s_.table.DragMove(PileControl::picTableau, Index, X, Y);
  s_.moves.wait.Yield();
}

void HumanTurn::picTableau_MouseUp(int Index) {
  TopLevelCommand command(s_.moves.wait, s_.moves.state, s_.table.window());
  if (s_.table.Dragging != 1) return;
  auto busy = s_.moves.guard.Enter(table::Activity::Move);
  s_.table.DragDrop(PileControl::picTableau, Index);
}

void HumanTurn::picOpponent_MouseDown(int Index, Qt::MouseButton Button) {
  TopLevelCommand command(s_.moves.wait, s_.moves.state, s_.table.window());
  if (Button == Qt::RightButton && s_.moves.state.IsDeveloperView)
    s_.viewers.ViewCards(PileControlName(PileControl::picOpponent), Index);
}

// ---- The Done button ----

void HumanTurn::cmdDone_Click() {
  TopLevelCommand command(s_.moves.wait, s_.moves.state, s_.table.window());
  auto& st = s_.moves.state;
  // The turn has already passed: a second press must not start a second
  // turn of the opponent inside the first.
  if (st.CurrentTurn == table::Turn::Opponent) return;
  st.EndTurnPending = false;
  st.StockTurned = false;
  if (st.GameEnded) return;
  st.CurrentTurn = table::Turn::Opponent;
  s_.moves.view.SetImageVisible(TableImage::ImgTurn1, false);
  s_.moves.view.SetImageVisible(TableImage::cmdDone, false);
  if (s_.moves.net.Online()) {
    // The end of the turn travels as the Hand card going to the Waste.
    s_.moves.hooks.Move_Transmit_PlayCard(
        {PileControlName(PileControl::picPlayer), kStockPile, PileControlName(PileControl::picOpponent), kWastePile});
    if (s_.moves.net.Online()) OpponentTurn();
    return;
  }
  OpponentTurn();
}

// ---- The table's drop rules ----

bool HumanTurn::CheckDrop(PileControl target, int index, CardCode targetTop) {
  const auto& st = s_.moves.state;
  const Drop drop{st.MoveSource, st.MoveSourceIndex, st.MoveCard, target, index, targetTop};
  return play::CheckDrop(s_.moves.piles, drop, s_.moves.state, RuleOutput());
}

bool HumanTurn::PlaceCard(PileControl target, int index) {
  MoveResult placed = MoveResult::NoSuchPile;
  switch (target) {
    case PileControl::picCenter: placed = PlaceOnCenter(s_.moves, index); break;
    case PileControl::picTableau: placed = PlaceOnTableau(s_.moves, index); break;
    case PileControl::picOpponent: placed = PlaceOnSidePile(s_.moves, index, kOpponentOwner); break;
    case PileControl::picPlayer: placed = PlaceOnSidePile(s_.moves, index, kLocalOwner); break;
    case PileControl::None: break;
  }
  return placed == MoveResult::Applied;
}

void HumanTurn::RemoveFromSourcePile(PileControl source, int index) {
  play::RemoveFromSourcePile(s_.moves, source, index);
}

}  // namespace play
