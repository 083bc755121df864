#pragma once

#include "link/relay.h"

namespace tessevar {

// SIGINT and SIGTERM end the program with status 0, as "q" does; a closed
// standard output (SIGPIPE) never ends it. Until relaying runs, a signal ends
// the process at once; from then on it lets the relay loop finish its pass.
void routeQuitSignals();
void quitSignalsEndTheRelayLoop(RelayState& relay);
// Whether the relay loop ended because of a signal.
bool quitBySignal();

}  // namespace tessevar
