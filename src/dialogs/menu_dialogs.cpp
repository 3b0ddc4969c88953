#include "dialogs/menu_dialogs.h"

#include "dialogs/frm_menu.h"
#include "dialogs/frm_name.h"
#include "dialogs/frm_save.h"
#include "dialogs/small_dialogs.h"
#include "platform/ui.h"
#include "platform/wait.h"
#include "play/game_program.h"

namespace dialogs {

Dialogs::Dialogs(play::Program& program) : program_(program) {}

Dialogs::~Dialogs() {
  if (menu_) delete menu_.data();
}

FrmMenu* Dialogs::ListWindow() const { return menu_.data(); }

void Dialogs::LoadList(int MenuId, const QStringList& songs) {
  if (!menu_) menu_ = new FrmMenu(program_);
  menu_->LoadList(MenuId, songs);
}

void Dialogs::ShowList(int leftTwips, int topTwips) {
  if (!menu_) return;
  menu_->Place(leftTwips, topTwips);
  menu_->show();
  menu_->raise();
  menu_->activateWindow();
}

void Dialogs::UnloadList() {
  if (menu_) menu_->Unload();
  menu_ = nullptr;
}

bool Dialogs::RunModal(QWidget& window) {
  platform::WaitService& wait = program_.wait();
  // Its boxes come up over it.
  const platform::UiService::OwnedBy owner(program_.ui(), &window);
  modal_ = &window;
  window.setAttribute(Qt::WA_DeleteOnClose, false);
  window.setWindowModality(Qt::ApplicationModal);
  window.show();
  window.raise();
  window.activateWindow();
  wait.WaitUntil([&window] { return window.isHidden(); });
  // The wait also ends when the program is exiting; the window is still up then.
  const bool notExiting = window.isHidden();
  window.hide();
  modal_ = nullptr;
  return notExiting;
}

void Dialogs::ShowSaveDialog(int mode) {
  play::CommandState& c = program_.menus().Commands;
  if (modal_) {
    c.DialogCancelled = true;
    return;
  }
  FrmSave dialog(program_, &program_.frmPlay());
  dialog.LoadForm(mode);
  if (!RunModal(dialog)) c.DialogCancelled = true;
}

void Dialogs::ShowMatchDialog() {
  play::CommandState& c = program_.menus().Commands;
  if (modal_) {
    c.DialogCancelled = true;
    return;
  }
  FrmMatch dialog(program_, &program_.frmPlay());
  if (!RunModal(dialog)) {
    program_.scores().MatchOn = false;
    c.DialogCancelled = true;
  }
}

void Dialogs::ShowPlayerWindow() {
  if (modal_) return;
  FrmName dialog(program_, &program_.frmPlay());
  RunModal(dialog);
}

void Dialogs::ShowSpeedWindow() {
  if (modal_) return;
  FrmSpeed dialog(program_, &program_.frmPlay());
  if (!RunModal(dialog)) program_.playerInPlay().WritePlayerRecord();
}

void Dialogs::ShowAboutWindow() {
  if (modal_) return;
  FrmAbout dialog(program_, &program_.frmPlay());
  RunModal(dialog);
}

}  // namespace dialogs

namespace dialogs {

void Dialogs::ShowTutorial() { program_.menus().HelpMenu(play::kHelpTutorial, 0); }

}  // namespace dialogs
