#include "table/card_deck.h"

#include "table/card_deck_library.h"
#include "table/frm_pic.h"
#include "table/frm_std_sm.h"
#include "table/table_pictures.h"

#include <algorithm>

namespace table {

namespace {

// A library sheet is used only when every card can be cut from it.
bool IsUsableSheet(const QImage& sheet) {
  return !sheet.isNull() && sheet.width() >= kFaceColumns * kFaceCellWidth + 1 &&
         sheet.height() >= kFaceRows * kFaceCellHeight;
}

}  // namespace

int LibraryDeckSource::DecksQuantity() const { return library_.DecksQuantity(); }

int LibraryDeckSource::BacksQuantity() const { return library_.BacksQuantity(); }

std::optional<QImage> LibraryDeckSource::DeckFaces(int deck) {
  QImage sheet = library_.DeckFaces(deck);
  if (sheet.isNull()) return std::nullopt;
  return sheet;
}

std::optional<QImage> LibraryDeckSource::BackPicture(int back, bool small) {
  QImage picture = library_.BackPicture(back, small);
  if (picture.isNull()) return std::nullopt;
  return picture;
}

std::optional<std::uint32_t> LibraryDeckSource::BackPreview(int back) {
  if (back < 0 || back >= library_.BacksQuantity()) return std::nullopt;
  return library_.BackPreview(back);
}

int ClsDLL::GetDecksQuantity() const { return library_ ? std::max(0, library_->DecksQuantity()) : 0; }

int ClsDLL::GetBacksQuantity() const { return library_ ? std::max(0, library_->BacksQuantity()) : 0; }

void ClsDLL::GetCardFaces(std::int16_t& deck) {
  if (!library_) {
    frmStdSm_.Reload();
    return;
  }
  const int n = GetDecksQuantity();
  if (deck < 1 || deck > n + 1) deck = kBuiltInDeck;
  if (deck == kBuiltInDeck) {
    frmStdSm_.Reload();
    return;
  }
  const auto faces = library_->DeckFaces(deck - 2);
  if (faces && IsUsableSheet(*faces)) {
    frmStdSm_.UseSheet(*faces);
  } else {
    frmStdSm_.Reload();
  }
}

void ClsDLL::GetCardBacks(std::int16_t& back, BackPreviews* caller, std::int16_t& preview, bool& small) {
  std::optional<QImage> design;
  if (library_ && back >= 1 && back <= GetBacksQuantity()) {
    design = library_->BackPicture(back - 1, caller ? small : false);
    if (design && design->isNull()) design.reset();
  }
  const QImage picture = design ? *design : frmPic_.FilePic[kOwnBackPicture];

  if (!caller) {
    frmPic_.FilePic[kCurrentBackPicture] = picture;
    // The table draws the program's own back over its back colour; a back
    // number it does not have would leave that colour out.
    if (!design) back = kOwnBack;
    return;
  }
  if (preview != kLargePreview) {
    caller->SetFilePic(preview, picture);
    return;
  }
  std::optional<std::uint32_t> value;
  if (design) value = library_->BackPreview(back - 1);
  caller->SetLargePreview(picture, value);
}

}  // namespace table
