#include "table/tableau_cards_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <algorithm>
#include <cmath>

#include "table/picture_box.h"

namespace table {

namespace {

constexpr int kFirstPictureLeft = 0;     // Picture8(1) at the window's left edge
constexpr int kLayoutMarginTwips = 100;  // beyond the last of the thirteen
constexpr int kShownMarginTwips = 40;    // beyond the last one shown
constexpr int kBesidePilePixels = 6;     // the gap to the pile, and under the pile's top
constexpr int kOverlapPileTwips = 80;    // a left window ends this far inside the pile

int RoundHalfEven(double x) { return static_cast<int>(std::nearbyint(x)); }

}  // namespace

TableauWindowLayout LayOutTableauWindow(bool builtInDeck, bool LargeFonts, int twipsPerPixel) {
  TableauWindowLayout layout;
  if (LargeFonts) {
    layout.PictureWidth = CardWidth * twipsPerPixel;
    layout.PictureHeight = CardHeight * twipsPerPixel;
    layout.WindowHeight = kLargeFontsWindowHeightTwips;
  } else {
    layout.WindowHeight = CardHeightTwips;
  }
  int L = kFirstPictureLeft;
  const int W = layout.PictureWidth;
  layout.PictureLeft[1] = L;
  for (int i = 2; i <= kTableauWindowPictures; ++i) {
    L = RoundHalfEven(L + (builtInDeck ? W / 3.0 : W / 1.5));
    layout.PictureLeft[i] = L;
  }
  layout.WindowWidth = L + W + kLayoutMarginTwips;
  return layout;
}

TableauWindowPlacement PlaceTableauWindow(int pile, int count, const TableauWindowLayout& layout,
                                          const TableauPileGeometry& g) {
  TableauWindowPlacement p;
  // An empty pile, like a single card, has nothing beneath its top.
  if (pile < 1 || pile > kSharedPiles || count <= 1) return p;
  const int n = std::min(count - 1, kTableauWindowPictures);
  p.Hide = false;
  p.Shown = n;
  p.Top = (g.CaptionHeight + g.PileTop + kBesidePilePixels) * g.TwipsPerPixel + g.FormTop;
  const int picturesWidth = layout.PictureLeft[n] + layout.PictureWidth + kShownMarginTwips;
  p.Width = std::max(picturesWidth, g.CaptionWidth);
  const int xLeft = g.PileLeft * g.TwipsPerPixel - p.Width + g.FormLeft + kOverlapPileTwips;
  const int xRight = (CardWidth + g.PileLeft + kBesidePilePixels) * g.TwipsPerPixel + g.FormLeft;
  if (pile <= 4)
    p.LeftSide = xLeft > 0;
  else
    p.LeftSide = !(xRight + p.Width < g.ScreenWidth);
  p.Left = p.LeftSide ? xLeft : xRight;
  p.PicturesLeft = p.LeftSide ? p.Width - picturesWidth : 0;
  return p;
}

std::array<CardCode, kTableauWindowPictures + 1> TableauPictureCards(const PileArrays& piles, int pile,
                                                                     const TableauWindowPlacement& placement) {
  std::array<CardCode, kTableauWindowPictures + 1> cards{};
  if (placement.Hide || pile < 1 || pile > kSharedPiles) return cards;
  const int n = std::min(placement.Shown, kSharedPileCapacity);
  for (int i = 1; i <= n; ++i) {
    const CardCode card = piles.Tableau[pile][i];
    if (placement.LeftSide)
      cards[i] = card;
    else
      cards[n + 1 - i] = card;
  }
  return cards;
}

FrmHold::FrmHold(const TableauWindowLayout& layout, int twipsPerPixel, CardPainter painter, TableauWindowHooks* hooks)
    : QWidget(nullptr, Qt::Tool),
      layout_(layout),
      twipsPerPixel_(platform::TwipsPerPixelOrNormal(twipsPerPixel)),
      painter_(std::move(painter)),
      hooks_(hooks) {
  setObjectName("frmHold");
  setWindowTitle("TABLEAU CARDS HIDDEN");
  const int tpp = twipsPerPixel_;
  for (int i = 1; i <= kTableauWindowPictures; ++i) {
    auto* box = new PictureBox(PileControl::None, i, this);
    box->setObjectName("Picture8");
    box->setGeometry(layout_.PictureLeft[i] / tpp, 0, layout_.PictureWidth / tpp, layout_.PictureHeight / tpp);
    box->setToolTip("Click to close");
    connect(box, &PictureBox::mouseDown, this, [this] { PictureClicked(); });
    Picture8[i] = box;
    if (i > 1) box->lower();
  }
  setFixedSize(layout_.WindowWidth / tpp, layout_.WindowHeight / tpp);
  onTop_.SetOnTop(true);
  onTop_.TopForm(this);
}

FrmHold::~FrmHold() = default;

void FrmHold::ShowTableauPile(const PileArrays& piles, int pile, const TableauPileGeometry& geometry) {
  // The title bar shows the whole caption, in a bold face, with room for
  // the window's icon and its three buttons: with few cards the window is
  // wider than they are.
  TableauPileGeometry at = geometry;
  QFont titleFont = QApplication::font();
  titleFont.setBold(true);
  at.CaptionWidth =
      (QFontMetrics(titleFont).horizontalAdvance(windowTitle()) + 4 * at.CaptionHeight + 24) * twipsPerPixel_;
  placement_ = PlaceTableauWindow(pile, pile >= 1 && pile <= kSharedPiles ? piles.TableauCount[pile] : 0, layout_, at);
  if (placement_.Hide) {
    hide();
    return;
  }
  if (isMinimized()) showNormal();
  const int n = placement_.Shown;
  const int tpp = twipsPerPixel_;
  for (int i = 1; i <= kTableauWindowPictures; ++i) {
    Picture8[i]->move((placement_.PicturesLeft + layout_.PictureLeft[i]) / tpp, 0);
    if (i == 1) continue;
    Picture8[i]->lower();
    Picture8[i]->setVisible(i <= n);
  }
  const auto cards = TableauPictureCards(piles, pile, placement_);
  setFixedSize(placement_.Width / tpp, layout_.WindowHeight / tpp);
  for (int i = n; i >= 1; --i) {
    const int j = placement_.LeftSide ? i : n + 1 - i;
    if (painter_) painter_(Picture8[j], cards[j]);
    if (placement_.LeftSide && j == n)
      Picture8[j]->raise();
    else
      Picture8[j]->lower();
  }
  move(placement_.Left / tpp, placement_.Top / tpp);
  show();
}

void FrmHold::Unload() {
  unloading_ = true;
  close();
}

void FrmHold::closeEvent(QCloseEvent* event) {
  if (unloading_) {
    QWidget::closeEvent(event);
    return;
  }
  event->ignore();
  hide();
}

void FrmHold::PictureClicked() {
  hide();
  if (hooks_ && hooks_->TutorialMode()) hooks_->TableauWindowClickedInTutorial();
}

}  // namespace table
