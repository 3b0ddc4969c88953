#include "dialogs/frm_tip.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <vector>

#include "dialogs/tutorial_steps.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "platform/wait.h"
#include "play/state/top_level_command.h"
#include "play/window/frm_play.h"
#include "play/window/menu_commands.h"
#include "table/busy_guard.h"
#include "table/game_state.h"
#include "table/table_geometry.h"
#include "table/table_text.h"

namespace dialogs {

namespace {

constexpr double kStepPause = 0.5;
constexpr int kTipFontSize = 10;
constexpr int kRulesFontSize = 10;
constexpr int kRulesFontSizeLargeFonts = 8;
constexpr int kHandAboveDealGap = 10;  // pixels between the hand and the Deal button
constexpr int kReserveHandShift = 40;  // the up hand stands this far into the opponent's Reserve
constexpr int kStepDeal = 2;
constexpr int kStepRules = 3;
constexpr char kIconPicture[] = "Data/pictures/tutorial-icon.png";
constexpr char kNextPicture[] = "Data/pictures/tutorial-next.png";
// Qt's request for an X11 window type, read from the native window each time
// its flags are set; 0x8 asks for a toolbar.
constexpr char kWindowTypeProperty[] = "_q_xcb_wm_window_type";
constexpr int kToolbarWindowType = 0x8;

// Design places, twips.
constexpr QRect kPicture1{0, 0, 4080, 3105};
constexpr QRect kLabel1{660, 150, 3300, 300};
constexpr QRect kTipText{180, 540, 3360, 2385};
constexpr QRect kNextTip{2400, 3180, 1470, 660};
constexpr QRect kOK{105, 3210, 1000, 630};
// On a narrow screen.
constexpr int kNarrowPicture1Left = 10, kNarrowPicture1Width = 2990;
constexpr int kNarrowTipTextLeft = 25, kNarrowTipTextWidth = 2780;
constexpr int kNarrowNextLeft = 1400;

table::PileControl ControlOf(TipPile pile) {
  switch (pile) {
    case TipPile::Player: return table::PileControl::picPlayer;
    case TipPile::Tableau: return table::PileControl::picTableau;
    case TipPile::Opponent: return table::PileControl::picOpponent;
  }
  return table::PileControl::None;
}

}  // namespace

QString RulesPanelText() {
  static const char* const kLines[] = {"Legal Moves:",
                                       "",
                                       "  Center Foundation:",
                                       "  Built in SUIT and",
                                       "  ASCENDING (A234..)",
                                       "",
                                       "  Tableau Piles:",
                                       "  Built in Alternating Colors",
                                       "  and DESCENDING",
                                       "",
                                       "  To opponent's Reserve",
                                       "  and Waste:",
                                       "  Built in SUIT",
                                       "  and ASCENDING",
                                       "  or DESCENDING"};
  QStringList lines;
  for (const char* l : kLines) lines << QString::fromLatin1(l);
  return lines.join(QStringLiteral("\r\n"));
}

FrmTip::FrmTip(const play::TutorialServices& services, play::HandPictures* hands, QWidget* parent)
    : QWidget(parent, Qt::Tool), s_(services), hands_(hands) {
  setObjectName("frmTip");
  setWindowTitle(QString::fromLatin1(kTutorialCaption));
  // A tool window that follows the table; it never keeps the program alive.
  setAttribute(Qt::WA_QuitOnClose, false);

  const QImage icon(s_.AppPath + QString::fromLatin1(kIconPicture));
  if (!icon.isNull()) setWindowIcon(QIcon(QPixmap::fromImage(icon)));

  Picture1 = new QLabel(this);
  Picture1->setObjectName("Picture1");
  Picture1->setAutoFillBackground(true);
  Picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Picture1->setMargin(4);
  QPalette backdrop = Picture1->palette();
  backdrop.setColor(QPalette::Window, QColor(0, 88, 40));
  Picture1->setPalette(backdrop);
  if (!icon.isNull()) Picture1->setPixmap(QPixmap::fromImage(icon));

  Label1 = new QLabel(QString::fromLatin1(kTutorialLabel), this);
  Label1->setObjectName("Label1");
  QPalette light = Label1->palette();
  light.setColor(QPalette::WindowText, QColor(255, 244, 200));
  Label1->setPalette(light);
  QFont bold = Label1->font();
  bold.setBold(true);
  Label1->setFont(bold);

  lblTipText = new QLabel(this);
  lblTipText->setObjectName("lblTipText");
  lblTipText->setWordWrap(true);
  lblTipText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  lblTipText->setAutoFillBackground(true);
  lblTipText->setMargin(6);
  QPalette white = lblTipText->palette();
  white.setColor(QPalette::Window, Qt::white);
  white.setColor(QPalette::WindowText, Qt::black);
  lblTipText->setPalette(white);

  cmdNextTip[0] = new QPushButton(this);
  cmdNextTip[0]->setObjectName("cmdNextTip");
  cmdNextTip[0]->setToolTip(QStringLiteral("Next"));
  const QImage next(s_.AppPath + QString::fromLatin1(kNextPicture));
  if (next.isNull()) {
    cmdNextTip[0]->setText(QStringLiteral("Next"));
  } else {
    cmdNextTip[0]->setIcon(QIcon(QPixmap::fromImage(next)));
    cmdNextTip[0]->setIconSize(next.size());
    cmdNextTip[0]->setFlat(true);
  }
  connect(cmdNextTip[0], &QPushButton::clicked, this, [this] { cmdNextTip_Click(0); });

  cmdOK = new QPushButton(QString::fromLatin1(kCloseTutorialCaption), this);
  cmdOK->setObjectName("cmdOK");
  QFont small = cmdOK->font();
  small.setPointSize(7);
  cmdOK->setFont(small);
  connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });

  picture1Twips_ = kPicture1;
  label1Twips_ = kLabel1;
  tipTextTwips_ = kTipText;
  nextTwips_ = kNextTip;
  okTwips_ = kOK;
  resize(Px(kTipDesignWidth), Px(kTipDesignHeight));
  Layout();
}

