#pragma once

#include <atomic>

#include "util/wait.h"
#include "util/wake_up.h"

namespace tessevar {

// Quitting: asked once, by the console or by a signal, and seen by every
// wait in the program, because its handle stays readable from then on.
class StopSignal {
 public:
  // Safe in a signal handler: an atomic store and one write().
  void raise() noexcept {
    raised_.store(true);
    wakeUp_.raise();
  }
  bool raised() const { return raised_.load(); }
  PollHandle handle() const { return wakeUp_.handle(); }

  // Waits at most `patience` for the stop; true when it came.
  bool waitFor(std::chrono::milliseconds patience) const {
    Readable entry{handle()};
    waitReadable({&entry, 1}, patience);
    return raised();
  }

 private:
  std::atomic<bool> raised_{false};
  WakeUp wakeUp_;  // never drained
};

static_assert(std::atomic<bool>::is_always_lock_free, "a signal handler may only touch lock-free atomics");

}  // namespace tessevar
