#pragma once

#include <span>
#include <string>
#include <vector>

#include "socket_headers.h"

namespace tessevar {

// What the peers' addresses ask of the local address.
struct PeerAddresses {
  // AF_INET or AF_INET6 when every peer can be reached in it (the resolver's
  // first choice when both can); AF_UNSPEC when nothing resolved or the
  // peers share no family.
  int family = AF_UNSPEC;
  // An IPv6 peer outside fe80::/10: it is reached through, and sends to, a
  // global or unique-local address, which a link-local one cannot stand for.
  bool beyondLinkLocal = false;
};

// Every address `host` (numeric or a name) resolves to, in the resolver's
// order; empty when it does not resolve.
std::vector<sockaddr_storage> resolveHost(const std::string& host);

// Summarises the resolved addresses of each peer; a peer that resolved to
// nothing says nothing.
PeerAddresses describePeers(std::span<const std::vector<sockaddr_storage>> peers);

// Resolves both configured peers and summarises them.
PeerAddresses peerAddresses(const std::string& surfaceAddress, const std::string& mixerAddress);

// An IPv6 link-local address (fe80::/10).
bool isLinkLocal(const sockaddr& address);

}  // namespace tessevar
