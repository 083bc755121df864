#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "link/peer_addresses.h"
#include "socket_headers.h"

namespace tessevar {

// The flags of an interface that the choice reads, numbered as BSD and Linux
// number their IFF_* bits; other systems' lists are given in these.
inline constexpr unsigned int interfaceUp = 0x1;
inline constexpr unsigned int interfaceLoopback = 0x8;
inline constexpr unsigned int interfaceRunning = 0x40;

// One entry of the system's interface list, as much of it as the choice needs.
struct InterfaceEntry {
  const char* name = nullptr;         // may be missing
  unsigned int flags = 0;             // IFF_* bits
  const sockaddr* address = nullptr;  // may be missing
};

// Picks the numeric address of `portName` from `entries`: an entry counts when
// its name matches exactly, it is up and running but not loopback, and it
// carries an IPv4 or IPv6 address. The last such address wins, except that
// an address the peers can use beats one they cannot: first one of the
// peers' family (the links only reach peers of their own family), then,
// for IPv6 peers beyond link-local, one that is not link-local. With nothing
// known of the peers the plain last-wins rule stays. An empty list gives "".
std::optional<std::string> chooseInterfaceAddress(std::span<const InterfaceEntry> entries,
                                                  std::string_view portName, const PeerAddresses& peers);

// The same choice over the live interface list (one file per system); ""
// when it cannot be read.
std::optional<std::string> interfaceAddress(std::string_view portName, const PeerAddresses& peers = {});

}  // namespace tessevar
