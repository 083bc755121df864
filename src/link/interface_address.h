#pragma once

#include <sys/socket.h>

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tessevar {

// One entry of the system's interface list, as much of it as the choice needs.
struct InterfaceEntry {
  const char* name = nullptr;         // may be missing
  unsigned int flags = 0;             // IFF_* bits
  const sockaddr* address = nullptr;  // may be missing
};

// Picks the numeric address of `portName` from `entries`: an entry counts when
// its name matches exactly, it is up and running but not loopback, and it
// carries an IPv4 or IPv6 address. The last such address wins, except that an
// address of `wantedFamily` (AF_INET or AF_INET6) beats one of the other
// family, because the links can only reach peers of their own family.
// AF_UNSPEC leaves the plain last-wins rule. An empty list gives "".
std::optional<std::string> chooseInterfaceAddress(std::span<const InterfaceEntry> entries,
                                                  std::string_view portName, int wantedFamily);

// The same choice over the live interface list; "" when it cannot be read.
std::optional<std::string> interfaceAddress(std::string_view portName, int wantedFamily = AF_UNSPEC);

// AF_INET or AF_INET6 for a numeric address text, AF_UNSPEC for anything else.
int addressFamilyOf(const std::string& addressText);

// The family the two peers share; AF_UNSPEC when neither is numeric or they
// disagree.
int peerAddressFamily(const std::string& surfaceAddress, const std::string& mixerAddress);

}  // namespace tessevar
