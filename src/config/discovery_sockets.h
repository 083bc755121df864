#pragma once

// The few socket calls the setup's device discovery makes, one file per
// platform family (posix/, windows/); everything above them is portable.

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "util/result.h"

namespace tessevar {

struct Ipv4Subnet {
  std::string address;    // numeric, e.g. 192.168.1.10
  std::string broadcast;  // the subnet's broadcast address, e.g. 192.168.1.255
};

// One network interface of this computer, as the setup shows and checks it.
struct NetworkInterface {
  std::string name;
  bool usable = false;                 // up and running, not loopback
  std::vector<std::string> addresses;  // numeric IPv4 and IPv6, in the system's order
  std::vector<Ipv4Subnet> ipv4;        // where a broadcast can go, and what to listen on
};

// Every interface, usable or not, in the system's order; empty when the
// list cannot be read.
std::vector<NetworkInterface> listNetworkInterfaces();

enum class HostKind { ipv4, ipv6, name, unknown };

// An IPv4 literal (dotted quad), an IPv6 literal, a name that resolves, or
// none of these. Asks the resolver, so it may take a while.
HostKind classifyHost(const std::string& host);

struct ReceivedDatagram {
  std::vector<std::uint8_t> bytes;
  std::string from;  // the sender's numeric address
};

// An IPv4 UDP socket bound to one local address, allowed to broadcast.
class DiscoverySocket {
 public:
  // Port 0 takes any free port. A port another socket holds, even one of a
  // running Tessevar that shares it, is a failure saying that it is in use.
  static Result<DiscoverySocket> open(const std::string& address, std::uint16_t port);
  DiscoverySocket(DiscoverySocket&& other) noexcept;
  DiscoverySocket& operator=(DiscoverySocket&&) = delete;
  ~DiscoverySocket();

  Result<void> sendTo(const std::string& address, std::uint16_t port, std::span<const std::uint8_t> bytes);
  // The next datagram that arrives before `until`, or nothing.
  std::optional<ReceivedDatagram> receive(std::chrono::steady_clock::time_point until);

 private:
  explicit DiscoverySocket(std::intptr_t handle) : handle_(handle) {}
  std::intptr_t handle_;  // a descriptor here, a SOCKET on Windows
};

}  // namespace tessevar
