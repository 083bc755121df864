#pragma once

// The pieces of the setup dialogue: reading an answer, checking it, and the
// numbered lines of the interfaces and devices found.

#include <cstddef>
#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "config/device_discovery.h"
#include "config/discovery_sockets.h"
#include "util/result.h"

namespace tessevar {

// Longer than any interface name, address or host name; a longer line is
// not taken, so a stream without line ends cannot fill the memory.
inline constexpr std::size_t longestAnswer = 1024;

struct AnswerLine {
  std::string text;      // decoded; empty when the line was too long
  bool tooLong = false;  // more than longestAnswer bytes: the rest of the line was skipped
};

// One operator line without its "\n" or "\r\n", decoded as lossy UTF-8; a
// last line without a line end is taken whole. Nothing at end of input.
std::optional<AnswerLine> readAnswerLine(std::istream& input);

// Whether anyone can still answer on `input`, the standard input: a
// terminal, or a pipe or file that has not ended. False for /dev/null, as
// under a service manager, so the questions are not asked into the void.
bool answersMayCome(std::istream& input);

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

// What the setup shows before a question, numbered so that an answer can
// name an entry by its number, and what each number stands for.
struct Listing {
  std::vector<std::string> lines;
  std::vector<std::string> choices;
};

// One line per usable interface that has an address, with its addresses.
Listing listInterfaces(const std::vector<NetworkInterface>& interfaces);

// One line per mixer that answered, or one saying none did and what to check.
Listing listMixers(const Result<std::vector<MixerReply>>& found, const std::string& interfaceName);

// One line per X-Touch heard, or one on the X-Touch settings to check.
Listing listSurfaces(const Result<std::vector<std::string>>& heard, const NetworkInterface& interface);

// The line asking the operator to make the X-Touch speak up.
std::string surfaceListeningLine(const std::string& interfaceName);

}  // namespace tessevar
