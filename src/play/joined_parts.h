#pragma once
// The windows and network parts built beside the program, on its own
// parts, which the owners call. Whoever builds the program builds them with
// it and hands them in at its construction; none is called before the
// program is built.

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
  TutorialWindow& tutorial;              // the tutorial window's owner
  NetworkPlay& network;                  // network play
  OnlineGoodbye& goodbye;                // leaving the table online
  OnlineExchange& exchange;              // the online game's exchanges with the peer
  OnlineRestoreCommand& onlineRestore;   // the online table hand-over
  table::BackgroundFollower& chat;       // the chat window, which shows the table's background
  SplashWindow& splash;                  // the splash window while it stands
  FirstStartWindows& firstStart;         // the player window and the tutorial of a first start
  MenuDialogs& dialogs;                  // the menus' own windows
  ScoresWindow& scoresWindow;            // the scores window's owner
  PreferencesWindow& preferencesWindow;  // the Preferences dialog's owner
};

}  // namespace play
