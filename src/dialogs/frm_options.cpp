#include "dialogs/frm_options.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "platform/key_translator.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "platform/vb.h"
#include "platform/wait.h"
#include "table/card_table.h"
#include "table/frm_pic.h"
#include "table/table_geometry.h"
#include "table/table_pictures.h"
#include "table/table_settings.h"

namespace dialogs {

namespace {

constexpr std::uint32_t kBackColorBeige = 0xC0E0FF;
constexpr std::uint32_t kBackColorGrey = 0xC0C0C0;
constexpr std::uint32_t kRestorePictureLowColor = 0xC0FFFF;
constexpr int kLowColorBits = 16;
constexpr double kRestoreSampleTextSize = 12;
// The text samples are as wide as the strip's page; their height grows with
// their text, from this least height on.
constexpr int kSampleWidthTwips = 6500;
constexpr int kSampleLeastHeight = 150;
constexpr int kSampleMargin = 8;
// The tab strip is 5595 x 5715 twips, and grows by this room in pixels.
constexpr int kStripWidthTwips = 5595;
constexpr int kStripHeightTwips = 5715;
constexpr int kStripRoomWidth = 100;
constexpr int kStripRoomHeight = 110;

// Clicks on a label, for the pictures that act as buttons.
class ClickFilter : public QObject {
 public:
  ClickFilter(QObject* parent, std::function<void()> onClick) : QObject(parent), onClick_(std::move(onClick)) {}
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonPress) onClick_();
    return false;
  }

 private:
  std::function<void()> onClick_;
};

// The tab strip keeps its least size and grows with what its tabs need.
// (A least size set on the strip itself would hide their needs from the
// dialog, and a grown sample would be cut at the strip's foot.)
class TabStrip : public QTabWidget {
 public:
  TabStrip(QSize least, QWidget* parent) : QTabWidget(parent), least_(least) {}
  QSize minimumSizeHint() const override { return QTabWidget::minimumSizeHint().expandedTo(least_); }
  QSize sizeHint() const override { return QTabWidget::sizeHint().expandedTo(least_); }

 private:
  QSize least_;
};

QSize CardSize() { return {table::kFaceCellWidth, table::kFaceCellHeight}; }

QLabel* Picture(QWidget* parent, const QString& name, QSize size) {
  auto* l = new QLabel(parent);
  l->setObjectName(name);
  l->setFixedSize(size);
  l->setAlignment(Qt::AlignCenter);
  l->setAutoFillBackground(true);
  return l;
}

void SetBack(QWidget* w, std::uint32_t bgr) {
  QPalette p = w->palette();
  p.setColor(QPalette::Window, table::ColorFromBgr(bgr));
  w->setPalette(p);
  w->setAutoFillBackground(true);
}

}  // namespace

DeckTheme ThemeOf(std::int16_t deck) {
  switch (deck) {
    case kCorkThemeDeck: return {"Cork.gif", 1004, 4, true, play::kCardSoundWood};
    case kMarbleThemeDeck: return {"MarbleTan.gif", 1003, 2, true, play::kCardSoundWood};
    case kMetalThemeDeck: return {"MetalSand.gif", 1001, 5, false, play::kCardSoundMetallic};
    default: return {"Brick-gray.jpg", table::kStructureFirst, table::kOwnBack, false, play::kCardSoundMetallic};
  }
}

QStringList DeckListEntries(int decksQuantity) {
  QStringList entries{QStringLiteral("Deck  1")};
  for (int i = 1; i <= decksQuantity; ++i) entries << QStringLiteral("Deck ") + vb::Str(i + 1);
  return entries;
}

FrmOptions::FrmOptions(play::PreferencesTable& table, play::ShortcutKeys& keys, QWidget* parent)
    : QDialog(parent),
      table_(table),
      keys_(keys),
      settings_(table.Settings()),
      previewSheet_(table.BuiltInFaceSheet()) {
  setObjectName("frmOptions");
  setWindowTitle("Preferences");
  // The strip's least size; room is added for the desktop's fonts.
  tbsOptions = new TabStrip(QSize(platform::TwipsToPixels(kStripWidthTwips) + kStripRoomWidth,
                                  platform::TwipsToPixels(kStripHeightTwips) + kStripRoomHeight),
                            this);
  tbsOptions->setObjectName("tbsOptions");
  BuildDeckTab();
  BuildBackTab();
  BuildTextTab();
  BuildSoundTab();
  BuildButtons();
  ConnectHandlers();
  Form_Load();
}

