#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "running_relay.h"
#include "support/icmp_forger.h"

namespace tessevar::testing {
namespace {

using ::testing::ElementsAre;

// Forged with a raw socket, which only POSIX systems give a test.
TEST(Relay, ForgedRefusalsHoldNothingUpAndAreSaidOncePerBurst) {
  std::string why;
  std::unique_ptr<IcmpForger> forger = IcmpForger::open(why);
  if (!forger) GTEST_SKIP() << why;
  CapturedLines progress;
  RunningRelay running(28, ProgressLog(progress.stream()));
  // Room for every datagram at the peers: a loss is then the relay's.
  LoopbackPeer xtouch = running.xtouchPeer({true, 4 << 20});
  LoopbackPeer mixer = running.mixerPeer({true, 4 << 20});
  constexpr int count = 500;
  for (int i = 0; i < count; ++i) {
    forger->refuse(running.tessevar.address, running.tessevar.port, running.surface.address, running.surface.port);
    forger->refuse(running.tessevar.address, running.tessevar.port, running.surface.address, running.surface.port);
    xtouch.send(numbered(static_cast<std::uint32_t>(i)));
    mixer.send(numbered(static_cast<std::uint32_t>(i)));
  }
  for (LoopbackPeer* receiver : {&mixer, &xtouch}) {
    for (int i = 0; i < count; ++i) {
      const std::optional<Datagram> d = receiver->receive();
      ASSERT_TRUE(d) << "lost after " << i;
      ASSERT_EQ(numberOf(*d), static_cast<std::uint32_t>(i));
    }
  }
  ASSERT_TRUE(eventually([&] { return !progress.lines().empty(); }));
  EXPECT_THAT(progress.lines(), ElementsAre(::testing::MatchesRegex(
                                    ".* X-Touch link: [0-9]+ refusals \\(ICMP port unreachable\\) in [0-9.]+ s; "
                                    "relaying went on")));
}

}  // namespace
}  // namespace tessevar::testing
