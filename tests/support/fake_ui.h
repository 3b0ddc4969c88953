#pragma once
// The message boxes of the tests: nothing is shown, so a headless run never
// blocks.

#include <QPointer>
#include <QString>
#include <QWidget>
#include <deque>
#include <optional>
#include <vector>

#include "platform/ui.h"

namespace platform {

// Records every box; answers from a script, else OK/Yes for message boxes
// (the first button) and Cancel for input boxes and file choosers.
class FakeUi : public UiService {
 public:
  struct Box {
    QString text;
    QString title;
    int style = 0;
    QPointer<QWidget> owner;  // the window it spoke for; none: the main window
    int icon() const { return style & kIconMask; }
    int buttons() const { return style & kButtonsMask; }
  };
  struct Input {
    QString prompt;
    QString title;
    QString defaultText;
  };

  int MsgBox(const QString& text, int style, const QString& title) override {
    boxes.push_back({text, title, style, Owner()});
    if (!answers.empty()) {
      int a = answers.front();
      answers.pop_front();
      return a;
    }
    switch (style & kButtonsMask) {
      case vbOKOnly:
      case vbOKCancel: return vbOK;
      case vbAbortRetryIgnore: return vbAbort;
      case vbYesNoCancel:
      case vbYesNo: return vbYes;
      case vbRetryCancel: return vbRetry;
      default: return vbOK;
    }
  }
  std::optional<QString> InputBox(const QString& prompt, const QString& title, const QString& defaultText) override {
    prompts.push_back({prompt, title, defaultText});
    std::optional<QString> answer;
    if (!inputs.empty()) {
      answer = std::move(inputs.front());
      inputs.pop_front();
    }
    return answer;
  }
  void Beep() override { ++beeps; }
  std::optional<ChosenFile> GetOpenFileName(const OpenFileRequest& request) override {
    fileRequests.push_back(request);
    std::optional<ChosenFile> answer;
    if (!files.empty()) {
      answer = std::move(files.front());
      files.pop_front();
    }
    return answer;
  }

  // Answers from colorAnswers; none queued: cancelled.
  std::optional<unsigned> ChooseColor(unsigned initial) override {
    colorsAsked.push_back(initial);
    if (colorAnswers.empty()) return std::nullopt;
    auto answer = colorAnswers.front();
    colorAnswers.pop_front();
    return answer;
  }
  void QueueAnswer(int answer) { answers.push_back(answer); }
  void QueueInput(std::optional<QString> text) { inputs.push_back(std::move(text)); }

  std::vector<Box> boxes;
  std::vector<Input> prompts;
  int beeps = 0;
  std::deque<int> answers;
  std::deque<std::optional<QString>> inputs;
  std::vector<OpenFileRequest> fileRequests;
  std::deque<std::optional<ChosenFile>> files;
  std::vector<unsigned> colorsAsked;
  std::deque<std::optional<unsigned>> colorAnswers;
};

}  // namespace platform
