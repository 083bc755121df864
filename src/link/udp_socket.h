#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "util/result.h"
#include "util/wait.h"

namespace tessevar {

// The two ends of a link's socket.
struct SocketEnds {
  std::string localHost;  // empty: no particular local address
  std::uint16_t localPort = 0;
  std::string peerHost;
  std::uint16_t peerPort = 0;
  // Where peerHost came from, for the operator: "the mixer address in the settings".
  std::string peerSetting = "the address";
};

// Room for the datagrams one receive call takes, each whole. Reserved once;
// memory is touched only as far as datagrams fill it.
class DatagramBatch {
 public:
  static constexpr std::size_t capacity = 32;
  // Any UDP payload over IPv4 (65507 bytes) or IPv6 (65527) fits.
  static constexpr std::size_t largestDatagram = 65536;

  DatagramBatch() : room_(new std::uint8_t[capacity * largestDatagram]) {}

  std::size_t size() const { return count_; }
  bool full() const { return count_ == capacity; }
  std::span<const std::uint8_t> operator[](std::size_t i) const { return {slot(i), lengths_[i]}; }

  // For the socket that fills it: slot i, then how many were filled.
  std::uint8_t* slot(std::size_t i) const { return room_.get() + i * largestDatagram; }
  void filled(std::size_t count, const std::array<std::size_t, capacity>& lengths) {
    count_ = count;
    lengths_ = lengths;
  }

 private:
  std::unique_ptr<std::uint8_t[]> room_;
  std::array<std::size_t, capacity> lengths_{};
  std::size_t count_ = 0;
};

struct SocketShare;

// One UDP socket bound to a local endpoint that it shares with other sockets
// (address reuse), and connected to its peer, so that it hears only that
// peer. One socket header; the calls are in posix/ (opening) and in linux/
// or macos/ (moving datagrams), or all in windows/.
//
// Windows leaves it undefined which of several sockets on one endpoint gets
// a datagram, and lets any program share the port: there the links of one
// endpoint share one socket that no other may bind, and sort what arrives
// by sender (windows/udp_socket.cpp).
//
// A connected socket reports an ICMP "port unreachable" for its peer (true
// or forged) as an error on its next call. Such a refusal is counted and
// passed over at once: it never holds a datagram back or loses one.
class UdpSocket {
 public:
  // Bound and connected, or why not, in words the operator can act on.
  static Result<UdpSocket> open(const SocketEnds& ends);

  UdpSocket(UdpSocket&& other) noexcept : handle_(other.handle_), share_(std::move(other.share_)) {
    other.handle_ = -1;
  }
  UdpSocket& operator=(UdpSocket&& other) noexcept;
  UdpSocket(const UdpSocket&) = delete;
  UdpSocket& operator=(const UdpSocket&) = delete;
  ~UdpSocket();

  // What to wait on for this socket's datagrams.
  PollHandle handle() const;
  // Fills `batch` with the datagrams waiting now, in arrival order; leaves it
  // empty when none is. Never blocks.
  void receive(DatagramBatch& batch, std::size_t& refusals);
  // Sends each datagram whole, in order.
  void send(std::span<const std::span<const std::uint8_t>> datagrams, std::size_t& refusals);

 private:
  // Refusals taken in one call before the other side gets its turn: a flood
  // of forged ones must not keep the relay's thread here.
  static constexpr int refusalsPerCall = 64;
  // Tries of one datagram whose sends meet refusals still pending.
  static constexpr int triesPerDatagram = 8;

  explicit UdpSocket(PollHandle handle) : handle_(handle) {}
  PollHandle handle_ = -1;
  // This link's part of a shared socket (Windows); null where each link has
  // a socket of its own.
  std::shared_ptr<SocketShare> share_;
};

}  // namespace tessevar
