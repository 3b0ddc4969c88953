#include "table/card_deck.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QTemporaryDir>

#include "table/card_deck_library.h"
#include "table/frm_pic.h"
#include "table/frm_std_sm.h"
#include "table/table_pictures.h"

using namespace table;

namespace {

QImage Filled(int w, int h, QColor c) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(c);
  return img;
}

class FakeLibrary : public CardDeckSource {
 public:
  int decks = 3;
  int backs = 2;
  bool failing = false;
  std::vector<std::pair<int, bool>> backCalls;
  int DecksQuantity() const override { return decks; }
  int BacksQuantity() const override { return backs; }
  std::optional<QImage> DeckFaces(int deck) override {
    if (failing) return std::nullopt;
    return Filled(927, 394, QColor(10 * deck, 0, 0));
  }
  std::optional<QImage> BackPicture(int back, bool small) override {
    backCalls.emplace_back(back, small);
    if (failing) return std::nullopt;
    return Filled(small ? 59 : 71, small ? 80 : 96, QColor(0, 0, 100 + back));
  }
  std::optional<std::uint32_t> BackPreview(int back) override { return 0x10000u * back; }
};

class FakePreviews : public BackPreviews {
 public:
  void SetFilePic(int index, const QImage& picture) override { filePics[index] = picture; }
  void SetLargePreview(const QImage& picture, std::optional<std::uint32_t> value) override {
    large = picture;
    largeValue = value;
  }
  std::map<int, QImage> filePics;
  QImage large;
  std::optional<std::uint32_t> largeValue;
};

struct Holders {
  TableSettings settings;
  FrmStdSm frmStdSm{Filled(927, 394, Qt::white)};
  FrmPic frmPic{settings};
  Holders() { frmPic.FilePic[table::kOwnBackPicture] = Filled(71, 96, Qt::darkGreen); }
};

}  // namespace

TEST(FaceSheet, CutsCardsOnePixelInFromTheCellEdge) {
  EXPECT_EQ(FaceCell(1), QRect(1, 0, 71, 96));
  EXPECT_EQ(FaceCell(13), QRect(853, 0, 71, 96));
  EXPECT_EQ(FaceCell(14), QRect(1, 96, 71, 96));
  EXPECT_EQ(FaceCell(52), QRect(853, 288, 71, 96));
  EXPECT_TRUE(FaceCell(0).isNull());
  EXPECT_TRUE(FaceCell(53).isNull());
  QImage sheet = Filled(927, 394, Qt::white);
  sheet.setPixel(853, 288, qRgb(255, 0, 0));
  EXPECT_EQ(CutFace(sheet, 52).pixel(0, 0), qRgb(255, 0, 0));
  EXPECT_TRUE(CutFace(Filled(100, 100, Qt::white), 52).isNull());
}

TEST(GetCardFaces, AcceptsTheLibraryDecksAndResetsOthersToTheBuiltInSheet) {
  Holders h;
  FakeLibrary lib;
  ClsDLL dll(&lib, h.frmStdSm, h.frmPic);
  for (std::int16_t d : {2, 3, 4}) {
    std::int16_t deck = d;
    dll.GetCardFaces(deck);
    EXPECT_EQ(deck, d);
    EXPECT_EQ(h.frmStdSm.Sheet().pixelColor(0, 0), QColor(10 * (d - 2), 0, 0));
  }
  for (std::int16_t d : {0, 5, -3}) {
    std::int16_t deck = d;
    dll.GetCardFaces(deck);
    EXPECT_EQ(deck, 1);
    EXPECT_EQ(h.frmStdSm.Sheet().pixelColor(0, 0), QColor(Qt::white));
  }
}

TEST(GetCardFaces, WithoutTheLibraryOrOnFailureShowsTheBuiltInSheetAndKeepsTheChoice) {
  Holders h;
  ClsDLL absent(nullptr, h.frmStdSm, h.frmPic);
  std::int16_t deck = 3;
  absent.GetCardFaces(deck);
  EXPECT_EQ(deck, 3);
  EXPECT_EQ(h.frmStdSm.Sheet().pixelColor(0, 0), QColor(Qt::white));
  EXPECT_EQ(absent.GetDecksQuantity(), 0);
  EXPECT_EQ(absent.GetBacksQuantity(), 0);

  FakeLibrary lib;
  lib.failing = true;
  ClsDLL failing(&lib, h.frmStdSm, h.frmPic);
  deck = 2;
  failing.GetCardFaces(deck);
  EXPECT_EQ(deck, 2);
  EXPECT_EQ(h.frmStdSm.Sheet().pixelColor(0, 0), QColor(Qt::white));
}

