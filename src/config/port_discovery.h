#pragma once

#include <filesystem>
#include <string_view>

#include "config/configuration.h"

namespace tessevar {

// Fills the names from the platform's list of network ports; false when the
// list could not be had (the names then keep their values).
bool discoverPortNames(PortNames& ports);

// Applies a listing in the networksetup -listallhardwareports layout (macOS):
// the second space-separated word of the line after a header becomes the
// name; a later header overwrites an earlier one.
void readHardwarePortListing(std::string_view listing, PortNames& ports);

// Applies a sysfs net folder (normally /sys/class/net, Linux): Wi-Fi names
// an interface with a `wireless` entry, Ethernet another type-1 interface
// with a `device` entry; of several, the last in name order. A name not
// found keeps its value. False, changing nothing, when the folder cannot be
// listed.
bool readSysfsPortNames(const std::filesystem::path& netRoot, PortNames& ports);

}  // namespace tessevar
