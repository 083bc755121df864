#pragma once

#include <cstdint>
#include <string>

namespace tessevar {

// Opens a UDP socket bound to (localHost, port), shared with other sockets on
// the same endpoint (SO_REUSEADDR + SO_REUSEPORT), and connected to
// (peerHost, port), so it receives only that peer's datagrams. An empty
// localHost binds no particular address. Returns -1 on any failure.
int openConnectedUdpSocket(const std::string& localHost, const std::string& peerHost, std::uint16_t port);

}  // namespace tessevar
