#include "net/frm_chat.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPalette>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QWindow>
#include <algorithm>
#include <tuple>

#include "net/opponents_file.h"
#include "platform/recordfile.h"
#include "platform/sound.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "platform/vb.h"
#include "table/backgrounds.h"
#include "table/table_pictures.h"

namespace net {

namespace {

// The log keeps the program's CR LF line ends; the view shows plain breaks.
QString ForView(QString text) { return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

// The window as drawn for a 12000-twip screen, in pixels; opening scales it
// to the screen.
constexpr int kDesignW = 330;
constexpr int kDesignH = 290;
constexpr double kDesignPointSize = 7.5;
constexpr int kMargin = 5;
constexpr int kGap = 3;
constexpr int kStrip = 20;
constexpr int kStripButtonW = 22;
constexpr int kLogTop = 22;
constexpr int kLogH = 150;
constexpr int kAvatarBoxW = 84;
constexpr int kListW = 150;
constexpr int kButtonsTop = 177;
constexpr int kButtonW = 62;
constexpr int kButtonH = 18;
constexpr int kButtonStepX = 64;
constexpr int kButtonStepY = 20;
constexpr int kInputTop = 259;
constexpr int kInputH = 24;
constexpr int kSendW = 56;
// Screen widths, in twips, below which the window shrinks and above which
// it grows with the screen; between them the log gives up 200 twips.
constexpr int kNarrowScreen = 10000;
constexpr int kWideScreen = 12000;
constexpr int kMiddlingLogNarrowing = 200;
constexpr int kPlacementStep = 4;    // pixels between the places tried for the window
constexpr int kSmallerOpenings = 2;  // the smaller sizes the window may open in where nothing is clear

QPushButton* StripButton(QWidget* parent, const QString& text, const QString& tip) {
  auto* b = new QPushButton(text, parent);
  b->setToolTip(tip);
  b->setGeometry(0, 1, kStripButtonW, kStrip - 2);
  b->setFocusPolicy(Qt::NoFocus);
  return b;
}

QCursor CursorFrom(const QString& path, int hotX, int hotY) {
  const QPixmap picture(path);
  return picture.isNull() ? QCursor(Qt::PointingHandCursor) : QCursor(picture, hotX, hotY);
}

bool BareFileName(const QString& name) {
  return !name.isEmpty() && !name.startsWith('.') && !name.contains('/') && QFileInfo(name).fileName() == name;
}

}  // namespace

QString AvatarImportName(const QString& folder, const QString& fileName) {
  if (fileName.size() <= kAvatarNameLimit) return fileName;
  const int dot = fileName.lastIndexOf('.');
  QString ext = dot > 0 ? fileName.mid(dot) : QString();
  // An extension that leaves no room for a name is dropped; pictures are
  // recognised by their contents.
  if (ext.size() > kAvatarNameLimit / 2) ext.clear();
  const QString stem = dot > 0 && !ext.isEmpty() ? fileName.left(dot) : fileName;
  const QDir dir(folder);
  QString name = stem.left(kAvatarNameLimit - ext.size()) + ext;
  for (int i = 1; dir.exists(name) && i < 100000; ++i) {
    const QString tag = "~" + QString::number(i);
    name = stem.left(kAvatarNameLimit - ext.size() - tag.size()) + tag + ext;
  }
  return name;
}

ChatPlace ChatPlacement(const QRect& playWindow, QSize chat, const QRect& workArea, const ChatSights& sights) {
  const QPoint beside(playWindow.x() + playWindow.width(), playWindow.y());
  if (workArea.contains(QRect(beside, chat))) return {beside};
  const auto covered = [](const QRect& place, const std::vector<QRect>& rects) {
    std::int64_t cover = 0;
    for (const QRect& r : rects) {
      const QRect common = place.intersected(r);
      if (!common.isEmpty()) cover += std::int64_t(common.width()) * common.height();
    }
    return cover;
  };
  const QPoint wanted(playWindow.right() + 1 - chat.width(), playWindow.y());
  const int maxX = std::max(workArea.left(), workArea.right() + 1 - chat.width());
  const int maxY = std::max(workArea.top(), workArea.bottom() + 1 - chat.height());
  ChatPlace best;
  std::int64_t bestDistance = -1;
  for (int y = workArea.top();; y = std::min(y + kPlacementStep, maxY)) {
    for (int x = workArea.left();; x = std::min(x + kPlacementStep, maxX)) {
      const QRect place(QPoint(x, y), chat);
      const ChatPlace here{place.topLeft(), covered(place, sights.piles), covered(place, sights.lines)};
      const std::int64_t distance =
          std::int64_t(x - wanted.x()) * (x - wanted.x()) + std::int64_t(y - wanted.y()) * (y - wanted.y());
      const auto rank = [](const ChatPlace& p, std::int64_t d) {
        return std::tuple(p.pilesCovered, p.linesCovered, d);
      };
      if (bestDistance < 0 || rank(here, distance) < rank(best, bestDistance)) {
        best = here;
        bestDistance = distance;
      }
      if (x == maxX) break;
    }
    if (y == maxY) break;
  }
  return best;
}

std::optional<QPoint> FrmChat::MovedTo() const {
  if (pos() == openedAt_) return std::nullopt;
  return pos();
}

FrmChat::FrmChat(FrmChatParts parts, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint), parts_(std::move(parts)) {
  setWindowTitle(kChatCaption);
  setObjectName("frmChat");
  setAttribute(Qt::WA_DeleteOnClose, false);
  QFont design = font();
  design.setPointSizeF(kDesignPointSize);
  setFont(design);
  resize(kDesignW, kDesignH);

  imgPin = {QIcon(PicturePath("chat-pin-in.png")), QIcon(PicturePath("chat-pin-out.png"))};
  imgMouse = {CursorFrom(PicturePath("chat-cursor-avatar.png"), 10, 3),
              CursorFrom(PicturePath("chat-cursor-slap.png"), 12, 2)};

  lblChat = new QLabel(QStringLiteral(" ") + kChatCaption, this);
  lblChat->setGeometry(0, 0, kDesignW / 2, kStrip);
  QFont bold = lblChat->font();
  bold.setBold(true);
  lblChat->setFont(bold);
  lblChat->installEventFilter(this);
  imgHelp = new QLabel(this);
  imgHelp->setPixmap(QPixmap(PicturePath("chat-help.png")));
  imgHelp->setScaledContents(true);
  imgHelp->setGeometry(0, 1, kStrip - 2, kStrip - 2);
  imgHelp->setToolTip(QStringLiteral("Help"));
  imgHelp->setCursor(Qt::PointingHandCursor);
  imgHelp->installEventFilter(this);
  cmdText[0] = StripButton(this, "A+", "Larger text");
  cmdText[1] = StripButton(this, "A-", "Smaller text");
  cmdIcon = StripButton(this, ":)", "Icons");
  cmdShowSounds = StripButton(this, "\u266A", "Sounds");
  cmdSize = StripButton(this, "\u25A3", "Window size");
  cmdOnTop = StripButton(this, QString(), "Keep on top");
  // Pulled out: the window keeps above the table only, until pinned.
  cmdOnTop->setIcon(imgPin[1]);
  PinToggle = true;

  Text1 = new QPlainTextEdit(this);
  Text1->setReadOnly(true);
  Text1->setGeometry(kMargin, kLogTop, kDesignW - 2 * kMargin - kGap - kAvatarBoxW, kLogH);

  ImgAvatar = new QLabel(this);
  ImgAvatar->setObjectName("imgAvatar");  // keeps its size when the window is scaled
  ImgAvatar->setCursor(imgMouse[0]);
  ImgAvatar->setToolTip(
      QStringLiteral("Click: slap!  Right-click: choose a picture.  Ctrl+click: the default picture."));
  ImgAvatar->installEventFilter(this);
  imgSlap = new QLabel(this);
  imgSlap->setPixmap(QPixmap(PicturePath("chat-slap.png")));
  imgSlap->setScaledContents(true);
  imgSlap->setCursor(imgMouse[1]);
  imgSlap->installEventFilter(this);
  imgSlap->hide();

  for (int i = 1; i <= kQuickChatButtons; ++i) {
    auto* b = new QPushButton(QString::number(i), this);
    b->setGeometry(kMargin + ((i - 1) % 5) * kButtonStepX, kButtonsTop + ((i - 1) / 5) * kButtonStepY, kButtonW,
                   kButtonH);
    b->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(b, &QPushButton::clicked, this, [this, i] { CmdChat_Click(i); });
    connect(b, &QPushButton::customContextMenuRequested, this, [this, i] { CmdChat_RightClick(i); });
    CmdChat[i] = b;
  }
  txtbutton = new QLineEdit(this);
  txtbutton->hide();
  connect(txtbutton, &QLineEdit::returnPressed, this, &FrmChat::txtbutton_Enter);

  // The input frame holds the chosen icon and the input line; they lie over
  // it as the window's own controls, so that scaling reaches them.
  auto* frame = new QFrame(this);
  frame->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  frame->setAutoFillBackground(true);
  frame->setBackgroundRole(QPalette::Base);
  Picture1 = frame;
  Picture1->setGeometry(kMargin, kInputTop, kDesignW - 2 * kMargin - kGap - kSendW, kInputH);
  imgIcon = new QLabel(this);
  imgIcon->setScaledContents(true);
  imgIcon->hide();
  Text2 = new QLineEdit(this);
  Text2->setFrame(false);
  Text2->setMaxLength(kChatInputLimit);
  Text2->installEventFilter(this);
  Command1 = new QPushButton(QStringLiteral("Send"), this);
  Command1->setGeometry(kDesignW - kMargin - kSendW, kInputTop, kSendW, kInputH);
  Command1->setEnabled(false);
  IconShow(false);

  LstWavs = new QListWidget(this);
  LstWavs->setGeometry(0, kLogTop, kListW, kLogH);
  LstWavs->hide();
  LstWavs->installEventFilter(this);
  LstIcons = new QListWidget(this);
  LstIcons->setGeometry(0, kLogTop, kListW, kLogH);
  LstIcons->hide();
  connect(LstWavs, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { LstWavs_Click(LstWavs->row(item)); });
  connect(LstIcons, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { LstIcons_Click(LstIcons->row(item)); });

  connect(Command1, &QPushButton::clicked, this, &FrmChat::sendClicked);
  connect(Text2, &QLineEdit::returnPressed, this, [this] {
    if (Command1->isEnabled()) emit sendClicked();
  });
  connect(cmdText[0], &QPushButton::clicked, this, [this] { cmdText_Click(0); });
  connect(cmdText[1], &QPushButton::clicked, this, [this] { cmdText_Click(1); });
  connect(cmdIcon, &QPushButton::clicked, this, [this] {
    LstWavs->hide();
    LstIcons->show();
    LstIcons->raise();
    LstIcons->setFocus();
  });
  connect(cmdShowSounds, &QPushButton::clicked, this, [this] {
    LstIcons->hide();
    LstWavs->show();
    LstWavs->raise();
    LstWavs->setFocus();
  });
  connect(cmdSize, &QPushButton::clicked, this, &FrmChat::cmdSize_Click);
  connect(cmdOnTop, &QPushButton::clicked, this, &FrmChat::cmdOnTop_Click);

  FitToScreen();
  // The avatar keeps the box it gets now when the window changes size.
  const int boxW = qRound(double(kAvatarBoxW) * width() / kDesignW) + logNarrowing_;
  avatarBox_ = QRect(0, 0, boxW, qMin(Text1->height(), boxW * 5 / 4));
  ArrangeChatButtons();
  LoadQuickChat();
  QPalette strip = lblChat->palette();
  const std::uint32_t c = parts_.FontColor;
  strip.setColor(QPalette::WindowText, QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
  lblChat->setPalette(strip);
  table::PlaceFormLines(*this, lines_, parts_.screen.TwipsPerPixel());
  GetSoundList();
  GetIconList();
  if (parts_.showDefaultAvatar) ScaleAvatar(kDefaultAvatar);
  PlaceSlap();
  PlaceOverTable(parent);
}

// The window opens where the player put it last, else where it hides
// nothing of the table, in its smaller size where only that finds room, and
// with the table's lines moved aside where even that does not; a
// dialog of the game stands above it, and other programs' windows may too.
void FrmChat::PlaceOverTable(const QWidget* table) {
  const platform::ScreenMetrics& s = parts_.screen;
  const QRect workArea(s.availLeft, s.availTop, s.availWidth, s.availHeight);
  if (parts_.place && workArea.intersects(QRect(*parts_.place, size()))) {
    move(*parts_.place);
  } else if (table) {
    ChatSights sights = parts_.tableInSight ? parts_.tableInSight() : ChatSights{};
    const auto placeFor = [&] { return ChatPlacement(table->frameGeometry(), size(), workArea, sights); };
    ChatPlace place = placeFor();
    // Where the window finds no clear place, it opens smaller: once as its
    // size button makes it, and once more, the button bringing it back.
    for (int step = 0; step < kSmallerOpenings && !place.Clear(); ++step) {
      if (step == 0) {
        cmdSize_Click();
      } else {
        scaling_.ScaleForm(*this, table::kScaleToggle, table::kSizeSmaller, 0, 0);
        LayoutInput();
        ArrangeChatButtons();
        table::PlaceFormLines(*this, lines_, parts_.screen.TwipsPerPixel());
      }
      place = placeFor();
    }
    // Still nowhere clear: the table's lines make room, where that clears a
    // place.
    if (!place.Clear() && parts_.linesAside) {
      sights = parts_.linesAside(true);
      const ChatPlace aside = placeFor();
      if (aside.Clear()) {
        place = aside;
      } else {
        parts_.linesAside(false);
      }
    }
    move(place.at);
  }
  openedAt_ = pos();
}

void FrmChat::FitToScreen() {
  const int screenWidth = parts_.screen.WidthTwips();
  if (screenWidth < kNarrowScreen) {
    scaling_.ScaleForm(*this, table::kScaleToggle, table::kSizeSmaller, 0, 0);
  } else if (screenWidth > kWideScreen) {
    scaling_.ScaleForm(*this, table::kScaleFitScreen, 0, screenWidth, parts_.screen.HeightTwips());
  } else {
    logNarrowing_ = kMiddlingLogNarrowing / parts_.screen.TwipsPerPixel();
  }
  LayoutInput();
}

// The title strip's controls from the right edge, the log and the avatar's
// box beside it, and the lists over the log's right part.
void FrmChat::ArrangeChatButtons() {
  const double unit = double(width()) / kDesignW;
  const int margin = qRound(kMargin * unit), gap = qMax(1, qRound(kGap * unit / 2));
  int x = width() - margin;
  for (QWidget* w :
       {static_cast<QWidget*>(cmdOnTop), static_cast<QWidget*>(cmdSize), static_cast<QWidget*>(cmdShowSounds),
        static_cast<QWidget*>(cmdIcon), static_cast<QWidget*>(cmdText[1]), static_cast<QWidget*>(cmdText[0]),
        static_cast<QWidget*>(imgHelp)}) {
    x -= w->width();
    w->move(x, w->y());
    x -= gap;
  }
  lblChat->setGeometry(0, 0, qMax(0, x), lblChat->height());
  const int boxLeft = width() - margin - avatarBox_.width();
  Text1->setGeometry(margin, Text1->y(), qMax(40, boxLeft - qRound(kGap * unit) - margin), Text1->height());
  avatarBox_.moveTo(boxLeft, Text1->y());
  for (QListWidget* list : {LstWavs, LstIcons})
    list->setGeometry(width() - margin - list->width(), Text1->y(), list->width(), Text1->height());
  // The avatar keeps its size; it moves with its box.
  if (!ImgAvatar->pixmap().isNull())
    ImgAvatar->move(avatarBox_.x() + (avatarBox_.width() - ImgAvatar->width()) / 2, avatarBox_.y());
  PlaceSlap();
}

void FrmChat::LayoutInput() {
  const QRect f = Picture1->geometry();
  const int pad = 2, h = f.height() - 2 * pad;
  imgIcon->setGeometry(f.x() + pad, f.y() + pad, h, h);
  const int left = imgIcon->isHidden() ? f.x() + pad : imgIcon->geometry().right() + 1 + pad;
  Text2->setGeometry(left, f.y() + pad, f.x() + f.width() - pad - left, h);
}

void FrmChat::PlaceSlap() {
  const QRect over = ImgAvatar->pixmap().isNull() ? avatarBox_ : ImgAvatar->geometry();
  const int side = qMin(over.width(), over.height());
  imgSlap->setGeometry(over.x() + (over.width() - side) / 2, over.y() + (over.height() - side) / 2, side, side);
  imgSlap->raise();
}

QString FrmChat::PicturePath(const QString& name) const { return table::PicturesFolder(parts_.AppPath) + name; }

QString FrmChat::AvatarsFolder() const { return parts_.UserPath + kAvatarsDir; }

FrmChat::~FrmChat() { SaveQuickChat(); }

QString FrmChat::SoundsFolder() const { return parts_.UserPath + kSoundsFolder; }

void FrmChat::LoadQuickChat() {
  const QString path = parts_.UserPath + kChatSavFileName;
  if (!parts_.UserPath.isEmpty() && QFileInfo(path).isFile()) {
    platform::RecordFile file;
    if (file.Open(path, kChatSavRecordLength, true)) {
      for (int i = 1; i <= kQuickChatButtons; ++i) QuickChatTexts[i] = ChatSavRecord::Decode(file.Read(i)).Text;
    }
  }
  for (int i = 1; i <= kQuickChatButtons; ++i) SetButtonTip(i);
}

void FrmChat::SaveQuickChat() const {
  if (parts_.UserPath.isEmpty()) return;
  platform::RecordFile file;
  if (!file.Open(parts_.UserPath + kChatSavFileName, kChatSavRecordLength)) return;
  for (int i = 1; i <= kQuickChatButtons; ++i) file.Write(i, ChatSavRecord{QuickChatTexts[i]}.Encode());
}

void FrmChat::SetButtonTip(int index) {
  CmdChat[index]->setToolTip(QuickChatTexts[index].isEmpty() ? QString(kEmptyButtonTip) : QuickChatTexts[index]);
}

QString FrmChat::Log() const { return Text1->toPlainText().replace(QChar('\n'), QStringLiteral("\r\n")); }

void FrmChat::SetLog(const QString& text) { Text1->setPlainText(ForView(text)); }

void FrmChat::AppendLog(const QString& text) {
  QTextCursor cursor = Text1->textCursor();
  cursor.movePosition(QTextCursor::End);
  cursor.insertText(ForView(text));
  Text1->setTextCursor(cursor);
  Text1->ensureCursorVisible();
}

void FrmChat::KeepLogEnd(const QString& kept) {
  QTextCursor cursor(Text1->document());
  cursor.movePosition(QTextCursor::End);
  const int cut = cursor.position() - static_cast<int>(ForView(kept).size());
  if (cut <= 0) return;
  cursor.setPosition(0);
  cursor.setPosition(cut, QTextCursor::KeepAnchor);
  cursor.removeSelectedText();
}

void FrmChat::FocusLogEnd() {
  Text1->setFocus();
  ScrollLogEnd();
}

void FrmChat::ScrollLogEnd() {
  QTextCursor cursor = Text1->textCursor();
  cursor.movePosition(QTextCursor::End);
  Text1->setTextCursor(cursor);
  Text1->ensureCursorVisible();
}

void FrmChat::GetSoundList() {
  LstWavs->clear();
  LstWavs->addItem(kSelectSound);
  const QFileInfoList files = QDir(SoundsFolder()).entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase);
  for (const QFileInfo& f : files) {
    if (!f.fileName().endsWith(QLatin1String("wav"), Qt::CaseInsensitive) || f.fileName().size() < 4) continue;
    auto* item = new QListWidgetItem(f.fileName().chopped(4), LstWavs);
    item->setData(Qt::UserRole, 1);
  }
  LstWavs->addItem(kAddSound);
  LstWavs->setCurrentRow(0);
}

void FrmChat::GetIconList() {
  LstIcons->clear();
  IconFiles = QStringList{QString()};
  LstIcons->addItem(kSelectIcon);
  const QFileInfoList files =
      QDir(parts_.UserPath + kIconsFolder).entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase);
  for (const QFileInfo& f : files) {
    const QString name = f.fileName();
    if (name.size() < 5 || !(name.endsWith(QLatin1String("gif"), Qt::CaseInsensitive) ||
                             name.endsWith(QLatin1String("jpg"), Qt::CaseInsensitive)))
      continue;
    IconFiles << name;
    LstIcons->addItem(name.chopped(4));
  }
  LstIcons->setCurrentRow(0);
}

void FrmChat::IconShow(bool show, const QString& path) {
  if (show) {
    const QPixmap picture(path);
    if (picture.isNull()) return;
    imgIcon->setPixmap(picture);
    imgIcon->show();
    imgIcon->raise();
  } else {
    imgIcon->hide();
    IconChosen = false;
  }
  LayoutInput();
}

std::optional<ChosenIcon> FrmChat::ChosenIconEntry() const {
  const int row = LstIcons->currentRow();
  if (!IconChosen || row < 1 || row >= IconFiles.size()) return std::nullopt;
  return ChosenIcon{IconFiles[row], LstIcons->item(row)->text()};
}

std::optional<ChosenIcon> FrmChat::FindIcon(const QString& listName) const {
  for (int row = 1; row < LstIcons->count(); ++row) {
    if (LstIcons->item(row)->text().compare(listName, Qt::CaseInsensitive) != 0) continue;
    auto* self = const_cast<FrmChat*>(this);
    self->LstIcons->setCurrentRow(row);
    self->LstIcons_Click(row);
    return ChosenIconEntry();
  }
  return std::nullopt;
}

void FrmChat::CmdChat_Click(int index) {
  if (!txtbutton->isHidden() && txtbutton->text() != QLatin1String(kButtonPrompt)) txtbutton_Enter();
  txtbutton->hide();
  LstWavs->hide();
  LstIcons->hide();
  Text2->setText(QuickChatTexts[index]);
}

void FrmChat::CmdChat_RightClick(int index) {
  EditIndex = index;
  txtbutton->setText(QuickChatTexts[index].isEmpty() ? QString(kButtonPrompt) : QuickChatTexts[index]);
  const QRect b = CmdChat[index]->geometry();
  const int twips = parts_.screen.TwipsPerPixel(), w = width() * 3 / 5;
  txtbutton->setGeometry(qMin(b.x() + 200 / twips, width() - w), qMax(0, b.y() - 300 / twips), w, b.height() + 4);
  txtbutton->show();
  txtbutton->raise();
  txtbutton->setFocus();
  txtbutton->selectAll();
}

void FrmChat::txtbutton_Enter() {
  if (EditIndex < 1 || EditIndex > kQuickChatButtons) return;
  QuickChatTexts[EditIndex] = txtbutton->text();
  SetButtonTip(EditIndex);
  txtbutton->hide();
}

void FrmChat::LstWavs_Click(int row) {
  IconShow(false);
  const bool open = !LstWavs->isHidden();
  if (!open || row < 0 || row >= LstWavs->count()) return;
  LstWavs->hide();
  const QString name = LstWavs->item(row)->text();
  if (name == QLatin1String(kAddSound)) return Add_Sounds();
  if (name == QLatin1String(kSelectSound)) return;
  Text2->setText("WAV " + name);
  if (name.compare(QLatin1String("SLAP"), Qt::CaseInsensitive) == 0) {
    Text2->setText(QStringLiteral("<SLAP>"));
    if (parts_.sound) parts_.sound->Play(ResolveSound(parts_.UserPath, kSlapSound));
  }
  WavFile = name + ".wav";
  if (parts_.settingUp && parts_.settingUp()) {
    if (parts_.sound) parts_.sound->Play(ResolveSound(parts_.UserPath, WavFile));
  } else {
    emit sendClicked();
  }
}

void FrmChat::LstWavs_Delete(int row) {
  if (row < 0 || row >= LstWavs->count() || LstWavs->item(row)->data(Qt::UserRole).toInt() != 1 || !parts_.ui) return;
  const QString name = LstWavs->item(row)->text();
  if (name.compare(QLatin1String("cash_register"), Qt::CaseInsensitive) == 0 ||
      name.compare(QLatin1String("slap"), Qt::CaseInsensitive) == 0) {
    parts_.ui->MsgBox(kBuiltInSoundText, platform::vbInformation, kDeleteWavTitle);
    return;
  }
  if (parts_.ui->MsgBox(kDeleteQuestion + name, platform::vbYesNo | platform::vbDefaultButton2, kDeleteTitle) ==
      platform::vbNo)
    return;
  // The listed name came from the folder itself; it is still checked as a bare name.
  const QString file = ResolveSound(parts_.UserPath, name + ".wav");
  if (!file.isEmpty()) {
    QFile::setPermissions(file, QFile::permissions(file) | QFile::WriteOwner);
    QFile::remove(file);
  }
  GetSoundList();
}

void FrmChat::Add_Sounds() {
  if (!parts_.ui) return;
  const auto chosen = parts_.ui->GetOpenFileName(
      {QStringLiteral("Import Wav Sound"), parts_.DocsPath, QStringLiteral("Sounds (*.wav)|*.wav")});
  if (!chosen || chosen->path.isEmpty()) return;
  if (!QDir().mkpath(SoundsFolder())) return;
  const QString target = QDir(SoundsFolder()).filePath(QFileInfo(chosen->path).fileName());
  // A file chosen from the Sounds folder itself stays where it is.
  if (QFileInfo(target).canonicalFilePath() != QFileInfo(chosen->path).canonicalFilePath()) {
    // A copy that fails leaves the sound of that name as it was.
    if (const QString problem = platform::CopyWholeFile(chosen->path, target, true); !problem.isEmpty())
      parts_.ui->MsgBox("The sound could not be copied to " + target + ": " + problem, platform::vbExclamation,
                        QString());
  }
  GetSoundList();
}

void FrmChat::LstIcons_Click(int row) {
  LstIcons->hide();
  if (row < 1 || row >= IconFiles.size()) return;
  IconShow(true, parts_.UserPath + kIconsFolder + "/" + IconFiles[row]);
  IconChosen = true;
  Text2->setFocus();
}

void FrmChat::cmdOnTop_Click() {
  keepOnTop_.SetOnTop(PinToggle);
  keepOnTop_.TopForm(this);
  cmdOnTop->setIcon(imgPin[PinToggle ? 0 : 1]);
  PinToggle = !PinToggle;
}

void FrmChat::cmdSize_Click() {
  if (!SizeToggle) {
    beforeShrink_.clear();
    for (QWidget* w : findChildren<QWidget*>()) beforeShrink_.push_back({w, w->geometry(), w->font()});
    sizeBeforeShrink_ = size();
  }
  scaling_.ScaleForm(*this, table::kScaleToggle, SizeToggle ? table::kSizeLarger : table::kSizeSmaller, 0, 0);
  if (SizeToggle && !beforeShrink_.empty()) {
    for (const Placed& p : beforeShrink_) {
      p.widget->setGeometry(p.geometry);
      p.widget->setFont(p.font);
    }
    resize(sizeBeforeShrink_);
    beforeShrink_.clear();
  }
  LayoutInput();
  ArrangeChatButtons();
  table::PlaceFormLines(*this, lines_, parts_.screen.TwipsPerPixel());
  SizeToggle = !SizeToggle;
}

void FrmChat::ShowBackground(const QImage& picture, std::uint32_t MatColor) {
  QPalette palette = this->palette();
  const QColor mat(MatColor & 0xFF, (MatColor >> 8) & 0xFF, (MatColor >> 16) & 0xFF);
  palette.setBrush(QPalette::Window, picture.isNull() ? QBrush(mat) : QBrush(QPixmap::fromImage(picture)));
  setPalette(palette);
  setAutoFillBackground(true);
}

void FrmChat::cmdText_Click(int index) {
  for (QWidget* w : {static_cast<QWidget*>(Text1), static_cast<QWidget*>(Text2)}) {
    QFont font = w->font();
    font.setPointSizeF(qMax(4.0, font.pointSizeF() + (index == 0 ? 2 : -2)));
    w->setFont(font);
  }
}

void FrmChat::imgHelp_Click() {
  if (parts_.ShowHelpKeyword) parts_.ShowHelpKeyword(QString::fromLatin1(kChatHelpKeyword));
}

QString& FrmChat::Avatar() { return parts_.OpponentAvatar ? *parts_.OpponentAvatar : ownAvatar_; }

void FrmChat::ScaleAvatar(const QString& Name) {
  // The name comes from the opponent's record: only a bare name is looked up.
  if (!BareFileName(Name)) return;
  const QString path = Name == QLatin1String(kDefaultAvatar) ? parts_.AppPath + "Data/" + kAvatarsDir + "/" + Name
                                                             : AvatarsFolder() + "/" + Name;
  const QPixmap picture(path);
  if (picture.isNull()) return;
  const QSize fitted = picture.size().scaled(avatarBox_.size(), Qt::KeepAspectRatio);
  ImgAvatar->setPixmap(picture.scaled(fitted, Qt::KeepAspectRatio, Qt::SmoothTransformation));
  ImgAvatar->setGeometry(avatarBox_.x() + (avatarBox_.width() - fitted.width()) / 2, avatarBox_.y(), fitted.width(),
                         fitted.height());
  ImgAvatar->show();
  shownAvatar_ = path;
  PlaceSlap();
}

void FrmChat::Add_Avatars() {
  if (!parts_.ui) return;
  const QString folder = AvatarsFolder();
  if (!QDir().mkpath(folder)) return;
  QString& avatar = Avatar();
  const auto chosen = parts_.ui->GetOpenFileName({kAvatarTitle, folder, table::kPictureFilter});
  if (chosen && !chosen->path.isEmpty()) {
    const QFileInfo source(chosen->path);
    QString name = source.fileName();
    const bool inFolder = source.absoluteDir().canonicalPath() == QDir(folder).canonicalPath();
    // A name longer than the record's field would be cut there and not be
    // found again: such a picture is copied under a name that fits.
    if (!inFolder || name.size() > kAvatarNameLimit) {
      name = AvatarImportName(folder, name);
      const QString target = folder + "/" + name;
      if (QFileInfo(target).canonicalFilePath() != source.canonicalFilePath()) {
        if (const QString problem = platform::CopyWholeFile(source.absoluteFilePath(), target, true);
            !problem.isEmpty()) {
          if (parts_.ui)
            parts_.ui->MsgBox("The picture could not be copied to " + target + ": " + problem, platform::vbExclamation,
                              QString());
          return;
        }
      }
    }
    avatar = name;
  }
  if (avatar.isEmpty() || avatar == QLatin1String(kDefaultAvatar)) return;
  if (!BareFileName(avatar) || !QFileInfo(folder + "/" + avatar).isFile()) {
    avatar = kDefaultAvatar;
    ScaleAvatar(avatar);
    return;
  }
  ScaleAvatar(avatar);
  if (parts_.KeepAvatar) parts_.KeepAvatar(avatar);
}

void FrmChat::AvatarSlap() {
  PlaceSlap();
  imgSlap->show();
  imgSlap->raise();
  if (parts_.sound) parts_.sound->Play(ResolveSound(parts_.UserPath, kSlapSound));
}

void FrmChat::ImgAvatar_MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift) {
  if (button == Qt::RightButton) return Add_Avatars();
  if (shift == Qt::ControlModifier) {
    Avatar() = kDefaultAvatar;
    ScaleAvatar(kDefaultAvatar);
    return;
  }
  AvatarSlap();
}

