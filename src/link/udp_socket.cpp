#include "link/udp_socket.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
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

std::string place(const std::string& host, std::uint16_t port) {
  return (host.empty() ? std::string("any address") : host) + " port " + std::to_string(port);
}

std::optional<Endpoint> resolve(const char* host, std::uint16_t port, int family, int flags, std::string& problem) {
  addrinfo hints{};
  hints.ai_family = family;
  hints.ai_socktype = SOCK_DGRAM;
  hints.ai_flags = AI_NUMERICSERV | flags;
  addrinfo* found = nullptr;
  std::string service = std::to_string(port);
  if (const int error = getaddrinfo(host, service.c_str(), &hints, &found); error != 0 || found == nullptr) {
    problem = std::string("the address ") + (host ? host : "") + " cannot be used (" +
              (error != 0 ? gai_strerror(error) : "no address") + ")";
    return std::nullopt;
  }
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

OpenedSocket failure(int descriptor, const std::string& what) {
  const int error = errno;
  if (descriptor >= 0) close(descriptor);
  return {-1, what + " (" + std::strerror(error) + ")"};
}

OpenedSocket bindAndConnect(const Endpoint& local, const Endpoint& peer, const std::string& localPlace,
                            const std::string& peerPlace) {
  int descriptor = socket(local.family, SOCK_DGRAM, 0);
  if (descriptor < 0) return failure(descriptor, "cannot open a UDP socket");
  fcntl(descriptor, F_SETFD, fcntl(descriptor, F_GETFD) | FD_CLOEXEC);
  setOption(descriptor, SO_RCVBUF, receiveBufferBytes);
  if (!setOption(descriptor, SO_REUSEADDR, 1) || !setOption(descriptor, SO_REUSEPORT, 1) ||
      bind(descriptor, reinterpret_cast<const sockaddr*>(&local.address), local.length) != 0) {
    return failure(descriptor, "cannot use " + localPlace);
  }
  if (connect(descriptor, reinterpret_cast<const sockaddr*>(&peer.address), peer.length) != 0) {
    return failure(descriptor, "cannot reach " + peerPlace);
  }
  return {descriptor, {}};
}

}  // namespace

OpenedSocket openUdpSocket(const std::string& localHost, const std::string& peerHost, std::uint16_t port,
                           std::uint16_t peerPort) {
  std::optional<Endpoint> local;
  std::optional<Endpoint> peer;
  std::string problem;
  if (localHost.empty()) {
    peer = resolve(peerHost.c_str(), peerPort, AF_UNSPEC, 0, problem);
    if (peer) local = resolve(nullptr, port, peer->family, AI_PASSIVE, problem);
  } else {
    local = resolve(localHost.c_str(), port, AF_UNSPEC, AI_NUMERICHOST, problem);
    if (local) peer = resolve(peerHost.c_str(), peerPort, local->family, 0, problem);
  }
  if (!local || !peer) return {-1, problem};
  return bindAndConnect(*local, *peer, place(localHost, port), place(peerHost, peerPort));
}

int openConnectedUdpSocket(const std::string& localHost, const std::string& peerHost, std::uint16_t port) {
  return openUdpSocket(localHost, peerHost, port, port).descriptor;
}

}  // namespace tessevar
