#pragma once

#include <chrono>
#include <optional>

namespace tessevar {

// For a window system that tells nothing of windows coming and going: a
// fresh look at most this often stands in for news.
class LookPacer {
 public:
  using Clock = std::chrono::steady_clock;
  explicit LookPacer(Clock::duration interval) : interval_(interval) {}

  bool due(Clock::time_point now) {
    if (last_ && now - *last_ < interval_) return false;
    last_ = now;
    return true;
  }

 private:
  Clock::duration interval_;
  std::optional<Clock::time_point> last_;
};

}  // namespace tessevar
