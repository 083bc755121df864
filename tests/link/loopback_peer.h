#pragma once

// Helpers for link tests on real loopback sockets. Every endpoint is on
// 127.0.0.1, the one loopback address macOS assigns, with a port of its own:
// test block B owns ports 21000 + 10 * B + host, so tests can run in parallel.

#include <chrono>
#include <cstring>
#include <cstdint>
#include <string>
#include <vector>

#include "link/relay.h"
#include "support/captured_lines.h"
#include "support/udp_peer.h"

namespace tessevar::testing {

struct Endpoint {
  std::string address;
  std::uint16_t port = 0;
};

inline Endpoint loopbackEndpoint(int block, int host) {
  return {"127.0.0.1", static_cast<std::uint16_t>(21000 + 10 * block + host)};
}

using LoopbackPeer = UdpPeer;

// A peer socket at `self`, connected to `other`.
inline LoopbackPeer connectedPeer(const Endpoint& self, const Endpoint& other, SocketOptions options = {}) {
  return LoopbackPeer(self.address, self.port, other.address, other.port, options);
}

using Datagram = std::vector<std::uint8_t>;

inline Datagram bytesOf(const std::string& text) { return Datagram(text.begin(), text.end()); }

// A datagram that carries its place in a stream, and that place.
inline Datagram numbered(std::uint32_t index) {
  Datagram bytes(4);
  std::memcpy(bytes.data(), &index, 4);
  return bytes;
}

inline std::uint32_t numberOf(const Datagram& bytes) {
  std::uint32_t index = 0;
  if (bytes.size() == 4) std::memcpy(&index, bytes.data(), 4);
  return index;
}


}  // namespace tessevar::testing
