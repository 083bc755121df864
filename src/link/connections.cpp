#include "link/connections.h"

#include "link/connection_state.h"
#include "link/interface_address.h"
#include "link/udp_link.h"
#include "util/wake_up.h"

namespace tessevar {
namespace {

UdpLink::StateHandler stateHandler(RelayState& relay, std::atomic<bool>& readyFlag, LineOutput& output) {
  return [&relay, &readyFlag, &output](LinkState state) {
    handleConnectionState(state, readyFlag, output);
    // A receive may already be armed on a link that was not open yet.
    if (state == LinkState::ready) relay.wakeUp->raise();
  };
}

UdpLink::ProblemHandler problemHandler(const char* name, LineOutput& output) {
  return [name, &output](const std::string& problem) { output.line(std::string(name) + " link waiting: " + problem); };
}

}  // namespace

void openConnections(RelayState& relay, const std::string& localHost, const LinkSettings& settings,
                     LineOutput& output) {
  const auto peerPort = [&settings](std::uint16_t port) { return port != 0 ? port : settings.port; };
  relay.xtouchConnection = std::make_unique<UdpLink>(localHost, settings.surfaceAddress, settings.port,
                                                     peerPort(settings.surfacePort));
  relay.xtouchConnection->start(stateHandler(relay, relay.surfaceLinkReady, output),
                                problemHandler("X-Touch", output));
  relay.mixerConnection = std::make_unique<UdpLink>(localHost, settings.mixerAddress, settings.port,
                                                    peerPort(settings.mixerPort));
  relay.mixerConnection->start(stateHandler(relay, relay.mixerLinkReady, output), problemHandler("mixer", output));
}

bool setUpConnections(RelayState& relay, const LinkSettings& settings, LineOutput& output) {
  const PeerAddresses peers = peerAddresses(settings.surfaceAddress, settings.mixerAddress);
  std::optional<std::string> address = interfaceAddress(settings.networkPortName, peers);
  if (!address) {
    output.lines({"network cable may not be connected", "Check the network connection and restart the application"});
    return false;
  }
  openConnections(relay, *address, settings, output);
  return true;
}

void sendToXTouch(RelayState& relay, std::span<const std::uint8_t> bytes) {
  if (relay.xtouchConnection) relay.xtouchConnection->send(bytes);
}

}  // namespace tessevar