FrmTip::~FrmTip() = default;

int FrmTip::Px(int twips) const { return twips / platform::TwipsPerPixelOrNormal(s_.TwipsPerPixel); }

void FrmTip::Layout() {
  const auto place = [this](QWidget* w, const QRect& t) {
    w->setGeometry(Px(t.x()), Px(t.y()), Px(t.width()), Px(t.height()));
  };
  place(Picture1, picture1Twips_);
  place(Label1, label1Twips_);
  place(lblTipText, tipTextTwips_);
  place(cmdNextTip[0], nextTwips_);
  place(cmdOK, okTwips_);
}

void FrmTip::ResizeTwips(int width, int height) {
  resize(Px(width), Px(height));
  Form_Resize();
}

// A closed window lets itself go only once none of its handlers is still
// running: a pause inside one runs events, and the close may come then.
class FrmTip::HandlerScope {
 public:
  explicit HandlerScope(FrmTip& tip) : tip_(tip) { ++tip_.handlerDepth_; }
  ~HandlerScope() {
    if (--tip_.handlerDepth_ == 0 && tip_.closed_) tip_.deleteLater();
  }
  HandlerScope(const HandlerScope&) = delete;
  HandlerScope& operator=(const HandlerScope&) = delete;

 private:
  FrmTip& tip_;
};

bool FrmTip::Form_Load() {
  HandlerScope handler(*this);
  s_.state.TutorialMode = true;
  // The tutorial lays out its own game: whatever is on the table goes now,
  // so that nothing is played on it while the first step shows.
  if (s_.guard.MayReplaceTable()) s_.frmPlay.ClearTable();
  s_.frmPlay.SetImageVisible(table::TableImage::cmdDeal, false);
  rememberedWidth_ = width() * s_.TwipsPerPixel;
  rememberedHeight_ = height() * s_.TwipsPerPixel;
  ResizeTwips(rememberedWidth_, kTipLoadHeight);

  if (!LoadTips(s_.AppPath + QStringLiteral("Data/") + QString::fromLatin1(kTutorialFileName))) {
    s_.ui.MsgBox(QString::fromLatin1(kTutorialMissingText), platform::vbCritical,
                 QString::fromLatin1(kTutorialMissingTitle));
    close();
    return false;
  }
  if (closed_) return false;

  if (s_.ScreenWidth < kCrampedScreenTwips) {
    ResizeTwips(kNarrowTipWidth, s_.ScreenWidth < kNarrowScreenTwips ? kNarrowTipHeight : kCrampedTipHeight);
    picture1Twips_.setLeft(kNarrowPicture1Left);
    picture1Twips_.setWidth(kNarrowPicture1Width);
    tipTextTwips_.moveLeft(kNarrowTipTextLeft);
    tipTextTwips_.setWidth(kNarrowTipTextWidth);
    nextTwips_.moveLeft(kNarrowNextLeft);
    label1Twips_.setRight(kNarrowTipWidth - kNarrowTipTextLeft);
    Layout();
    // The narrow window's heading takes a smaller size where it would be cut.
    Label1->setFont(table::FittedFont(Label1->text(), Label1->font(), Label1->size(), Label1->alignment(), false));
  }
  onTop_.SetOnTop(true);
  onTop_.TopForm(this);
  QFont f = lblTipText->font();
  f.setPointSize(kTipFontSize);
  lblTipText->setFont(f);
  if (hands_) hands_->ShowHand();
  PlaceBesideTable();
  AskForTitleAndCloseOnly();
  return true;
}

