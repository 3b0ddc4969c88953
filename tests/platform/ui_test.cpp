#include "platform/ui.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>

using namespace platform;

namespace {

// Runs `act` on the first modal dialog of type T that appears, so that a
// real box can be inspected and answered without a user. Should the box
// never appear as expected, every dialog is rejected after a while so that
// the test fails instead of hanging.
template <typename T>
class DialogDriver {
 public:
  explicit DialogDriver(std::function<void(T*)> act) : act_(std::move(act)) {
    poll_.setInterval(5);
    QObject::connect(&poll_, &QTimer::timeout, [this] {
      for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* d = qobject_cast<T*>(w); d && d->isVisible()) {
          poll_.stop();
          seen = true;
          act_(d);
          return;
        }
      }
    });
    poll_.start();
    guard_.setSingleShot(true);
    QObject::connect(&guard_, &QTimer::timeout, [] {
      for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible()) d->reject();
    });
    guard_.start(10'000);
  }
  bool seen = false;

 private:
  std::function<void(T*)> act_;
  QTimer poll_, guard_;
};

}  // namespace

TEST(QtUiTest, MessageBoxShowsTheStyleAndReturnsTheButtonPressed) {
  QtUi ui;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QString title, text;
  QMessageBox::StandardButtons buttons;
  QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
  DialogDriver<QMessageBox> driver([&](QMessageBox* box) {
    icon = box->icon();
    title = box->windowTitle();
    text = box->text();
    buttons = box->standardButtons();
    defaultButton = box->standardButton(box->defaultButton());
    box->button(QMessageBox::No)->click();
  });
  const int answer = ui.MsgBox("Save the game?\r\n<b>now</b>", vbYesNoCancel | vbQuestion | vbDefaultButton2,
                               "Marrowdale");
  ASSERT_TRUE(driver.seen);
  EXPECT_EQ(answer, vbNo);
  EXPECT_EQ(icon, QMessageBox::Question);
  EXPECT_EQ(title, "Marrowdale");
  EXPECT_EQ(text, "Save the game?\n<b>now</b>");
  EXPECT_EQ(buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  EXPECT_EQ(defaultButton, QMessageBox::No);
}

TEST(QtUiTest, MessageBoxDefaultsAndButtonSets) {
  struct Case {
    int style;
    QMessageBox::Icon icon;
    QMessageBox::StandardButton expectedDefault;
    QMessageBox::StandardButton press;
    int answer;
  };
  const Case cases[] = {
      {vbOKOnly, QMessageBox::NoIcon, QMessageBox::Ok, QMessageBox::Ok, vbOK},
      {vbOKCancel | vbCritical, QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Cancel, vbCancel},
      {vbAbortRetryIgnore | vbExclamation | vbDefaultButton3, QMessageBox::Warning, QMessageBox::Ignore,
       QMessageBox::Retry, vbRetry},
      {vbYesNo | vbInformation, QMessageBox::Information, QMessageBox::Yes, QMessageBox::Yes, vbYes},
      {vbRetryCancel | vbDefaultButton3, QMessageBox::NoIcon, QMessageBox::Retry, QMessageBox::Cancel, vbCancel},
  };
  QtUi ui;
  for (const Case& c : cases) {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButton def = QMessageBox::NoButton;
    DialogDriver<QMessageBox> driver([&](QMessageBox* box) {
      icon = box->icon();
      def = box->standardButton(box->defaultButton());
      box->button(c.press)->click();
    });
    EXPECT_EQ(ui.MsgBox("text", c.style, "t"), c.answer) << c.style;
    EXPECT_EQ(icon, c.icon) << c.style;
    EXPECT_EQ(def, c.expectedDefault) << c.style;
  }
}

TEST(QtUiTest, ClosingABoxWithoutAButtonChangesNothing) {
  QtUi ui;
  DialogDriver<QMessageBox> yesNo([](QMessageBox* box) { box->reject(); });
  EXPECT_EQ(ui.MsgBox("Overwrite?", vbYesNo, "t"), vbNo);
  DialogDriver<QMessageBox> okCancel([](QMessageBox* box) { box->reject(); });
  EXPECT_EQ(ui.MsgBox("Go on?", vbOKCancel, "t"), vbCancel);
}

TEST(QtUiTest, InputBoxReturnsTheTextOrNothingOnCancel) {
  QtUi ui;
  QString label, shown;
  DialogDriver<QInputDialog> typed([&](QInputDialog* d) {
    label = d->labelText();
    shown = d->textValue();
    d->setTextValue("Robin");
    d->accept();
  });
  EXPECT_EQ(ui.InputBox("Your name:", "Players", "Guest"), std::optional<QString>("Robin"));
  EXPECT_EQ(label, "Your name:");
  EXPECT_EQ(shown, "Guest");

  DialogDriver<QInputDialog> cancelled([](QInputDialog* d) { d->reject(); });
  EXPECT_EQ(ui.InputBox("Your name:", "Players", "Guest"), std::nullopt);
}

TEST(QtFileFilterTest, ListsEachPatternInBothCases) {
  EXPECT_EQ(platform::QtFileFilter("Music (*.mp3;*.mid;*.wav)|*.mp3;*.mid;*.wav"),
            "Music (*.mp3 *.MP3 *.mid *.MID *.wav *.WAV)");
  EXPECT_EQ(platform::QtFileFilter("Pictures (*.png)|*.Png|All|*.*"), "Pictures (*.png *.PNG);;All (*.*)");
  EXPECT_EQ(platform::QtFileFilter(""), "");
}
