#include "platform/ui.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
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
  const int answer =
      ui.MsgBox("Save the game?\r\n<b>now</b>", vbYesNoCancel | vbQuestion | vbDefaultButton2, "Marrowdale");
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

// A window the program keeps above the desktop's others, as the chat window
// is, must never cover a box: every box and chooser opens kept on top too and
// belongs to that window, so the window manager raises the box with it.
TEST(QtUiTest, BoxesAndChoosersStandOverAWindowKeptOnTop) {
  QWidget main;
  main.show();
  QtUi ui(&main);
  QWidget chat(&main, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
  chat.show();

  struct Seen {
    bool shown = false, onTop = false;
    QWindow* belongsTo = nullptr;
  };
  const auto look = [](Seen& seen) {
    return [&seen](QDialog* d) {
      seen = {true, d->windowFlags().testFlag(Qt::WindowStaysOnTopHint),
              d->windowHandle() ? d->windowHandle()->transientParent() : nullptr};
      d->reject();
    };
  };
  Seen box, input, file, colour;
  {
    DialogDriver<QDialog> driver(look(box));
    ui.MsgBox("A new opponent tried to join this game.", vbInformation, "Connection Request Denied");
  }
  {
    DialogDriver<QInputDialog> driver(look(input));
    ui.InputBox("Your name:", "Players", "Guest");
  }
  {
    DialogDriver<QFileDialog> driver(look(file));
    EXPECT_EQ(ui.GetOpenFileName({"ADD Background Picture", QDir::tempPath(), "Pictures (*.png)|*.png"}), std::nullopt);
  }
  {
    DialogDriver<QColorDialog> driver(look(colour));
    EXPECT_EQ(ui.ChooseColor(0x00FF00), std::nullopt);
  }
  for (const Seen* seen : {&box, &input, &file, &colour}) {
    ASSERT_TRUE(seen->shown);
    EXPECT_TRUE(seen->onTop);
    EXPECT_EQ(seen->belongsTo, chat.windowHandle());
  }

  // With no such window shown, a box stays in the desktop's normal order,
  // over its owner.
  chat.hide();
  Seen plain;
  {
    DialogDriver<QDialog> driver(look(plain));
    ui.MsgBox("The other player quit the game.", vbCritical, "Marrowdale");
  }
  ASSERT_TRUE(plain.shown);
  EXPECT_FALSE(plain.onTop);
  EXPECT_EQ(plain.belongsTo, main.windowHandle());
}

TEST(QtFileFilterTest, ListsEachPatternInBothCases) {
  EXPECT_EQ(platform::QtFileFilter("Music (*.mp3;*.mid;*.wav)|*.mp3;*.mid;*.wav"),
            "Music (*.mp3 *.MP3 *.mid *.MID *.wav *.WAV)");
  EXPECT_EQ(platform::QtFileFilter("Pictures (*.png)|*.Png|All|*.*"), "Pictures (*.png *.PNG);;All (*.*)");
  EXPECT_EQ(platform::QtFileFilter(""), "");
}
