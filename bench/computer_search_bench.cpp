// The computer's move search, timed over whole simulated games with the
// pauses and the card slides switched off: only the time spent inside the
// computer's turns counts, per turn and per pass of its search.

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <cstdio>

#include "../tests/play/simulated_game.h"
#include "brief.h"

namespace {

void ComputerSearchPerTurn(benchmark::State& state) {
  platform::WaitService wait;
  wait.SetTimeScale(0);
  std::uint32_t seed = 1;
  double seconds = 0;
  long turns = 0;
  long passes = 0;
  long moves = 0;
  for (auto _ : state) {
    testing_support::SimulatedGame game(seed++, wait, /*thinkDelay=*/0.0f, /*checking=*/false);
    const testing_support::GameResult r = game.Play();
    const double gameSeconds = std::chrono::duration<double>(r.computerTime).count();
    state.SetIterationTime(gameSeconds);
    seconds += gameSeconds;
    turns += r.computerTurns;
    passes += r.computerPasses;
    moves += r.computerMoves;
  }
  if (turns == 0 || passes == 0) return;
  const double perTurn = seconds * 1e6 / static_cast<double>(turns);
  const double perPass = seconds * 1e6 / static_cast<double>(passes);
  state.counters["us_per_turn"] = perTurn;
  state.counters["us_per_pass"] = perPass;
  state.counters["moves_per_turn"] = static_cast<double>(moves) / static_cast<double>(turns);
  state.counters["turns"] = static_cast<double>(turns);
  std::printf("computer search: %.2f us per turn, %.2f us per pass (%ld turns, %ld passes, %ld moves, %u games)\n",
              perTurn, perPass, turns, passes, moves, seed - 1);
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
