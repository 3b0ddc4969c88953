#include "play/game/game_clock.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace play {

namespace {

double SteadySeconds() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

GameClock::GameClock(Now now) : now_(now ? std::move(now) : Now(SteadySeconds)) {}

void GameClock::Start(double elapsedSeconds) {
  GameStartTime = now_() - std::max(0.0, elapsedSeconds);
  PauseStartTime = 0;
  GamePaused = false;
  stoppedAt_ = 0;
  shown_ = -1;
  running_ = true;
}

void GameClock::Stop() {
  if (running_) {
    const std::int64_t elapsed = ElapsedSeconds();
    stoppedAt_ = now_();
    // The panel's last tick, one second behind at most, is the time the
    // game showed: the clock keeps it (half a second into that second, so
    // that the floor keeps it).
    if (shown_ >= 0 && PauseStartTime == 0 && elapsed - shown_ <= 1)
      stoppedAt_ = std::min(stoppedAt_, GameStartTime + double(shown_) + 0.5);
  }
  running_ = false;
}

void GameClock::Reset() {
  running_ = false;
  stoppedAt_ = 0;
  PauseStartTime = 0;
  GamePaused = false;
}

std::int64_t GameClock::ElapsedSeconds() const {
  double end = now_();
  if (PauseStartTime != 0) {
    end = PauseStartTime;
  } else if (!running_) {
    if (stoppedAt_ == 0) return 0;
    end = stoppedAt_;
  }
  const double s = std::floor(end - GameStartTime);
  return s > 0 ? static_cast<std::int64_t>(s) : 0;
}

QString GameClock::ShownText() {
  shown_ = ElapsedSeconds();
  return Text(shown_);
}

QString GameClock::Text(std::int64_t seconds) {
  if (seconds < 0) seconds = 0;
  std::int64_t minutes = seconds / 60;
  const std::int64_t secs = seconds % 60;
  std::int64_t hours = 0;
  if (minutes >= 60) {
    hours = minutes / 60;
    minutes %= 60;
  }
  return QString("%1:%2:%3").arg(hours, 2, 10, QChar('0')).arg(minutes, 2, 10, QChar('0')).arg(secs, 2, 10, QChar('0'));
}

bool GameClock::Pause() {
  GamePaused = true;
  if (!running_) {
    PauseStartTime = 0;
    return false;
  }
  PauseStartTime = now_();
  stoppedAt_ = 0;
  // A steady clock may stand at 0 only at its epoch; keep 0 meaning "not paused".
  if (PauseStartTime == 0) PauseStartTime = 1e-9;
  running_ = false;
  return true;
}

bool GameClock::Resume() {
  GamePaused = false;
  if (PauseStartTime == 0) return false;
  GameStartTime += now_() - PauseStartTime;
  PauseStartTime = 0;
  running_ = true;
  return true;
}

std::optional<std::int16_t> ParseMatchPoints(const QString& text, int current, int matchScore, int oppMatchScore) {
  bool ok = false;
  const double value = text.trimmed().toDouble(&ok);
  if (!ok || !std::isfinite(value)) return std::nullopt;
  const double rounded = std::nearbyint(value);
  if (rounded < kLowestMatchTarget || rounded > kHighestMatchTarget) return std::nullopt;
  const int points = static_cast<int>(rounded);
  if (points == current || points <= matchScore || points <= oppMatchScore) return std::nullopt;
  return static_cast<std::int16_t>(points);
}

}  // namespace play
