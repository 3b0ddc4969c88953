#pragma once
// The windows and network parts main.cpp joins after the program is built.
// Each stays null until joined; the owners that reach them read them here.

#include "play/net_state.h"
#include "play/preferences_access.h"
#include "play/saved_games.h"
#include "play/score_access.h"
#include "play/start_up.h"
#include "play/tutorial_hooks.h"

namespace play {

struct JoinedParts {
  TutorialWindow* tutorial = nullptr;              // the tutorial window's owner
  NetworkPlay* network = nullptr;                  // network play
  OnlineRestoreCommand* onlineRestore = nullptr;   // the online table hand-over
  ScoresWindow* scoresWindow = nullptr;            // the scores window's owner
  PreferencesWindow* preferencesWindow = nullptr;  // the Preferences dialog's owner
  SplashWindow* splash = nullptr;                  // the splash window while it stands
};

}  // namespace play
