#include "table/pile_viewer.h"

#include <algorithm>

#include "platform/system.h"
#include "table/card.h"
#include "table/picture_box.h"

namespace table {

std::vector<CardCode> ViewedCards(const PileArrays& piles, const QString& pileName, int index) {
  const auto walk = [](const auto& pile, int count, int capacity) {
    std::vector<CardCode> cards;
    for (int pos = std::min(count, capacity); pos >= 1 && static_cast<int>(cards.size()) < kViewerPictures; --pos)
      cards.push_back(pile[pos]);
    return cards;
  };
  if (pileName == "picPlayer" || pileName == "picOpponent") {
    const int side = pileName == "picPlayer" ? 0 : 1;
    switch (index) {
      case 1: return walk(piles.Stock[side], piles.StockCount[side], kSidePileCapacity);
      case 2: return walk(piles.Reserve[side], piles.ReserveCount[side], kSidePileCapacity);
      case 3: return walk(piles.Waste[side], piles.WasteCount[side], kSidePileCapacity);
      default: return {};
    }
  }
  if (pileName == "picTableau" && index >= 1 && index <= kSharedPiles)
    return walk(piles.Tableau[index], piles.TableauCount[index], kSharedPileCapacity);
  return {};
}

FrmView::FrmView(int twipsPerPixel, CardPainter painter) : QWidget(nullptr, Qt::Tool), painter_(std::move(painter)) {
  setObjectName("frmView");
  setWindowTitle("frmView");
  const int tpp = platform::TwipsPerPixelOrNormal(twipsPerPixel);
  const int w = CardWidthTwips / tpp;
  const int h = CardHeightTwips / tpp;
  for (int k = 1; k <= kViewerPictures; ++k) {
    auto* box = new PictureBox(PileControl::None, k, this);
    box->setObjectName("picView");
    box->setGeometry((k - 1) * w, 0, w, h);
    picView[k] = box;
  }
  setFixedSize(kViewerPictures * w, h);
}

void FrmView::ViewCards(const PileArrays& piles, const QString& pileName, int index) {
  for (int k = 1; k <= kViewerPictures; ++k) {
    picView[k]->SetPicture(QImage());
    Shown[k] = 0;
  }
  show();
  const std::vector<CardCode> cards = ViewedCards(piles, pileName, index);
  for (int k = 1; k <= static_cast<int>(cards.size()); ++k) {
    // A code outside 1..52 in a pile is shown as nothing rather than a back.
    if (!IsCard(cards[k - 1])) continue;
    Shown[k] = cards[k - 1];
    if (painter_) painter_(picView[k], cards[k - 1]);
  }
}

}  // namespace table
