// The computer's move search, timed over whole simulated games with the
// pauses and the card slides switched off: only the time spent inside the
// computer's turns counts, per turn and per pass of its search. Besides the
// mean, the 99th percentile and the slowest turn over every position played
// tell whether a single turn keeps the player waiting.

#include <QCoreApplication>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <vector>

#include "../tests/play/simulated_game.h"
#include "brief.h"

namespace {

// One computer turn: how long it took and where it was played.
struct TimedTurn {
  double us = 0;
  std::uint32_t seed = 0;  // the game's seed
  int turn = 0;            // the computer's turn in that game, from 1
};

// The nearest-rank percentile (0 < fraction <= 1) of turns sorted by time.
double Percentile(const std::vector<TimedTurn>& sorted, double fraction) {
  const auto rank = static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(sorted.size())));
  return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1].us;
}

void ComputerSearchPerTurn(benchmark::State& state) {
  platform::WaitService wait;
  wait.SetTimeScale(0);
  std::uint32_t seed = 1;
  double seconds = 0;
  long passes = 0;
  long moves = 0;
  std::vector<TimedTurn> turns;
  for (auto _ : state) {
    testing_support::SimulatedGame game(seed, wait, /*thinkDelay=*/0.0f, /*checking=*/false);
    const testing_support::GameResult r = game.Play();
    const double gameSeconds = std::chrono::duration<double>(r.computerTime).count();
    state.SetIterationTime(gameSeconds);
    seconds += gameSeconds;
    passes += r.computerPasses;
    moves += r.computerMoves;
    for (std::size_t i = 0; i < r.computerTurnTimes.size(); ++i)
      turns.push_back(
          {std::chrono::duration<double, std::micro>(r.computerTurnTimes[i]).count(), seed, static_cast<int>(i) + 1});
    ++seed;
  }
  if (turns.empty() || passes == 0) return;
  const auto count = static_cast<long>(turns.size());
  const double perTurn = seconds * 1e6 / static_cast<double>(count);
  const double perPass = seconds * 1e6 / static_cast<double>(passes);
  std::sort(turns.begin(), turns.end(), [](const TimedTurn& a, const TimedTurn& b) { return a.us < b.us; });
  const double p99 = Percentile(turns, 0.99);
  const TimedTurn& slowest = turns.back();
  state.counters["us_per_turn"] = perTurn;
  state.counters["us_p99_turn"] = p99;
  state.counters["us_max_turn"] = slowest.us;
  state.counters["us_per_pass"] = perPass;
  state.counters["moves_per_turn"] = static_cast<double>(moves) / static_cast<double>(count);
  state.counters["turns"] = static_cast<double>(count);
  std::printf(
      "computer search: %.2f us per turn on average, %.2f us at the 99th percentile, %.2f us the slowest "
      "(game %u, its turn %d); %.2f us per pass (%ld turns, %ld passes, %ld moves, %u games)\n",
      perTurn, p99, slowest.us, slowest.seed, slowest.turn, perPass, count, passes, moves, seed - 1);
}

}  // namespace

int main(int argc, char** argv) {
  const bool brief = bench::TakeBrief(argc, argv);
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  // Brief: one whole game.
  benchmark::RegisterBenchmark("ComputerSearchPerTurn", ComputerSearchPerTurn)
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond)
      ->Iterations(brief ? 1 : 1000);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
