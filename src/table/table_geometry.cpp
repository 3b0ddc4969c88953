#include "table/table_geometry.h"

#include <algorithm>
#include <cmath>

namespace table {

int NearestEven(double x) { return static_cast<int>(std::nearbyint(x)); }

PilePlaces ArrangePilePlaces(int TableOffsetX, std::int32_t TableOffsetY) {
  const int X = TableOffsetX;
  const std::int32_t Y = TableOffsetY;
  constexpr int W = CardWidth;
  constexpr int H = CardHeight;
  PilePlaces p;

  p.TableBottom = 783 - Y;
  p.PileTop = static_cast<std::int16_t>(150 - Y);
  p.CenterLeft = static_cast<std::int16_t>(X + 370);
  p.TableauLeft = static_cast<std::int16_t>(p.CenterLeft - W - 60);
  p.CenterSpan = (W + 30) * 2;

  // Center piles in two columns of four, pile 2k - 1 beside pile 2k.
  p.picCenter[1] = {p.CenterLeft, p.PileTop};
  for (int i = 2, r = 1; i <= kSharedPiles; i += 2) {
    p.picCenter[i].setX(p.picCenter[1].x() + W + 20);
    if (i > 2) {
      p.picCenter[i - 1].setX(p.picCenter[1].x());
      p.picCenter[i].setY(p.picCenter[1].y() + (H + 10) * r);
      p.picCenter[i - 1].setY(p.picCenter[i].y());
      ++r;
    } else {
      p.picCenter[i].setY(p.PileTop);
    }
  }

  for (int i = 1; i <= kSharedPiles; ++i) {
    const int row = i <= 4 ? i - 1 : i - 5;
    p.picTableau[i].setY(p.PileTop + (H + 10) * row);
    p.picTableau[i].setX(i <= 4 ? p.TableauLeft : p.CenterSpan + p.CenterLeft + 20);
  }

  const int playerTop = p.picTableau[4].y() + 40;
  p.picPlayer[1] = {X + 16, playerTop};
  p.picPlayer[3] = {p.picPlayer[1].x() + W + 20, playerTop};
  p.picPlayer[2] = {p.CenterSpan + p.CenterLeft + 2 * W + 6, playerTop};

  const int opponentTop = p.PileTop - 30;
  p.picOpponent[2] = {p.picPlayer[3].x() - 20, opponentTop};
  p.picOpponent[3] = {p.picPlayer[2].x() + 10, opponentTop};
  p.picOpponent[1] = {p.picOpponent[3].x() + W + 20, opponentTop};

  for (int i = 1; i <= 3; ++i) {
    p.lblCardFrame[i] = p.picPlayer[i] - QPoint(6, 5);
    p.lblCardFrame[i + 3] = p.picOpponent[i] - QPoint(6, 5);
  }
  p.cmdDone = {p.lblCardFrame[2].x() + W + 20, p.lblCardFrame[2].y() + H / 4};
  return p;
}

namespace {

// Centred on the frame label: a plate wider than its frame sticks out on
// both sides equally.
int CentredOn(const QPoint& frame, int frameWidth, int plateWidth) {
  return NearestEven(frameWidth / 2.0 + frame.x() - plateWidth / 2.0);
}

}  // namespace

ControlPlaces ArrangeControlPlaces(const PilePlaces& piles, const ControlSizes& sizes, const ControlInputs& in) {
  constexpr int W = CardWidth;
  constexpr int H = CardHeight;
  const int X = in.TableOffsetX;
  const auto& f = piles.lblCardFrame;
  ControlPlaces c;

  c.ImgTurn1 = {piles.picPlayer[2].x() + 10, piles.picTableau[7].y()};
  c.ImgTurn2 = c.ImgTurn1;

  const int fw = sizes.frame.width();
  const int opponentPlateTop = f[5].y() - sizes.plateReserve.height();
  const int playerPlateTop = f[2].y() - sizes.plateReserve.height();
  c.imgOWaste = {CentredOn(f[6], fw, sizes.plateWaste.width()), opponentPlateTop};
  c.imgOReserve = {CentredOn(f[5], fw, sizes.plateReserve.width()), opponentPlateTop};
  c.imgOStock = {CentredOn(f[4], fw, sizes.plateStock.width()), opponentPlateTop};
  c.imgPReserve = {CentredOn(f[2], fw, sizes.plateReserve.width()), playerPlateTop};
  c.imgPStock = {CentredOn(f[1], fw, sizes.plateStock.width()), playerPlateTop};
  c.imgPWaste = {CentredOn(f[3], fw, sizes.plateWaste.width()), playerPlateTop};

  // The message line and the counters keep a margin from the window's left
  // edge, also where the table stands flush against it. The counters keep
  // theirs from the table's edge wherever the table stands, as the
  // structure pictures, drawn with the piles, leave them room there.
  const int leftMargin = X == 0 ? 10 : X;
  const auto inside = [X](int left, int top) { return QPoint(std::max(left, X + 10), top); };
  c.lblOHandCnt = {f[4].x() + W - 10, f[4].y() + H + 12};
  c.lblOWasteCnt = {f[6].x() + W - 10, f[6].y() + H + 12};
  c.lblOResCnt = inside(f[5].x() - 26, f[5].y() + H);
  c.lblPHandCnt = inside(f[1].x() - 10, f[1].y() + H + 12);
  c.lblPWasteCnt = inside(f[3].x() - 10, c.lblPHandCnt.y());
  c.lblPResCnt = {f[2].x() + W + 10, f[2].y()};

  c.cmdDeal = {piles.picPlayer[1].x(), piles.picPlayer[1].y() - 2 * sizes.dealButton.height()};

  // The message line fills the left margin from the second Tableau row down
  // to the player's name plates, or to the Deal button standing above them.
  const int messageTop = piles.picTableau[2].y() - 16;
  const int messageBottom = std::min(c.imgPStock.y(), c.cmdDeal.y() - kMessageAboveDealGap);
  c.lblMessage = QRect(leftMargin, messageTop, std::max(0, piles.picPlayer[3].x() + W - X),
                       std::max(0, messageBottom - messageTop));

  // The turn line holds two lines of its text, as far right as the window
  // shows the table; the status line stands below it.
  c.lblTurn = {f[6].x(), piles.picTableau[6].y() - 12};
  c.lblTurnWidth = std::max(0, std::min(sizes.clientWidth, X + kTableWidth - kTableBorderRoom) - c.lblTurn.x());
  // It ends where the logo is painted at the end of a game.
  const int logoTop = NearestEven(piles.picTableau[6].y() + H / 2.0);
  c.lblTurnHeight = std::min(std::max(kTurnLineHeight, sizes.turnLineHeight), logoTop - c.lblTurn.y());

  c.StatusMsg = {c.lblTurn.x(), std::max(piles.picTableau[6].y() + 28, c.lblTurn.y() + c.lblTurnHeight)};
  c.StatusMsgFontSize = in.LargeFonts ? 10 : 12;
  if (in.ScreenWidth <= 12000) c.StatusMsg.rx() -= 15;

  for (int i = 1; i <= kSharedPiles; ++i) {
    const int left = i <= 4 ? piles.picTableau[1].x() - sizes.tabCountWidth[i] - 7 : piles.picTableau[5].x() + W + 5;
    c.lblTabCnt[i] = {left, piles.picTableau[i].y() + H - 20};
  }

  const int captionTop = piles.picCenter[6].y() + H + 115;
  c.imglblTableauL = {piles.picTableau[1].x(), captionTop};
  c.imglblTableauR = {piles.picTableau[5].x(), captionTop};
  c.imglblCenters = {piles.picCenter[6].x() - 48, captionTop};

  c.lblWAIT = {c.lblTurn.x(), c.imgPReserve.y() - sizes.waitHeight - 10};

  if (in.linesBelowPiles) {
    // The markers at the band's left with the wait line under them, the
    // turn and status lines from the left Tableau column on.
    const int bandTop = c.lblPHandCnt.y() + kCountLabelSize.height() + 2;
    c.ImgTurn1 = {piles.picPlayer[1].x(), bandTop};
    c.ImgTurn2 = c.ImgTurn1;
    c.lblWAIT = {c.ImgTurn1.x(), bandTop + sizes.turnMarker.height() + 4};
    c.lblTurn = {piles.TableauLeft, bandTop};
    c.lblTurnWidth = std::max(0, std::min(sizes.clientWidth, X + kTableWidth - kTableBorderRoom) - c.lblTurn.x());
    c.lblTurnHeight = std::max(kTurnLineHeight, sizes.turnLineHeight);
    c.StatusMsg = {c.lblTurn.x(), c.lblTurn.y() + c.lblTurnHeight};
  }

  // The pause cover spans the table from the opponent's Reserve to a little
  // beyond its Stock and below the player's row, wherever the table stands;
  // its text sits in its middle.
  const QPoint coverTopLeft = piles.picOpponent[2];
  const int coverRight = piles.picOpponent[1].x() + W + 12;
  const int coverBottom = piles.picPlayer[2].y() + H + 48;
  c.fraPause = QRect(coverTopLeft.x(), coverTopLeft.y(), coverRight - coverTopLeft.x(), coverBottom - coverTopLeft.y());
  c.lblPause = {std::max(0, (c.fraPause.width() - sizes.pauseLabelWidth) / 2),
                std::max(0, (c.fraPause.height() - sizes.pauseLabelHeight) / 2)};

  c.picMenu = {X + 14, piles.PileTop - 34};
  c.imgIcon = {c.picMenu.x(), c.picMenu.y() + sizes.menuHeight + 22};

  c.LogoLeft = static_cast<std::int16_t>(piles.picPlayer[2].x() + 12);
  c.LogoTop = static_cast<std::int16_t>(logoTop);
  return c;
}

QRegion StructureTextBoxes(const PilePlaces& piles, int structureWidth) {
  const ControlPlaces c = ArrangeControlPlaces(piles, ControlSizes{}, ControlInputs{});
  constexpr int room = 1;
  const auto box = [](QPoint at, QSize size) { return QRect(at, size).adjusted(-room, -room, room, room); };
  QRegion r;
  for (const QPoint at : {c.lblOHandCnt, c.lblOWasteCnt, c.lblOResCnt, c.lblPHandCnt, c.lblPWasteCnt, c.lblPResCnt})
    r += box(at, kCountLabelSize);
  for (int i = 1; i <= kSharedPiles; ++i) {
    // Given no widths, the left column's counts end 7 pixels left of it.
    QPoint at = c.lblTabCnt[i];
    if (i <= 4) at.rx() -= kTabCountSize.width();
    r += box(at, kTabCountSize);
  }
  // The message line's margin, from the picture's left edge (the table may
  // stand offset) down to the player's name plates.
  const int messageTop = c.lblMessage.top();
  r += box(QPoint(0, messageTop), QSize(c.lblMessage.right() + 1, c.imgPStock.y() - messageTop));
  r += box(c.lblTurn, QSize(structureWidth - c.lblTurn.x(), kTurnLineHeight));
  // The turn and status lines' corner, down to the turn markers and short
  // of the border: the lines may grow into it with the text size.
  r += box(c.lblTurn, QSize(structureWidth - kTableBorderRoom - c.lblTurn.x(), c.ImgTurn1.y() - c.lblTurn.y()));
  r += box(c.StatusMsg, kStatusLineSize);
  r += box(c.lblWAIT, kWaitSize);
  return r;
}

}  // namespace table
