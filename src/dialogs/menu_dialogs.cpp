#include "dialogs/menu_dialogs.h"

#include "dialogs/small_dialogs.h"
#include "media/folders.h"
#include "platform/ui.h"
#include "platform/wait.h"
#include "play/game/saved_games.h"
#include "play/window/frm_play.h"
#include "play/window/menu_commands.h"

namespace dialogs {

MenuListParts ListParts(const play::MenuWindowParts& p) {
  return {p.table, p.player, p.scores, p.net, p.menus, p.music, p.wait};
}

SaveDialogParts SaveParts(const play::MenuWindowParts& p, bool savingNetGame) {
  return {p.table, p.ui, p.saved.SavedGamesFile, p.state, p.net, p.scores, p.sample, savingNetGame};
}

NameDialogParts NameParts(const play::MenuWindowParts& p) {
  return {p.table, p.ui, p.wait, p.playersFile, p.player, p.playerChanges, p.folders.AppPath};
}

Dialogs::Dialogs(const play::MenuWindowParts& parts) : p_(parts) {}

Dialogs::~Dialogs() {
  if (menu_) delete menu_.data();
}

FrmMenu* Dialogs::ListWindow() const { return menu_.data(); }

void Dialogs::LoadList(int MenuId, const QStringList& songs, play::ListAnswers answers) {
  if (!menu_) menu_ = new FrmMenu(ListParts(p_));
  // A list filled again answers its new opener only.
  QObject::disconnect(menu_, &FrmMenu::chosen, nullptr, nullptr);
  QObject::disconnect(menu_, &FrmMenu::closed, nullptr, nullptr);
  if (answers.chosen) QObject::connect(menu_, &FrmMenu::chosen, menu_, std::move(answers.chosen));
  if (answers.closed) QObject::connect(menu_, &FrmMenu::closed, menu_, std::move(answers.closed));
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
  platform::WaitService& wait = p_.wait;
  // Its boxes come up over it.
  const platform::UiService::OwnedBy owner(p_.ui, &window);
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

play::SaveChoice Dialogs::ShowSaveDialog(int mode, bool savingNetGame) {
  if (modal_) return {};
  FrmSave dialog(SaveParts(p_, savingNetGame), &p_.table);
  dialog.LoadForm(mode);
  const bool closed = RunModal(dialog);
  play::SaveChoice choice = dialog.Choice();
  if (!closed) choice.Cancelled = true;
  return choice;
}

bool Dialogs::ShowMatchDialog() {
  if (modal_) return false;
  FrmMatch dialog(p_.scores, p_.ui, p_.table, &p_.table);
  bool started = false;
  QObject::connect(&dialog, &FrmMatch::finished, [&started](bool matchStarted) { started = matchStarted; });
  if (!RunModal(dialog)) {
    p_.scores.MatchOn = false;
    return false;
  }
  return started;
}

void Dialogs::ShowPlayerWindow() {
  if (modal_) return;
  FrmName dialog(NameParts(p_), &p_.table);
  RunModal(dialog);
}

void Dialogs::ShowSpeedWindow() {
  if (modal_) return;
  FrmSpeed dialog(p_.player, p_.playerChanges, p_.table, &p_.table);
  if (!RunModal(dialog)) p_.playerChanges.WritePlayerRecord();
}

void Dialogs::ShowAboutWindow() {
  if (modal_) return;
  FrmAbout dialog(p_.table.pictures.icon, p_.sound, p_.folders.DataPath, &p_.table);
  RunModal(dialog);
}

}  // namespace dialogs

namespace dialogs {

void Dialogs::ShowTutorial() { p_.menus.HelpMenu(play::kHelpTutorial, 0); }

}  // namespace dialogs
