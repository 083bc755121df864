#pragma once

#include "link/relay.h"

namespace tessevar {

// A side's receive completion: replaces its buffer and raises its waiting
// flag, both under receiveLock.
void storeDatagram(RelayState& relay, Side side, Datagram datagram);

// One pass of the relay, X-Touch side first. Per waiting side: clear the flag,
// show the inspector a copy taken under the lock, forward the buffer to the
// other peer under the lock, then issue that side's next receive.
void relayStep(RelayState& relay, const Inspector& surfaceInspector, const Inspector& mixerInspector);

}  // namespace tessevar
