#include "config/port_discovery.h"

namespace tessevar {

// Linux has no networksetup: the same listing is built from sysfs.
bool discoverPortNames(PortNames& ports) {
  const auto listing = sysfsHardwarePortListing("/sys/class/net");
  if (!listing) return false;
  readHardwarePortListing(*listing, ports);
  return true;
}

}  // namespace tessevar
