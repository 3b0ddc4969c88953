#pragma once
// The chat window as it stands for now: the running log, the input line
// and the Send button. It only shows the connection; the connection object
// owns the sockets and releases this window with deleteLater.

#include <QWidget>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace net {

inline constexpr char kChatCaption[] = "Marrowdale Chat";

class FrmChat : public QWidget {
  Q_OBJECT
 public:
  explicit FrmChat(QWidget* parent = nullptr);

  QPlainTextEdit* Text1 = nullptr;  // the chat log
  QLineEdit* Text2 = nullptr;       // the input line
  QPushButton* Command1 = nullptr;  // Send

  QString Log() const;
  void SetLog(const QString& text);
  // Appends the text as it stands (lines begin with their own CR LF) and
  // scrolls to the end.
  void AppendLog(const QString& text);
  // The log focused with the caret at its end.
  void FocusLogEnd();

 signals:
  void sendClicked();
};

}  // namespace net
