#include "platform/exit_signals.h"

#include <gtest/gtest.h>

#include <csignal>
#include <vector>

#include "platform/wait.h"

TEST(ExitSignals, EachTerminationSignalBecomesAnEventOfTheProgram) {
  std::vector<int> received;
  {
    platform::ExitSignals exitSignals;
    ASSERT_TRUE(exitSignals.Catching());
    QObject::connect(&exitSignals, &platform::ExitSignals::exitRequested,
                     [&](int number) { received.push_back(number); });
    // Caught before the program listens (while it is being built), kept
    // until it does.
    raise(SIGTERM);
    platform::WaitService wait;
    wait.Yield();
    EXPECT_TRUE(received.empty());
    exitSignals.Listen();
    for (int number : {SIGINT, SIGHUP}) raise(number);
    // The handler only notes the signal; the program hears of it from its
    // event loop.
    EXPECT_TRUE(received.empty());
    wait.WaitUntil([&] { return received.size() == 3; }, 30);
    EXPECT_EQ(received, (std::vector<int>{SIGTERM, SIGINT, SIGHUP}));
  }
  // Without the object the signals end the program again.
  struct sigaction now {};
  ASSERT_EQ(sigaction(SIGTERM, nullptr, &now), 0);
  EXPECT_EQ(now.sa_handler, SIG_DFL);
}
