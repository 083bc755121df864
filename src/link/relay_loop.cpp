#include <poll.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>

#include "link/receive_backoff.h"
#include "link/relay.h"
#include "link/relay_sides.h"
#include "link/relay_step.h"
#include "link/wake_up.h"

namespace tessevar {
namespace {

using Clock = ReceiveBackoff::Clock;
constexpr std::array<Side, 2> bothSides{Side::surface, Side::mixer};

struct SidePoll {
  Side side;
  std::size_t slot;  // index into the pollfd array, 0 when not polled
};

// Completes the armed receive of a readable link. A failed receive stays
// armed and raises no flag: nothing is relayed for it.
void completeReceive(RelayState& relay, Side side, ReceiveBackoff& backoff) {
  Datagram datagram;
  switch (linkOf(relay, side)->receive(datagram)) {
    case ReceiveStatus::received:
      backoff.succeeded();
      storeDatagram(relay, side, std::move(datagram));
      break;
    case ReceiveStatus::failed:
      backoff.failed(Clock::now());
      break;
    case ReceiveStatus::nothing:
      break;
  }
}

int millisecondsUntil(Clock::time_point when, Clock::time_point now) {
  auto wait = std::chrono::ceil<std::chrono::milliseconds>(when - now);
  return static_cast<int>(std::max<std::chrono::milliseconds::rep>(wait.count(), 0));
}

// Combines poll timeouts, where -1 means "no limit".
int earlierTimeout(int current, int candidate) { return current < 0 ? candidate : std::min(current, candidate); }

bool anyDataWaiting(RelayState& relay) { return relay.surfaceDataWaiting || relay.mixerDataWaiting; }

// Blocks until a datagram is stored, the loop is woken, or a paused link may
// be polled again.
void waitAndReceive(RelayState& relay, std::array<ReceiveBackoff, 2>& backoffs) {
  std::array<pollfd, 3> fds{};
  fds[0] = {relay.wakeUp->descriptor(), POLLIN, 0};
  std::array<SidePoll, 2> polled{};
  std::size_t count = 1;
  int timeout = -1;
  Clock::time_point now = Clock::now();
  for (Side side : bothSides) {
    ReceiveBackoff& backoff = backoffs[static_cast<std::size_t>(side)];
    UdpLink* link = linkOf(relay, side);
    polled[static_cast<std::size_t>(side)] = {side, 0};
    if (link == nullptr || !link->receiveArmed() || link->descriptor() < 0) continue;
    if (backoff.paused(now)) {
      timeout = earlierTimeout(timeout, millisecondsUntil(backoff.resumeAt(), now));
      continue;
    }
    fds[count] = {link->descriptor(), POLLIN, 0};
    polled[static_cast<std::size_t>(side)].slot = count++;
  }
  if (anyDataWaiting(relay)) timeout = 0;
  if (poll(fds.data(), count, timeout) <= 0) return;  // timeout or EINTR: the caller loops
  if (fds[0].revents != 0) relay.wakeUp->drain();
  for (const SidePoll& entry : polled) {
    if (entry.slot != 0 && fds[entry.slot].revents != 0) {
      completeReceive(relay, entry.side, backoffs[static_cast<std::size_t>(entry.side)]);
    }
  }
}

}  // namespace

RelayState::RelayState() : wakeUp(std::make_unique<WakeUp>()) {}

RelayState::~RelayState() {
  // The links' start-up threads may still raise wakeUp; stop them first.
  xtouchConnection.reset();
  mixerConnection.reset();
}

void armFirstReceive(RelayState& relay, Side side) {
  UdpLink* link = linkOf(relay, side);
  if (link == nullptr) return;
  link->armReceive();
  relay.wakeUp->raise();
}

void requestQuit(RelayState& relay) {
  relay.quitRequested = true;
  relay.wakeUp->raise();
}

void runRelayLoop(RelayState& relay, const Inspector& surfaceInspector, const Inspector& mixerInspector) {
  std::array<ReceiveBackoff, 2> backoffs;
  while (!relay.quitRequested) {
    waitAndReceive(relay, backoffs);
    relayStep(relay, surfaceInspector, mixerInspector);
  }
}

}  // namespace tessevar
