#include "link/socket_endpoints.h"

#include <cstring>

#include "util/socket_library.h"
#include "util/utf8.h"

namespace tessevar {
namespace {

// Names and addresses come from the settings: shown, never obeyed by the terminal.
std::string place(const std::string& host, std::uint16_t port) {
  return (host.empty() ? std::string("any address") : escapeControls(host)) + " port " + std::to_string(port);
}

Result<SocketAddress> resolve(const char* host, std::uint16_t port, int family, int flags, const std::string& setting) {
  addrinfo hints{};
  hints.ai_family = family;
  hints.ai_socktype = SOCK_DGRAM;
  hints.ai_flags = AI_NUMERICSERV | flags;
  addrinfo* found = nullptr;
  const std::string service = std::to_string(port);
  if (const int error = getaddrinfo(host, service.c_str(), &hints, &found); error != 0 || found == nullptr) {
    return Failure{setting + " (" + escapeControls(host ? host : "") + ") cannot be used (" +
                   (error != 0 ? resolverErrorText(error) : "no address") + ")"};
  }
  SocketAddress endpoint;
  std::memcpy(&endpoint.address, found->ai_addr, found->ai_addrlen);
  endpoint.length = static_cast<socklen_t>(found->ai_addrlen);
  endpoint.family = found->ai_family;
  freeaddrinfo(found);
  return endpoint;
}

}  // namespace

Result<ResolvedEnds> resolveEnds(const SocketEnds& ends) {
  useSocketLibrary();
  Result<SocketAddress> local = Failure{};
  Result<SocketAddress> peer = Failure{};
  if (ends.localHost.empty()) {
    peer = resolve(ends.peerHost.c_str(), ends.peerPort, AF_UNSPEC, 0, ends.peerSetting);
    if (!peer) return Failure{peer.reason()};
    local = resolve(nullptr, ends.localPort, peer->family, AI_PASSIVE, "the local address");
  } else {
    local = resolve(ends.localHost.c_str(), ends.localPort, AF_UNSPEC, AI_NUMERICHOST, "the local address");
    if (!local) return Failure{local.reason()};
    peer = resolve(ends.peerHost.c_str(), ends.peerPort, local->family, 0, ends.peerSetting);
  }
  if (!local) return Failure{local.reason()};
  if (!peer) return Failure{peer.reason()};
  return ResolvedEnds{*local, *peer, place(ends.localHost, ends.localPort), place(ends.peerHost, ends.peerPort)};
}

}  // namespace tessevar
