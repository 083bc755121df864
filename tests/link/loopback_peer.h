#pragma once

// Helpers for link tests on real loopback sockets. Every test uses its own
// block of 127.31.0.0/16, so tests can run in parallel.

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "link/relay.h"
#include "support/captured_lines.h"
#include "support/udp_peer.h"

namespace tessevar::test {

inline constexpr std::uint16_t testPort = 20111;

inline std::string loopbackAddress(int block, int host) {
  return "127.31." + std::to_string(block) + "." + std::to_string(host);
}

using LoopbackPeer = testing::UdpPeer;
using testing::SocketOptions;

inline Datagram bytesOf(const std::string& text) { return Datagram(text.begin(), text.end()); }

using testing::CapturedLines;
using testing::eventually;

}  // namespace tessevar::test
