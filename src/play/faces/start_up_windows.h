#pragma once
// What start-up shows: the splash window, the intro music, and the windows
// of a first start.

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

// The intro music and the play list; the music player implements it.
class StartUpMusic {
 public:
  virtual ~StartUpMusic() = default;
  // Plays an MP3 file. False when there is no media backend at all (the
  // music then stays unavailable for the run); a file that cannot play is
  // the music player's to report.
  virtual bool PlayMP3(const QString& file) = 0;
  virtual void CreateDefaultMusicList() = 0;
  virtual void LoadMusicList() = 0;
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