// Beside the table there is no room for the caption and four buttons on the
// title bar. The flags ask for a title and a close button only; openbox keeps
// iconify and maximize on a tool window whatever they say, but leaves them
// off a toolbar, which is what this window is to the table. The native
// window is made only now, after the window was placed, so that the window
// manager places it by its frame as every later move does.
void FrmTip::AskForTitleAndCloseOnly() {
  winId();
  QWindow* native = windowHandle();
  if (!native) return;
  native->setProperty(kWindowTypeProperty, kToolbarWindowType);
  native->setFlags(windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
}

bool FrmTip::LoadTips(const QString& sFile) {
  const std::optional<QStringList> lines = ReadTutorialFile(sFile);
  if (!lines) return false;
  Tips = *lines;
  ShowTutorialStep(0);
  return true;
}

void FrmTip::ShowTutorialStep(int) {
  if (CurrentTip_ + 1 == kStepDeal && !s_.guard.MayReplaceTable()) {
    // Something still plays underneath; clearing the table now would pull
    // it from under that code. Let it go on and stay on this step.
    s_.state.TutorialContinue = true;
    s_.wait.Wake();
    cmdNextTip[0]->setEnabled(true);
    return;
  }
  ++CurrentTip_;
  if (CurrentTip_ == kStepDeal) {
    play::FrmPlay& table = s_.frmPlay;
    table.ClearTable();
    table.SetImageVisible(table::TableImage::cmdDeal, true);
    table::PictureBox* hand = table.picHand[0];
    hand->move(table.cmdDeal->x(), table.cmdDeal->y() - hand->height() - kHandAboveDealGap);
    hand->show();
    hand->raise();
    // The window was placed beside the table when it opened and stays
    // there: Next does not move from under the learner's pointer.
    cmdNextTip[0]->hide();
  }
  if (CurrentTip_ == kStepRules) DisplayRules(true);
  if (CurrentTip_ > StepCount()) {
    cmdNextTip[0]->hide();
    return;
  }
  DisplayCurrentTip();
  KeepClear();
}

QRect FrmTip::OwnFrame() const {
  const QRect own = frameGeometry();
  if (own.size() != size()) return own;
  // Until the window manager has framed the window its frame is not known:
  // it will be framed as the table is, and placing it by its bare size now
  // would move it by the frame's width at the next step.
  const play::FrmPlay& table = s_.frmPlay;
  const QRect tableFrame = table.frameGeometry(), tableInside = table.geometry();
  const QMargins margins(tableInside.left() - tableFrame.left(), tableInside.top() - tableFrame.top(),
                         tableFrame.right() - tableInside.right(), tableFrame.bottom() - tableInside.bottom());
  return QRect(own.topLeft(), own.size().grownBy(margins));
}

void FrmTip::PlaceBesideTable() {
  const int tpp = s_.TwipsPerPixel;
  const QRect main = s_.frmPlay.frameGeometry();
  const QRect own = OwnFrame();
  const table::PictureBox* stock = s_.frmPlay.picOpponent[1];
  const int mainLeft = main.x() * tpp, mainTop = main.y() * tpp, mainWidth = main.width() * tpp;
  const int width = own.width() * tpp;
  int left = 0;
  if (s_.ScreenWidth - width > mainLeft + mainWidth) {
    left = mainLeft + stock->x() * tpp + table::CardWidthTwips * 3 / 2;
  } else {
    left = s_.ScreenWidth - width;
  }
  const int top = mainTop + stock->y() * tpp + table::CardHeightTwips;
  move(Px(left), Px(top));
  KeepClear();
}

void FrmTip::KeepClear() {
  const play::FrmPlay& table = s_.frmPlay;
  const QRect frame = table.frameGeometry();
  const auto onScreen = [](const QWidget* w) { return QRect(w->mapToGlobal(QPoint(0, 0)), w->size()); };
  const auto shown = [](const QWidget* w) { return w && w->isVisible(); };
  TutorialSights sights;
  sights.pointedAt.emplace_back(frame.left(), frame.top(), frame.width(),
                                std::max(1, table.geometry().top() - frame.top()));
  for (int i = 0; i < 2; ++i)
    if (shown(table.picHand[i])) sights.pointedAt.push_back(PointedAt(onScreen(table.picHand[i]), i == 0));
  // The steps speak of both sides' piles, the computer's moves and the
  // turn they end: these stay in sight wherever there is room for it.
  for (int i = 1; i <= 3; ++i)
    for (const table::PictureBox* pile : {table.picPlayer[i], table.picOpponent[i]})
      if (shown(pile)) sights.sidePiles.push_back(onScreen(pile));
  // Their counts too, as far as their figures reach, and as far as two
  // figures would while a count is still empty: the deal fills them in,
  // and the window must not have to make way for them then.
  for (const QLabel* count : {table.lblPHandCnt, table.lblPResCnt, table.lblPWasteCnt, table.lblOHandCnt,
                              table.lblOResCnt, table.lblOWasteCnt}) {
    const auto* text = dynamic_cast<const table::TableText*>(count);
    if (!shown(count) || !text) continue;
    const QRect ink = text->InkOf(count->text().size() > 2 ? count->text() : QStringLiteral("88")).toAlignedRect();
    sights.sidePiles.emplace_back(count->mapToGlobal(ink.topLeft()), ink.size());
  }
  // The turn markers' place is kept from the start for the same reason.
  for (const QWidget* mark : {static_cast<const QWidget*>(table.ImgTurn1), static_cast<const QWidget*>(table.ImgTurn2)})
    if (mark) sights.marks.push_back(onScreen(mark));
  if (shown(table.cmdDeal)) sights.marks.push_back(onScreen(table.cmdDeal));
  if (table.MessagePanelShown()) sights.marks.push_back(onScreen(table.lblMessage));
  // The piles a move may go to.
  for (int i = 1; i <= table::kSharedPiles; ++i) {
    for (const table::PictureBox* pile : {table.picCenter[i], table.picTableau[i]})
      if (shown(pile) && (pile == table.picCenter[i] || pile->isEnabled()))
        sights.sharedPiles.push_back(onScreen(pile));
  }
  const QScreen* screen = table.screen();
  if (!screen) return;
  const QRect own = OwnFrame();
  const QPoint at = TutorialWindowPlace(own.topLeft(), own.size(), screen->availableGeometry(), sights);
  if (at != own.topLeft()) move(at);
}

void FrmTip::DisplayCurrentTip() {
  if (Tips.isEmpty() || CurrentTip_ < 1 || CurrentTip_ > StepCount()) return;
  // The text stands before the directive's pause, so that what is added to
  // it meanwhile (the Deal button's line) stays.
  const QString line = Tips.at(CurrentTip_ - 1);
  lblTipText->setText(ReadTutorialStep(line).text);
  ReadEnableInfo(line);
}

QString FrmTip::ReadEnableInfo(const QString& sText) {
  const TutorialStep step = ReadTutorialStep(sText);
  play::FrmPlay& table = s_.frmPlay;
  s_.state.TutorialContinue = true;
  s_.wait.Wake();

  switch (step.kind) {
    case TipKind::Plain: s_.wait.Pause(kStepPause); return step.text;
    case TipKind::Malformed:
      // An unreadable directive changes no pile; Next lets the learner on.
      s_.wait.Pause(kStepPause);
      if (!closed_) cmdNextTip[0]->setEnabled(true);
      return step.text;
    case TipKind::Rules:
      table.EnablePiles(false);
      DisplayRules(true);
      s_.state.TutorialContinue = false;
      s_.wait.Pause(kStepPause);
      if (!closed_) cmdNextTip[0]->setEnabled(true);
      return step.text;
    case TipKind::Piles: break;
  }

  table.EnablePiles(false);
  if (step.first.pile == TipPile::Player) {
    if (step.first.number == 1) DisplayRules(false);
    table::PictureBox* pile = table.picPlayer[step.first.number];
    table::PictureBox* hand = table.picHand[0];
    hand->move(pile->x(), pile->y() - hand->height());
    hand->show();
    hand->raise();
  }
  table.SetEnabled(ControlOf(step.first.pile), step.first.number);
  if (step.second) {
    if (step.second->pile == TipPile::Tableau) {
      table.SetEnabled(table::PileControl::picTableau, step.second->number);
    } else {
      DisplayRules(false);
      const int d2 = step.second->number;
      table::PictureBox* pile = table.picOpponent[d2];
      table::PictureBox* hand = table.picHand[1];
      hand->move(pile->x() + (d2 == 2 ? kReserveHandShift : 0), pile->y() + table::CardHeight);
      hand->show();
      hand->raise();
    }
  }
  if (s_.state.CurrentTurn == table::Turn::Local) cmdNextTip[0]->setEnabled(false);
  return step.text;
}

void FrmTip::DisplayRules(bool bShow) {
  play::FrmPlay& table = s_.frmPlay;
  if (bShow) {
    s_.state.Message = RulesPanelText();
    table.SetLabel(table::TableLabel::lblMessage, s_.state.Message);
    table.SetMessagePanel(true, s_.LargeFonts ? kRulesFontSizeLargeFonts : kRulesFontSize);
  } else {
    table.SetMessagePanel(false);
    table.SetLabel(table::TableLabel::lblMessage, QString());
  }
}

// The tutorial's buttons are top-level commands too: a close asked for
// while the game ran beneath them is completed as they return.
void FrmTip::cmdNextTip_Click(int) {
  play::TopLevelCommand command(s_.wait, s_.state, &s_.frmPlay);
  HandlerScope handler(*this);
  cmdNextTip[0]->setEnabled(false);
  s_.state.TutorialContinue = false;
  ShowTutorialStep(0);
}

void FrmTip::cmdOK_Click() {
  play::TopLevelCommand command(s_.wait, s_.state, &s_.frmPlay);
  AskToClose();
}

bool FrmTip::AskToClose() {
  HandlerScope handler(*this);
  const platform::UiService::OwnedBy owner(s_.ui, this);
  if (CurrentTip_ < StepCount()) {
    if (s_.ui.MsgBox(QString::fromLatin1(kExitTutorialQuestion), platform::vbYesNo | platform::vbDefaultButton2,
                     QString::fromLatin1(play::kTutorialTitle)) != platform::vbYes)
      return closed_;
    if (closed_) return true;
    s_.ui.MsgBox(QString::fromLatin1(kTutorialAgainText), platform::vbOKOnly,
                 QString::fromLatin1(play::kTutorialTitle));
  }
  close();
  return true;
}

void FrmTip::closeEvent(QCloseEvent* event) {
  if (!closed_) {
    closed_ = true;
    play::FrmPlay& table = s_.frmPlay;
    table.EnablePiles(true);
    s_.state.TutorialContinue = true;
    s_.state.TutorialMode = false;
    DisplayRules(false);
    table.picHand[0]->hide();
    table.picHand[1]->hide();
    // Closed before its game was dealt, the tutorial leaves the empty table
    // as the program starts with it: the logo and the Deal button.
    if (s_.state.CurrentTurn == table::Turn::None) {
      table.ShowLogo(true);
      table.SetImageVisible(table::TableImage::cmdDeal, true);
    }
    onTop_.SetOnTop(false);
    s_.wait.Wake();
    emit closed();
    if (handlerDepth_ == 0) deleteLater();
  }
  event->accept();
}

// The window takes the focus when it opens: the table's function keys work
// from it as from the table.
void FrmTip::keyPressEvent(QKeyEvent* event) {
  if (event->key() >= Qt::Key_F1 && event->key() <= Qt::Key_F12 && parentWidget()) {
    QKeyEvent copy(event->type(), event->key(), event->modifiers(), event->nativeScanCode(), event->nativeVirtualKey(),
                   event->nativeModifiers(), event->text());
    QCoreApplication::sendEvent(parentWidget(), &copy);
    return;
  }
  QWidget::keyPressEvent(event);
}

void FrmTip::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Form_Resize();
}

void FrmTip::Form_Resize() {
  const int tpp = s_.TwipsPerPixel;
  const int dh = height() * tpp - rememberedHeight_;
  if (dh != 0 && tipTextTwips_.height() + dh > 0) {
    picture1Twips_.setHeight(picture1Twips_.height() + dh);
    tipTextTwips_.setHeight(tipTextTwips_.height() + dh);
    nextTwips_.translate(0, dh);
    okTwips_.translate(0, dh);
    rememberedHeight_ += dh;
  }
  const int dw = width() * tpp - rememberedWidth_;
  if (dw != 0 && tipTextTwips_.width() + dw > nextTwips_.width() + okTwips_.width()) {
    picture1Twips_.setWidth(picture1Twips_.width() + dw);
    tipTextTwips_.setWidth(tipTextTwips_.width() + dw);
    nextTwips_.translate(dw, 0);
    rememberedWidth_ += dw;
  }
  Layout();
}

}  // namespace dialogs
