#include <signal.h>

#include <atomic>

#include "app/process_guards.h"

namespace tessevar {

namespace {

std::atomic<StopSignal*> stopTarget{nullptr};
std::atomic<bool> bySignal{false};
static_assert(std::atomic<StopSignal*>::is_always_lock_free, "a signal handler may only touch lock-free atomics");

void onQuitSignal(int) {
  bySignal = true;
  if (StopSignal* stop = stopTarget.load()) stop->raise();
}

// A handler rather than SIG_IGN: an ignored signal stays ignored in the
// commands the program starts, a handled one does not.
void onBrokenPipe(int) {}

void handle(int signal, void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(signal, &action, nullptr);
}

}  // namespace

void routeQuitSignals(StopSignal* stop) {
  stopTarget = stop;
  handle(SIGINT, onQuitSignal);
  handle(SIGTERM, onQuitSignal);
  handle(SIGPIPE, onBrokenPipe);
}

bool quitBySignal() { return bySignal; }

void prepareStandardOutput() {}

}  // namespace tessevar
