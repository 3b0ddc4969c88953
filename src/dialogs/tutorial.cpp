#include "dialogs/tutorial.h"

#include <QLabel>
#include <QPushButton>

#include "platform/ui.h"
#include "play/window/frm_play.h"
#include "play/window/menu_commands.h"
#include "table/busy_guard.h"

namespace dialogs {

Tutorial::Tutorial(const play::TutorialServices& services, play::HandPictures* hands) : s_(services), hands_(hands) {}

Tutorial::~Tutorial() {
  // The window goes with its owner, without running the close handler on
  // a program that is itself going.
  if (window_) {
    window_->blockSignals(true);
    delete window_.data();
  }
}

FrmTip* Tutorial::frmTip() const { return window_ && !window_->Closed() ? window_.data() : nullptr; }

void Tutorial::OpenTutorial() {
  if (FrmTip* open = frmTip()) {
    open->show();
    open->raise();
    open->activateWindow();
    return;
  }
  // Opening replaces the table; while a deal, a turn, game over, a restore
  // or a move runs it would pull the table from under that code.
  if (!s_.guard.MayReplaceTable()) return;
  // The tutorial clears the table: a game still being played ends only
  // when the player agrees.
  if (s_.state.CurrentTurn != table::Turn::None && !s_.state.GameEnded &&
      s_.ui.MsgBox(QString::fromLatin1(kTutorialEndsGameQuestion),
                   platform::vbYesNo | platform::vbQuestion | platform::vbDefaultButton2,
                   QString::fromLatin1(play::kTutorialTitle)) != platform::vbYes)
    return;
  auto* window = new FrmTip(s_, hands_, &s_.frmPlay);
  window_ = window;
  hiddenWithTable_ = false;
  if (!window->Form_Load()) return;
  window->show();
}

bool Tutorial::LeaveTutorial() {
  FrmTip* open = frmTip();
  return !open || open->AskToClose();
}

void Tutorial::EnableNextTip(bool enabled) {
  if (FrmTip* w = frmTip()) w->cmdNextTip[0]->setEnabled(enabled);
}

void Tutorial::ShowTutorialNext() {
  if (FrmTip* w = frmTip()) {
    w->cmdNextTip[0]->show();
    w->cmdNextTip[0]->setEnabled(true);
  }
}

void Tutorial::TutorialStockTurned() {
  ShowTutorialNext();
  HideTutorialHand();
}

void Tutorial::HideTutorialHand() { s_.frmPlay.picHand[0]->hide(); }

void Tutorial::MainWindowMinimised() {
  FrmTip* w = frmTip();
  if (!w || !w->isVisible()) return;
  w->hide();
  hiddenWithTable_ = true;
}

void Tutorial::MainWindowRestored() {
  FrmTip* w = frmTip();
  if (!w || !hiddenWithTable_) return;
  hiddenWithTable_ = false;
  w->show();
}

void Tutorial::AppendTipText(const QString& text) {
  if (FrmTip* w = frmTip()) w->lblTipText->setText(w->lblTipText->text() + text);
}

void Tutorial::HidePointingHand() { HideTutorialHand(); }

}  // namespace dialogs
