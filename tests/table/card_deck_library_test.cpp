#include "table/card_deck_library.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <QDir>
#include <QTemporaryDir>

namespace {

using table::CardDeckLibrary;

// A gzip-compressed SVG, as the installed decks are stored.
bool WriteSvgz(const QString& path, const QByteArray& svg) {
  gzFile out = gzopen(QFile::encodeName(path).constData(), "wb");
  if (out == nullptr) return false;
  const int written = gzwrite(out, svg.constData(), static_cast<unsigned>(svg.size()));
  return gzclose(out) == Z_OK && written == svg.size();
}

// A deck with only the Ace of clubs, the King of spades and a back, each a
// plain coloured rectangle somewhere in the document.
QByteArray TinyDeck() {
  return R"(<svg xmlns="http://www.w3.org/2000/svg" width="300" height="120">
  <rect id="1_club" x="0" y="0" width="71" height="96" fill="#ff0000"/>
  <rect id="king_spade" x="100" y="10" width="50" height="80" fill="#0000ff"/>
  <rect id="back" x="200" y="0" width="71" height="96" fill="#00ff00"/>
</svg>)";
}

int OpaquePixels(const QImage& image, const QRect& area) {
  int count = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (qAlpha(image.pixel(x, y)) > 0) ++count;
  return count;
}

QRect CardRect(int code) { return {CardDeckLibrary::CellLeft(code), CardDeckLibrary::CellTop(code), 71, 96}; }

TEST(CardDeckLibrary, CutPositionsMatchTheBuiltInSheet) {
  EXPECT_EQ(CardDeckLibrary::CellLeft(1), 1);
  EXPECT_EQ(CardDeckLibrary::CellTop(1), 0);
  EXPECT_EQ(CardDeckLibrary::CellLeft(13), 853);
  EXPECT_EQ(CardDeckLibrary::CellLeft(14), 1);
  EXPECT_EQ(CardDeckLibrary::CellTop(14), 96);
  EXPECT_EQ(CardDeckLibrary::CellLeft(52), 853);
  EXPECT_EQ(CardDeckLibrary::CellTop(52), 288);
  EXPECT_EQ(CardDeckLibrary::CellLeft(52) + 71, 924);
  EXPECT_EQ(CardDeckLibrary::CellLeft(0), -1);
  EXPECT_EQ(CardDeckLibrary::CellTop(53), -1);
}

TEST(CardDeckLibrary, EmptyOrMissingRootOffersNothing) {
  QTemporaryDir root;
  ASSERT_TRUE(root.isValid());
  for (const QString& path : {root.path(), root.path() + "/absent", QString()}) {
    CardDeckLibrary library(path);
    EXPECT_EQ(library.DecksQuantity(), 0);
    EXPECT_EQ(library.BacksQuantity(), 0);
    EXPECT_TRUE(library.DeckFaces(0).isNull());
    EXPECT_TRUE(library.BackPicture(0, false).isNull());
    EXPECT_TRUE(library.BackPicture(-1, true).isNull());
    EXPECT_EQ(library.BackPreview(0), 0u);
    EXPECT_TRUE(library.DeckFile(0).isEmpty());
  }
}

class TinyDeckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(root_.isValid());
    const QDir dir(root_.path());
    ASSERT_TRUE(dir.mkpath("svg-beta") && dir.mkpath("svg-alpha") && dir.mkpath("not-a-deck") &&
                dir.mkpath("svg-empty"));
    ASSERT_TRUE(WriteSvgz(dir.filePath("svg-beta/beta.svgz"), TinyDeck()));
    ASSERT_TRUE(WriteSvgz(dir.filePath("svg-alpha/alpha.svgz"), TinyDeck()));
    ASSERT_TRUE(WriteSvgz(dir.filePath("not-a-deck/other.svgz"), TinyDeck()));
  }
  QTemporaryDir root_;
};

TEST_F(TinyDeckTest, CountsDeckFoldersInNameOrder) {
  CardDeckLibrary library(root_.path());
  EXPECT_EQ(library.DecksQuantity(), 2);
  EXPECT_EQ(library.BacksQuantity(), 2);
  EXPECT_TRUE(library.DeckFile(0).endsWith("svg-alpha/alpha.svgz"));
  EXPECT_TRUE(library.DeckFile(1).endsWith("svg-beta/beta.svgz"));
  EXPECT_TRUE(library.DeckFaces(2).isNull());
  EXPECT_TRUE(library.BackPicture(2, false).isNull());
}

