#include "net/search_for_local_side.h"

#include "platform/wait.h"
#include "play/computer/computer_player.h"
#include "play/rules/apply_move.h"
#include "play/rules/table_search.h"
#include "table/busy_guard.h"
#include "table/card.h"
#include "table/sound_effects.h"
#include "table/table_view.h"

namespace net {

namespace {

using table::PileControl;

PileControl OtherSide(PileControl pile) {
  if (pile == PileControl::picPlayer) return PileControl::picOpponent;
  if (pile == PileControl::picOpponent) return PileControl::picPlayer;
  return pile;
}

// The copy the computer plays on: nothing is drawn or sounded, and its first
// slide is the move looked for; it then stops the turn.
class ScratchTable : private table::UnseenTableView, private table::SoundEffects, private play::PlayHooks {
 public:
  ScratchTable(const table::PileArrays& piles, const play::PlayState& state)
      : piles_(SidesExchanged(piles)), services_{piles_, state_, *this, *this, wait_, guard_, *this, net_, 0.0f, {}} {
    // Online, so that an emptied Stock is not turned over behind the
    // search's back as the offline computer's is.
    net_.NetConnIndex = play::kNetPeerSocket;
    state_.CurrentTurn = table::Turn::Opponent;
    state_.TurnCount = state.TurnCount;
    state_.StockTurned = state.StockTurned;
    wait_.SetTimeScale(0);
  }

  std::optional<SearchMove> FirstMove() {
    play::ComputerPlayer computer(services_);
    computer.ComputerTurn();
    return found_;
  }

 private:
  void AnimateCard(PileControl source, int sourceIndex, table::CardCode card, PileControl target,
                   int targetIndex) override {
    if (found_) return;
    found_ = SearchMove{OtherSide(source), sourceIndex, card, OtherSide(target), targetIndex};
    wait_.SetExiting(true);
  }
  void PlaySfx(int) override {}
  void GameOver(int) override { state_.GameEnded = true; }
  void ShowPileCounts() override {}
  void WriteMoveRecord(int) override {}
  void SaveGameRecord() override {}
  bool Move_Transmit_PlayCard(const play::OnlineMove&) override { return true; }
  void EnableNextTip(bool) override {}

  table::PileArrays piles_;
  play::PlayState state_;
  platform::WaitService wait_;
  table::BusyGuard guard_;
  play::NetState net_;
  play::MoveServices services_;
  std::optional<SearchMove> found_;
};

}  // namespace

table::PileArrays SidesExchanged(const table::PileArrays& p) {
  table::PileArrays x = p;
  for (int side = 0; side < table::kSides; ++side) {
    const int other = 1 - side;
    x.Reserve[other] = p.Reserve[side];
    x.Stock[other] = p.Stock[side];
    x.Waste[other] = p.Waste[side];
    x.ReserveCount[other] = p.ReserveCount[side];
    x.StockCount[other] = p.StockCount[side];
    x.WasteCount[other] = p.WasteCount[side];
    x.ReserveFaceDown[other] = p.ReserveFaceDown[side];
  }
  return x;
}

std::vector<SearchMove> ObligedMoves(const table::PileArrays& p, bool handUp) {
  using play::kLocalSide;
  std::vector<SearchMove> moves;
  const table::CardCode reserve = play::ReserveTop(p, kLocalSide);
  const table::CardCode hand = handUp ? play::StockTop(p, kLocalSide) : table::CardCode{0};
  const auto toCenter = [&](int pile, table::CardCode card) {
    if (card == 0) return;
    if (const auto center = play::CheckCenter(p, table::CardRank(card), table::CardSuit(card)))
      moves.push_back({PileControl::picPlayer, pile, card, PileControl::picCenter, *center});
  };
  toCenter(play::kReservePile, reserve);
  toCenter(play::kStockPile, hand);
  if (const auto space = play::CheckTableauOpen(p)) {
    if (reserve != 0) {
      moves.push_back({PileControl::picPlayer, play::kReservePile, reserve, PileControl::picTableau, *space});
    } else if (hand != 0) {
      moves.push_back({PileControl::picPlayer, play::kStockPile, hand, PileControl::picTableau, *space});
    }
  }
  if (const auto m = play::MoveCheckTableau(p, play::TableauMoveMode::ToCenter, table::Turn::Local, {}))
    moves.push_back({PileControl::picTableau, m->pile, m->card, PileControl::picCenter, m->target});
  return moves;
}

std::optional<SearchMove> NextSearchMove(const table::PileArrays& piles, const play::PlayState& state) {
  ScratchTable scratch(piles, state);
  return scratch.FirstMove();
}

}  // namespace net
