#include "dialogs/small_dialogs.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <cmath>
#include <limits>

#include "media/folders.h"
#include "platform/sound.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "platform/vb.h"
#include "platform/version.h"
#include "play/faces/menu_windows.h"
#include "play/records/player.h"
#include "play/records/score_record.h"
#include "play/records/score_records.h"
#include "play/state/utilities.h"

namespace dialogs {

namespace {

int Px(int twips) { return platform::TwipsToPixels(twips); }
constexpr char kMatchTitle[] = "Match Points";

QLabel* NewLabel(const QString& text, QWidget* parent, const QRect& twips) {
  auto* label = new QLabel(text, parent);
  label->setGeometry(Px(twips.x()), Px(twips.y()), Px(twips.width()), Px(twips.height()));
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  return label;
}

class DialogKeys : public QObject {
 public:
  DialogKeys(QWidget& window, QPushButton* defaultButton, QPushButton* cancelButton)
      : QObject(&window), window_(window), default_(defaultButton), cancel_(cancelButton) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != &window_ || event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    if (mods != Qt::NoModifier) return false;
    QPushButton* button = nullptr;
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      auto* focused = qobject_cast<QPushButton*>(window_.focusWidget());
      button = focused && focused->isVisible() && focused->isEnabled() ? focused : default_.data();
    } else if (key->key() == Qt::Key_Escape) {
      button = cancel_.data();
    } else {
      return false;
    }
    if (button && button->isVisible() && button->isEnabled()) button->click();
    return true;
  }

 private:
  QWidget& window_;
  QPointer<QPushButton> default_, cancel_;
};

}  // namespace

void UseDialogKeys(QWidget& window, QPushButton* defaultButton, QPushButton* cancelButton) {
  if (defaultButton) defaultButton->setDefault(true);
  window.installEventFilter(new DialogKeys(window, defaultButton, cancelButton));
}

// ---- Match set-up ----

MatchPointsResult CheckMatchPoints(const QString& text) {
  MatchPointsResult r;
  const double v = std::round(vb::Val(text));
  if (v >= std::numeric_limits<std::int16_t>::min() && v <= std::numeric_limits<std::int16_t>::max())
    r.stored = static_cast<std::int16_t>(v);
  if (v < play::kLowestMatchTarget)
    r.check = MatchPointsCheck::TooLow;
  else if (v > play::kHighestMatchTarget)
    r.check = MatchPointsCheck::TooHigh;
  else
    r.check = MatchPointsCheck::Accepted;
  return r;
}

FrmMatch::FrmMatch(play::ScoreState& scores, platform::UiService& ui, const QWidget& table, QWidget* parent)
    : QWidget(parent, Qt::Dialog), scores_(scores), ui_(ui) {
  setObjectName("frmMatch");
  setWindowTitle("Match Setup");
  setFixedSize(Px(5400), Px(3900));
  lblMatch = NewLabel(
      "To set up a Match, enter the number of points that you would like to play to.\r\n\r\nThe absolute minimum "
      "score that a single game could have is 31 points (30 for the win plus points added for cards remaining in "
      "your opponent's Stock, Waste and Reserve).\r\n\r\nThe first player to reach the number of points set would "
      "win the Match.",
      this, {240, 120, 4900, 2400});
  lblpoints = NewLabel("Points", this, {1500, 2700, 900, 300});
  txtPoints = new QLineEdit(this);
  txtPoints->setObjectName("txtPoints");
  txtPoints->setGeometry(Px(2400), Px(2640), Px(1200), Px(360));
  txtPoints->installEventFilter(this);
  cmdStart = new QPushButton("Start Match", this);
  cmdStart->setObjectName("cmdStart");
  cmdStart->setGeometry(Px(3000), Px(3240), Px(1500), Px(420));
  cmdCancel = new QPushButton("Cancel Match", this);
  cmdCancel->setObjectName("cmdCancel");
  cmdCancel->setGeometry(Px(900), Px(3240), Px(1500), Px(420));
  connect(cmdStart, &QPushButton::clicked, this, [this] { cmdStart_Click(); });
  connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
  UseDialogKeys(*this, cmdStart, cmdCancel);

  const QRect main = table.frameGeometry();
  move(main.left() + Px(200), main.top() + Px(200));
  play::ScoreState& sc = scores_;
  if (sc.MatchPoints < play::kLowestMatchTarget || sc.MatchPoints > play::kHighestMatchTarget)
    sc.MatchPoints = play::kDefaultMatchTarget;
  txtPoints->setText(vb::Str(static_cast<int>(sc.MatchPoints)));
}

