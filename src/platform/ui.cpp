#include "platform/ui.h"

#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QWindow>
#include <optional>
#include <utility>
#include <vector>

#include "platform/vb.h"
#include "platform/wait.h"

namespace platform {

namespace {

using Buttons = std::vector<std::pair<QMessageBox::StandardButton, int>>;

Buttons ButtonsFor(int style) {
  switch (style & kButtonsMask) {
    case vbOKCancel: return {{QMessageBox::Ok, vbOK}, {QMessageBox::Cancel, vbCancel}};
    case vbAbortRetryIgnore:
      return {{QMessageBox::Abort, vbAbort}, {QMessageBox::Retry, vbRetry}, {QMessageBox::Ignore, vbIgnore}};
    case vbYesNoCancel: return {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}, {QMessageBox::Cancel, vbCancel}};
    case vbYesNo: return {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}};
    case vbRetryCancel: return {{QMessageBox::Retry, vbRetry}, {QMessageBox::Cancel, vbCancel}};
    default: return {{QMessageBox::Ok, vbOK}};
  }
}

QMessageBox::Icon IconFor(int style) {
  switch (style & kIconMask) {
    case vbCritical: return QMessageBox::Critical;
    case vbQuestion: return QMessageBox::Question;
    case vbExclamation: return QMessageBox::Warning;
    case vbInformation: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

// The answer when the box is closed without a button: Cancel where there
// is one, else the answer that changes nothing (No, Abort, OK).
int ClosedAnswer(const Buttons& buttons) {
  for (const auto& b : buttons)
    if (b.second == vbCancel) return vbCancel;
  for (const auto& b : buttons)
    if (b.second == vbNo) return vbNo;
  return buttons.front().second;
}

// The program's texts break lines with CR LF.
QString PlainLines(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(u'\r', u'\n');
  return text;
}

// The box is wide enough for its whole title, in a bold face beside the
// title bar's icon and buttons.
void RoomForTitle(QMessageBox& box, const QString& title) {
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (!grid) return;
  QFont titleFont = box.font();
  titleFont.setBold(true);
  constexpr int kTitleBarRoom = 120;  // the icon, three buttons and the frame
  const int width = QFontMetrics(titleFont).horizontalAdvance(title) + kTitleBarRoom;
  grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                grid->columnCount());
}

// A box about a text field of its owner (the slot marked for deletion, a
// name typed) stands just below that field, centred on the owner, or above
// it where the screen has no room below: centred, it could hide the field.
void KeepFieldInSight(QMessageBox& box, QWidget* owner) {
  if (!owner || !owner->isVisible()) return;
  QWidget* field = owner->window()->focusWidget();
  if (!qobject_cast<QLineEdit*>(field) && !qobject_cast<QComboBox*>(field)) return;
  if (!field->isVisible()) return;
  box.adjustSize();
  const QRect fieldRect(field->mapToGlobal(QPoint(0, 0)), field->size());
  QRect boxRect(QPoint(0, 0), box.size());
  boxRect.moveCenter(owner->window()->frameGeometry().center());
  constexpr int kGap = 8;
  boxRect.moveTop(fieldRect.bottom() + kGap);
  if (const QScreen* screen = owner->screen(); screen && boxRect.bottom() > screen->availableGeometry().bottom())
    boxRect.moveBottom(fieldRect.top() - kGap);
  box.move(boxRect.topLeft());
}

// The box stands over every window of the program. Some of them are kept
// above every other window of the desktop (the chat window, the tableau
// cards, the tutorial); a box made like any other dialog would open beneath
// them. While one is shown, the box is kept above too, so that being the
// newest it opens over them, and it belongs to that window, so that the
// window manager raises the box with it when a click raises the window.
void StandOverProgram(QWidget& box) {
  QWidget* kept = nullptr;
  for (QWidget* window : QApplication::topLevelWidgets())
    if (window != &box && window->isVisible() && window->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
      kept = window;
  if (!kept) return;
  box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
  box.winId();
  if (QWindow* handle = box.windowHandle()) handle->setTransientParent(kept->windowHandle());
}

}  // namespace

QWidget* QtUi::BoxOwner() const {
  if (QWidget* owner = Owner(); owner && owner->isVisible()) return owner;
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  return parent_;
}

int QtUi::MsgBox(const QString& text, int style, const QString& title) {
  QMessageBox box(BoxOwner());
  box.setWindowTitle(title);
  // Texts may carry a peer's or a player's words: never read them as markup.
  box.setTextFormat(Qt::PlainText);
  box.setText(PlainLines(text));
  box.setIcon(IconFor(style));

  const Buttons buttons = ButtonsFor(style);
  std::vector<QAbstractButton*> made;
  for (const auto& b : buttons) made.push_back(box.addButton(b.first));
  std::size_t defaultIndex = 0;
  if (style & vbDefaultButton3)
    defaultIndex = 2;
  else if (style & vbDefaultButton2)
    defaultIndex = 1;
  if (defaultIndex >= made.size()) defaultIndex = 0;
  box.setDefaultButton(qobject_cast<QPushButton*>(made[defaultIndex]));
  RoomForTitle(box, title);
  KeepFieldInSight(box, BoxOwner());
  StandOverProgram(box);

  {
    std::optional<WaitService::ModalWait> waiting;
    if (wait_) waiting.emplace(*wait_);
    box.exec();
  }
  QAbstractButton* clicked = box.clickedButton();
  for (std::size_t i = 0; i < made.size(); ++i)
    if (made[i] == clicked) return buttons[i].second;
  return ClosedAnswer(buttons);
}

std::optional<QString> QtUi::InputBox(const QString& prompt, const QString& title, const QString& defaultText) {
  QInputDialog dialog(BoxOwner());
  dialog.setWindowTitle(title);
  dialog.setInputMode(QInputDialog::TextInput);
  dialog.setLabelText(PlainLines(prompt));
  dialog.setTextValue(defaultText);
  StandOverProgram(dialog);
  int result = QDialog::Rejected;
  {
    std::optional<WaitService::ModalWait> waiting;
    if (wait_) waiting.emplace(*wait_);
    result = dialog.exec();
  }
  if (result != QDialog::Accepted) return std::nullopt;
  return dialog.textValue();
}

void QtUi::Beep() { QApplication::beep(); }

QString ProblemText(long long number, const QString& detail) {
  return "Here's the problem:\r\nError " + vb::Str(number) + "\r\n" + detail;
}

QString QtFileFilter(const QString& windowsFilter) {
  const QStringList parts = windowsFilter.split('|');
  QStringList lines;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString name = parts[i];
    const int paren = name.indexOf('(');
    if (paren > 0) name = name.left(paren);
    name = name.trimmed();
    QStringList patterns;
    for (const QString& p : parts[i + 1].split(';', Qt::SkipEmptyParts)) {
      const QString pattern = p.trimmed();
      if (pattern.isEmpty()) continue;
      for (const QString& variant : {pattern.toLower(), pattern.toUpper()})
        if (!patterns.contains(variant)) patterns << variant;
    }
    if (!patterns.isEmpty()) lines << name + " (" + patterns.join(' ') + ")";
  }
  return lines.join(QStringLiteral(";;"));
}

