#pragma once

// The two resolved ends of a link's socket, shared by the socket files of
// every system.

#include <cstdint>
#include <string>

#include "link/udp_socket.h"
#include "socket_headers.h"
#include "util/result.h"

namespace tessevar {

struct SocketAddress {
  sockaddr_storage address{};
  socklen_t length = 0;
  int family = AF_UNSPEC;
};

struct ResolvedEnds {
  SocketAddress local;
  SocketAddress peer;
  std::string localPlace;  // "192.0.2.1 port 10111", for the operator
  std::string peerPlace;
};

// Resolves both ends, the peer in the local address's family (no local
// address: the local one in the peer's), or says which setting fails.
Result<ResolvedEnds> resolveEnds(const SocketEnds& ends);

}  // namespace tessevar
