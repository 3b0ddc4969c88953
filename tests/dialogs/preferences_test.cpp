#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>

#include "dialogs/frm_options.h"
#include "dialogs/menu_program.h"
#include "platform/key_translator.h"
#include "platform/ui.h"
#include "platform/wait.h"
#include "support/fake_ui.h"
#include "support/temp_home.h"
#include "table/backgrounds.h"
#include "table/card_deck.h"
#include "table/card_deck_library.h"
#include "table/card_table.h"
#include "table/deal.h"
#include "table/frm_pic.h"
#include "table/sound_effects.h"
#include "table/table_pictures.h"
#include "table/table_settings.h"

using namespace dialogs;

namespace {

QImage Sheet(QColor c) {
  QImage img(927, 394, QImage::Format_RGB32);
  img.fill(c);
  return img;
}

class FakeDecks : public table::CardDeckSource {
 public:
  int decks = 3, backs = 5;
  int DecksQuantity() const override { return decks; }
  int BacksQuantity() const override { return backs; }
  std::optional<QImage> DeckFaces(int deck) override { return Sheet(QColor(40 * (deck + 1), 0, 0)); }
  std::optional<QImage> BackPicture(int back, bool small) override {
    QImage img(small ? 59 : 71, small ? 80 : 96, QImage::Format_RGB32);
    img.fill(QColor(0, 0, 40 * (back + 1)));
    return img;
  }
  std::optional<std::uint32_t> BackPreview(int back) override { return 0x010101u * static_cast<unsigned>(back); }
};

struct FakeBackgrounds : play::TableBackgrounds, table::TableauCards {
  std::vector<int> backgroundKeys, structures;
  bool TileBackground(QImage& surface) override {
    surface.fill(Qt::darkYellow);
    return true;
  }
  void NextBackground(int keyCode) override { backgroundKeys.push_back(keyCode); }
  void NextStructure(int value) override { structures.push_back(value); }
  int BackgroundCount() const override { return static_cast<int>(backgroundList.size()); }
  QString BackgroundList(int index) const override { return backgroundList.value(index - 1); }
  void SetBackgroundIndex(int index) override { backgroundIndex = index; }
  bool TableauCardsWindowShown() const override { return false; }
  void HideTableauCardsWindow() override {}
  void UnloadTableauCardsWindow() override { ++unloads; }

  QStringList backgroundList{"/bk/Cork.gif", "/bk/Brick-gray.jpg"};
  int backgroundIndex = 1;
  int unloads = 0;
};

class FakeTable : public play::PreferencesTable, public play::ShortcutKeys {
 public:
  play::PlayerSettings settings;
  table::TableSettings tableSettings;
  table::FrmPic pictures{tableSettings};
  platform::FakeUi ui;
  platform::WaitService wait;
  FakeDecks decks;
  table::CardDeckSource* library = &decks;
  FakeBackgrounds backgrounds;
  QImage builtIn = Sheet(Qt::white);
  std::vector<int> faces, backs, keys;
  int saves = 0, redraws = 0, refreshes = 0, applies = 0;

  FakeTable() {
    pictures.FilePic[table::kOwnBackPicture] = QImage(71, 96, QImage::Format_RGB32);
    pictures.FilePic[table::kOwnBackPicture].fill(Qt::darkBlue);
  }
  const play::PlayerSettings& Settings() const override { return settings; }
  play::PlayerSettings& SettingsToWrite() override { return settings; }
  const table::TableSettings& Table() const override { return tableSettings; }
  table::FrmPic& Pictures() override { return pictures; }
  platform::UiService& Ui() override { return ui; }
  platform::WaitService& Wait() override { return wait; }
  table::CardDeckSource* DeckLibrary() override { return library; }
  QImage BuiltInFaceSheet() const override { return builtIn; }
  int ColorBits() const override { return 32; }
  play::TableBackgrounds& Backgrounds() override { return backgrounds; }
  table::TableauCards* TableauCards() override { return &backgrounds; }
  void ShowSettings() override { ++applies; }
  void SetCardBackColor(std::uint32_t bgr) override { tableSettings.CardBackColor = bgr; }
  bool SavePlayer() override { return ++saves; }
  void RedrawTable() override { ++redraws; }
  void RefreshEmptyPilePictures() override { ++refreshes; }
  void GetCardFaces(std::int16_t& deck) override { faces.push_back(deck); }
  void GetCardBacks(std::int16_t& back) override { backs.push_back(back); }
  void KeyShortcut(int keyCode, int shift) override { keys.push_back(keyCode * 10 + shift); }
};

void Key(QWidget* w, int key, Qt::KeyboardModifiers mods) {
  QKeyEvent press(QEvent::KeyPress, key, mods);
  QCoreApplication::sendEvent(w, &press);
}

}  // namespace

