#pragma once

#include <cstdint>
#include <string>

namespace tessevar {

// A socket, or why there is none, in words an operator can act on.
struct OpenedSocket {
  int descriptor = -1;
  std::string problem;
};

// Opens a UDP socket bound to (localHost, port), shared with other sockets on
// the same endpoint (SO_REUSEADDR + SO_REUSEPORT), and connected to
// (peerHost, peerPort), so it receives only that peer's datagrams. An empty
// localHost binds no particular address.
OpenedSocket openUdpSocket(const std::string& localHost, const std::string& peerHost, std::uint16_t port,
                           std::uint16_t peerPort);

// The same, -1 on any failure.
int openConnectedUdpSocket(const std::string& localHost, const std::string& peerHost, std::uint16_t port);

}  // namespace tessevar
