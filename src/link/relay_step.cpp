#include "link/relay_step.h"

#include <utility>

#include "link/relay_sides.h"

namespace tessevar {
namespace {

void relaySide(RelayState& relay, Side side, const Inspector& inspector) {
  if (!std::exchange(dataWaitingOf(relay, side), false)) return;
  const Datagram& datagram = bufferOf(relay, side);
  if (inspector) inspector(datagram);
  if (UdpLink* target = forwardLinkOf(relay, side)) target->send(datagram);
  // Only now may the buffer be replaced: the next receive comes after the forward.
  if (UdpLink* source = linkOf(relay, side)) source->armReceive();
}

}  // namespace

void relayStep(RelayState& relay, const Inspector& surfaceInspector, const Inspector& mixerInspector) {
  relaySide(relay, Side::surface, surfaceInspector);
  relaySide(relay, Side::mixer, mixerInspector);
}

}  // namespace tessevar
