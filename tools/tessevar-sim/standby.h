#pragma once

#include "config/osc_message.h"
#include "show_runner.h"

namespace tessevar::sim {

// Both devices switched on and set up, before Tessevar relays: the mixer
// answers the discovery query on UDP 10024 (broadcast or not) with `mixer`,
// its address filled in; the X-Touch sends its keep-alive to Tessevar's
// port 10111 every 2 s. Runs until the process is ended; throws
// std::runtime_error when a port cannot be had.
[[noreturn]] void runStandby(const StageAddresses& addresses, MixerInfo mixer);

}  // namespace tessevar::sim
