#include "platform/x11/sigpipe_guard.h"

#include <pthread.h>

#include <ctime>

namespace tessevar {
namespace {

sigset_t onlySigpipe() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGPIPE);
  return set;
}

}  // namespace

SigpipeGuard::SigpipeGuard() {
  const sigset_t pipe = onlySigpipe();
  if (pthread_sigmask(SIG_BLOCK, &pipe, &previous_) != 0) return;
  // Already blocked by the caller: a pending SIGPIPE is theirs, leave it.
  blockedHere_ = sigismember(&previous_, SIGPIPE) == 0;
}

SigpipeGuard::~SigpipeGuard() {
  if (!blockedHere_) return;
  const sigset_t pipe = onlySigpipe();
  sigset_t pending;
  if (sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE) == 1) {
    const timespec now{0, 0};
    sigtimedwait(&pipe, nullptr, &now);
  }
  pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

}  // namespace tessevar
