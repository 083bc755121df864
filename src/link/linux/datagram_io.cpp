// Many datagrams per system call: recvmmsg and sendmmsg.

#include <sys/socket.h>

#include <netinet/in.h>
#include <netinet/udp.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
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

// Consecutive datagrams of one size go as one message that the kernel cuts
// back into exactly those datagrams (UDP segmentation offload): one trip
// through the network stack for the lot, where most of a send's cost lies.
// The kernel takes at most 64 segments of a message, each in one packet.
namespace {

constexpr std::size_t segmentsPerMessage = 64;
constexpr std::size_t largestSegment = 1400;
// Off for good once the system turns a segmented message down.
std::atomic<bool> segmenting{true};

struct Outgoing {
  std::vector<iovec> slots;
  std::vector<mmsghdr> messages;
  std::vector<std::size_t> firstDatagram;  // of each message
  std::vector<std::array<char, CMSG_SPACE(sizeof(std::uint16_t))>> controls;
};

std::size_t sameSizeRun(std::span<const std::span<const std::uint8_t>> datagrams, std::size_t first) {
  const std::size_t size = datagrams[first].size();
  if (!segmenting || size == 0 || size > largestSegment) return 1;
  std::size_t end = first + 1;
  while (end < datagrams.size() && end - first < segmentsPerMessage && datagrams[end].size() == size) ++end;
  return end - first;
}

// Fills `out` anew; its room is kept from call to call.
void messagesFor(std::span<const std::span<const std::uint8_t>> datagrams, Outgoing& out) {
  out.messages.clear();
  out.firstDatagram.clear();
  out.controls.clear();
  out.slots.resize(datagrams.size());
  for (std::size_t i = 0; i < datagrams.size(); ++i) {
    out.slots[i] = {const_cast<std::uint8_t*>(datagrams[i].data()), datagrams[i].size()};
  }
  out.controls.reserve(datagrams.size());
  for (std::size_t first = 0; first < datagrams.size();) {
    const std::size_t run = sameSizeRun(datagrams, first);
    mmsghdr message{};
    message.msg_hdr.msg_iov = &out.slots[first];
    message.msg_hdr.msg_iovlen = run;
    if (run > 1) {
      auto& control = out.controls.emplace_back();
      message.msg_hdr.msg_control = control.data();
      message.msg_hdr.msg_controllen = control.size();
      cmsghdr* header = CMSG_FIRSTHDR(&message.msg_hdr);
      header->cmsg_level = SOL_UDP;
      header->cmsg_type = UDP_SEGMENT;
      header->cmsg_len = CMSG_LEN(sizeof(std::uint16_t));
      const auto size = static_cast<std::uint16_t>(datagrams[first].size());
      std::memcpy(CMSG_DATA(header), &size, sizeof size);
    }
    out.messages.push_back(message);
    out.firstDatagram.push_back(first);
    first += run;
  }
}

}  // namespace

void UdpSocket::send(std::span<const std::span<const std::uint8_t>> datagrams, std::size_t& refusals) {
  // The relay's thread sends every batch: no allocation per send.
  thread_local Outgoing out;
  messagesFor(datagrams, out);
  std::size_t next = 0;
  int tries = 0;
  while (next < out.messages.size()) {
    const int sent = sendmmsg(static_cast<int>(handle_), out.messages.data() + next,
                              static_cast<unsigned>(out.messages.size() - next), 0);
    if (sent > 0) {
      next += static_cast<std::size_t>(sent);
      tries = 0;
      continue;
    }
    // The message at `next` was not sent. A refusal pending from earlier is
    // spent by this call: the message goes again. A segmented message the
    // system will not take goes again unsegmented, as does all after it.
    // Any other error loses this one message, as a full network would.
    if (errno == EINTR) continue;
    if (errno == ECONNREFUSED) ++refusals;
    if (errno == ECONNREFUSED && ++tries < triesPerDatagram) continue;
    if (out.messages[next].msg_hdr.msg_iovlen > 1 && errno != ECONNREFUSED) {
      segmenting = false;
      send(datagrams.subspan(out.firstDatagram[next]), refusals);
      return;
    }
    ++next;
    tries = 0;
  }
}

}  // namespace tessevar
