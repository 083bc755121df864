#pragma once

#include "link/relay.h"

namespace tessevar {

// A side's receive completion: replaces its buffer and raises its waiting
// flag.
void storeDatagram(RelayState& relay, Side side, Datagram datagram);

// One pass of the relay, X-Touch side first. Per waiting side: clear the flag,
// show the inspector the buffer, forward it to the other peer, then issue
// that side's next receive.
void relayStep(RelayState& relay, const Inspector& surfaceInspector, const Inspector& mixerInspector);

}  // namespace tessevar
