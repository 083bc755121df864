#include "link/relay.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <sstream>
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
  // A datagram inspected before the mixer came back may be sent after it
  // did, and then it arrives; anything else would be wrong.
  auto got = mixer.receive();
  for (int late = 0; late < 5 && got == bytesOf("into the void"); ++late) got = mixer.receive();
  EXPECT_EQ(got, bytesOf("after"));
  EXPECT_THAT(running.mixerLog.seen(), ElementsAre(bytesOf("back")));
  EXPECT_EQ(xtouch.receive(std::chrono::milliseconds(100)), std::nullopt) << "something extra was relayed";
}

// A relay whose passes the test runs itself, so that what waits on the
// sockets before a pass is known.
struct SteppedRelay {
  explicit SteppedRelay(int block)
      : tessevar(loopbackEndpoint(block, 1)),
        relay(loopbackSettings(tessevar, loopbackEndpoint(block, 2), loopbackEndpoint(block, 3)), tessevar.address,
              capture.output),
        xtouch(connectedPeer(loopbackEndpoint(block, 2), tessevar)),
        mixer(connectedPeer(loopbackEndpoint(block, 3), tessevar)) {}
  // Waits until everything sent has reached the relay's sockets, then runs one pass.
  void step(const Inspector& surface, const Inspector& mixerInspector) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    relay.relayStep(surface, mixerInspector);
  }

  const Endpoint tessevar;
  CapturedLines capture;
  Relay relay;
  LoopbackPeer xtouch;
  LoopbackPeer mixer;
};

TEST(RelayStep, TakesTheXTouchsBatchFirstAndShowsEachDatagramOnce) {
  SteppedRelay stepped(26);
  ASSERT_TRUE(stepped.relay.openLinks());
  for (const char* text : {"m1", "m2"}) stepped.mixer.sendText(text);
  for (const char* text : {"s1", "s2", "s3"}) stepped.xtouch.sendText(text);
  std::vector<std::string> shown;
  auto log = [&shown](std::span<const std::uint8_t> d) { shown.emplace_back(d.begin(), d.end()); };
  stepped.step(log, log);
  EXPECT_THAT(shown, ElementsAre("s1", "s2", "s3", "m1", "m2"));
  stepped.step(log, log);
  EXPECT_EQ(shown.size(), 5u) << "nothing new, nothing shown";
  EXPECT_EQ(stepped.mixer.receiveAll().size(), 3u);
}

// The inspection of a mixer datagram sends a lamp: it must reach the
// X-Touch before that datagram and after the one before it, or the mixer's
// own message for the same lamp would overtake it.
TEST(RelayStep, ALampGoesBetweenTheDatagramsAroundItsCause) {
  SteppedRelay stepped(27);
  ASSERT_TRUE(stepped.relay.openLinks());
  const Datagram mixerLights{0x90, 0x59, 0x7F}, cause{0x90, 0x08, 0x00}, ownLamp{0x90, 0x59, 0x00};
  stepped.mixer.send(mixerLights);
  stepped.mixer.send(cause);
  stepped.step({}, [&](std::span<const std::uint8_t> d) {
    if (Datagram(d.begin(), d.end()) == cause) stepped.relay.sendToXTouch(ownLamp);
  });
  EXPECT_THAT(stepped.xtouch.receiveAll(), ElementsAre(mixerLights, ownLamp, cause));
}

TEST(Relay, TheStopEndsALoopWhoseLinksNeverOpened) {
  CapturedLines capture;
  Relay relay(LinkSettings{}, "127.0.0.1", capture.output);
  StopSignal stop;
  std::thread loop([&] { relay.run(stop, {}, {}); });
  stop.raise();
  loop.join();
  EXPECT_TRUE(capture.lines().empty());
}

TEST(OpenLinks, SaysEachLinksStatesXTouchFirst) {
  SteppedRelay stepped(29);
  EXPECT_TRUE(stepped.relay.openLinks());
  EXPECT_TRUE(stepped.relay.openLinks()) << "ready links are not opened again";
  EXPECT_THAT(stepped.capture.lines(), ElementsAre("setup", "preparing", "ready", "setup", "preparing", "ready"));
}

TEST(OpenLinks, AWaitingLinkSaysSoAndWhyOnceThenComesUpWhenTried) {
  const Endpoint held = loopbackEndpoint(30, 1);
  auto blocker = std::make_unique<LoopbackPeer>(held.address, held.port, SocketOptions{false, 0});
  SteppedRelay stepped(30);
  EXPECT_FALSE(stepped.relay.openLinks());
  EXPECT_FALSE(stepped.relay.openLinks());
  blocker.reset();
  EXPECT_TRUE(stepped.relay.openLinks());
  const std::string why = "cannot use 127.0.0.1 port 21301 (Address already in use)";
  EXPECT_THAT(stepped.capture.lines(),
              ElementsAre("setup", "preparing", "waiting or failed", "X-Touch link waiting: " + why, "setup",
                          "preparing", "waiting or failed", "mixer link waiting: " + why, "ready", "ready"));
}

TEST(SetUpConnections, WithoutAnAddressPrintsTheTwoLinesAndMakesNoRelay) {
  // Letter case counts, and loopback is never used.
  for (const char* interface : {"no-such-port0", "LO", "lo"}) {
    CapturedLines capture;
    const LinkSettings settings{.networkPortName = interface,
                                .surfaceAddress = loopbackEndpoint(31, 2).address,
                                .mixerAddress = loopbackEndpoint(31, 3).address};
    EXPECT_EQ(setUpConnections(settings, capture.output), nullptr) << interface;
    EXPECT_THAT(capture.lines(), ElementsAre("network cable may not be connected",
                                             "Check the network connection and restart the application"));
  }
}

}  // namespace
}  // namespace tessevar::testing
