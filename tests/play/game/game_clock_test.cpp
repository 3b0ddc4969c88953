#include "play/game/game_clock.h"

#include <gtest/gtest.h>

using play::GameClock;
using play::ParseMatchPoints;

TEST(GameClock, Text) {
  EXPECT_EQ(GameClock::Text(0), "00:00:00");
  EXPECT_EQ(GameClock::Text(3909), "01:05:09");
  EXPECT_EQ(GameClock::Text(59 * 60 + 59), "00:59:59");
  EXPECT_EQ(GameClock::Text(25 * 3600 + 1), "25:00:01");
  EXPECT_EQ(GameClock::Text(100 * 3600), "100:00:00");
}

TEST(GameClock, PausedTimeIsLeftOut) {
  double now = 1000;
  GameClock clock([&] { return now; });
  clock.Start();
  now += 65.4;
  EXPECT_EQ(clock.ElapsedSeconds(), 65);
  EXPECT_TRUE(clock.Pause());
  now += 600;
  EXPECT_EQ(clock.ElapsedSeconds(), 65);
  EXPECT_TRUE(clock.Resume());
  EXPECT_EQ(clock.ElapsedSeconds(), 65);
  now += 10;
  EXPECT_EQ(clock.ElapsedSeconds(), 75);
  EXPECT_FALSE(clock.GamePaused);
  EXPECT_EQ(clock.PauseStartTime, 0);
}

TEST(GameClock, PausingAStoppedClockFreezesNothing) {
  double now = 50;
  GameClock clock([&] { return now; });
  EXPECT_FALSE(clock.Pause());
  EXPECT_TRUE(clock.GamePaused);
  EXPECT_EQ(clock.PauseStartTime, 0);
  EXPECT_FALSE(clock.Resume());
  EXPECT_FALSE(clock.GamePaused);
}

TEST(GameClock, RestoredGameAndGameOver) {
  double now = 0;
  GameClock clock([&] { return now; });
  clock.Start(90000);  // a restored game of 25 hours
  now += 5;
  EXPECT_EQ(clock.ElapsedSeconds(), 90005);
  clock.Stop();
  now += 100;
  EXPECT_EQ(clock.ElapsedSeconds(), 90005);
  clock.Pause();
  clock.Start();
  EXPECT_FALSE(clock.GamePaused);
  EXPECT_EQ(clock.ElapsedSeconds(), 0);
}

TEST(GameClock, GameOverKeepsTheTimeThePanelShowed) {
  double now = 10;
  GameClock clock([&] { return now; });
  clock.Start();
  now += 338.7;
  EXPECT_EQ(clock.ShownText(), "00:05:38");
  now += 0.6;  // the game ends before the next tick
  clock.Stop();
  EXPECT_EQ(clock.ElapsedSeconds(), 338);
  // Without a tick since the start the stop itself counts.
  clock.Start();
  now += 7.2;
  clock.Stop();
  EXPECT_EQ(clock.ElapsedSeconds(), 7);
}

TEST(ParseMatchPoints, OnlyFiniteValuesInRangeAboveBothScores) {
  EXPECT_EQ(ParseMatchPoints("150", 100, 20, 30), 150);
  EXPECT_EQ(ParseMatchPoints(" 62 ", 100, 0, 0), 62);
  EXPECT_EQ(ParseMatchPoints("999.6", 100, 0, 0), 1000);
  EXPECT_EQ(ParseMatchPoints("62.5", 100, 0, 0), 62);  // a half to the even neighbour
  for (const char* bad : {"61", "1001", "100", "abc", "", "nan", "inf", "1e300", "-1e300", "70000", "0"})
    EXPECT_FALSE(ParseMatchPoints(bad, 100, 0, 0)) << bad;
  EXPECT_FALSE(ParseMatchPoints("80", 100, 80, 0));
  EXPECT_FALSE(ParseMatchPoints("80", 100, 0, 95));
}
