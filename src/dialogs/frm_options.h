#pragma once
// The Preferences dialog (frmOptions): the card deck and a matching theme,
// the card back and mat colour, the text colour and size, the card sounds,
// the intro music and the place holders, on four tabs. Every control works
// on pending values and the dialog reads a copy of the player's settings;
// Apply hands the tab's choice back to the player's owner, which makes it
// the player's settings (the truth) and the table's. Deck previews are cut
// from a face sheet of the dialog's own, so the table's sheet changes only
// when a deck is applied.

#include <QDialog>
#include <array>
#include <cstdint>
#include <optional>

#include "play/faces/preferences_access.h"
#include "play/records/players.h"
#include "table/card_deck.h"
#include "table/frm_std_sm.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QTabWidget;

namespace dialogs {

constexpr std::uint32_t kDefaultMatColor = 0xB3994D;

// The tabs, by their number from 1.
constexpr int kDeckTab = 1;   // "Pick a Card"
constexpr int kBackTab = 2;   // "Deck Styles"
constexpr int kTextTab = 3;   // "Font and Background"
constexpr int kSoundTab = 4;  // "Sounds and Style"

// The dialog's pictures FilePic(i), by what each shows.
constexpr int kRestorePicture = 0;  // the own back: a click restores the default back and mat colour
constexpr std::array<int, 6> kFacePreviews = {1, 2, 4, 7, 10, 13};  // each the face of that card code
constexpr int kWoodHolderPicture = 6;
constexpr int kMetalHolderPicture = 11;
constexpr int kChosenBackPicture = 15;  // "Current Deck Preview"
constexpr int kFilePics = kChosenBackPicture + 1;
// The pictures a card's size.
constexpr std::array<int, 8> kCardSizedPictures = {kRestorePicture,  kFacePreviews[0],  kFacePreviews[1],
                                                   kFacePreviews[2], kFacePreviews[3],  kFacePreviews[4],
                                                   kFacePreviews[5], kChosenBackPicture};

// The library decks that have a theme of their own, named after it; every
// other deck takes the brick theme.
constexpr std::int16_t kCorkThemeDeck = table::kFirstLibraryDeck;
constexpr std::int16_t kMarbleThemeDeck = table::kFirstLibraryDeck + 1;
constexpr std::int16_t kMetalThemeDeck = table::kFirstLibraryDeck + 2;

// The samples offer the text sizes a player's record keeps.
constexpr double kMinSampleTextSize = play::kMinTextFontSize;
constexpr double kMaxSampleTextSize = play::kMaxTextFontSize;

// The table theme that matches a deck.
struct DeckTheme {
  const char* background;
  std::int16_t structure;
  std::int16_t back;
  bool woodPlaceHolders;
  std::int16_t cardSoundSet;
};
DeckTheme ThemeOf(std::int16_t deck);

// "Deck  1" .. "Deck  N+1": two blanks between the word and the number.
QStringList DeckListEntries(int decksQuantity);

class FrmOptions : public QDialog, private table::BackPreviews {
  Q_OBJECT
 public:
  FrmOptions(play::PreferencesTable& table, play::ShortcutKeys& keys, QWidget* parent = nullptr);
  ~FrmOptions() override;

  // Handlers.
  void tbsOptions_Click();
  void cmdApply_Click();
  void cmdOK_Click();
  void cmdCancel_Click();
  void cboDeck_Click();
  void HScrollBacks_Change();
  void FilePic_Click(int index);
  void Command2_Click(int index);
  void CmdRestore_Click();
  void CmdSz_Click(int index);
  void OptSound_Click(int index);
  void DisplayCardSize();

  // The tab showing, from 1 (kDeckTab .. kSoundTab).
  int Tab() const;

  QTabWidget* tbsOptions = nullptr;
  QPushButton *cmdApply = nullptr, *cmdCancel = nullptr, *cmdOK = nullptr;
  QComboBox* cboDeck = nullptr;
  QCheckBox* ckTheme = nullptr;
  std::array<QLabel*, kFilePics> FilePic{};  // by the names above; the others are not used
  std::array<QLabel*, 5> LblImage{};
  QLabel* picCardBack = nullptr;
  QScrollBar* HScrollBacks = nullptr;
  std::array<QPushButton*, 4> Command2{};  // 1 mat (tab 2), 2 font, 3 mat (tab 3)
  QFrame *Frame1 = nullptr, *Shape1 = nullptr, *Frame3 = nullptr;
  QLabel *Label1 = nullptr, *ImgBack = nullptr, *ImgBackFnt = nullptr;
  QPushButton* CmdRestore = nullptr;
  std::array<QPushButton*, 2> CmdSz{};
  std::array<QLabel*, 2> LblFont{};
  std::array<QRadioButton*, 2> optPlaceHolder{};
  QCheckBox* ckIntro = nullptr;
  QGroupBox* fraSoundEffects = nullptr;
  std::array<QRadioButton*, 3> OptSound{};

  // Pending values.
  std::int16_t SelectedDeck = 1;
  std::int16_t SelectedBack = 0;
  std::int16_t SelectedSoundSet = 0;
  std::uint32_t SelectedMatColor = 0;
  double SampleTextSize = play::kNormalTextSize;
  std::uint32_t SampleTextColor = 0;
  std::uint32_t LargePreviewColor = 0;  // the background shown behind the large back preview
  bool DialogCancelled = false;         // Cancel was pressed
  const QImage& PreviewSheet() const { return previewSheet_.Sheet(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void SetFilePic(int index, const QImage& picture) override;
  void SetLargePreview(const QImage& picture, std::optional<std::uint32_t> previewValue) override;
  // The dialog's parts, as its constructor builds them, and its loading.
  void BuildDeckTab();
  void BuildBackTab();
  void BuildTextTab();
  void BuildSoundTab();
  void BuildButtons();
  void ConnectHandlers();
  void Form_Load();
  void ShowDeckPreview();
  void RefreshSamples();
  void ShowSampleText();
  void SetFrameColor(QFrame* frame, std::uint32_t bgr);
  void ApplyTab1(play::PreferencesChoice& choice);
  void ApplyTab2(play::PreferencesChoice& choice);
  void Unload();
  table::ClsDLL Library();

  play::PreferencesTable& table_;
  play::ShortcutKeys& keys_;
  // The player's settings as the dialog shows them: taken again at each
  // tab's set-up, after each Apply and after each shortcut key, which may
  // change them at once.
  play::PlayerSettings settings_;
  table::FrmStdSm previewSheet_;
  bool settingUp_ = false;  // a tab's set-up is choosing values
};

// Owns the dialog: one at a time, shown modally; the dialog goes when it closes.
class PreferencesOwner : public play::PreferencesWindow {
 public:
  PreferencesOwner(play::PreferencesTable& table, play::ShortcutKeys& keys, QWidget* mainWindow)
      : table_(table), keys_(keys), mainWindow_(mainWindow) {}
  void ShowPreferences() override;
  bool Open() const { return open_; }
  bool DialogCancelled = false;  // the last showing ended with Cancel

 private:
  play::PreferencesTable& table_;
  play::ShortcutKeys& keys_;
  QWidget* mainWindow_;
  bool open_ = false;
};

}  // namespace dialogs
