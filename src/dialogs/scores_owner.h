#pragma once
// The owner of the scores window: opens it on a tab (modal offline, so its
// wait is the program's wait; modeless online), lists the opponents from the
// program's state, and unloads the window when the main window is
// minimised. A close requested while the modal window is open only sets
// Exiting and closes the window; the command that opened it completes the
// close when it returns.

#include <QPointer>

#include "dialogs/frm_scores.h"
#include "dialogs/score_maintenance.h"
#include "play/faces/score_access.h"

namespace dialogs {

class ScoresOwner : public play::ScoresWindow, private OpponentList {
 public:
  explicit ScoresOwner(play::ScoreAccess access, QWidget* mainWindow = nullptr);
  ~ScoresOwner() override;

  void ShowScores(int tab) override;
  bool ScoresOpen() const override { return !frmScores_.isNull(); }
  void UnloadScoresWindow() override;

  FrmScores* frmScores() const { return frmScores_.data(); }
  // The window made and filled, not shown (tests look at it offscreen).
  FrmScores* LoadScoresWindow();

 private:
  bool NetFileOpen() const override;
  QStringList NetPlayerNames() const override;
  void LoadNetPlayerList() override;
  QString DeleteNetFile() override;

  play::ScoreAccess access_;
  QWidget* mainWindow_;
  QPointer<FrmScores> frmScores_;
};

}  // namespace dialogs
