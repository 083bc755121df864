#pragma once

#include <netinet/in.h>

#include <cstdint>
#include <string>

namespace tessevar::sim {

// A non-blocking UDP socket bound to (address, port), with deep buffers.
// With `networkNamespace` (a path such as /run/netns/stage) the socket is
// made inside that namespace and stays there. Throws std::runtime_error.
int openDevicePort(const std::string& address, std::uint16_t port, const std::string& networkNamespace = {});

// (address, port) as a socket address; throws std::runtime_error when the
// address is no IPv4 address.
sockaddr_in ipv4(const std::string& address, std::uint16_t port);

}  // namespace tessevar::sim
