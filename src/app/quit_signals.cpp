#include "app/quit_signals.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>

#include "util/wake_up.h"

namespace tessevar {

namespace {

std::atomic<RelayState*> quitTarget{nullptr};  // set once relaying runs
std::atomic<bool> bySignal{false};
static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<RelayState*>::is_always_lock_free,
              "a signal handler may only touch lock-free atomics");

void onQuitSignal(int) {
  RelayState* relay = quitTarget.load();
  if (relay == nullptr) _exit(0);
  bySignal = true;
  relay->quitRequested = true;
  relay->wakeUp->raise();  // one write(): safe in a handler
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

void routeQuitSignals() {
  handle(SIGINT, onQuitSignal);
  handle(SIGTERM, onQuitSignal);
  handle(SIGPIPE, onBrokenPipe);
}

void quitSignalsEndTheRelayLoop(RelayState& relay) { quitTarget = &relay; }

bool quitBySignal() { return bySignal; }

}  // namespace tessevar
