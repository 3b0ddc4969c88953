#pragma once
// The small windows of the menus: match set-up, speed settings and About.

#include <QLabel>
#include <QWidget>
#include <cstdint>
#include <optional>

class QLineEdit;
class QPushButton;
class QScrollBar;

namespace platform {
class SoundChannel;
class UiService;
}  // namespace platform
namespace play {
class PlayerChanges;
struct PlayerSettings;
struct ScoreState;
}  // namespace play

namespace dialogs {

// Esc and Enter as in every dialog of the desktop. The keys reach the
// window when the control with the focus has no use for them (an open list
// or a text box that takes Enter keeps its own); then Enter presses the
// push button with the focus, or else the default button, and Esc presses
// the window's Cancel, or its Close where it has no Cancel. A button that
// is hidden or disabled is not pressed.
void UseDialogKeys(QWidget& window, QPushButton* defaultButton, QPushButton* cancelButton);

// ---- Match set-up ----

enum class MatchPointsCheck { Accepted, TooLow, TooHigh };
struct MatchPointsResult {
  MatchPointsCheck check = MatchPointsCheck::TooLow;
  std::optional<std::int16_t> stored;  // the value MatchPoints takes before the range check
};
// The points typed into the match dialog: their numeric value as a whole
// number, stored when it fits 16 bits, then checked against 62..1000.
MatchPointsResult CheckMatchPoints(const QString& text);

inline constexpr char kMatchTooLowText[] =
    "That's less than the minimum possible points for winning just one game. Enter a number 62 or higher.";
inline constexpr char kMatchTooHighText[] =
    "Be realistic. Keep your number under 1001.\r\nEnter a number between 62 and 1000.";

class FrmMatch : public QWidget {
  Q_OBJECT
 public:
  // The match points are read and set in scores, its boxes go through ui,
  // and it stands over the table window.
  FrmMatch(play::ScoreState& scores, platform::UiService& ui, const QWidget& table, QWidget* parent = nullptr);
  void cmdStart_Click();
  void cmdCancel_Click();

  QLabel* lblMatch = nullptr;
  QLabel* lblpoints = nullptr;
  QLineEdit* txtPoints = nullptr;
  QPushButton* cmdStart = nullptr;
  QPushButton* cmdCancel = nullptr;

 signals:
  // The window closed: a match was started, or the window was left without one.
  void finished(bool matchStarted);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  play::ScoreState& scores_;
  platform::UiService& ui_;
};

// ---- Speed settings ----

// The slide divisor for a position 0..20 of the animation scroll bar, and
// the position whose range holds a divisor (-1 for a negative one).
std::int16_t AnimSpeedForPosition(int position);
int PositionForAnimSpeed(int AnimSpeed);
// "slow", "human", "quick", "rabbit", "blink", "light" for 1..6.
QString ThinkLevelName(int level);
constexpr std::int16_t kDefaultAnimSpeed = 95;

class FrmSpeed : public QWidget {
  Q_OBJECT
 public:
  // The speeds are the player's settings; each change is applied at once
  // and the player written when the window closes.
  FrmSpeed(play::PlayerSettings& player, play::PlayerChanges& changes, const QWidget& table, QWidget* parent = nullptr);
  void HScroll1_Change();
  void VScroll1_Change();

  QScrollBar* HScroll1 = nullptr;
  QScrollBar* VScroll1 = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* lblAni = nullptr;
  QPushButton* Command1 = nullptr;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  play::PlayerSettings& player_;
  play::PlayerChanges& changes_;
};

// ---- About ----

QString AboutVersionText(int major, int minor, int revision);

// The program icon of the About box: a click sounds, the right button
// reveals the credits.
class AboutIcon : public QLabel {
  Q_OBJECT
 public:
  using QLabel::QLabel;
 signals:
  void pressed(Qt::MouseButton button);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
};

class FrmAbout : public QWidget {
  Q_OBJECT
 public:
  // The icon shows the program's picture; a click on it plays the sound
  // file of the data folder through sound.
  FrmAbout(const QImage& icon, platform::SoundChannel& sound, const QString& dataPath, QWidget* parent = nullptr);
  void picIcon_Click();
  void picIcon_MouseDown(Qt::MouseButton button);

  QLabel *lblTitle = nullptr, *lblVersion = nullptr, *lblDescription = nullptr, *LblSite = nullptr, *lblDis = nullptr,
         *credit = nullptr, *Label2 = nullptr;
  AboutIcon* picIcon = nullptr;
  QPushButton* cmdOK = nullptr;

 private:
  platform::SoundChannel& sound_;
  QString dataPath_;
};

}  // namespace dialogs
