#pragma once
// The elapsed-time clock of a game and its pause. Time comes from a clock
// that tests replace; the elapsed seconds are the clock's value, and the
// panel text is only its display.

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

#include "play/records/score_record.h"

namespace play {

class GameClock {
 public:
  using Now = std::function<double()>;  // seconds on a steady clock

  // No clock given: a steady clock.
  explicit GameClock(Now now = {});

  // A deal starts the clock from 0; a restored game from its stored time.
  // Either way the pause state starts afresh.
  void Start(double elapsedSeconds = 0);
  // Game over: the clock stands at the value its panel showed last when the
  // stop came before the next tick, else at now.
  void Stop();
  bool Running() const { return running_; }
  // The table was cleared: no clock, no pause.
  void Reset();

  // Whole seconds of play so far (paused time left out).
  std::int64_t ElapsedSeconds() const;
  // "hh:mm:ss"; the hours go on past 99 as more digits.
  static QString Text(std::int64_t seconds);
  // The panel's text for now; the value is kept as the one shown.
  QString ShownText();

  // PauseTiming's two halves. Pause returns true when the clock was
  // running and is now frozen; Resume returns true when a pause ended.
  bool Pause();
  bool Resume();

  double GameStartTime = 0;   // the clock shows now - GameStartTime
  double PauseStartTime = 0;  // when the pause began, 0 while not paused
  bool GamePaused = false;    // toggled by every PauseTiming

 private:
  Now now_;
  bool running_ = false;
  double stoppedAt_ = 0;     // when Stop froze the clock, 0 while it runs
  std::int64_t shown_ = -1;  // the seconds the panel showed last since Start, -1 for none
};

// The match points typed into the status bar's box: taken only when it is a
// finite number that rounds into 62..1000, differs from the points in force
// and exceeds both sides' match points.
std::optional<std::int16_t> ParseMatchPoints(const QString& text, int current, int matchScore, int oppMatchScore);

}  // namespace play
