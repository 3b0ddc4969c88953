#pragma once
// The online game's exchanges: the host hands both shuffled decks over, the
// remote takes them mirrored, and after the deal the host tells the remote
// who moves first; each move is sent and replayed; the host announces the
// game's end and both confirm it. They run on the connection's waits, so
// every line arriving meanwhile is dispatched as usual.

#include <cstdint>

#include "play/faces/network_play.h"
#include "table/piles.h"

namespace net {

class Connection;

inline constexpr char kWaitingForOpponentText[] = "Waiting for Opponent...\r\n";
inline constexpr char kCoinNotice[] = "WAV coin_flip";
inline constexpr char kOpponentTurnBefore[] = "It's ";
inline constexpr char kOpponentTurnAfter[] = "'s turn";
inline constexpr char kOwnTurnText[] = "It's your turn.";

class OnlineGame : public play::OnlineExchange {
 public:
  OnlineGame(Connection& connection, play::NetPlayParts parts, table::PileArrays& piles,
             const std::int16_t& FirstPlayerRule)
      : conn_(connection), parts_(parts), piles_(piles), FirstPlayerRule_(FirstPlayerRule) {}

  bool HostGameStart() override;
  bool RemoteGameStart() override;
  void WhoseTurn() override;
  bool Move_Transmit_PlayCard(const play::OnlineMove& move) override;
  void Opponent(play::MoveServices& moves) override;
  void SendEndGame(bool endMatch) override;
  void ExchangeReset() override;
  void AcknowledgeFinalMove() override;
  void AppendResultToChat(const QString& text) override;

 private:
  bool Usable() const;
  // The peer left, ended the game or started a new one, or the program closes.
  bool Interrupted() const;
  bool AwaitKind(std::int16_t kind);
  void ShowWait(bool shown);
  void StartOwnTurn(play::MoveServices& s);
  Connection& conn_;
  play::NetPlayParts parts_;
  table::PileArrays& piles_;
  const std::int16_t& FirstPlayerRule_;
};

}  // namespace net
