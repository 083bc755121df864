// Windows: one socket per local endpoint, shared by the links that use it.
//
// Linux and macOS give each link a socket of its own on the shared endpoint
// and let the system deliver each datagram to the socket connected to its
// sender. Windows promises no such thing: with SO_REUSEADDR, which of the
// sockets gets a datagram is undefined, and any other program may bind the
// port too and take datagrams. So the first link to open an endpoint binds
// one socket that no other socket may share (SO_EXCLUSIVEADDRUSE), later
// links of the endpoint join it, and a receive sorts what it reads by
// sender: its own peer's datagrams it takes, another link's it sets aside
// for that link, in order, and strangers' it drops, as a connected socket
// would. A link with datagrams set aside is ready at once to its waiter.
#include "link/udp_socket.h"

#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <vector>

#include "link/socket_endpoints.h"
#include "util/wake_up.h"
#include "util/windows/socket_calls.h"
#include "util/windows/system_errors.h"

namespace tessevar {

namespace {

// Room for bursts while the relay's thread waits for a processor.
constexpr int receiveBufferBytes = 8 << 20;
// Datagrams set aside for one link before the socket is left to fill up.
constexpr std::size_t setAsideLimit = 4096;
// Datagrams read in one receive, whoever sent them: a flood from a stranger
// must not keep the relay's thread here.
constexpr int readsPerCall = 8 * DatagramBatch::capacity;
// How long a send waits for room in a full send buffer.
constexpr int sendRoomMilliseconds = 1000;

bool sameSender(const sockaddr_storage& a, const sockaddr_storage& b) {
  if (a.ss_family != b.ss_family) return false;
  if (a.ss_family == AF_INET) {
    const auto& x = reinterpret_cast<const sockaddr_in&>(a);
    const auto& y = reinterpret_cast<const sockaddr_in&>(b);
    return x.sin_port == y.sin_port && x.sin_addr.s_addr == y.sin_addr.s_addr;
  }
  const auto& x = reinterpret_cast<const sockaddr_in6&>(a);
  const auto& y = reinterpret_cast<const sockaddr_in6&>(b);
  return x.sin6_port == y.sin6_port && std::memcmp(&x.sin6_addr, &y.sin6_addr, sizeof x.sin6_addr) == 0;
}

}  // namespace

struct SharedEndpoint;

// One link's part of the shared socket: its peer and what was set aside for it.
struct SocketShare {
  SocketShare(std::shared_ptr<SharedEndpoint> shared, const SocketAddress& to);
  ~SocketShare();
  SocketShare(const SocketShare&) = delete;
  SocketShare& operator=(const SocketShare&) = delete;

  std::shared_ptr<SharedEndpoint> endpoint;
  SocketAddress peer;
  std::deque<std::vector<std::uint8_t>> setAside;  // under the endpoint's lock
};

// The bound socket of one local endpoint and the links on it.
struct SharedEndpoint {
  explicit SharedEndpoint(SOCKET opened) : socket(opened) { alwaysReady.raise(); }
  ~SharedEndpoint() { closesocket(socket); }
  SharedEndpoint(const SharedEndpoint&) = delete;
  SharedEndpoint& operator=(const SharedEndpoint&) = delete;

  SocketShare* linkOf(const sockaddr_storage& sender) const {
    for (SocketShare* link : links) {
      if (sameSender(link->peer.address, sender)) return link;
    }
    return nullptr;
  }

