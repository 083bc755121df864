#include "config/port_discovery.h"
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

}  // namespace tessevar
