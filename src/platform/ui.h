#pragma once
// Message boxes and input boxes. The game asks through UiService; the Qt
// implementation shows real dialogs, SilentUi answers for tools that run
// unattended (the tests' FakeUi records what was asked and answers as a test
// scripts it, so a headless run never blocks).

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <deque>
#include <optional>
#include <vector>

namespace platform {

// Style bits as the program combines them: buttons + icon + default button.
enum MsgStyle : int {
  vbOKOnly = 0,
  vbOKCancel = 1,
  vbAbortRetryIgnore = 2,
  vbYesNoCancel = 3,
  vbYesNo = 4,
  vbRetryCancel = 5,
  vbCritical = 16,
  vbQuestion = 32,
  vbExclamation = 48,
  vbInformation = 64,
  vbDefaultButton2 = 256,
  vbDefaultButton3 = 512,
};

// Answers of a message box.
enum MsgResult : int {
  vbOK = 1,
  vbCancel = 2,
  vbAbort = 3,
  vbRetry = 4,
  vbIgnore = 5,
  vbYes = 6,
  vbNo = 7,
};

constexpr int kButtonsMask = 0x0F;

// An open-file chooser as the program asks for it. The filter is written
// the Windows way, "Name (*.a;*.b)|*.a;*.b" pairs joined by "|".
struct OpenFileRequest {
  QString title;
  QString initialFolder;
  QString filter;
};

// The file the user chose: its full path and its name alone.
struct ChosenFile {
  QString path;
  QString title;
};

// The filter in Qt's form, "Name (*.a *.A *.b *.B)" per line: file names on
// Linux keep their case, so each pattern is listed in both cases.
QString QtFileFilter(const QString& windowsFilter);
constexpr int kIconMask = 0xF0;

// The text of the program's error box: "Here's the problem:", then "Error "
// and the number as Str writes it (a blank before a positive number), then
// the detail on a line of its own.
QString ProblemText(long long number, const QString& detail);
// The number a file that cannot be written, copied or deleted reports.
constexpr int kFileAccessError = 75;

class UiService {
 public:
  virtual ~UiService() = default;
  // Shows a modal message box; returns the button pressed.
  virtual int MsgBox(const QString& text, int style, const QString& title) = 0;
  // Shows a modal input box; nullopt on Cancel or close.
  virtual std::optional<QString> InputBox(const QString& prompt, const QString& title, const QString& defaultText) = 0;
  // A short beep (the Windows "Beep").
  virtual void Beep() = 0;
  // Shows a modal open-file chooser for an existing file; nullopt when it
  // was cancelled.
  virtual std::optional<ChosenFile> GetOpenFileName(const OpenFileRequest& request) = 0;
  // The colour chooser, starting from `initial` (0x00BBGGRR); nullopt when
  // the user cancels.
  virtual std::optional<unsigned> ChooseColor(unsigned initial) = 0;

  // The window the boxes now speak for: they are owned by it and come up
  // over it. None: the main window.
  QWidget* Owner() const { return owner_; }
  // While it lives, boxes speak for `window`; then for the one before.
  class OwnedBy {
   public:
    OwnedBy(UiService& ui, QWidget* window) : ui_(ui), before_(ui.owner_) { ui_.owner_ = window; }
    ~OwnedBy() { ui_.owner_ = before_; }
    OwnedBy(const OwnedBy&) = delete;
    OwnedBy& operator=(const OwnedBy&) = delete;

   private:
    UiService& ui_;
    QPointer<QWidget> before_;
  };

 private:
  QPointer<QWidget> owner_;
};

class WaitService;

class QtUi : public UiService {
 public:
  explicit QtUi(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }
  // An open box counts as a wait of this service (none: it counts nowhere).
  void SetWaitService(WaitService* wait) { wait_ = wait; }
  int MsgBox(const QString& text, int style, const QString& title) override;
  std::optional<QString> InputBox(const QString& prompt, const QString& title, const QString& defaultText) override;
  void Beep() override;
  std::optional<ChosenFile> GetOpenFileName(const OpenFileRequest& request) override;
  std::optional<unsigned> ChooseColor(unsigned initial) override;

 private:
  // The box's owner: the window it speaks for, else an open modal dialog,
  // else the main window.
  QWidget* BoxOwner() const;

  QWidget* parent_;
  WaitService* wait_ = nullptr;
};

// For tools that run without anyone to answer: every box is answered as if
// it were closed unasked (Cancel where there is one, else No, else the first
// button), every chooser as cancelled, and nothing is shown or sounded.
class SilentUi : public UiService {
 public:
  int MsgBox(const QString& text, int style, const QString& title) override;
  std::optional<QString> InputBox(const QString& prompt, const QString& title, const QString& defaultText) override;
  void Beep() override;
  std::optional<ChosenFile> GetOpenFileName(const OpenFileRequest& request) override;
  std::optional<unsigned> ChooseColor(unsigned initial) override;
};

// Closes every open modal box and dialog as its close button would, so
// that whatever waits for an answer goes on (a program told to end).
void DismissModalDialogs();

}  // namespace platform
