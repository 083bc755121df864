#include "config/port_discovery.h"
#include "system/command_runner.h"
#include "system/tool_path.h"

namespace tessevar {

bool discoverPortNames(PortNames& ports) {
  const auto tool = locateTool("networksetup");
  if (!tool) return false;
  const auto listing = runCommand(*tool, {"-listallhardwareports"});
  if (!listing) return false;
  readHardwarePortListing(*listing, ports);
  return true;
}

}  // namespace tessevar
