// Marrowdale: a two-player double solitaire.
#include <QApplication>
#include <QDateTime>
#include <memory>

#include "dialogs/frm_options.h"
#include "dialogs/frm_splash.h"
#include "dialogs/menu_dialogs.h"
#include "dialogs/music_menu.h"
#include "dialogs/scores_owner.h"
#include "dialogs/tutorial.h"
#include "media/folders.h"
#include "media/help_backend.h"
#include "media/mp3_playback.h"
#include "net/connection.h"
#include "net/online_game.h"
#include "net/online_restore.h"
#include "net/script_driver.h"
#include "platform/built_later.h"
#include "platform/exit_signals.h"
#include "platform/settings.h"
#include "platform/sound.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "platform/version.h"
#include "play/game_program.h"
#include "play/start_up.h"
#include "play/state/utilities.h"

namespace {

using platform::Later;

// The program and the windows and network parts built beside it on its own
// parts, in the order they are built. The program is handed getters of the
// later ones at its construction and calls none of them until it runs.
struct Marrowdale {
  explicit Marrowdale(play::ProgramParts parts)
      : program(std::move(parts),
                play::JoinedParts{
                    .tutorial = Later<play::TutorialWindow>(tutorial),
                    .network = Later<play::NetworkPlay>(connection),
                    .goodbye = Later<play::OnlineGoodbye>(connection),
                    .exchange = Later<play::OnlineExchange>(onlineGame),
                    .onlineRestore = Later<play::OnlineRestoreCommand>(onlineRestore),
                    .chat = Later<table::BackgroundFollower>(connection),
                    .splash = Later<play::SplashWindow>(splash),
                    .firstStart = Later<play::FirstStartWindows>(dialogs),
                    .dialogs = Later<play::MenuDialogs>(dialogs),
                    .scoresWindow = Later<play::ScoresWindow>(scores),
                    .preferencesWindow = Later<play::PreferencesWindow>(preferences),
                    .musicMenu = Later<media::MusicMenu>(musicMenu),
                }),
        connection(program.NetParts(), nullptr, net::kHandshakeLimit, net::kCallerHandshakeLimit,
                   net::Connection::Joins{.chatLook =
                                              [this] {
                                                return net::Connection::ChatLook{
                                                    .FontColor = program.player().FontColor,
                                                    .picture = program.backgrounds().Picture(),
                                                    .MatColor = program.player().MatColor};
                                              },
                                          .restore = &onlineRestore}),
        onlineGame(connection, program.NetParts(), program.pilesForNetwork(), program.FirstPlayerRule()),
        onlineRestore(connection, onlineGame,
                      net::OnlineRestoreParts{.net = program.NetParts(),
                                              .saved = program.savedServices(),
                                              .moves = program.moveServices(),
                                              .commands = program.menus().Commands,
                                              .SoundOn = program.player().SoundOn,
                                              .restoreFromSlot = [this] { return program.menus().RestoreCommand(); }}),
        splash(program.folders().DataPath, &program.frmPlay().frmPic.FilePic[table::kOwnBackPicture],
               program.tableSettings().LargeFonts, program.ui(), &program.backgrounds().PictureReports()),
        dialogs(program.MenuWindowsParts()),
        musicMenu(program.music(), program.menus().Menu, program.frmPlay(), dialogs),
        scores(program.ScoresAccess(), &program.frmPlay()),
        preferences(program.Preferences(), program.menus(), &program.frmPlay()),
        tutorial(program.TutorialParts(), &program.backgrounds()) {}

  play::Program program;
  net::Connection connection;
  net::OnlineGame onlineGame;
  net::OnlineRestore onlineRestore;
  dialogs::SplashHolder splash;
  dialogs::Dialogs dialogs;
  dialogs::MusicListMenu musicMenu;
  dialogs::ScoresOwner scores;
  dialogs::PreferencesOwner preferences;
  dialogs::Tutorial tutorial;
};

}  // namespace

