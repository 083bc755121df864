#pragma once

#include "util/wait.h"

namespace tessevar {

// A self-pipe that breaks a wait out of waitReadable(): any thread (or a
// signal handler) may raise it; the waiting loop drains it after waking.
class WakeUp {
 public:
  WakeUp();
  ~WakeUp();
  WakeUp(const WakeUp&) = delete;
  WakeUp& operator=(const WakeUp&) = delete;

  void raise() noexcept;
  void drain();
  PollHandle handle() const { return readEnd_; }

 private:
  PollHandle readEnd_ = -1;
  PollHandle writeEnd_ = -1;
};

}  // namespace tessevar
