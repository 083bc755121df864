#pragma once

// Helpers for link tests on real loopback sockets. Every test uses its own
// block of 127.31.0.0/16, so tests can run in parallel.

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <streambuf>
#include <string>
#include <thread>
#include <vector>

#include "link/relay.h"
#include "support/udp_peer.h"
#include "util/line_output.h"

namespace tessevar::test {

inline constexpr std::uint16_t testPort = 20111;

inline std::string loopbackAddress(int block, int host) {
  return "127.31." + std::to_string(block) + "." + std::to_string(host);
}

using LoopbackPeer = testing::UdpPeer;
using testing::SocketOptions;

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
