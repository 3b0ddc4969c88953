#pragma once
// The windows and network parts built beside the program, on its own
// parts, which the owners call. Whoever builds the program builds them after
// it and hands in a getter for each at its construction; none is called
// before everything is built.

#include "media/music.h"
#include "platform/built_later.h"
#include "play/faces/menu_windows.h"
#include "play/faces/network_play.h"
#include "play/faces/preferences_access.h"
#include "play/faces/score_access.h"
#include "play/faces/tutorial_hooks.h"
#include "play/game/saved_games.h"
#include "play/leaving.h"
#include "play/start_up.h"
#include "table/backgrounds.h"

namespace play {

struct JoinedParts {
  platform::BuiltLater<TutorialWindow> tutorial;              // the tutorial window's owner
  platform::BuiltLater<NetworkPlay> network;                  // network play
  platform::BuiltLater<OnlineGoodbye> goodbye;                // leaving the table online
  platform::BuiltLater<OnlineExchange> exchange;              // the online game's exchanges with the peer
  platform::BuiltLater<OnlineRestoreCommand> onlineRestore;   // the online table hand-over
  platform::BuiltLater<table::BackgroundFollower> chat;       // the chat window, which shows the table's background
  platform::BuiltLater<SplashWindow> splash;                  // the splash window while it stands
  platform::BuiltLater<FirstStartWindows> firstStart;         // the player window and the tutorial of a first start
  platform::BuiltLater<MenuDialogs> dialogs;                  // the menus' own windows
  platform::BuiltLater<ScoresWindow> scoresWindow;            // the scores window's owner
  platform::BuiltLater<PreferencesWindow> preferencesWindow;  // the Preferences dialog's owner
  platform::BuiltLater<media::MusicMenu> musicMenu{};  // the music list menu the Music panel opens; none: no menu
};

}  // namespace play
