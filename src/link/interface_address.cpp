#include "link/interface_address.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netdb.h>
#include <netinet/in.h>

#include <vector>

namespace tessevar {
namespace {

constexpr unsigned int relevantFlags = 0x49;  // up, loopback, running
constexpr unsigned int wantedFlags = 0x41;    // up and running, not loopback

std::optional<std::string> numericHost(const sockaddr* address) {
  // Linux has no sa_len; the family tells the length.
  socklen_t length = address->sa_family == AF_INET6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in);
  char host[NI_MAXHOST] = {};
  if (getnameinfo(address, length, host, sizeof host, nullptr, 0, NI_NUMERICHOST) != 0) {
    return std::nullopt;
  }
  return std::string(host);
}

bool entryMatches(const InterfaceEntry& entry, std::string_view portName) {
  if (entry.name == nullptr || entry.address == nullptr) return false;
  if (portName != entry.name) return false;
  if ((entry.flags & relevantFlags) != wantedFlags) return false;
  int family = entry.address->sa_family;
  return family == AF_INET6 || family == AF_INET;
}

}  // namespace

std::optional<std::string> chooseInterfaceAddress(std::span<const InterfaceEntry> entries,
                                                  std::string_view portName, int wantedFamily) {
  if (entries.empty()) return std::string();
  std::optional<std::string> lastMatch;
  std::optional<std::string> lastOfWantedFamily;
  for (const InterfaceEntry& entry : entries) {
    if (!entryMatches(entry, portName)) continue;
    std::optional<std::string> host = numericHost(entry.address);
    if (!host) continue;
    if (entry.address->sa_family == wantedFamily) lastOfWantedFamily = host;
    lastMatch = std::move(host);
  }
  return lastOfWantedFamily ? lastOfWantedFamily : lastMatch;
}

std::optional<std::string> interfaceAddress(std::string_view portName, int wantedFamily) {
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return std::string();
  std::vector<InterfaceEntry> entries;
  for (const ifaddrs* item = list; item != nullptr; item = item->ifa_next) {
    entries.push_back({item->ifa_name, item->ifa_flags, item->ifa_addr});
  }
  std::optional<std::string> result = chooseInterfaceAddress(entries, portName, wantedFamily);
  freeifaddrs(list);
  return result;
}

int addressFamilyOf(const std::string& addressText) {
  in6_addr scratch{};
  if (inet_pton(AF_INET, addressText.c_str(), &scratch) == 1) return AF_INET;
  if (inet_pton(AF_INET6, addressText.c_str(), &scratch) == 1) return AF_INET6;
  return AF_UNSPEC;
}

int peerAddressFamily(const std::string& surfaceAddress, const std::string& mixerAddress) {
  int surface = addressFamilyOf(surfaceAddress);
  int mixer = addressFamilyOf(mixerAddress);
  if (surface == mixer) return surface;
  if (surface == AF_UNSPEC) return mixer;
  if (mixer == AF_UNSPEC) return surface;
  return AF_UNSPEC;
}

}  // namespace tessevar
