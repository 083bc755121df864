#include "link/udp_link.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <poll.h>

#include <atomic>

#include "link/connection_state.h"
#include "loopback_peer.h"

namespace tessevar::testing {
namespace {

using ::testing::ElementsAre;

struct ObservedLink {
  ObservedLink(const Endpoint& local, const Endpoint& peer) : link(local.address, peer.address, local.port, peer.port) {
    link.start([this](LinkState state) { handleConnectionState(state, ready, capture.output); },
               [this](const std::string& problem) { capture.output.line("why: " + problem); });
  }
  bool becomesReady() {
    return eventually([this] { return ready.load() && capture.lines().size() >= 3; });
  }

  CapturedLines capture;
  std::atomic<bool> ready{false};
  UdpLink link;
};

std::optional<Datagram> receiveOn(UdpLink& link) {
  pollfd entry{link.descriptor(), POLLIN, 0};
  if (poll(&entry, 1, 10000) <= 0) return std::nullopt;
  Datagram bytes;
  if (link.receive(bytes) != ReceiveStatus::received) return std::nullopt;
  return bytes;
}

TEST(UdpLink, ComesUpAndExchangesDatagramsWithItsPeer) {
  ObservedLink observed(loopbackEndpoint(10, 1), loopbackEndpoint(10, 2));
  ASSERT_TRUE(observed.becomesReady());
  EXPECT_THAT(observed.capture.lines(), ElementsAre("setup", "preparing", "ready"));

  LoopbackPeer peer = connectedPeer(loopbackEndpoint(10, 2), loopbackEndpoint(10, 1));
  peer.sendText("to link");
  observed.link.armReceive();
  EXPECT_EQ(receiveOn(observed.link), bytesOf("to link"));
  EXPECT_FALSE(observed.link.receiveArmed()) << "a completed receive is spent";
  observed.link.send(bytesOf("to peer"));
  EXPECT_EQ(peer.receive(), bytesOf("to peer"));
}

TEST(UdpLink, TwoLinksShareOneLocalEndpointEachHearingOnlyItsPeer) {
  ObservedLink first(loopbackEndpoint(11, 1), loopbackEndpoint(11, 2));
  ObservedLink second(loopbackEndpoint(11, 1), loopbackEndpoint(11, 3));
  ASSERT_TRUE(first.becomesReady());
  ASSERT_TRUE(second.becomesReady());
  LoopbackPeer secondPeer = connectedPeer(loopbackEndpoint(11, 3), loopbackEndpoint(11, 1));
  LoopbackPeer firstPeer = connectedPeer(loopbackEndpoint(11, 2), loopbackEndpoint(11, 1));
  secondPeer.sendText("for second");
  firstPeer.sendText("for first");
  EXPECT_EQ(receiveOn(first.link), bytesOf("for first"));
  EXPECT_EQ(receiveOn(second.link), bytesOf("for second"));
}

TEST(UdpLink, ReportsWaitingOnceAndRetriesUntilTheEndpointIsFree) {
  // A socket without SO_REUSEADDR/SO_REUSEPORT makes the endpoint unavailable.
  const Endpoint held = loopbackEndpoint(12, 1);
  auto blocker = std::make_unique<LoopbackPeer>(held.address, held.port, SocketOptions{false, 0});
  ObservedLink observed(loopbackEndpoint(12, 1), loopbackEndpoint(12, 2));
  ASSERT_TRUE(eventually([&] { return observed.capture.lines().size() == 4; }));
  EXPECT_FALSE(observed.ready);
  // Let at least one retry fail before freeing the endpoint.
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  blocker.reset();
  // The flag is raised before "ready" is printed: wait for the line itself.
  ASSERT_TRUE(eventually([&] { return observed.capture.lines().size() == 5; }));
  EXPECT_TRUE(observed.ready);
  // The cause, said once for all the retries.
  EXPECT_THAT(observed.capture.lines(),
              ElementsAre("setup", "preparing", "waiting or failed",
                          "why: cannot use 127.0.0.1 port 21121 (Address already in use)", "ready"));
}

TEST(UdpLink, DestroyingALinkStillWaitingStopsItsRetries) {
  const Endpoint held = loopbackEndpoint(13, 1);
  LoopbackPeer blocker(held.address, held.port, SocketOptions{false, 0});
  CapturedLines capture;
  {
    UdpLink link(held.address, "127.0.0.1", held.port, loopbackEndpoint(13, 2).port);
    std::atomic<bool> ready{false};
    link.start([&](LinkState state) { handleConnectionState(state, ready, capture.output); });
    ASSERT_TRUE(eventually([&] { return capture.lines().size() == 3; }));
  }
  EXPECT_THAT(capture.lines(), ElementsAre("setup", "preparing", "waiting or failed"));
}

// The peer's port was closed for a while: the refusal it caused must not
// cost the first datagram once the peer is back.
TEST(UdpLink, FirstSendAfterThePeerReturnsArrives) {
  ObservedLink observed(loopbackEndpoint(15, 1), loopbackEndpoint(15, 2));
  ASSERT_TRUE(observed.becomesReady());
  observed.link.send(bytesOf("nobody listens"));
  LoopbackPeer peer = connectedPeer(loopbackEndpoint(15, 2), loopbackEndpoint(15, 1));
  observed.link.send(bytesOf("back"));
  EXPECT_EQ(peer.receive(), bytesOf("back"));
}

TEST(UdpLink, ReceiveReportsARefusedForwardAsAFailureAndStaysArmed) {
  ObservedLink observed(loopbackEndpoint(14, 1), loopbackEndpoint(14, 2));
  ASSERT_TRUE(observed.becomesReady());
  observed.link.armReceive();
  observed.link.send(bytesOf("nobody listens"));
  pollfd entry{observed.link.descriptor(), POLLIN, 0};
  ASSERT_EQ(poll(&entry, 1, 10000), 1);
  Datagram bytes;
  EXPECT_EQ(observed.link.receive(bytes), ReceiveStatus::failed);
  EXPECT_TRUE(observed.link.receiveArmed());
  EXPECT_EQ(observed.link.receive(bytes), ReceiveStatus::nothing);
}

}  // namespace
}  // namespace tessevar::testing
