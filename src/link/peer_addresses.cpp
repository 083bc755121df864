#include "link/peer_addresses.h"

#include <cstring>

#include "util/socket_library.h"

namespace tessevar {

namespace {

struct Families {
  bool ipv4 = false;
  bool ipv6 = false;
};

Families familiesOf(const std::vector<sockaddr_storage>& addresses) {
  Families found;
  for (const sockaddr_storage& address : addresses) {
    found.ipv4 = found.ipv4 || address.ss_family == AF_INET;
    found.ipv6 = found.ipv6 || address.ss_family == AF_INET6;
  }
  return found;
}

bool anyBeyondLinkLocal(const std::vector<sockaddr_storage>& addresses) {
  for (const sockaddr_storage& address : addresses) {
    const auto& plain = reinterpret_cast<const sockaddr&>(address);
    if (address.ss_family == AF_INET6 && !isLinkLocal(plain)) return true;
  }
  return false;
}

}  // namespace

std::vector<sockaddr_storage> resolveHost(const std::string& host) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_DGRAM;  // one entry per address
  addrinfo* found = nullptr;
  std::vector<sockaddr_storage> addresses;
  useSocketLibrary();
  if (host.empty() || getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0) return addresses;
  for (const addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
    if (entry->ai_addrlen > sizeof(sockaddr_storage)) continue;
    sockaddr_storage address{};
    std::memcpy(&address, entry->ai_addr, entry->ai_addrlen);
    addresses.push_back(address);
  }
  freeaddrinfo(found);
  return addresses;
}

PeerAddresses describePeers(std::span<const std::vector<sockaddr_storage>> peers) {
  PeerAddresses result;
  Families shared{true, true};
  int firstChoice = AF_UNSPEC;
  for (const auto& addresses : peers) {
    if (addresses.empty()) continue;
    if (firstChoice == AF_UNSPEC) firstChoice = addresses.front().ss_family;
    const Families own = familiesOf(addresses);
    shared.ipv4 = shared.ipv4 && own.ipv4;
    shared.ipv6 = shared.ipv6 && own.ipv6;
    result.beyondLinkLocal = result.beyondLinkLocal || anyBeyondLinkLocal(addresses);
  }
  if (firstChoice == AF_UNSPEC) return result;
  if (shared.ipv4 && shared.ipv6) {
    result.family = firstChoice;
  } else if (shared.ipv4 || shared.ipv6) {
    result.family = shared.ipv4 ? AF_INET : AF_INET6;
  }
  return result;
}

PeerAddresses peerAddresses(const std::string& surfaceAddress, const std::string& mixerAddress) {
  const std::vector<sockaddr_storage> peers[] = {resolveHost(surfaceAddress), resolveHost(mixerAddress)};
  return describePeers(peers);
}

bool isLinkLocal(const sockaddr& address) {
  if (address.sa_family != AF_INET6) return false;
  const auto& ipv6 = reinterpret_cast<const sockaddr_in6&>(address);
  return IN6_IS_ADDR_LINKLOCAL(&ipv6.sin6_addr);
}

}  // namespace tessevar
