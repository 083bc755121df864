#include "show_runner.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <future>
#include <stdexcept>

#include "device_port.h"

namespace tessevar::sim {
namespace {

constexpr int longestWaitMs = 50;

}  // namespace

ShowRunner::ShowRunner(const StageAddresses& addresses, double rate)
    : addresses_(addresses),
      show_(rate),
      scores_{DirectionScore(), DirectionScore(isOwnLamp)},
      wake_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
  device(Side::surface).address = addresses.surface;
  device(Side::mixer).address = addresses.mixer;
  openPort(Side::surface);
  openPort(Side::mixer);
}

ShowRunner::~ShowRunner() {
  for (Device& d : devices_) {
    if (d.descriptor >= 0) close(d.descriptor);
  }
  close(wake_);
}

void ShowRunner::openPort(Side side) {
  Device& d = device(side);
  d.descriptor = openDevicePort(d.address, addresses_.port, addresses_.networkNamespace);
}

void ShowRunner::run(Clock::duration length, Clock::duration drain) {
  running_ = true;
  const Clock::time_point start = started_ = Clock::now();
  for (;;) {
    runActions();
    const Clock::time_point now = Clock::now();
    if (stopping_ || (length.count() > 0 && now - start >= length)) break;
    for (Cue& cue : show_.due(now - start)) send(cue.from, std::move(cue.bytes), cue.stamped);
    const auto untilNext = std::chrono::ceil<std::chrono::milliseconds>(start + show_.nextDue() - Clock::now());
    pollOnce(static_cast<int>(std::clamp<std::int64_t>(untilNext.count(), 0, longestWaitMs)));
  }
  for (const Clock::time_point end = Clock::now() + drain; Clock::now() < end;) {
    runActions();
    pollOnce(longestWaitMs);
  }
  running_ = false;
  runActions();  // anyone who posted while the show was ending
}

void ShowRunner::stop() {
  stopping_ = true;
  const std::uint64_t one = 1;
  [[maybe_unused]] ssize_t n = write(wake_, &one, sizeof one);
}

void ShowRunner::send(Side from, Bytes bytes, bool stamped) {
  Device& d = device(from);
  if (d.descriptor < 0) return;  // a stopped device sends nothing
  DirectionScore& books = score(from);
  if (stamped) stampSequence(bytes, books.nextSequence());
  const sockaddr_in target = ipv4(addresses_.tessevar, addresses_.port);
  const Clock::time_point at = Clock::now();
  const auto* to = reinterpret_cast<const sockaddr*>(&target);
  if (sendto(d.descriptor, bytes.data(), bytes.size(), 0, to, sizeof target) < 0) {
    ++d.refused;
    return;
  }
  books.sent(bytes, at);
}

void ShowRunner::pollOnce(int timeoutMs) {
  std::array<pollfd, 3> fds{pollfd{wake_, POLLIN, 0}, pollfd{device(Side::surface).descriptor, POLLIN, 0},
                            pollfd{device(Side::mixer).descriptor, POLLIN, 0}};
  if (poll(fds.data(), fds.size(), timeoutMs) <= 0) return;
  if (fds[0].revents != 0) {
    std::uint64_t count = 0;
    [[maybe_unused]] ssize_t n = read(wake_, &count, sizeof count);
  }
  if (fds[1].revents != 0) receiveAll(Side::surface);
  if (fds[2].revents != 0) receiveAll(Side::mixer);
}

void ShowRunner::receiveAll(Side at) {
  Device& d = device(at);
  const sockaddr_in program = ipv4(addresses_.tessevar, addresses_.port);
  Bytes buffer(65536);
  for (;;) {
    sockaddr_in source{};
    socklen_t length = sizeof source;
    auto* from = reinterpret_cast<sockaddr*>(&source);
    const ssize_t n = recvfrom(d.descriptor, buffer.data(), buffer.size(), 0, from, &length);
    if (n < 0) return;
    const Clock::time_point now = Clock::now();
    if (source.sin_addr.s_addr != program.sin_addr.s_addr || source.sin_port != program.sin_port) {
      ++d.strays;
      continue;
    }
    score(otherSide(at)).received(Bytes(buffer.begin(), buffer.begin() + n), now);
  }
}

// Runs `action` on the show's thread, between two sends, and waits for it.
void ShowRunner::inLoop(std::function<void()> action) {
  std::packaged_task<void()> task(std::move(action));
  std::future<void> done = task.get_future();
  {
    std::lock_guard lock(actionsMutex_);
    actions_.push_back([&task] { task(); });
  }
  const std::uint64_t one = 1;
  [[maybe_unused]] ssize_t n = write(wake_, &one, sizeof one);
  if (!running_) runActions();
  done.get();
}

void ShowRunner::runActions() {
  std::vector<std::function<void()>> due;
  {
    std::lock_guard lock(actionsMutex_);
    due.swap(actions_);
  }
  for (auto& action : due) action();
}

void ShowRunner::stopDevice(Side side) {
  inLoop([this, side] {
    Device& d = device(side);
    if (d.descriptor < 0) return;
    close(d.descriptor);
    d.descriptor = -1;
    d.downSince = Clock::now();
  });
}

void ShowRunner::restartDevice(Side side, Clock::duration inFlight) {
  inLoop([this, side, inFlight] {
    Device& d = device(side);
    if (d.descriptor >= 0) return;
    openPort(side);
    const Clock::time_point now = Clock::now();
    score(otherSide(side)).excuse(d.downSince - inFlight, now);
    const std::string what = std::string(sideName(side)) + " back";
    score(Side::surface).markReturn(what, now);
    score(Side::mixer).markReturn(what, now);
  });
}

void ShowRunner::excuseLink(Clock::time_point from, Clock::time_point to, const std::string& what) {
  inLoop([this, from, to, what] {
    for (DirectionScore& books : scores_) {
      books.excuse(from, to);
      books.markReturn(what, to);
    }
  });
}

void ShowRunner::sendExtra(Side from, const Bytes& bytes) {
  inLoop([this, from, bytes] { send(from, bytes, false); });
}

DirectionSummary ShowRunner::summary(Side from) const {
  DirectionSummary s = scores_[static_cast<std::size_t>(from)].summary();
  s.refused = devices_[static_cast<std::size_t>(from)].refused;
  s.unexpected += devices_[static_cast<std::size_t>(otherSide(from))].strays;
  return s;
}

}  // namespace tessevar::sim
