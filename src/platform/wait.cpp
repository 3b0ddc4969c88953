#include "platform/wait.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <cmath>
#include <limits>

namespace platform {

namespace {

// Keeps the wait-depth counter right however a wait ends.
class DepthGuard {
 public:
  explicit DepthGuard(int& depth) : depth_(depth) { ++depth_; }
  ~DepthGuard() { --depth_; }
  DepthGuard(const DepthGuard&) = delete;
  DepthGuard& operator=(const DepthGuard&) = delete;

 private:
  int& depth_;
};

// A QTimer interval holds an int of milliseconds; longer waits re-arm.
constexpr qint64 kMaxTimerMs = std::numeric_limits<int>::max();

}  // namespace

WaitService::WaitService(QObject* parent) : QObject(parent) {}

// The one wait loop. The nested loop sleeps in the event dispatcher until an
// event arrives: the deadline timer, Wake(), or any window, timer or socket
// event. Every pass handles at least one event and then looks at the
// deadline, Exiting and the condition, so the wait costs no processor time
// while nothing happens. The clock is monotonic: a wait across midnight or a
// change of the system time lasts as long as it was asked to. The queued
// work runs at least once before the deadline is looked at: a thread held
// off the processor past a short deadline still lets it run, as a wait
// shortened to nothing does.
bool WaitService::RunWait(const std::function<bool()>& condition, qint64 timeoutMs) {
  DepthGuard guard(depth_);
  QElapsedTimer clock;
  clock.start();
  QEventLoop loop;
  QTimer deadline;
  deadline.setSingleShot(true);
  deadline.setTimerType(Qt::PreciseTimer);
  // The timer's own event ends the pass; it needs no handler.
  connect(&deadline, &QTimer::timeout, &loop, [] {});
  bool ranOnce = false;
  for (;;) {
    if (condition && condition()) return true;
    if (exiting_) break;
    if (timeoutMs >= 0) {
      const qint64 left = timeoutMs - clock.elapsed();
      if (left <= 0) {
        if (ranOnce) break;
        loop.processEvents(QEventLoop::AllEvents);
        ranOnce = true;
        continue;
      }
      deadline.start(static_cast<int>(std::min(left, kMaxTimerMs)));
    }
    loop.processEvents(QEventLoop::WaitForMoreEvents);
    ranOnce = true;
  }
  return condition && condition();
}

void WaitService::Pause(double seconds) {
  if (!(seconds > 0) || exiting_) return;
  const double ms = seconds * timeScale_ * 1000.0;
  if (!(ms >= 1.0)) {
    // A wait shortened to nothing still lets the queued work run once, so
    // that a test with time scale 0 sees what the pause would have let run.
    Yield();
    return;
  }
  RunWait(nullptr, std::isfinite(ms) ? static_cast<qint64>(std::llround(std::min(ms, 9.0e15))) : -1);
}

bool WaitService::WaitUntil(const std::function<bool()>& condition, double timeoutSeconds) {
  if (!condition) return false;
  if (timeoutSeconds < 0) return RunWait(condition, -1);
  const double ms = timeoutSeconds * timeScale_ * 1000.0;
  if (!(ms >= 1.0)) {
    if (condition()) return true;
    Yield();
    return condition();
  }
  return RunWait(condition, std::isfinite(ms) ? static_cast<qint64>(std::llround(std::min(ms, 9.0e15))) : -1);
}

void WaitService::Yield() {
  DepthGuard guard(depth_);
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void WaitService::Wake() {
  emit wakeAll();
  // Ends the dispatcher's sleep, so that a wait looks again even when the
  // change came from outside any event.
  if (auto* dispatcher = QAbstractEventDispatcher::instance()) dispatcher->wakeUp();
}

void WaitService::SetExiting(bool on) {
  exiting_ = on;
  if (on) Wake();
}

bool WaitService::RequestClose() {
  closeRequested_ = true;
  SetExiting(true);
  return depth_ > 0;
}

}  // namespace platform