TEST(Preferences, DeckListAndThemes) {
  EXPECT_EQ(DeckListEntries(2), (QStringList{"Deck  1", "Deck  2", "Deck  3"}));
  EXPECT_STREQ(ThemeOf(3).background, "MarbleTan.gif");
  EXPECT_EQ(ThemeOf(7).structure, 1000);
}

// A previewed deck is drawn from the dialog's own sheet: the table's faces
// change only when the deck is applied, whichever way the dialog closes.
TEST(Preferences, PreviewedDeckNeverReachesTheTableUnlessApplied) {
  FakeTable t;
  t.settings.CardDeck = 2;
  {
    FrmOptions dlg(t, t);
    EXPECT_EQ(dlg.cboDeck->count(), 4);
    EXPECT_EQ(dlg.cboDeck->currentText(), "Deck  2");
    EXPECT_FALSE(dlg.cmdApply->isEnabled());
    dlg.cboDeck->setCurrentIndex(3);
    EXPECT_TRUE(dlg.cmdApply->isEnabled());
    EXPECT_EQ(dlg.PreviewSheet().pixelColor(10, 10), QColor(120, 0, 0));
    dlg.cboDeck->setCurrentIndex(1);  // the deck in use again
    EXPECT_FALSE(dlg.cmdApply->isEnabled());
    dlg.cboDeck->setCurrentIndex(3);
    dlg.cmdCancel_Click();
    EXPECT_TRUE(dlg.DialogCancelled);
  }
  {
    FrmOptions dlg(t, t);
    dlg.cboDeck->setCurrentIndex(2);
    dlg.close();
    EXPECT_FALSE(dlg.DialogCancelled);
  }
  EXPECT_TRUE(t.faces.empty());
  EXPECT_EQ(t.settings.CardDeck, 2);
  EXPECT_EQ(t.saves, 0);
  {
    FrmOptions dlg(t, t);
    dlg.cmdOK_Click();  // no change: saved, not repainted
    EXPECT_EQ(t.saves, 1);
    EXPECT_EQ(t.redraws, 0);
  }
  FrmOptions dlg(t, t);
  t.backgrounds.unloads = 0;
  dlg.cboDeck->setCurrentIndex(2);
  dlg.cmdApply_Click();
  EXPECT_EQ(t.settings.CardDeck, 3);
  EXPECT_EQ(t.faces, (std::vector<int>{3}));
  EXPECT_EQ(t.backgrounds.unloads, 1);
  EXPECT_EQ(t.redraws, 1);
  EXPECT_FALSE(dlg.cmdApply->isEnabled());
  EXPECT_TRUE(t.pictures.SampleSurface.isNull() == false);
  dlg.cmdOK_Click();
  EXPECT_TRUE(t.pictures.SampleSurface.isNull());  // erased as the dialog unloads
}

TEST(Preferences, ThemeOfTheBuiltInDeck) {
  FakeTable t;
  t.settings.CardDeck = 2;
  t.settings.CardBack = 4;
  t.settings.WoodPlaceHolders = true;
  t.settings.FontColor = 0xFFFFFF;
  FrmOptions dlg(t, t);
  dlg.cboDeck->setCurrentIndex(0);
  dlg.ckTheme->click();
  dlg.cmdApply_Click();
  EXPECT_EQ(t.settings.CardDeck, 1);
  EXPECT_EQ(t.backgrounds.structures, (std::vector<int>{1000}));
  EXPECT_EQ(t.backgrounds.backgroundIndex, 1);  // "Brick-gray.jpg" is entry 2: the step down from 1 reaches it
  EXPECT_EQ(t.backgrounds.backgroundKeys, (std::vector<int>{40}));
  EXPECT_EQ(t.settings.CardBack, 0);
  EXPECT_FALSE(t.settings.WoodPlaceHolders);
  EXPECT_EQ(t.settings.CardSoundSet, 1);
  EXPECT_EQ(t.settings.FontColor, 0u);
  EXPECT_EQ(t.backs, (std::vector<int>{0}));
  EXPECT_EQ(t.refreshes, 1);
}