// Tab 1: the deck.
void FrmOptions::BuildDeckTab() {
  const QSize card = CardSize();
  auto* t1 = new QWidget;
  auto* v1 = new QVBoxLayout(t1);
  LblImage[4] = new QLabel(t1);
  LblImage[4]->setWordWrap(true);
  cboDeck = new QComboBox(t1);
  cboDeck->setObjectName("cboDeck");
  ckTheme = new QCheckBox(t1);
  ckTheme->setObjectName("ckTheme");
  auto* faces = new QGridLayout;
  int slot = 0;
  for (int i : kFacePreviews) {
    FilePic[i] = Picture(t1, "FilePic", card);
    FilePic[i]->setToolTip("If the numbers don't look right, see the instructions under the HELP menu.");
    faces->addWidget(FilePic[i], slot / 3, slot % 3);
    ++slot;
  }
  // The room the tab has to spare goes evenly between its parts.
  v1->addWidget(LblImage[4]);
  v1->addStretch();
  v1->addWidget(cboDeck);
  v1->addStretch();
  v1->addLayout(faces);
  v1->addStretch();
  v1->addWidget(ckTheme);
  v1->addStretch();
  tbsOptions->addTab(t1, "Pick a Card");
  tbsOptions->setTabToolTip(kDeckTab - 1, "Set Card Style");
}

// Tab 2: the back and the mat colour.
void FrmOptions::BuildBackTab() {
  const QSize card = CardSize();
  auto* t2 = new QWidget;
  auto* g2 = new QGridLayout(t2);
  LblImage[2] = new QLabel(t2);
  LblImage[2]->setWordWrap(true);
  picCardBack = Picture(t2, "picCardBack", card + QSize(12, 12));
  HScrollBacks = new QScrollBar(Qt::Horizontal, t2);
  HScrollBacks->setObjectName("HScrollBacks");
  HScrollBacks->setMinimum(1);
  Command2[1] = new QPushButton("Mat Color", t2);
  FilePic[kChosenBackPicture] = Picture(t2, "FilePic", card);
  FilePic[kChosenBackPicture]->setToolTip("Current Deck Preview");
  Frame1 = new QFrame(t2);
  Frame1->setObjectName("Frame1");
  auto* f1 = new QHBoxLayout(Frame1);
  FilePic[kRestorePicture] = Picture(Frame1, "FilePic", card);
  FilePic[kRestorePicture]->setToolTip("Click here to restore default deck and mat color");
  Label1 = new QLabel("Current Selection:", Frame1);
  Shape1 = new QFrame(Frame1);
  Shape1->setFixedSize(24, 24);
  Shape1->setFrameShape(QFrame::Box);
  LblImage[0] = new QLabel("Reset defaults:", t2);
  ImgBack = new QLabel(t2);
  ImgBack->setObjectName("ImgBack");
  ImgBack->setFixedSize(150, 100);
  ImgBack->setScaledContents(false);
  f1->addWidget(FilePic[kRestorePicture]);
  f1->addWidget(Label1);
  f1->addWidget(Shape1);
  g2->addWidget(LblImage[2], 0, 0, 1, 2);
  g2->addWidget(picCardBack, 1, 0);
  g2->addWidget(FilePic[kChosenBackPicture], 1, 1);
  g2->addWidget(HScrollBacks, 2, 0);
  g2->addWidget(Command2[1], 2, 1);
  g2->addWidget(LblImage[0], 3, 0);
  g2->addWidget(Frame1, 4, 0, 1, 2);
  g2->addWidget(ImgBack, 5, 0, 1, 2, Qt::AlignHCenter);
  tbsOptions->addTab(t2, "Deck Styles");
  tbsOptions->setTabToolTip(kBackTab - 1, "Set Deck Style");
}

