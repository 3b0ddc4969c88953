#include "play/faces/network_play.h"

#include "play/rules/apply_move.h"

namespace play {

namespace {

// Peers before this version do not show the coin toss themselves.
constexpr char kCoinTossVersion[] = "40";

}  // namespace

table::DealOpening OnlineStateAnswers::Opening() const {
  table::DealOpening opening;
  if (net_.NetConnIndex == kNetOffline) return opening;
  const bool host = net_.NetIsHost == kNetHost;
  opening.decider = host ? table::FirstMoveDecider::HereTold : table::FirstMoveDecider::There;
  // Older hosts leave the coin toss to the remote's own program.
  opening.AnnounceCoinTossHere = !host && QString::compare(net_.PeerVersion(), kCoinTossVersion) < 0;
  opening.OpponentName = net_.OpponentName;
  return opening;
}

bool OnlineStateAnswers::TransmitFinalMove() {
  return net_.PeerPresent() && exchange_->Move_Transmit_PlayCard(moves_.NetMove);
}

bool OnlineStateAnswers::TakeResyncBusy() {
  const bool busy = net_.NetResyncBusy;
  net_.NetResyncBusy = false;
  return busy;
}

}  // namespace play
