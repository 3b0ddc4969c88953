#include "net/frm_chat.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

#include "platform/recordfile.h"
#include "platform/sound.h"
#include "platform/ui.h"
#include "platform/vb.h"

namespace net {

namespace {

// The log keeps the program's CR LF line ends; the view shows plain breaks.
QString ForView(QString text) { return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

constexpr int kWidth = 400;
constexpr int kStrip = 24;
constexpr int kButtonW = 76;
constexpr int kButtonH = 22;

QPushButton* StripButton(QWidget* parent, const QString& text, const QString& tip, int x) {
  auto* b = new QPushButton(text, parent);
  b->setToolTip(tip);
  b->setGeometry(x, 1, 26, kStrip - 2);
  b->setFocusPolicy(Qt::NoFocus);
  return b;
}

}  // namespace

FrmChat::FrmChat(FrmChatParts parts, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint), parts_(std::move(parts)) {
  setWindowTitle(kChatCaption);
  setObjectName("frmChat");
  setAttribute(Qt::WA_DeleteOnClose, false);
  resize(kWidth, 372);

  lblChat = new QLabel(QStringLiteral(" Chat"), this);
  lblChat->setGeometry(0, 0, kWidth - 6 * 27, kStrip);
  lblChat->installEventFilter(this);
  int x = kWidth - 6 * 27;
  cmdText[0] = StripButton(this, "A+", "Larger text", x);
  cmdText[1] = StripButton(this, "A-", "Smaller text", x += 27);
  cmdIcon = StripButton(this, ":)", "Icons", x += 27);
  cmdShowSounds = StripButton(this, "\u266A", "Sounds", x += 27);
  cmdSize = StripButton(this, "\u25A3", "Window size", x += 27);
  cmdOnTop = StripButton(this, "\u25CF", "Keep on top", x += 27);

  Text1 = new QPlainTextEdit(this);
  Text1->setReadOnly(true);
  Text1->setGeometry(6, kStrip + 2, kWidth - 12, 180);

  for (int i = 1; i <= kQuickChatButtons; ++i) {
    auto* b = new QPushButton(QString::number(i), this);
    b->setGeometry(6 + ((i - 1) % 5) * (kButtonW + 2), 212 + ((i - 1) / 5) * (kButtonH + 2), kButtonW, kButtonH);
    b->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(b, &QPushButton::clicked, this, [this, i] { CmdChat_Click(i); });
    connect(b, &QPushButton::customContextMenuRequested, this, [this, i] { CmdChat_RightClick(i); });
    CmdChat[i] = b;
  }
  txtbutton = new QLineEdit(this);
  txtbutton->hide();
  connect(txtbutton, &QLineEdit::returnPressed, this, &FrmChat::txtbutton_Enter);

  Picture1 = new QWidget(this);
  Picture1->setGeometry(6, 312, kWidth - 80, 28);
  imgIcon = new QLabel(Picture1);
  imgIcon->setGeometry(2, 2, 24, 24);
  imgIcon->setScaledContents(true);
  imgIcon->hide();
  Text2 = new QLineEdit(Picture1);
  Text2->setMaxLength(kChatInputLimit);
  Text2->installEventFilter(this);
  Command1 = new QPushButton(QStringLiteral("Send"), this);
  Command1->setGeometry(kWidth - 70, 312, 64, 28);
  Command1->setEnabled(false);
  IconShow(false);

  LstWavs = new QListWidget(this);
  LstWavs->setGeometry(kWidth - 200, kStrip, 190, 180);
  LstWavs->hide();
  LstWavs->installEventFilter(this);
  LstIcons = new QListWidget(this);
  LstIcons->setGeometry(kWidth - 200, kStrip, 190, 180);
  LstIcons->hide();
  connect(LstWavs, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { LstWavs_Click(LstWavs->row(item)); });
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
    LstIcons->setFocus();
  });
  connect(cmdShowSounds, &QPushButton::clicked, this, [this] {
    LstIcons->hide();
    LstWavs->show();
    LstWavs->setFocus();
  });
  connect(cmdSize, &QPushButton::clicked, this, &FrmChat::cmdSize_Click);
  connect(cmdOnTop, &QPushButton::clicked, this, &FrmChat::cmdOnTop_Click);

  LoadQuickChat();
  keepOnTop_.SetOnTop(true);
  keepOnTop_.TopForm(this);
  GetSoundList();
  GetIconList();
}

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

void FrmChat::FocusLogEnd() {
  Text1->setFocus();
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
  const int full = Picture1->width() - 4;
  if (show) {
    const QPixmap picture(path);
    if (picture.isNull()) return;
    imgIcon->setPixmap(picture);
    Text2->setGeometry(imgIcon->width() + 4, 2, full - imgIcon->width() - 2, 24);
    imgIcon->show();
    return;
  }
  Text2->setGeometry(2, 2, full, 24);
  imgIcon->hide();
  IconChosen = false;
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
  txtbutton->setGeometry(qMin(b.x() + 13, width() - 200), qMax(0, b.y() - 20), 200, 22);
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
    QFile::remove(target);
    QFile::copy(chosen->path, target);
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
  cmdOnTop->setText(PinToggle ? QStringLiteral("\u25CF") : QStringLiteral("\u25CB"));
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

bool FrmChat::eventFilter(QObject* watched, QEvent* event) {
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

void FrmChat::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && windowHandle()) windowHandle()->startSystemMove();
  QWidget::mousePressEvent(event);
}

}  // namespace net
