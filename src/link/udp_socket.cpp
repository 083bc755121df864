#include "link/udp_socket.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <optional>

namespace tessevar {
namespace {

// Room for bursts from the surface while the main thread is busy in the editor;
// the system caps it at its own maximum.
constexpr int receiveBufferBytes = 1 << 20;

struct Endpoint {
  sockaddr_storage address{};
  socklen_t length = 0;
  int family = AF_UNSPEC;
};

std::optional<Endpoint> resolve(const char* host, std::uint16_t port, int family, int flags) {
  addrinfo hints{};
  hints.ai_family = family;
  hints.ai_socktype = SOCK_DGRAM;
  hints.ai_flags = AI_NUMERICSERV | flags;
  addrinfo* found = nullptr;
  std::string service = std::to_string(port);
  if (getaddrinfo(host, service.c_str(), &hints, &found) != 0 || found == nullptr) return std::nullopt;
  Endpoint endpoint;
  std::memcpy(&endpoint.address, found->ai_addr, found->ai_addrlen);
  endpoint.length = found->ai_addrlen;
  endpoint.family = found->ai_family;
  freeaddrinfo(found);
  return endpoint;
}

bool setOption(int descriptor, int option, int value) {
  return setsockopt(descriptor, SOL_SOCKET, option, &value, sizeof value) == 0;
}

int bindAndConnect(const Endpoint& local, const Endpoint& peer) {
  int descriptor = socket(local.family, SOCK_DGRAM, 0);
  if (descriptor < 0) return -1;
  fcntl(descriptor, F_SETFD, fcntl(descriptor, F_GETFD) | FD_CLOEXEC);
  setOption(descriptor, SO_RCVBUF, receiveBufferBytes);
  bool ok = setOption(descriptor, SO_REUSEADDR, 1) && setOption(descriptor, SO_REUSEPORT, 1) &&
            bind(descriptor, reinterpret_cast<const sockaddr*>(&local.address), local.length) == 0 &&
            connect(descriptor, reinterpret_cast<const sockaddr*>(&peer.address), peer.length) == 0;
  if (!ok) {
    close(descriptor);
    return -1;
  }
  return descriptor;
}

}  // namespace

int openConnectedUdpSocket(const std::string& localHost, const std::string& peerHost, std::uint16_t port) {
  std::optional<Endpoint> local;
  std::optional<Endpoint> peer;
  if (localHost.empty()) {
    peer = resolve(peerHost.c_str(), port, AF_UNSPEC, 0);
    if (peer) local = resolve(nullptr, port, peer->family, AI_PASSIVE);
  } else {
    local = resolve(localHost.c_str(), port, AF_UNSPEC, AI_NUMERICHOST);
    if (local) peer = resolve(peerHost.c_str(), port, local->family, 0);
  }
  if (!local || !peer) return -1;
  return bindAndConnect(*local, *peer);
}

}  // namespace tessevar
