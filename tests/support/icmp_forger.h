#pragma once

// A stranger on the network forging ICMP "port unreachable" messages: each
// claims that `peer` refused a UDP datagram from `victim`, which the victim's
// connected socket then reports as an error. Raw sockets need root.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/ip.h>
#include <netinet/ip_icmp.h>
#include <netinet/udp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "support/udp_peer.h"

namespace tessevar::testing {

class IcmpForger {
 public:
  // Nothing, and why, where raw sockets are not allowed.
  static std::unique_ptr<IcmpForger> open(std::string& why) {
    const int descriptor = socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
    if (descriptor < 0) {
      why = std::string("no raw socket for forged ICMP (") + std::strerror(errno) + "): run as root";
      return nullptr;
    }
    return std::unique_ptr<IcmpForger>(new IcmpForger(descriptor));
  }
  ~IcmpForger() { close(descriptor_); }
  IcmpForger(const IcmpForger&) = delete;
  IcmpForger& operator=(const IcmpForger&) = delete;

  // One forged refusal, sent to the victim's address.
  void refuse(const std::string& victim, std::uint16_t victimPort, const std::string& peer, std::uint16_t peerPort) {
    std::array<std::uint8_t, 8 + 20 + 8> message{};
    auto* icmp = reinterpret_cast<icmphdr*>(message.data());
    icmp->type = ICMP_DEST_UNREACH;
    icmp->code = ICMP_PORT_UNREACH;
    // The datagram the victim supposedly sent: its IP header and 8 bytes of UDP.
    auto* ip = reinterpret_cast<iphdr*>(message.data() + 8);
    ip->version = 4;
    ip->ihl = 5;
    ip->tot_len = htons(20 + 8 + 3);
    ip->ttl = 64;
    ip->protocol = IPPROTO_UDP;
    ip->saddr = socketAddress(victim, victimPort).sin_addr.s_addr;
    ip->daddr = socketAddress(peer, peerPort).sin_addr.s_addr;
    ip->check = checksum(message.data() + 8, 20);
    auto* udp = reinterpret_cast<udphdr*>(message.data() + 28);
    udp->source = htons(victimPort);
    udp->dest = htons(peerPort);
    udp->len = htons(8 + 3);
    icmp->checksum = checksum(message.data(), message.size());
    const sockaddr_in target = socketAddress(victim, 0);
    sendto(descriptor_, message.data(), message.size(), 0, reinterpret_cast<const sockaddr*>(&target), sizeof target);
  }

 private:
  explicit IcmpForger(int descriptor) : descriptor_(descriptor) {}

  static std::uint16_t checksum(const std::uint8_t* bytes, std::size_t size) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i + 1 < size; i += 2) sum += static_cast<std::uint32_t>(bytes[i] << 8 | bytes[i + 1]);
    if (size % 2 != 0) sum += static_cast<std::uint32_t>(bytes[size - 1] << 8);
    while (sum >> 16 != 0) sum = (sum & 0xFFFF) + (sum >> 16);
    return htons(static_cast<std::uint16_t>(~sum));
  }

  int descriptor_;
};

}  // namespace tessevar::testing
