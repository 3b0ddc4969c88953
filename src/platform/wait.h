#pragma once
// The one wait service of the program. Long actions run inside the event
// that started them and keep the window alive by waiting here: the wait runs
// a nested event loop woken by a timer or by the events it waits for, never
// a busy spin. Every wait ends early once Exiting is set.

#include <QObject>
#include <functional>

namespace platform {

class WaitService : public QObject {
  Q_OBJECT
 public:
  explicit WaitService(QObject* parent = nullptr);

  // Waits the given seconds (scaled by the time scale) while window events
  // run. 0 or less returns at once without running events; so does a pause
  // begun while Exiting is set. Any other pause runs the pending events at
  // least once, even when its thread gets the processor back only after the
  // deadline; one that the time scale shortens below a millisecond runs them
  // once instead of waiting.
  void Pause(double seconds);

  // Runs window events until the condition holds, Exiting is set, or the
  // timeout (seconds, scaled; negative for none) passes. Returns the
  // condition's last value. Call Wake() after changing what it tests so that
  // the wait looks again at once; it also looks again at every event. A
  // timeout that the time scale shortens below a millisecond runs the
  // pending events once, then looks.
  bool WaitUntil(const std::function<bool()>& condition, double timeoutSeconds = -1);

  // Runs the pending events once (what the program calls "yield").
  void Yield();

  // Makes every running wait look at its condition again.
  void Wake();

  bool Exiting() const { return exiting_; }
  // Sets Exiting and releases every running wait.
  void SetExiting(bool on);

  // Number of waits running now, nested (Yield counts while it runs).
  int Depth() const { return depth_; }

  // A modal box or dialog runs an event loop of its own: for as long as a
  // ModalWait lives it counts as a wait, so a close request meanwhile is
  // deferred to the command that opened the box.
  class ModalWait {
   public:
    explicit ModalWait(WaitService& wait) : wait_(wait) { ++wait_.depth_; }
    ~ModalWait() { --wait_.depth_; }
    ModalWait(const ModalWait&) = delete;
    ModalWait& operator=(const ModalWait&) = delete;

   private:
    WaitService& wait_;
  };

  // A close request sets Exiting and CloseRequested and releases every
  // running wait. True when a wait is running (Depth() > 0): the close is
  // then deferred, and the outermost handler asks CloseRequested() when it
  // returns and completes the close then. False: no wait runs, close now.
  bool RequestClose();
  bool CloseRequested() const { return closeRequested_; }
  void ClearCloseRequest() { closeRequested_ = false; }

  // Tests shorten every wait with this factor (1 = real time, 0 = no wait).
  void SetTimeScale(double scale) { timeScale_ = scale; }
  double TimeScale() const { return timeScale_; }

 signals:
  void wakeAll();

 private:
  // Runs events until the condition (when given) holds, Exiting is set or
  // the timeout (milliseconds, negative for none) passes.
  bool RunWait(const std::function<bool()>& condition, qint64 timeoutMs);

  bool exiting_ = false;
  bool closeRequested_ = false;
  int depth_ = 0;
  double timeScale_ = 1.0;
};

}  // namespace platform
