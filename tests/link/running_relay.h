#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include "link/relay.h"
#include "loopback_peer.h"

namespace tessevar::testing {

// What one side's inspector was shown, in order.
class InspectorLog {
 public:
  void record(std::span<const std::uint8_t> datagram) {
    std::lock_guard lock(mutex_);
    seen_.emplace_back(datagram.begin(), datagram.end());
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

inline LinkSettings loopbackSettings(const Endpoint& tessevar, const Endpoint& surface, const Endpoint& mixer) {
  return {.networkPortName = "",
          .surfaceAddress = surface.address,
          .mixerAddress = mixer.address,
          .port = tessevar.port,
          .surfacePort = surface.port,
          .mixerPort = mixer.port};
}

// Tessevar's relay at endpoint 1 of the block between an X-Touch at 2 and a
// mixer at 3, running on a thread of its own until destruction. `onMixer`
// runs in the mixer inspector, after the log, with the relay at hand.
class RunningRelay {
 public:
  using Hook = std::function<void(Relay&, std::span<const std::uint8_t>)>;

  explicit RunningRelay(int block, ProgressLog progress = {}, Hook onMixer = {})
      : tessevar(loopbackEndpoint(block, 1)),
        surface(loopbackEndpoint(block, 2)),
        mixer(loopbackEndpoint(block, 3)),
        relay(loopbackSettings(tessevar, surface, mixer), tessevar.address, capture.output, std::move(progress)) {
    if (!relay.openLinks()) throw std::runtime_error("links never became ready");
    loop_ = std::thread([this, onMixer = std::move(onMixer)] {
      relay.run(
          stop, [this](std::span<const std::uint8_t> d) { surfaceLog.record(d); },
          [this, &onMixer](std::span<const std::uint8_t> d) {
            mixerLog.record(d);
            if (onMixer) onMixer(relay, d);
          });
    });
  }
  ~RunningRelay() {
    stop.raise();
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
  StopSignal stop;
  Relay relay;

 private:
  std::thread loop_;
};

}  // namespace tessevar::testing
