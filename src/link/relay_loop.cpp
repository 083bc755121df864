#include <poll.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>

#include "link/receive_backoff.h"
#include "link/relay.h"
#include "link/relay_sides.h"
#include "link/relay_step.h"
#include "util/wake_up.h"

namespace tessevar {
namespace {

using Clock = ReceiveBackoff::Clock;
constexpr std::array<Side, 2> bothSides{Side::surface, Side::mixer};

struct SidePoll {
  Side side;
  std::size_t slot;  // index into the pollfd array, 0 when not polled
};

// The loop's own bookkeeping for one side.
struct SidePacing {
  ReceiveBackoff backoff;
  bool busy = false;  // the last receive brought a datagram: more may be queued
};
using Pacing = std::array<SidePacing, 2>;

SidePacing& pacingOf(Pacing& pacing, Side side) { return pacing[static_cast<std::size_t>(side)]; }

// Completes the armed receive of a link. A failed receive stays armed and
// raises no flag: nothing is relayed for it.
ReceiveStatus completeReceive(RelayState& relay, Side side, SidePacing& pacing) {
  // Straight into the side's buffer, which has been forwarded by now: an
  // armed receive means its last datagram is gone.
  ReceiveStatus status = linkOf(relay, side)->receive(bufferOf(relay, side));
  switch (status) {
    case ReceiveStatus::received:
      pacing.backoff.succeeded();
      dataWaitingOf(relay, side) = true;
      break;
    case ReceiveStatus::failed:
      pacing.backoff.failed(Clock::now());
      break;
    case ReceiveStatus::nothing:
      break;
  }
  pacing.busy = status == ReceiveStatus::received;
  return status;
}

bool receivable(RelayState& relay, Side side, const SidePacing& pacing, Clock::time_point now) {
  UdpLink* link = linkOf(relay, side);
  return link != nullptr && link->receiveArmed() && link->descriptor() >= 0 && !pacing.backoff.paused(now);
}

// While datagrams keep coming, reading straight away saves a poll() per
// datagram. Every receivable side is tried, so a busy side cannot starve the
// other. False when nothing came, and the loop should wait.
bool receiveWithoutWaiting(RelayState& relay, Pacing& pacing) {
  if (!pacingOf(pacing, Side::surface).busy && !pacingOf(pacing, Side::mixer).busy) return false;
  Clock::time_point now = Clock::now();
  bool received = false;
  for (Side side : bothSides) {
    SidePacing& sidePacing = pacingOf(pacing, side);
    if (!receivable(relay, side, sidePacing, now)) {
      sidePacing.busy = false;
      continue;
    }
    received |= completeReceive(relay, side, sidePacing) == ReceiveStatus::received;
  }
  return received;
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
void waitAndReceive(RelayState& relay, Pacing& pacing) {
  if (receiveWithoutWaiting(relay, pacing)) return;
  std::array<pollfd, 3> fds{};
  fds[0] = {relay.wakeUp->descriptor(), POLLIN, 0};
  std::array<SidePoll, 2> polled{};
  std::size_t count = 1;
  int timeout = -1;
  Clock::time_point now = Clock::now();
  for (Side side : bothSides) {
    const ReceiveBackoff& backoff = pacingOf(pacing, side).backoff;
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
      completeReceive(relay, entry.side, pacingOf(pacing, entry.side));
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
  Pacing pacing;
  while (!relay.quitRequested) {
    waitAndReceive(relay, pacing);
    relayStep(relay, surfaceInspector, mixerInspector);
  }
}

}  // namespace tessevar
