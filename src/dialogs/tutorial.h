#pragma once
// The tutorial's owner: opens the one tutorial window beside the table and
// answers what the game play asks of it. The window is made anew for each
// opening and lets itself go when it closes.

#include <QPointer>

#include "dialogs/frm_tip.h"
#include "play/faces/tutorial_hooks.h"

namespace dialogs {

class Tutorial : public play::TutorialWindow {
 public:
  // hands: prepares the hand pictures; may be null.
  Tutorial(const play::TutorialServices& services, play::HandPictures* hands);
  ~Tutorial() override;
  Tutorial(const Tutorial&) = delete;
  Tutorial& operator=(const Tutorial&) = delete;

  void OpenTutorial() override;
  bool LeaveTutorial() override;
  void EnableNextTip(bool enabled) override;
  void ShowTutorialNext() override;
  void TutorialStockTurned() override;
  void HideTutorialHand() override;
  void MainWindowMinimised() override;
  void MainWindowRestored() override;
  // NewGameTutorial
  void AppendTipText(const QString& text) override;
  void HidePointingHand() override;

  // The open window, null when none is open.
  FrmTip* frmTip() const;

 private:
  play::TutorialServices s_;
  play::HandPictures* hands_;
  QPointer<FrmTip> window_;
  bool hiddenWithTable_ = false;  // the table's minimising hid the window
};

}  // namespace dialogs
