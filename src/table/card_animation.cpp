// A card sliding from its pile to another.
#include <QElapsedTimer>
#include <QScreen>
#include <algorithm>
#include <cmath>

#include "platform/wait.h"
#include "table/card_slide.h"
#include "table/card_table.h"

namespace table {

namespace {

// A wait that wakes this little before its time has reached it.
constexpr double kTimeSlack = 1e-6;

// Seconds between two drawings of a sliding card on the card's screen.
double FrameSeconds(const QWidget* card) {
  const QScreen* screen = card->screen();
  const double rate = screen ? screen->refreshRate() : 0.0;
  return 1.0 / (rate >= 1.0 ? std::min(rate, kSlideFramesPerSecond) : kSlideFramesPerSecond);
}

}  // namespace

void CardTable::PlaySlide(QWidget* card, const std::vector<QPoint>& path, double stepSeconds) {
  if (path.empty()) return;
  // A relayout waits for the card to be home, and no other card is picked
  // up meanwhile, whoever slides it.
  ++slideDepth_;
  const std::size_t steps = path.size();
  const double total = stepSeconds * static_cast<double>(steps);
  const double frame = FrameSeconds(card);
  QElapsedTimer clock;
  clock.start();
  std::size_t shown = 0;
  long looks = 0;
  double nextFrame = 0;  // the slide's time of its next drawing
  while (shown < steps && !wait_.Exiting()) {
    // The slide's time runs at the wait service's pace; where that shortens
    // waits to nothing, a frame passes with each look at the window events.
    const double scale = wait_.TimeScale();
    const double now =
        scale > 0 ? static_cast<double>(clock.nsecsElapsed()) * 1e-9 / scale : static_cast<double>(looks) * frame;
    ++looks;
    std::size_t due = shown;
    if (now >= total) {
      due = steps;
    } else if (now + kTimeSlack >= nextFrame) {
      due = std::min(steps, static_cast<std::size_t>(std::max(0.0, now / stepSeconds)));
      // The frames keep to the slide's own time: a late one does not push
      // back the ones after it, and one drawn within the slack before its
      // time is still that frame, not a second drawing of the one before.
      nextFrame = (std::floor((now + kTimeSlack) / frame) + 1.0) * frame;
    }
    if (due > shown) {
      // The steps in between are passed over: the card is drawn where the
      // slide has got to.
      shown = due;
      card->move(path[shown - 1]);
    }
    if (shown < steps) wait_.Pause(std::min(nextFrame, total) - now);
  }
  // A close ends the slide at once, where the card would have stopped.
  if (shown < steps) card->move(path.back());
  --slideDepth_;
}

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
  cover->StandInFor(from);
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
             ((sourceIndex == 1 && piles_.StockCount[1] > 1) || (sourceIndex == 2 && piles_.ReserveCount[1] > 1))) {
    const int count = piles_.ReserveCount[1];
    const bool faceUpBeneath = sourceIndex == 2 && piles_.ReserveFaceDown[1] + 1 != count;
    PaintInto(cover, faceUpBeneath && count - 1 <= kSidePileCapacity ? piles_.Reserve[1][count - 1] : 0, 0);
  } else if (state_.CurrentTurn == Turn::Local) {
    // The drag start has already painted the cover.
  } else if (Dealing) {
    PaintInto(cover, 0, 0);
  } else {
    PaintInto(cover, 0, 88);
  }
  cover->setVisible(true);

  // However many steps the path has, the slide lasts the time its speed
  // gives it.
  const std::vector<QPoint> path = SlidePath({DragHomeLeft, DragHomeTop}, targetAt, settings_.AnimSpeed);
  if (!path.empty()) PlaySlide(from, path, SlideSeconds(settings_.AnimSpeed) / static_cast<double>(path.size()));

  cover->raise();
  wait_.Pause(0.001);
  from->hide();
  from->move(DragHomeLeft, DragHomeTop);
  --slideDepth_;
}

}  // namespace table
