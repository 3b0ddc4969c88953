#include "play/net_state.h"

namespace play {

table::NetDealState OnlineStateAnswers::DealState() const {
  return {net_.NetConnIndex, net_.NetIsHost, net_.PeerVersion(), net_.OpponentName};
}

bool OnlineStateAnswers::TakeResyncBusy() {
  const bool busy = net_.NetResyncBusy;
  net_.NetResyncBusy = false;
  return busy;
}

}  // namespace play
