#include "platform/wait.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>
#include <chrono>
#include <ctime>
#include <thread>
#include <vector>

using platform::WaitService;

namespace {

// Runs f as a queued event, after the current one.
template <typename F>
void Queue(F f) {
  QMetaObject::invokeMethod(QCoreApplication::instance(), f, Qt::QueuedConnection);
}

}  // namespace

TEST(WaitServiceTest, PauseOfZeroRunsNoEvents) {
  WaitService w;
  bool ran = false;
  Queue([&] { ran = true; });
  w.Pause(0);
  w.Pause(-1);
  EXPECT_FALSE(ran);
  EXPECT_EQ(w.Depth(), 0);
  QCoreApplication::processEvents();
  EXPECT_TRUE(ran);
}

TEST(WaitServiceTest, PauseRunsEventsThatFallDueWithinIt) {
  WaitService w;
  bool queued = false, timer = false;
  Queue([&] { queued = true; });
  QTimer::singleShot(5, [&] { timer = true; });
  w.Pause(0.2);
  EXPECT_TRUE(queued);
  EXPECT_TRUE(timer);
}

TEST(WaitServiceTest, TimeScaleZeroDoesNotWaitButRunsQueuedWorkOnce) {
  WaitService w;
  w.SetTimeScale(0);
  int depthSeen = -1;
  Queue([&] { depthSeen = w.Depth(); });
  bool late = false;
  QTimer hour;
  hour.setSingleShot(true);
  QObject::connect(&hour, &QTimer::timeout, [&] { late = true; });
  hour.start(3'600'000);
  w.Pause(3600);  // would be an hour in real time
  EXPECT_EQ(depthSeen, 1);
  EXPECT_FALSE(late);
  EXPECT_FALSE(w.WaitUntil([] { return false; }, 3600));
}

TEST(WaitServiceTest, AWaitHeldOffPastItsDeadlineStillRunsTheQueuedWorkOnce) {
  WaitService w;
  bool ran = false;
  Queue([&] { ran = true; });
  bool heldOff = false;
  // The first look stands for a thread kept off the processor until its
  // 2 ms deadline has passed.
  EXPECT_TRUE(w.WaitUntil(
      [&] {
        if (!heldOff) {
          heldOff = true;
          std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return ran;
      },
      0.002));
  QCoreApplication::processEvents();
}

TEST(WaitServiceTest, ExitingSetByATimerEndsALongPause) {
  WaitService w;
  QTimer::singleShot(10, [&] { w.SetExiting(true); });
  w.Pause(3600);
  EXPECT_TRUE(w.Exiting());
  EXPECT_EQ(w.Depth(), 0);
  // A pause begun while exiting does not wait and runs nothing.
  bool ran = false;
  Queue([&] { ran = true; });
  w.Pause(3600);
  EXPECT_FALSE(ran);
  QCoreApplication::processEvents();
}

TEST(WaitServiceTest, NestedWaitsCountDepthAndExitingReleasesThemAll) {
  WaitService w;
  std::vector<int> depths;
  bool innerReturned = false;
  QTimer::singleShot(0, [&] {
    depths.push_back(w.Depth());
    QTimer::singleShot(10, [&] {
      depths.push_back(w.Depth());
      w.SetExiting(true);
    });
    w.Pause(3600);  // runs inside the outer pause
    innerReturned = true;
    depths.push_back(w.Depth());
  });
  w.Pause(3600);
  EXPECT_TRUE(innerReturned);
  EXPECT_EQ(depths, (std::vector<int>{1, 2, 1}));
  EXPECT_EQ(w.Depth(), 0);
}

TEST(WaitServiceTest, WaitUntilSeesAConditionMetByAQueuedEvent) {
  WaitService w;
  bool ready = false;
  Queue([&] { Queue([&] { ready = true; }); });
  EXPECT_TRUE(w.WaitUntil([&] { return ready; }));
  EXPECT_EQ(w.Depth(), 0);

  // Met by a timer: no Wake() needed, the wait looks at every event.
  int count = 0;
  QTimer tick;
  QObject::connect(&tick, &QTimer::timeout, [&] { ++count; });
  tick.start(1);
  EXPECT_TRUE(w.WaitUntil([&] { return count >= 3; }, 3600));
  tick.stop();

  // Already true: no events run.
  bool ran = false;
  Queue([&] { ran = true; });
  EXPECT_TRUE(w.WaitUntil([] { return true; }, 3600));
  EXPECT_FALSE(ran);
  QCoreApplication::processEvents();
}

TEST(WaitServiceTest, WaitUntilTimesOutAndEndsOnExiting) {
  WaitService w;
  EXPECT_FALSE(w.WaitUntil([] { return false; }, 0.02));
  QTimer::singleShot(10, [&] { w.SetExiting(true); });
  EXPECT_FALSE(w.WaitUntil([] { return false; }));
  EXPECT_EQ(w.Depth(), 0);
}

TEST(WaitServiceTest, CloseDuringAWaitIsDeferred) {
  WaitService w;
  EXPECT_FALSE(w.CloseRequested());
  bool deferred = false;
  QTimer::singleShot(10, [&] { deferred = w.RequestClose(); });
  w.Pause(3600);
  EXPECT_TRUE(deferred);
  EXPECT_TRUE(w.Exiting());
  EXPECT_TRUE(w.CloseRequested());
  w.ClearCloseRequest();
  EXPECT_FALSE(w.CloseRequested());

  WaitService idle;
  EXPECT_FALSE(idle.RequestClose());  // nothing waits: close at once
  EXPECT_TRUE(idle.Exiting());
}

// The wait sleeps in the event dispatcher instead of spinning: half a
// second of pausing must cost far less processor time than that.
// Measured on this thread only, after one pass of the event loop so that
// the application's first-time set-up is not counted.
TEST(WaitServiceTest, PauseDoesNotSpin) {
  WaitService w;
  w.Yield();
  auto threadCpu = [] {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + ts.tv_nsec / 1e9;
  };
  const double start = threadCpu();
  w.Pause(0.5);
  EXPECT_LT(threadCpu() - start, 0.1);
}
