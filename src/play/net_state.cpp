#include "play/net_state.h"

#include "play/apply_move.h"

namespace play {

table::NetDealState OnlineStateAnswers::DealState() const {
  return {net_.NetConnIndex, net_.NetIsHost, net_.PeerVersion(), net_.OpponentName};
}

bool OnlineStateAnswers::TransmitFinalMove() {
  return exchange_ && moves_ && net_.PeerPresent() && exchange_->Move_Transmit_PlayCard(moves_->NetMove);
}

bool OnlineStateAnswers::TakeResyncBusy() {
  const bool busy = net_.NetResyncBusy;
  net_.NetResyncBusy = false;
  return busy;
}

}  // namespace play
