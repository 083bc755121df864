#include "platform/activation_watch.h"

#include <gtest/gtest.h>

namespace tessevar {
namespace {

using namespace std::chrono_literals;

// One desktop's answers over time: each step asks about a window, says
// whether it is in front, and expects the watch's judgement.
TEST(ActivationWatch, AnUnhonouredRequestIsToldOnceItsPatienceHasPassed) {
  struct Step {
    std::chrono::milliseconds at;
    std::int64_t window;
    bool inFront;
    bool honoured;
  } steps[] = {
      {0ms, 7, false, true},      // asked
      {999ms, 7, false, true},    // still within its patience
      {1000ms, 7, false, false},  // not honoured; asked again
      {1500ms, 7, false, true},   // the new request has its own patience
      {1600ms, 9, false, true},   // another window: a request of its own
      {2700ms, 7, false, true},   // back to the first: a fresh request
      {3000ms, 7, true, true},    // in front
      {4500ms, 7, false, true},   // behind again later: a fresh request
  };
  ActivationWatch watch(1s);
  const ActivationWatch::Clock::time_point start{};
  for (const Step& s : steps) {
    EXPECT_EQ(watch.judge(s.window, s.inFront, start + s.at), s.honoured) << s.at.count() << " ms";
  }
}

}  // namespace
}  // namespace tessevar
