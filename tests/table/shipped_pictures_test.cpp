// The shipped pictures: present, of the sizes the table lays out, and the
// face sheet cut the way the card painter cuts it.

#include <gtest/gtest.h>

#include <QImage>
#include <QString>

#include "support/temp_home.h"
#include "table/card_deck_library.h"

namespace {

using table::CardDeckLibrary;

QImage Picture(const QString& name) { return QImage(SourceFile("Data/pictures/" + name)); }

TEST(ShippedPictures, AllPresentWithTheirSizes) {
  const struct {
    const char* name;
    QSize size;
  } pictures[] = {
      {"faces.png", {927, 394}},
      {"back.png", {71, 96}},
      {"empty-wood.png", {71, 96}},
      {"empty-metal.png", {71, 96}},
      {"panel-wood.png", {680, 72}},
      {"panel-metal.png", {680, 72}},
      {"plate-stock.png", {76, 18}},
      {"plate-reserve.png", {76, 18}},
      {"plate-waste.png", {76, 18}},
      {"turn-player.png", {72, 84}},
      {"turn-opponent.png", {72, 84}},
      {"caption-tableau-left.png", {71, 18}},
      {"caption-tableau-right.png", {71, 18}},
      {"caption-centers.png", {76, 18}},
      {"icon.png", {32, 32}},
      {"menu-tab.png", {64, 22}},
      {"menu-band-wood.png", {153, 34}},
      {"menu-band-metal.png", {153, 34}},
      {"marble.png", {128, 128}},
  };
  for (const auto& p : pictures) {
    SCOPED_TRACE(p.name);
    const QImage image = Picture(p.name);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), p.size);
  }
}

// The strongest ink in the card's top-left index: the rank's colour.
QColor IndexInk(const QImage& sheet, int code) {
  const int x0 = CardDeckLibrary::CellLeft(code), y0 = CardDeckLibrary::CellTop(code);
  QColor darkest(Qt::white);
  for (int y = y0 + 3; y < y0 + 14; ++y)
    for (int x = x0 + 2; x < x0 + 13; ++x) {
      const QColor c = sheet.pixelColor(x, y);
      if (c.alpha() == 255 && c.value() < darkest.value()) darkest = c;
    }
  return darkest;
}

bool IsRed(const QColor& c) { return c.red() > 150 && c.green() < 80 && c.blue() < 80; }
bool IsBlack(const QColor& c) { return c.value() < 60; }

TEST(ShippedPictures, FaceSheetIsCutOnePixelInFromEachCell) {
  const QImage sheet = Picture("faces.png").convertToFormat(QImage::Format_ARGB32);
  ASSERT_EQ(sheet.size(), QSize(927, 394));
  for (int code = 1; code <= 52; ++code) {
    SCOPED_TRACE(code);
    const int x0 = CardDeckLibrary::CellLeft(code), y0 = CardDeckLibrary::CellTop(code);
    // The card's body is solid, from edge to edge of the cut (corners aside).
    for (int y = y0 + 5; y < y0 + 91; y += 5) {
      EXPECT_EQ(qAlpha(sheet.pixel(x0, y)), 255);
      EXPECT_EQ(qAlpha(sheet.pixel(x0 + 70, y)), 255);
    }
    EXPECT_EQ(qAlpha(sheet.pixel(x0 + 35, y0)), 255);
    EXPECT_EQ(qAlpha(sheet.pixel(x0 + 35, y0 + 95)), 255);
  }
  // Nothing stands left of the first cut, right of the last or below the grid.
  for (int y = 0; y < 394; y += 3) {
    EXPECT_EQ(qAlpha(sheet.pixel(0, y)), 0);
    EXPECT_EQ(qAlpha(sheet.pixel(924, y)), 0);
  }
  for (int x = 0; x < 927; x += 3) EXPECT_EQ(qAlpha(sheet.pixel(x, 386)), 0);
}

TEST(ShippedPictures, SuitRowsCarryTheirColours) {
  const QImage sheet = Picture("faces.png").convertToFormat(QImage::Format_ARGB32);
  for (int rank = 1; rank <= 13; ++rank) {
    SCOPED_TRACE(rank);
    EXPECT_TRUE(IsBlack(IndexInk(sheet, rank)));       // suit 1
    EXPECT_TRUE(IsRed(IndexInk(sheet, 13 + rank)));    // suit 2
    EXPECT_TRUE(IsRed(IndexInk(sheet, 26 + rank)));    // suit 3
    EXPECT_TRUE(IsBlack(IndexInk(sheet, 39 + rank)));  // suit 4
  }
}

}  // namespace
