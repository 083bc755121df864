#pragma once

#include <signal.h>

namespace tessevar {

// Writing to the socket of an X server that has died raises SIGPIPE, whose
// default action ends the process. While one of these lives, SIGPIPE is
// blocked on the calling thread; one raised meanwhile is consumed, so the
// lost connection shows up as an Xlib I/O error and nothing else.
class SigpipeGuard {
 public:
  SigpipeGuard();
  ~SigpipeGuard();
  SigpipeGuard(const SigpipeGuard&) = delete;
  SigpipeGuard& operator=(const SigpipeGuard&) = delete;

 private:
  bool blockedHere_ = false;
  sigset_t previous_{};
};

}  // namespace tessevar
