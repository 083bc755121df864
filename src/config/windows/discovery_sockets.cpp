#include "config/discovery_sockets.h"

#include <algorithm>
#include <array>

#include "config/socket_addresses.h"
#include "util/windows/network_adapters.h"
#include "util/windows/socket_calls.h"
#include "util/windows/system_errors.h"

namespace tessevar {
namespace {

in_addr maskOf(unsigned prefixLength) {
  in_addr mask{};
  mask.s_addr = htonl(prefixLength == 0 ? 0u : 0xFFFFFFFFu << (32 - std::min(prefixLength, 32u)));
  return mask;
}

NetworkInterface interfaceOf(const windows::NetworkAdapter& adapter) {
  NetworkInterface entry{.name = adapter.name, .usable = adapter.up && !adapter.loopback, .addresses = {}, .ipv4 = {}};
  for (const windows::AdapterAddress& address : adapter.addresses) {
    const auto* plain = reinterpret_cast<const sockaddr*>(&address.address);
    if (std::optional<std::string> text = numericHost(plain)) entry.addresses.push_back(std::move(*text));
    if (plain->sa_family != AF_INET) continue;
    const in_addr ipv4 = reinterpret_cast<const sockaddr_in*>(plain)->sin_addr;
    entry.ipv4.push_back({ipv4Text(ipv4), ipv4Text(ipv4Broadcast(ipv4, maskOf(address.prefixLength)))});
  }
  return entry;
}

SOCKET socketOf(std::intptr_t handle) { return static_cast<SOCKET>(handle); }

}  // namespace

std::vector<NetworkInterface> listNetworkInterfaces() {
  std::vector<NetworkInterface> interfaces;
  const auto adapters = windows::listNetworkAdapters();
  if (!adapters) return interfaces;
  for (const windows::NetworkAdapter& adapter : *adapters) interfaces.push_back(interfaceOf(adapter));
  return interfaces;
}

Result<DiscoverySocket> DiscoverySocket::open(const std::string& address, std::uint16_t port) {
  const std::string what = "UDP port " + std::to_string(port) + " on " + address;
  const std::optional<sockaddr_in> local = ipv4Endpoint(address, port);
  if (!local) return Failure{"cannot use " + what + ": not an IPv4 address"};
  const SOCKET socket = windows::openUdpSocket(AF_INET);
  if (socket == INVALID_SOCKET) return windows::socketFailure("cannot open a UDP socket");
  DiscoverySocket opened(static_cast<std::intptr_t>(socket));
  const BOOL on = TRUE;
  setsockopt(socket, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on), sizeof on);
  if (!windows::makeNonBlocking(socket) ||
      bind(socket, reinterpret_cast<const sockaddr*>(&*local), sizeof *local) != 0) {
    // A running Tessevar holds its port for itself: Windows says "access denied".
    const int error = WSAGetLastError();
    if (error == WSAEADDRINUSE || error == WSAEACCES) {
      return Failure{what + " is in use (by a running Tessevar or another program)"};
    }
    return windows::socketFailure("cannot use " + what);
  }
  return opened;
}

DiscoverySocket::DiscoverySocket(DiscoverySocket&& other) noexcept : handle_(other.handle_) { other.handle_ = -1; }

DiscoverySocket::~DiscoverySocket() {
  if (handle_ >= 0) closesocket(socketOf(handle_));
}

Result<void> DiscoverySocket::sendTo(const std::string& address, std::uint16_t port,
                                     std::span<const std::uint8_t> bytes) {
  const std::optional<sockaddr_in> peer = ipv4Endpoint(address, port);
  if (!peer || sendto(socketOf(handle_), reinterpret_cast<const char*>(bytes.data()), static_cast<int>(bytes.size()),
                      0, reinterpret_cast<const sockaddr*>(&*peer), sizeof *peer) == SOCKET_ERROR) {
    return windows::socketFailure("cannot send to " + address + " port " + std::to_string(port));
  }
  return {};
}

std::optional<ReceivedDatagram> DiscoverySocket::receive(std::chrono::steady_clock::time_point until) {
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
    if (left.count() <= 0) return std::nullopt;
    WSAPOLLFD ready{socketOf(handle_), POLLRDNORM, 0};
    if (WSAPoll(&ready, 1, static_cast<int>(left.count())) <= 0) return std::nullopt;
    std::array<std::uint8_t, 65536> buffer;
    sockaddr_in from{};
    int fromLength = sizeof from;
    const int size = recvfrom(socketOf(handle_), reinterpret_cast<char*>(buffer.data()), static_cast<int>(buffer.size()),
                              0, reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (size != SOCKET_ERROR) return ReceivedDatagram{{buffer.begin(), buffer.begin() + size}, ipv4Text(from.sin_addr)};
    // A host without the service answered a query with "port unreachable",
    // which Windows reports here: the others may still answer.
    const int error = WSAGetLastError();
    if (error != WSAEWOULDBLOCK && error != WSAECONNRESET) return std::nullopt;
  }
}

}  // namespace tessevar