void FrmMatch::cmdStart_Click() {
  play::ScoreState& sc = scores_;
  const MatchPointsResult r = CheckMatchPoints(txtPoints->text());
  if (r.stored) sc.MatchPoints = *r.stored;
  if (r.check != MatchPointsCheck::Accepted) {
    ui_.MsgBox(r.check == MatchPointsCheck::TooLow ? kMatchTooLowText : kMatchTooHighText,
               platform::vbOKOnly | platform::vbInformation, kMatchTitle);
    txtPoints->setText("100");
    return;
  }
  sc.MatchOn = true;
  close();
}

void FrmMatch::cmdCancel_Click() {
  scores_.MatchOn = false;
  close();
}

void FrmMatch::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  emit finished(scores_.MatchOn);
}

bool FrmMatch::eventFilter(QObject* watched, QEvent* event) {
  if (watched == txtPoints && event->type() == QEvent::KeyPress) {
    const QString typed = static_cast<QKeyEvent*>(event)->text();
    if (!typed.isEmpty() && typed.at(0).unicode() > 31 && typed.at(0) != QChar(127) && !typed.at(0).isDigit()) {
      ui_.MsgBox("Enter a number", platform::vbOKOnly | platform::vbInformation, kMatchTitle);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

// ---- Speed settings ----

std::int16_t AnimSpeedForPosition(int position) {
  static constexpr std::int16_t kFirst[] = {2, 10, 20, 45, 70, 95};
  if (position < 0) position = 0;
  if (position > 20) position = 20;
  if (position <= 5) return kFirst[position];
  return static_cast<std::int16_t>(120 + 30 * (position - 6));
}

int PositionForAnimSpeed(int speed) {
  if (speed < 0) return -1;
  static constexpr int kBounds[] = {10, 20, 45, 70, 95, 120};
  for (int i = 0; i < 6; ++i)
    if (speed < kBounds[i]) return i;
  if (speed >= 540) return 20;
  return 6 + (speed - 120) / 30;
}

QString ThinkLevelName(int level) {
  static const char* kNames[] = {"", "slow", "human", "quick", "rabbit", "blink", "light"};
  return level >= 1 && level <= 6 ? QString(kNames[level]) : QString();
}

FrmSpeed::FrmSpeed(play::PlayerSettings& player, play::PlayerChanges& changes, const QWidget& table, QWidget* parent)
    : QWidget(parent, Qt::Dialog), player_(player), changes_(changes) {
  setObjectName("frmSpeed");
  setWindowTitle("Speed Settings");
  setFixedSize(Px(4200), Px(3600));
  const QString tip = "Not responsible for games played at the speed of light";
  NewLabel("Thinking Speed", this, {240, 120, 3600, 300});
  HScroll1 = new QScrollBar(Qt::Horizontal, this);
  HScroll1->setGeometry(Px(240), Px(480), Px(2400), Px(300));
  HScroll1->setRange(play::kMinThinkLevel, play::kMaxThinkLevel);
  HScroll1->setPageStep(1);
  Label1 = NewLabel(QString(), this, {2880, 480, 1100, 300});
  Label1->setToolTip(tip);
  NewLabel("Card Animation Speed", this, {240, 1080, 3600, 300});
  NewLabel("Faster", this, {900, 1440, 900, 300});
  NewLabel("Slower", this, {900, 2580, 900, 300});
  VScroll1 = new QScrollBar(Qt::Vertical, this);
  VScroll1->setGeometry(Px(360), Px(1440), Px(300), Px(1440));
  VScroll1->setRange(0, 20);
  VScroll1->setPageStep(1);
  lblAni = NewLabel(QString(), this, {1900, 2000, 800, 300});
  Command1 = new QPushButton("&Done", this);
  Command1->setGeometry(Px(2700), Px(2940), Px(1200), Px(420));
  Command1->setToolTip(tip);
  connect(Command1, &QPushButton::clicked, this, [this] { close(); });
  // Done is the window's only button: Enter and Esc both press it.
  UseDialogKeys(*this, Command1, Command1);

  const QRect main = table.frameGeometry();
  move(main.left() + width(), main.top() + height());

  // Setting the bars at load runs their change handlers, as a move would.
  connect(HScroll1, &QScrollBar::valueChanged, this, [this] { HScroll1_Change(); });
  connect(VScroll1, &QScrollBar::valueChanged, this, [this] { VScroll1_Change(); });
  play::PlayerSettings& p = player_;
  HScroll1->setValue(play::CheckedThinkLevel(p.Player.ThinkLevel));
  Label1->setText(ThinkLevelName(HScroll1->value()));
  if (p.AnimSpeed == 0) p.AnimSpeed = kDefaultAnimSpeed;
  const int position = PositionForAnimSpeed(p.AnimSpeed);
  if (position >= 0) VScroll1->setValue(position);
  lblAni->setText(vb::Str(VScroll1->value()));
}

void FrmSpeed::HScroll1_Change() {
  play::PlayerSettings& p = player_;
  const auto level = static_cast<std::int16_t>(HScroll1->value());
  p.ThinkDelay = play::SpeedFactor(level);
  p.Player.ThinkLevel = level;
  Label1->setText(ThinkLevelName(level));
  changes_.PlayerSettingsChanged();
}

void FrmSpeed::VScroll1_Change() {
  player_.AnimSpeed = AnimSpeedForPosition(VScroll1->value());
  lblAni->setText(vb::Str(VScroll1->value()));
  changes_.PlayerSettingsChanged();
}

void FrmSpeed::closeEvent(QCloseEvent* event) {
  changes_.WritePlayerRecord();
  QWidget::closeEvent(event);
}

// ---- About ----

QString AboutVersionText(int major, int minor, int revision) {
  return "Version " + vb::Str(major) + "." + vb::Str(minor) + "." + vb::Str(revision) + "\r\n";
}

void AboutIcon::mousePressEvent(QMouseEvent* event) { emit pressed(event->button()); }

FrmAbout::FrmAbout(const QImage& icon, platform::SoundChannel& sound, const QString& dataPath, QWidget* parent)
    : QWidget(parent, Qt::Dialog), sound_(sound), dataPath_(dataPath) {
  setObjectName("frmAbout");
  setWindowTitle("About Marrowdale");
  setFixedSize(Px(6300), Px(4200));
  picIcon = new AboutIcon(this);
  picIcon->setGeometry(Px(240), Px(240), 32, 32);
  picIcon->setPixmap(QPixmap::fromImage(icon));
  QFont titleFont = font();
  titleFont.setPointSize(14);
  titleFont.setBold(true);
  lblTitle = NewLabel(QString::fromUtf8("Marrowdale\u2122") + "\r\n", this, {1080, 160, 4600, 480});
  lblTitle->setFont(titleFont);
  lblVersion = NewLabel(AboutVersionText(platform::kVersionMajor, platform::kVersionMinor, platform::kVersionRevision),
                        this, {1080, 640, 4600, 300});
  lblDescription =
      NewLabel(QString::fromLatin1(platform::kLegalNotice) + QString::fromUtf8("\r\nCard Games by Brackwell\u2122"),
               this, {1080, 1000, 4900, 900});
  LblSite = NewLabel(QString("Marrowdale Site: ") + platform::kNoWebSiteText, this, {1080, 1950, 4900, 300});
  lblDis = NewLabel(" Warning: Another Highly addictive game from Brackwell.\r\n\r\n", this, {1080, 2300, 4900, 600});
  Label2 = NewLabel("Email: none", this, {1080, 2900, 4600, 300});
  credit = NewLabel(QString(), this, {240, 3250, 4000, 900});
  credit->hide();
  cmdOK = new QPushButton("OK", this);
  cmdOK->setGeometry(Px(4500), Px(3600), Px(1200), Px(420));
  connect(cmdOK, &QPushButton::clicked, this, [this] { close(); });
  UseDialogKeys(*this, cmdOK, cmdOK);
  connect(picIcon, &AboutIcon::pressed, this, [this](Qt::MouseButton b) {
    picIcon_MouseDown(b);
    if (b == Qt::LeftButton) picIcon_Click();
  });
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect r = screen->availableGeometry();
    move(r.left() + (r.width() - width()) / 2, r.top() + (r.height() - height()) / 2);
  }
}

void FrmAbout::picIcon_Click() { sound_.Play(dataPath_ + "~119.tmp"); }

void FrmAbout::picIcon_MouseDown(Qt::MouseButton button) {
  if (button == Qt::RightButton) {
    credit->setText("Special thanks to:\r\n\r\nthe players who tried every tune of the intro music.");
    credit->show();
  } else {
    credit->hide();
  }
}

}  // namespace dialogs
