#pragma once
// Where the connection stands, as NetConnIndex tells it: offline, being set
// up (listening or calling, no peer yet), or the peer's socket once the
// handshake ran. Every part of the program that asks "online?" asks here.

#include <cstdint>

namespace play {

constexpr std::int16_t kNetOffline = 0;
constexpr std::int16_t kNetPeerSocket = 1;
constexpr std::int16_t kNetConnSettingUp = 99;

// An online game is set up or running.
constexpr bool IsOnline(std::int16_t netConnIndex) { return netConnIndex != kNetOffline; }
// An online game is being set up: listening or calling, no peer yet.
constexpr bool IsSettingUp(std::int16_t netConnIndex) { return netConnIndex == kNetConnSettingUp; }
// Connected to a peer: neither offline nor still setting up.
constexpr bool IsPeerPresent(std::int16_t netConnIndex) { return IsOnline(netConnIndex) && !IsSettingUp(netConnIndex); }

}  // namespace play
