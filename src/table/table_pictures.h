#pragma once
// The stock pictures of the table, shipped in Data/pictures/ beside the
// program, and the cut of a card from the face sheet. A missing picture is
// a null image: the control it belongs to shows blank.

#include <QImage>
#include <QRect>
#include <QString>

#include "table/piles.h"
#include "table/table_geometry.h"

namespace table {

constexpr int kFaceCellWidth = CardWidth;
constexpr int kFaceCellHeight = CardHeight;
constexpr int kFaceColumns = kRanksPerSuit;
constexpr int kFaceRows = kSuitCount;

// Where card 1..52 is cut from the face sheet: rows by suit, columns by
// rank, one pixel in from the cell's left edge. Null for other codes.
QRect FaceCell(CardCode card);
// The card's face cut from the sheet, one card's size; a null image when the sheet
// is too small for the cut.
QImage CutFace(const QImage& sheet, CardCode card);

struct TablePictures {
  QImage back;                 // back.png, the program's own back
  QImage emptyWood;            // empty-wood.png
  QImage emptyMetal;           // empty-metal.png
  QImage panelWood;            // panel-wood.png, drop-down menu backdrop
  QImage panelMetal;           // panel-metal.png
  QImage menuTab;              // menu-tab.png, the drawn menu bar's tab
  QImage menuBandWood;         // menu-band-wood.png, the list menu's band with wooden place holders
  QImage menuBandMetal;        // menu-band-metal.png, with metal ones
  QImage marble;               // marble.png, the player window's background
  QImage plateStock;           // plate-stock.png, name plates
  QImage plateReserve;         // plate-reserve.png
  QImage plateWaste;           // plate-waste.png
  QImage turnPlayer;           // turn-player.png, ImgTurn1
  QImage turnOpponent;         // turn-opponent.png, ImgTurn2
  QImage captionTableauLeft;   // caption-tableau-left.png
  QImage captionTableauRight;  // caption-tableau-right.png
  QImage captionCenters;       // caption-centers.png
  QImage icon;                 // icon.png
};

// The folder of the table's pictures: AppPath + "Data/pictures/".
QString PicturesFolder(const QString& appPath);
// Loads every picture from the folder; missing or broken ones stay null.
TablePictures LoadTablePictures(const QString& folder);
// The built-in face sheet, faces.png in the folder; null when missing or
// broken.
QImage LoadFaceSheet(const QString& folder);

}  // namespace table
