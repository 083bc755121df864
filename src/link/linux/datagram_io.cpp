// Many datagrams per system call: recvmmsg and sendmmsg.

#include <sys/socket.h>

#include <cerrno>
#include <vector>

#include "link/udp_socket.h"

namespace tessevar {

void UdpSocket::receive(DatagramBatch& batch, std::size_t& refusals) {
  std::array<iovec, DatagramBatch::capacity> slots{};
  std::array<mmsghdr, DatagramBatch::capacity> messages{};
  for (std::size_t i = 0; i < DatagramBatch::capacity; ++i) {
    slots[i] = {batch.slot(i), DatagramBatch::largestDatagram};
    messages[i].msg_hdr.msg_iov = &slots[i];
    messages[i].msg_hdr.msg_iovlen = 1;
  }
  std::array<std::size_t, DatagramBatch::capacity> lengths{};
  for (int refused = 0; refused < refusalsPerCall;) {
    const int got = recvmmsg(static_cast<int>(handle_), messages.data(), messages.size(), MSG_DONTWAIT, nullptr);
    if (got >= 0) {
      for (int i = 0; i < got; ++i) lengths[static_cast<std::size_t>(i)] = messages[static_cast<std::size_t>(i)].msg_len;
      batch.filled(static_cast<std::size_t>(got), lengths);
      return;
    }
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) break;
    ++refusals;
    ++refused;
  }
  batch.filled(0, lengths);
}

void UdpSocket::send(std::span<const std::span<const std::uint8_t>> datagrams, std::size_t& refusals) {
  std::vector<iovec> slots(datagrams.size());
  std::vector<mmsghdr> messages(datagrams.size());
  for (std::size_t i = 0; i < datagrams.size(); ++i) {
    slots[i] = {const_cast<std::uint8_t*>(datagrams[i].data()), datagrams[i].size()};
    messages[i].msg_hdr.msg_iov = &slots[i];
    messages[i].msg_hdr.msg_iovlen = 1;
  }
  std::size_t next = 0;
  int tries = 0;
  while (next < messages.size()) {
    const int sent = sendmmsg(static_cast<int>(handle_), messages.data() + next,
                              static_cast<unsigned>(messages.size() - next), 0);
    if (sent > 0) {
      next += static_cast<std::size_t>(sent);
      tries = 0;
      continue;
    }
    // The datagram at `next` was not sent. A refusal pending from earlier is
    // spent by this call: the datagram goes again. Any other error loses
    // this one datagram, as a full network would.
    if (errno == EINTR) continue;
    if (errno == ECONNREFUSED) ++refusals;
    if (errno == ECONNREFUSED && ++tries < triesPerDatagram) continue;
    ++next;
    tries = 0;
  }
}

}  // namespace tessevar
