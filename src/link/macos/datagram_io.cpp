// One datagram per system call: macOS has no recvmmsg or sendmmsg.

#include <sys/socket.h>

#include <cerrno>

#include "link/udp_socket.h"

namespace tessevar {

void UdpSocket::receive(DatagramBatch& batch, std::size_t& refusals) {
  std::array<std::size_t, DatagramBatch::capacity> lengths{};
  std::size_t count = 0;
  for (int refused = 0; count < DatagramBatch::capacity && refused < refusalsPerCall;) {
    const ssize_t got = recv(static_cast<int>(handle_), batch.slot(count), DatagramBatch::largestDatagram, MSG_DONTWAIT);
    if (got >= 0) {
      lengths[count++] = static_cast<std::size_t>(got);
      continue;
    }
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) break;
    ++refusals;
    ++refused;
  }
  batch.filled(count, lengths);
}

void UdpSocket::send(std::span<const std::span<const std::uint8_t>> datagrams, std::size_t& refusals) {
  for (const std::span<const std::uint8_t> datagram : datagrams) {
    // A refusal pending from earlier is spent by the failed call: the
    // datagram goes again. Any other error loses this one datagram.
    for (int tries = 0; tries < triesPerDatagram;) {
      if (::send(static_cast<int>(handle_), datagram.data(), datagram.size(), 0) >= 0) break;
      if (errno == EINTR) continue;
      if (errno != ECONNREFUSED) break;
      ++refusals;
      ++tries;
    }
  }
}

}  // namespace tessevar
