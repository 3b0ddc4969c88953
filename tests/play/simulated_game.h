#pragma once
// Whole games played headless: the computer's turn against a scripted local
// player who makes only moves the rule checks accept. Every move is judged
// again by the pile rules written out here, independently of the game's own
// rule code, and the table is checked after each one. Shared by the
// simulation test and the search benchmark.

#include <QString>
#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/ui.h"
#include "platform/wait.h"
#include "play/computer/computer_player.h"
#include "play/rules/apply_move.h"
#include "play/rules/rule_checks.h"
#include "play/rules/who_goes_first.h"
#include "table/busy_guard.h"
#include "table/deal.h"
#include "table/game_state.h"
#include "table/piles.h"
#include "table/sound_effects.h"
#include "table/table_view.h"

namespace testing_support {

// The pile rules, written from the game's description rather than taken
// from its code: suit = (code - 1) / 13 + 1, rank 1..13, suits 1 and 4 black.
namespace independent {

inline int Suit(table::CardCode c) { return (c - 1) / 13 + 1; }
inline int Rank(table::CardCode c) { return (c - 1) % 13 + 1; }
inline bool Red(table::CardCode c) { return Suit(c) == 2 || Suit(c) == 3; }
inline bool IsCard(table::CardCode c) { return c >= 1 && c <= 52; }

inline table::CardCode Top(const table::PileArrays::SidePile& pile, int count) {
  return count > 0 && count <= table::kSidePileCapacity ? pile[count] : table::CardCode{0};
}
inline table::CardCode Top(const table::PileArrays::SharedPile& pile, int count) {
  return count > 0 && count <= table::kSharedPileCapacity ? pile[count] : table::CardCode{0};
}

// Why a move by `side` breaks the pile rules; empty when it is legal.
inline std::string MoveFault(const table::PileArrays& p, int side, table::PileControl source, int sourceIndex,
                             table::CardCode card, table::PileControl target, int targetIndex) {
  using table::PileControl;
  if (!IsCard(card)) return "not a card";
  const PileControl own = side == 0 ? PileControl::picPlayer : PileControl::picOpponent;
  const PileControl theirs = side == 0 ? PileControl::picOpponent : PileControl::picPlayer;
  table::CardCode sourceTop = 0;
  if (source == own && sourceIndex == 1) {
    sourceTop = Top(p.Stock[side], p.StockCount[side]);
  } else if (source == own && sourceIndex == 2) {
    sourceTop = Top(p.Reserve[side], p.ReserveCount[side]);
  } else if (source == PileControl::picTableau && sourceIndex >= 1 && sourceIndex <= 8) {
    sourceTop = Top(p.Tableau[sourceIndex], p.TableauCount[sourceIndex]);
  } else {
    return "cards are not played from that pile";
  }
  if (sourceTop != card) return "the card is not the top of its pile";

  if (target == PileControl::picCenter && targetIndex >= 1 && targetIndex <= 8) {
    const table::CardCode top = Top(p.Center[targetIndex], p.CenterCount[targetIndex]);
    if (top == 0) return Rank(card) == 1 ? "" : "only an Ace starts a Center pile";
    return Suit(top) == Suit(card) && Rank(card) == Rank(top) + 1 ? "" : "Center not built up in suit";
  }
  if (target == PileControl::picTableau && targetIndex >= 1 && targetIndex <= 8) {
    if (source == PileControl::picTableau && sourceIndex == targetIndex) return "onto its own pile";
    const table::CardCode top = Top(p.Tableau[targetIndex], p.TableauCount[targetIndex]);
    if (top == 0) return "";
    return Red(top) != Red(card) && Rank(card) == Rank(top) - 1 ? "" : "Tableau not built down in alternating colours";
  }
  if (target == theirs && (targetIndex == 2 || targetIndex == 3)) {
    const int other = 1 - side;
    const table::CardCode top =
        targetIndex == 2 ? Top(p.Reserve[other], p.ReserveCount[other]) : Top(p.Waste[other], p.WasteCount[other]);
    if (top == 0) return "an empty pile of the opponent takes nothing";
    return Suit(top) == Suit(card) && (Rank(card) == Rank(top) + 1 || Rank(card) == Rank(top) - 1)
               ? ""
               : "opponent's pile not loaded in suit and sequence";
  }
  return "not a target pile";
}

// What must hold between any two moves; empty when it does.
inline std::string TableFault(const table::PileArrays& p) {
  std::array<int, 53> seen{};
  int total = 0;
  auto side = [&](const table::PileArrays::SidePile& pile, int count, const char* name) -> std::string {
    if (count < 0 || count > table::kSidePileCapacity) return std::string(name) + " count out of range";
    for (int i = 1; i <= table::kSidePileCapacity; ++i) {
      if (i <= count) {
        if (!IsCard(pile[i])) return std::string(name) + " holds a non-card";
        ++seen[pile[i]];
        ++total;
      } else if (pile[i] != 0) {
        return std::string(name) + " keeps a card above its count";
      }
    }
    return "";
  };
  auto shared = [&](const table::PileArrays::SharedPile& pile, int count, const char* name) -> std::string {
    if (count < 0 || count > table::kSharedPileCapacity) return std::string(name) + " count out of range";
    for (int i = 1; i <= table::kSharedPileCapacity; ++i) {
      if (i <= count) {
        if (!IsCard(pile[i])) return std::string(name) + " holds a non-card";
        ++seen[pile[i]];
        ++total;
      } else if (pile[i] != 0) {
        return std::string(name) + " keeps a card above its count";
      }
    }
    return "";
  };
  for (int s = 0; s < 2; ++s) {
    for (const std::string& f :
         {side(p.Reserve[s], p.ReserveCount[s], "Reserve"), side(p.Stock[s], p.StockCount[s], "Stock"),
          side(p.Waste[s], p.WasteCount[s], "Waste")}) {
      if (!f.empty()) return f;
    }
    if (p.ReserveFaceDown[s] < 0 || (p.ReserveCount[s] > 0 && p.ReserveFaceDown[s] >= p.ReserveCount[s]))
      return "ReserveFaceDown out of range";
  }
  for (int t = 1; t <= 8; ++t) {
    for (const std::string& f :
         {shared(p.Tableau[t], p.TableauCount[t], "Tableau"), shared(p.Center[t], p.CenterCount[t], "Center")}) {
      if (!f.empty()) return f;
    }
    for (int i = 1; i <= p.CenterCount[t]; ++i) {
      const table::CardCode c = p.Center[t][i];
      if (Rank(c) != i || Suit(c) != Suit(p.Center[t][1])) return "a Center pile out of sequence";
    }
    for (int i = 2; i <= p.TableauCount[t]; ++i) {
      const table::CardCode below = p.Tableau[t][i - 1];
      const table::CardCode above = p.Tableau[t][i];
      if (Red(below) == Red(above) || Rank(above) != Rank(below) - 1) return "a Tableau pile out of sequence";
    }
  }
  if (total != 104) return "the table holds " + std::to_string(total) + " cards";
  for (int c = 1; c <= 52; ++c) {
    if (seen[c] != 2) return "card " + std::to_string(c) + " is on the table " + std::to_string(seen[c]) + " times";
  }
  return "";
}

}  // namespace independent

struct GameResult {
  int winner = -1;  // 0 the scripted player, 1 the computer, -1 stalemate
  int turns = 0;    // TurnCount reached
  int computerTurns = 0;
  int computerMoves = 0;
  int computerPasses = 0;
  int humanMoves = 0;
  std::chrono::nanoseconds computerTime{0};                 // inside ComputerTurn
  std::vector<std::chrono::nanoseconds> computerTurnTimes;  // each ComputerTurn, in order
  std::vector<std::string> faults;
};

// One game from one seed. The deal is the game's own shuffle and deal.
class SimulatedGame : private table::UnseenTableView,
                      private play::PlayHooks,
                      private table::DealHooks,
                      private table::SoundEffects {
 public:
  static constexpr int kStalemateTurns = 400;  // the harness declares a stalemate here
  static constexpr int kHumanMovesPerTurn = 300;

  // With checking off (for timing) the moves and the table are not judged.
  SimulatedGame(std::uint32_t seed, platform::WaitService& wait, float thinkDelay, bool checking = true)
      : seed_(seed),
        checking_(checking),
        wait_(wait),
        services_{piles_, state_, *this, *this, wait, guard_, *this, net_, thinkDelay, {}},
        computer_(services_) {}

  GameResult Play() {
    table::ShuffleDecks(piles_, table::SeededRandom(seed_));
    platform::SilentUi ui;  // the deal of two whole decks asks nothing
    table::DealServices deal{piles_, state_, *this, *this, wait_, ui, *this};
    if (table::DealNewGame(deal, static_cast<int>(seed_ % 3), table::DealOpening{}) != table::DealResult::Dealt) {
      Fault("the deal was refused");
      return result_;
    }
    // The opening layout of the window turns all but the Reserve top down.
    for (int s = 0; s < 2; ++s) piles_.ReserveFaceDown[s] = static_cast<std::int16_t>(piles_.ReserveCount[s] - 1);
    CheckTable("after the deal");

    while (!state_.GameEnded && state_.TurnCount < kStalemateTurns && result_.faults.empty()) {
      if (state_.CurrentTurn == table::Turn::Opponent) {
        ComputerTurn();
      } else if (state_.CurrentTurn == table::Turn::Local) {
        HumanTurn();
      } else {
        Fault("no side to move in a running game");
      }
    }
    result_.turns = state_.TurnCount;
    return result_;
  }

  const table::PileArrays& piles() const { return piles_; }

 private:
  // --- the computer
  void ComputerTurn() {
    const auto start = std::chrono::steady_clock::now();
    const play::TurnReport report = computer_.ComputerTurn();
    const std::chrono::nanoseconds took = std::chrono::steady_clock::now() - start;
    result_.computerTime += took;
    result_.computerTurnTimes.push_back(took);
    ++result_.computerTurns;
    result_.computerMoves += report.moves;
    result_.computerPasses += report.passes;
    if (guard_.IsRunning(table::Activity::ComputerTurn) || guard_.IsRunning(table::Activity::Move))
      Fault("the busy guard stayed set after the turn");
    switch (report.outcome) {
      case play::TurnOutcome::HandedBack:
        if (state_.CurrentTurn != table::Turn::Local || state_.ComputerThinking) Fault("the turn was not handed back");
        break;
      case play::TurnOutcome::GameEnded:
        if (!state_.GameEnded) Fault("a game-ended turn with the game running");
        break;
      default: Fault("the computer's turn ended abnormally");
    }
  }

  // --- the scripted local player
  struct Candidate {
    table::PileControl source;
    int index;
  };

  table::CardCode SourceCard(table::PileControl source, int index) const {
    if (source == table::PileControl::picTableau)
      return independent::Top(piles_.Tableau[index], piles_.TableauCount[index]);
    if (index == 1) return independent::Top(piles_.Stock[0], piles_.StockCount[0]);
    return independent::Top(piles_.Reserve[0], piles_.ReserveCount[0]);
  }

  table::CardCode TargetTop(table::PileControl target, int index) const {
    using table::PileControl;
    switch (target) {
      case PileControl::picCenter: return independent::Top(piles_.Center[index], piles_.CenterCount[index]);
      case PileControl::picTableau: return independent::Top(piles_.Tableau[index], piles_.TableauCount[index]);
      case PileControl::picOpponent:
        return index == 2 ? independent::Top(piles_.Reserve[1], piles_.ReserveCount[1])
                          : independent::Top(piles_.Waste[1], piles_.WasteCount[1]);
      case PileControl::picPlayer: return independent::Top(piles_.Waste[0], piles_.WasteCount[0]);
      default: return 0;
    }
  }

  bool Accepted(table::PileControl source, int index, table::PileControl target, int targetIndex) const {
    const table::CardCode card = SourceCard(source, index);
    if (card == 0) return false;
    const play::Drop drop{source, index, card, target, targetIndex, TargetTop(target, targetIndex)};
    return play::CheckDrop(piles_, drop).Legal();
  }

  // Plays the drop through the same operations as the window's drag.
  void Apply(table::PileControl source, int index, table::PileControl target, int targetIndex) {
    using table::PileControl;
    const table::CardCode card = SourceCard(source, index);
    const std::string fault = target == PileControl::picPlayer
                                  ? std::string()
                                  : independent::MoveFault(piles_, 0, source, index, card, target, targetIndex);
    if (!fault.empty()) Fault("the rule checks let the player make an illegal move: " + fault);
    state_.MoveSource = source;
    state_.MoveSourceIndex = static_cast<std::int16_t>(index);
    state_.MoveCard = card;
    play::MoveResult placed = play::MoveResult::NoSuchPile;
    switch (target) {
      case PileControl::picCenter: placed = play::PlaceOnCenter(services_, targetIndex); break;
      case PileControl::picTableau: placed = play::PlaceOnTableau(services_, targetIndex); break;
      case PileControl::picOpponent:
        placed = play::PlaceOnSidePile(services_, targetIndex, play::kOpponentOwner);
        break;
      case PileControl::picPlayer: placed = play::PlaceOnSidePile(services_, targetIndex, play::kLocalOwner); break;
      default: break;
    }
    if (placed != play::MoveResult::Applied) return Fault("a legal drop was refused by its Place operation");
    if (play::RemoveFromSourcePile(services_, source, index) != play::MoveResult::Applied)
      return Fault("a legal drop could not leave its pile");
    ++result_.humanMoves;
  }

  // The first move in the player's order of preference that the rules take.
  bool HumanMove() {
    using table::PileControl;
    const bool handUp = state_.StockTurned && piles_.StockCount[0] > 0;
    std::vector<Candidate> own;
    own.push_back({PileControl::picPlayer, 2});
    if (handUp) own.push_back({PileControl::picPlayer, 1});
    auto tryTargets = [&](Candidate c, PileControl target, int from, int to) {
      for (int t = from; t <= to; ++t) {
        if (c.source == PileControl::picTableau && target == PileControl::picTableau &&
            (t == c.index || piles_.TableauCount[c.index] != 1 || piles_.TableauCount[t] == 0))
          continue;  // only merges of one-card piles, so that the player never cycles
        if (Accepted(c.source, c.index, target, t)) {
          Apply(c.source, c.index, target, t);
          return true;
        }
      }
      return false;
    };
    for (Candidate c : own)
      if (tryTargets(c, PileControl::picCenter, 1, 8)) return true;
    for (int t = 1; t <= 8; ++t)
      if (tryTargets({PileControl::picTableau, t}, PileControl::picCenter, 1, 8)) return true;
    for (Candidate c : own)
      if (tryTargets(c, PileControl::picTableau, 1, 8)) return true;
    for (Candidate c : own)
      if (tryTargets(c, PileControl::picOpponent, 2, 3)) return true;
    for (int t = 1; t <= 8; ++t)
      if (tryTargets({PileControl::picTableau, t}, PileControl::picTableau, 1, 8)) return true;
    for (int t = 1; t <= 8; ++t)
      if (tryTargets({PileControl::picTableau, t}, PileControl::picOpponent, 2, 3)) return true;
    return false;
  }

  void HumanTurn() {
    using table::PileControl;
    for (int moves = 0; moves <= kHumanMovesPerTurn; ++moves) {
      if (state_.GameEnded || !result_.faults.empty()) return;
      if (HumanMove()) continue;
      if (!state_.StockTurned && play::CanTurnStock(piles_, table::Turn::Local).Legal()) {
        if (piles_.StockCount[0] > 0) {
          state_.StockTurned = true;  // the first press on the Stock turns the card up
          continue;
        }
        if (piles_.WasteCount[0] > 0) {
          table::RecycleWaste(piles_, state_, *this, *this);
          continue;
        }
      }
      if (state_.StockTurned && piles_.StockCount[0] > 0) {
        // The Hand card dropped on the own Waste ends the turn.
        if (!Accepted(PileControl::picPlayer, 1, PileControl::picPlayer, 3))
          return Fault("the player can neither move nor end his turn");
        Apply(PileControl::picPlayer, 1, PileControl::picPlayer, 3);
        state_.EndTurnPending = true;
      }
      // The Hand card's drop (EndTurnPending) or the Done button.
      state_.EndTurnPending = false;
      state_.StockTurned = false;
      if (!state_.GameEnded) state_.CurrentTurn = table::Turn::Opponent;
      return;
    }
    Fault("the player's turn did not end");
  }

  void Fault(const std::string& what) {
    if (result_.faults.size() < 5) result_.faults.push_back("seed " + std::to_string(seed_) + ": " + what);
  }
  void CheckTable(const char* when) {
    if (!checking_) return;
    const std::string fault = independent::TableFault(piles_);
    if (!fault.empty()) Fault(std::string(when) + ": " + fault);
  }

  // --- table::TableView: nothing is drawn; the computer's slides are judged.
  void AnimateCard(table::PileControl source, int sourceIndex, table::CardCode card, table::PileControl target,
                   int targetIndex) override {
    if (!checking_) return;
    if (state_.CurrentTurn != table::Turn::Opponent) return Fault("a slide outside the computer's turn");
    if (!guard_.IsRunning(table::Activity::ComputerTurn) || !guard_.IsRunning(table::Activity::Move))
      Fault("a computer move outside the busy guard");
    const std::string fault = independent::MoveFault(piles_, 1, source, sourceIndex, card, target, targetIndex);
    if (!fault.empty()) Fault("illegal computer move: " + fault);
  }
  void ClearTable() override { Fault("the table was cleared"); }

  // --- play::PlayHooks: game over is detected by the emptied piles.
  void GameOver(int winner) override {
    CheckTable("at game over");
    if (winner < 0 || winner > 1 || piles_.ReserveCount[winner] != 0 || piles_.StockCount[winner] != 0 ||
        piles_.WasteCount[winner] != 0)
      Fault("game over for a side that still holds cards");
    result_.winner = winner;
    state_.GameEnded = true;
    state_.CurrentTurn = table::Turn::None;
    state_.ComputerThinking = false;
  }
  void ShowPileCounts() override { CheckTable("after a move"); }
  void WriteMoveRecord(int) override {}
  void SaveGameRecord() override {}
  bool Move_Transmit_PlayCard(const play::OnlineMove&) override { return true; }
  void EnableNextTip(bool) override {}

  // --- table::DealHooks
  table::Turn WhoGoesFirst(int rule) override {
    const auto decision =
        play::DecideFirstPlayer(piles_, play::FirstPlayerRuleFromStored(rule), {}, table::SeededRandom(seed_ + 1));
    return decision.turn;
  }
  void WhoseTurn() override {}

  // --- table::SoundEffects
  void PlaySfx(int) override {}

  std::uint32_t seed_;
  bool checking_;
  platform::WaitService& wait_;
  table::PileArrays piles_;
  play::PlayState state_;
  table::BusyGuard guard_;
  play::NetState net_;  // offline
  play::MoveServices services_;
  play::ComputerPlayer computer_;
  GameResult result_;
};

}  // namespace testing_support