int main(int argc, char** argv) {
  // A kill, Ctrl+C or the session's end is caught from the first instant;
  // the program hears of it once it runs events, in start-up at the
  // earliest.
  platform::ExitSignals exitSignals;
  // A write past a file-size limit fails and is reported, rather than
  // ending the game.
  platform::IgnoreFileSizeSignal();
  // The ffmpeg media backend crashes without an audio device; GStreamer
  // stays silent instead.
  if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND")) qputenv("QT_MEDIA_BACKEND", "gstreamer");
  platform::PrepareSoundServerLookup();
  QApplication app(argc, argv);
  app.setApplicationName(platform::kProgramTitle);

  const QString appPath = QCoreApplication::applicationDirPath() + "/";

  // A second copy is refused before anything is written; then the files an
  // installer would have put in the per-user folders are copied from the
  // shipped seed where they are missing.
  play::Preflight preflight = play::PrepareStart(appPath);
  if (preflight.result != play::Preflight::Result::Ok) {
    platform::QtUi().MsgBox(play::PreflightText(preflight), platform::vbCritical, platform::kProgramTitle);
    return preflight.result == play::Preflight::Result::AlreadyRunning ? 0 : 1;
  }

  play::ProgramParts parts;
  parts.folders = *preflight.folders;
  parts.commandLine = QCoreApplication::arguments().mid(1).join(' ');
  parts.screen = platform::ReadScreenMetrics();
  // A scripted test run answers its boxes itself.
  const QString testScript = net::TestScriptPath();
  net::ScriptedUi* scriptedUi = nullptr;
  if (testScript.isEmpty()) {
    parts.ui = std::make_unique<platform::QtUi>();
  } else {
    auto ui = std::make_unique<net::ScriptedUi>();
    scriptedUi = ui.get();
    parts.ui = std::move(ui);
  }
  // The effects and the music share the sound server.
  const std::shared_ptr<platform::SoundServer> soundServer = platform::CreateSoundServer();
  parts.sound = platform::CreateSoundChannel(soundServer);
  parts.settingsStore = std::make_unique<platform::IniSettingsStore>();
  parts.seed = static_cast<std::uint32_t>(QDateTime::currentMSecsSinceEpoch());
  parts.musicPlayer = media::CreateMusicPlayer(soundServer);
  parts.helpBackend = media::CreateQtHelpBackend(*parts.ui);

  Marrowdale whole(std::move(parts));
  play::Program& program = whole.program;
  // A termination signal leaves the table through its close. Before the
  // table is shown it asks start-up to end instead, storing nothing and
  // showing no table: a window shown meanwhile (the splash) may run events
  // outside any wait, where a close would leave at once.
  QObject::connect(&exitSignals, &platform::ExitSignals::exitRequested, &program, [&program] {
    program.wait().SetExiting(true);
    if (program.frmPlay().isVisible())
      program.frmPlay().close();
    else
      program.wait().RequestClose();
    platform::DismissModalDialogs();
  });
  exitSignals.Listen();
  std::unique_ptr<net::ScriptDriver> scriptDriver;
  if (scriptedUi)
    scriptDriver = std::make_unique<net::ScriptDriver>(testScript,
                                                       net::ScriptedParts{.wait = program.wait(),
                                                                          .state = program.gameState(),
                                                                          .table = program.frmPlay(),
                                                                          .net = program.net(),
                                                                          .piles = program.piles(),
                                                                          .menus = program.menus(),
                                                                          .turns = program.turns(),
                                                                          .human = program.humanTurn()},
                                                       whole.connection, *scriptedUi);
  // Start-up ended by a signal is a leaving asked for, not a failure.
  if (!program.Start()) return program.wait().Exiting() ? 0 : 1;
  if (scriptDriver) scriptDriver->Run();
  // A close completed during start-up (a signal meanwhile) leaves no window
  // whose closing would end the event loop.
  if (!program.frmPlay().isVisible()) return 0;
  return app.exec();
}
