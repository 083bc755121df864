#pragma once

#include "link/relay.h"
#include "link/udp_link.h"

namespace tessevar {

// Per-side views of RelayState. The surface side's link is xtouchConnection.

inline UdpLink* linkOf(RelayState& relay, Side side) {
  return side == Side::surface ? relay.xtouchConnection.get() : relay.mixerConnection.get();
}

inline UdpLink* forwardLinkOf(RelayState& relay, Side side) {
  return side == Side::surface ? relay.mixerConnection.get() : relay.xtouchConnection.get();
}

inline Datagram& bufferOf(RelayState& relay, Side side) {
  return side == Side::surface ? relay.surfaceBuffer : relay.mixerBuffer;
}

inline bool& dataWaitingOf(RelayState& relay, Side side) {
  return side == Side::surface ? relay.surfaceDataWaiting : relay.mixerDataWaiting;
}

}  // namespace tessevar
