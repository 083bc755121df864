#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace tessevar::soak {

struct ResourceSample {
  double at = 0;        // seconds into the soak
  long residentKb = 0;  // VmRSS
  int descriptors = 0;  // entries of /proc/PID/fd
};

// Nothing when the process is gone.
std::optional<ResourceSample> sampleResources(pid_t pid, double at);

// UDP sockets of this network namespace that dropped datagrams because
// their receive buffer was full: "local <- remote: N".
std::vector<std::string> udpReceiveDrops();

}  // namespace tessevar::soak
