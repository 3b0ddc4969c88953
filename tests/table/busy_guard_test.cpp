#include <gtest/gtest.h>

#include "table/busy_guard.h"

using table::Activity;
using table::BusyGuard;

TEST(BusyGuard, RefusesWhileAnyActivityRunsAndNests) {
  BusyGuard guard;
  EXPECT_TRUE(guard.MayReplaceTable());
  {
    auto deal = guard.Enter(Activity::Deal);
    EXPECT_FALSE(guard.MayReplaceTable());
    {
      auto move = guard.Enter(Activity::Move);
      auto again = guard.Enter(Activity::Move);
      EXPECT_TRUE(guard.IsRunning(Activity::Move));
    }
    EXPECT_FALSE(guard.IsRunning(Activity::Move));
    EXPECT_TRUE(guard.IsRunning(Activity::Deal));
    EXPECT_FALSE(guard.MayReplaceTable());
  }
  EXPECT_TRUE(guard.MayReplaceTable());
}

TEST(BusyGuard, MovedScopeReleasesOnce) {
  BusyGuard guard;
  {
    auto outer = guard.Enter(Activity::GameOver);
    auto moved = std::move(outer);
    EXPECT_TRUE(guard.IsRunning(Activity::GameOver));
  }
  EXPECT_TRUE(guard.MayReplaceTable());
}
