#include "link/udp_socket.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include "link/socket_endpoints.h"

namespace tessevar {
namespace {

// Room for bursts while the relay's thread waits for a processor; the system
// caps it at its own maximum, unless the program may go beyond (as root).
constexpr int receiveBufferBytes = 8 << 20;

bool setOption(int descriptor, int option, int value) {
  return setsockopt(descriptor, SOL_SOCKET, option, &value, sizeof value) == 0;
}

Failure failure(int descriptor, const std::string& what) {
  Failure why = systemFailure(what);
  if (descriptor >= 0) close(descriptor);
  return why;
}

Result<int> bindAndConnect(const SocketAddress& local, const SocketAddress& peer, const std::string& localPlace,
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
  const Result<ResolvedEnds> resolved = resolveEnds(ends);
  if (!resolved) return Failure{resolved.reason()};
  Result<int> opened = bindAndConnect(resolved->local, resolved->peer, resolved->localPlace, resolved->peerPlace);
  if (!opened) return Failure{opened.reason()};
  return UdpSocket(*opened);
}

PollHandle UdpSocket::handle() const { return handle_; }

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
