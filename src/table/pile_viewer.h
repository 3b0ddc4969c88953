#pragma once
// The developer view's look inside one pile (frmView): up to seven cards
// from the top down, face up, including the face-down Stock and Reserve
// cards. It changes nothing on the table.

#include <QString>
#include <QWidget>
#include <array>
#include <vector>

#include "table/piles.h"
#include "table/tableau_cards_window.h"

namespace table {

constexpr int kViewerPictures = 7;

// The cards of the pile named as the pile controls are ("picPlayer" side 0,
// "picOpponent" side 1 with index 1 Stock, 2 Reserve, 3 Waste; "picTableau"
// 1..8), from the top down, at most seven. Any other name or index: none.
std::vector<CardCode> ViewedCards(const PileArrays& piles, const QString& pileName, int index);

class FrmView : public QWidget {
  Q_OBJECT
 public:
  FrmView(int twipsPerPixel, CardPainter painter);

  // Shows the pile's top cards; the other pictures stay empty.
  void ViewCards(const PileArrays& piles, const QString& pileName, int index);

  std::array<PictureBox*, kViewerPictures + 1> picView{};
  std::array<CardCode, kViewerPictures + 1> Shown{};  // the card in each picture, 0 none

 private:
  CardPainter painter_;
};

}  // namespace table
