#include "table/card_table.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <algorithm>
#include <cmath>
#include <functional>

#include "table/table_text.h"
#include "table/table_view.h"

namespace table {

QColor ColorFromBgr(std::uint32_t bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

namespace {

constexpr QSize kBlankImageSize{85, 20};  // an image control whose picture is missing
constexpr QColor kGreenFrame{0, 192, 0};
constexpr QColor kRedFrame{192, 0, 0};
constexpr QSize kHandSize{29, 55};                  // picHand(0..1)
constexpr QColor kMessagePanelBack{255, 252, 224};  // the message line as a panel
constexpr QColor kMessagePanelText{0, 0, 0};
constexpr int kMessagePanelMargin = 4;

// The texts around the piles were laid out for narrow sans metrics; a wider
// face breaks them in the middle of their phrases. Where these faces are
// missing, the desktop's sans font stands in.
const QStringList kTableFontFamilies{QStringLiteral("Liberation Sans"), QStringLiteral("Arial")};
const QStringList kNarrowFontFamilies{QStringLiteral("Liberation Sans Narrow"), QStringLiteral("Arial Narrow")};
constexpr int kNarrowStretch = 82;  // the narrow face's width, drawn from the regular one

QFont TableFont(QFont base) {
  base.setFamilies(kTableFontFamilies);
  return base;
}

// The message line is the narrowest place for the longest texts (the
// score, the STOP rules): it takes the narrow face, or the regular one
// drawn as narrow.
QFont NarrowFont(QFont base) {
  for (const QString& family : kNarrowFontFamilies) {
    if (QFontDatabase::hasFamily(family)) {
      base.setFamilies({family});
      return base;
    }
  }
  base.setStretch(kNarrowStretch);
  return base;
}

// The pause cover: a click anywhere on it resumes the game.
class PauseFrame : public QGroupBox {
 public:
  using QGroupBox::QGroupBox;
  std::function<void()> onClick;

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    QGroupBox::mousePressEvent(event);
    if (onClick) onClick();
  }
};

}  // namespace

CardTable::CardTable(const CardTableServices& services, QWidget* parent)
    : QWidget(parent),
      frmPic(services.settings, services.popupOptions),
      pictures(LoadTablePictures(services.picturesFolder)),
      piles_(services.piles),
      state_(services.state),
      settings_(services.settings),
      wait_(services.wait),
      ui_(services.ui),
      sounds_(services.sounds),
      neighbours_(services.neighbours),
      tableauCards_(services.tableauCards),
      pictures_(services.backgroundPainting),
      dropRules_(services.dropRules) {
  frmStdSm.SetBuiltIn([folder = services.picturesFolder] { return LoadFaceSheet(folder); });
  frmPic.FilePic[kOwnBackPicture] = pictures.back;
  frmPic.FilePic[kCurrentBackPicture] = pictures.back;
  frmPic.ImgEmpty2 = pictures.emptyMetal;
  frmPic.ImgEmpty3 = pictures.emptyWood;
  EmptyPic = &frmPic.ImgEmpty3;
  formBackColor_ = ColorFromBgr(settings_.MatColor);
  setFont(TableFont(font()));

  // The lower layer comes first so that every later child stands above it.
  labelLayer_ = new QWidget(this);
  labelLayer_->setObjectName("labelLayer");
  labelLayer_->setAttribute(Qt::WA_TransparentForMouseEvents);
  labelLayer_->setGeometry(rect());

  for (int i = 0; i <= 6; ++i) {
    lblCardFrame[i] = NewLabel("lblCardFrame");
    lblCardFrame[i]->resize(kFrameSize);
  }
  SetFrameBackStyle(0, 1);
  SetFrameBackStyle(2, 1);
  SetFrameBackStyle(3, 1);
  lblCardFrame[0]->hide();

  const auto count = [this](const char* name, Qt::Alignment align) {
    QLabel* l = NewText(name);
    l->resize(kCountLabelSize);
    l->setAlignment(align | Qt::AlignVCenter);
    return l;
  };
  lblOHandCnt = count("lblOHandCnt", Qt::AlignLeft);
  lblOResCnt = count("lblOResCnt", Qt::AlignRight);
  lblOWasteCnt = count("lblOWasteCnt", Qt::AlignLeft);
  lblPHandCnt = count("lblPHandCnt", Qt::AlignLeft);
  lblPResCnt = count("lblPResCnt", Qt::AlignLeft);
  lblPWasteCnt = count("lblPWasteCnt", Qt::AlignLeft);
  for (int i = 1; i <= kSharedPiles; ++i) {
    lblTabCnt[i] = NewText("lblTabCnt");
    lblTabCnt[i]->resize(kTabCountSize);
    lblTabCnt[i]->setAlignment(i <= 4 ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignVCenter);
  }

  imgOStock = NewImage("imgOStock", pictures.plateStock);
  imgOReserve = NewImage("imgOReserve", pictures.plateReserve);
  imgOWaste = NewImage("imgOWaste", pictures.plateWaste);
  imgPStock = NewImage("imgPStock", pictures.plateStock);
  imgPReserve = NewImage("imgPReserve", pictures.plateReserve);
  imgPWaste = NewImage("imgPWaste", pictures.plateWaste);
  ImgTurn1 = NewImage("ImgTurn1", pictures.turnPlayer);
  ImgTurn2 = NewImage("ImgTurn2", pictures.turnOpponent);
  ImgTurn1->hide();
  ImgTurn2->hide();
  imglblTableauL = NewImage("imglblTableauL", pictures.captionTableauLeft);
  imglblTableauR = NewImage("imglblTableauR", pictures.captionTableauRight);
  imglblCenters = NewImage("imglblCenters", pictures.captionCenters);
  imgIcon = NewImage("imgIcon", pictures.icon);

  lblMessage = NewText("lblMessage");
  lblMessage->setFont(NarrowFont(lblMessage->font()));
  lblMessage->setWordWrap(true);
  lblMessage->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  lblTurn = NewText("lblTurn");
  lblTurn->resize(200, kTurnLineHeight);
  lblTurn->setWordWrap(true);
  lblTurn->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  // A long instruction wraps, or takes a smaller size, rather than run off
  // the window's edge.
  StatusMsg = NewText("StatusMsg");
  StatusMsg->setWordWrap(true);
  StatusMsg->resize(kStatusLineSize);
  lblWAIT = NewLabel("lblWAIT");
  lblWAIT->setText(kWaitText);
  lblWAIT->resize(kWaitSize);
  lblWAIT->hide();

  // The upper layer: picture boxes, buttons and frames.
  picPlayer[1] = NewPicture(PileControl::picPlayer, 1, "picPlayer");
  picOpponent[1] = NewPicture(PileControl::picOpponent, 1, "picOpponent");
  picCenter[1] = NewPicture(PileControl::picCenter, 1, "picCenter");
  picTableau[1] = NewPicture(PileControl::picTableau, 1, "picTableau");
  picSmoke[0] = NewPicture(PileControl::None, 0, "picSmoke");
  picSmoke[0]->hide();

  cmdDeal = new QPushButton("Deal", this);
  cmdDeal->setObjectName("cmdDeal");
  cmdDeal->resize(kDealButtonSize);
  cmdDone = new QPushButton("End Turn", this);
  cmdDone->setObjectName("cmdDone");
  cmdDone->resize(kDoneButtonSize);
  cmdDone->hide();

  picMenu = new PictureBox(PileControl::None, 0, this);
  picMenu->setObjectName("picMenu");
  picMenu->resize(300, 18);
  picPanel = new PictureBox(PileControl::None, 0, this);
  picPanel->setObjectName("picPanel");
  picPanel->hide();
  picLogo = new PictureBox(PileControl::None, 0, this);
  picLogo->setObjectName("picLogo");
  picLogo->hide();
  for (int i = 0; i < 2; ++i) {
    picHand[i] = new PictureBox(PileControl::None, i, this);
    picHand[i]->setObjectName("picHand");
    picHand[i]->resize(kHandSize);
    // A hand points at a pile; it never takes the click meant for one.
    picHand[i]->setAttribute(Qt::WA_TransparentForMouseEvents);
    picHand[i]->hide();
  }

  auto* pause = new PauseFrame("Click to Resume Game", this);
  fraPause = pause;
  pause->onClick = [this] { emit pauseFrameClicked(); };
  fraPause->setObjectName("fraPause");
  fraPause->setAutoFillBackground(true);
  lblPause = new QLabel("- PAUSED -", fraPause);
  lblPause->setObjectName("lblPause");
  QFont pauseFont = lblPause->font();
  pauseFont.setPointSize(24);
  pauseFont.setBold(true);
  lblPause->setFont(pauseFont);
  lblPause->adjustSize();
  fraPause->hide();
}

CardTable::~CardTable() = default;

PictureBox* CardTable::NewPicture(PileControl array, int index, const QString& name) {
  auto* box = new PictureBox(array, index, this);
  box->setObjectName(name);
  box->resize(CardWidth, CardHeight);
  return box;
}

QLabel* CardTable::NewLabel(const QString& name) {
  auto* label = new QLabel(labelLayer_);
  label->setObjectName(name);
  return label;
}

QLabel* CardTable::NewText(const QString& name) {
  auto* text = new TableText(labelLayer_);
  text->setObjectName(name);
  return text;
}

QLabel* CardTable::NewImage(const QString& name, const QImage& picture) {
  QLabel* image = NewLabel(name);
  if (picture.isNull()) {
    image->resize(kBlankImageSize);
  } else {
    image->setPixmap(QPixmap::fromImage(picture));
    image->resize(picture.size());
  }
  return image;
}

void CardTable::SetFrameBackStyle(int index, int backStyle) {
  if (index < 0 || index > 6) return;
  QLabel* frame = lblCardFrame[index];
  const QColor color = index == 0 ? kGreenFrame : kRedFrame;
  frame->setAutoFillBackground(backStyle == 1);
  QPalette pal = frame->palette();
  pal.setColor(QPalette::Window, color);
  frame->setPalette(pal);
  frame->update();
}

void CardTable::SetFixedSizes() {
  if (fixedSizesDone_) return;
  fixedSizesDone_ = true;
  cmdDeal->resize(kDealButtonSize);
  cmdDone->resize(kDoneButtonSize);
  if (settings_.LargeFonts) {
    for (PictureBox* box : {picPlayer[1], picOpponent[1], picCenter[1], picTableau[1], picSmoke[0]})
      box->resize(CardWidth, CardHeight);
    for (QLabel* frame : lblCardFrame) frame->resize(kFrameSizeLargeFonts);
  }
  const auto create = [this](std::array<PictureBox*, 4>& arr, PileControl c, const char* name, int i) {
    arr[i] = NewPicture(c, i, name);
    arr[i]->show();
  };
  for (int i = 2; i <= 3; ++i) {
    create(picPlayer, PileControl::picPlayer, "picPlayer", i);
    create(picOpponent, PileControl::picOpponent, "picOpponent", i);
  }
  for (int i = 2; i <= kSharedPiles; ++i) {
    picCenter[i] = NewPicture(PileControl::picCenter, i, "picCenter");
    picCenter[i]->show();
    picTableau[i] = NewPicture(PileControl::picTableau, i, "picTableau");
    picTableau[i]->show();
  }
  // The cover and the controls that float over the piles stay in front.
  for (QWidget* w : {static_cast<QWidget*>(cmdDeal), static_cast<QWidget*>(cmdDone), static_cast<QWidget*>(picMenu),
                     static_cast<QWidget*>(picPanel), static_cast<QWidget*>(picLogo), static_cast<QWidget*>(fraPause),
                     static_cast<QWidget*>(picHand[0]), static_cast<QWidget*>(picHand[1])})
    w->raise();
}

void CardTable::SetTableOffsets(int offsetX, std::int32_t offsetY) {
  tableOffsetX_ = offsetX;
  tableOffsetY_ = offsetY;
}

PictureBox* CardTable::Pile(PileControl pile, int index) const {
  const auto pick = [index](const auto& arr) -> PictureBox* {
    return index >= 1 && index < static_cast<int>(arr.size()) ? arr[index] : nullptr;
  };
  switch (pile) {
    case PileControl::picPlayer: return pick(picPlayer);
    case PileControl::picOpponent: return pick(picOpponent);
    case PileControl::picCenter: return pick(picCenter);
    case PileControl::picTableau: return pick(picTableau);
    case PileControl::None: break;
  }
  return nullptr;
}

void CardTable::ArrangePiles() {
  places_ = ArrangePilePlaces(tableOffsetX_, tableOffsetY_);
  const auto place = [](auto& arr, const auto& at) {
    for (std::size_t i = 1; i < arr.size(); ++i)
      if (arr[i]) arr[i]->move(at[i]);
  };
  place(picPlayer, places_.picPlayer);
  place(picOpponent, places_.picOpponent);
  place(picCenter, places_.picCenter);
  place(picTableau, places_.picTableau);
  for (int i = 1; i <= 6; ++i) lblCardFrame[i]->move(places_.lblCardFrame[i]);
  cmdDone->move(places_.cmdDone);
  picSmoke[0]->hide();
}

// Two lines of the turn line's text in the player's text size.
int CardTable::TurnLineHeight() const {
  QFont f = lblTurn->font();
  f.setPointSize(std::max(1, static_cast<int>(settings_.TextFontSize)));
  return static_cast<int>(std::ceil(2 * QFontMetricsF(f).lineSpacing()));
}

ControlSizes CardTable::CurrentControlSizes() const {
  ControlSizes sizes;
  sizes.frame = lblCardFrame[1]->size();
  sizes.plateStock = imgOStock->size();
  sizes.plateReserve = imgOReserve->size();
  sizes.plateWaste = imgOWaste->size();
  sizes.dealButton = cmdDeal->size();
  sizes.waitHeight = lblWAIT->height();
  sizes.pauseLabelWidth = lblPause->width();
  sizes.pauseLabelHeight = lblPause->height();
  for (int i = 1; i <= kSharedPiles; ++i) sizes.tabCountWidth[i] = lblTabCnt[i]->width();
  sizes.menuHeight = picMenu->height();
  sizes.turnLineHeight = TurnLineHeight();
  sizes.clientWidth = width();
  sizes.turnMarker = ImgTurn1->size();
  return sizes;
}

ControlPlaces CardTable::CurrentControlPlaces() const {
  return ArrangeControlPlaces(places_, CurrentControlSizes(),
                              {tableOffsetX_, settings_.LargeFonts, settings_.ScreenWidth, linesBelowPiles_});
}

void CardTable::SetLinesBelowPiles(bool below) {
  if (below == linesBelowPiles_) return;
  linesBelowPiles_ = below;
  if (!controlsArranged_) return;
  const ControlPlaces c = CurrentControlPlaces();
  ImgTurn1->move(c.ImgTurn1);
  ImgTurn2->move(c.ImgTurn2);
  lblWAIT->move(c.lblWAIT);
  PlaceTurnAndStatusLines(c);
}

void CardTable::PlaceTurnAndStatusLines(const ControlPlaces& c) {
  lblTurn->setGeometry(QRect(c.lblTurn, QSize(c.lblTurnWidth, c.lblTurnHeight)));
  StatusMsg->move(c.StatusMsg);
  StatusMsg->resize(std::max(0, width() - c.StatusMsg.x() - c.lblMessage.x()), StatusMsg->height());
}

void CardTable::ArrangeControls() {
  const ControlPlaces c = CurrentControlPlaces();
  controlsArranged_ = true;

  ImgTurn1->move(c.ImgTurn1);
  ImgTurn2->move(c.ImgTurn2);
  SetFrameBackStyle(0, 1);
  SetFrameBackStyle(2, 0);
  SetFrameBackStyle(3, 0);
  imgOWaste->move(c.imgOWaste);
  imgOReserve->move(c.imgOReserve);
  imgOStock->move(c.imgOStock);
  imgPReserve->move(c.imgPReserve);
  imgPStock->move(c.imgPStock);
  imgPWaste->move(c.imgPWaste);
  lblOHandCnt->move(c.lblOHandCnt);
  lblOWasteCnt->move(c.lblOWasteCnt);
  lblOResCnt->move(c.lblOResCnt);
  lblPHandCnt->move(c.lblPHandCnt);
  lblPWasteCnt->move(c.lblPWasteCnt);
  lblPResCnt->move(c.lblPResCnt);
  cmdDeal->move(c.cmdDeal);
  lblMessage->setGeometry(c.lblMessage);
  messageLineSize_ = c.lblMessage.size();
  FitMessagePanel();
  QFont statusFont = StatusMsg->font();
  statusFont.setPointSize(c.StatusMsgFontSize);
  StatusMsg->setFont(statusFont);
  PlaceTurnAndStatusLines(c);
  for (int i = 1; i <= kSharedPiles; ++i) {
    QFont f = lblTabCnt[i]->font();
    f.setBold(true);
    f.setPointSize(std::max(1, settings_.TextFontSize + 1));
    lblTabCnt[i]->setFont(f);
    lblTabCnt[i]->move(c.lblTabCnt[i]);
  }
  imglblTableauL->move(c.imglblTableauL);
  imglblTableauR->move(c.imglblTableauR);
  imglblCenters->move(c.imglblCenters);
  lblWAIT->move(c.lblWAIT);
  fraPause->setGeometry(c.fraPause);
  lblPause->move(c.lblPause);
  picMenu->move(c.picMenu);
  imgIcon->move(c.imgIcon);
  LogoLeft = c.LogoLeft;
  LogoTop = c.LogoTop;
  picLogo->move(LogoLeft, LogoTop);
}

void CardTable::SetLabelColors() {
  QLabel* counts[] = {lblPResCnt, lblOResCnt, lblPHandCnt, lblOHandCnt, lblPWasteCnt, lblOWasteCnt};
  const QColor color = ColorFromBgr(settings_.FontColor);
  const auto style = [&](QLabel* label, int points) {
    QFont f = label->font();
    f.setPointSize(std::max(1, points));
    label->setFont(f);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, color);
    label->setPalette(pal);
  };
  for (QLabel* l : counts) style(l, settings_.TextFontSize - 2);
  style(lblMessage, messagePanelPoints_ > 0 ? messagePanelPoints_ : settings_.TextFontSize);
  if (messagePanelPoints_ > 0) {
    QPalette pal = lblMessage->palette();
    pal.setColor(QPalette::WindowText, kMessagePanelText);
    pal.setColor(QPalette::Window, kMessagePanelBack);
    lblMessage->setPalette(pal);
  }
  style(lblTurn, settings_.TextFontSize);
  // The turn line keeps room for two lines of the size now in force.
  if (controlsArranged_) PlaceTurnAndStatusLines(CurrentControlPlaces());
}

