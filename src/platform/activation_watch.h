#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

namespace tessevar {

// Whether the desktop honoured a request to bring a window forward, judged
// without waiting for it: a request is made at one call, and a later call
// that finds the window still behind, `patience` or more after the request,
// says it was not honoured. Activations come with every mixer datagram, so
// the next one is never far.
class ActivationWatch {
 public:
  using Clock = std::chrono::steady_clock;
  explicit ActivationWatch(Clock::duration patience) : patience_(patience) {}

  // Called before each request, with whether `window` is in front now.
  // False when an earlier request for the same window went unhonoured; the
  // watch then starts over with the request about to be made.
  bool judge(std::int64_t window, bool inFront, Clock::time_point now);

 private:
  struct Request {
    std::int64_t window = 0;
    Clock::time_point since;
  };
  Clock::duration patience_;
  std::optional<Request> pending_;
};

}  // namespace tessevar
