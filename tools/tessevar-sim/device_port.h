#pragma once

#include <cstdint>
#include <string>

namespace tessevar::sim {

// A non-blocking UDP socket bound to (address, port), with deep buffers.
// With `networkNamespace` (a path such as /run/netns/stage) the socket is
// made inside that namespace and stays there. Throws std::runtime_error.
int openDevicePort(const std::string& address, std::uint16_t port, const std::string& networkNamespace = {});

}  // namespace tessevar::sim
