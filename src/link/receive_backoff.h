#pragma once

#include <chrono>

namespace tessevar {

// Paces a link whose receives keep failing. One failure (an ICMP port
// unreachable after a forward) re-arms at once; each further failure in a
// row waits twice as long as the last, up to a tenth of a second.
class ReceiveBackoff {
 public:
  using Clock = std::chrono::steady_clock;

  void failed(Clock::time_point now);
  void succeeded() { failuresInARow_ = 0; }
  bool paused(Clock::time_point now) const { return now < resumeAt_; }
  Clock::time_point resumeAt() const { return resumeAt_; }
  Clock::duration currentDelay() const;

 private:
  int failuresInARow_ = 0;
  Clock::time_point resumeAt_{};
};

}  // namespace tessevar
