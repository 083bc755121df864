#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <thread>

#include "link/relay.h"
#include "util/progress_log.h"

namespace tessevar {

// For --verbose: says when each peer is first heard from, when one has been
// silent for 10 s, and when it is heard from again.
class PeerWatch {
 public:
  explicit PeerWatch(ProgressLog progress);
  ~PeerWatch();
  PeerWatch(const PeerWatch&) = delete;
  PeerWatch& operator=(const PeerWatch&) = delete;

  // The relay loop's thread, for every datagram: cheap.
  void heard(Side side, std::size_t bytes);

 private:
  using Clock = std::chrono::steady_clock;
  struct Peer {
    bool heardOnce = false;  // the relay thread's
    std::atomic<Clock::rep> lastHeard{0};
    bool reportedSilent = false;  // the watching thread's
  };

  void watch();
  void check(Side side, Clock::time_point now);

  ProgressLog progress_;
  std::array<Peer, 2> peers_;
  std::mutex mutex_;
  std::condition_variable stop_;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace tessevar
