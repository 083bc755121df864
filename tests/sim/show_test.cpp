#include <gtest/gtest.h>

#include <chrono>
#include <set>

#include "score.h"
#include "show.h"
#include "surface/mapping.h"

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

TEST(Show, StampedCuesCarryTheirSequenceInBytesTheProgramNeverReads) {
  std::set<Bytes> seen;
  std::uint64_t sequence = 0;
  for (Cue& cue : play(1, 60s)) {
    if (!cue.stamped) continue;
    const Bytes before = cue.bytes;
    stampSequence(cue.bytes, sequence++);
    EXPECT_TRUE(seen.insert(cue.bytes).second) << "two stamped cues alike";
    if (cue.bytes[0] == 0xD0) {  // meters: status and strip nibbles kept
      ASSERT_EQ(cue.bytes.size(), 9u);
      for (std::size_t strip = 0; strip < 8; ++strip) EXPECT_EQ(cue.bytes[1 + strip] >> 4, static_cast<int>(strip));
    } else {  // pitch bend of faders 1..9: only the value changes
      ASSERT_EQ(cue.bytes.size(), 3u);
      EXPECT_EQ(cue.bytes[0], before[0]);
      EXPECT_GE(cue.bytes[0], 0xE0);
      EXPECT_LE(cue.bytes[0], 0xE8);
    }
  }
  EXPECT_GT(sequence, 900u);  // 600 meters and 480 fader steps a minute
}

}  // namespace
}  // namespace tessevar::sim
