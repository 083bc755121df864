#include "link/interface_address.h"

#include "util/socket_library.h"

namespace tessevar {
namespace {

constexpr unsigned int relevantFlags = interfaceUp | interfaceLoopback | interfaceRunning;
constexpr unsigned int wantedFlags = interfaceUp | interfaceRunning;

bool entryMatches(const InterfaceEntry& entry, std::string_view portName) {
  if (entry.name == nullptr || entry.address == nullptr) return false;
  if (portName != entry.name) return false;
  if ((entry.flags & relevantFlags) != wantedFlags) return false;
  int family = entry.address->sa_family;
  return family == AF_INET6 || family == AF_INET;
}

// How well the entry's address serves the peers; among equals the last wins.
int suitability(const sockaddr& address, const PeerAddresses& peers) {
  const int familyFits = address.sa_family == peers.family ? 2 : 0;
  const int scopeFits = peers.beyondLinkLocal && isLinkLocal(address) ? 0 : 1;
  return familyFits + scopeFits;
}

}  // namespace

std::optional<std::string> chooseInterfaceAddress(std::span<const InterfaceEntry> entries,
                                                  std::string_view portName, const PeerAddresses& peers) {
  if (entries.empty()) return std::string();
  useSocketLibrary();
  std::optional<std::string> best;
  int bestSuitability = -1;
  for (const InterfaceEntry& entry : entries) {
    if (!entryMatches(entry, portName)) continue;
    std::optional<std::string> host = numericHost(entry.address);
    if (!host) continue;
    const int fit = suitability(*entry.address, peers);
    if (fit < bestSuitability) continue;
    best = std::move(host);
    bestSuitability = fit;
  }
  return best;
}

}  // namespace tessevar
