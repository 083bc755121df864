#include "e2e/stage_peer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace tessevar::e2e {
namespace {

sockaddr_in endpoint(const std::string& address) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(linkPort);
  if (inet_pton(AF_INET, address.c_str(), &a.sin_addr) != 1) throw std::runtime_error("bad address");
  return a;
}

}  // namespace

StagePeer::StagePeer(const std::string& address) {
  fd_ = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  const int on = 1;
  setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  const int buffer = 4 << 20;
  setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
  const sockaddr_in local = endpoint(address);
  const sockaddr_in remote = endpoint(tessevarAddress);
  if (bind(fd_, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0 ||
      connect(fd_, reinterpret_cast<const sockaddr*>(&remote), sizeof remote) != 0) {
    throw std::runtime_error("cannot open the peer socket on " + address);
  }
}

StagePeer::~StagePeer() { close(fd_); }

void StagePeer::send(const Bytes& datagram) { ::send(fd_, datagram.data(), datagram.size(), 0); }

std::optional<Bytes> StagePeer::receive(std::chrono::milliseconds wait) {
  const auto deadline = std::chrono::steady_clock::now() + wait;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd p{fd_, POLLIN, 0};
    if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) return std::nullopt;
    Bytes datagram(65536);
    const ssize_t n = recv(fd_, datagram.data(), datagram.size(), 0);
    if (n < 0) continue;  // a pending ICMP error from before Tessevar was up
    datagram.resize(static_cast<std::size_t>(n));
    return datagram;
  }
}

std::vector<Bytes> StagePeer::receiveAll(std::chrono::milliseconds quiet) {
  std::vector<Bytes> all;
  // The first may be slow to come on a loaded machine; after it, a quiet
  // spell ends the run.
  for (auto d = receive(); d; d = receive(quiet)) all.push_back(*d);
  return all;
}

}  // namespace tessevar::e2e
