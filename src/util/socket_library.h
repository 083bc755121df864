#pragma once

#include <optional>
#include <string>

struct sockaddr;

namespace tessevar {

// Makes the system's socket calls (the resolver's among them) usable in this
// process: Windows wants its socket library started once before any of
// them; elsewhere there is nothing to do. Cheap after the first call, safe
// from any thread. Throws std::system_error when the system refuses, as it
// does when a socket cannot be had at start-up.
void useSocketLibrary();

// Why the resolver (getaddrinfo) failed, in the same words everywhere.
std::string resolverErrorText(int error);

// The numeric text of an IPv4 or IPv6 address, or nothing.
std::optional<std::string> numericHost(const sockaddr* address);

}  // namespace tessevar
