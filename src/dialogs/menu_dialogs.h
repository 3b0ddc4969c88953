#pragma once
// The menus' windows as the program reaches them: the list window and the
// modal dialogs. A modal dialog runs as one of the program's waits, so a
// close of the main window meanwhile is deferred until the command that
// opened it returns; a dialog already open is not opened again.

#include <QPointer>
#include <QStringList>

#include "dialogs/frm_menu.h"
#include "dialogs/frm_name.h"
#include "dialogs/frm_save.h"
#include "play/faces/menu_windows.h"
#include "play/start_up.h"

class QWidget;

namespace dialogs {

// Each window's share of the program's parts.
MenuListParts ListParts(const play::MenuWindowParts& p);
SaveDialogParts SaveParts(const play::MenuWindowParts& p, bool savingNetGame);
NameDialogParts NameParts(const play::MenuWindowParts& p);

class Dialogs : public play::MenuDialogs, public play::FirstStartWindows {
 public:
  explicit Dialogs(const play::MenuWindowParts& parts);
  ~Dialogs() override;

  void LoadList(int MenuId, const QStringList& songs, play::ListAnswers answers) override;
  void ShowList(int leftTwips, int topTwips) override;
  void UnloadList() override;
  play::SaveChoice ShowSaveDialog(int mode, bool savingNetGame) override;
  bool ShowMatchDialog() override;
  void ShowPlayerWindow() override;
  void ShowSpeedWindow() override;
  void ShowAboutWindow() override;
  // On a first start, after the player window: the tutorial, as Help's
  // Tutorial row opens it.
  void ShowTutorial() override;

  // The list window now open, if any.
  FrmMenu* ListWindow() const;

 private:
  // Shows the window modally and waits, events running, until it is gone.
  // True when it closed; false when the program began exiting meanwhile.
  bool RunModal(QWidget& window);

  play::MenuWindowParts p_;
  QPointer<FrmMenu> menu_;
  QPointer<QWidget> modal_;  // the modal dialog open now
};

}  // namespace dialogs