std::optional<ChosenFile> QtUi::GetOpenFileName(const OpenFileRequest& request) {
  QFileDialog dialog(BoxOwner(), request.title, request.initialFolder, QtFileFilter(request.filter));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  StandOverProgram(dialog);
  int result = QDialog::Rejected;
  {
    std::optional<WaitService::ModalWait> waiting;
    if (wait_) waiting.emplace(*wait_);
    result = dialog.exec();
  }
  const QStringList chosen = dialog.selectedFiles();
  if (result != QDialog::Accepted || chosen.isEmpty() || chosen.front().isEmpty()) return std::nullopt;
  const QString path = chosen.front();
  return ChosenFile{path, QFileInfo(path).fileName()};
}

std::optional<unsigned> QtUi::ChooseColor(unsigned initial) {
  const QColor start(initial & 0xFF, (initial >> 8) & 0xFF, (initial >> 16) & 0xFF);
  QColorDialog dialog(start, BoxOwner());
  StandOverProgram(dialog);
  int result = QDialog::Rejected;
  {
    std::optional<WaitService::ModalWait> waiting;
    if (wait_) waiting.emplace(*wait_);
    result = dialog.exec();
  }
  const QColor chosen = dialog.selectedColor();
  if (result != QDialog::Accepted || !chosen.isValid()) return std::nullopt;
  return static_cast<unsigned>(chosen.red()) | (static_cast<unsigned>(chosen.green()) << 8) |
         (static_cast<unsigned>(chosen.blue()) << 16);
}

int SilentUi::MsgBox(const QString&, int style, const QString&) { return ClosedAnswer(ButtonsFor(style)); }

std::optional<QString> SilentUi::InputBox(const QString&, const QString&, const QString&) { return std::nullopt; }

void SilentUi::Beep() {}

std::optional<ChosenFile> SilentUi::GetOpenFileName(const OpenFileRequest&) { return std::nullopt; }

std::optional<unsigned> SilentUi::ChooseColor(unsigned) { return std::nullopt; }

void DismissModalDialogs() {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    auto* dialog = qobject_cast<QDialog*>(window);
    if (dialog && dialog->isVisible() && dialog->isModal()) dialog->reject();
  }
}

}  // namespace platform
