#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/udp_peer.h"

namespace tessevar::testing {

// The test network's addresses (scripts/testnet).
inline constexpr const char* tessevarAddress = "198.18.0.1";
inline constexpr const char* surfaceAddress = "198.18.0.2";
inline constexpr const char* mixerAddress = "198.18.0.3";
inline constexpr std::uint16_t linkPort = 10111;

using Bytes = std::vector<std::uint8_t>;

// A simulated device: a UDP socket on (address, 10111) that talks to
// Tessevar's (198.18.0.1, 10111) only. Bound to the stage's side of the
// network (TESSEVAR_STAGE_DEVICE) when the program's socket is bound to en0
// itself, as Wine binds it: each then meets the other only across the veth
// pair, as on a real network.
class StagePeer : public UdpPeer {
 public:
  explicit StagePeer(const std::string& address)
      : UdpPeer(address, linkPort, tessevarAddress, linkPort,
                SocketOptions{true, 4 << 20, std::getenv("TESSEVAR_STAGE_DEVICE")}) {}
};

}  // namespace tessevar::testing
