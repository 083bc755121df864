#include "config/device_discovery.h"

#include <algorithm>

namespace tessevar {

namespace {

constexpr std::uint16_t surfacePort = 10111;

using Clock = std::chrono::steady_clock;

Result<const Ipv4Subnet*> firstIpv4(const NetworkInterface& interface) {
  if (interface.ipv4.empty()) return Failure{interface.name + " has no IPv4 address"};
  return &interface.ipv4.front();
}

bool heardFrom(const std::vector<MixerReply>& replies, const std::string& from) {
  return std::any_of(replies.begin(), replies.end(), [&](const MixerReply& r) { return r.from == from; });
}

}  // namespace

Result<std::vector<MixerReply>> findMixers(const NetworkInterface& interface, const DiscoveryWaits& waits) {
  const Result<const Ipv4Subnet*> subnet = firstIpv4(interface);
  if (!subnet) return Failure{subnet.reason()};
  Result<DiscoverySocket> socket = DiscoverySocket::open((*subnet)->address, 0);
  if (!socket) return Failure{socket.reason()};
  if (Result<void> sent = socket->sendTo((*subnet)->broadcast, mixerDiscoveryPort, mixerQuery()); !sent) {
    return Failure{sent.reason()};
  }
  // Also to everyone on the link, for a subnet whose broadcast is not set up.
  static_cast<void>(socket->sendTo("255.255.255.255", mixerDiscoveryPort, mixerQuery()));
  std::vector<MixerReply> replies;
  const Clock::time_point until = Clock::now() + waits.mixers;
  while (std::optional<ReceivedDatagram> datagram = socket->receive(until)) {
    std::optional<MixerInfo> info = parseMixerAnswer(datagram->bytes);
    if (info && !heardFrom(replies, datagram->from)) replies.push_back({datagram->from, std::move(*info)});
  }
  return replies;
}

Result<std::vector<std::string>> hearSurfaces(const NetworkInterface& interface, const DiscoveryWaits& waits,
                                              const std::function<void()>& listening) {
  const Result<const Ipv4Subnet*> subnet = firstIpv4(interface);
  if (!subnet) return Failure{subnet.reason()};
  Result<DiscoverySocket> socket = DiscoverySocket::open((*subnet)->address, surfacePort);
  if (!socket) return Failure{socket.reason()};
  listening();
  std::vector<std::string> heard;
  Clock::time_point until = Clock::now() + waits.surfaces;
  while (std::optional<ReceivedDatagram> datagram = socket->receive(until)) {
    if (std::find(heard.begin(), heard.end(), datagram->from) != heard.end()) continue;
    // Another X-Touch would speak up about as soon: no need to wait longer.
    if (heard.empty()) until = std::min(until, Clock::now() + waits.afterFirstSurface);
    heard.push_back(datagram->from);
  }
  return heard;
}

}  // namespace tessevar
