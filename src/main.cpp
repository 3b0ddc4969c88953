// Marrowdale: a two-player double solitaire.
#include <QApplication>

#include "media/folders.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "platform/wait.h"
#include "play/frm_play.h"
#include "table/game_state.h"
#include "table/piles.h"
#include "table/table_pictures.h"
#include "table/table_settings.h"

int main(int argc, char** argv) {
  // The ffmpeg media backend crashes without an audio device; GStreamer
  // stays silent instead.
  if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND")) qputenv("QT_MEDIA_BACKEND", "gstreamer");
  QApplication app(argc, argv);
  app.setApplicationName("Marrowdale");

  const QString appPath = QCoreApplication::applicationDirPath() + "/";
  const platform::ScreenMetrics screen = platform::ReadScreenMetrics();
  platform::QtUi ui;

  // The per-user folders, with the files an installer would have put there
  // copied from the shipped seed when they are missing.
  const std::optional<media::Folders> folders = media::SetUpFolders(appPath);
  if (!folders || !media::CopySeedFiles(*folders).ok()) {
    ui.MsgBox("Unable to start Marrowdale!\r\n\r\nFiles are missing.", platform::vbCritical, "Marrowdale");
    return 1;
  }

  table::PileArrays piles;
  table::GameState state;
  table::TableSettings settings;
  settings.LargeFonts = screen.logPixelsX != 96;
  settings.ScreenWidth = screen.WidthTwips();
  platform::WaitService wait;

  play::FrmPlay frmPlay({piles, state, settings, wait, ui, nullptr, table::PicturesFolder(appPath)}, screen);
  ui.SetParent(&frmPlay);
  frmPlay.SetFixedSizes();
  frmPlay.SetEmptyPilePictures();
  frmPlay.FitMainWindow();
  frmPlay.ClearTable();
  frmPlay.LayoutTable();
  frmPlay.show();
  return app.exec();
}
