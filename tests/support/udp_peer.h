#pragma once

// A test's stand-in for a device on the network: a plain UDP socket.

#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "socket_headers.h"
#include "support/test_sockets.h"
#include "util/wait.h"

namespace tessevar::testing {

inline sockaddr_in socketAddress(const std::string& address, std::uint16_t port) {
  sockaddr_in result{};
  result.sin_family = AF_INET;
  result.sin_port = htons(port);
  if (inet_pton(AF_INET, address.c_str(), &result.sin_addr) != 1) throw std::runtime_error("bad address " + address);
  return result;
}

struct SocketOptions {
  bool reuse = true;              // SO_REUSEADDR
  int receiveBuffer = 0;          // 0 keeps the system default
  const char* device = nullptr;   // the interface it is bound to, where the system allows
};

// A UDP socket bound to (address, port), optionally connected to a peer.
class UdpPeer {
 public:
  using Bytes = std::vector<std::uint8_t>;

  UdpPeer(const std::string& address, std::uint16_t port, SocketOptions options = {})
      : socket_(openTestSocket(AF_INET)) {
    const int one = 1;
    if (options.reuse) setsockopt(socket_, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&one), sizeof one);
    if (options.receiveBuffer > 0) {
      setsockopt(socket_, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&options.receiveBuffer),
                 sizeof options.receiveBuffer);
    }
    if (options.device != nullptr) bindToDevice(socket_, options.device);
    sockaddr_in local = socketAddress(address, port);
    if (bind(socket_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
      closeTestSocket(socket_);
      throw std::runtime_error("cannot bind test peer " + address);
    }
  }
  UdpPeer(const std::string& address, std::uint16_t port, const std::string& peerAddress, std::uint16_t peerPort,
          SocketOptions options = {})
      : UdpPeer(address, port, options) {
    sockaddr_in peer = socketAddress(peerAddress, peerPort);
    connect(socket_, reinterpret_cast<sockaddr*>(&peer), sizeof peer);
  }
  ~UdpPeer() { closeTestSocket(socket_); }
  UdpPeer(const UdpPeer&) = delete;
  UdpPeer& operator=(const UdpPeer&) = delete;

  void send(std::span<const std::uint8_t> bytes) {
    ::send(socket_, reinterpret_cast<const char*>(bytes.data()), static_cast<int>(bytes.size()), 0);
  }
  void send(std::initializer_list<std::uint8_t> bytes) { send(std::span(bytes.begin(), bytes.size())); }
  void sendText(const std::string& text) {
    send(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
  }
  void sendTo(const std::string& text, const std::string& address, std::uint16_t port) {
    sockaddr_in target = socketAddress(address, port);
    sendto(socket_, text.data(), static_cast<int>(text.size()), 0, reinterpret_cast<sockaddr*>(&target),
           sizeof target);
  }

  // The next datagram, or nothing when none comes within `patience`. An
  // error pending on the socket (an ICMP refusal from before the other side
  // was up) is passed over.
  std::optional<Bytes> receive(std::chrono::milliseconds patience = std::chrono::seconds(10)) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      Readable entry{socket_};
      if (left.count() <= 0 || !waitReadable({&entry, 1}, left)) return std::nullopt;
      Bytes bytes(65536);
      const auto length = recv(socket_, reinterpret_cast<char*>(bytes.data()), static_cast<int>(bytes.size()),
                               dontWaitFlag());
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
  TestSocket socket_;
};

}  // namespace tessevar::testing
