// Marrowdale: a two-player double solitaire.
#include <QApplication>

#include "play/frm_play.h"

int main(int argc, char** argv) {
  // The ffmpeg media backend crashes without an audio device; GStreamer
  // stays silent instead.
  if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND")) qputenv("QT_MEDIA_BACKEND", "gstreamer");
  QApplication app(argc, argv);
  app.setApplicationName("Marrowdale");
  play::FrmPlay frmPlay;
  frmPlay.show();
  return app.exec();
}
