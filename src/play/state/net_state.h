#pragma once
// The names that the table and the game play read of network play, in one
// home owned by the program.

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

#include "play/state/connection_index.h"

namespace play {

// NetIsHost.
constexpr std::int16_t kNetRemote = 0;
constexpr std::int16_t kNetHost = 1;
constexpr std::int16_t kNetAttemptFailed = 9;
// The sound both sides play when a handed-over table is in place.
constexpr int kHandOverEffect = 1;
// NetPeerInfo slot states.
constexpr std::int16_t kSlotFree = 0;
constexpr std::int16_t kSlotTaken = 7;
// The host's name in a remote's saved-game descriptions while no host is met.
inline constexpr char kDefaultHostName[] = "Marrowdale";

struct NetPeerSlot {
  std::int16_t Active = 0;     // 1 once a connection was accepted on the slot
  std::int16_t SlotState = 0;  // kSlotTaken while a peer holds it
  QString Version;             // the peer's version digits, "40" for 4.0
  QString Name;                // the peer's player name
  bool operator==(const NetPeerSlot&) const = default;
};

struct NetState {
  std::int16_t NetConnIndex = kNetOffline;   // 0 offline, 99 setting up, else the peer's socket
  std::int16_t NetIsHost = kNetRemote;       // 1 host, 0 remote or offline, 9 the attempt failed
  std::int16_t NetConnCount = 0;             // sockets the host has accepted
  std::array<NetPeerSlot, 2> NetPeerInfo{};  // element 1 is the peer
  QString OpponentName;                      // the peer's player name
  QString HostName = kDefaultHostName;       // on the remote, the host's name
  std::int16_t NetMsgKind = 0;               // kind of the last game line received
  bool NetResyncBusy = false;                // the host is handing the whole table over
  std::int16_t ChatSeq = 0;                  // outgoing chat lines, counted before use
  bool NetFileOpen = false;                  // the opponents file is open
  QString WhoGoesFirstText;                  // who moves first, as the remote reads it
  QString MoveFromPile;                      // the move being sent or just received
  std::int16_t MoveFromIndex = 0;
  QString MoveToPile;
  std::int16_t MoveToIndex = 0;
  std::int16_t NetPlayerCount = 0;  // opponents listed in the opponents file
  QStringList NetPlayerNames;       // their names, trimmed, in record order

  const QString& PeerVersion() const { return NetPeerInfo[1].Version; }
  // An online game is set up or running.
  bool Online() const { return IsOnline(NetConnIndex); }
  // An online game is being set up: listening or calling, no peer yet.
  bool SettingUp() const { return IsSettingUp(NetConnIndex); }
  // Connected to a peer (not offline and not still setting up).
  bool PeerPresent() const { return IsPeerPresent(NetConnIndex); }
};

}  // namespace play
