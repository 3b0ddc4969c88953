// Marrowdale: a two-player double solitaire.
#include <QApplication>

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

  table::PileArrays piles;
  table::GameState state;
  table::TableSettings settings;
  settings.LargeFonts = screen.logPixelsX != 96;
  settings.ScreenWidth = screen.WidthTwips();
  platform::WaitService wait;
  platform::QtUi ui;

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