// Tab 3: texts and the mat colour.
void FrmOptions::BuildTextTab() {
  const int sampleWidth = platform::TwipsToPixels(kSampleWidthTwips);
  auto* t3 = new QWidget;
  auto* v3 = new QVBoxLayout(t3);
  Command2[3] = new QPushButton("Mat Color", t3);
  Frame3 = new QFrame(t3);
  Frame3->setObjectName("Frame3");
  auto* f3 = new QGridLayout(Frame3);
  CmdRestore = new QPushButton("Default", Frame3);
  CmdSz[0] = new QPushButton("+size", Frame3);
  CmdSz[0]->setToolTip("One pill makes you larger");
  CmdSz[1] = new QPushButton("-size", Frame3);
  CmdSz[1]->setToolTip("and one pill makes you small");
  Command2[2] = new QPushButton("Font Color", Frame3);
  LblFont[0] = new QLabel(Frame3);
  LblFont[0]->setWordWrap(true);
  f3->addWidget(LblFont[0], 0, 0, 1, 4);
  f3->addWidget(CmdRestore, 1, 0);
  f3->addWidget(CmdSz[0], 1, 1);
  f3->addWidget(CmdSz[1], 1, 2);
  f3->addWidget(Command2[2], 1, 3);
  Frame3->setFixedWidth(sampleWidth);
  ImgBackFnt = new QLabel(t3);
  ImgBackFnt->setObjectName("ImgBackFnt");
  ImgBackFnt->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  ImgBackFnt->setFixedSize(sampleWidth, kSampleLeastHeight);
  LblFont[1] = new QLabel(ImgBackFnt);
  LblFont[1]->setWordWrap(true);
  LblFont[1]->setGeometry(kSampleMargin, kSampleMargin, sampleWidth - 2 * kSampleMargin,
                          kSampleLeastHeight - 2 * kSampleMargin);
  v3->addWidget(Command2[3], 0, Qt::AlignLeft);
  v3->addWidget(Frame3);
  v3->addWidget(ImgBackFnt);
  tbsOptions->addTab(t3, "Font and Background");
  tbsOptions->setTabToolTip(kTextTab - 1, "Set Font ");
}

// Tab 4: sounds and place holders.
void FrmOptions::BuildSoundTab() {
  const QSize card = CardSize();
  auto* t4 = new QWidget;
  auto* g4 = new QGridLayout(t4);
  LblImage[1] = new QLabel("Card place holder styles", t4);
  optPlaceHolder[0] = new QRadioButton("Wood", t4);
  optPlaceHolder[1] = new QRadioButton("Metal", t4);
  FilePic[kWoodHolderPicture] = Picture(t4, "FilePic", card);
  FilePic[kMetalHolderPicture] = Picture(t4, "FilePic", card);
  ckIntro = new QCheckBox("No Game Intro Music", t4);
  fraSoundEffects = new QGroupBox("Card Sound Effects", t4);
  auto* fs = new QVBoxLayout(fraSoundEffects);
  const char* const soundCaptions[] = {" Wood", " Metallic", "No card sounds"};
  for (int i = 0; i < 3; ++i) {
    OptSound[i] = new QRadioButton(soundCaptions[i], fraSoundEffects);
    fs->addWidget(OptSound[i]);
  }
  auto* holders = new QGroupBox(t4);
  auto* hl = new QGridLayout(holders);
  hl->addWidget(optPlaceHolder[0], 0, 0);
  hl->addWidget(optPlaceHolder[1], 0, 1);
  hl->addWidget(FilePic[kWoodHolderPicture], 1, 0);
  hl->addWidget(FilePic[kMetalHolderPicture], 1, 1);
  // The room the tab has to spare goes evenly between its parts.
  g4->addWidget(LblImage[1], 0, 0);
  g4->addWidget(holders, 1, 0);
  g4->addItem(new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding), 2, 0);
  g4->addWidget(ckIntro, 3, 0);
  g4->addItem(new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding), 4, 0);
  g4->addWidget(fraSoundEffects, 5, 0);
  g4->addItem(new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding), 6, 0);
  tbsOptions->addTab(t4, "Sounds and Style");
  tbsOptions->setTabToolTip(kSoundTab - 1, "Set card sounds");
}

