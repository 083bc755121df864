#include "link/udp_link.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "link/udp_socket.h"

namespace tessevar {
namespace {

// Large enough for any UDP payload over IPv4 (65507) or IPv6 (65527), so
// every datagram arrives whole.
constexpr std::size_t largestDatagram = 65536;
constexpr std::chrono::seconds retryInterval{1};

}  // namespace

UdpLink::UdpLink(std::string localHost, std::string peerHost, std::uint16_t port, std::uint16_t peerPort)
    : localHost_(std::move(localHost)),
      peerHost_(std::move(peerHost)),
      port_(port),
      peerPort_(peerPort),
      scratch_(largestDatagram) {}

UdpLink::~UdpLink() {
  {
    std::lock_guard lock(stopMutex_);
    stopping_ = true;
  }
  stopSignal_.notify_all();
  if (starter_.joinable()) starter_.join();
  int descriptor = descriptor_.exchange(-1);
  if (descriptor >= 0) close(descriptor);
}

void UdpLink::start(StateHandler handler, ProblemHandler problemHandler) {
  starter_ = std::thread([this, handler = std::move(handler), problemHandler = std::move(problemHandler)] {
    bringUp(handler, problemHandler);
  });
}

void UdpLink::bringUp(const StateHandler& handler, const ProblemHandler& problemHandler) {
  handler(LinkState::setup);
  handler(LinkState::preparing);
  bool waitingReported = false;
  std::string lastProblem;
  for (;;) {
    OpenedSocket opened = openUdpSocket(localHost_, peerHost_, port_, peerPort_);
    if (opened.descriptor >= 0) {
      descriptor_.store(opened.descriptor, std::memory_order_release);
      handler(LinkState::ready);
      return;
    }
    if (!waitingReported) {
      handler(LinkState::waiting);
      waitingReported = true;
    }
    if (problemHandler && opened.problem != lastProblem) problemHandler(opened.problem);
    lastProblem = std::move(opened.problem);
    if (!waitBeforeRetry()) return;
  }
}

// False when the link is being destroyed.
bool UdpLink::waitBeforeRetry() {
  std::unique_lock lock(stopMutex_);
  return !stopSignal_.wait_for(lock, retryInterval, [this] { return stopping_; });
}

ReceiveStatus UdpLink::receive(std::vector<std::uint8_t>& into) {
  int descriptor = this->descriptor();
  if (descriptor < 0) return ReceiveStatus::nothing;
  ssize_t length = recv(descriptor, scratch_.data(), scratch_.size(), MSG_DONTWAIT);
  if (length < 0) {
    bool wouldBlock = errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    return wouldBlock ? ReceiveStatus::nothing : ReceiveStatus::failed;
  }
  into.assign(scratch_.begin(), scratch_.begin() + length);
  receiveArmed_ = false;
  return ReceiveStatus::received;
}

void UdpLink::send(std::span<const std::uint8_t> bytes) const {
  int descriptor = this->descriptor();
  if (descriptor < 0) return;
  // A "port unreachable" still pending from while the peer was away fails
  // the next send, and only that: the datagram itself was never tried.
  if (::send(descriptor, bytes.data(), bytes.size(), 0) < 0 && errno == ECONNREFUSED) {
    [[maybe_unused]] ssize_t sent = ::send(descriptor, bytes.data(), bytes.size(), 0);
  }
}

}  // namespace tessevar