  const SOCKET socket;
  WakeUp alwaysReady;  // raised once, never drained: what a link with datagrams set aside waits on
  std::mutex mutex;    // the links and what is set aside for them
  std::vector<SocketShare*> links;
};

SocketShare::SocketShare(std::shared_ptr<SharedEndpoint> shared, const SocketAddress& to)
    : endpoint(std::move(shared)), peer(to) {
  std::lock_guard lock(endpoint->mutex);
  endpoint->links.push_back(this);
}

SocketShare::~SocketShare() {
  std::lock_guard lock(endpoint->mutex);
  std::erase(endpoint->links, this);
}

namespace {

// Every open endpoint by its numeric address and port, while a link uses it.
std::mutex endpointsMutex;
std::map<std::string, std::weak_ptr<SharedEndpoint>> openEndpoints;

std::string keyOf(const SocketAddress& local) {
  char host[NI_MAXHOST] = {};
  char port[NI_MAXSERV] = {};
  getnameinfo(reinterpret_cast<const sockaddr*>(&local.address), local.length, host, sizeof host, port, sizeof port,
              NI_NUMERICHOST | NI_NUMERICSERV);
  return std::string(host) + " " + port;
}

bool setOption(SOCKET socket, int option, int value) {
  return setsockopt(socket, SOL_SOCKET, option, reinterpret_cast<const char*>(&value), sizeof value) == 0;
}

Result<std::shared_ptr<SharedEndpoint>> bindEndpoint(const SocketAddress& local, const std::string& localPlace) {
  const SOCKET socket = windows::openUdpSocket(local.family);
  if (socket == INVALID_SOCKET) return windows::socketFailure("cannot open a UDP socket");
  auto endpoint = std::make_shared<SharedEndpoint>(socket);
  setOption(socket, SO_RCVBUF, receiveBufferBytes);
  if (!setOption(socket, SO_EXCLUSIVEADDRUSE, 1) || !windows::makeNonBlocking(socket) ||
      bind(socket, reinterpret_cast<const sockaddr*>(&local.address), local.length) != 0) {
    return windows::socketFailure("cannot use " + localPlace);
  }
  return endpoint;
}

// The endpoint's socket, bound now or shared with a link already on it.
Result<std::shared_ptr<SharedEndpoint>> endpointFor(const SocketAddress& local, const std::string& localPlace) {
  std::lock_guard lock(endpointsMutex);
  const std::string key = keyOf(local);
  if (std::shared_ptr<SharedEndpoint> open = openEndpoints[key].lock()) return open;
  Result<std::shared_ptr<SharedEndpoint>> bound = bindEndpoint(local, localPlace);
  if (bound) openEndpoints[key] = *bound;
  return bound;
}

bool waitForRoom(SOCKET socket) {
  WSAPOLLFD entry{socket, POLLWRNORM, 0};
  return WSAPoll(&entry, 1, sendRoomMilliseconds) > 0;
}

}  // namespace

Result<UdpSocket> UdpSocket::open(const SocketEnds& ends) {
  const Result<ResolvedEnds> resolved = resolveEnds(ends);
  if (!resolved) return Failure{resolved.reason()};
  Result<std::shared_ptr<SharedEndpoint>> endpoint = endpointFor(resolved->local, resolved->localPlace);
  if (!endpoint) return Failure{endpoint.reason()};
  UdpSocket opened(static_cast<PollHandle>((*endpoint)->socket));
  opened.share_ = std::make_shared<SocketShare>(std::move(*endpoint), resolved->peer);
  return opened;
}

PollHandle UdpSocket::handle() const {
  if (!share_) return handle_;
  std::lock_guard lock(share_->endpoint->mutex);
  return share_->setAside.empty() ? handle_ : share_->endpoint->alwaysReady.handle();
}

UdpSocket& UdpSocket::operator=(UdpSocket&& other) noexcept {
  if (this != &other) {
    share_ = std::move(other.share_);
    handle_ = other.handle_;
    other.handle_ = -1;
  }
  return *this;
}

// The socket itself closes with its endpoint's last link.
UdpSocket::~UdpSocket() = default;

void UdpSocket::receive(DatagramBatch& batch, std::size_t& refusals) {
  std::array<std::size_t, DatagramBatch::capacity> lengths{};
  std::size_t count = 0;
  SharedEndpoint& endpoint = *share_->endpoint;
  std::lock_guard lock(endpoint.mutex);
  for (; count < DatagramBatch::capacity && !share_->setAside.empty(); ++count) {
    const std::vector<std::uint8_t>& kept = share_->setAside.front();
    std::memcpy(batch.slot(count), kept.data(), kept.size());
    lengths[count] = kept.size();
    share_->setAside.pop_front();
  }
  for (int refused = 0, read = 0; count < DatagramBatch::capacity && refused < refusalsPerCall && read < readsPerCall;
       ++read) {
    sockaddr_storage sender{};
    int senderLength = sizeof sender;
    std::uint8_t* const slot = batch.slot(count);
    const int got = recvfrom(endpoint.socket, reinterpret_cast<char*>(slot),
                             static_cast<int>(DatagramBatch::largestDatagram), 0,
                             reinterpret_cast<sockaddr*>(&sender), &senderLength);
    if (got == SOCKET_ERROR) {
      if (WSAGetLastError() == WSAEWOULDBLOCK) break;
      // A refusal: ICMP port unreachable for an earlier send.
      ++refusals;
      ++refused;
      continue;
    }
    SocketShare* const link = endpoint.linkOf(sender);
    if (link == share_.get()) {
      lengths[count++] = static_cast<std::size_t>(got);
    } else if (link != nullptr) {
      link->setAside.emplace_back(slot, slot + got);
      if (link->setAside.size() >= setAsideLimit) break;  // its turn comes before more is read
    }
  }
  batch.filled(count, lengths);
}

void UdpSocket::send(std::span<const std::span<const std::uint8_t>> datagrams, std::size_t& refusals) {
  const SOCKET socket = share_->endpoint->socket;
  const auto* peer = reinterpret_cast<const sockaddr*>(&share_->peer.address);
  for (const std::span<const std::uint8_t> datagram : datagrams) {
    // A refusal pending from earlier is spent by the failed call: the
    // datagram goes again. A full buffer is waited for, as by a blocking
    // socket. Any other error loses this one datagram.
    for (int tries = 0; tries < triesPerDatagram; ++tries) {
      if (sendto(socket, reinterpret_cast<const char*>(datagram.data()), static_cast<int>(datagram.size()), 0, peer,
                 share_->peer.length) != SOCKET_ERROR) {
        break;
      }
      const int error = WSAGetLastError();
      if (error == WSAEWOULDBLOCK && waitForRoom(socket)) continue;
      if (error != WSAECONNRESET) break;
      ++refusals;
    }
  }
}

}  // namespace tessevar
