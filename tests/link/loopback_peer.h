#pragma once

// Helpers for link tests on real loopback sockets. Every test uses its own
// block of 127.31.0.0/16, so tests can run in parallel.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <thread>
#include <vector>

#include "link/relay.h"
#include "util/line_output.h"

namespace tessevar::test {

inline constexpr std::uint16_t testPort = 20111;

inline std::string loopbackAddress(int block, int host) {
  return "127.31." + std::to_string(block) + "." + std::to_string(host);
}

inline sockaddr_in socketAddress(const std::string& address, std::uint16_t port) {
  sockaddr_in result{};
  result.sin_family = AF_INET;
  result.sin_port = htons(port);
  if (inet_pton(AF_INET, address.c_str(), &result.sin_addr) != 1) throw std::runtime_error("bad address " + address);
  return result;
}

struct SocketOptions {
  bool reuse = true;        // SO_REUSEADDR
  int receiveBuffer = 0;    // 0 keeps the system default
};

// A plain UDP socket bound to (address, port), optionally connected to a peer.
class LoopbackPeer {
 public:
  LoopbackPeer(const std::string& address, std::uint16_t port, SocketOptions options = {})
      : descriptor_(socket(AF_INET, SOCK_DGRAM, 0)) {
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
  LoopbackPeer(const std::string& address, std::uint16_t port, const std::string& peerAddress,
               std::uint16_t peerPort, SocketOptions options = {})
      : LoopbackPeer(address, port, options) {
    sockaddr_in peer = socketAddress(peerAddress, peerPort);
    connect(descriptor_, reinterpret_cast<sockaddr*>(&peer), sizeof peer);
  }
  ~LoopbackPeer() { close(descriptor_); }
  LoopbackPeer(const LoopbackPeer&) = delete;
  LoopbackPeer& operator=(const LoopbackPeer&) = delete;

  void send(std::span<const std::uint8_t> bytes) { ::send(descriptor_, bytes.data(), bytes.size(), 0); }
  void send(const std::string& text) { send(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())); }
  void sendTo(const std::string& text, const std::string& address, std::uint16_t port) {
    sockaddr_in target = socketAddress(address, port);
    sendto(descriptor_, text.data(), text.size(), 0, reinterpret_cast<sockaddr*>(&target), sizeof target);
  }

  // The next datagram, or nothing when none comes within `patience`.
  std::optional<Datagram> receive(std::chrono::milliseconds patience = std::chrono::seconds(10)) {
    pollfd entry{descriptor_, POLLIN, 0};
    if (poll(&entry, 1, static_cast<int>(patience.count())) <= 0) return std::nullopt;
    Datagram bytes(65536);
    ssize_t length = recv(descriptor_, bytes.data(), bytes.size(), MSG_DONTWAIT);
    if (length < 0) return std::nullopt;
    bytes.resize(static_cast<std::size_t>(length));
    return bytes;
  }

 private:
  int descriptor_;
};

inline Datagram bytesOf(const std::string& text) { return Datagram(text.begin(), text.end()); }

// Waits for a condition set by another thread; false if it never came. A
// generous limit only keeps a broken build from hanging; nothing here is timed.
inline bool eventually(const std::function<bool()>& condition,
                       std::chrono::milliseconds limit = std::chrono::seconds(20)) {
  auto giveUp = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > giveUp) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

// Console lines captured from any thread.
class CapturedLines {
 public:
  CapturedLines() : stream_(&buffer_), output(stream_) {}

  std::vector<std::string> lines() const { return buffer_.lines(); }

 private:
  class LockedBuffer : public std::streambuf {
   public:
    std::vector<std::string> lines() const {
      std::lock_guard lock(mutex_);
      std::vector<std::string> result;
      std::size_t start = 0;
      for (std::size_t end; (end = text_.find('\n', start)) != std::string::npos; start = end + 1) {
        result.push_back(text_.substr(start, end - start));
      }
      return result;
    }

   protected:
    int_type overflow(int_type c) override {
      if (c != traits_type::eof()) {
        std::lock_guard lock(mutex_);
        text_.push_back(static_cast<char>(c));
      }
      return c;
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override {
      std::lock_guard lock(mutex_);
      text_.append(text, static_cast<std::size_t>(count));
      return count;
    }

   private:
    mutable std::mutex mutex_;
    std::string text_;
  };

  LockedBuffer buffer_;
  std::ostream stream_;

 public:
  LineOutput output;
};

}  // namespace tessevar::test
