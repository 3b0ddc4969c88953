#include "play/leaving.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <cmath>

#include "media/music.h"
#include "platform/recordfile.h"
#include "platform/sound.h"
#include "platform/wait.h"
#include "play/game/saved_games.h"
#include "play/records/player.h"
#include "play/records/players.h"
#include "play/records/saved_game_record.h"
#include "play/table_windows.h"
#include "play/window/frm_play.h"
#include "table/game_state.h"

namespace play {

bool Leaving::CloseRequested() {
  if (ExitHandled) return true;
  // Only a running wait refuses the close: it stops at Exiting and the
  // command that started it closes the table when it returns.
  if (s_.wait.RequestClose()) return false;
  ExitLeft();
  return true;
}

void Leaving::ExitLeft() {
  if (ExitHandled) return;
  ExitHandled = true;
  s_.wait.SetExiting(true);
  s_.state.ComputerThinking = false;

  if (s_.playersFile.IsOpen()) {
    if (IsPlayerRecordNumber(s_.player.CurrentPlayer))
      report.playerStored = SavePlayer(s_.player, s_.backgrounds, s_.playersFile) == PlayerFileResult::Ok;
    FrmPlay& w = s_.frmPlay;
    const WindowShown shown =
        w.isMinimized() ? WindowShown::Minimized : (w.isMaximized() ? WindowShown::Maximized : WindowShown::Normal);
    const table::WindowTwips normal = w.WindowPlacementTwips();
    report.settingsStored =
        SaveSettingsRecord(
            s_.playersFile, s_.player.CurrentPlayer, shown,
            WindowPlacement{std::int32_t(std::lround(normal.Height)), std::int32_t(std::lround(normal.Width)),
                            std::int32_t(std::lround(normal.Top)), std::int32_t(std::lround(normal.Left))}) ==
        PlayerFileResult::Ok;
  }
  s_.saved.SavedGamesFile.Close();
  s_.playersFile.Close();
  ClearTempMoves(s_.saved, false, s_.folders.DataPath, s_.ui);

  if (s_.net.Online()) s_.online->SayGoodbye();
  s_.online->CloseNetFile();

  CleanUpStuff();
}

void Leaving::CleanUpStuff() {
  if (s_.SoundOn) s_.sound.Stop();
  if (s_.music.IsMP3Playing()) s_.music.CleanUp();

  s_.windows.ShowHelp(QStringLiteral("Close"));

  // No other window keeps the program alive once the table is left. They
  // close before the temporary files go: a window that paints as it closes
  // (the tutorial puts the logo back) still finds its pictures.
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w != &s_.frmPlay && w->isVisible()) w->close();

  report.leftBehind.clear();
  const QDir data(s_.folders.DataPath);
  if (!s_.folders.DataPath.isEmpty()) {
    for (const QString& name : data.entryList({"*.tmp"}, QDir::Files | QDir::Hidden))
      if (!QFile::remove(data.filePath(name))) report.leftBehind << name;
    const QString moves = QString::fromLatin1(kMoveFileName);
    if (data.exists(moves) && !QFile::remove(data.filePath(moves))) report.leftBehind << moves;
  }
}

}  // namespace play
