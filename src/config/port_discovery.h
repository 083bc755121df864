#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "config/configuration.h"

namespace tessevar {

// Fills the names from the platform's hardware-port listing; false when the
// listing could not be had (the names then keep their values).
bool discoverPortNames(PortNames& ports);

// Applies a listing in the networksetup -listallhardwareports layout: the
// second space-separated word of the line after a header becomes the name;
// a later header overwrites an earlier one.
void readHardwarePortListing(std::string_view listing, PortNames& ports);

// The same layout built from a sysfs net folder (normally /sys/class/net):
// Wi-Fi for interfaces with a `wireless` entry, Ethernet for other type-1
// interfaces with a `device` entry, in name order. Nothing when the folder
// cannot be listed.
std::optional<std::string> sysfsHardwarePortListing(const std::filesystem::path& netRoot);

}  // namespace tessevar
