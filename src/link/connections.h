#pragma once

#include <string>

#include "link/relay.h"

namespace tessevar {

// Creates and starts both links on `localHost` (X-Touch first). Each link's
// state handler prints its state lines, raises its ready flag and, on ready,
// wakes the relay loop. `output` must outlive `relay`.
void openConnections(RelayState& relay, const std::string& localHost, const LinkSettings& settings,
                     LineOutput& output);

}  // namespace tessevar
