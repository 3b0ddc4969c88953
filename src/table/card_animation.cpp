// A card sliding from its pile to another.
#include <cmath>

#include "platform/wait.h"
#include "table/card_slide.h"
#include "table/card_table.h"

namespace table {

void CardTable::AnimateCard(PileControl source, int sourceIndex, CardCode /*card*/, PileControl target,
                            int targetIndex) {
  if (wait_.Exiting()) return;
  PictureBox* from = Pile(source, sourceIndex);
  PictureBox* to = Pile(target, targetIndex);
  if (!from || !to) return;

  ++slideDepth_;
  DragHomeLeft = static_cast<std::int16_t>(from->x());
  DragHomeTop = static_cast<std::int16_t>(from->y());
  PictureBox* cover = picSmoke[0];
  cover->move(DragHomeLeft, DragHomeTop);
  cover->raise();
  SendToBack(to);
  from->raise();
  const QPoint targetAt = to->pos();
  wait_.Yield();

  // What the source pile shows once its card has gone.
  if (source == PileControl::picTableau && sourceIndex >= 1 && sourceIndex <= kSharedPiles &&
      piles_.TableauCount[sourceIndex] > 1) {
    const int beneath = piles_.TableauCount[sourceIndex] - 1;
    PaintInto(cover, beneath <= kSharedPileCapacity ? piles_.Tableau[sourceIndex][beneath] : 0, 0);
  } else if (source == PileControl::picOpponent &&
             ((sourceIndex == 1 && piles_.StockCount[1] > 1) ||
              (sourceIndex == 2 && piles_.ReserveCount[1] > 1))) {
    const int count = piles_.ReserveCount[1];
    const bool faceUpBeneath = sourceIndex == 2 && piles_.ReserveFaceDown[1] + 1 != count;
    PaintInto(cover, faceUpBeneath && count - 1 <= kSidePileCapacity ? piles_.Reserve[1][count - 1] : 0, 0);
  } else if (state_.CurrentTurn == 1) {
    // The drag start has already painted the cover.
  } else if (Dealing) {
    PaintInto(cover, 0, 0);
  } else {
    PaintInto(cover, 0, 88);
  }
  cover->setVisible(true);

  for (const QPoint& at : SlidePath({DragHomeLeft, DragHomeTop}, targetAt, settings_.AnimSpeed)) {
    from->move(at);
    wait_.Pause(kSlideStepSeconds);
  }

  cover->raise();
  wait_.Pause(0.001);
  from->hide();
  from->move(DragHomeLeft, DragHomeTop);
  --slideDepth_;
}

}  // namespace table
