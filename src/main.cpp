// Marrowdale: a two-player double solitaire.
#include <QApplication>
#include <QDateTime>
#include <memory>

#include "dialogs/menu_dialogs.h"
#include "media/folders.h"
#include "platform/settings.h"
#include "platform/sound.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "play/game_program.h"

int main(int argc, char** argv) {
  // The ffmpeg media backend crashes without an audio device; GStreamer
  // stays silent instead.
  if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND")) qputenv("QT_MEDIA_BACKEND", "gstreamer");
  QApplication app(argc, argv);
  app.setApplicationName("Marrowdale");

  const QString appPath = QCoreApplication::applicationDirPath() + "/";

  // The per-user folders, with the files an installer would have put there
  // copied from the shipped seed when they are missing.
  const std::optional<media::Folders> folders = media::SetUpFolders(appPath);
  if (!folders || !media::CopySeedFiles(*folders).ok()) {
    platform::QtUi().MsgBox(play::kFilesMissingText, platform::vbCritical, play::kProgramTitle);
    return 1;
  }

  play::ProgramParts parts;
  parts.folders = *folders;
  parts.screen = platform::ReadScreenMetrics();
  parts.ui = std::make_unique<platform::QtUi>();
  parts.sound = platform::CreateSoundChannel();
  parts.settingsStore = std::make_unique<platform::IniSettingsStore>();
  parts.seed = static_cast<std::uint32_t>(QDateTime::currentMSecsSinceEpoch());

  play::Program program(std::move(parts));
  dialogs::Dialogs dialogs(program);
  program.menus().SetDialogs(&dialogs);
  if (!program.Start()) return 1;
  // A first start: who is playing, so that the scores are kept.
  if (program.playerSettings().CurrentPlayer == 0) dialogs.ShowPlayerWindow();
  return app.exec();
}
