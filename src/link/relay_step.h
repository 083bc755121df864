#pragma once

#include "link/relay.h"

namespace tessevar {

// One pass of the relay, X-Touch side first. Per waiting side: clear the flag,
// show the inspector the buffer, forward it to the other peer, then issue
// that side's next receive.
void relayStep(RelayState& relay, const Inspector& surfaceInspector, const Inspector& mixerInspector);

}  // namespace tessevar
