#include "config/socket_addresses.h"

#include "config/discovery_sockets.h"
#include "util/socket_library.h"

namespace tessevar {

namespace {

bool resolves(const std::string& host, int family, int flags) {
  addrinfo hints{};
  hints.ai_family = family;
  hints.ai_socktype = SOCK_DGRAM;
  hints.ai_flags = flags;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0) return false;
  freeaddrinfo(found);
  return true;
}

}  // namespace

std::string ipv4Text(in_addr address) {
  char text[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &address, text, sizeof text);
  return text;
}

in_addr ipv4Broadcast(in_addr address, in_addr mask) {
  in_addr broadcast{};
  broadcast.s_addr = address.s_addr | ~mask.s_addr;
  return broadcast;
}

std::optional<sockaddr_in> ipv4Endpoint(const std::string& address, std::uint16_t port) {
  sockaddr_in endpoint{};
  endpoint.sin_family = AF_INET;
  endpoint.sin_port = htons(port);
  if (inet_pton(AF_INET, address.c_str(), &endpoint.sin_addr) != 1) return std::nullopt;
  return endpoint;
}

HostKind classifyHost(const std::string& host) {
  useSocketLibrary();
  in_addr ipv4{};
  if (inet_pton(AF_INET, host.c_str(), &ipv4) == 1) return HostKind::ipv4;
  if (resolves(host, AF_INET6, AI_NUMERICHOST)) return HostKind::ipv6;  // also with a scope, fe80::1%en0
  return !host.empty() && resolves(host, AF_UNSPEC, 0) ? HostKind::name : HostKind::unknown;
}

}  // namespace tessevar
