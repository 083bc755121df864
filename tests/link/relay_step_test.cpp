#include "link/relay_step.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tessevar {
namespace {

using ::testing::ElementsAre;

// What a side's receive completion leaves: the datagram in its buffer, its flag up.
void storeDatagram(RelayState& relay, Side side, Datagram datagram) {
  (side == Side::surface ? relay.surfaceBuffer : relay.mixerBuffer) = std::move(datagram);
  (side == Side::surface ? relay.surfaceDataWaiting : relay.mixerDataWaiting) = true;
}

// relayStep without links: the inspectors and flags alone.
struct StepRecorder {
  RelayState relay;
  std::vector<std::string> calls;

  Inspector inspector(const std::string& side) {
    return [this, side](const Datagram& datagram) {
      bool flagStillUp = side == "surface" ? relay.surfaceDataWaiting : relay.mixerDataWaiting;
      calls.push_back(side + ":" + std::string(datagram.begin(), datagram.end()) + (flagStillUp ? " flag up" : ""));
    };
  }
  void step() { relayStep(relay, inspector("surface"), inspector("mixer")); }
};

TEST(RelayStep, ServesTheXTouchFirstWhenBothSidesWait) {
  StepRecorder recorder;
  storeDatagram(recorder.relay, Side::mixer, {'m'});
  storeDatagram(recorder.relay, Side::surface, {'s'});
  recorder.step();
  EXPECT_THAT(recorder.calls, ElementsAre("surface:s", "mixer:m"));
  EXPECT_FALSE(recorder.relay.surfaceDataWaiting);
  EXPECT_FALSE(recorder.relay.mixerDataWaiting);
}

TEST(RelayStep, InspectsEachStoredDatagramOnce) {
  StepRecorder recorder;
  recorder.step();
  EXPECT_TRUE(recorder.calls.empty()) << "nothing waiting, nothing inspected";
  storeDatagram(recorder.relay, Side::mixer, {'1'});
  recorder.step();
  recorder.step();
  storeDatagram(recorder.relay, Side::mixer, {'2'});
  recorder.step();
  EXPECT_THAT(recorder.calls, ElementsAre("mixer:1", "mixer:2"));
}

}  // namespace
}  // namespace tessevar
