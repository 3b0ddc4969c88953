#pragma once
// The tutorial window (frmTip): a small window kept above the table that
// shows one step of "tutorial.txt" at a time. A step may point the table's
// hands at piles, unlock only the piles the learner is to use, or show the
// rules panel; the game underneath waits for its Next button.

#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>

#include "dialogs/tutorial_steps.h"
#include "platform/keep_on_top.h"
#include "play/faces/tutorial_hooks.h"

class QLabel;
class QPushButton;

namespace dialogs {

inline constexpr char kTutorialCaption[] = "Marrowdale Tutorial";
inline constexpr char kTutorialLabel[] = "Marrowdale tutorial game";
inline constexpr char kCloseTutorialCaption[] = "Close Tutorial";
inline constexpr char kTutorialMissingText[] = "Tutorial file missing.\r\n\r\nUnable to present tutorial.";
inline constexpr char kTutorialMissingTitle[] = "Tutorial File";
inline constexpr char kExitTutorialQuestion[] = "Exit the tutorial?";
inline constexpr char kTutorialEndsGameQuestion[] =
    "The tutorial plays its own game: the game on the table will end.\r\n\r\nStart the tutorial?";
inline constexpr char kTutorialAgainText[] = "To start the Tutorial again, go to the Help Menu and select Tutorial.";
// The rules panel, its lines joined by CR LF.
QString RulesPanelText();

// Sizes in twips.
inline constexpr int kTipDesignWidth = 4080;
inline constexpr int kTipDesignHeight = 4050;
inline constexpr int kTipLoadHeight = 5415;
inline constexpr int kNarrowScreenTwips = 15360;  // below 1024 pixels
inline constexpr int kNarrowTipWidth = 3000;
inline constexpr int kNarrowTipHeight = 4545;
// Below 1280 pixels the table leaves no room beside it for the full window:
// the narrow one stands in the margin right of the player's Reserve, as tall
// as the longest step needs.
inline constexpr int kCrampedScreenTwips = 19200;
inline constexpr int kCrampedTipHeight = 5715;

class FrmTip : public QWidget {
  Q_OBJECT
 public:
  FrmTip(const play::TutorialServices& services, play::HandPictures* hands, QWidget* parent = nullptr);
  ~FrmTip() override;

  // The window's load: the first step is shown. False when the tutorial
  // file is missing; the user has been told and the window is closed.
  bool Form_Load();

  bool LoadTips(const QString& sFile);
  void DisplayCurrentTip();
  // Carries out the step's directive and gives back the text to show.
  QString ReadEnableInfo(const QString& sText);
  void DisplayRules(bool bShow);
  void cmdNextTip_Click(int Index);
  void cmdOK_Click();
  // Closes the window, asking first before the last step. True when it closed.
  bool AskToClose();
  void Form_Resize();

  int CurrentTip() const { return CurrentTip_; }
  int StepCount() const { return static_cast<int>(Tips.size()); }
  // The close handler has run: the window is on its way out, let go once
  // its own handlers have returned.
  bool Closed() const { return closed_; }

  // Controls, with positions kept in twips.
  QLabel* Picture1 = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* lblTipText = nullptr;
  std::array<QPushButton*, 1> cmdNextTip{};
  QPushButton* cmdOK = nullptr;

 signals:
  void closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void ShowTutorialStep(int Index);
  void PlaceBesideTable();
  void AskForTitleAndCloseOnly();
  // The window with its frame, as the window manager frames it or will.
  QRect OwnFrame() const;
  // Moves the window off the table's title bar and the piles the hands
  // point at, to the nearest place clear of them.
  void KeepClear();
  void Layout();
  void ResizeTwips(int width, int height);
  int Px(int twips) const;

  play::TutorialServices s_;
  play::HandPictures* hands_;
  platform::Class1 onTop_;                 // keeps the window above the table while it is open
  QStringList Tips;                        // the steps, 1-based through CurrentTip_
  int CurrentTip_ = 0;                     // the step shown; 0 before the first
  int rememberedWidth_ = kTipDesignWidth;  // twips, as last laid out
  int rememberedHeight_ = kTipDesignHeight;
  QRect picture1Twips_, label1Twips_, tipTextTwips_, nextTwips_, okTwips_;
  bool closed_ = false;
  int handlerDepth_ = 0;  // handlers of this window running now, nested

  class HandlerScope;
};

}  // namespace dialogs