void FrmOptions::BuildButtons() {
  cmdApply = new QPushButton("&Apply", this);
  cmdCancel = new QPushButton("&Cancel", this);
  cmdOK = new QPushButton("&OK", this);
  // Enter presses OK, or the button that has the focus.
  cmdOK->setDefault(true);
  auto* outer = new QVBoxLayout(this);
  outer->addWidget(tbsOptions);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cmdApply);
  buttons->addWidget(cmdCancel);
  buttons->addWidget(cmdOK);
  outer->addLayout(buttons);
}

void FrmOptions::ConnectHandlers() {
  // Handlers; they also run when the set-up sets a value, as the dialog relies on.
  connect(cmdApply, &QPushButton::clicked, this, [this] { cmdApply_Click(); });
  connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
  connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
  connect(tbsOptions, &QTabWidget::currentChanged, this, [this] { tbsOptions_Click(); });
  connect(cboDeck, &QComboBox::currentIndexChanged, this, [this] { cboDeck_Click(); });
  connect(ckTheme, &QCheckBox::clicked, this, [this](bool ticked) {
    if (ticked) cmdApply->setEnabled(true);
  });
  connect(HScrollBacks, &QScrollBar::valueChanged, this, [this] { HScrollBacks_Change(); });
  picCardBack->installEventFilter(new ClickFilter(this, [this] { HScrollBacks_Change(); }));
  for (int i : kCardSizedPictures)
    FilePic[i]->installEventFilter(new ClickFilter(this, [this, i] { FilePic_Click(i); }));
  for (int i = 1; i <= 3; ++i) connect(Command2[i], &QPushButton::clicked, this, [this, i] { Command2_Click(i); });
  connect(CmdRestore, &QPushButton::clicked, this, [this] { CmdRestore_Click(); });
  for (int i = 0; i < 2; ++i) connect(CmdSz[i], &QPushButton::clicked, this, [this, i] { CmdSz_Click(i); });
  connect(ckIntro, &QCheckBox::clicked, this, [this] { cmdApply->setEnabled(true); });
  for (QRadioButton* o : optPlaceHolder)
    connect(o, &QRadioButton::clicked, this, [this] { cmdApply->setEnabled(true); });
  for (int i = 0; i < 3; ++i)
    connect(OptSound[i], &QRadioButton::toggled, this, [this, i](bool on) {
      if (on) OptSound_Click(i);
    });

  // Every key passes the dialog's own filter first.
  installEventFilter(this);
  for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);
}

void FrmOptions::Form_Load() {
  if (table_.Table().LargeFonts) DisplayCardSize();
  RefreshSamples();
  {
    const QSignalBlocker block(cboDeck);
    cboDeck->addItems(DeckListEntries(Library().GetDecksQuantity()));
  }
  ckTheme->setText("Change Background/Sound Theme\r\nto match card style");
  LblImage[4]->setText("Select the style of cards you would like to use by clicking on the drop down box below:");
  tbsOptions_Click();
  cmdApply->setEnabled(false);
  cmdCancel->setEnabled(true);
  FilePic[kWoodHolderPicture]->setPixmap(QPixmap::fromImage(table_.Pictures().ImgEmpty3));
  FilePic[kMetalHolderPicture]->setPixmap(QPixmap::fromImage(table_.Pictures().ImgEmpty2));
}

FrmOptions::~FrmOptions() { table_.Pictures().ClearSample(); }

table::ClsDLL FrmOptions::Library() { return table::ClsDLL(table_.DeckLibrary(), previewSheet_, table_.Pictures()); }

int FrmOptions::Tab() const { return tbsOptions->currentIndex() + 1; }

void FrmOptions::SetFrameColor(QFrame* frame, std::uint32_t bgr) { SetBack(frame, bgr); }

