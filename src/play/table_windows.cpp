#include "play/table_windows.h"

#include "media/html_help.h"
#include "platform/sound.h"
#include "platform/ui.h"
#include "platform/version.h"
#include "play/player_in_play.h"
#include "play/table_look.h"
#include "play/turn_cycle.h"
#include "play/utilities.h"

namespace play {

TableWindows::TableWindows(TableWindowsParts parts) : p_(std::move(parts)), helpBackend_(std::move(p_.helpBackend)) {
  FrmPlay& view = p_.view;
  music_ = std::make_unique<media::Music>(
      media::MusicServices{p_.folders, p_.wait, p_.ui, p_.settingsStore, p_.sound, [this] { return p_.player.SoundOn; },
                           platform::kProgramTitle, [this] { p_.turns.FinishTopLevelCommand(); }, &p_.writeFailures,
                           [this] { ShowMusicUnavailable(); }},
      std::move(p_.musicPlayer));
  if (music_->MusicUnavailable()) ShowMusicUnavailable();
  musicHooks_ = std::make_unique<MusicHooks>(*music_, [this] { ShowHelp("Close"); });
  const JoinedParts& j = p_.joined;
  menus_ = std::make_unique<MenuCommands>(MenuServices{
      p_.turns.savedServices(), p_.scores, p_.scoreStore, p_.player, p_.sample, view, p_.sound, p_.folders,
      p_.screen.captionHeight, p_.screen.TwipsPerPixel(), p_.tableSettings.LargeFonts, p_.net, *music_, p_.turns,
      p_.look.backgrounds(), p_.look.cardWindows(), p_.playerInPlay, *this,
      MenuWindows{j.dialogs, j.tutorial, j.network, j.onlineRestore, p_.online, j.scoresWindow, j.preferencesWindow}});
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
  p_.joined.scoresWindow.UnloadScoresWindow();
  p_.look.cardWindows().UnloadTableauCardsWindow();
  p_.joined.tutorial.MainWindowMinimised();
  p_.joined.network.FollowMainWindow(true);
}

void TableWindows::MainWindowShown(Qt::WindowStates state) {
  if (!state.testFlag(Qt::WindowMinimized)) p_.joined.tutorial.MainWindowRestored();
  p_.joined.network.FollowMainWindow(state.testFlag(Qt::WindowMinimized));
}

}  // namespace play
