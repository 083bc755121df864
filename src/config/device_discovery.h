#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "config/discovery_sockets.h"
#include "config/osc_message.h"
#include "util/result.h"

namespace tessevar {

struct MixerReply {
  std::string from;  // the address the answer came from: the one to use
  MixerInfo info;    // what the mixer says of itself
};

struct DiscoveryWaits {
  std::chrono::milliseconds mixers{1000};   // for answers to the query
  std::chrono::milliseconds surfaces{3000};  // the X-Touch's keep-alive comes every 2 s
  std::chrono::milliseconds afterFirstSurface{500};
};

// Sends the mixers' discovery query as a broadcast from the interface's
// first IPv4 address and collects the answers that come within the wait,
// one per sender. A failure says why nothing could be asked.
Result<std::vector<MixerReply>> findMixers(const NetworkInterface& interface, const DiscoveryWaits& waits);

// Listens on UDP 10111 of the interface's first IPv4 address and collects
// the senders heard, in order; `listening` is called once the port is
// held. A failure says why it could not listen (the port in use, say).
Result<std::vector<std::string>> hearSurfaces(const NetworkInterface& interface, const DiscoveryWaits& waits,
                                              const std::function<void()>& listening);

}  // namespace tessevar
