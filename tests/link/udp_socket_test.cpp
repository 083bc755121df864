#include "link/udp_socket.h"

#include <gtest/gtest.h>

#include "loopback_peer.h"

namespace tessevar::testing {
namespace {

UdpSocket openOrFail(const Endpoint& local, const Endpoint& peer) {
  Result<UdpSocket> opened = UdpSocket::open(
      {.localHost = local.address, .localPort = local.port, .peerHost = peer.address, .peerPort = peer.port});
  if (!opened) throw std::runtime_error(opened.reason());
  return std::move(*opened);
}

// Waits for the socket to be readable, then takes one batch.
std::vector<Datagram> receiveBatch(UdpSocket& socket, std::size_t& refusals) {
  Readable entry{socket.handle()};
  if (!waitReadable({&entry, 1}, std::chrono::seconds(10))) return {};
  DatagramBatch batch;
  socket.receive(batch, refusals);
  std::vector<Datagram> taken;
  for (std::size_t i = 0; i < batch.size(); ++i) taken.emplace_back(batch[i].begin(), batch[i].end());
  return taken;
}

TEST(UdpSocket, TwoShareOneEndpointEachTakingOnlyItsPeersDatagramsWholeAndInOrder) {
  UdpSocket first = openOrFail(loopbackEndpoint(10, 1), loopbackEndpoint(10, 2));
  UdpSocket second = openOrFail(loopbackEndpoint(10, 1), loopbackEndpoint(10, 3));
  LoopbackPeer firstPeer = connectedPeer(loopbackEndpoint(10, 2), loopbackEndpoint(10, 1));
  LoopbackPeer secondPeer = connectedPeer(loopbackEndpoint(10, 3), loopbackEndpoint(10, 1));
  const std::vector<Datagram> sent{Datagram{}, Datagram(65507, 0xA5), bytesOf("abc")};
  for (const Datagram& d : sent) firstPeer.send(d);
  secondPeer.sendText("for second");
  std::size_t refusals = 0;
  std::vector<Datagram> taken;
  while (taken.size() < sent.size()) {
    const std::vector<Datagram> batch = receiveBatch(first, refusals);
    ASSERT_FALSE(batch.empty());
    taken.insert(taken.end(), batch.begin(), batch.end());
  }
  EXPECT_EQ(taken, sent);
  EXPECT_EQ(receiveBatch(second, refusals), std::vector<Datagram>{bytesOf("for second")});
  EXPECT_EQ(refusals, 0u);
}

// A send to a closed port comes back as ICMP "port unreachable", reported
// by the next call on the socket: counted, and no datagram pays for it.
TEST(UdpSocket, ARefusalIsCountedAndCostsNoDatagramEitherWay) {
  if (const std::optional<std::string> why = refusalsUnseen()) GTEST_SKIP() << *why;
  UdpSocket socket = openOrFail(loopbackEndpoint(11, 1), loopbackEndpoint(11, 2));
  const Datagram lost = bytesOf("nobody listens");
  const Datagram again = bytesOf("again");
  const std::span<const std::uint8_t> one[] = {lost};
  const std::span<const std::uint8_t> next[] = {again};
  std::size_t refusals = 0;
  socket.send(one, refusals);
  {
    LoopbackPeer peer = connectedPeer(loopbackEndpoint(11, 2), loopbackEndpoint(11, 1));
    peer.sendText("back");
    EXPECT_EQ(receiveBatch(socket, refusals), std::vector<Datagram>{bytesOf("back")});
    EXPECT_EQ(refusals, 1u);
  }
  // Refused again, and the refusal waits on the socket: the next send must
  // not be the one that pays for it.
  socket.send(one, refusals);
  ASSERT_TRUE(eventually([&] {
    Readable entry{socket.handle()};
    return waitReadable({&entry, 1}, std::chrono::milliseconds(0));
  }));
  LoopbackPeer returned = connectedPeer(loopbackEndpoint(11, 2), loopbackEndpoint(11, 1));
  socket.send(next, refusals);
  EXPECT_EQ(returned.receive(), again);
  EXPECT_EQ(refusals, 2u);
}

TEST(UdpSocket, AnEndpointInUseIsRefusedWithTheReason) {
  const Endpoint held = loopbackEndpoint(12, 1);
  LoopbackPeer blocker(held.address, held.port, SocketOptions{false, 0});
  Result<UdpSocket> opened = UdpSocket::open(
      {.localHost = held.address, .localPort = held.port, .peerHost = "127.0.0.1", .peerPort = 21122});
  ASSERT_FALSE(opened);
  EXPECT_EQ(opened.reason(), "cannot use 127.0.0.1 port 21121 (Address already in use)");
}

}  // namespace
}  // namespace tessevar::testing
