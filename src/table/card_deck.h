#pragma once
// The card-deck procedures: how many face decks and back designs the card
// picture library offers, making a deck's faces current, and putting a back
// design into the back holder or into the Preferences previews. With the
// library absent, or when it fails, the built-in sheet and the program's
// own back are shown and the player's stored choice is kept, so a later
// start with the library back shows it again.

#include <QImage>
#include <cstdint>
#include <optional>

namespace table {

class CardDeckLibrary;
class FrmPic;
class FrmStdSm;

// What the procedures need of the library: counts, and pictures by number
// from 0. A failed call gives nullopt.
class CardDeckSource {
 public:
  virtual ~CardDeckSource() = default;
  virtual int DecksQuantity() const = 0;
  virtual int BacksQuantity() const = 0;
  virtual std::optional<QImage> DeckFaces(int deck) = 0;
  virtual std::optional<QImage> BackPicture(int back, bool small) = 0;
  // A colour (0x00BBGGRR) shown behind the large back preview.
  virtual std::optional<std::uint32_t> BackPreview(int back) = 0;
};

// The installed card picture library as the procedures use it.
class LibraryDeckSource : public CardDeckSource {
 public:
  explicit LibraryDeckSource(CardDeckLibrary& library) : library_(library) {}
  int DecksQuantity() const override;
  int BacksQuantity() const override;
  std::optional<QImage> DeckFaces(int deck) override;
  std::optional<QImage> BackPicture(int back, bool small) override;
  std::optional<std::uint32_t> BackPreview(int back) override;

 private:
  CardDeckLibrary& library_;
};

// The Preferences window's back previews; the window itself implements it
// and passes itself as the caller.
class BackPreviews {
 public:
  virtual ~BackPreviews() = default;
  // The small or full preview picture FilePic(index).
  virtual void SetFilePic(int index, const QImage& picture) = 0;
  // The large preview picCardBack(0) and the value shown with it.
  virtual void SetLargePreview(const QImage& picture, std::optional<std::uint32_t> previewValue) = 0;
};

// Deck and back numbers: deck 1 the built-in faces, n >= 2 deck n - 2 of
// the library; back 0 the program's own, n >= 1 back n - 1 of the library.
constexpr std::int16_t kBuiltInDeck = 1;
constexpr std::int16_t kFirstLibraryDeck = 2;
constexpr std::int16_t kOwnBack = 0;
constexpr std::int16_t kFirstLibraryBack = 1;
// The Preferences window's large back preview picCardBack(0).
constexpr std::int16_t kLargePreview = 99;

class ClsDLL {
 public:
  // library may be null: no card picture library is installed.
  ClsDLL(CardDeckSource* library, FrmStdSm& frmStdSm, FrmPic& frmPic)
      : library_(library), frmStdSm_(frmStdSm), frmPic_(frmPic) {}

  int GetDecksQuantity() const;
  int GetBacksQuantity() const;
  // Makes the deck's faces current. A deck number the library does not
  // offer becomes 1; with no library at all the number is kept.
  void GetCardFaces(std::int16_t& deck);
  // The table's use when caller is null: the back holder FilePic(0) takes
  // back design `back`; a design the library cannot give becomes the
  // program's own back, and back 0. The Preferences window passes itself: its preview
  // `preview` (99 the large one) takes the design.
  void GetCardBacks(std::int16_t& back, BackPreviews* caller, std::int16_t& preview, bool& small);

 private:
  CardDeckSource* library_;
  FrmStdSm& frmStdSm_;
  FrmPic& frmPic_;
};

}  // namespace table
