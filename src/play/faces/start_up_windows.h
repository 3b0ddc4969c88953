#pragma once
// What start-up shows: the splash window and the windows of a first start.

#include <QString>

namespace play {

// The splash window; dialogs implements it.
class SplashWindow {
 public:
  virtual ~SplashWindow() = default;
  // Shown, not modal; StartingUp is already set.
  virtual void Show() = 0;
  // Unloaded, when it is still open.
  virtual void Unload() = 0;
  virtual bool IsOpen() const = 0;
};

// What a first start shows; the player dialog and the tutorial implement it.
class FirstStartWindows {
 public:
  virtual ~FirstStartWindows() = default;
  // The player window, modal: the user chooses or adds a player.
  virtual void ShowPlayerWindow() = 0;
  // The tutorial window.
  virtual void ShowTutorial() = 0;
};

}  // namespace play
