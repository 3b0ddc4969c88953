#pragma once
// The card-deck library: further face decks and the numbered back designs,
// taken from the SVG card decks installed on the system (one folder
// "svg-NAME" per deck under the root folder, holding one .svgz file whose
// elements are named "1_club" .. "king_spade" and "back").
//
// Each deck gives one face sheet laid out like the program's built-in one
// (13 columns Ace..King by 4 rows of suits, cells of the card's size, the card drawn
// one pixel in from the cell's left) and one back design, so there are as
// many backs as decks. Decks and backs are counted from 0. Pictures are
// rendered on first request and kept; a missing or unreadable deck, or a
// number out of range, gives a null image. Without installed decks the
// library reports no decks and no backs.

#include <QImage>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <map>

#include "table/table_geometry.h"

namespace table {

class CardDeckLibrary {
 public:
  static constexpr int kCellWidth = CardWidth;  // one cell of the face sheet
  static constexpr int kCellHeight = CardHeight;
  static constexpr int kSheetColumns = kRanksPerSuit;  // ranks Ace..King
  static constexpr int kSheetRows = kSuitCount;        // suits 1..4
  static constexpr int kSheetWidth = 927;              // as the built-in sheet
  static constexpr int kSheetHeight = 394;
  static constexpr int kCardLeftInset = 1;  // the card is cut 1 pixel in
  static constexpr int kBackWidth = CardWidth;
  static constexpr int kBackHeight = CardHeight;
  static constexpr int kSmallBackWidth = SmallCardWidth;  // the card size under large fonts
  static constexpr int kSmallBackHeight = SmallCardHeight;

  static QString DefaultRoot();  // "/usr/share/carddecks"

  explicit CardDeckLibrary(const QString& root = DefaultRoot());

  // Number of face decks found under the root folder.
  int16_t DecksQuantity() const;
  // Number of back designs (one per deck).
  int16_t BacksQuantity() const;
  // The whole face sheet of deck `deck` (from 0), kSheetWidth x kSheetHeight.
  QImage DeckFaces(int deck);
  // Back design `back` (from 0): kBackWidth x kBackHeight, or the small
  // size when `small`.
  QImage BackPicture(int back, bool small);
  // A colour (0x00BBGGRR) that suits back `back`, for the background of a
  // large back preview: the back's average colour. 0 when out of range.
  uint32_t BackPreview(int back);

  // The deck's file, for messages and tests; empty when out of range.
  QString DeckFile(int deck) const;

  // Where card `code` (1..52) is cut from a face sheet, one cell from here:
  // x = (rank - 1) * kCellWidth + 1, y = (suit - 1) * kCellHeight, suits in the order clubs,
  // diamonds, hearts, spades. -1 for a code out of range.
  static int CellLeft(int code);
  static int CellTop(int code);

 private:
  struct Rendered {
    QImage faces;
    QImage back;
    QImage smallBack;
    uint32_t previewColor = 0;
  };
  const Rendered& Render(int deck);

  QStringList files_;                 // the decks' .svgz files, sorted by folder
  std::map<int, Rendered> rendered_;  // decks already rendered
};

}  // namespace table
