#include "link/receive_backoff.h"

#include <gtest/gtest.h>

namespace tessevar {
namespace {

using std::chrono::milliseconds;

TEST(ReceiveBackoff, OneFailureRearmsAtOnceThenDelaysDoubleUpToACap) {
  ReceiveBackoff backoff;
  const auto now = ReceiveBackoff::Clock::now();
  std::vector<milliseconds> delays;
  for (int i = 0; i < 11; ++i) {
    backoff.failed(now);
    delays.push_back(std::chrono::duration_cast<milliseconds>(backoff.resumeAt() - now));
  }
  std::vector<milliseconds> expected{milliseconds(0),  milliseconds(1),  milliseconds(2),   milliseconds(4),
                                     milliseconds(8),  milliseconds(16), milliseconds(32),  milliseconds(64),
                                     milliseconds(100), milliseconds(100), milliseconds(100)};
  EXPECT_EQ(delays, expected);
  EXPECT_TRUE(backoff.paused(now));
  EXPECT_FALSE(backoff.paused(now + milliseconds(100)));
}

TEST(ReceiveBackoff, ADatagramEndsTheRun) {
  ReceiveBackoff backoff;
  const auto now = ReceiveBackoff::Clock::now();
  for (int i = 0; i < 5; ++i) backoff.failed(now);
  backoff.succeeded();
  backoff.failed(now);
  EXPECT_FALSE(backoff.paused(now));
}

}  // namespace
}  // namespace tessevar
