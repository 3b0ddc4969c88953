#include "table/small_card_windows.h"

#include <type_traits>

#include "platform/system.h"
#include "table/card_deck.h"
#include "table/card_table.h"
#include "table/picture_box.h"

namespace table {

namespace {

// Windows are never deleted under a running handler: the close happens now,
// the deletion when control is back in the event loop.
template <typename W>
void UnloadLater(std::unique_ptr<W>& window, bool programClose) {
  if (!window) return;
  W* w = window.release();
  if constexpr (std::is_same_v<W, FrmHold>) {
    if (programClose) w->Unload();
  } else {
    w->close();
  }
  w->deleteLater();
}

}  // namespace

SmallCardWindows::SmallCardWindows(CardTable& table, const TableSettings& settings, int captionHeight,
                                   int twipsPerPixel, TableauWindowHooks* hooks)
    : table_(table),
      settings_(settings),
      captionHeight_(captionHeight),
      twipsPerPixel_(platform::TwipsPerPixelOrNormal(twipsPerPixel)),
      hooks_(hooks) {}

SmallCardWindows::~SmallCardWindows() {
  if (frmHold_) frmHold_->Unload();
}

CardPainter SmallCardWindows::Painter() {
  return [this](PictureBox* box, CardCode card) { table_.PaintInto(box, card, 0); };
}

FrmHold& SmallCardWindows::MadeTableauCardsWindow() {
  if (!frmHold_) {
    frmHold_ = std::make_unique<FrmHold>(
        LayOutTableauWindow(settings_.CardDeck == kBuiltInDeck, settings_.LargeFonts, twipsPerPixel_), twipsPerPixel_,
        Painter(), hooks_);
  }
  return *frmHold_;
}

void SmallCardWindows::ShowTableauPile(int pile) {
  MadeTableauCardsWindow();
  TableauPileGeometry g;
  const QWidget* window = table_.window();
  if (PictureBox* box = table_.Pile(PileControl::picTableau, pile)) {
    const QPoint at = box->mapTo(window, QPoint(0, 0));
    g.PileLeft = at.x();
    g.PileTop = at.y();
  }
  const QRect frame = window->frameGeometry();
  g.FormLeft = frame.left() * twipsPerPixel_;
  g.FormTop = frame.top() * twipsPerPixel_;
  g.CaptionHeight = captionHeight_;
  g.TwipsPerPixel = twipsPerPixel_;
  g.ScreenWidth = settings_.ScreenWidth;
  frmHold_->ShowTableauPile(table_.Piles(), pile, g);
}

bool SmallCardWindows::TableauCardsWindowShown() const { return frmHold_ && frmHold_->isVisible(); }

void SmallCardWindows::HideTableauCardsWindow() {
  if (frmHold_) frmHold_->HideWindow();
}

void SmallCardWindows::ViewCards(const QString& pileName, int index) {
  if (!frmView_) frmView_ = std::make_unique<FrmView>(twipsPerPixel_, Painter());
  frmView_->ViewCards(table_.Piles(), pileName, index);
}

void SmallCardWindows::UnloadTableauCardsWindow() { UnloadLater(frmHold_, true); }

void SmallCardWindows::UnloadAll() {
  UnloadLater(frmHold_, true);
  UnloadLater(frmView_, true);
}

}  // namespace table
