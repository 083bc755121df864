#include <gtest/gtest.h>

#include <chrono>
#include <set>

#include "score.h"
#include "show.h"
#include "surface/channel_tracking.h"

namespace tessevar::sim {
namespace {

using namespace std::chrono_literals;

std::vector<Cue> play(double rate, Show::Duration length) {
  Show show(rate);
  return show.due(length);
}

TEST(Show, ScenesSelectEveryStripTheDisplayCanName) {
  std::set<std::size_t> strips;
  for (const auto& step : sceneScript()) {
    for (const auto& [offset, cue] : step) {
      if (cue.from != Side::mixer || cue.bytes[0] != 0xB0) continue;
      const Bytes& b = cue.bytes;
      ASSERT_EQ(b.size(), 5u);
      strips.insert(pointIndexForDisplay(decodeSegmentDigit(b[2]), decodeSegmentDigit(b[4])));
    }
  }
  std::set<std::size_t> expected;
  for (std::size_t strip = 1; strip <= 32; ++strip) expected.insert(strip);
  EXPECT_EQ(strips, expected);  // 01..16, A, r1..r4, b1..b6, F1..F4, L
}

TEST(Show, TheMixerNeverSendsWhatPassesForTheProgramsOwnLamp) {
  for (const Cue& cue : play(1, 300s)) {
    if (cue.from == Side::mixer) {
      EXPECT_FALSE(isOwnLamp(cue.bytes));
    }
  }
}

TEST(Show, TheRateCompressesTheSameShow) {
  const std::vector<Cue> slow = play(1, 60s);
  const std::vector<Cue> fast = play(10, 6s);
  ASSERT_EQ(slow.size(), fast.size());
  for (std::size_t i = 0; i < slow.size(); ++i) EXPECT_EQ(slow[i].bytes, fast[i].bytes);
}

TEST(Show, StampsChangeOnlyBytesTheProgramNeverReads) {
  Bytes meter(9, 0);
  Bytes otherMeter(9, 0);
  meter[0] = otherMeter[0] = 0xD0;
  stampSequence(meter, 0x12345678);
  stampSequence(otherMeter, 0x12345679);
  EXPECT_NE(meter, otherMeter);
  for (std::size_t strip = 0; strip < 8; ++strip) EXPECT_EQ(meter[1 + strip] >> 4, static_cast<int>(strip));

  Bytes bend{0xE3, 0, 0};
  stampSequence(bend, 0x3FFF + 1 + 0x81);  // 14 bits kept
  EXPECT_EQ(bend, (Bytes{0xE3, 0x01, 0x01}));
}

}  // namespace
}  // namespace tessevar::sim