TEST_F(TinyDeckTest, DescriptionNamesTheDeckFile) {
  const QDir dir(root_.path());
  ASSERT_TRUE(WriteSvgz(dir.filePath("svg-beta/aaa.svgz"), TinyDeck()));
  QFile desc(dir.filePath("svg-beta/index.desktop"));
  ASSERT_TRUE(desc.open(QIODevice::WriteOnly));
  desc.write("[KDE Backdeck]\nName=Beta\nSVG=beta.svgz\n");
  desc.close();
  CardDeckLibrary library(root_.path());
  EXPECT_TRUE(library.DeckFile(1).endsWith("svg-beta/beta.svgz"));
}

TEST_F(TinyDeckTest, FacesAreCutOnePixelInFromEachCell) {
  CardDeckLibrary library(root_.path());
  const QImage sheet = library.DeckFaces(0);
  ASSERT_EQ(sheet.size(), QSize(927, 394));

  // The Ace of clubs fills the 71 x 96 rectangle the painter cuts at (1, 0).
  EXPECT_EQ(OpaquePixels(sheet, CardRect(1)), 71 * 96);
  EXPECT_EQ(QColor(sheet.pixel(36, 48)), QColor(255, 0, 0));
  EXPECT_EQ(qAlpha(sheet.pixel(0, 48)), 0);
  EXPECT_EQ(qAlpha(sheet.pixel(72, 48)), 0);

  // The King of spades, scaled to the cell, in the last row and column.
  EXPECT_EQ(OpaquePixels(sheet, CardRect(52)), 71 * 96);
  EXPECT_EQ(QColor(sheet.pixel(853 + 35, 288 + 48)), QColor(0, 0, 255));
  EXPECT_EQ(qAlpha(sheet.pixel(852, 288 + 48)), 0);

  // Cards the deck lacks leave their cells empty.
  EXPECT_EQ(OpaquePixels(sheet, CardRect(2)), 0);
  EXPECT_EQ(OpaquePixels(sheet, CardRect(40)), 0);
}

TEST_F(TinyDeckTest, BacksInBothSizesAndTheirPreviewColour) {
  CardDeckLibrary library(root_.path());
  const QImage back = library.BackPicture(1, false);
  const QImage small = library.BackPicture(1, true);
  ASSERT_EQ(back.size(), QSize(71, 96));
  ASSERT_EQ(small.size(), QSize(59, 80));
  EXPECT_EQ(QColor(back.pixel(35, 48)), QColor(0, 255, 0));
  EXPECT_EQ(QColor(small.pixel(29, 40)), QColor(0, 255, 0));
  EXPECT_EQ(library.BackPreview(1), 0x0000FF00u);  // 0x00BBGGRR
  // A second request is served from the cache, unchanged.
  EXPECT_EQ(library.BackPicture(1, false), back);
}

TEST_F(TinyDeckTest, UnreadableDeckGivesNullPictures) {
  const QDir dir(root_.path());
  ASSERT_TRUE(dir.mkpath("svg-broken"));
  ASSERT_TRUE(WriteSvgz(dir.filePath("svg-broken/broken.svgz"), "this is not a picture"));
  CardDeckLibrary library(root_.path());
  ASSERT_EQ(library.DecksQuantity(), 3);
  ASSERT_TRUE(library.DeckFile(2).endsWith("broken.svgz"));
  EXPECT_TRUE(library.DeckFaces(2).isNull());
  EXPECT_TRUE(library.BackPicture(2, false).isNull());
  EXPECT_FALSE(library.DeckFaces(0).isNull());
}

TEST(CardDeckLibrary, InstalledDecksRenderFullCards) {
  const QDir installed(CardDeckLibrary::DefaultRoot());
  if (installed.entryList({"svg-*"}, QDir::Dirs).isEmpty()) GTEST_SKIP() << "no card decks installed";
  CardDeckLibrary library;
  ASSERT_GE(library.DecksQuantity(), 1);
  EXPECT_EQ(library.BacksQuantity(), library.DecksQuantity());
  int deck = 0;  // the smallest of the usual decks, to keep the test quick
  for (int i = 0; i < library.DecksQuantity(); ++i)
    if (library.DeckFile(i).contains("svg-standard/")) deck = i;
  const QImage sheet = library.DeckFaces(deck);
  ASSERT_EQ(sheet.size(), QSize(927, 394));
  for (int code : {1, 52}) {
    EXPECT_GT(OpaquePixels(sheet, CardRect(code)), 71 * 96 * 3 / 4) << "card " << code;
  }
  EXPECT_GT(OpaquePixels(library.BackPicture(deck, false), QRect(0, 0, 71, 96)), 71 * 96 * 3 / 4);
}

}  // namespace
