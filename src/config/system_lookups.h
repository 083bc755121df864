#pragma once

// What the settings need to know of this system: the Documents folder, and
// the names of its Ethernet and Wi-Fi interfaces for the setup's hints.

#include <filesystem>
#include <optional>
#include <string_view>

#include "config/configuration.h"

namespace tessevar {

// The current user's Documents folder, or nothing when the user's home
// cannot be found. The folder itself need not exist.
std::optional<std::filesystem::path> documentsFolder();

// The home folder: $HOME when set and not empty, else the passwd entry.
std::optional<std::filesystem::path> homeFolder();

// XDG_DOCUMENTS_DIR from the content of a user-dirs.dirs file, with a
// leading $HOME replaced by `home`; nothing when the file does not set it
// to a "$HOME/..." or "/..." path. The last valid assignment wins.
std::optional<std::filesystem::path> documentsFolderFromUserDirs(std::string_view content,
                                                                 const std::filesystem::path& home);

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
