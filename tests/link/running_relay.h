#pragma once

#include <atomic>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include "link/connections.h"
#include "link/relay.h"
#include "loopback_peer.h"

namespace tessevar::test {

// What one side's inspector was shown, in order.
class InspectorLog {
 public:
  void record(const Datagram& datagram) {
    std::lock_guard lock(mutex_);
    seen_.push_back(datagram);
    count_ = seen_.size();
  }
  std::size_t count() const { return count_; }
  std::vector<Datagram> seen() const {
    std::lock_guard lock(mutex_);
    return seen_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<Datagram> seen_;
  std::atomic<std::size_t> count_{0};
};

// Tessevar's relay on 127.31.B.1 between an X-Touch at 127.31.B.2 and a mixer
// at 127.31.B.3, its loop running on a thread of its own until destruction.
class RunningRelay {
 public:
  explicit RunningRelay(int block)
      : tessevarAddress(loopbackAddress(block, 1)),
        surfaceAddress(loopbackAddress(block, 2)),
        mixerAddress(loopbackAddress(block, 3)) {
    const LinkSettings settings{.networkPortName = "",
                                .surfaceAddress = surfaceAddress,
                                .mixerAddress = mixerAddress,
                                .port = testPort};
    openConnections(relay, tessevarAddress, settings, capture.output);
    if (!eventually([this] { return relay.surfaceLinkReady && relay.mixerLinkReady; })) {
      throw std::runtime_error("links never became ready");
    }
    armFirstReceive(relay, Side::surface);
    armFirstReceive(relay, Side::mixer);
    loop_ = std::thread([this] {
      runRelayLoop(
          relay, [this](const Datagram& d) { surfaceLog.record(d); },
          [this](const Datagram& d) { mixerLog.record(d); });
    });
  }
  ~RunningRelay() {
    requestQuit(relay);
    loop_.join();
  }

  LoopbackPeer xtouchPeer(SocketOptions options = {}) const {
    return LoopbackPeer(surfaceAddress, testPort, tessevarAddress, testPort, options);
  }
  LoopbackPeer mixerPeer(SocketOptions options = {}) const {
    return LoopbackPeer(mixerAddress, testPort, tessevarAddress, testPort, options);
  }

  const std::string tessevarAddress;
  const std::string surfaceAddress;
  const std::string mixerAddress;
  InspectorLog surfaceLog;
  InspectorLog mixerLog;
  CapturedLines capture;  // outlives relay: the links print into it
  RelayState relay;

 private:
  std::thread loop_;
};

}  // namespace tessevar::test
