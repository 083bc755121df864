#include "app/peer_watch.h"

#include <string>

namespace tessevar {

namespace {

constexpr std::chrono::seconds silence{10};

const char* nameOf(Side side) { return side == Side::surface ? "the X-Touch" : "the mixer"; }

}  // namespace

PeerWatch::PeerWatch(ProgressLog progress) : progress_(std::move(progress)) {
  const Clock::rep start = Clock::now().time_since_epoch().count();
  for (Peer& peer : peers_) peer.lastHeard = start;  // silence counts from the start
  thread_ = std::thread([this] { watch(); });
}

PeerWatch::~PeerWatch() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  stop_.notify_all();
  thread_.join();
}

void PeerWatch::heard(Side side, std::size_t bytes) {
  Peer& peer = peers_[static_cast<std::size_t>(side)];
  peer.lastHeard.store(Clock::now().time_since_epoch().count(), std::memory_order_relaxed);
  if (!peer.heardOnce) {
    peer.heardOnce = true;
    progress_.note(std::string("first datagram from ") + nameOf(side) + " (" + std::to_string(bytes) + " bytes)");
  }
}

void PeerWatch::watch() {
  std::unique_lock lock(mutex_);
  while (!stop_.wait_for(lock, std::chrono::seconds(1), [this] { return stopping_; })) {
    const Clock::time_point now = Clock::now();
    check(Side::surface, now);
    check(Side::mixer, now);
  }
}

void PeerWatch::check(Side side, Clock::time_point now) {
  Peer& peer = peers_[static_cast<std::size_t>(side)];
  const Clock::time_point last{Clock::duration{peer.lastHeard.load(std::memory_order_relaxed)}};
  const bool silent = now - last >= silence;
  if (silent && !peer.reportedSilent) {
    progress_.note(std::string("no datagram from ") + nameOf(side) + " for 10 s");
  } else if (!silent && peer.reportedSilent) {
    progress_.note(std::string("datagrams from ") + nameOf(side) + " again");
  }
  peer.reportedSilent = silent;
}

}  // namespace tessevar
