#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessevar::e2e {

// The test network's addresses (scripts/testnet).
inline constexpr const char* tessevarAddress = "198.18.0.1";
inline constexpr const char* surfaceAddress = "198.18.0.2";
inline constexpr const char* mixerAddress = "198.18.0.3";
inline constexpr std::uint16_t linkPort = 10111;

using Bytes = std::vector<std::uint8_t>;

// A simulated device: a UDP socket on (address, 10111) that talks to
// Tessevar's (198.18.0.1, 10111) only.
class StagePeer {
 public:
  explicit StagePeer(const std::string& address);
  ~StagePeer();
  StagePeer(const StagePeer&) = delete;
  StagePeer& operator=(const StagePeer&) = delete;

  void send(const Bytes& datagram);
  std::optional<Bytes> receive(std::chrono::milliseconds wait = std::chrono::seconds(5));
  // The next datagram and everything that follows it within `quiet`.
  std::vector<Bytes> receiveAll(std::chrono::milliseconds quiet = std::chrono::milliseconds(300));

 private:
  int fd_ = -1;
};

}  // namespace tessevar::e2e
