#include "config/system_lookups.h"

#include <cstdlib>

#include "system/file_io.h"

namespace tessevar {

// Linux has no networksetup: the kernel's own list of interfaces says it.
bool discoverPortNames(PortNames& ports) { return readSysfsPortNames("/sys/class/net", ports); }

namespace {

// ${XDG_CONFIG_HOME:-$HOME/.config}; a relative XDG_CONFIG_HOME is invalid
// and ignored, as the base-directory convention says.
std::filesystem::path configHome(const std::filesystem::path& home) {
  const char* configured = std::getenv("XDG_CONFIG_HOME");
  if (configured != nullptr && configured[0] == '/') return configured;
  return home / ".config";
}

}  // namespace

std::optional<std::filesystem::path> documentsFolder() {
  const auto home = homeFolder();
  if (!home) return std::nullopt;
  if (const auto userDirs = readWholeFile(configHome(*home) / "user-dirs.dirs", 64 * 1024)) {
    if (auto folder = documentsFolderFromUserDirs(*userDirs, *home)) return folder;
  }
  return *home / "Documents";
}

}  // namespace tessevar
