#include "link/relay_step.h"

#include "link/relay_sides.h"

namespace tessevar {
namespace {

Datagram copyUnderLock(RelayState& relay, Side side) {
  std::lock_guard lock(relay.receiveLock);
  return bufferOf(relay, side);
}

void forwardUnderLock(RelayState& relay, Side side) {
  std::lock_guard lock(relay.receiveLock);
  if (UdpLink* target = forwardLinkOf(relay, side)) target->send(bufferOf(relay, side));
}

void relaySide(RelayState& relay, Side side, const Inspector& inspector) {
  if (!dataWaitingOf(relay, side).exchange(false)) return;
  if (inspector) inspector(copyUnderLock(relay, side));
  forwardUnderLock(relay, side);
  // Only now may the buffer be replaced: the next receive comes after the forward.
  if (UdpLink* source = linkOf(relay, side)) source->armReceive();
}

}  // namespace

void storeDatagram(RelayState& relay, Side side, Datagram datagram) {
  std::lock_guard lock(relay.receiveLock);
  bufferOf(relay, side) = std::move(datagram);
  dataWaitingOf(relay, side) = true;
}

void relayStep(RelayState& relay, const Inspector& surfaceInspector, const Inspector& mixerInspector) {
  relaySide(relay, Side::surface, surfaceInspector);
  relaySide(relay, Side::mixer, mixerInspector);
}

}  // namespace tessevar
