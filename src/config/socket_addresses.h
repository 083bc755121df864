#pragma once

// Addresses as the setup shows and takes them, shared by the discovery
// socket files of every system.

#include <cstdint>
#include <optional>
#include <string>

#include "socket_headers.h"
#include "util/socket_library.h"

namespace tessevar {

// "192.0.2.1"
std::string ipv4Text(in_addr address);

// The broadcast address of the subnet of an IPv4 address and its mask.
in_addr ipv4Broadcast(in_addr address, in_addr mask);

// An IPv4 endpoint from its numeric text, or nothing when it is none.
std::optional<sockaddr_in> ipv4Endpoint(const std::string& address, std::uint16_t port);

}  // namespace tessevar
