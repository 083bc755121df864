#include "config/system_lookups.h"



#include "system/command_runner.h"

namespace tessevar {

bool discoverPortNames(PortNames& ports) {
  const Result<std::string> tool = locateTool("networksetup");
  if (!tool) return false;
  const Result<std::string> listing = runCommand(*tool, {"-listallhardwareports"});
  if (!listing) return false;
  readHardwarePortListing(*listing, ports);
  return true;
}

// The user domain's Documents directory is always ~/Documents.
std::optional<std::filesystem::path> documentsFolder() {
  const auto home = homeFolder();
  if (!home) return std::nullopt;
  return *home / "Documents";
}

}  // namespace tessevar