void FrmOptions::RefreshSamples() {
  QImage surface(ImgBackFnt->size().expandedTo(ImgBack->size()), QImage::Format_RGB32);
  surface.fill(table::ColorFromBgr(settings_.MatColor));
  if (!table_.Backgrounds().TileBackground(surface)) surface.fill(table::ColorFromBgr(settings_.MatColor));
  table_.Pictures().SampleSurface = surface;
  ImgBack->setPixmap(QPixmap::fromImage(surface.copy(QRect(QPoint(0, 0), ImgBack->size()))));
  ImgBackFnt->setPixmap(QPixmap::fromImage(surface));
}

void FrmOptions::ShowSampleText() {
  for (QLabel* l : LblFont) {
    QFont f = l->font();
    f.setPointSizeF(SampleTextSize);
    l->setFont(f);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, table::ColorFromBgr(SampleTextColor));
    l->setPalette(p);
  }
  // The samples grow with their text, so that none of it is cut off.
  const QMargins frame = Frame3->layout()->contentsMargins();
  LblFont[0]->setMinimumHeight(LblFont[0]->heightForWidth(Frame3->width() - frame.left() - frame.right()));
  const int inner = ImgBackFnt->width() - 2 * kSampleMargin;
  const int height = std::max(kSampleLeastHeight, LblFont[1]->heightForWidth(inner) + 2 * kSampleMargin);
  if (height != ImgBackFnt->height()) {
    ImgBackFnt->setFixedHeight(height);
    LblFont[1]->setGeometry(kSampleMargin, kSampleMargin, inner, height - 2 * kSampleMargin);
    RefreshSamples();
  }
}

// Grown with its samples, the dialog still stands whole on the screen.
void FrmOptions::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  const QScreen* where = screen();
  if (!isVisible() || !where) return;
  const QRect room = where->availableGeometry();
  const QRect frame = frameGeometry();
  QPoint to = pos();
  if (frame.bottom() > room.bottom()) to.ry() -= std::min(frame.bottom() - room.bottom(), frame.top() - room.top());
  if (frame.right() > room.right()) to.rx() -= std::min(frame.right() - room.right(), frame.left() - room.left());
  if (to != pos()) move(to);
}

void FrmOptions::tbsOptions_Click() {
  settingUp_ = true;
  settings_ = table_.Settings();
  const play::PlayerSettings& s = settings_;
  switch (Tab()) {
    case kDeckTab: {
      cmdApply->setEnabled(false);
      SelectedDeck = s.CardDeck;
      const QSignalBlocker block(cboDeck);
      cboDeck->setCurrentIndex(std::clamp(s.CardDeck - 1, 0, std::max(0, cboDeck->count() - 1)));
      ShowDeckPreview();
      break;
    }
    case kBackTab: {
      table::ClsDLL library = Library();
      const int backs = library.GetBacksQuantity();
      // Without any library backs the scroll bar has nothing to choose.
      HScrollBacks->setEnabled(backs > 0);
      HScrollBacks->setMaximum(std::max(1, backs));
      const QImage& own = table_.Pictures().FilePic[table::kOwnBackPicture];
      if (s.CardBack != 0) {
        if (s.CardBack <= backs) {
          const QSignalBlocker block(HScrollBacks);
          HScrollBacks->setValue(s.CardBack);
        }
        std::int16_t back = s.CardBack, preview = table::kLargePreview;
        bool small = false;
        library.GetCardBacks(back, this, preview, small);
      } else {
        LargePreviewColor = table_.Table().CardBackColor;
        picCardBack->setPixmap(QPixmap::fromImage(own));
        SetBack(picCardBack, LargePreviewColor);
      }
      SetBack(FilePic[kChosenBackPicture], table_.Table().CardBackColor);
      FilePic[kRestorePicture]->setPixmap(QPixmap::fromImage(own));
      FilePic[kChosenBackPicture]->setPixmap(s.CardBack != 0 ? picCardBack->pixmap() : QPixmap::fromImage(own));
      if (table_.ColorBits() < kLowColorBits) SetBack(FilePic[kRestorePicture], kRestorePictureLowColor);
      RefreshSamples();
      SetFrameColor(Shape1, s.MatColor);
      SetFrameColor(Frame1, s.MatColor);
      SelectedMatColor = s.MatColor;
      LblImage[2]->setText("Deck Back Style:\r\n\r\nClick on the scroll bar below to change the Deck back style.");
      // A stored back the library does not offer is kept until Apply.
      SelectedBack = s.CardBack;
      break;
    }
    case kTextTab:
      RefreshSamples();
      SetFrameColor(Frame3, s.MatColor);
      SelectedMatColor = s.MatColor;
      SampleTextSize = std::clamp<double>(s.TextFontSize, kMinSampleTextSize, kMaxSampleTextSize);
      SampleTextColor = s.FontColor;
      // The texts first: the samples are sized to hold them.
      LblFont[0]->setText("This is how the font size and color appears on a color only mat background.");
      LblFont[1]->setText(
          "To change backgrounds, use the Up/Down arrow keys on your keyboard.\r\n\r\n"
          "To change the Vennick structure, use CTRL+Up/Down arrow keys.");
      ShowSampleText();
      break;
    case kSoundTab: {
      const int sound = !s.SoundOn ? table::kNoCardSounds : std::clamp<int>(s.CardSoundSet, 0, table::kNoCardSounds);
      OptSound[sound]->setChecked(true);
      OptSound_Click(sound);
      ckIntro->setChecked(s.NoIntroMusic);
      optPlaceHolder[s.WoodPlaceHolders ? 0 : 1]->setChecked(true);
      break;
    }
    default: break;
  }
  cmdApply->setEnabled(false);
  settingUp_ = false;
}

