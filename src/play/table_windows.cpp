#include "play/table_windows.h"

#include "media/html_help.h"
#include "platform/sound.h"
#include "platform/ui.h"
#include "platform/version.h"
#include "play/player_in_play.h"
#include "play/state/utilities.h"
#include "play/table_look.h"
#include "play/turn_cycle.h"

namespace play {

TableWindows::TableWindows(TableWindowsParts parts) : p_(std::move(parts)), helpBackend_(std::move(p_.helpBackend)) {
  FrmPlay& view = p_.view;
  music_ =
      std::make_unique<media::Music>(media::MusicServices{.folders = p_.folders,
                                                          .wait = p_.wait,
                                                          .ui = p_.ui,
                                                          .settings = p_.settingsStore,
                                                          .sound = p_.sound,
                                                          .soundOn = [this] { return p_.player.SoundOn; },
                                                          .title = platform::kProgramTitle,
                                                          .commandDone = [this] { p_.turns.FinishTopLevelCommand(); },
                                                          .writeFailures = &p_.writeFailures,
                                                          .turnedUnavailable = [this] { ShowMusicUnavailable(); },
                                                          .menu = p_.joined.musicMenu},
                                     std::move(p_.musicPlayer));
  if (music_->MusicUnavailable()) ShowMusicUnavailable();
  const JoinedParts& j = p_.joined;
  menus_ = std::make_unique<MenuCommands>(MenuServices{.saved = p_.turns.savedServices(),
                                                       .scores = p_.scores,
                                                       .store = p_.scoreStore,
                                                       .player = p_.player,
                                                       .sample = p_.sample,
                                                       .frmPlay = view,
                                                       .sound = p_.sound,
                                                       .folders = p_.folders,
                                                       .CaptionHeight = p_.screen.captionHeight,
                                                       .TwipsPerPixel = p_.screen.TwipsPerPixel(),
                                                       .LargeFonts = p_.tableSettings.LargeFonts,
                                                       .net = p_.net,
                                                       .music = *music_,
                                                       .game = p_.turns,
                                                       .backgrounds = p_.look.backgrounds(),
                                                       .cardWindows = p_.look.cardWindows(),
                                                       .playerChanges = p_.playerInPlay,
                                                       .hooks = *this,
                                                       .windows = MenuWindows{.dialogs = j.dialogs,
                                                                              .tutorial = j.tutorial,
                                                                              .network = j.network,
                                                                              .onlineRestore = j.onlineRestore,
                                                                              .online = p_.online,
                                                                              .scores = j.scoresWindow,
                                                                              .preferences = j.preferencesWindow}});
}

TableWindows::~TableWindows() = default;

void TableWindows::ShowMusicUnavailable() {
  p_.view.ShowMusicUnavailable(media::MusicUnavailableText(music_->UnavailableCause()));
}

// ---- The menus' commands ----

void TableWindows::ShowSystemInfo() {
  const int tpp = p_.screen.TwipsPerPixel();
  play::ShowSystemInfo(p_.view.width() * tpp, p_.view.height() * tpp,
                       AnimSpeedFields{p_.player.AnimSpeed, p_.player.Player.AnimSpeed}, p_.state.Message, p_.ui);
}

void TableWindows::ShowHelp(const QString& Action, const QString& Keyword) {
  play::ShowHelp(
      Action, Keyword, HelpObject,
      [this]() -> std::unique_ptr<media::HTMLHelp> {
        if (!helpBackend_) return nullptr;
        return std::make_unique<media::HTMLHelpWrapper>(*helpBackend_, p_.ui, p_.folders.AppPath);
      },
      p_.folders.AppPath);
}

void TableWindows::OpenURL(const QString& address) {
  if (!urlOpener_) urlOpener_ = platform::CreateDesktopUrlOpener();
  play::OpenURL(address, *urlOpener_, p_.ui);
}

// The connection's save question at the end of an online game.
void TableWindows::SaveGameFromMenu() {
  menus_->Commands.SavingNetGame = true;
  menus_->SaveGame();
}

// The menu list is not part of the program yet; the scores and tableau
// cards windows are unloaded, the tutorial and the chat window hide and
// come back with the table.
void TableWindows::MainWindowMinimised() {
  p_.joined.scoresWindow->UnloadScoresWindow();
  p_.look.cardWindows().UnloadTableauCardsWindow();
  p_.joined.tutorial->MainWindowMinimised();
  p_.joined.network->FollowMainWindow(true);
}

void TableWindows::MainWindowShown(Qt::WindowStates state) {
  if (!state.testFlag(Qt::WindowMinimized)) p_.joined.tutorial->MainWindowRestored();
  p_.joined.network->FollowMainWindow(state.testFlag(Qt::WindowMinimized));
}

}  // namespace play