TEST(Preferences, SoundsTextSizeAndColours) {
  FakeTable t;
  t.settings.SoundOn = false;
  t.settings.CardSoundSet = 1;
  FrmOptions dlg(t, t);
  dlg.tbsOptions->setCurrentIndex(3);
  EXPECT_TRUE(dlg.OptSound[2]->isChecked());  // sounds off show "No card sounds"
  EXPECT_FALSE(dlg.cmdApply->isEnabled());
  dlg.OptSound[2]->click();
  dlg.optPlaceHolder[1]->click();
  dlg.cmdApply_Click();
  EXPECT_EQ(t.settings.CardSoundSet, 2);
  EXPECT_FALSE(t.settings.SoundOn);  // this tab never turns the game sounds off, nor on for "none"
  EXPECT_FALSE(t.settings.WoodPlaceHolders);
  dlg.OptSound[0]->click();
  dlg.cmdApply_Click();
  EXPECT_TRUE(t.settings.SoundOn);

  // Ctrl+Tab on tab 4 shows tab 1; Ctrl+Shift+Tab goes to the shortcuts.
  Key(&dlg, Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_EQ(dlg.Tab(), 1);
  Key(dlg.cboDeck, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(t.keys, (std::vector<int>{9 * 10 + 3}));

  // Tab 3: the text size stays within bounds; a cancelled colour changes nothing.
  dlg.tbsOptions->setCurrentIndex(2);
  for (int i = 0; i < 40; ++i) dlg.CmdSz[0]->click();
  EXPECT_EQ(dlg.SampleTextSize, kMaxSampleTextSize);
  for (int i = 0; i < 40; ++i) dlg.CmdSz[1]->click();
  EXPECT_EQ(dlg.SampleTextSize, kMinSampleTextSize);
  dlg.tbsOptions->setCurrentIndex(0);  // showing the tab again drops what was not applied
  dlg.tbsOptions->setCurrentIndex(2);
  EXPECT_EQ(dlg.SampleTextSize, t.settings.TextFontSize);
  EXPECT_FALSE(dlg.cmdApply->isEnabled());
  dlg.Command2[3]->click();
  EXPECT_FALSE(dlg.cmdApply->isEnabled());
  t.ui.colorAnswers.push_back(0x123456u);
  dlg.Command2[3]->click();
  EXPECT_EQ(dlg.SelectedMatColor, 0x123456u);
  dlg.cmdApply_Click();
  EXPECT_EQ(t.settings.MatColor, 0x123456u);
}

TEST(Preferences, StoredBackOutOfRangeAndNoLibrary) {
  FakeTable t;
  t.settings.CardBack = 9;  // the library offers five
  {
    FrmOptions dlg(t, t);
    dlg.tbsOptions->setCurrentIndex(1);
    EXPECT_EQ(dlg.SelectedBack, 9);
    EXPECT_EQ(dlg.picCardBack->pixmap().toImage().pixelColor(5, 5), QColor(Qt::darkBlue));  // the own back
    dlg.cmdApply_Click();
    EXPECT_EQ(t.settings.CardBack, 9);  // kept until the player chooses another
    dlg.HScrollBacks->setValue(3);
    EXPECT_EQ(dlg.SelectedBack, 3);
    dlg.cmdApply_Click();
    EXPECT_EQ(t.settings.CardBack, 3);
  }
  t.library = nullptr;
  FrmOptions dlg(t, t);
  dlg.tbsOptions->setCurrentIndex(1);
  EXPECT_FALSE(dlg.HScrollBacks->isEnabled());
  EXPECT_EQ(dlg.cboDeck->count(), 1);
  // The restore-default picture: the own back and the default mat colour.
  dlg.FilePic_Click(0);
  dlg.cmdApply_Click();
  EXPECT_EQ(t.settings.CardBack, 0);
  EXPECT_EQ(t.settings.MatColor, kDefaultMatColor);
}

// The dialog with the installed decks, for a look at each tab.
TEST(Preferences, ScreenshotsWithInstalledDecks) {
  table::CardDeckLibrary installed;
  if (installed.DecksQuantity() == 0) GTEST_SKIP() << "no SVG card decks installed";
  table::LibraryDeckSource source(installed);
  FakeTable t;
  t.library = &source;
  const table::TablePictures shipped = table::LoadTablePictures(SourceFile("Data/pictures/"));
  t.builtIn = table::LoadFaceSheet(SourceFile("Data/pictures/"));
  t.pictures.FilePic[table::kOwnBackPicture] = shipped.back;
  t.pictures.ImgEmpty3 = shipped.emptyWood;
  t.pictures.ImgEmpty2 = shipped.emptyMetal;
  t.settings.CardBack = 2;
  FrmOptions dlg(t, t);
  dlg.cboDeck->setCurrentIndex(2);
  for (int tab = 0; tab < 4; ++tab) {
    dlg.tbsOptions->setCurrentIndex(tab);
    dlg.grab().save(QString(MARROWDALE_BINARY_DIR) + QString("/preferences_tab%1.png").arg(tab + 1));
  }
  dlg.tbsOptions->setCurrentIndex(0);
  dlg.cboDeck->setCurrentIndex(2);
  EXPECT_FALSE(dlg.FilePic[1]->pixmap().isNull());
}

// F6 inside the dialog opens no second one; an exit meanwhile closes it
// without applying, and the wait it counts as ends.
TEST(Preferences, OwnerShowsOneDialogAndAnExitClosesIt) {
  FakeTable t;
  PreferencesOwner owner(t, t, nullptr);
  int shown = 0;
  QTimer::singleShot(0, [&] {
    owner.ShowPreferences();
    for (QWidget* w : QApplication::topLevelWidgets())
      if (qobject_cast<FrmOptions*>(w) && w->isVisible()) ++shown;
    t.wait.SetExiting(true);
  });
  owner.ShowPreferences();
  EXPECT_EQ(shown, 1);
  EXPECT_FALSE(owner.Open());
  EXPECT_FALSE(owner.DialogCancelled);
  EXPECT_EQ(t.saves, 0);
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (qobject_cast<FrmOptions*>(w)) {
      EXPECT_FALSE(w->isVisible());
    }
  }
  // The dialog goes while its table is still here, not in a later test's loop.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// With no background picture the table shows the mat colour: Apply of a new
// colour, and of the default one from the restore picture, repaints it.
class PreferencesOnTheTable : public dialogs::testing_support::MenuProgram {};

TEST_F(PreferencesOnTheTable, ANewMatColourReachesTheTableWithoutAPicture) {
  ASSERT_TRUE(program->Start());
  table::Backgrounds& bg = program->backgrounds();
  bg.SetBackgroundIndex(bg.BackgroundCount());
  bg.NextBackground(platform::kVkDown);
  ASSERT_TRUE(bg.BackgroundList(bg.BackgroundIndex()).isEmpty()) << "None is shown";
  const auto matShown = [&] { return W().FormPicture().pixelColor(3, 3); };

  FrmOptions dlg(program->Preferences(), program->menus(), &W());
  dlg.tbsOptions->setCurrentIndex(2);
  fakeUi->colorAnswers.push_back(0x00336699u);
  dlg.Command2_Click(3);
  dlg.cmdApply->click();
  EXPECT_EQ(program->player().MatColor, 0x00336699u);
  EXPECT_EQ(matShown(), QColor(0x99, 0x66, 0x33));
  EXPECT_EQ(dlg.ImgBackFnt->pixmap().toImage().pixelColor(3, 3), QColor(0x99, 0x66, 0x33)) << "the sample follows";

  dlg.tbsOptions->setCurrentIndex(1);
  dlg.FilePic_Click(0);
  dlg.cmdOK->click();
  EXPECT_EQ(program->player().MatColor, kDefaultMatColor);
  EXPECT_EQ(matShown(), table::ColorFromBgr(kDefaultMatColor));
}

// Preferences' OK redraws the table; after a game it leaves the counts
// under the piles as the game left them, the "0" under a Wastepile turned
// over into its Hand among them.
TEST_F(PreferencesOnTheTable, OKAfterAGameLeavesTheCountsUnderThePiles) {
  ASSERT_TRUE(program->Start());
  W().cmdDeal->click();
  ASSERT_NE(program->state().CurrentTurn, table::Turn::None);
  // The computer's Hand played out onto its Wastepile, which it turns over.
  auto& piles = const_cast<table::PileArrays&>(program->piles());
  auto& state = const_cast<play::PlayState&>(program->state());
  for (int i = 1; i <= 3; ++i) piles.Waste[1][i] = piles.Stock[1][i];
  piles.WasteCount[1] = 3;
  piles.StockCount[1] = 0;
  state.CurrentTurn = table::Turn::Opponent;
  struct : table::SoundEffects {
    void PlaySfx(int) override {}
  } sfx;
  ASSERT_TRUE(table::RecycleWaste(piles, state, W(), sfx));
  // Its Hand played out again: the game is over.
  piles.StockCount[1] = 0;
  W().lblOHandCnt->clear();
  state.GameEnded = true;
  const auto counts = [this] {
    QStringList texts;
    for (const QLabel* l :
         {W().lblPHandCnt, W().lblPResCnt, W().lblPWasteCnt, W().lblOHandCnt, W().lblOResCnt, W().lblOWasteCnt})
      texts << l->text();
    for (int i = 1; i <= table::kSharedPiles; ++i) texts << W().lblTabCnt[i]->text();
    return texts;
  };
  const QStringList after = counts();
  ASSERT_EQ(W().lblOWasteCnt->text(), "0");

  FrmOptions dlg(program->Preferences(), program->menus(), &W());
  dlg.tbsOptions->setCurrentIndex(2);
  fakeUi->colorAnswers.push_back(0x00336699u);
  dlg.Command2_Click(3);  // a new mat colour, so that OK applies and redraws
  dlg.cmdOK->click();
  EXPECT_EQ(counts(), after);
}

// At every text size the dialog offers, both samples show their whole text
// inside the dialog, and the dialog still fits a screen of 1024 x 768.
TEST(Preferences, SamplesShowWholeAtEveryOfferedSize) {
  FakeTable t;
  t.settings.TextFontSize = static_cast<std::int16_t>(kMaxSampleTextSize);
  FrmOptions dlg(t, t);
  dlg.show();
  // A grown text reaches the dialog's size one layout at a time.
  const auto settle = [] {
    for (int i = 0; i < 10; ++i) QCoreApplication::processEvents();
  };
  settle();
  dlg.tbsOptions->setCurrentIndex(2);
  // What of a sample cannot be seen, in words; empty when it shows whole.
  const auto hidden = [&dlg](QLabel* sample) -> std::string {
    if (sample->heightForWidth(sample->width()) > sample->height()) return "its text runs past its foot";
    for (QWidget* w = sample; w != &dlg; w = w->parentWidget()) {
      const QRect inParent(sample->mapTo(w->parentWidget(), QPoint(0, 0)), sample->size());
      if (!w->parentWidget()->rect().contains(inParent))
        return std::string("cut by ") + w->parentWidget()->metaObject()->className() + " " +
               w->parentWidget()->objectName().toStdString();
    }
    return {};
  };
  settle();
  // The largest size applied before: the tab opens on it.
  EXPECT_EQ(hidden(dlg.LblFont[0]), "");
  EXPECT_EQ(hidden(dlg.LblFont[1]), "");
  for (int i = 0; i < 40; ++i) dlg.CmdSz[1]->click();
  for (double size = kMinSampleTextSize; size <= kMaxSampleTextSize; ++size) {
    settle();
    SCOPED_TRACE(size);
    ASSERT_EQ(dlg.SampleTextSize, size);
    EXPECT_EQ(hidden(dlg.LblFont[0]), "");
    EXPECT_EQ(hidden(dlg.LblFont[1]), "");
    EXPECT_LE(dlg.width(), 1024);
    EXPECT_LE(dlg.height(), 768 - 40) << "room is left for the title bar";
    dlg.CmdSz[0]->click();
  }
}