void FrmOptions::ShowDeckPreview() {
  std::int16_t deck = SelectedDeck;
  Library().GetCardFaces(deck);
  for (int code : kFacePreviews) {
    const QRect cell = table::FaceCell(static_cast<table::CardCode>(code));
    FilePic[code]->setPixmap(
        previewSheet_.Sheet().rect().contains(cell) ? QPixmap::fromImage(previewSheet_.Sheet().copy(cell)) : QPixmap());
  }
}

void FrmOptions::cboDeck_Click() {
  SelectedDeck = static_cast<std::int16_t>(cboDeck->currentIndex() + 1);
  cmdApply->setEnabled(SelectedDeck != settings_.CardDeck);
  ShowDeckPreview();
}

void FrmOptions::SetFilePic(int index, const QImage& picture) {
  if (index >= 0 && index < static_cast<int>(FilePic.size()) && FilePic[index])
    FilePic[index]->setPixmap(QPixmap::fromImage(picture));
}

void FrmOptions::SetLargePreview(const QImage& picture, std::optional<std::uint32_t> previewValue) {
  picCardBack->setPixmap(QPixmap::fromImage(picture));
  LargePreviewColor = previewValue.value_or(table_.Table().CardBackColor);
  SetBack(picCardBack, LargePreviewColor);
}

void FrmOptions::HScrollBacks_Change() {
  if (!HScrollBacks->isEnabled()) return;
  std::int16_t back = static_cast<std::int16_t>(HScrollBacks->value()), preview = table::kLargePreview;
  bool small = false;
  Library().GetCardBacks(back, this, preview, small);
  SelectedBack = static_cast<std::int16_t>(HScrollBacks->value());
  cmdApply->setEnabled(true);
}

void FrmOptions::FilePic_Click(int index) {
  cmdApply->setEnabled(true);
  if (index != 0) {
    cmdApply->setEnabled(false);
    return;
  }
  const play::PlayerSettings& s = settings_;
  SetBack(FilePic[kChosenBackPicture], s.CardDeck == kCorkThemeDeck ? kBackColorGrey : kBackColorBeige);
  SelectedBack = table::kOwnBack;
  SetFrameColor(Frame1, kDefaultMatColor);
  // When the mat already has the default colour, a colour chosen in the
  // dialog meanwhile is kept.
  if (s.MatColor != kDefaultMatColor) SelectedMatColor = kDefaultMatColor;
  SampleTextSize = kRestoreSampleTextSize;
  SampleTextColor = 0;
  ShowSampleText();
  DisplayCardSize();
  FilePic[kChosenBackPicture]->setPixmap(FilePic[kRestorePicture]->pixmap());
}