void CardTable::SetMessagePanel(bool panel, int points) {
  if (!panel && messagePanelPoints_ > 0 && messageLineSize_.isValid()) lblMessage->resize(messageLineSize_);
  if (panel && messagePanelPoints_ == 0) messageLineSize_ = lblMessage->size();
  messagePanelPoints_ = panel ? std::max(1, points) : 0;
  lblMessage->setFrameShape(panel ? QFrame::Box : QFrame::NoFrame);
  lblMessage->setAutoFillBackground(panel);
  lblMessage->setMargin(panel ? kMessagePanelMargin : 0);
  lblMessage->setWordWrap(!panel);
  SetLabelColors();
  FitMessagePanel();
  lblMessage->update();
}

// The panel's lines are kept whole: it grows to its text, never shrinks
// below the message line.
void CardTable::FitMessagePanel() {
  if (messagePanelPoints_ == 0) return;
  const QSize hint = lblMessage->sizeHint();
  lblMessage->resize(std::max(messageLineSize_.width(), hint.width()),
                     std::max(messageLineSize_.height(), hint.height()));
}

void CardTable::SetEmptyPilePictures() {
  if (settings_.WoodPlaceHolders) {
    EmptyPic = &frmPic.ImgEmpty3;
    picPanel->SetPicture(pictures.panelWood);
  } else {
    EmptyPic = &frmPic.ImgEmpty2;
    picPanel->SetPicture(pictures.panelMetal);
  }
}

void CardTable::BringToFront(QWidget* control) {
  if (control) control->raise();
}

void CardTable::SendToBack(QWidget* control) {
  if (!control || control == labelLayer_) return;
  if (control->parentWidget() != this) {
    control->lower();
    return;
  }
  // The bottom of the upper layer lies just above the label layer. The layer
  // covers the whole table, so it moves only when it is not the lowest (a
  // move repaints all of it); the control goes beneath the widget above it.
  labelLayer_->lower();
  const QObjectList& order = children();
  for (qsizetype i = order.indexOf(labelLayer_) + 1; i < order.size(); ++i) {
    auto* w = qobject_cast<QWidget*>(order[i]);
    if (w && w != control && !w->isWindow()) {
      control->stackUnder(w);
      return;
    }
  }
}

void CardTable::SetFormBackColor(std::uint32_t bgr) {
  formBackColor_ = ColorFromBgr(bgr);
  update();
}

void CardTable::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), formBackColor_);
  if (!formPicture_.isNull()) p.drawImage(0, 0, formPicture_);
}

void CardTable::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  labelLayer_->setGeometry(rect());
}

}  // namespace table
