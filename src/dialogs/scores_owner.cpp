#include "dialogs/scores_owner.h"

#include <QFile>

#include "media/folders.h"
#include "platform/recordfile.h"
#include "platform/system.h"
#include "platform/wait.h"
#include "play/records/high_score_record.h"
#include "play/records/players.h"
#include "play/state/connection_index.h"
#include "table/table_pictures.h"

namespace dialogs {

ScoresOwner::ScoresOwner(play::ScoreAccess access, QWidget* mainWindow) : access_(access), mainWindow_(mainWindow) {}

ScoresOwner::~ScoresOwner() { delete frmScores_.data(); }

FrmScores* ScoresOwner::LoadScoresWindow() {
  if (frmScores_) return frmScores_;
  ScoreFiles files{access_.players,
                   access_.player,
                   access_.scores,
                   access_.store,
                   access_.net,
                   access_.NetConnIndex,
                   access_.view,
                   access_.ui,
                   this,
                   access_.folders.DataPath + QString::fromLatin1(play::kHighScoreFileName),
                   table::PicturesFolder(access_.folders.AppPath)};
  frmScores_ = new FrmScores(files, mainWindow_);
  frmScores_->setAttribute(Qt::WA_DeleteOnClose);
  if (mainWindow_) {
    // Top 500 twips below the main window's top, left half its own width
    // right of the main window's left edge.
    const QRect main = mainWindow_->frameGeometry();
    frmScores_->adjustSize();
    frmScores_->move(main.left() + frmScores_->width() / 2, main.top() + platform::TwipsToPixels(500));
  }
  return frmScores_;
}

void ScoresOwner::ShowScores(int tab) {
  if (frmScores_) {
    frmScores_->LoadTab(tab);
    frmScores_->raise();
    return;
  }
  FrmScores* window = LoadScoresWindow();
  window->LoadTab(tab);
  if (play::IsOnline(access_.NetConnIndex)) {
    window->show();
    return;
  }
  window->setWindowModality(Qt::ApplicationModal);
  window->show();
  // The modal window is a wait: a close of the program meanwhile sets
  // Exiting, which ends the wait, and the window goes with it.
  const QPointer<FrmScores> guard(window);
  access_.wait.WaitUntil([&guard] { return guard.isNull() || !guard->isVisible(); });
  if (guard) guard->close();
}

void ScoresOwner::UnloadScoresWindow() {
  if (frmScores_) frmScores_->close();
}

bool ScoresOwner::NetFileOpen() const { return access_.net.File && access_.net.File->IsOpen(); }

QStringList ScoresOwner::NetPlayerNames() const { return access_.NetPlayerNames; }

void ScoresOwner::LoadNetPlayerList() { access_.netFile.LoadNetPlayerList(); }

QString ScoresOwner::DeleteNetFile() {
  if (!access_.net.File) return QStringLiteral("The opponents file is not open.");
  const QString path = access_.net.File->Path();
  access_.netFile.CloseNetFile();
  access_.NetPlayerNames.clear();
  QFile file(path);
  if (path.isEmpty() || !file.exists() || file.remove()) return {};
  return file.errorString();
}

}  // namespace dialogs
