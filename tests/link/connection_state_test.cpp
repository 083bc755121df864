#include "link/connection_state.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "loopback_peer.h"

namespace tessevar::testing {
namespace {

TEST(HandleConnectionState, PrintsOneLinePerStateAndRaisesTheFlagOnlyOnReady) {
  struct Row {
    LinkState state;
    const char* line;
    bool raisesFlag;
  };
  for (const Row& row : std::vector<Row>{
           {LinkState::setup, "setup", false},
           {LinkState::preparing, "preparing", false},
           {LinkState::ready, "ready", true},
           {LinkState::cancelled, "cancelled", false},
           {LinkState::waiting, "waiting or failed", false},
           {LinkState::failed, "waiting or failed", false},
       }) {
    CapturedLines capture;
    std::atomic<bool> flag{false};
    handleConnectionState(row.state, flag, capture.output);
    EXPECT_THAT(capture.lines(), ::testing::ElementsAre(row.line));
    EXPECT_EQ(flag, row.raisesFlag) << row.line;
  }
}

TEST(HandleConnectionState, NoStateClearsARaisedFlag) {
  CapturedLines capture;
  std::atomic<bool> flag{true};
  for (LinkState state : {LinkState::waiting, LinkState::failed, LinkState::cancelled, LinkState::setup}) {
    handleConnectionState(state, flag, capture.output);
  }
  EXPECT_TRUE(flag);
}

}  // namespace
}  // namespace tessevar::testing
