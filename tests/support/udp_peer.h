#pragma once

// A test's stand-in for a device on the network: a plain UDP socket.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace tessevar::testing {

inline sockaddr_in socketAddress(const std::string& address, std::uint16_t port) {
  sockaddr_in result{};
  result.sin_family = AF_INET;
  result.sin_port = htons(port);
  if (inet_pton(AF_INET, address.c_str(), &result.sin_addr) != 1) throw std::runtime_error("bad address " + address);
  return result;
}

struct SocketOptions {
  bool reuse = true;      // SO_REUSEADDR
  int receiveBuffer = 0;  // 0 keeps the system default
};

// A UDP socket bound to (address, port), optionally connected to a peer.
class UdpPeer {
 public:
  using Bytes = std::vector<std::uint8_t>;

  UdpPeer(const std::string& address, std::uint16_t port, SocketOptions options = {})
      : descriptor_(socket(AF_INET, SOCK_DGRAM, 0)) {
    // Not inherited by the programs a test starts (macOS has no SOCK_CLOEXEC).
    fcntl(descriptor_, F_SETFD, FD_CLOEXEC);
    int one = 1;
    if (options.reuse) setsockopt(descriptor_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (options.receiveBuffer > 0) {
      setsockopt(descriptor_, SOL_SOCKET, SO_RCVBUF, &options.receiveBuffer, sizeof options.receiveBuffer);
    }
    sockaddr_in local = socketAddress(address, port);
    if (bind(descriptor_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
      close(descriptor_);
      throw std::runtime_error("cannot bind test peer " + address);
    }
  }
  UdpPeer(const std::string& address, std::uint16_t port, const std::string& peerAddress, std::uint16_t peerPort,
          SocketOptions options = {})
      : UdpPeer(address, port, options) {
    sockaddr_in peer = socketAddress(peerAddress, peerPort);
    connect(descriptor_, reinterpret_cast<sockaddr*>(&peer), sizeof peer);
  }
  ~UdpPeer() { close(descriptor_); }
  UdpPeer(const UdpPeer&) = delete;
  UdpPeer& operator=(const UdpPeer&) = delete;

  void send(std::span<const std::uint8_t> bytes) { ::send(descriptor_, bytes.data(), bytes.size(), 0); }
  void send(std::initializer_list<std::uint8_t> bytes) { send(std::span(bytes.begin(), bytes.size())); }
  void sendText(const std::string& text) {
    send(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
  }
  void sendTo(const std::string& text, const std::string& address, std::uint16_t port) {
    sockaddr_in target = socketAddress(address, port);
    sendto(descriptor_, text.data(), text.size(), 0, reinterpret_cast<sockaddr*>(&target), sizeof target);
  }

  // The next datagram, or nothing when none comes within `patience`. An
  // error pending on the socket (an ICMP refusal from before the other side
  // was up) is passed over.
  std::optional<Bytes> receive(std::chrono::milliseconds patience = std::chrono::seconds(10)) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      pollfd entry{descriptor_, POLLIN, 0};
      if (left.count() <= 0 || poll(&entry, 1, static_cast<int>(left.count())) <= 0) return std::nullopt;
      Bytes bytes(65536);
      ssize_t length = recv(descriptor_, bytes.data(), bytes.size(), MSG_DONTWAIT);
      if (length < 0) continue;
      bytes.resize(static_cast<std::size_t>(length));
      return bytes;
    }
  }

  // The next datagram and everything that follows it within `quiet`.
  std::vector<Bytes> receiveAll(std::chrono::milliseconds quiet = std::chrono::milliseconds(300)) {
    std::vector<Bytes> all;
    for (auto d = receive(); d; d = receive(quiet)) all.push_back(*d);
    return all;
  }

 private:
  int descriptor_;
};

}  // namespace tessevar::testing
