#include "link/udp_link.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <poll.h>

#include <atomic>

#include "link/connection_state.h"
#include "loopback_peer.h"

namespace tessevar::test {
namespace {

using ::testing::ElementsAre;

struct ObservedLink {
  explicit ObservedLink(const std::string& local, const std::string& peer) : link(local, peer, testPort) {
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
  ObservedLink observed(loopbackAddress(10, 1), loopbackAddress(10, 2));
  ASSERT_TRUE(observed.becomesReady());
  EXPECT_THAT(observed.capture.lines(), ElementsAre("setup", "preparing", "ready"));

  LoopbackPeer peer(loopbackAddress(10, 2), testPort, loopbackAddress(10, 1), testPort);
  peer.sendText("to link");
  observed.link.armReceive();
  EXPECT_EQ(receiveOn(observed.link), bytesOf("to link"));
  EXPECT_FALSE(observed.link.receiveArmed()) << "a completed receive is spent";
  observed.link.send(bytesOf("to peer"));
  EXPECT_EQ(peer.receive(), bytesOf("to peer"));
}

TEST(UdpLink, TwoLinksShareOneLocalEndpointEachHearingOnlyItsPeer) {
  ObservedLink first(loopbackAddress(11, 1), loopbackAddress(11, 2));
  ObservedLink second(loopbackAddress(11, 1), loopbackAddress(11, 3));
  ASSERT_TRUE(first.becomesReady());
  ASSERT_TRUE(second.becomesReady());
  LoopbackPeer secondPeer(loopbackAddress(11, 3), testPort, loopbackAddress(11, 1), testPort);
  LoopbackPeer firstPeer(loopbackAddress(11, 2), testPort, loopbackAddress(11, 1), testPort);
  secondPeer.sendText("for second");
  firstPeer.sendText("for first");
  EXPECT_EQ(receiveOn(first.link), bytesOf("for first"));
  EXPECT_EQ(receiveOn(second.link), bytesOf("for second"));
}

TEST(UdpLink, ReportsWaitingOnceAndRetriesUntilTheEndpointIsFree) {
  // A socket without SO_REUSEADDR/SO_REUSEPORT makes the endpoint unavailable.
  auto blocker = std::make_unique<LoopbackPeer>(loopbackAddress(12, 1), testPort, SocketOptions{false, 0});
  ObservedLink observed(loopbackAddress(12, 1), loopbackAddress(12, 2));
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
                          "why: cannot use 127.31.12.1 port 20111 (Address already in use)", "ready"));
}

TEST(UdpLink, DestroyingALinkStillWaitingStopsItsRetries) {
  LoopbackPeer blocker(loopbackAddress(13, 1), testPort, SocketOptions{false, 0});
  CapturedLines capture;
  {
    UdpLink link(loopbackAddress(13, 1), loopbackAddress(13, 2), testPort);
    std::atomic<bool> ready{false};
    link.start([&](LinkState state) { handleConnectionState(state, ready, capture.output); });
    ASSERT_TRUE(eventually([&] { return capture.lines().size() == 3; }));
  }
  EXPECT_THAT(capture.lines(), ElementsAre("setup", "preparing", "waiting or failed"));
}

// The peer's port was closed for a while: the refusal it caused must not
// cost the first datagram once the peer is back.
TEST(UdpLink, FirstSendAfterThePeerReturnsArrives) {
  ObservedLink observed(loopbackAddress(15, 1), loopbackAddress(15, 2));
  ASSERT_TRUE(observed.becomesReady());
  observed.link.send(bytesOf("nobody listens"));
  LoopbackPeer peer(loopbackAddress(15, 2), testPort, loopbackAddress(15, 1), testPort);
  observed.link.send(bytesOf("back"));
  EXPECT_EQ(peer.receive(), bytesOf("back"));
}

TEST(UdpLink, ReceiveReportsARefusedForwardAsAFailureAndStaysArmed) {
  ObservedLink observed(loopbackAddress(14, 1), loopbackAddress(14, 2));
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
}  // namespace tessevar::test
