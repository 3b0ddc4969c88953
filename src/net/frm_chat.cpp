#include "net/frm_chat.h"

#include "net/chat_lines.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QVBoxLayout>

namespace net {

namespace {

// The log keeps the program's CR LF line ends; the view shows plain breaks.
QString ForView(QString text) { return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

}  // namespace

FrmChat::FrmChat(QWidget* parent) : QWidget(parent, Qt::Tool) {
  setWindowTitle(kChatCaption);
  setAttribute(Qt::WA_DeleteOnClose, false);
  Text1 = new QPlainTextEdit(this);
  Text1->setReadOnly(true);
  Text2 = new QLineEdit(this);
  Text2->setMaxLength(kChatInputLimit);
  Command1 = new QPushButton(QStringLiteral("Send"), this);
  Command1->setEnabled(false);
  auto* input = new QHBoxLayout;
  input->addWidget(Text2, 1);
  input->addWidget(Command1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Text1, 1);
  layout->addLayout(input);
  resize(360, 300);
  connect(Command1, &QPushButton::clicked, this, &FrmChat::sendClicked);
  connect(Text2, &QLineEdit::returnPressed, this, [this] {
    if (Command1->isEnabled()) emit sendClicked();
  });
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
}

}  // namespace net
