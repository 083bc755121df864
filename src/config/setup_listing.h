#pragma once

#include <string>
#include <vector>

#include "config/device_discovery.h"
#include "util/result.h"

namespace tessevar {

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
