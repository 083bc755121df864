#pragma once

#include <atomic>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include "link/connections.h"
#include "link/relay.h"
#include "loopback_peer.h"

namespace tessevar::testing {

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

// Tessevar's relay at endpoint 1 of the block between an X-Touch at 2 and a
// mixer at 3, its loop running on a thread of its own until destruction.
class RunningRelay {
 public:
  explicit RunningRelay(int block)
      : tessevar(loopbackEndpoint(block, 1)), surface(loopbackEndpoint(block, 2)), mixer(loopbackEndpoint(block, 3)) {
    const LinkSettings settings{.networkPortName = "",
                                .surfaceAddress = surface.address,
                                .mixerAddress = mixer.address,
                                .port = tessevar.port,
                                .surfacePort = surface.port,
                                .mixerPort = mixer.port};
    openConnections(relay, tessevar.address, settings, capture.output);
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

  LoopbackPeer xtouchPeer(SocketOptions options = {}) const { return connectedPeer(surface, tessevar, options); }
  LoopbackPeer mixerPeer(SocketOptions options = {}) const { return connectedPeer(mixer, tessevar, options); }

  const Endpoint tessevar;
  const Endpoint surface;
  const Endpoint mixer;
  InspectorLog surfaceLog;
  InspectorLog mixerLog;
  CapturedLines capture;  // outlives relay: the links print into it
  RelayState relay;

 private:
  std::thread loop_;
};

}  // namespace tessevar::testing
