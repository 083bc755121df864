#include "link/relay.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "running_relay.h"

namespace tessevar::testing {
namespace {

using ::testing::ElementsAre;

Datagram patterned(std::size_t size) {
  Datagram bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + size);
  return bytes;
}

TEST(Relay, ForwardsEveryDatagramByteForByteBothWays) {
  RunningRelay running(20);
  LoopbackPeer xtouch = running.xtouchPeer();
  LoopbackPeer mixer = running.mixerPeer();
  // Empty, MIDI-sized, larger than an Ethernet frame, the UDP maximum, and
  // smaller ones after it: each datagram replaces the last one whole.
  for (std::size_t size : {0u, 3u, 65507u, 1500u, 9000u, 3u}) {
    Datagram fromSurface = patterned(size);
    xtouch.send(fromSurface);
    EXPECT_EQ(mixer.receive(), fromSurface) << size << " bytes towards the mixer";
    Datagram fromMixer = patterned(size + 1 > 65507 ? 65507 : size + 1);
    mixer.send(fromMixer);
    EXPECT_EQ(xtouch.receive(), fromMixer) << fromMixer.size() << " bytes towards the X-Touch";
  }
  EXPECT_EQ(running.surfaceLog.count(), 6u);
  EXPECT_EQ(running.mixerLog.count(), 6u);
}

Datagram numbered(std::uint32_t index) {
  Datagram bytes(4);
  std::memcpy(bytes.data(), &index, 4);
  return bytes;
}

std::uint32_t numberOf(const Datagram& bytes) {
  std::uint32_t index = 0;
  if (bytes.size() == 4) std::memcpy(&index, bytes.data(), 4);
  return index;
}

class RelayBurst : public ::testing::TestWithParam<Side> {};

// The sender keeps at most `window` datagrams ahead of the receiver so that
// no socket buffer overflows: any gap would then be the program's doing.
TEST_P(RelayBurst, RelaysEveryDatagramInOrderInspectingEachBeforeItsForward) {
  constexpr std::uint32_t total = 5000;
  constexpr std::uint32_t window = 64;
  const bool fromSurface = GetParam() == Side::surface;
  RunningRelay running(fromSurface ? 21 : 22);
  const InspectorLog& log = fromSurface ? running.surfaceLog : running.mixerLog;
  SocketOptions bigBuffer{true, 4 << 20};
  LoopbackPeer xtouch = running.xtouchPeer(bigBuffer);
  LoopbackPeer mixer = running.mixerPeer(bigBuffer);
  LoopbackPeer& sender = fromSurface ? xtouch : mixer;
  LoopbackPeer& receiver = fromSurface ? mixer : xtouch;

  std::atomic<std::uint32_t> received{0};
  std::vector<std::uint32_t> order;
  std::atomic<int> seenBeforeInspected{0};
  std::thread reader([&] {
    while (received < total) {
      std::optional<Datagram> datagram = receiver.receive();
      if (!datagram) return;
      if (log.count() < received + 1) ++seenBeforeInspected;
      order.push_back(numberOf(*datagram));
      ++received;
    }
  });
  for (std::uint32_t i = 0; i < total; ++i) {
    ASSERT_TRUE(eventually([&] { return i < received + window; }));
    sender.send(numbered(i));
  }
  reader.join();

  ASSERT_EQ(order.size(), total);
  for (std::uint32_t i = 0; i < total; ++i) ASSERT_EQ(order[i], i) << "out of order or lost";
  EXPECT_EQ(seenBeforeInspected, 0);
  std::vector<Datagram> inspected = log.seen();
  ASSERT_EQ(inspected.size(), total);
  for (std::uint32_t i = 0; i < total; ++i) ASSERT_EQ(numberOf(inspected[i]), i) << "inspected twice or skipped";
}

INSTANTIATE_TEST_SUITE_P(BothDirections, RelayBurst, ::testing::Values(Side::surface, Side::mixer),
                         [](const auto& info) { return info.param == Side::surface ? "FromXTouch" : "FromMixer"; });

TEST(Relay, IgnoresDatagramsFromAnyoneButThePeers) {
  RunningRelay running(23);
  LoopbackPeer xtouch = running.xtouchPeer();
  LoopbackPeer mixer = running.mixerPeer();
  const Endpoint strangerAt = loopbackEndpoint(23, 4);
  LoopbackPeer stranger(strangerAt.address, strangerAt.port);
  LoopbackPeer wrongPort(running.surface.address, loopbackEndpoint(23, 5).port);  // the X-Touch's address
  stranger.sendTo("stranger", running.tessevar.address, running.tessevar.port);
  wrongPort.sendTo("wrong port", running.tessevar.address, running.tessevar.port);
  xtouch.sendText("marker");
  EXPECT_EQ(mixer.receive(), bytesOf("marker"));
  mixer.sendText("reply");
  EXPECT_EQ(xtouch.receive(), bytesOf("reply"));
  EXPECT_THAT(running.surfaceLog.seen(), ElementsAre(bytesOf("marker")));
  EXPECT_THAT(running.mixerLog.seen(), ElementsAre(bytesOf("reply")));
}

// A forward to a closed port comes back as ICMP port unreachable, which the
// connected socket reports on its next receive. That must neither relay
// anything nor stop the side for good.
TEST(Relay, GoesOnAfterThePeersSocketVanishedAndCameBack) {
  RunningRelay running(24);
  LoopbackPeer xtouch = running.xtouchPeer();
  {
    LoopbackPeer mixer = running.mixerPeer();
    xtouch.sendText("before");
    ASSERT_EQ(mixer.receive(), bytesOf("before"));
  }
  for (int i = 0; i < 5; ++i) xtouch.sendText("into the void");
  ASSERT_TRUE(eventually([&] { return running.surfaceLog.count() == 6; }));

  LoopbackPeer mixer = running.mixerPeer();
  mixer.sendText("back");
  EXPECT_EQ(xtouch.receive(), bytesOf("back"));
  xtouch.sendText("after");
  EXPECT_EQ(mixer.receive(), bytesOf("after"));
  EXPECT_THAT(running.mixerLog.seen(), ElementsAre(bytesOf("back")));
  EXPECT_EQ(xtouch.receive(std::chrono::milliseconds(100)), std::nullopt) << "something extra was relayed";
}

TEST(Relay, SendToXTouchReachesTheSurfaceOnly) {
  RunningRelay running(25);
  LoopbackPeer xtouch = running.xtouchPeer();
  LoopbackPeer mixer = running.mixerPeer();
  const Datagram lamp{0x90, 0x08, 0x7F};
  sendToXTouch(running.relay, lamp);
  EXPECT_EQ(xtouch.receive(), lamp);
  EXPECT_EQ(mixer.receive(std::chrono::milliseconds(100)), std::nullopt);
  EXPECT_EQ(running.surfaceLog.count() + running.mixerLog.count(), 0u);
}

TEST(Relay, BothLinksReportTheirStatesAndRaiseTheirFlags) {
  RunningRelay running(26);
  EXPECT_TRUE(running.relay.surfaceLinkReady);
  EXPECT_TRUE(running.relay.mixerLinkReady);
  // Each link prints setup, preparing, ready; the two may interleave.
  ASSERT_TRUE(eventually([&] { return running.capture.lines().size() == 6; }));
  EXPECT_THAT(running.capture.lines(), ::testing::UnorderedElementsAre("setup", "setup", "preparing", "preparing",
                                                                        "ready", "ready"));
}

TEST(Relay, QuitEndsAnIdleLoopWithNothingArmed) {
  RelayState relay;
  std::thread loop([&] { runRelayLoop(relay, {}, {}); });
  requestQuit(relay);
  loop.join();
  EXPECT_TRUE(relay.quitRequested);
}

TEST(SetUpConnections, WithoutAnAddressPrintsTheTwoLinesAndOpensNoLink) {
  // Letter case counts, and loopback is never used.
  for (const char* port : {"no-such-port0", "LO", "lo"}) {
    CapturedLines capture;
    RelayState relay;
    const LinkSettings settings{.networkPortName = port,
                                .surfaceAddress = loopbackEndpoint(27, 2).address,
                                .mixerAddress = loopbackEndpoint(27, 3).address};
    EXPECT_FALSE(setUpConnections(relay, settings, capture.output)) << port;
    EXPECT_THAT(capture.lines(), ElementsAre("network cable may not be connected",
                                             "Check the network connection and restart the application"));
    EXPECT_EQ(relay.xtouchConnection, nullptr);
    EXPECT_EQ(relay.mixerConnection, nullptr);
  }
}

}  // namespace
}  // namespace tessevar::testing
