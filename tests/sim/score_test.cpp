#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "score.h"

namespace tessevar::sim {
namespace {

using namespace std::chrono_literals;

const Clock::time_point t0{};

// Datagrams named by one letter: the letter is their only byte.
Bytes d(char name) { return {static_cast<std::uint8_t>(name)}; }

struct Case {
  const char* name;
  std::string sent;      // one datagram per letter, 1 ms apart
  std::string arrivals;  // in arrival order
  std::uint64_t received, lost, duplicated, reordered, unexpected;
};

class Books : public ::testing::TestWithParam<Case> {};

TEST_P(Books, CountsWhatHappenedToEachDatagram) {
  const Case& c = GetParam();
  DirectionScore score;
  Clock::time_point at = t0;
  for (char name : c.sent) score.sent(d(name), at += 1ms);
  for (char name : c.arrivals) score.received(d(name), at += 1ms);
  const DirectionSummary s = score.summary();
  EXPECT_EQ(s.sent, c.sent.size());
  EXPECT_EQ(s.received, c.received);
  EXPECT_EQ(s.lost, c.lost);
  EXPECT_EQ(s.duplicated, c.duplicated);
  EXPECT_EQ(s.reordered, c.reordered);
  EXPECT_EQ(s.unexpected, c.unexpected);
}

INSTANTIATE_TEST_SUITE_P(Arrivals, Books, ::testing::Values(
    Case{"AllInOrder", "abc", "abc", 3, 0, 0, 0, 0},
    Case{"OneLost", "abc", "ac", 2, 1, 0, 0, 0},
    Case{"OneTwice", "abc", "abbc", 3, 0, 1, 0, 0},
    Case{"TwoSwapped", "abc", "bac", 3, 0, 0, 1, 0},
    Case{"NobodySentIt", "ab", "axb", 2, 0, 0, 0, 1},
    // Repeated bytes (keep-alives) are told apart by order: losing the
    // middle one makes the last one neither reordered nor a duplicate.
    Case{"RepeatsWithOneLost", "kakbk", "kakb", 4, 1, 0, 0, 0},
    Case{"RepeatsInOrder", "kkk", "kkk", 3, 0, 0, 0, 0},
    Case{"RepeatArrivesLate", "kak", "akk", 3, 0, 0, 1, 0},
    Case{"RepeatTwiceTooMany", "kk", "kkk", 2, 0, 1, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Books, LossWhileTheReceiverWasAwayIsTheNetworksAndRecoveryIsTimedFromTheReturn) {
  DirectionScore score;
  score.sent(d('a'), t0 + 1s);
  score.sent(d('b'), t0 + 2s);  // receiver away from 1.5 s to 3 s
  score.sent(d('c'), t0 + 4s);
  score.excuse(t0 + 1500ms, t0 + 3s);
  score.markReturn("mixer back", t0 + 3s);
  score.received(d('a'), t0 + 1s + 1ms);
  score.received(d('c'), t0 + 4s + 2ms);
  const DirectionSummary s = score.summary();
  EXPECT_EQ(s.lost, 0u);
  EXPECT_EQ(s.notCarried, 1u);
  ASSERT_EQ(s.recoveries.size(), 1u);
  EXPECT_EQ(s.recoveries[0].what, "mixer back");
  EXPECT_EQ(s.recoveries[0].after, 1002ms);
}

TEST(Books, ARepeatSentAfterAnOutageIsNotTakenForOneSentDuringIt) {
  DirectionScore score;
  score.sent(d('a'), t0 + 1s);
  score.received(d('a'), t0 + 1s);
  score.sent(d('k'), t0 + 2s);  // receiver away from 1.5 s to 3 s
  score.excuse(t0 + 1500ms, t0 + 3s);
  score.sent(d('k'), t0 + 4s);
  score.received(d('k'), t0 + 4s + 1ms);
  const DirectionSummary s = score.summary();
  EXPECT_EQ(s.lost, 0u);
  EXPECT_EQ(s.notCarried, 1u);
  EXPECT_EQ(s.latency.max, 1.0);
}

TEST(Books, WhatTheNetworkHeldThroughAnOutageMayArriveLateWithoutCountingAsReordered) {
  DirectionScore score;
  score.sent(d('a'), t0 + 1s);  // link down from 0.5 s to 2 s
  score.sent(d('b'), t0 + 3s);
  score.excuse(t0 + 500ms, t0 + 2s);
  EXPECT_EQ(score.received(d('b'), t0 + 3s), DirectionScore::Arrival::inOrder);
  EXPECT_EQ(score.received(d('a'), t0 + 3s), DirectionScore::Arrival::lateAfterOutage);
  EXPECT_EQ(score.summary().reordered, 0u);
}

TEST(Books, NoRecoveryWhenNothingSentAfterTheReturnArrived) {
  DirectionScore score;
  score.sent(d('a'), t0 + 1s);
  score.received(d('a'), t0 + 5s);  // arrived after the return, but was sent before it
  score.markReturn("link back", t0 + 2s);
  EXPECT_FALSE(score.summary().recoveries.at(0).after.has_value());
}

TEST(Books, TheProgramsOwnLampsAreCountedApartAndRelayedCopiesStillMatch) {
  DirectionScore score(isOwnLamp);
  const Bytes lamp{0x90, 0x59, 0x7F};
  score.sent(lamp, t0);  // the mixer may light the same lamp
  EXPECT_EQ(score.received(lamp, t0 + 1ms), DirectionScore::Arrival::inOrder);
  EXPECT_EQ(score.received(lamp, t0 + 2ms), DirectionScore::Arrival::ownMessage);
  EXPECT_EQ(score.received({0x90, 0x5A, 0x00}, t0 + 3ms), DirectionScore::Arrival::ownMessage);
  EXPECT_EQ(score.received({0x90, 0x5A, 0x01}, t0 + 4ms), DirectionScore::Arrival::unexpected);
  EXPECT_EQ(score.summary().ownMessages, 2u);
}

TEST(Books, LatencyPercentilesComeFromTheSortedSamples) {
  std::vector<std::int64_t> ns;
  for (int i = 1000; i >= 1; --i) ns.push_back(i * 1'000'000LL);  // 1..1000 ms, reversed
  const LatencyFigures f = latencyFigures(ns);
  EXPECT_EQ(f.samples, 1000u);
  EXPECT_DOUBLE_EQ(f.p50, 500);
  EXPECT_DOUBLE_EQ(f.p99, 990);
  EXPECT_DOUBLE_EQ(f.max, 1000);
}

}  // namespace
}  // namespace tessevar::sim
