#pragma once
// Everything the move operations and the computer's turn talk to, as
// recording fakes, around a fresh table.

#include <functional>
#include <vector>

#include "platform/wait.h"
#include "play/rules/apply_move.h"
#include "table/busy_guard.h"
#include "table/fake_sound_effects.h"
#include "table/fake_table_view.h"
#include "table/game_state.h"
#include "table/piles.h"

namespace testing_support {

class FakePlayHooks : public play::PlayHooks {
 public:
  explicit FakePlayHooks(play::PlayState& state) : state_(state) {}

  // Game over as the scoring code leaves it.
  void GameOver(int winner) override {
    gameOvers.push_back(winner);
    state_.GameEnded = true;
    state_.CurrentTurn = table::Turn::None;
    state_.ComputerThinking = false;
  }
  void ShowPileCounts() override {
    ++pileCounts;
    if (afterMove) afterMove();
  }
  void WriteMoveRecord(int record) override { moveRecords.push_back(record); }
  void SaveGameRecord() override { ++backups; }
  bool Move_Transmit_PlayCard(const play::OnlineMove& move) override {
    transmitted.push_back(move);
    return peerStays;
  }
  void EnableNextTip(bool enabled) override { nextTip.push_back(enabled); }

  std::vector<int> gameOvers;
  int pileCounts = 0;
  std::vector<int> moveRecords;
  int backups = 0;
  bool peerStays = true;
  std::vector<play::OnlineMove> transmitted;
  std::vector<bool> nextTip;
  std::function<void()> afterMove;  // runs at the end of every completed move

 private:
  play::PlayState& state_;
};

struct MoveRig {
  MoveRig() { wait.SetTimeScale(0); }

  table::PileArrays piles;
  play::PlayState state;
  FakeTableView view;
  FakeSoundEffects sfx;
  platform::WaitService wait;
  table::BusyGuard guard;
  FakePlayHooks hooks{state};
  play::NetState net;
  play::MoveServices services{piles, state, view, sfx, wait, guard, hooks, net, 0.0f, {}};
};

}  // namespace testing_support
