#pragma once

#include <optional>
#include <string>
#include <vector>

#include "config/discovery_sockets.h"

namespace tessevar {

// What the setup's answers are checked against. Each check gives the one
// line that says why an answer is refused, or nothing.

// The listed entry when the answer is its number (1 for the first), else
// the answer as typed.
std::string chooseListed(const std::string& answer, const std::vector<std::string>& listed);

// Answers the file cannot hold at all: control characters, or the "-"
// that separates its values. `address` words the "-" case for host names.
std::optional<std::string> unstorable(const std::string& answer, bool address);

// Answers that look wrong now but may be right later: an interface that is
// not plugged in yet, a name not yet in DNS. Given twice, they are taken.
// No interfaces known means nothing to check against.
std::optional<std::string> doubtAboutInterface(const std::string& answer,
                                               const std::vector<NetworkInterface>& interfaces);
std::optional<std::string> doubtAboutAddress(const std::string& answer, HostKind kind);

}  // namespace tessevar
