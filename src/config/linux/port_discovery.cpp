#include "config/port_discovery.h"

namespace tessevar {

// Linux has no networksetup: the kernel's own list of interfaces says it.
bool discoverPortNames(PortNames& ports) { return readSysfsPortNames("/sys/class/net", ports); }

}  // namespace tessevar
