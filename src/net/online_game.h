#pragma once
// The online game's exchanges that start a game: the host hands both
// shuffled decks over, the remote takes them mirrored, and after the deal
// the host tells the remote who moves first. They run on the connection's
// waits, so every line arriving meanwhile is dispatched as usual.

#include <cstdint>

#include "play/net_state.h"
#include "table/piles.h"

namespace net {

class Connection;

inline constexpr char kWaitingForOpponentText[] = "Waiting for Opponent...\r\n";
inline constexpr char kCoinNotice[] = "WAV coin_flip";
inline constexpr char kSystemPrefix[] = "--: ";
constexpr std::int16_t kCoinTossRule = 2;

class OnlineGame : public play::OnlineExchange {
 public:
  OnlineGame(Connection& connection, play::NetPlayParts parts, table::PileArrays& piles,
             const std::int16_t& FirstPlayerRule)
      : conn_(connection), parts_(parts), piles_(piles), FirstPlayerRule_(FirstPlayerRule) {}

  bool HostGameStart() override;
  bool RemoteGameStart() override;
  void WhoseTurn() override;

 private:
  bool Usable() const;
  Connection& conn_;
  play::NetPlayParts parts_;
  table::PileArrays& piles_;
  const std::int16_t& FirstPlayerRule_;
};

}  // namespace net