void FrmChat::imgSlap_Click() {
  imgSlap->hide();
  if (parts_.sound) parts_.sound->Play(parts_.DataPath + kSlapGoneSound);
}

bool FrmChat::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (watched == ImgAvatar) {
      ImgAvatar_MouseUp(mouse->button(), mouse->modifiers());
      return true;
    }
    if (watched == imgSlap && mouse->button() == Qt::LeftButton) {
      imgSlap_Click();
      return true;
    }
    if (watched == imgHelp && mouse->button() == Qt::LeftButton) {
      imgHelp_Click();
      return true;
    }
  }
  // Presses on the pictures are theirs, not the start of a drag.
  if (event->type() == QEvent::MouseButtonPress && (watched == ImgAvatar || watched == imgSlap || watched == imgHelp))
    return true;
  if (watched == LstWavs && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
    LstWavs_Delete(LstWavs->currentRow());
    return true;
  }
  if (watched == Text2 && event->type() == QEvent::MouseButtonPress) {
    LstWavs->hide();
    txtbutton->hide();
  }
  if (watched == Text2 && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Backspace && Text2->text().isEmpty() && IconChosen) IconShow(false);
  }
  if (watched == lblChat && event->type() == QEvent::MouseButtonPress &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && windowHandle())
    windowHandle()->startSystemMove();
  return QWidget::eventFilter(watched, event);
}

void FrmChat::keyPressEvent(QKeyEvent* event) {
  const bool tableKey = (event->key() == Qt::Key_F9 || event->key() == Qt::Key_F12) &&
                        !(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier));
  if (tableKey && parentWidget()) {
    QKeyEvent copy(event->type(), event->key(), event->modifiers(), event->nativeScanCode(), event->nativeVirtualKey(),
                   event->nativeModifiers(), event->text());
    QCoreApplication::sendEvent(parentWidget(), &copy);
    return;
  }
  QWidget::keyPressEvent(event);
}

void FrmChat::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && windowHandle()) windowHandle()->startSystemMove();
  QWidget::mousePressEvent(event);
}

}  // namespace net
