#include "link/receive_backoff.h"

#include <algorithm>

namespace tessevar {
namespace {

constexpr std::chrono::milliseconds firstDelay{1};
constexpr std::chrono::milliseconds longestDelay{100};
constexpr int longestShift = 7;  // 1 ms << 7 already exceeds the longest delay

}  // namespace

ReceiveBackoff::Clock::duration ReceiveBackoff::currentDelay() const {
  if (failuresInARow_ < 2) return Clock::duration::zero();
  int shift = std::min(failuresInARow_ - 2, longestShift);
  return std::min<Clock::duration>(firstDelay * (1 << shift), longestDelay);
}

void ReceiveBackoff::failed(Clock::time_point now) {
  ++failuresInARow_;
  resumeAt_ = now + currentDelay();
}

}  // namespace tessevar
