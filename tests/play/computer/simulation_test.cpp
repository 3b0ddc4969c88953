// Whole games, seed after seed, with every move judged and the table
// checked after each one.

#include <gtest/gtest.h>

#include "platform/wait.h"
#include "play/simulated_game.h"

namespace {

using testing_support::GameResult;
using testing_support::SimulatedGame;

constexpr int kGames = 1000;

TEST(Simulation, ThousandSeededGamesKeepEveryRule) {
  platform::WaitService wait;
  wait.SetTimeScale(0);
  int wins[2] = {0, 0};
  int stalemates = 0;
  long computerTurns = 0;
  long computerMoves = 0;
  long humanMoves = 0;
  for (std::uint32_t seed = 1; seed <= kGames; ++seed) {
    // The fastest thinking level: its pauses still run, shortened to nothing.
    SimulatedGame game(seed, wait, 0.05f);
    const GameResult r = game.Play();
    for (const std::string& fault : r.faults) ADD_FAILURE() << fault;
    if (!r.faults.empty()) break;
    if (r.winner >= 0) {
      ++wins[r.winner];
    } else {
      EXPECT_GE(r.turns, SimulatedGame::kStalemateTurns) << "seed " << seed << " stopped without an end";
      ++stalemates;
    }
    computerTurns += r.computerTurns;
    computerMoves += r.computerMoves;
    humanMoves += r.humanMoves;
  }
  // Games are won by both sides, and both sides really play.
  EXPECT_GT(wins[0] + wins[1], 0);
  EXPECT_GT(computerMoves, computerTurns);
  EXPECT_GT(humanMoves, 0);
  RecordProperty("computer_wins", wins[1]);
  RecordProperty("player_wins", wins[0]);
  RecordProperty("stalemates", stalemates);
  std::printf("%d games: computer won %d, player won %d, %d stalemates; %ld computer turns, %ld moves\n", kGames,
              wins[1], wins[0], stalemates, computerTurns, computerMoves);
}

}  // namespace
