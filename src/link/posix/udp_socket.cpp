#include "link/udp_socket.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

#include "util/utf8.h"

namespace tessevar {
namespace {

// Room for bursts while the relay's thread waits for a processor; the system
// caps it at its own maximum, unless the program may go beyond (as root).
constexpr int receiveBufferBytes = 8 << 20;

struct Endpoint {
  sockaddr_storage address{};
  socklen_t length = 0;
  int family = AF_UNSPEC;
};

// Names and addresses come from the settings: shown, never obeyed by the terminal.
std::string place(const std::string& host, std::uint16_t port) {
  return (host.empty() ? std::string("any address") : escapeControls(host)) + " port " + std::to_string(port);
}

Result<Endpoint> resolve(const char* host, std::uint16_t port, int family, int flags, const std::string& setting) {
  addrinfo hints{};
  hints.ai_family = family;
  hints.ai_socktype = SOCK_DGRAM;
  hints.ai_flags = AI_NUMERICSERV | flags;
  addrinfo* found = nullptr;
  const std::string service = std::to_string(port);
  if (const int error = getaddrinfo(host, service.c_str(), &hints, &found); error != 0 || found == nullptr) {
    return Failure{setting + " (" + escapeControls(host ? host : "") + ") cannot be used (" +
                   (error != 0 ? gai_strerror(error) : "no address") + ")"};
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

Failure failure(int descriptor, const std::string& what) {
  Failure why = systemFailure(what);
  if (descriptor >= 0) close(descriptor);
  return why;
}

Result<int> bindAndConnect(const Endpoint& local, const Endpoint& peer, const std::string& localPlace,
                           const std::string& peerPlace) {
  const int descriptor = socket(local.family, SOCK_DGRAM, 0);
  if (descriptor < 0) return failure(descriptor, "cannot open a UDP socket");
  fcntl(descriptor, F_SETFD, fcntl(descriptor, F_GETFD) | FD_CLOEXEC);
#ifdef SO_RCVBUFFORCE
  if (!setOption(descriptor, SO_RCVBUFFORCE, receiveBufferBytes))
#endif
    setOption(descriptor, SO_RCVBUF, receiveBufferBytes);
  if (!setOption(descriptor, SO_REUSEADDR, 1) || !setOption(descriptor, SO_REUSEPORT, 1) ||
      bind(descriptor, reinterpret_cast<const sockaddr*>(&local.address), local.length) != 0) {
    return failure(descriptor, "cannot use " + localPlace);
  }
  if (connect(descriptor, reinterpret_cast<const sockaddr*>(&peer.address), peer.length) != 0) {
    return failure(descriptor, "cannot reach " + peerPlace);
  }
  return descriptor;
}

}  // namespace

Result<UdpSocket> UdpSocket::open(const SocketEnds& ends) {
  // The peer is resolved in the local address's family (no local address:
  // the local one in the peer's).
  Result<Endpoint> local = Failure{};
  Result<Endpoint> peer = Failure{};
  if (ends.localHost.empty()) {
    peer = resolve(ends.peerHost.c_str(), ends.peerPort, AF_UNSPEC, 0, ends.peerSetting);
    if (!peer) return Failure{peer.reason()};
    local = resolve(nullptr, ends.localPort, peer->family, AI_PASSIVE, "the local address");
  } else {
    local = resolve(ends.localHost.c_str(), ends.localPort, AF_UNSPEC, AI_NUMERICHOST, "the local address");
    if (!local) return Failure{local.reason()};
    peer = resolve(ends.peerHost.c_str(), ends.peerPort, local->family, 0, ends.peerSetting);
  }
  if (!local) return Failure{local.reason()};
  if (!peer) return Failure{peer.reason()};
  Result<int> opened =
      bindAndConnect(*local, *peer, place(ends.localHost, ends.localPort), place(ends.peerHost, ends.peerPort));
  if (!opened) return Failure{opened.reason()};
  return UdpSocket(*opened);
}

UdpSocket& UdpSocket::operator=(UdpSocket&& other) noexcept {
  if (this != &other) {
    if (handle_ >= 0) close(static_cast<int>(handle_));
    handle_ = other.handle_;
    other.handle_ = -1;
  }
  return *this;
}

UdpSocket::~UdpSocket() {
  if (handle_ >= 0) close(static_cast<int>(handle_));
}

}  // namespace tessevar
