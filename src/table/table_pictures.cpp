#include "table/table_pictures.h"

#include <QDir>

namespace table {

QRect FaceCell(CardCode card) {
  if (card < 1 || card > kDeckSize) return {};
  const int row = (card - 1) / kFaceColumns + 1;
  const int y = (row - 1) * kFaceCellHeight;
  const int x = (card - (row - 1) * kFaceColumns - 1) * kFaceCellWidth + 1;
  return QRect(x, y, kFaceCellWidth, kFaceCellHeight);
}

QImage CutFace(const QImage& sheet, CardCode card) {
  const QRect cell = FaceCell(card);
  if (cell.isNull() || !sheet.rect().contains(cell)) return {};
  return sheet.copy(cell);
}

QString PicturesFolder(const QString& appPath) {
  QString folder = appPath;
  if (!folder.endsWith('/')) folder += '/';
  return folder + "Data/pictures/";
}

TablePictures LoadTablePictures(const QString& folder) {
  const QDir dir(folder);
  const auto load = [&](const char* name) { return QImage(dir.filePath(QString::fromLatin1(name))); };
  TablePictures p;
  p.back = load("back.png");
  p.emptyWood = load("empty-wood.png");
  p.emptyMetal = load("empty-metal.png");
  p.panelWood = load("panel-wood.png");
  p.panelMetal = load("panel-metal.png");
  p.menuTab = load("menu-tab.png");
  p.menuBandWood = load("menu-band-wood.png");
  p.menuBandMetal = load("menu-band-metal.png");
  p.marble = load("marble.png");
  p.plateStock = load("plate-stock.png");
  p.plateReserve = load("plate-reserve.png");
  p.plateWaste = load("plate-waste.png");
  p.turnPlayer = load("turn-player.png");
  p.turnOpponent = load("turn-opponent.png");
  p.captionTableauLeft = load("caption-tableau-left.png");
  p.captionTableauRight = load("caption-tableau-right.png");
  p.captionCenters = load("caption-centers.png");
  p.icon = load("icon.png");
  return p;
}

QImage LoadFaceSheet(const QString& folder) { return QImage(QDir(folder).filePath(QStringLiteral("faces.png"))); }

}  // namespace table