void FrmOptions::DisplayCardSize() {
  const bool large = table_.Table().LargeFonts;
  const QSize size =
      large ? QSize(platform::TwipsToPixels(table::SmallCardWidthTwips),
                    platform::TwipsToPixels(table::SmallCardHeightTwips))
            : QSize(platform::TwipsToPixels(table::CardWidthTwips), platform::TwipsToPixels(table::CardHeightTwips));
  picCardBack->setFixedSize(size);
  for (int i : kCardSizedPictures) FilePic[i]->setFixedSize(size);
}

void FrmOptions::Command2_Click(int index) {
  const play::PlayerSettings& s = settings_;
  const auto chosen = table_.Ui().ChooseColor(index == 2 ? s.FontColor : s.MatColor);
  if (!chosen) return;
  cmdApply->setEnabled(true);
  const std::uint32_t color = *chosen & 0xFFFFFF;
  if (index == 1) {
    SelectedMatColor = color;
    SetFrameColor(Frame1, color);
    SetFrameColor(Shape1, color);
  } else if (index == 2) {
    SampleTextColor = color;
    ShowSampleText();
  } else if (index == 3) {
    SelectedMatColor = color;
    SetFrameColor(Frame3, color);
  }
}

void FrmOptions::CmdRestore_Click() {
  SampleTextSize = play::DefaultTextSize(table_.Table().LargeFonts);
  SampleTextColor = 0;
  ShowSampleText();
  SelectedMatColor = kDefaultMatColor;
  if (Tab() == kTextTab) SetFrameColor(Frame3, kDefaultMatColor);
  if (Tab() == kBackTab) {
    SetFrameColor(Frame1, kDefaultMatColor);
    SetFrameColor(Shape1, kDefaultMatColor);
  }
  cmdApply->setEnabled(true);
}

void FrmOptions::CmdSz_Click(int index) {
  cmdApply->setEnabled(true);
  SampleTextSize = std::clamp(SampleTextSize + (index == 0 ? 1 : -1), kMinSampleTextSize, kMaxSampleTextSize);
  ShowSampleText();
}

void FrmOptions::OptSound_Click(int index) {
  SelectedSoundSet = static_cast<std::int16_t>(index);
  if (!settingUp_ && index != settings_.CardSoundSet) cmdApply->setEnabled(true);
}

void FrmOptions::ApplyTab1(play::PreferencesChoice& choice) {
  play::PlayerSettings& s = choice.settings;
  s.CardDeck = SelectedDeck;
  if (table::TableauCards* cards = table_.TableauCards()) cards->UnloadTableauCardsWindow();
  play::TableBackgrounds& backgrounds = table_.Backgrounds();
  if (!ckTheme->isChecked()) return;
  // The theme's structure and background are the table's at once, as the
  // keys make them; the rest is the choice.
  const DeckTheme theme = ThemeOf(s.CardDeck);
  backgrounds.NextStructure(theme.structure);
  s.CardBack = theme.back;
  s.WoodPlaceHolders = theme.woodPlaceHolders;
  s.CardSoundSet = theme.cardSoundSet;
  s.FontColor = 0;
  choice.refreshPlaceHolders = true;
  const QString file = QString::fromLatin1(theme.background);
  for (int i = 1; i <= backgrounds.BackgroundCount(); ++i) {
    if (backgrounds.BackgroundList(i).endsWith(file)) {
      backgrounds.SetBackgroundIndex(i - 1);
      backgrounds.NextBackground(platform::kVkDown);
      break;
    }
  }
}

void FrmOptions::ApplyTab2(play::PreferencesChoice& choice) {
  play::PlayerSettings& s = choice.settings;
  s.CardBack = SelectedBack;
  if (s.MatColor != SelectedMatColor) s.MatColor = SelectedMatColor;
  std::uint32_t backColor = LargePreviewColor;
  // The first library back stands on a colour that suits the deck.
  if (s.CardBack == table::kFirstLibraryBack && (s.CardDeck == table::kBuiltInDeck || s.CardDeck == kMarbleThemeDeck))
    backColor = kBackColorBeige;
  else if (s.CardBack == table::kFirstLibraryBack && s.CardDeck == kCorkThemeDeck)
    backColor = kBackColorGrey;
  else
    SetBack(FilePic[kChosenBackPicture], backColor);
  choice.CardBackColor = backColor;
  choice.reloadBacks = true;
  if (s.CardBack != table::kOwnBack) FilePic[kChosenBackPicture]->setPixmap(picCardBack->pixmap());
}