TEST(GetCardBacks, TableBackHolder) {
  Holders h;
  FakeLibrary lib;
  ClsDLL dll(&lib, h.frmStdSm, h.frmPic);
  std::int16_t back = 0, preview = 0;
  bool small = true;
  dll.GetCardBacks(back, nullptr, preview, small);
  EXPECT_EQ(h.frmPic.FilePic[table::kCurrentBackPicture], h.frmPic.FilePic[table::kOwnBackPicture]);
  EXPECT_TRUE(lib.backCalls.empty());

  back = 2;
  dll.GetCardBacks(back, nullptr, preview, small);
  ASSERT_EQ(lib.backCalls.size(), 1u);
  EXPECT_EQ(lib.backCalls[0], std::make_pair(1, false));  // full size, numbered from 0
  EXPECT_EQ(h.frmPic.FilePic[table::kCurrentBackPicture].size(), QSize(71, 96));

  for (std::int16_t bad : {3, -1}) {
    back = bad;
    dll.GetCardBacks(back, nullptr, preview, small);
    EXPECT_EQ(back, kOwnBack);
    EXPECT_EQ(h.frmPic.FilePic[table::kCurrentBackPicture], h.frmPic.FilePic[table::kOwnBackPicture]);
  }
  lib.failing = true;
  back = 1;
  dll.GetCardBacks(back, nullptr, preview, small);
  EXPECT_EQ(h.frmPic.FilePic[table::kCurrentBackPicture], h.frmPic.FilePic[table::kOwnBackPicture]);
}

TEST(GetCardBacks, PreferencesPreviews) {
  Holders h;
  FakeLibrary lib;
  ClsDLL dll(&lib, h.frmStdSm, h.frmPic);
  FakePreviews options;
  std::int16_t back = 2, preview = 3;
  bool small = true;
  dll.GetCardBacks(back, &options, preview, small);
  EXPECT_EQ(options.filePics[3].size(), QSize(59, 80));
  preview = kLargePreview;
  small = false;
  dll.GetCardBacks(back, &options, preview, small);
  EXPECT_EQ(options.large.size(), QSize(71, 96));
  EXPECT_EQ(options.largeValue, 0x10000u);
  EXPECT_TRUE(options.filePics.count(99) == 0);
}

TEST(GetCardBacks, InstalledDecksOrNone) {
  Holders h;
  QTemporaryDir empty;
  CardDeckLibrary none(empty.path());
  LibraryDeckSource noneSource(none);
  ClsDLL dll(&noneSource, h.frmStdSm, h.frmPic);
  EXPECT_EQ(dll.GetDecksQuantity(), 0);
  std::int16_t deck = 4;
  dll.GetCardFaces(deck);
  EXPECT_EQ(deck, 1);
  EXPECT_EQ(h.frmStdSm.Sheet().pixelColor(0, 0), QColor(Qt::white));
  std::int16_t back = 3, preview = 0;
  bool small = false;
  dll.GetCardBacks(back, nullptr, preview, small);
  EXPECT_EQ(back, kOwnBack);
  EXPECT_EQ(h.frmPic.FilePic[table::kCurrentBackPicture], h.frmPic.FilePic[table::kOwnBackPicture]);
}

TEST(FrmPic, PopupItems) {
  TableSettings settings;
  FrmPic frmPic(settings);
  settings.CardSoundSet = kNoCardSounds;
  settings.WoodPlaceHolders = false;
  settings.SoundOn = false;
  frmPic.mnuNoise[0]->trigger();
  EXPECT_TRUE(settings.SoundOn);
  EXPECT_EQ(settings.CardSoundSet, 1);
  EXPECT_TRUE(frmPic.mnuNoise[0]->isChecked());
  frmPic.mnuNoise[1]->trigger();
  EXPECT_FALSE(settings.SoundOn);
  EXPECT_FALSE(frmPic.mnuNoise[0]->isChecked());
  settings.CardSoundSet = 0;
  frmPic.mnuNoise_Click(0);
  EXPECT_EQ(settings.CardSoundSet, 0);

  frmPic.mnuFirst[0]->trigger();
  frmPic.mnuFirst[2]->trigger();
  EXPECT_EQ(settings.FirstPlayerRule, 2);
  int checked = 0;
  for (auto* a : frmPic.mnuFirst) checked += a->isChecked();
  EXPECT_EQ(checked, 1);

  // A popup dismissed without a choice leaves the item 0.
  frmPic.SetPopupRunner([](QMenu&, const QPoint&) {});
  frmPic.BackgroundItem = 0;
  frmPic.PopupMenu(*frmPic.Tile, {});
  EXPECT_EQ(frmPic.BackgroundItem, 0);
  frmPic.SetPopupRunner([&](QMenu&, const QPoint&) { frmPic.mnuBackground[2]->trigger(); });
  frmPic.PopupMenu(*frmPic.Tile, {});
  EXPECT_EQ(frmPic.BackgroundItem, 2);

  EXPECT_EQ(frmPic.ToInternet->actions().size(), 2);
  frmPic.ToNet[2]->trigger();
  EXPECT_EQ(frmPic.NetLinkItem, 2);
  frmPic.Display[1]->trigger();
  EXPECT_TRUE(frmPic.DisplayChosen);
  EXPECT_EQ(frmPic.DisplayItem, 1);
  frmPic.MusicRemove->trigger();
  EXPECT_TRUE(frmPic.RemoveSongRequested);
  frmPic.MusicCancel->trigger();
  EXPECT_FALSE(frmPic.RemoveSongRequested);
}
