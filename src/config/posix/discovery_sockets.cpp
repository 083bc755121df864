#include "config/discovery_sockets.h"

#include <fcntl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>

#include "config/socket_addresses.h"

namespace tessevar {

namespace {

NetworkInterface& entryFor(std::vector<NetworkInterface>& list, const char* name) {
  const auto found = std::find_if(list.begin(), list.end(), [name](const auto& i) { return i.name == name; });
  if (found != list.end()) return *found;
  return list.emplace_back(NetworkInterface{.name = name, .usable = false, .addresses = {}, .ipv4 = {}});
}

void addAddress(NetworkInterface& entry, const ifaddrs& item) {
  const int family = item.ifa_addr->sa_family;
  if (family != AF_INET && family != AF_INET6) return;
  if (std::optional<std::string> text = numericHost(item.ifa_addr)) entry.addresses.push_back(std::move(*text));
  if (family != AF_INET || item.ifa_netmask == nullptr) return;
  const in_addr address = reinterpret_cast<const sockaddr_in*>(item.ifa_addr)->sin_addr;
  const in_addr mask = reinterpret_cast<const sockaddr_in*>(item.ifa_netmask)->sin_addr;
  entry.ipv4.push_back({ipv4Text(address), ipv4Text(ipv4Broadcast(address, mask))});
}

}  // namespace

std::vector<NetworkInterface> listNetworkInterfaces() {
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return {};
  std::vector<NetworkInterface> interfaces;
  for (const ifaddrs* item = list; item != nullptr; item = item->ifa_next) {
    if (item->ifa_name == nullptr) continue;
    NetworkInterface& entry = entryFor(interfaces, item->ifa_name);
    const unsigned flags = item->ifa_flags;
    entry.usable = (flags & IFF_UP) && (flags & IFF_RUNNING) && !(flags & IFF_LOOPBACK);
    if (item->ifa_addr != nullptr) addAddress(entry, *item);
  }
  freeifaddrs(list);
  return interfaces;
}

Result<DiscoverySocket> DiscoverySocket::open(const std::string& address, std::uint16_t port) {
  const std::string what = "UDP port " + std::to_string(port) + " on " + address;
  const std::optional<sockaddr_in> local = ipv4Endpoint(address, port);
  if (!local) return Failure{"cannot use " + what + ": not an IPv4 address"};
  const int descriptor = socket(AF_INET, SOCK_DGRAM, 0);
  if (descriptor < 0) return systemFailure("cannot open a UDP socket");
  DiscoverySocket opened(descriptor);
  fcntl(descriptor, F_SETFD, FD_CLOEXEC);
  const int on = 1;
  setsockopt(descriptor, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
  if (bind(descriptor, reinterpret_cast<const sockaddr*>(&*local), sizeof *local) != 0) {
    if (errno == EADDRINUSE) return Failure{what + " is in use (by a running Tessevar or another program)"};
    return systemFailure("cannot use " + what);
  }
  return opened;
}

DiscoverySocket::DiscoverySocket(DiscoverySocket&& other) noexcept : handle_(other.handle_) { other.handle_ = -1; }

DiscoverySocket::~DiscoverySocket() {
  if (handle_ >= 0) close(static_cast<int>(handle_));
}

Result<void> DiscoverySocket::sendTo(const std::string& address, std::uint16_t port,
                                     std::span<const std::uint8_t> bytes) {
  const std::optional<sockaddr_in> peer = ipv4Endpoint(address, port);
  if (!peer || sendto(static_cast<int>(handle_), bytes.data(), bytes.size(), 0,
                      reinterpret_cast<const sockaddr*>(&*peer), sizeof *peer) < 0) {
    return systemFailure("cannot send to " + address + " port " + std::to_string(port));
  }
  return {};
}

std::optional<ReceivedDatagram> DiscoverySocket::receive(std::chrono::steady_clock::time_point until) {
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
    if (left.count() <= 0) return std::nullopt;
    pollfd ready{static_cast<int>(handle_), POLLIN, 0};
    const int polled = poll(&ready, 1, static_cast<int>(left.count()));
    if (polled < 0 && errno == EINTR) continue;
    if (polled <= 0) return std::nullopt;
    std::array<std::uint8_t, 65536> buffer;
    sockaddr_in from{};
    socklen_t fromLength = sizeof from;
    const ssize_t size = recvfrom(static_cast<int>(handle_), buffer.data(), buffer.size(), MSG_DONTWAIT,
                                  reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (size < 0 && (errno == EAGAIN || errno == EINTR)) continue;
    if (size < 0) return std::nullopt;  // the socket is of no more use
    return ReceivedDatagram{{buffer.begin(), buffer.begin() + size}, ipv4Text(from.sin_addr)};
  }
}

}  // namespace tessevar