void FrmOptions::cmdApply_Click() {
  play::PreferencesChoice choice;
  choice.settings = settings_;
  switch (Tab()) {
    case kDeckTab: ApplyTab1(choice); break;
    case kBackTab: ApplyTab2(choice); break;
    case kTextTab:
      if (choice.settings.MatColor != SelectedMatColor) choice.settings.MatColor = SelectedMatColor;
      choice.settings.FontColor = SampleTextColor;
      choice.settings.TextFontSize = vb::CInt(SampleTextSize);
      break;
    case kSoundTab:
      choice.settings.CardSoundSet = SelectedSoundSet;
      if (SelectedSoundSet != table::kNoCardSounds) choice.settings.SoundOn = true;
      choice.settings.NoIntroMusic = ckIntro->isChecked();
      choice.settings.WoodPlaceHolders = optPlaceHolder[0]->isChecked();
      choice.refreshPlaceHolders = true;
      break;
    default: break;
  }
  choice.redraw = cmdApply->isEnabled();
  table_.ApplyPreferences(choice);
  settings_ = table_.Settings();
  if (choice.redraw) SelectedDeck = settings_.CardDeck;
  // The samples show the table's background, which may have changed.
  RefreshSamples();
  cmdApply->setEnabled(false);
}

void FrmOptions::cmdOK_Click() {
  cmdApply_Click();
  ImgBack->clear();
  ImgBackFnt->clear();
  Unload();
}

void FrmOptions::cmdCancel_Click() {
  DialogCancelled = true;
  Unload();
}

void FrmOptions::Unload() {
  table_.Pictures().ClearSample();
  hide();
}

void FrmOptions::closeEvent(QCloseEvent* event) {
  table_.Pictures().ClearSample();
  QDialog::closeEvent(event);
}

bool FrmOptions::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  const platform::VirtualKey vk = platform::TranslateKey(*key);
  const int code = vk.KeyCode;
  const int shift = vk.Shift;
  if (code == platform::kVkTab && shift == platform::kCtrlMask) {
    tbsOptions->setCurrentIndex((tbsOptions->currentIndex() + 1) % tbsOptions->count());
    return true;
  }
  // Esc is the dialog's Cancel, as in every dialog of the desktop.
  if (code == platform::kVkEscape && shift == 0) {
    cmdCancel->click();
    return true;
  }
  // Moving between and within the controls stays the controls' own, and so
  // does Enter, which the dialog gives to its default button.
  const bool navigation = (code == platform::kVkTab && (shift & ~platform::kShiftMask) == 0) ||
                          ((code == platform::kVkSpace || code == platform::kVkReturn || code == platform::kVkLeft ||
                            code == platform::kVkRight) &&
                           shift == 0);
  if (code == platform::kVkNone || navigation) return false;
  // Every other key is the shortcuts' and goes no further, so that it is
  // handled once; the samples follow a change of background.
  keys_.KeyShortcut(code, shift);
  settings_ = table_.Settings();
  RefreshSamples();
  return true;
}

void PreferencesOwner::ShowPreferences() {
  if (open_) return;
  open_ = true;
  DialogCancelled = false;
  QPointer<FrmOptions> dialog = new FrmOptions(table_, keys_, mainWindow_);
  dialog->setWindowModality(Qt::ApplicationModal);
  dialog->show();
  // The modal dialog is a wait: a close of the program meanwhile sets
  // Exiting, which ends the wait; the dialog closes without applying and
  // the command that opened it completes the close.
  table_.Wait().WaitUntil([&dialog] { return dialog.isNull() || !dialog->isVisible(); });
  if (dialog) {
    DialogCancelled = dialog->DialogCancelled;
    dialog->close();
    dialog->deleteLater();
  }
  open_ = false;
}

}  // namespace dialogs
