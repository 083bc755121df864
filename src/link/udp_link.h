#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "link/connection_state.h"

namespace tessevar {

enum class ReceiveStatus {
  received,  // a whole datagram is in the caller's buffer; the receive is spent
  failed,    // the socket reported an error (e.g. the peer's port is closed); still armed
  nothing,   // no datagram after all; still armed
};

// One UDP link to a peer: bound to (localHost, port), connected to
// (peerHost, peerPort). start() brings it up on its own thread, reporting
// setup, preparing, then ready; while the socket cannot be opened it reports
// waiting once and tries again every second. Receives are driven by the
// relay loop: it polls descriptor() while receiveArmed() and calls receive().
class UdpLink {
 public:
  using StateHandler = std::function<void(LinkState)>;
  // Why the link still waits: said again only when the cause changes.
  using ProblemHandler = std::function<void(const std::string& problem)>;

  UdpLink(std::string localHost, std::string peerHost, std::uint16_t port, std::uint16_t peerPort);
  ~UdpLink();
  UdpLink(const UdpLink&) = delete;
  UdpLink& operator=(const UdpLink&) = delete;

  void start(StateHandler handler, ProblemHandler problemHandler = {});

  // -1 until the link is ready.
  int descriptor() const { return descriptor_.load(std::memory_order_acquire); }

  void armReceive() { receiveArmed_ = true; }
  bool receiveArmed() const { return receiveArmed_; }
  // Main thread only. Reads one datagram without blocking.
  ReceiveStatus receive(std::vector<std::uint8_t>& into);

  // Sends one whole datagram; errors are ignored (the datagram is lost).
  void send(std::span<const std::uint8_t> bytes) const;

 private:
  void bringUp(const StateHandler& handler, const ProblemHandler& problemHandler);
  bool waitBeforeRetry();

  const std::string localHost_;
  const std::string peerHost_;
  const std::uint16_t port_;
  const std::uint16_t peerPort_;
  std::atomic<int> descriptor_{-1};
  std::atomic<bool> receiveArmed_{false};
  std::vector<std::uint8_t> scratch_;

  std::mutex stopMutex_;
  std::condition_variable stopSignal_;
  bool stopping_ = false;
  std::thread starter_;
};

}  // namespace tessevar
