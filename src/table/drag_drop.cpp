// Dragging a card from one of the local player's piles or a Tableau pile.
#include "table/drag_drop.h"

#include <algorithm>
#include <cstdlib>

#include "platform/wait.h"
#include "table/card_slide.h"
#include "table/card_table.h"

namespace table {

namespace {

constexpr int kLocal = 0;  // the local player's side of the pile arrays

CardCode SideCard(const PileArrays::SidePile& pile, int position) {
  return position >= 1 && position <= kSidePileCapacity ? pile[position] : 0;
}

CardCode SharedCard(const PileArrays::SharedPile& pile, int position) {
  return position >= 1 && position <= kSharedPileCapacity ? pile[position] : 0;
}

}  // namespace

bool OverlapsPlace(QPoint d, QPoint c) {
  return d.x() + kDropMarginX >= c.x() && d.x() <= c.x() + kDropMarginX && d.y() + kDropMarginY >= c.y() &&
         d.y() <= c.y() + kDropMarginY;
}

std::vector<QPoint> SlideBackPath(QPoint release, QPoint home) {
  std::vector<QPoint> path;
  const int n = std::max(std::abs(release.x() - home.x()), std::abs(release.y() - home.y()));
  for (int s = 0; n > 0 && s <= n; s += kSlideBackStep) {
    std::int16_t x = 0, y = 0;
    InterpolatePoint(static_cast<std::int16_t>(release.x()), static_cast<std::int16_t>(release.y()),
                     static_cast<std::int16_t>(home.x()), static_cast<std::int16_t>(home.y()),
                     static_cast<float>(s) / static_cast<float>(n), x, y);
    path.emplace_back(x, y);
  }
  if (path.empty() || path.back() != home) path.push_back(home);
  return path;
}

void CardTable::DragStart(PileControl pile, int index, int X, int Y) {
  PictureBox* picked = Pile(pile, index);
  // A card on its way is not to be picked up, nor another card meanwhile.
  if (!picked || slideDepth_ > 0) return;
  Dragging = 1;
  DragHomeLeft = static_cast<std::int16_t>(picked->x());
  DragHomeTop = static_cast<std::int16_t>(picked->y());

  // The cover shows what the pile will show once the card has left it.
  PictureBox* cover = picSmoke[0];
  cover->move(DragHomeLeft, DragHomeTop);
  cover->StandInFor(picked);
  CardCode beneath = 0;
  int look = kEmptyMarker;
  const auto& p = piles_;
  if (pile == PileControl::picTableau) {
    if (p.TableauCount[index] >= 2) {
      beneath = SharedCard(p.Tableau[index], p.TableauCount[index] - 1);
      look = 0;
    }
  } else if (pile == PileControl::picPlayer) {
    if (index == 1 && p.StockCount[kLocal] >= 2) {
      look = 0;  // a card back
    } else if (index == 2 && p.ReserveCount[kLocal] >= 2) {
      if (p.ReserveFaceDown[kLocal] + 1 != p.ReserveCount[kLocal])
        beneath = SideCard(p.Reserve[kLocal], p.ReserveCount[kLocal] - 1);
      look = 0;
    } else if (index == 3 && p.WasteCount[kLocal] >= 2) {
      beneath = SideCard(p.Waste[kLocal], p.WasteCount[kLocal] - 1);
      look = 0;
    }
  }
  PaintInto(cover, beneath, beneath != 0 ? 0 : look);
  cover->setVisible(true);
  cover->repaint();

  GrabX = static_cast<std::int16_t>(X);
  GrabY = static_cast<std::int16_t>(Y);
  BringToFront(picked);
}

void CardTable::DragMove(PileControl pile, int index, int X, int Y) {
  PictureBox* picked = Pile(pile, index);
  if (!picked) return;
  picked->move(picked->x() + (X - GrabX), picked->y() + (Y - GrabY));
}

bool CardTable::OverlapsControl(PileControl dragged, int draggedIndex, PileControl candidate, int candidateIndex) {
  const PictureBox* d = Pile(dragged, draggedIndex);
  const PictureBox* c = Pile(candidate, candidateIndex);
  if (!d || !c || !OverlapsPlace(d->pos(), c->pos())) return false;
  DropTarget = candidate;
  return true;
}

int CardTable::FindDropTarget(PileControl dragged, int draggedIndex) {
  for (int i = 1; i <= kSharedPiles; ++i)
    if (OverlapsControl(dragged, draggedIndex, PileControl::picCenter, i)) return i;
  for (int i = 1; i <= kSharedPiles; ++i) {
    if (dragged == PileControl::picTableau && i == draggedIndex) continue;
    if (OverlapsControl(dragged, draggedIndex, PileControl::picTableau, i)) return i;
  }
  for (int i = 2; i <= 3; ++i)
    if (OverlapsControl(dragged, draggedIndex, PileControl::picOpponent, i)) return i;
  // The own Waste, the one own pile that takes a card: the Hand card that
  // ends the turn.
  if (dragged == PileControl::picPlayer && draggedIndex == 3) return -1;
  if (OverlapsControl(dragged, draggedIndex, PileControl::picPlayer, 3)) return 3;
  return -1;
}

DropOutcome CardTable::DragDrop(PileControl pile, int index) {
  wait_.Yield();
  if (Dragging != 1) return DropOutcome::Ignored;
  Dragging = 0;
  PictureBox* dragged = Pile(pile, index);
  if (!dragged) return DropOutcome::Ignored;

  const QPoint home(DragHomeLeft, DragHomeTop);
  const QPoint release = dragged->pos();
  if (release == home) return DropOutcome::Click;

  const int t = FindDropTarget(pile, index);
  bool legal = false;
  if (t >= 0) {
    dragged->move(Pile(DropTarget, t)->pos());
    const auto& p = piles_;
    CardCode top = 0;
    bool ask = true;
    switch (DropTarget) {
      case PileControl::picCenter: top = SharedCard(p.Center[t], p.CenterCount[t]); break;
      case PileControl::picTableau:
        top = SharedCard(p.Tableau[t], p.TableauCount[t]);
        // The tutorial keeps the learner to the piles it has enabled.
        if (state_.TutorialMode && !picTableau[t]->isEnabled()) ask = false;
        break;
      case PileControl::picOpponent:
        top = t == 2 ? SideCard(p.Reserve[1], p.ReserveCount[1]) : SideCard(p.Waste[1], p.WasteCount[1]);
        break;
      case PileControl::picPlayer: top = SideCard(p.Waste[kLocal], p.WasteCount[kLocal]); break;
      case PileControl::None: ask = false; break;
    }
    legal = ask && dropRules_ && dropRules_->CheckDrop(DropTarget, t, top) && dropRules_->PlaceCard(DropTarget, t);
    if (legal && DropTarget == PileControl::picPlayer) state_.EndTurnPending = true;
  }

  if (legal) {
    BringToFront(picSmoke[0]);
    dragged->move(home);
    dropRules_->RemoveFromSourcePile(state_.MoveSource, state_.MoveSourceIndex);
    DropTarget = PileControl::None;
    return DropOutcome::Placed;
  }
  // Back from where it was let go, not from the pile it snapped to, paced
  // so that the card is seen travelling home on any machine.
  PlaySlide(dragged, SlideBackPath(release, home), kSlideBackStepSeconds);
  return DropOutcome::SlidBack;
}

}  // namespace table
